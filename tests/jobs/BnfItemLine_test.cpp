#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <span>

#include "jobs/BnfItemLine.h"
#include "jobs/DataType.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"
#include "tests/jobs/ExpectedLine.h"

namespace {

using testjobs::Expected;
using testjobs::sjis;

TKoData item(const QString &name, QChar type)
{
    TKoData ko;
    InitKoData(ko, name, type);
    return ko;
}

TKoData barcodeItem()
{
    TKoData ko = item(QStringLiteral("CODE"), u'A');
    ko.KDInpMode = 2;
    ko.KBar = QStringLiteral("AiQ");
    ko.KBarUser = QStringLiteral("USER1");
    ko.KBMax = 30;
    ko.KBMin = 8;
    ko.KBGTIN = true;
    ko.KBNW7DelCD = true;
    return ko;
}

// The first 41 bytes of a line that an item of type string, keys or barcode, carries.
Expected head(const QByteArray &name22, char input)
{
    Expected e;
    e.at(1, "0").at(2, name22).at(24, "0000").at(28, "B").at(29, "W").at(30, "1");
    e.at(31, QByteArray(1, input))
        .at(32, "00")
        .at(34, "0")
        .at(35, "B")
        .at(36, "W")
        .at(37, "A")
        .at(38, "0020");
    return e;
}

std::array<TMstDat, 2> twoMasters()
{
    std::array<TMstDat, 2> masters{};
    return masters;
}

TEST(BnfItemLine, DefaultItemInModeA)
{
    const TKoData ko = item(QStringLiteral("新しいデータ項目"), u'A');
    Expected e = head(sjis(QStringLiteral("新しいデータ項目")) + QByteArray(6, ' '), 'K');
    e.at(42, "000000000020").at(54, "000000000001").at(66, "0").blanks(67, 64).at(131, "N").at(132, "0");
    e.blanks(133, 239).zeros(372, 34).at(406, "00").at(408, "01  00");
    EXPECT_EQ(SaveKoDat(ko, 1, u'A', 0), e.done());
}

TEST(BnfItemLine, BarcodeBlockWithEachSplitFormat)
{
    struct Case {
        int format;
        char letter;
        QByteArray entry0; // the first 10-byte split entry
        QByteArray entry9;
    };
    const Case cases[] = {
        {0, 'N', "0300050012", "0900010010"},
        {7, 'A',
         "0301  "
         "    ",
         "09    "
         "    "},
        {1, 'K', "0304      ", "0910      "},
        {6, 'C', "0304      ", "0910      "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.letter);
        TKoData ko = barcodeItem();
        ko.KBFmt = c.format;
        ko.FWDatChk = true;
        ko.FWCount = 2;
        ko.FWDstKo[0] = 3;
        ko.FWTop[0] = 5;
        ko.FWLength[0] = 12;
        ko.FWDatNo[0] = 4;
        ko.FWAiCd[0] = QStringLiteral("01");
        ko.FWDstKo[9] = 9;

        const QByteArray line = SaveKoDat(ko, 1, u'A', 0);
        Expected e = head("CODE" + QByteArray(18, ' '), 'B');
        e.at(42, "000000000020").at(54, "000000000001").at(66, "0").blanks(67, 64).at(131, "N").at(132, "0");
        e.at(133, "AiQ" + QByteArray(17, ' ')).at(153, "USER1" + QByteArray(27, ' ')).at(185, "0030");
        e.at(189, "0008")
            .at(193, "10010")
            .at(198, QByteArray(1, c.letter))
            .at(199, "00100010001")
            .blanks(210, 60);
        e.at(270, "02").at(272, c.entry0);
        for (int i = 1; i < 9; ++i) {
            // Untouched entries keep the item defaults: destination i, start 1, length 10, number i + 1.
            const QByteArray dst = QByteArray::number(i).rightJustified(2, '0');
            const QByteArray rest = c.letter == 'N' ? QByteArray("00010010")
                                    : c.letter == 'A'
                                        ? QByteArray(8, ' ')
                                        : QByteArray::number(i + 1).rightJustified(2, '0') + "      ";
            e.at(272 + 10 * i, dst + rest);
        }
        e.at(362, c.entry9).zeros(372, 34).at(406, "00").at(408, "01  00");
        EXPECT_EQ(line, e.done());

        std::array<TMstDat, 2> masters = twoMasters();
        for (bool v801 : {false, true}) {
            TKoData back = item(QStringLiteral("x"), u'A');
            (v801 ? GetKoDat801 : GetKoDat800)(line, back, 1, 0, masters);
            EXPECT_EQ(back.KDInpMode, 2);
            EXPECT_EQ(back.KBar, ko.KBar);
            EXPECT_EQ(back.KBarUser, ko.KBarUser);
            EXPECT_EQ(back.KBMax, 30);
            EXPECT_EQ(back.KBMin, 8);
            EXPECT_EQ(back.KBGTIN, true);
            EXPECT_EQ(back.KBItfDelCD, false);
            EXPECT_EQ(back.KBNW7DelCD, true);
            EXPECT_EQ(back.KBFmt, c.format);
            EXPECT_EQ(back.FWDatChk, true);
            EXPECT_EQ(back.FWCount, 2);
            EXPECT_EQ(back.FWDstKo[0], 3);
            EXPECT_EQ(back.FWDstKo[9], 9);
            if (c.letter == 'N') {
                EXPECT_EQ(back.FWTop[0], 5);
                EXPECT_EQ(back.FWLength[0], 12);
            } else if (c.letter == 'A') {
                EXPECT_EQ(back.FWAiCd[0], QStringLiteral("01"));
            } else {
                EXPECT_EQ(back.FWDatNo[0], 4);
            }
        }
    }
}

TEST(BnfItemLine, DataCheckBlockAndTail)
{
    struct Case {
        QChar id;
        QByteArray text60; // bytes 210-269
        QString readBack;  // KBChkStr after reading
    };
    const QString value = QStringLiteral("12345678901234");
    const Case cases[] = {
        {u'0', "12345678901234" + QByteArray(46, ' '), value},
        {u'1', "12345678901234" + QByteArray(46, ' '), QStringLiteral("1234567890")},
        {u'3', QByteArray(60, ' '), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.id.toLatin1());
        TKoData ko = barcodeItem();
        ko.KBDatChk = true;
        ko.KBChkNgMd = 4;
        ko.KBChkDNo = 2;
        ko.KBChkTop = 3;
        ko.KBChkLen = 14;
        ko.KBChkAi = QStringLiteral("17");
        ko.KBCmpID = c.id;
        ko.KBChkStr = value;
        ko.KBCmpMode = u'3';
        const QByteArray line = SaveKoDat(ko, 1, u'A', 0);
        EXPECT_EQ(line.mid(198, 11), QByteArray("50200030014"));
        EXPECT_EQ(line.mid(209, 60), c.text60);
        EXPECT_EQ(line.mid(269, 102), QByteArray(102, '0'));
        EXPECT_EQ(line.mid(407, 6), "17  " + QByteArray(1, c.id.toLatin1()) + "3");

        std::array<TMstDat, 2> masters = twoMasters();
        TKoData back = item(QStringLiteral("x"), u'A');
        GetKoDat800(line, back, 1, 0, masters);
        EXPECT_EQ(back.KBDatChk, true);
        EXPECT_EQ(back.KBChkNgMd, 4);
        EXPECT_EQ(back.KBChkDNo, 2);
        EXPECT_EQ(back.KBChkTop, 3);
        EXPECT_EQ(back.KBChkLen, 14);
        EXPECT_EQ(back.KBChkAi, QStringLiteral("17"));
        EXPECT_EQ(back.KBCmpID, c.id);
        EXPECT_EQ(back.KBChkStr, c.readBack);
        EXPECT_EQ(back.FWDatChk, false);
        EXPECT_EQ(back.FWLength[0], 1) << "split defaults of a line without split fields";
    }
}

TEST(BnfItemLine, MasterBlockRoundTripCountsTheReference)
{
    TKoData ko = item(QStringLiteral("CODE"), u'A');
    ko.KMstFlag = true;
    ko.KMFNo = 2;
    ko.KMFKeySet = true;
    ko.KMFKeyTop = 3;
    ko.KMFKeyLen = 7;
    ko.KMstChk = true;
    ko.DspQDNo = 1;
    ko.SaveQDNum = 2;
    ko.QDNo = {1, 3, 0, 0, 0};
    ko.SDNo = {4, 5, 0, 0, 0};
    ko.KDNextTm = 15;
    const QByteArray line = SaveKoDat(ko, 1, u'B', 0);
    EXPECT_EQ(line.mid(132, 239), QByteArray(239, ' ')) << "keys only: no barcode block";
    EXPECT_EQ(line.mid(371, 34), QByteArray("0210003071010201040305") + QByteArray(12, '0'));
    EXPECT_EQ(line.mid(405, 8), QByteArray("1501  00"));

    std::array<TMstDat, 2> masters = twoMasters();
    TKoData back;
    GetKoDat800(line, back, 1, 0, masters);
    EXPECT_EQ(back.KMstFlag, true);
    EXPECT_EQ(back.KMFNo, 2);
    EXPECT_EQ(back.KMFKeySet, true);
    EXPECT_EQ(back.KMFKeyTop, 3);
    EXPECT_EQ(back.KMFKeyLen, 7);
    EXPECT_EQ(back.KMstChk, true);
    EXPECT_EQ(back.DspQDNo, 1);
    EXPECT_EQ(back.SaveQDNum, 2);
    EXPECT_EQ(back.QDNo, ko.QDNo);
    EXPECT_EQ(back.SDNo, ko.SDNo);
    EXPECT_EQ(back.KDNextTm, 15);
    EXPECT_EQ(masters[1].UseCount, 1);
    EXPECT_EQ(masters[0].UseCount, 0);

    ko.KMFKeySet = false;
    EXPECT_EQ(SaveKoDat(ko, 1, u'A', 0).mid(371, 9), QByteArray("020000101"));
}

TEST(BnfItemLine, ReaderBoundsCountsAndMasterNumbers)
{
    TKoData ko = barcodeItem();
    ko.FWDatChk = true;
    ko.KMstFlag = true;
    ko.KMFNo = 3; // beyond the two held definitions
    QByteArray line = SaveKoDat(ko, 1, u'A', 0);
    line.replace(269, 2, "99");   // FWCount
    line.replace(381, 4, "0799"); // DspQDNo, SaveQDNum

    std::array<TMstDat, 2> masters = twoMasters();
    TKoData back;
    GetKoDat800(line, back, 1, 0, masters);
    EXPECT_EQ(back.FWCount, 10);
    EXPECT_EQ(back.KMstFlag, false) << "a reference to no held master is dropped";
    EXPECT_EQ(back.KMFNo, 0);
    EXPECT_EQ(masters[0].UseCount + masters[1].UseCount, 0);

    line.replace(371, 2, "01");
    GetKoDat800(line, back, 1, 0, masters);
    EXPECT_EQ(back.KMFNo, 1);
    EXPECT_EQ(back.DspQDNo, 0);
    EXPECT_EQ(back.SaveQDNum, 5);
    EXPECT_EQ(masters[0].UseCount, 1);

    GetKoDat800(line, back, 1, 0, std::span<TMstDat>());
    EXPECT_EQ(back.KMstFlag, false) << "no masters held";
}

TEST(BnfItemLine, ModeJLimitsByTypeAndBlocksOnlyOnTheFirstItem)
{
    struct Case {
        QChar type;
        QByteArray limits; // bytes 42-65
    };
    const Case cases[] = {
        {u'A', "000000000020000000000000"}, {u'C', "000000000020000000000000"},
        {u'a', "002147483647000000000000"}, {u'c', "002147483647000000000000"},
        {u'b', "+02147483647-02147483647"}, {u'W', "000000000010000000000010"},
        {u'Z', "000000000005000000000005"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type.toLatin1());
        TKoData ko = item(QStringLiteral("J"), c.type);
        ko.KDLen = c.type == u'a' || c.type == u'b' || c.type == u'c' ? 8 : ko.KDLen;
        if (c.type == u'A' || c.type == u'C')
            ko.KDLen = 20;
        const QByteArray line = SaveKoDat(ko, 2, u'J', 1);
        EXPECT_EQ(line.mid(41, 24), c.limits);
        EXPECT_EQ(line.mid(65, 67), QByteArray(67, ' '));
    }

    TKoData ko = barcodeItem();
    ko.KMstFlag = true;
    ko.KMFNo = 1;
    const QByteArray first = SaveKoDat(ko, 2, u'J', 0);
    const QByteArray second = SaveKoDat(ko, 2, u'J', 1);
    EXPECT_EQ(first.mid(132, 3), QByteArray("AiQ"));
    EXPECT_EQ(first.mid(371, 2), QByteArray("01"));
    EXPECT_EQ(second.mid(132, 239), QByteArray(239, ' '));
    EXPECT_EQ(second.mid(371, 34), QByteArray(34, '0'));
}

TEST(BnfItemLine, InputLetterAndStoredFlag)
{
    struct Case {
        QChar type;
        int input;
        char letter;
    };
    const Case cases[] = {
        {u'A', 0, 'N'}, {u'A', 1, 'K'}, {u'A', 2, 'B'}, {u'B', 3, 'W'}, {u'C', 2, 'B'},
        {u'a', 2, 'K'}, {u'b', 3, 'K'}, {u'W', 2, 'K'}, {u'Z', 3, 'K'}, {u'c', 0, 'N'},
    };
    for (const Case &c : cases) {
        TKoData ko = item(QStringLiteral("I"), c.type);
        ko.KDInpMode = c.input;
        ko.KDSaveFlg = false;
        const QByteArray line = SaveKoDat(ko, 1, u'A', 0);
        EXPECT_EQ(line.at(30), c.letter) << c.type.toLatin1() << c.input;
        EXPECT_EQ(line.at(29), '0');
    }
}

TEST(BnfItemLine, ReadersTakeTheStoredFlagAndInputMode)
{
    // Both readers take bytes 30 and 31 as the writer fills them. A line without them (blanks
    // there) gives the 800 reader a stored item keyed, or keyed and scanned with symbology letters.
    struct Case {
        QChar type;
        int input;
        bool saved;
        bool symbologies;
        int mode;        // both readers, as written
        int mode801;     // the 801 reader, which takes the letter alone
        bool barcode;    // the block read back, as written
        int modeWithout; // the 800 reader, bytes 30 and 31 blank
    };
    const Case cases[] = {
        {u'A', 2, false, true, 2, 2, true, 3},
        {u'A', 3, true, true, 3, 3, true, 3},
        {u'A', 1, false, false, 1, 1, false, 1},
        {u'A', 0, false, false, 0, 0, false, 1},
        {u'A', 0, true, false, 0, 0, false, 1},
        {u'A', 2, true, false, 2, 2, false, 1},
        // A number read by barcode is lettered "K" with its block: the block tells the 800 reader.
        {u'a', 2, false, true, 3, 1, true, 3},
        {u'W', 3, true, true, 3, 1, true, 3},
        {u'a', 1, true, false, 1, 1, false, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << char(c.type.unicode()) << c.input << c.saved << c.symbologies);
        TKoData ko = barcodeItem();
        ko.KDType = DataTypeIndex(c.type);
        ko.KDInpMode = c.input;
        ko.KDSaveFlg = c.saved;
        if (!c.symbologies)
            ko.KBar.clear();
        const QByteArray line = SaveKoDat(ko, 1, u'A', 0);
        std::array<TMstDat, 2> masters = twoMasters();

        TKoData back800;
        GetKoDat800(line, back800, 1, 0, masters);
        EXPECT_EQ(back800.KDSaveFlg, c.saved);
        EXPECT_EQ(back800.KDInpMode, c.mode);
        EXPECT_EQ(back800.KBar.isEmpty(), !c.barcode);
        if (!c.barcode) {
            EXPECT_EQ(back800.KBMax, 20);
            EXPECT_EQ(back800.KBMin, 1);
        } else {
            EXPECT_EQ(back800.KBMax, 30);
        }

        TKoData back801;
        GetKoDat801(line, back801, 1, 0, masters);
        EXPECT_EQ(back801.KDSaveFlg, c.saved);
        EXPECT_EQ(back801.KDInpMode, c.mode801);
        EXPECT_EQ(back801.KBar.isEmpty(), !(c.barcode && c.mode801 >= 2));

        QByteArray without = line;
        without.replace(29, 2, "  ");
        TKoData old;
        GetKoDat800(without, old, 1, 0, masters);
        EXPECT_EQ(old.KDSaveFlg, true);
        EXPECT_EQ(old.KDInpMode, c.modeWithout);
        EXPECT_EQ(old.KBar.isEmpty(), !c.symbologies);
    }

    // Other bytes there are no letters of the writer: the line reads as one without them.
    for (const char *other : {"xq", "2 ", " Z"}) {
        SCOPED_TRACE(other);
        QByteArray line = SaveKoDat(barcodeItem(), 1, u'A', 0);
        line.replace(29, 2, other);
        TKoData back;
        std::array<TMstDat, 2> masters = twoMasters();
        GetKoDat800(line, back, 1, 0, masters);
        EXPECT_EQ(back.KDSaveFlg, true);
        EXPECT_EQ(back.KDInpMode, 3);
    }

    // A stored symbology on a number item read by the 801 reader: its keys-only input wins.
    QByteArray line = SaveKoDat(barcodeItem(), 1, u'A', 0);
    line[36] = 'a';
    line[30] = 'B';
    TKoData back;
    std::array<TMstDat, 2> masters = twoMasters();
    GetKoDat801(line, back, 1, 0, masters);
    EXPECT_EQ(back.KDInpMode, 1);
    EXPECT_EQ(back.KBar, QString());
}

TEST(BnfItemLine, LimitsAreNormalisedByType)
{
    struct Case {
        QChar type;
        int len;
        QString max;
        QString min;
        QString max800;
        QString min800;
        QString max801;
        int len801;
    };
    const Case cases[] = {
        {u'b', 8, QStringLiteral("99999999"), QStringLiteral("1"), QStringLiteral("+9999999"),
         QStringLiteral("+1"), QStringLiteral("+9999999"), 8},
        {u'b', 5, QStringLiteral("-123456"), QStringLiteral("-00042"), QStringLiteral("-3456"),
         QStringLiteral("-42"), QStringLiteral("-3456"), 5},
        {u'a', 3, QStringLiteral("12345"), QStringLiteral("0"), QStringLiteral("345"), QStringLiteral("0"),
         QStringLiteral("345"), 3},
        {u'c', 0, QStringLiteral("-987"), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("0"),
         QStringLiteral("987"), 3},
        {u'b', 0, QStringLiteral("+77"), QStringLiteral("0"), QStringLiteral("+0"), QStringLiteral("+0"),
         QStringLiteral("+00000000077"), 12},
        // Limits stay text: ten digits beyond the 32-bit range pass unharmed.
        {u'a', 10, QStringLiteral("9999999999"), QStringLiteral("-2147483649"), QStringLiteral("9999999999"),
         QStringLiteral("2147483649"), QStringLiteral("9999999999"), 10},
        {u'A', 20, QStringLiteral("40"), QStringLiteral("1"), QStringLiteral("40"), QStringLiteral("1"),
         QStringLiteral("40"), 20},
        {u'W', 10, QStringLiteral("-10"), QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("1"),
         QStringLiteral("-00000000010"), 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((QString(c.type) + c.max).toStdString());
        TKoData ko = item(QStringLiteral("L"), c.type);
        ko.KDLen = c.len;
        ko.KDMax = c.max;
        ko.KDMin = c.min;
        const QByteArray line = SaveKoDat(ko, 1, u'A', 0);
        std::array<TMstDat, 2> masters = twoMasters();
        TKoData back800;
        GetKoDat800(line, back800, 1, 0, masters);
        EXPECT_EQ(back800.KDMax, c.max800);
        EXPECT_EQ(back800.KDMin, c.min800);
        EXPECT_EQ(back800.KDLen, c.len);
        TKoData back801;
        GetKoDat801(line, back801, 1, 0, masters);
        EXPECT_EQ(back801.KDMax, c.max801);
        EXPECT_EQ(back801.KDLen, c.len801);
    }
    const QByteArray written = SaveKoDat(
        [] {
            TKoData ko = item(QStringLiteral("L"), u'b');
            ko.KDMax = QStringLiteral("99999999");
            return ko;
        }(),
        1, u'A', 0);
    EXPECT_EQ(written.mid(41, 12), QByteArray("000099999999"));
}

TEST(BnfItemLine, NextItemWrittenAndRead)
{
    struct Case {
        int count;
        int index;
        int next;
        char written;
        int readBack;
    };
    const Case cases[] = {
        {5, 0, 0, '1', 0}, {5, 0, 2, '3', 2}, {5, 1, 3, '0', 3}, {5, 1, 9, '0', 3},
        {5, 4, 0, '0', 0}, {1, 0, 0, '0', 0}, {3, 2, 4, '0', 0},
    };
    for (const Case &c : cases) {
        TKoData ko = item(QStringLiteral("N"), u'A');
        ko.KDNext = c.next;
        const QByteArray line = SaveKoDat(ko, c.count, u'A', c.index);
        EXPECT_EQ(line.at(131), c.written) << c.count << "/" << c.index << "/" << c.next;
        std::array<TMstDat, 2> masters = twoMasters();
        TKoData back;
        GetKoDat800(line, back, c.count, c.index, masters);
        EXPECT_EQ(back.KDNext, c.readBack) << c.count << "/" << c.index << "/" << c.next;
    }
}

TEST(BnfItemLine, NameIsWrittenIn22BytesAndReadFrom20)
{
    struct Case {
        QString name;
        QByteArray written;
        QString read;
    };
    const QString kanji11 = QStringLiteral("一二三四五六七八九十百");
    const Case cases[] = {
        {QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), "ABCDEFGHIJKLMNOPQRSTUV",
         QStringLiteral("ABCDEFGHIJKLMNOPQRST")},
        {kanji11, sjis(kanji11), kanji11.left(10)},
        // 12 double-byte characters: the cut at 22 bytes is between characters, the read at 20 too.
        {kanji11 + u'千', sjis(kanji11), kanji11.left(10)},
        {QStringLiteral("ｶﾅ名前"), sjis(QStringLiteral("ｶﾅ名前")) + QByteArray(16, ' '),
         QStringLiteral("ｶﾅ名前")},
    };
    for (const Case &c : cases) {
        TKoData ko = item(c.name, u'A');
        const QByteArray line = SaveKoDat(ko, 1, u'A', 0);
        EXPECT_EQ(line.mid(1, 22), c.written);
        TKoData back;
        std::array<TMstDat, 2> masters = twoMasters();
        GetKoDat800(line, back, 1, 0, masters);
        EXPECT_EQ(back.KName, c.read);
    }
    // An odd cut leaves the lone lead byte, which reads back as one replacement character.
    TKoData ko = item(QStringLiteral("A") + kanji11, u'A');
    EXPECT_EQ(SaveKoDat(ko, 1, u'A', 0).mid(1, 22), "A" + sjis(kanji11).left(21));
    TKoData back;
    GetKoDat800(SaveKoDat(ko, 1, u'A', 0), back, 1, 0, std::span<TMstDat>());
    EXPECT_EQ(back.KName, QStringLiteral("A") + kanji11.left(9) + QChar(0xFFFD));
}

TEST(BnfItemLine, ShortAndForeignLinesGiveDefaults)
{
    const QByteArray lines[] = {QByteArray(), QByteArray("0"), QByteArray(200, '9'), QByteArray(500, '\xff'),
                                QByteArray(520, 'A')};
    for (const QByteArray &line : lines) {
        std::array<TMstDat, 2> masters = twoMasters();
        TKoData back = barcodeItem();
        back.DspNX = 7;
        GetKoDat801(line, back, 3, 1, masters);
        EXPECT_EQ(back.DspNX, 7) << "screen positions are not in the line";
        EXPECT_GE(back.FWCount, 0);
        EXPECT_LE(back.FWCount, 10);
        EXPECT_GE(back.SaveQDNum, 0);
        EXPECT_LE(back.SaveQDNum, 5);
        EXPECT_GE(back.KDNext, 0);
        EXPECT_LT(back.KDNext, 3);
    }
    TKoData back;
    GetKoDat800(QByteArray(), back, 1, 0, std::span<TMstDat>());
    EXPECT_EQ(back.KDLen, 1);
    EXPECT_EQ(back.KDInpMode, 1);
    EXPECT_EQ(back.KBMax, 20);
    EXPECT_EQ(back.KMstFlag, false);
    EXPECT_EQ(back.KDMax, QStringLiteral("0"));
}

TEST(BnfItemLine, SymbologyLettersAreFilteredOnReading)
{
    TKoData ko = barcodeItem();
    QByteArray line = SaveKoDat(ko, 1, u'A', 0);
    line.replace(29, 2, "  "); // no stored input: the letters alone tell it
    line.replace(132, 20, " zA9" + sjis(QStringLiteral("Ａ")) + "Qq" + QByteArray(12, ' '));
    TKoData back;
    GetKoDat800(line, back, 1, 0, std::span<TMstDat>());
    EXPECT_EQ(back.KBar, QStringLiteral("AQ"));
    EXPECT_EQ(back.KDInpMode, 3);

    line.replace(132, 20, "zz" + sjis(QStringLiteral("ＡＱ")) + QByteArray(14, ' '));
    GetKoDat800(line, back, 1, 0, std::span<TMstDat>());
    EXPECT_EQ(back.KBar, QString());
    EXPECT_EQ(back.KDInpMode, 1);
}

TEST(BnfItemLine, DeriveKBCmpMode)
{
    auto job = std::make_unique<TGyData>();
    job->GrCount = 3;
    job->DaCount = 4;
    const QChar groupTypes[] = {u'b', u'W', u'Z'};
    for (int k = 0; k < 3; ++k)
        InitKoData(job->GrKoDa[k], QStringLiteral("G"), groupTypes[k]);
    const QChar dataTypes[] = {u'X', u'Y', u'A', u'c'};
    for (int k = 0; k < 4; ++k)
        InitKoData(job->DaKoDa[k], QStringLiteral("D"), dataTypes[k]);

    struct Case {
        bool group;
        int index;
        QChar id;
        QChar mode;
    };
    const Case cases[] = {
        {false, 0, u'0', u'0'}, {false, 0, u'1', u'1'},    {false, 0, u'2', u'3'}, {false, 0, u'3', u'3'},
        {true, 2, u'A', u'1'},  {true, 2, u'B', u'2'},     {true, 2, u'C', u'0'},  {true, 1, u'B', u'0'},
        {false, 0, u'C', u'5'}, {false, 0, u'D', u'0'},    {false, 3, u'a', u'3'}, {false, 3, u'b', u'4'},
        {false, 3, u'c', u'0'}, {false, 1, u'b', u'0'},    {true, 2, u'a', u'0'},  {false, 3, u'Z', u'0'},
        {false, 0, u'?', u'0'}, {false, 0, QChar(), u'0'},
    };
    for (const Case &c : cases) {
        TKoData &ko = c.group ? job->GrKoDa[c.index] : job->DaKoDa[c.index];
        ko.KBCmpID = c.id;
        EXPECT_EQ(DeriveKBCmpMode(*job, c.group, c.index), c.mode)
            << (c.group ? "group " : "data ") << c.index << " id " << int(c.id.unicode());
    }
}

} // namespace
