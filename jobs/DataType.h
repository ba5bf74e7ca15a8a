#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <array>

// Records of a job settings set. Texts are held as wide text; every width that reaches the
// terminal counts Shift-JIS bytes. Fixed arrays keep the sizes the file layout and the terminal
// know; a count read from anywhere must go through BoundedCount before it indexes them.

inline constexpr int MaxGyCount = 20;     // jobs of a set
inline constexpr int MaxKoCount = 10;     // group items, and data items, of a job
inline constexpr int MaxMstCount = 20;    // master definitions of a set
inline constexpr int MaxQDCount = 5;      // reference fields of a master record
inline constexpr int MaxFWCount = 10;     // split fields of a read barcode
inline constexpr int MaxAddInCount = 5;   // add-in lines of a mode X job
inline constexpr int AddInBlockCount = 6; // AddInData[0] on the job line, [1..5] on add-in lines
inline constexpr int AddInFirstLength = 468;
inline constexpr int AddInLineLength = 500;
inline constexpr int BzEventCount = 10;   // buzzer events 0..9
inline constexpr int BzDefaultEntry = 10; // BzSet[10] is the entry the events start from
inline constexpr int BhtFldWidthCount = 25;
inline constexpr int BhtFldNameCount = 23;
inline constexpr int MaxDataLen = 3500; // bytes of an item, digits of a barcode

// The value clamped to 0..max: the only way a count from a file or a dialog may index an array.
constexpr int BoundedCount(int value, int max)
{
    return value < 0 ? 0 : (value > max ? max : value);
}

struct TKoData {
    QString KName;
    int DspNX = 0;
    int DspNY = 0;
    int KNfColor = 0;
    int KNbColor = 0;
    int DspDX = 0;
    int DspDY = 0;
    int KDSize = 0;
    int KDfColor = 0;
    int KDbColor = 0;
    bool KDSaveFlg = false;
    int KDInpMode = 0;
    int KDType = 0;
    int KDLen = 0;
    QString KDMax;
    QString KDMin;
    QChar KDefType;
    QString KDefDat;
    int KDouble = 0;
    int KDNext = 0;
    int KDNextTm = 0;
    QString KBar;
    QString KBarUser;
    int KBMax = 0;
    int KBMin = 0;
    bool KBGTIN = false;
    bool KBItfDelCD = false;
    bool KBStfDelCD = false;
    bool KBNW7DelCD = false;
    bool KBC39DelCD = false;
    int KBFmt = 0;
    bool KBDatChk = false;
    int KBChkDNo = 0;
    QString KBChkAi;
    int KBChkTop = 0;
    int KBChkLen = 0;
    QChar KBCmpID;
    QString KBChkStr;
    int KBChkNgMd = 0;
    QChar KBCmpMode;
    bool FWDatChk = false;
    int FWCount = 0;
    std::array<int, MaxFWCount> FWDstKo{};
    std::array<int, MaxFWCount> FWTop{};
    std::array<int, MaxFWCount> FWLength{};
    std::array<int, MaxFWCount> FWDatNo{};
    std::array<QString, MaxFWCount> FWAiCd{};
    bool KMstFlag = false;
    int KMFNo = 0;
    bool KMFKeySet = false;
    int KMFKeyTop = 0;
    int KMFKeyLen = 0;
    bool KMstChk = false;
    int DspQDNo = 0;
    int SaveQDNum = 0;
    std::array<int, MaxQDCount> QDNo{};
    std::array<int, MaxQDCount> SDNo{};
};

// Layout of the record a job stores on the terminal. Field numbers are 1-based, 0 = absent.
struct TBhtFileFld {
    int Count = 0;
    std::array<int, BhtFldWidthCount> Width{};
    std::array<QString, BhtFldNameCount> KName{};
    int HtNoFldNo = 0;
    int GKTopFldNo = 0;
    int GKFldCnt = 0;
    std::array<int, MaxKoCount> GKFldNo{};
    int DKTopFldNo = 0;
    int DKFldCnt = 0;
    std::array<int, MaxKoCount> DKFldNo{};
    int TSFldNo = 0;
};

struct TGyData {
    QString GyName;
    int GyMode = 0;
    bool DspTotal = false;
    QString PName;
    QString RName;
    int RcvProto = 0;
    QString FName;
    bool AddIDChk = false;
    int TStamp = 0;
    int TSLoc = 0;
    int GrCount = 0;
    int DaCount = 0;
    bool DaAddNum = false;
    bool TmpGrFlg = false;
    int TmpGrNo = 0;
    int TmpDaNo = 0;
    std::array<TKoData, MaxKoCount> GrKoDa{};
    std::array<TKoData, MaxKoCount> DaKoDa{};
    std::array<int, MaxKoCount> GrPgKoYn{};
    std::array<int, MaxKoCount> DaPgKoYn{};
    TBhtFileFld BhtFileFld;
    int AddInCount = 0;
    std::array<QByteArray, AddInBlockCount> AddInData{}; // Shift-JIS bytes, as the add-in wrote them
};

// Template of a new job; an empty GyName means the add-job dialog was cancelled.
struct TAddGyDat {
    QString GyName;
    int GyMode = 0;
    bool DspTotal = false;
    QString PName;
    QString RName;
    int RcvProto = 0;
    QString FName;
    bool AddIDChk = false;
    int TStamp = 0;
    int TSLoc = 0;
    int AddInCount = 0;
    std::array<QByteArray, AddInBlockCount> AddInData{};
};

// Result of the add-item dialog; an empty KName means it was cancelled.
struct TAddKoDat {
    bool GrFlg = false;
    QString KName;
    int KDType = 0;
};

struct TMstDat {
    QString MFName;
    int QDNum = 0;
    int KeySize = 0;
    std::array<int, MaxQDCount> QDSize{};
    int UseCount = 0;
};

struct TBluetoothDat {
    QString DevName;
    int Mode = 0;
    QString Adr;
    int TimeOut = 0;
    int Security = 0;
    QString PassKey;
};

struct BuzzerSetting {
    int Hz = 0;
    int Count = 0;
    int OnTime = 0;
    int OffTime = 0;
    friend bool operator==(const BuzzerSetting &, const BuzzerSetting &) = default;
};

// A whole set as the editor holds it. It is large (hundreds of kilobytes): keep it on the heap.
// The base page's remaining values live in that page's controls, not here.
struct TSetData {
    std::array<TGyData, MaxGyCount> GyData{};
    int GyCount = 0;
    int TmpGyNo = 0;
    std::array<TMstDat, MaxMstCount> MstDat{};
    int MstNum = 0;
    std::array<BuzzerSetting, BzEventCount + 1> BzSet{};
    std::array<QString, BzEventCount> BzWavFile{};
    TBluetoothDat BtDat;
    TAddGyDat AddGyDat;
    TAddKoDat AddKoDat;
    QString ComPrg1;
    QString ComPrg2;
};

// Fills one item with the defaults of its data type letter (a letter outside the table: string).
void InitKoData(TKoData &item, const QString &name, QChar typeLetter);
// Fills one job from the template: all items cleared, then the default data items of its mode.
void InitGyData(TGyData &job, const TAddGyDat &addGyDat);
// A new set: one job, no masters, default buzzer and Bluetooth settings, the default template.
void InitSetData(TSetData &set);
// The Bluetooth defaults, also taken by a file that does not select Bluetooth.
void InitBtDat(TBluetoothDat &bt);

// Texts shared by the editor's controls and the file.
QStringList ComModeNames(); // items 0..2 of the communication mode lists
QString DefaultKindItems(); // items of the default value kind list, each ending in CR LF
QStringList BzEventNames(); // events 0..9
QStringList SendDelItems(); // delete-after-send choices
QStringList DspMasks();     // the nine display masks of the terminal screen preview
inline constexpr char LineBreak[] = "\r\n";
inline constexpr char DefaultPassKey[] = "5190372846150927";
