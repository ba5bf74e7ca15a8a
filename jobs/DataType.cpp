#include "jobs/DataType.h"

#include "jobs/LetterCodes.h"

void InitKoData(TKoData &item, const QString &name, QChar typeLetter)
{
    item = TKoData{};
    item.KName = name;
    item.DspNX = 1;
    item.DspNY = 1;
    item.KNfColor = 0;
    item.KNbColor = 1;
    item.DspDX = 1;
    item.DspDY = 1;
    item.KDInpMode = 1;
    item.KDSaveFlg = true;
    item.KDType = DataTypeIndex(typeLetter);

    struct TypeDefaults {
        int size;
        int len;
        const char *max;
        char defType;
    };
    TypeDefaults d{0, 20, "20", '0'};
    switch (typeLetter.unicode()) {
    case u'W':
        d = {1, 10, "10", '3'};
        break;
    case u'X':
        d = {1, 8, "8", '3'};
        break;
    case u'Y':
    case u'Z':
        d = {1, 5, "5", '3'};
        break;
    case u'a':
        d = {1, 8, "99999999", '0'};
        break;
    case u'b':
        // The sign takes one of the eight places: eight nines would not fit with it.
        d = {1, 8, "9999999", '0'};
        break;
    case u'c':
        d = {1, 7, "9999999", '0'};
        break;
    default:
        break;
    }
    item.KDSize = d.size;
    item.KDfColor = 0;
    item.KDbColor = 1;
    item.KDLen = d.len;
    item.KDMax = QString::fromLatin1(d.max);
    item.KDMin = QStringLiteral("1");
    item.KDefType = QChar::fromLatin1(d.defType);

    item.KBMax = 16;
    item.KBMin = 1;
    item.KBChkDNo = 1;
    item.KBChkTop = 1;
    item.KBChkLen = 1;
    item.KBCmpID = u'0';
    for (int i = 0; i < MaxFWCount; ++i) {
        item.FWDstKo[i] = i;
        item.FWTop[i] = 1;
        item.FWLength[i] = 10;
        item.FWDatNo[i] = i + 1;
    }
    item.KMFKeyTop = 1;
    item.KMFKeyLen = 1;
}

void InitGyData(TGyData &job, const TAddGyDat &addGyDat)
{
    job = TGyData{};
    job.GyName = addGyDat.GyName;
    job.GyMode = addGyDat.GyMode;
    job.PName = addGyDat.PName;
    job.RName = addGyDat.RName;
    job.FName = addGyDat.FName;
    job.RcvProto = addGyDat.RcvProto;
    job.AddIDChk = addGyDat.AddIDChk;
    job.TStamp = addGyDat.TStamp;
    job.TSLoc = addGyDat.TSLoc;

    if (GyModeLetter(job.GyMode) == u'B') {
        job.DspTotal = addGyDat.DspTotal;
        InitKoData(job.DaKoDa[0], QStringLiteral("商品コード"), u'A');
        InitKoData(job.DaKoDa[1], QStringLiteral("数量"), u'b');
        job.DaAddNum = true;
        job.DaCount = 2;
    } else {
        InitKoData(job.DaKoDa[0], QStringLiteral("新しいデータ項目"), u'A');
        job.DaCount = 1;
    }

    job.AddInCount = addGyDat.AddInCount;
    job.AddInData = addGyDat.AddInData;
}

void InitBtDat(TBluetoothDat &bt)
{
    bt.DevName = QStringLiteral("BHT-800");
    bt.Mode = 0;
    bt.Adr.clear();
    bt.TimeOut = 5;
    bt.Security = 1;
    bt.PassKey = QString::fromLatin1(DefaultPassKey);
}

namespace {

void initBuzzer(TSetData &set)
{
    set.BzSet[BzDefaultEntry] = {1, 1, 1, 1};
    for (int i = 0; i < BzEventCount; ++i) {
        set.BzWavFile[i].clear();
        BuzzerSetting &e = set.BzSet[i];
        e = set.BzSet[BzDefaultEntry];
        if (i % 2 == 1)
            e.Hz = 2;
    }
    set.BzSet[1].Count = 3;
    set.BzSet[3].Count = 3;
    set.BzSet[9].Count = 3;
    set.BzSet[5].Count = 5;
    set.BzSet[7].Count = 7;
    set.BzSet[4].OnTime = 3;
    set.BzSet[6].OnTime = 4;
    set.BzSet[8].OnTime = 2;
}

void initAddGyDat(TAddGyDat &add)
{
    add = TAddGyDat{};
    add.GyName = QStringLiteral("新しい業務");
    add.GyMode = 0;
    add.RcvProto = 1;
    add.TSLoc = 1;
    add.AddInData[0] = QByteArray("0") + QByteArray(AddInFirstLength - 1, ' ');
    for (int k = 1; k < AddInBlockCount; ++k)
        add.AddInData[k] = QByteArray(AddInLineLength, ' ');
}

} // namespace

void InitSetData(TSetData &set)
{
    initBuzzer(set);
    set.ComPrg1.clear();
    set.ComPrg2.clear();
    initAddGyDat(set.AddGyDat);
    for (TGyData &job : set.GyData)
        InitGyData(job, set.AddGyDat);
    set.TmpGyNo = 0;
    set.GyCount = 1;

    // UseCount is left alone: a set without masters never reads it, and reading a file recounts it.
    set.MstNum = 0;
    for (TMstDat &m : set.MstDat) {
        m.MFName.clear();
        m.QDNum = 1;
        m.KeySize = 13;
        m.QDSize.fill(10);
    }

    InitBtDat(set.BtDat);
}

QStringList ComModeNames()
{
    return {QStringLiteral("YModem(CU-RS232,115.2kbps)"), QStringLiteral("YModem(CU-USB,460.8kbps)"),
            QStringLiteral("YModem(Bluetooth)")};
}

QString DefaultKindItems()
{
    return QStringLiteral("未入力\r\n設定値\r\n前回の入力\r\n");
}

QStringList BzEventNames()
{
    return {QStringLiteral("キー入力確認"),       QStringLiteral("キー入力エラー"),
            QStringLiteral("バーコード読取ＯＫ"), QStringLiteral("バーコード読取ＮＧ"),
            QStringLiteral("通信終了"),           QStringLiteral("通信エラー"),
            QStringLiteral("処理終了"),           QStringLiteral("処理エラー"),
            QStringLiteral("照合ＯＫ"),           QStringLiteral("照合ＮＧ")};
}

QStringList SendDelItems()
{
    return {QStringLiteral("消去しない"), QStringLiteral("確認画面表示"), QStringLiteral("消去する")};
}

QStringList DspMasks()
{
    return {
        QStringLiteral("A････････････････････"), QStringLiteral("Ａ・・・・・・・・・・"),
        QStringLiteral("000000000000000000009"), QStringLiteral("００００００００００９"),
        QStringLiteral("････････････････････9"), QStringLiteral("・・・・・・・・・・９"),
        QStringLiteral("     ･･･,･･･,･･･,･･9"),  QStringLiteral("・・，・・・，・・９"),
        QStringLiteral("                    "),
    };
}
