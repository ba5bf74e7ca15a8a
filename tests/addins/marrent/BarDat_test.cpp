#include "Golden.h"
#include "addins/marrent/DataType.h"

#include <gtest/gtest.h>

using namespace marrent;

namespace {

TBarDat fullRecord()
{
    TBarDat bar;
    bar.BarType = QStringLiteral("AKQ");
    bar.BMax = 20;
    bar.BMin = 8;
    bar.BGTIN = true;
    bar.BFmt = 5;
    bar.BSpCode = 59;
    bar.BChkMode = 2;
    bar.BChkDNo = 3;
    bar.BChkTop = 12;
    bar.BChkStr = QStringLiteral("ABC");
    bar.DTop = 2;
    bar.DLen = 10;
    return bar;
}

} // namespace

TEST(BarDatTest, TextHoldsEveryFieldAtItsPosition)
{
    const QByteArray full = Golden(111)
                                .at(1, "AKQ")
                                .at(21, "0020")
                                .at(25, "0008")
                                .at(61, "10X059203")
                                .at(70, "0012")
                                .at(74, "ABC")
                                .at(106, "000210")
                                .bytes;
    EXPECT_EQ(GetBarDat(fullRecord()), full);

    const QByteArray initial =
        Golden(111).at(21, "00160001").at(61, "00N0000").at(68, "010001").at(106, "001601").bytes;
    EXPECT_EQ(GetBarDat(InitBarDat()), initial);

    TBarDat user = InitBarDat();
    user.BarType = QStringLiteral("u");
    user.BarUser = QStringLiteral("ABC,123");
    EXPECT_EQ(GetBarDat(user).mid(28, 32), QByteArray("ABC,123").leftJustified(32, ' '));
}

TEST(BarDatTest, UnusedFieldsAreWrittenAsTheDialogStoresThem)
{
    // A data check that is off carries no meaning: it is written as the dialog would store it. The
    // separator code is written as the record holds it, also outside its format; out-of-range
    // numbers as digits in range.
    TBarDat bar = fullRecord();
    bar.BFmt = 1;
    bar.BChkMode = 0;
    bar.BMax = -3;
    bar.DLen = 250;
    const QByteArray text = GetBarDat(bar);
    EXPECT_EQ(text.mid(20, 4), QByteArray("0000"));
    EXPECT_EQ(text.mid(62, 4), QByteArray("K059"));
    EXPECT_EQ(text.mid(66, 7), QByteArray("0010001"));
    EXPECT_EQ(text.mid(73, 32), QByteArray(32, ' '));
    EXPECT_EQ(text.mid(109, 2), QByteArray("99"));
}

TEST(BarDatTest, ReadingAppliesDefaultsAndHolds)
{
    TBarDat previous = InitBarDat();
    previous.BChkDNo = 7;
    previous.BChkTop = 30;
    previous.BChkStr = QStringLiteral("KEEP");
    struct Case {
        const char *name;
        QByteArray text;
        std::function<void(TBarDat &)> expect; // changes from `previous`
    };
    const Golden base =
        Golden(111).at(1, "A").at(21, "00200005").at(61, "00N0000").at(68, "010001").at(106, "000301");
    const auto with = [&](int p, QByteArrayView v) { return Golden(base).at(p, v).bytes; };
    const std::vector<Case> cases = {
        {"plain", base.bytes,
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = 20;
             b.BMin = 5;
             b.BSpCode = 44;
             b.DTop = 3;
         }},
        {"min above max is lowered", with(25, "0030"),
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = b.BMin = 20;
             b.BSpCode = 44;
             b.DTop = 3;
         }},
        {"blank flags read as on, letters unknown as fixed length", with(61, "  Q"),
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = 20;
             b.BMin = 5;
             b.BGTIN = b.BDelCD = true;
             b.BSpCode = 44;
             b.DTop = 3;
         }},
        {"separator held to a byte", with(63, "X300"),
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = 20;
             b.BMin = 5;
             b.BFmt = 5;
             b.BSpCode = 255;
             b.DTop = 3;
         }},
        {"separator unreadable", with(63, "Xab "),
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = 20;
             b.BMin = 5;
             b.BFmt = 5;
             b.BSpCode = 44;
             b.DTop = 3;
         }},
        {"check mode held, position held", Golden(base).at(67, "9-1").at(70, "9999").at(74, "XYZ").bytes,
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = 20;
             b.BMin = 5;
             b.BSpCode = 44;
             b.BChkMode = 2;
             b.BChkDNo = 1;
             b.BChkTop = 3500;
             b.BChkStr = "XYZ";
             b.DTop = 3;
         }},
        {"check off keeps the old check fields", with(68, "990099"),
         [](TBarDat &b) {
             b.BarType = "A";
             b.BMax = 20;
             b.BMin = 5;
             b.BSpCode = 44;
             b.DTop = 3;
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TBarDat expected = previous;
        c.expect(expected);
        TBarDat got = previous;
        SetBarDat(c.text, got);
        EXPECT_EQ(got, expected);
    }
}

TEST(BarDatTest, MissingOrBlankTextIsTheInitialRecord)
{
    for (const QByteArray &text : {QByteArray(), QByteArray(111, ' '), QByteArray(40, ' ')}) {
        TBarDat bar = InitBarDat();
        bar.BarType = QStringLiteral("Q");
        bar.BGTIN = true;
        SetBarDat(text, bar);
        EXPECT_EQ(bar, InitBarDat());
    }
}

TEST(BarDatTest, WrittenTextReadsBackToTheSameText)
{
    TBarDat user = InitBarDat();
    user.BarType = "u";
    user.BarUser = "NW7;A";
    TBarDat fixedCheck = fullRecord();
    fixedCheck.BFmt = 0;
    TBarDat odd = fullRecord();
    odd.BMax = 4000; // out of range: held
    odd.BChkTop = 0;
    for (TBarDat bar : {InitBarDat(), fullRecord(), user, fixedCheck, odd}) {
        // Outside its format the separator code reads as 44, as a loaded record holds it.
        if (bar.BFmt != SeparatorFormat)
            bar.BSpCode = 44;
        const QByteArray text = GetBarDat(bar);
        ASSERT_EQ(text.size(), 111);
        TBarDat read = InitBarDat();
        SetBarDat(text, read);
        EXPECT_EQ(GetBarDat(read), text);
    }
}

TEST(BarDatTest, SeparatorCodeGoesBackAsTheRecordHoldsIt)
{
    struct Case {
        char format;
        QByteArray stored, written;
    };
    for (const Case &c : {Case{'N', "044", "044"}, Case{'N', "000", "044"}, Case{'K', "059", "044"},
                          Case{'X', "059", "059"}, Case{'X', "000", "000"}, Case{'X', "300", "255"}}) {
        SCOPED_TRACE(c.format + c.stored.toStdString());
        QByteArray text = GetBarDat(fullRecord());
        text[62] = c.format;
        text.replace(63, 3, c.stored);
        TBarDat read = InitBarDat();
        SetBarDat(text, read);
        EXPECT_EQ(GetBarDat(read).mid(63, 3), c.written);
    }
}

TEST(BarDatTest, LetterTables)
{
    for (int i = 0; i < FormatCount; ++i)
        EXPECT_EQ(SetBFmt(GetBFmt(i)), i);
    EXPECT_EQ(SetBFmt('n'), 0);
    EXPECT_EQ(GetBFmt(6), 'N');
    EXPECT_EQ(QByteArray("ABCWwXxYyZz"), [] {
        QByteArray letters;
        for (int i = 0; i < DaTypeCount; ++i)
            letters += GetDaType(i);
        return letters;
    }());
    EXPECT_EQ(SetDaType('z'), 10);
    EXPECT_EQ(SetDaType('q'), 0);
    EXPECT_EQ(GetDaType(11), 'A');
    EXPECT_EQ(GetDaType(-1), 'A');
    // The fixed digits follow each type's caption.
    const int digits[DaTypeCount] = {0, 0, 0, 10, 8, 5, 8, 5, 3, 5, 4};
    for (int i = 0; i < DaTypeCount; ++i)
        EXPECT_EQ(DaTypeFixedDigits(i), digits[i]) << DaTypeItems().at(i).toStdString();
}

TEST(BarDatTest, ModelsAndLimits)
{
    struct Case {
        int model, nameMax, barMax, std_, wide, sname, count, length;
    };
    for (const Case &c : {Case{500, 16, 3500, 64, 32, 48, 6, 368}, Case{600, 20, 3500, 80, 40, 60, 8, 468},
                          Case{800, 20, 3500, 80, 40, 60, 8, 468}, Case{1300, 20, 3500, 80, 40, 60, 8, 468},
                          Case{900, 21, 99, 84, 40, 21, 8, 468}}) {
        SCOPED_TRACE(c.model);
        const auto l = LimitsOf(c.model);
        ASSERT_TRUE(l);
        EXPECT_EQ(l->NameMax, c.nameMax);
        EXPECT_EQ(l->BarMaxLen, c.barMax);
        EXPECT_EQ(l->DKMaxStd, c.std_);
        EXPECT_EQ(l->DKMaxWide, c.wide);
        EXPECT_EQ(l->SNameLenMax, c.sname);
        EXPECT_EQ(l->CountMax, c.count);
        EXPECT_EQ(l->paraLength, c.length);
    }
    for (int model : {0, 300, 700, 801, -800})
        EXPECT_FALSE(LimitsOf(model)) << model;
}
