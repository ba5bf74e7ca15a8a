#pragma once

#include "DataType.h"
#include "SaveLayout.h"
#include "addins/frame/HandOffClient.h"

#include <QByteArray>
#include <QString>

// Everything the main form edits, as its controls hold it (the numeric edits as their texts), and
// the two parameter records built from it and read into it.
namespace quillon {

inline constexpr int Para0Length = 468;
inline constexpr int Para1Length = 500;
inline const QByteArray Para0Marker("m0");
inline constexpr int Para0MarkerPosition = 467;

struct SaveRowEdits {
    QString top;
    QString len;
    friend bool operator==(const SaveRowEdits &, const SaveRowEdits &) = default;
};

struct QuillonSettings {
    // Data kind (page 1)
    bool DKubunChk = false;
    QString DKNameSE;
    int DKTypeCB = 0; // data type list index
    int DKFontCB = 0; // 0 標準, 1 横倍
    QString DKMaxNE = QStringLiteral("20");
    QString DKMinNE = QStringLiteral("1");
    bool DKBarChk = false;
    TBarDat DKBarDat;
    bool DKMstUseChk = false;
    QString DKMstFileSE;
    bool DKMstErrChk = true; // "ﾏｽﾀｰﾃﾞｰﾀがない場合入力ｴﾗｰ"

    // Search key and collation data (page 2)
    QString KKNameSE;
    QString KKMaxNE = QStringLiteral("20");
    QString KKMinNE = QStringLiteral("1");
    TBarDat KKBarDat;
    QString KKMstFileSE;
    QString SKNameSE;
    int CmpModeCB = 0; // 0 登録順, 1 順不同
    TBarDat SKBarDat;
    bool SKMstUseChk = false;
    QString SKMstFileSE;
    QString OkDspTimeNE = QStringLiteral("30");
    QString NgDspTimeNE = QStringLiteral("30");
    TBzDat OkBz = DefaultOkBz();
    TBzDat NgBz = DefaultNgBz();

    // Result saving (page 3)
    bool DSaveChk = false;
    QString SaveFileSE;
    int SaveFieldsCB = 1; // field count - 1
    int SaveTypeCB = 0;   // 0 "O", 1 "N", 2 "W"
    SaveRows SaveDat{};
    // What the rows' start and length edits show; the rules test these for emptiness.
    std::array<SaveRowEdits, SaveRowCount> SaveEdits{};

    int saveCount() const { return SaveFieldsCB + 1; }
    // The edits' texts from SaveDat (what SetSaveDat shows).
    void showSaveDat();
    friend bool operator==(const QuillonSettings &, const QuillonSettings &) = default;
};

// The largest input digits of the data kind for its display (横倍 DKMaxWide, else DKMaxStd).
int DisplayLimit(const QuillonSettings &s, const ModelLimits &limits);
// The data type has fixed digits (dates and times): 0 when the operator sets them.
int FixedDigits(const QuillonSettings &s);

// LoadPara's outcome.
struct LoadOutcome {
    bool supported = false;
    int model = 0;
    QString caption; // window caption: GyName, " 設定", the model's suffix
    ModelLimits limits;
    QuillonSettings settings;
    // The refused model's warning under "設定エラー" (empty when supported).
    QString refusal;
};
LoadOutcome LoadQuillon(const addins::HandOffRequest &request);
// How Quillon reads the hand-off: Para0 with "m0" at byte 467, then Para1.
addins::HandOffReadRules QuillonReadRules();

// SavePara's records. BuildPara1 normalises the save rows first (CheckSaveDat), as they are written.
QByteArray BuildPara0(const QuillonSettings &s);
QByteArray BuildPara1(QuillonSettings &s, const ModelLimits &limits);

} // namespace quillon
