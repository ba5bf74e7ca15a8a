#include <gtest/gtest.h>

#include <QBuffer>

#include <memory>

#include "jobs/BaseSettingsRules.h"
#include "jobs/BnfFile.h"

using namespace basepage;

namespace {

std::unique_ptr<TSetData> newSet()
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    return set;
}

QByteArray save(TSetData &set, const BasePageValues &base)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(SaveBnf(buffer, set, base, [](const QString &) { return false; }), BnfResult::Ok);
    return buffer.data();
}

} // namespace

TEST(BaseSettingsRules, TimesAndBuzzerNormalisations)
{
    const struct {
        const char *text;
        const char *zeroToOne;
        const char *hzTyped;
    } texts[] = {
        {"0", "1", "0"},
        {"1", "1", "1"},
        {"10", "10", "10"},
        {"", "", ""},
        {"5000", "5000", "5000"},
        {"5001", "5001", "5000"},
        {"6000", "6000", "5000"},
        {"00", "00", "00"}, // the numeric edit never holds it; only the plain "0" is the zero time
    };
    for (const auto &t : texts) {
        SCOPED_TRACE(t.text);
        EXPECT_EQ(ZeroToOne(QString::fromLatin1(t.text)).toStdString(), t.zeroToOne);
        EXPECT_EQ(BzHzTyped(QString::fromLatin1(t.text)).toStdString(), t.hzTyped);
    }
    const struct {
        int hz;
        int left;
    } tones[] = {{0, 0}, {1, 1}, {2, 2}, {3, 62}, {30, 62}, {61, 62}, {62, 62}, {5000, 5000}};
    for (const auto &t : tones)
        EXPECT_EQ(BzHzLeft(t.hz), t.left) << t.hz;
}

TEST(BaseSettingsRules, BuzzerEditsStoreIntoTheirFieldOnlyFromANumber)
{
    BuzzerSetting entry{1, 1, 1, 1};
    EXPECT_TRUE(StoreBzField(entry, BzField::Hz, QStringLiteral("440")));
    EXPECT_TRUE(StoreBzField(entry, BzField::Count, QStringLiteral("3")));
    EXPECT_TRUE(StoreBzField(entry, BzField::OnTime, QStringLiteral("4")));
    EXPECT_TRUE(StoreBzField(entry, BzField::OffTime, QStringLiteral("5")));
    EXPECT_EQ(entry, (BuzzerSetting{440, 3, 4, 5}));
    EXPECT_FALSE(StoreBzField(entry, BzField::Count, QString()));
    EXPECT_FALSE(StoreBzField(entry, BzField::Hz, QStringLiteral("4x")));
    EXPECT_EQ(entry, (BuzzerSetting{440, 3, 4, 5}));
}

TEST(BaseSettingsRules, FileNameKeyFilter)
{
    const QChar none;
    const struct {
        const char *what;
        const char *text;
        int caret;
        QChar key;
        QChar typed;
        bool beep;
    } cases[] = {
        {"a letter is upper-cased", "", 0, u'a', u'A', false},
        {"a first digit", "", 0, u'1', none, true},
        {"a first point", "", 0, u'.', none, true},
        {"a first hyphen", "", 0, u'-', none, true},
        {"a first underscore", "", 0, u'_', none, true},
        {"a later digit", "A", 1, u'1', u'1', false},
        {"a later underscore", "A", 1, u'_', u'_', false},
        {"a blank", "A", 1, u' ', none, true},
        {"a kana", "A", 1, u'ｱ', none, true},
        {"a full-width letter", "A", 1, u'Ａ', none, true},
        {"Enter, silently", "AB", 2, u'\r', none, false},
        {"backspace", "AB", 2, u'\b', u'\b', false},
        {"the null character", "AB", 2, QChar(0), QChar(0), false},
        {"the ninth character at the end", "ABCDEFGH", 8, u'I', none, true},
        {"the ninth character inside", "ABCDEFGH", 4, u'I', u'I', false},
        {"a point after eight", "ABCDEFGH", 8, u'.', u'.', false},
        {"a point beyond eight", "ABCDEFGHI", 9, u'.', none, true},
        {"a second point", "AB.C", 4, u'.', none, true},
        {"a third extension letter", "AB.CD", 5, u'e', u'E', false},
        {"a fourth extension letter", "AB.CDE", 6, u'F', none, true},
        {"a letter before the point of a full name", "AB.CDE", 1, u'X', u'X', false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const FileNameKey k = FileNameKeyPress(QString::fromUtf8(c.text), c.caret, c.key);
        EXPECT_EQ(k.key, c.typed);
        EXPECT_EQ(k.beep, c.beep);
    }
}

TEST(BaseSettingsRules, PastedTextGoesThroughTheFilterAsTyped)
{
    const FileNameText t = FileNameTypeText(QString(), 0, QStringLiteral("1alarm-tone.wav!"));
    EXPECT_EQ(t.text.toStdString(), "ALARM-TO.WAV") << "the name is cut at eight, the point still passes";
    EXPECT_EQ(t.caret, 12);
    EXPECT_TRUE(t.beep);
    const FileNameText u = FileNameTypeText(QStringLiteral("AL"), 2, QStringLiteral("arm.wav"));
    EXPECT_EQ(u.text.toStdString(), "ALARM.WAV");
    EXPECT_FALSE(u.beep);
}

TEST(BaseSettingsRules, ExtensionRules)
{
    const struct {
        const char *text;
        int caret;
        bool wavTaken;
        bool prgTaken;
    } cases[] = {
        {"", 0, true, true},         {"A.MP", 4, true, true}, // four bytes: no extension yet
        {"AB.MP", 5, true, true},    {"AB.MP3", 6, false, false}, {"AB.WAV", 6, true, false},
        {"AB.PD4", 6, false, true},  {"AB.wav", 6, false, false}, // the key filter has upper-cased what is
                                                                  // typed
        {"ALARMWAV", 8, true, true}, {"A.B.WAV", 7, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        const NameChange wav = WavFileChange(text, c.caret, QStringLiteral("AB.WA"));
        EXPECT_EQ(wav.accepted, c.wavTaken);
        EXPECT_EQ(wav.text, c.wavTaken ? text : QStringLiteral("AB.WA"));
        const NameChange prg = ComPrgChange(text, c.caret, QStringLiteral("AB.PD"));
        EXPECT_EQ(prg.accepted, c.prgTaken);
        EXPECT_EQ(prg.text, c.prgTaken ? text : QStringLiteral("AB.PD"));
    }
    // A refused WAV extension puts the caret one left of where it was, within the stored name; a
    // program name keeps it where it was.
    EXPECT_EQ(WavFileChange(QStringLiteral("AB.MP3"), 6, QStringLiteral("AB.WA")).caret, 5);
    EXPECT_EQ(WavFileChange(QStringLiteral("AB.MP3"), 6, QStringLiteral("")).caret, 0);
    EXPECT_EQ(WavFileChange(QStringLiteral("XAB.MP3"), 1, QStringLiteral("AB.WA")).caret, 0);
    EXPECT_EQ(ComPrgChange(QStringLiteral("AB.PD3"), 6, QStringLiteral("AB.PD")).caret, 5);
    EXPECT_EQ(ComPrgChange(QStringLiteral("AB.PD3"), 3, QStringLiteral("AB.PD")).caret, 3);
}

// Every combination of valid and invalid programs, every item of the list they make: the letter the
// file carries, and the program that the reread file selects again.
TEST(BaseSettingsRules, CommunicationModeListAndItsLetters)
{
    const QString modes[] = {QStringLiteral("YModem(CU-RS232,115.2kbps)"),
                             QStringLiteral("YModem(CU-USB,460.8kbps)"), QStringLiteral("YModem(Bluetooth)")};
    const QString valid1 = QStringLiteral("COMA.PD4");
    const QString valid2 = QStringLiteral("COMB.PD4");
    const QString invalid1 = QStringLiteral("COMA.EXE");
    const QString invalid2 = QStringLiteral("PD4");
    const struct {
        const char *what;
        QString prg1;
        QString prg2;
        const char *letters; // of items 0.. of the list
    } cases[] = {
        {"no programs", QString(), QString(), "2UB"},
        {"both invalid", invalid1, invalid2, "2UB"},
        {"program 1 only", valid1, invalid2, "2UBX"},
        {"program 2 only", invalid1, valid2, "2UBY"},
        {"program 2 after an empty 1", QString(), valid2, "2UBY"},
        {"both", valid1, valid2, "2UBXY"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const DataFtpList list = RebuildDataFtp(c.prg1, c.prg2, 0);
        const int count = int(strlen(c.letters));
        ASSERT_EQ(list.items.size(), count);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(list.items[i], modes[i]);
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(DataFtpLetter(i, c.prg1, c.prg2), QLatin1Char(c.letters[i]));

            auto set = newSet();
            set->ComPrg1 = c.prg1;
            set->ComPrg2 = c.prg2;
            BasePageValues base;
            base.DataFtpItems = list.items;
            base.DataFtp = i;
            const QByteArray file = save(*set, base);
            EXPECT_EQ(file.at(96), c.letters[i]);
            auto back = newSet();
            BasePageValues read;
            QBuffer buffer;
            buffer.setData(file);
            buffer.open(QIODevice::ReadOnly);
            ASSERT_EQ(OpenBnf(buffer, *back, read), BnfResult::Ok);
            EXPECT_EQ(read.DataFtpItems, list.items);
            EXPECT_EQ(read.DataFtpItems.value(read.DataFtp), list.items[i]) << "the same item again";
        }
        EXPECT_EQ(DataFtpLetter(count, c.prg1, c.prg2), u'2') << "beyond the list";
        EXPECT_EQ(DataFtpLetter(-1, c.prg1, c.prg2), u'2');
    }
}

TEST(BaseSettingsRules, TheSelectionStaysUnlessTheListBecameShorter)
{
    const QString prg = QStringLiteral("AB.PD4");
    EXPECT_EQ(RebuildDataFtp(prg, QString(), 3).index, 3);
    EXPECT_EQ(RebuildDataFtp(QString(), QString(), 3).index, 2) << "the cleared program was selected";
    EXPECT_EQ(RebuildDataFtp(prg, prg, 4).index, 4);
    EXPECT_EQ(RebuildDataFtp(prg, QString(), 4).index, 3);
    EXPECT_EQ(RebuildDataFtp(QString(), QString(), 1).index, 1);
    EXPECT_EQ(RebuildDataFtp(QString(), QString(), -1).index, 0);
}

TEST(BaseSettingsRules, EnterChains)
{
    const char *const chain[] = {"APOffTimeNE", "DspErrTimeNE", "Bar2ReadNE", "BarSModeCB",   "BzList",
                                 "WavFileSE",   "BzHzNE",       "BzCountNE",  "BzOnTimeNE",   "BzOffTimeNE",
                                 "ComPrgSE1",   "ComPrgSE2",    "DataFtpCB",  "SetBluetooth", "SendDelCB",
                                 "SubMenuChk",  "ShoriMenuChk", "EditModeChk"};
    for (size_t i = 0; i + 1 < std::size(chain); ++i)
        EXPECT_EQ(P1KeyDown(QLatin1String(chain[i])).toStdString(), chain[i + 1]);
    EXPECT_EQ(P1KeyDown(QStringLiteral("EditModeChk")), QString());
    EXPECT_EQ(P1KeyDown(QStringLiteral("RcvProtoCB")), QString());

    const struct {
        const char *control;
        const char *text;
        const char *next;
    } programs[] = {
        {"ComPrgSE1", "", "ComPrgSE2"}, {"ComPrgSE1", "AB.PD4", "ComPrgSE2"}, {"ComPrgSE1", "AB", ""},
        {"ComPrgSE1", "AB.PD", ""},     {"ComPrgSE2", "CD.PD4", "DataFtpCB"}, {"ComPrgSE2", "CD.EXE", ""},
    };
    for (const auto &p : programs)
        EXPECT_EQ(ComPrgEnter(QLatin1String(p.control), QLatin1String(p.text)).toStdString(), p.next)
            << p.control << " " << p.text;
}

TEST(BaseSettingsRules, BluetoothFillAndCopyBack)
{
    TBluetoothDat bt{QStringLiteral("TERM-7"),          1, QStringLiteral("0123456789AB"), 999, 7,
                     QStringLiteral("1111222233334444")};
    const BtFormValues shown = BtFill(bt);
    EXPECT_EQ(bt.Security, 3) << "brought into range in the record";
    EXPECT_EQ(shown, (BtFormValues{QStringLiteral("TERM-7"), 1, QStringLiteral("0123456789AB"),
                                   QStringLiteral("999"), 2, QStringLiteral("1111222233334444")}));
    TBluetoothDat low{QString(), 0, QString(), 5, 0, QString()};
    EXPECT_EQ(BtFill(low).SecurityCB, 0);
    EXPECT_EQ(low.Security, 1);

    const TBluetoothDat start = bt;
    const struct {
        const char *what;
        BtFormValues values;
        bool changed;
        TBluetoothDat after;
    } cases[] = {
        {"shown and kept", shown, false, start},
        {"cancelled: an empty name keeps all",
         {QString(), 0, QStringLiteral("FF"), QStringLiteral("9"), 0, {}},
         false,
         start},
        {"every field",
         {QStringLiteral("HT-1"), 0, QStringLiteral("AABBCCDDEEFF"), QStringLiteral("30"), 0,
          QStringLiteral("9")},
         true,
         {QStringLiteral("HT-1"), 0, QStringLiteral("AABBCCDDEEFF"), 30, 1, QStringLiteral("9")}},
        {"an empty time-out keeps the old one",
         {QStringLiteral("TERM-7"), 1, QStringLiteral("0123456789AB"), QString(), 1,
          QStringLiteral("1111222233334444")},
         true,
         {QStringLiteral("TERM-7"), 1, QStringLiteral("0123456789AB"), 999, 2,
          QStringLiteral("1111222233334444")}},
        {"a time-out of 0 keeps the old one",
         {QStringLiteral("TERM-7"), 1, QStringLiteral("0123456789AB"), QStringLiteral("0"), 2,
          QStringLiteral("1111222233334444")},
         false,
         start},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TBluetoothDat b = start;
        EXPECT_EQ(BtCopyBack(c.values, b), c.changed);
        EXPECT_EQ(b.DevName, c.after.DevName);
        EXPECT_EQ(b.Mode, c.after.Mode);
        EXPECT_EQ(b.Adr, c.after.Adr);
        EXPECT_EQ(b.TimeOut, c.after.TimeOut);
        EXPECT_EQ(b.Security, c.after.Security);
        EXPECT_EQ(b.PassKey, c.after.PassKey);
    }
    TBluetoothDat zero = start;
    zero.TimeOut = 0;
    BtCopyBack({QStringLiteral("X"), 0, {}, QStringLiteral("x"), 0, {}}, zero);
    EXPECT_EQ(zero.TimeOut, 1) << "never below 1";

    EXPECT_TRUE(BtAdrVisible(0));
    EXPECT_FALSE(BtAdrVisible(1));
    EXPECT_FALSE(BtPassKeyVisible(0));
    EXPECT_TRUE(BtPassKeyVisible(2));
}

TEST(BaseSettingsRules, AddressKeysAreHexDigits)
{
    const struct {
        QChar key;
        QChar typed;
    } keys[] = {{u'0', u'0'},    {u'9', u'9'},    {u'a', u'A'},    {u'F', u'F'},
                {u'f', u'F'},    {u'g', QChar()}, {u'G', QChar()}, {u'\r', QChar()},
                {u' ', QChar()}, {u'\b', u'\b'},  {u'０', QChar()}};
    for (const auto &k : keys)
        EXPECT_EQ(BtAdrKey(k.key), k.typed) << int(k.key.unicode());
}
