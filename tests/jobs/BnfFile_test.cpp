#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <memory>

#include "jobs/BnfFile.h"
#include "jobs/DataType.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"
#include "tests/jobs/ExpectedLine.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/TestIsolation.h"

namespace {

using testjobs::Expected;
using testjobs::sjis;
QByteArray num(int value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

std::unique_ptr<TSetData> newSet()
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    return set;
}

const AddInKnown noAddIns = [](const QString &) { return false; };

QByteArray save(TSetData &set, const BasePageValues &base = {}, const AddInKnown &known = noAddIns)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(SaveBnf(buffer, set, base, known), BnfResult::Ok);
    return buffer.data();
}

QList<QByteArray> linesOf(const QByteArray &file)
{
    EXPECT_TRUE(file.endsWith("\r\n"));
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast();
    for (QByteArray &line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
        EXPECT_EQ(line.size(), 500);
    }
    return lines;
}

BnfResult open(const QByteArray &file, TSetData &set, BasePageValues &base)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return OpenBnf(buffer, set, base);
}

// A device that takes or gives the first `limit` bytes and then fails.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QByteArray data, qint64 limit) : data(std::move(data)), limit(limit) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return qMax<qint64>(data.size(), limit + 1); }

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 p = pos();
        if (p >= limit)
            return -1;
        const qint64 n = qMin(max, qMin<qint64>(limit, data.size()) - p);
        if (n <= 0)
            return -1;
        memcpy(out, data.constData() + p, size_t(n));
        return n;
    }
    qint64 writeData(const char *in, qint64 len) override
    {
        const qint64 room = limit - written.size();
        if (room <= 0)
            return -1;
        written.append(in, qMin(len, room));
        return qMin(len, room);
    }

public:
    QByteArray data;
    QByteArray written;
    qint64 limit;
};

QByteArray defaultHeader()
{
    Expected e;
    e.at(1, "01");
    QByteArray jobSlots;
    for (int k = 0; k < 20; ++k)
        jobSlots += num(2 + 2 * k, 3); // every slot of a new set holds a mode A job of one data item
    e.at(3, jobSlots).at(63, "030").at(66, "030").at(69, "F").at(70, "0").at(71, "20");
    e.blanks(73, 12).blanks(85, 12).at(97, "U").at(98, "00").at(100, "0").at(101, "111").blanks(104, 16);
    // Buzzer events 0..9 of a new set: Hz, count, on time, off time.
    const int bz[10][4] = {{1, 1, 1, 1}, {2, 3, 1, 1}, {1, 1, 1, 1}, {2, 3, 1, 1}, {1, 1, 3, 1},
                           {2, 5, 1, 1}, {1, 1, 4, 1}, {2, 7, 1, 1}, {1, 1, 2, 1}, {2, 3, 1, 1}};
    for (int i = 0; i < 10; ++i)
        e.at(120 + 10 * i, num(bz[i][0], 4) + num(bz[i][1], 2) + num(bz[i][2], 2) + num(bz[i][3], 2));
    e.blanks(220, 20).at(240, "00").at(242, "02").at(244, "BHT-800         ").at(260, "0").at(261, "005");
    e.blanks(264, 12).at(276, "1").at(277, "5190372846150927").blanks(293, 12).blanks(305, 120);
    e.blanks(425, 45).zeros(470, 20).at(490, "BHT-8000000");
    return e.done();
}

TEST(BnfFile, NewSetGoldenBytes)
{
    auto set = newSet();
    const QByteArray file = save(*set);
    ASSERT_EQ(file.size(), 3 * 502);
    const QList<QByteArray> lines = linesOf(file);
    ASSERT_EQ(lines.size(), 3);

    EXPECT_EQ(lines[0], defaultHeader());

    Expected job;
    job.at(1, sjis(QStringLiteral("新しい業務")) + QByteArray(8, ' ')).at(19, "A").blanks(20, 12);
    job.zeros(32, 11).at(43, "1").blanks(44, 12).at(56, "00").at(58, "00").at(60, "0").at(61, "N");
    job.at(62, "00").at(64, "01").at(66, "0").at(67, "0").at(68, "0").at(69, "L").blanks(70, 1);
    job.zeros(71, 10).at(81, "1000000000").blanks(91, 9).at(100, "01").at(102, "0020").zeros(106, 96);
    job.at(202, "00").at(204, "00").at(206, "00").zeros(208, 20).at(228, "01").at(230, "01");
    job.at(232, "01").zeros(234, 18).at(252, "00");
    EXPECT_EQ(lines[1], job.done());

    Expected item;
    item.at(1, "0").at(2, sjis(QStringLiteral("新しいデータ項目")) + QByteArray(6, ' ')).at(24, "0000");
    item.at(28, "B").at(29, "W").at(30, "1").at(31, "K").at(32, "00").at(34, "0").at(35, "B").at(36, "W");
    item.at(37, "A").at(38, "0020").at(42, "000000000020").at(54, "000000000001").at(66, "0").blanks(67, 64);
    item.at(131, "N").at(132, "0").blanks(133, 239).zeros(372, 34).at(406, "00").at(408, "01  00");
    EXPECT_EQ(lines[2], item.done());
}

TEST(BnfFile, NewSetRoundTrip)
{
    auto set = newSet();
    const QByteArray file = save(*set);
    auto back = newSet();
    back->GyData[0].GyName = QStringLiteral("old");
    BasePageValues base;
    base.SubMenu = false;
    base.APOffTime = QStringLiteral("1");
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyCount, 1);
    EXPECT_EQ(back->GyData[0].GyName, QStringLiteral("新しい業務"));
    EXPECT_EQ(back->GyData[0].DaCount, 1);
    EXPECT_EQ(back->GyData[0].DaKoDa[0].KName, QStringLiteral("新しいデータ項目"));
    for (int i = 0; i < BzEventCount; ++i)
        EXPECT_EQ(back->BzSet[i], set->BzSet[i]) << i;
    EXPECT_EQ(back->BtDat.DevName, QStringLiteral("BHT-800"));
    EXPECT_EQ(base.APOffTime, QStringLiteral("30"));
    EXPECT_EQ(base.DataFtp, 1);
    EXPECT_EQ(base.SubMenu, true);
    EXPECT_EQ(save(*back), file) << "saving what was read gives the same bytes";
}

TEST(BnfFile, HeaderValuesAndBuzzerCorrection)
{
    auto set = newSet();
    set->BzSet[0] = {10, 2, 0, 0};
    set->BzSet[1] = {62, 99, 99, 99};
    set->BzSet[2] = {5000, 1, 1, 1};
    set->BzWavFile[3] = QStringLiteral("ALARM.WAV");
    set->ComPrg1 = QStringLiteral("COMA.PD4");
    BasePageValues base;
    base.APOffTime = QStringLiteral("5");
    base.Bar2Read = QStringLiteral("255");
    base.DspErrTime = QStringLiteral("-1");
    base.BarSMode = 2;
    base.DataFtpItems = DataFtpItems(set->ComPrg1, set->ComPrg2);
    base.DataFtp = 3;
    base.SendDel = 2;
    base.ShoriMenu = false;
    const QByteArray header = linesOf(save(*set, base))[0];
    EXPECT_EQ(header.mid(62, 10), QByteArray("005255C0-1"));
    EXPECT_EQ(header.mid(72, 12), QByteArray("COMA.PD4    "));
    EXPECT_EQ(header.mid(96, 7), QByteArray("X002101"));
    EXPECT_EQ(header.mid(119, 30), QByteArray("0062020101"
                                              "0062999999"
                                              "5000010101"));
    EXPECT_EQ(set->BzSet[0], (BuzzerSetting{62, 2, 1, 1})) << "the set itself is corrected";
    EXPECT_EQ(header.mid(304 + 36, 12), QByteArray("ALARM.WAV   "));

    auto back = std::make_unique<TSetData>();
    BasePageValues read;
    ASSERT_EQ(open(save(*set, base), *back, read), BnfResult::Ok);
    EXPECT_EQ(read.APOffTime, QStringLiteral("5"));
    EXPECT_EQ(read.Bar2Read, QStringLiteral("255"));
    EXPECT_EQ(read.DspErrTime, QStringLiteral("-1"));
    EXPECT_EQ(read.BarSMode, 2);
    EXPECT_EQ(read.DataFtpItems.size(), 4);
    EXPECT_EQ(read.DataFtp, 3);
    EXPECT_EQ(read.SendDel, 2);
    EXPECT_EQ(read.ShoriMenu, false);
    EXPECT_EQ(back->ComPrg1, QStringLiteral("COMA.PD4"));
    EXPECT_EQ(back->BzWavFile[3], QStringLiteral("ALARM.WAV"));
    EXPECT_EQ(back->BzSet[1], (BuzzerSetting{62, 99, 99, 99}));
}

TEST(BnfFile, CommunicationProgramsAndBluetooth)
{
    struct Case {
        QString prg1;
        QString prg2;
        char letter;
        int items;
        int selected;
        bool bluetoothRead;
    };
    const Case cases[] = {
        {QStringLiteral("AB.PD4"), QString(), 'X', 4, 3, false},
        {QStringLiteral("ABCD"), QString(), 'X', 3, 2, true},
        {QStringLiteral("ab.pd4"), QString(), 'X', 3, 2, true},
        {QStringLiteral(".PD4"), QStringLiteral("CD.PD4"), 'Y', 4, 3, false},
        {QStringLiteral("AB.PD4"), QStringLiteral("CD.PD4"), 'Y', 5, 4, false},
        {QString(), QString(), 'B', 3, 2, true},
        {QString(), QString(), '2', 3, 0, false},
        {QString(), QString(), 'q', 3, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.letter);
        auto set = newSet();
        set->ComPrg1 = c.prg1;
        set->ComPrg2 = c.prg2;
        set->BtDat = {QStringLiteral("TERM-7"),          1, QStringLiteral("0123456789AB"), 30, 3,
                      QStringLiteral("1111222233334444")};
        QByteArray file = save(*set);
        EXPECT_EQ(file.mid(243, 49), QByteArray("TERM-7          10300123456789AB31111222233334444"))
            << "Bluetooth settings are always written";
        file[96] = c.letter;

        auto back = newSet();
        BasePageValues base;
        ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
        EXPECT_EQ(base.DataFtpItems.size(), c.items);
        EXPECT_EQ(base.DataFtp, c.selected);
        EXPECT_EQ(back->BtDat.DevName,
                  c.bluetoothRead ? QStringLiteral("TERM-7") : QStringLiteral("BHT-800"));
        EXPECT_EQ(back->BtDat.Security, c.bluetoothRead ? 3 : 1);
        EXPECT_EQ(back->BtDat.PassKey,
                  c.bluetoothRead ? QStringLiteral("1111222233334444") : QStringLiteral("5190372846150927"));
    }
}

TEST(BnfFile, ModeBJob)
{
    auto set = newSet();
    TAddGyDat add = set->AddGyDat;
    add.GyMode = 1;
    add.DspTotal = true;
    add.FName = QStringLiteral("DATA**#.TXT");
    add.AddIDChk = true;
    add.TStamp = 3;
    add.TSLoc = 0;
    InitGyData(set->GyData[0], add);
    const QList<QByteArray> lines = linesOf(save(*set));
    ASSERT_EQ(lines.size(), 4);
    const QByteArray &job = lines[1];
    EXPECT_EQ(job.at(18), 'B');
    EXPECT_EQ(job.mid(43, 26), QByteArray("DATA**#.TXT 0201"
                                          "1W"
                                          "0002"
                                          "110T"));
    EXPECT_EQ(job.mid(70, 20), QByteArray("0000000000"
                                          "1100000000"));
    // Stamp first (date, time), terminal number, code (20), quantity (8).
    EXPECT_EQ(job.mid(99, 22), QByteArray("05"
                                          "0010"
                                          "0008"
                                          "0004"
                                          "0020"
                                          "0008"));
    EXPECT_EQ(job.mid(201, 6), QByteArray("030000"));
    EXPECT_EQ(job.mid(227, 8), QByteArray("0402"
                                          "0405"));
    EXPECT_EQ(job.mid(251, 2), QByteArray("01"));
    EXPECT_EQ(lines[0].mid(2, 6), QByteArray("002005"));

    const QByteArray &quantity = lines[3];
    EXPECT_EQ(quantity.mid(1, 22), sjis(QStringLiteral("数量")) + QByteArray(18, ' '));
    EXPECT_EQ(quantity.mid(30, 11), QByteArray("K001BWb0008"));
    EXPECT_EQ(quantity.mid(41, 24), QByteArray("000009999999000000000001"));

    auto back = newSet();
    BasePageValues base;
    ASSERT_EQ(open(save(*set), *back, base), BnfResult::Ok);
    const TGyData &read = back->GyData[0];
    EXPECT_EQ(read.GyMode, 1);
    EXPECT_EQ(read.DspTotal, true);
    EXPECT_EQ(read.DaAddNum, true);
    EXPECT_EQ(read.FName, QStringLiteral("DATA**#.TXT"));
    EXPECT_EQ(read.TStamp, 3);
    EXPECT_EQ(read.TSLoc, 0);
    EXPECT_EQ(read.DaKoDa[1].KDMax, QStringLiteral("+9999999"));
    EXPECT_EQ(read.DaKoDa[1].KDSize, 1);
}

TEST(BnfFile, ModeJJobDropsGroupItems)
{
    auto set = newSet();
    TGyData &job = set->GyData[0];
    job.GyMode = 5;
    job.GrCount = 2;
    InitKoData(job.GrKoDa[0], QStringLiteral("G1"), u'A');
    InitKoData(job.GrKoDa[1], QStringLiteral("G2"), u'A');
    job.DaCount = 2;
    InitKoData(job.DaKoDa[1], QStringLiteral("D2"), u'c');
    job.DaKoDa[1].KDLen = 7;
    for (TKoData &ko : job.DaKoDa) {
        ko.KDInpMode = 2;
        ko.KBar = QStringLiteral("A");
    }
    set->GyData[3].GyMode = 5; // a slot beyond the count loses its group items as well
    set->GyData[3].GrCount = 4;

    const QList<QByteArray> lines = linesOf(save(*set));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(job.GrCount, 0);
    EXPECT_EQ(set->GyData[3].GrCount, 0);
    EXPECT_EQ(lines[0].mid(2, 15), QByteArray("002005007009011"));
    EXPECT_EQ(lines[1].mid(61, 4), QByteArray("0002"));
    EXPECT_EQ(lines[2].mid(132, 1), QByteArray("A"));
    EXPECT_EQ(lines[2].mid(41, 24), QByteArray("000000000020000000000000"));
    EXPECT_EQ(lines[3].mid(1, 2), QByteArray("D2"));
    EXPECT_EQ(lines[3].mid(41, 24), QByteArray("002147483647000000000000"));
    EXPECT_EQ(lines[3].mid(132, 239), QByteArray(239, ' '));
    EXPECT_EQ(lines[3].mid(371, 34), QByteArray(34, '0'));
}

TEST(BnfFile, ModeXJobWithAndWithoutListedProgram)
{
    for (bool listed : {true, false}) {
        SCOPED_TRACE(listed);
        auto set = newSet();
        TGyData &job = set->GyData[0];
        job.GyMode = 7;
        job.PName = QStringLiteral("PICK.PD4");
        job.AddInCount = 2;
        job.AddInData[0] = "P0" + sjis(QStringLiteral("設定")) + QByteArray(500, 'x');
        job.AddInData[1] = "line one";
        job.AddInData[2] = QByteArray(510, 'z');
        const AddInKnown known = [listed](const QString &name) { return listed && name == "PICK.PD4"; };
        const QList<QByteArray> lines = linesOf(save(*set, {}, known));
        EXPECT_EQ(job.AddInCount, listed ? 2 : 0);
        ASSERT_EQ(lines.size(), listed ? 4 : 2);
        EXPECT_EQ(lines[0].mid(2, 6), listed ? QByteArray("002005") : QByteArray("002003"));
        EXPECT_EQ(lines[1].mid(18, 14), QByteArray("XPICK.PD4    ") + (listed ? "2" : "0"));
        if (listed) {
            EXPECT_EQ(lines[1].mid(32), job.AddInData[0].left(468));
            EXPECT_EQ(lines[2], "line one" + QByteArray(492, ' '));
            EXPECT_EQ(lines[3], QByteArray(500, 'z'));
        } else {
            EXPECT_EQ(lines[1].mid(32), "0" + QByteArray(467, ' '));
        }

        auto back = newSet();
        BasePageValues base;
        ASSERT_EQ(open(save(*set, {}, known), *back, base), BnfResult::Ok);
        const TGyData &read = back->GyData[0];
        EXPECT_EQ(read.PName, QStringLiteral("PICK.PD4"));
        EXPECT_EQ(read.AddInCount, listed ? 2 : 0);
        EXPECT_EQ(read.AddInData[0], lines[1].mid(32));
        if (listed) {
            EXPECT_EQ(read.AddInData[1], lines[2]);
        }
    }
}

TEST(BnfFile, ReceiveAndSimpleModes)
{
    auto set = newSet();
    set->GyCount = 3;
    set->GyData[0].GyMode = 3;
    set->GyData[0].RName = QStringLiteral("MASTER.DAT");
    set->GyData[0].RcvProto = 2;
    set->GyData[1].GyMode = 4;
    set->GyData[1].RcvProto = 4;
    set->GyData[2].GyMode = 6;
    set->GyData[2].GyName = QStringLiteral("TEST");
    const QList<QByteArray> lines = linesOf(save(*set));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].mid(0, 11), QByteArray("03002003004"));
    EXPECT_EQ(lines[1].mid(18, 14), QByteArray("RMASTER.DAT  B"));
    EXPECT_EQ(lines[1].mid(32), QByteArray(468, ' '));
    EXPECT_EQ(lines[2].mid(18, 14), "r" + QByteArray(12, ' ') + "Y");
    EXPECT_EQ(lines[3], "TEST" + QByteArray(14, ' ') + "b" + QByteArray(481, ' '));

    auto back = newSet();
    BasePageValues base;
    ASSERT_EQ(open(save(*set), *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyCount, 3);
    EXPECT_EQ(back->GyData[0].RName, QStringLiteral("MASTER.DAT"));
    EXPECT_EQ(back->GyData[0].RcvProto, 2);
    EXPECT_EQ(back->GyData[1].RcvProto, 4);
    EXPECT_EQ(back->GyData[2].GyMode, 6);
}

TEST(BnfFile, ElevenMastersTakeTwoLines)
{
    auto set = newSet();
    set->MstNum = 11;
    for (int k = 0; k < 11; ++k) {
        set->MstDat[k].MFName = QStringLiteral("M%1.DAT").arg(k + 1);
        set->MstDat[k].QDNum = 6;
        set->MstDat[k].KeySize = 10 + k;
        set->MstDat[k].QDSize = {1, 2, 3, 4, 99};
    }
    TKoData &ko = set->GyData[0].DaKoDa[0];
    ko.KMstFlag = true;
    ko.KMFNo = 11;
    const QList<QByteArray> lines = linesOf(save(*set));
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0].mid(2, 3), QByteArray("004"));
    EXPECT_EQ(lines[0].mid(239, 4), QByteArray("1102"));
    EXPECT_EQ(lines[1].left(40), "M1.DAT      0610"
                                 "0102030499" +
                                     QByteArray(14, ' '));
    EXPECT_EQ(lines[1].mid(360, 40), "M10.DAT     0619"
                                     "0102030499" +
                                         QByteArray(14, ' '));
    EXPECT_EQ(lines[1].mid(400), QByteArray(100, ' '));
    EXPECT_EQ(lines[2].left(40), "M11.DAT     0620"
                                 "0102030499" +
                                     QByteArray(14, ' '));
    EXPECT_EQ(lines[2].mid(40, 40), "            0113"
                                    "1010101010" +
                                        QByteArray(14, ' '))
        << "unused entries are written with their defaults";

    auto back = newSet();
    back->MstDat[12].MFName = QStringLiteral("OLD");
    BasePageValues base;
    ASSERT_EQ(open(save(*set), *back, base), BnfResult::Ok);
    EXPECT_EQ(back->MstNum, 11);
    EXPECT_EQ(back->MstDat[10].MFName, QStringLiteral("M11.DAT"));
    EXPECT_EQ(back->MstDat[10].KeySize, 20);
    EXPECT_EQ(back->MstDat[10].QDSize[4], 99);
    EXPECT_EQ(back->MstDat[10].UseCount, 1);
    EXPECT_EQ(back->MstDat[9].UseCount, 0);
    EXPECT_EQ(back->MstDat[12].MFName, QString()) << "read from the second master line";
    EXPECT_EQ(back->GyData[0].DaKoDa[0].KMFNo, 11);
}

TEST(BnfFile, DoubleByteJobNameIsCutAtItsByteWidth)
{
    auto set = newSet();
    set->GyData[0].GyName = QStringLiteral("一二三四五六七八九十");
    QByteArray file = save(*set);
    EXPECT_EQ(file.mid(502, 19), sjis(QStringLiteral("一二三四五六七八九")) + "A");
    auto back = newSet();
    BasePageValues base;
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyData[0].GyName, QStringLiteral("一二三四五六七") + QChar(0xFFFD));

    set->GyData[0].GyName = QStringLiteral("ABCDEFGHIJKLMNOPQRS");
    ASSERT_EQ(open(save(*set), *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyData[0].GyName, QStringLiteral("ABCDEFGHIJKLMNO"));
}

TEST(BnfFile, FullSetRoundTrip)
{
    auto set = newSet();
    set->GyCount = 2;
    TGyData &job = set->GyData[1];
    job.GyName = QStringLiteral("入荷検品");
    job.GrCount = 2;
    InitKoData(job.GrKoDa[0], QStringLiteral("伝票番号"), u'B');
    InitKoData(job.GrKoDa[1], QStringLiteral("日付"), u'W');
    job.GrKoDa[0].KDSaveFlg = false;
    job.DaCount = 3;
    InitKoData(job.DaKoDa[0], QStringLiteral("JAN"), u'A');
    job.DaKoDa[0].KDInpMode = 2;
    job.DaKoDa[0].KBar = QStringLiteral("A");
    job.DaKoDa[0].KBDatChk = true;
    job.DaKoDa[0].KBCmpID = u'B'; // compares with the date item
    InitKoData(job.DaKoDa[1], QStringLiteral("数量"), u'b');
    InitKoData(job.DaKoDa[2], QStringLiteral("金額"), u'c');

    const QByteArray file = save(*set);
    EXPECT_EQ(job.DaKoDa[0].KBCmpMode, QChar(u'2')) << "derived before writing";
    auto back = newSet();
    BasePageValues base;
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    ASSERT_EQ(back->GyCount, 2);
    const TGyData &read = back->GyData[1];
    EXPECT_EQ(read.GyName, QStringLiteral("入荷検品"));
    ASSERT_EQ(read.GrCount, 2);
    ASSERT_EQ(read.DaCount, 3);
    EXPECT_EQ(read.GrKoDa[0].KName, QStringLiteral("伝票番号"));
    EXPECT_EQ(read.GrKoDa[0].KDSaveFlg, false);
    EXPECT_EQ(read.GrKoDa[1].KDType, 6);
    EXPECT_EQ(read.DaKoDa[0].KDInpMode, 2);
    EXPECT_EQ(read.DaKoDa[0].KBCmpID, QChar(u'B'));
    EXPECT_EQ(read.DaKoDa[2].KDMax, QStringLiteral("9999999"));
    // A signed real's limits gain their sign on reading, which changes those bytes once; from then
    // on saving and reading is stable.
    const QByteArray second = save(*back);
    EXPECT_NE(second, file);
    auto third = newSet();
    ASSERT_EQ(open(second, *third, base), BnfResult::Ok);
    EXPECT_EQ(save(*third), second);

    // The same file marked 801 reads the same.
    QByteArray marked = file;
    marked.replace(495, 1, "1");
    auto back801 = newSet();
    ASSERT_EQ(open(marked, *back801, base), BnfResult::Ok);
    EXPECT_EQ(back801->GyData[1].GrKoDa[0].KDSaveFlg, false);
    EXPECT_EQ(back801->GyData[1].DaKoDa[0].KDInpMode, 2);
}

// Saving, opening and saving again gives the same bytes for every input method and stored flag,
// in both item lists of mode A and in mode J, whose first item reads a barcode whatever its type.
TEST(BnfFile, EveryInputMethodAndStoredFlagSurvivesReopening)
{
    for (const char mode : {'A', 'J'}) {
        for (const QChar type : {u'A', u'a', u'W'}) {
            for (int input = 0; input < 4; ++input) {
                for (const bool stored : {false, true}) {
                    SCOPED_TRACE(testing::Message() << mode << char(type.unicode()) << input << stored);
                    auto set = newSet();
                    TGyData &job = set->GyData[0];
                    job.GyMode = GyModeIndex(QLatin1Char(mode));
                    job.GrCount = mode == 'A' ? 1 : 0;
                    InitKoData(job.GrKoDa[0], QStringLiteral("G"), type);
                    job.DaCount = 2;
                    InitKoData(job.DaKoDa[0], QStringLiteral("D1"), type);
                    InitKoData(job.DaKoDa[1], QStringLiteral("D2"), type);
                    for (TKoData *ko : {&job.GrKoDa[0], &job.DaKoDa[0], &job.DaKoDa[1]}) {
                        ko->KDInpMode = input;
                        ko->KDSaveFlg = stored;
                        ko->KBar = QStringLiteral("AQ");
                        ko->KBMax = 24;
                    }
                    const QByteArray first = save(*set);
                    auto back = newSet();
                    BasePageValues base;
                    ASSERT_EQ(open(first, *back, base), BnfResult::Ok);
                    EXPECT_EQ(save(*back), first);
                    // What reaches the terminal: the letter and flag of the first data item.
                    const QByteArray line = linesOf(first)[mode == 'A' ? 3 : 2];
                    EXPECT_EQ(line.at(29), stored ? '1' : '0');
                    EXPECT_EQ(back->GyData[0].DaKoDa[0].KDSaveFlg, stored);
                }
            }
        }
    }

    // A set whose lines leave bytes 30 and 31 blank reads every item as stored, by keys or,
    // with symbology letters, keys and barcode.
    auto set = newSet();
    set->GyData[0].DaKoDa[0].KDInpMode = 2;
    set->GyData[0].DaKoDa[0].KBar = QStringLiteral("A");
    set->GyData[0].DaKoDa[0].KDSaveFlg = false;
    QByteArray file = save(*set);
    const qsizetype item = file.indexOf("\r\n", file.indexOf("\r\n") + 2) + 2;
    file.replace(item + 29, 2, "  ");
    auto back = newSet();
    BasePageValues base;
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyData[0].DaKoDa[0].KDSaveFlg, true);
    EXPECT_EQ(back->GyData[0].DaKoDa[0].KDInpMode, 3);
}

TEST(BnfFile, MissingLinesAtTheEnd)
{
    auto set = newSet();
    set->GyCount = 2;
    set->GyData[1].GrCount = 1;
    set->GyData[1].DaCount = 2;
    const QByteArray file = save(*set);
    ASSERT_EQ(linesOf(file).size(), 7);

    // The second job's last two item lines are missing: default items take their place.
    auto back = newSet();
    back->GyData[1].DaKoDa[1].KName = QStringLiteral("old");
    BasePageValues base;
    ASSERT_EQ(open(file.left(5 * 502), *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyData[1].DaKoDa[0].KName, QStringLiteral("新しいデータ項目"));
    EXPECT_EQ(back->GyData[1].DaKoDa[1].KName, QStringLiteral("新しいデータ項目"));

    // Without the second job line the file holds fewer jobs than its header says.
    auto fewer = newSet();
    fewer->GyData[0].GyName = QStringLiteral("old");
    EXPECT_EQ(open(file.left(3 * 502), *fewer, base), BnfResult::MissingJobs);
    EXPECT_EQ(fewer->GyData[0].GyName, QStringLiteral("新しい業務")) << "what was read stays";
    EXPECT_EQ(BnfResultMessage(BnfResult::MissingJobs).text, QString());

    // A header count of 0 still reads the first job and then fails.
    QByteArray zero = file;
    zero.replace(0, 2, "00");
    EXPECT_EQ(open(zero, *fewer, base), BnfResult::MissingJobs);
    // Nor is a count of 0 with no job line after the header a set, which must hold a job.
    EXPECT_EQ(open(zero.left(502), *fewer, base), BnfResult::MissingJobs);

    // A last line without its line end is still read.
    auto noEnd = newSet();
    EXPECT_EQ(open(file.left(file.size() - 2), *noEnd, base), BnfResult::Ok);
}

TEST(BnfFile, ReaderRefusals)
{
    const QByteArray good = save(*newSet());
    struct Case {
        const char *name;
        QByteArray file;
        BnfResult result;
    };
    auto patched = [&](int at, QByteArray bytes) {
        return QByteArray(good).replace(at, bytes.size(), bytes);
    };
    const Case cases[] = {
        {"empty", QByteArray(), BnfResult::Empty},
        {"blank line", QByteArray("\r\n"), BnfResult::NotBht800},
        {"short header", good.left(300), BnfResult::NotBht800},
        {"marker cut after BHT-80", good.left(495), BnfResult::Corrupt},
        {"other family", patched(489, "BHT-700"), BnfResult::NotBht800},
        {"unknown version", patched(489, "BHT-802"), BnfResult::Corrupt},
        {"21 jobs", patched(0, "21"), BnfResult::Corrupt},
        {"99 jobs", patched(0, "99"), BnfResult::Corrupt},
        {"21 masters", patched(239, "21"), BnfResult::Corrupt},
        {"negative masters", patched(239, "-1"), BnfResult::Corrupt},
        {"50 masters", patched(239, "50"), BnfResult::Corrupt},
        {"no job line", good.left(502), BnfResult::MissingJobs},
        {"binary", QByteArray(2000, '\0'), BnfResult::NotBht800},
    };
    for (const Case &c : cases) {
        auto set = newSet();
        set->GyData[0].GyName = QStringLiteral("kept");
        set->GyCount = 1;
        BasePageValues base;
        EXPECT_EQ(open(c.file, *set, base), c.result) << c.name;
        if (c.result != BnfResult::MissingJobs) {
            EXPECT_EQ(set->GyData[0].GyName, QStringLiteral("kept")) << c.name;
        }
    }
}

TEST(BnfFile, OutOfRangeCountsInJobLinesAreBounded)
{
    auto set = newSet();
    QByteArray file = save(*set);
    file.replace(502 + 61, 4, "9999"); // GrCount, DaCount
    auto back = newSet();
    BasePageValues base;
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyData[0].GrCount, 0);
    EXPECT_EQ(back->GyData[0].DaCount, 1);

    file = save(*set);
    file.replace(99, 1, "7"); // SendDelCB index
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(base.SendDel, 0);

    // Master fields: QDNum 99 and widths of -8 are not a record layout.
    set->MstNum = 1;
    file = save(*set);
    file.replace(502 + 12, 6, "99-8-8");
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(back->MstDat[0].QDNum, 6);
    EXPECT_EQ(back->MstDat[0].KeySize, 1);
    EXPECT_EQ(back->MstDat[0].QDSize[0], 1);
    EXPECT_EQ(CheckBnfWritable(*back), BnfResult::Ok);

    set->MstNum = 0;
    set->GyData[0].GyMode = 7;
    file = save(*set);
    file.replace(502 + 31, 1, "9"); // AddInCount
    ASSERT_EQ(open(file, *back, base), BnfResult::Ok);
    EXPECT_EQ(back->GyData[0].AddInCount, 5);
    EXPECT_EQ(back->GyData[0].AddInData[5], QByteArray()) << "missing add-in lines are empty";
}

TEST(BnfFile, ReadFailures)
{
    const QByteArray good = save(*newSet());
    {
        // The first line cannot be read: the set is left alone.
        auto set = newSet();
        set->GyData[0].GyName = QStringLiteral("kept");
        FailingDevice device(good, 100);
        device.open(QIODevice::ReadOnly);
        BasePageValues base;
        EXPECT_EQ(OpenBnf(device, *set, base), BnfResult::ReadFailed);
        EXPECT_EQ(set->GyData[0].GyName, QStringLiteral("kept"));
    }
    {
        // A later line cannot be read: the set becomes a new one.
        auto set = newSet();
        set->GyCount = 4;
        set->GyData[0].GyName = QStringLiteral("lost");
        BasePageValues base;
        base.SubMenu = false;
        FailingDevice device(good, 700);
        device.open(QIODevice::ReadOnly);
        EXPECT_EQ(OpenBnf(device, *set, base), BnfResult::ReadFailedReset);
        EXPECT_EQ(set->GyCount, 1);
        EXPECT_EQ(set->GyData[0].GyName, QStringLiteral("新しい業務"));
        EXPECT_EQ(base.SubMenu, true);
    }
    auto set = newSet();
    BasePageValues base;
    EXPECT_EQ(OpenBnf(testsupport::caseFolder() + "/none.BNF", *set, base), BnfResult::CannotOpen);
    QBuffer closed;
    EXPECT_EQ(OpenBnf(closed, *set, base), BnfResult::CannotOpen);
}

TEST(BnfFile, Messages)
{
    using platform::MsgIcon;
    struct Case {
        BnfResult result;
        QString text;
        QString caption;
        MsgIcon icon;
    };
    const QString fileError = QStringLiteral("ファイル エラー");
    const QString dataError = QStringLiteral("業務データエラー");
    const Case cases[] = {
        {BnfResult::Ok, QString(), QString(), MsgIcon::None},
        {BnfResult::MissingJobs, QString(), QString(), MsgIcon::None},
        {BnfResult::CannotCreate, QStringLiteral("フォルダまたはファイル名を変更してください。"), fileError,
         MsgIcon::Exclamation},
        {BnfResult::WriteFailed, QStringLiteral("フォルダまたはファイル名を変更してください。"), fileError,
         MsgIcon::Exclamation},
        {BnfResult::CannotOpen, QStringLiteral("ファイルをオープンできません。"), fileError, MsgIcon::Stop},
        {BnfResult::Empty, QStringLiteral("業務データがありません。"), dataError, MsgIcon::Exclamation},
        {BnfResult::ReadFailed, QStringLiteral("ファイル読み取りができません。"), fileError, MsgIcon::Stop},
        {BnfResult::ReadFailedReset, QStringLiteral("ファイル読み取りができません。"), fileError,
         MsgIcon::Stop},
        {BnfResult::NotBht800, QStringLiteral("BHT-800の業務データではありません。"), dataError,
         MsgIcon::Exclamation},
        {BnfResult::Corrupt, QStringLiteral("業務データに異常があります。。"), dataError,
         MsgIcon::Exclamation},
        {BnfResult::InvalidSet, QStringLiteral("業務データに異常があります。。"), dataError,
         MsgIcon::Exclamation},
    };
    for (const Case &c : cases) {
        const BnfMessage m = BnfResultMessage(c.result);
        EXPECT_EQ(m.text, c.text) << int(c.result);
        EXPECT_EQ(m.caption, c.caption) << int(c.result);
        EXPECT_EQ(m.icon, c.icon) << int(c.result);
    }
}

TEST(BnfFile, SetsTheFileCannotCarryAreRefused)
{
    struct Case {
        const char *name;
        void (*change)(TSetData &);
    };
    const Case cases[] = {
        {"key width 100", [](TSetData &s) { s.MstNum = 1, s.MstDat[0].KeySize = 100; }},
        {"field width 100", [](TSetData &s) { s.MstNum = 1, s.MstDat[0].QDSize[2] = 100; }},
        {"unused entry of a written line", [](TSetData &s) { s.MstNum = 1, s.MstDat[9].QDSize[0] = 120; }},
        {"negative width", [](TSetData &s) { s.MstNum = 12, s.MstDat[11].KeySize = -1; }},
        {"21 masters", [](TSetData &s) { s.MstNum = 21; }},
        {"no jobs", [](TSetData &s) { s.GyCount = 0; }},
        {"21 jobs", [](TSetData &s) { s.GyCount = 21; }},
        {"11 data items", [](TSetData &s) { s.GyData[0].DaCount = 11; }},
        {"11 group items in an unwritten slot", [](TSetData &s) { s.GyData[19].GrCount = 11; }},
        {"6 add-in lines", [](TSetData &s) { s.GyData[0].AddInCount = 6; }},
    };
    for (const Case &c : cases) {
        auto set = newSet();
        c.change(*set);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_EQ(SaveBnf(buffer, *set, {}, noAddIns), BnfResult::InvalidSet) << c.name;
        EXPECT_EQ(buffer.size(), 0) << c.name;
    }
    // Widths of 99 are still carried; a width beyond the first line does not count for 10 masters.
    auto set = newSet();
    set->MstNum = 10;
    set->MstDat[0].KeySize = 99;
    set->MstDat[10].KeySize = 500;
    EXPECT_EQ(CheckBnfWritable(*set), BnfResult::Ok);
}

class BnfFileWrite : public testing::Test {
protected:
    QString path() const { return testsupport::caseFolder() + "/SET.BNF"; }
    void writeOld()
    {
        QFile old(path());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(oldBytes);
    }
    QByteArray onDisk() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    const QByteArray oldBytes = "old contents\r\n";
};

TEST_F(BnfFileWrite, PathWriteReplacesTheFile)
{
    writeOld();
    auto set = newSet();
    EXPECT_EQ(SaveBnf(path(), *set, {}, noAddIns), BnfResult::Ok);
    EXPECT_EQ(onDisk(), save(*set));
}

TEST_F(BnfFileWrite, FailingDeviceIsAFailure)
{
    for (qint64 limit : {0, 501, 502, 1000, 1505}) {
        auto set = newSet();
        FailingDevice device(QByteArray(), limit);
        device.open(QIODevice::WriteOnly);
        EXPECT_EQ(SaveBnf(device, *set, {}, noAddIns), BnfResult::WriteFailed) << limit;
    }
}

TEST_F(BnfFileWrite, FolderThatCannotTakeTheFile)
{
    auto set = newSet();
    EXPECT_EQ(SaveBnf(testsupport::caseFolder() + "/no/such/folder/SET.BNF", *set, {}, noAddIns),
              BnfResult::CannotCreate);
}

TEST_F(BnfFileWrite, InvalidSetLeavesTheOldFile)
{
    writeOld();
    auto set = newSet();
    set->MstNum = 1;
    set->MstDat[0].QDSize[0] = 100;
    EXPECT_EQ(SaveBnf(path(), *set, {}, noAddIns), BnfResult::InvalidSet);
    EXPECT_EQ(onDisk(), oldBytes);
}

TEST_F(BnfFileWrite, FullDiskKeepsTheOldFile)
{
    // A file size limit makes the writes fail as a full disk does, also for root.
    writeOld();
    auto set = newSet();
    BnfResult result = BnfResult::Ok;
    {
        // The whole file waits in the write buffer: the disk refuses it at the final flush.
        testsupport::FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        result = SaveBnf(path(), *set, {}, noAddIns);
    }
    EXPECT_EQ(result, BnfResult::WriteFailed);
    EXPECT_EQ(onDisk(), oldBytes);
    const QStringList left = QDir(testsupport::caseFolder()).entryList(QDir::Files);
    EXPECT_EQ(left, QStringList{QStringLiteral("SET.BNF")}) << "no partial file stays behind";
}

} // namespace
