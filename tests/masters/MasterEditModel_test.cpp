#include "MasterTestSupport.h"

#include "masters/MasterEditModel.h"
#include "masters/WidthFile.h"
#include "platform/PrivateFolder.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/StoppedChild.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using masters::MasterEditModel;
using platform::MsgResult;
using namespace masterstest;

namespace {

const std::vector<int> Widths{8, 10};
constexpr int Length = 20;

class MasterEditModelTest : public testing::Test {
protected:
    // Opens a master of n numbered records with its width file.
    void openNumbered(int n)
    {
        master = casePath("m/master.dat");
        ASSERT_TRUE(writeFile(master, numberedRecords(n)));
        ASSERT_TRUE(writeFile(casePath("m/master.fld"), "8,10\r\n"));
        ASSERT_TRUE(model.openFile(master, {})) << boxes();
    }
    // Types a whole row into the model as the grid does.
    void typeRow(int row, const QString &key, const QString &reference)
    {
        model.MasterGridClick(row, 1);
        model.MasterGridSetEditText(row, 1, key);
        model.MasterGridClick(row, 2);
        model.MasterGridSetEditText(row, 2, reference);
    }
    QStringList keys() const
    {
        QByteArray all;
        QByteArray page;
        for (qint64 at = 0; at < model.recordCount(); at += 20) {
            EXPECT_TRUE(const_cast<masters::RecordStore &>(model.store()).readRecords(at, 20, page));
            all += page;
        }
        return keysOf(all, Length, 8);
    }
    static QStringList numbered(int from, int to)
    {
        QStringList list;
        for (int i = from; i <= to; ++i)
            list << QStringLiteral("K%1").arg(i, 4, 10, QLatin1Char('0'));
        return list;
    }
    std::string boxes() const
    {
        std::string all;
        for (const testsupport::UiEvent &box : ui.messageBoxes())
            all += box.caption.toStdString() + ": " + box.text.toStdString() + "\n";
        return all;
    }

    testsupport::RecordingUiService ui;
    MasterEditModel model{ui};
    QString master;
};

TEST_F(MasterEditModelTest, PagingMovesTheTopRecordAsTheButtonsSay)
{
    openNumbered(50);
    struct Step {
        void (MasterEditModel::*button)();
        qint64 top;
        int lines;
        bool endPage;
    };
    const Step steps[] = {
        {&MasterEditModel::NextPageBtnClick, 21, 20, false},
        {&MasterEditModel::NextPageBtnClick, 41, 10, true},
        {&MasterEditModel::NextPageBtnClick, 41, 10, true}, // the page reached the end
        {&MasterEditModel::NextBtnClick, 42, 9, true},
        {&MasterEditModel::BackPaeBtnClick, 22, 20, false},
        {&MasterEditModel::BackBtnClick, 21, 20, false},
        {&MasterEditModel::BackPaeBtnClick, 1, 20, false},
        {&MasterEditModel::BackPaeBtnClick, 1, 20, false},
        {&MasterEditModel::BackBtnClick, 1, 20, false},
        {&MasterEditModel::NextBtnClick, 2, 20, false},
    };
    EXPECT_EQ(model.DTop, 1);
    EXPECT_EQ(model.DLineCnt, 20);
    EXPECT_FALSE(model.EndPage);
    int n = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE("step " + std::to_string(++n));
        (model.*step.button)();
        EXPECT_EQ(model.DTop, step.top);
        EXPECT_EQ(model.DLineCnt, step.lines);
        EXPECT_EQ(model.EndPage, step.endPage);
        EXPECT_EQ(model.cell(1, 1), QStringLiteral("K%1").arg(step.top, 4, 10, QLatin1Char('0')));
        EXPECT_EQ(model.numberText(1), QString::number(step.top));
    }
    EXPECT_EQ(ui.messageBoxCount(), 0) << boxes();
}

TEST_F(MasterEditModelTest, EndPageHoldsOnceTwentyRecordsRemainAndDownStopsAtTheLastRecord)
{
    openNumbered(40);
    model.NextPageBtnClick();
    EXPECT_EQ(model.DTop, 21);
    EXPECT_EQ(model.DLineCnt, 20);
    EXPECT_TRUE(model.EndPage);
    EXPECT_FALSE(model.hasEntryRow());
    model.NextPageBtnClick();
    EXPECT_EQ(model.DTop, 21);
    for (int i = 0; i < 30; ++i)
        model.NextBtnClick();
    EXPECT_EQ(model.DTop, 40); // the first row holds the last record
    EXPECT_EQ(model.DLineCnt, 1);
    EXPECT_EQ(model.numberText(2), QStringLiteral("41")); // the entry row
    EXPECT_EQ(model.numberText(3), QString());
}

TEST_F(MasterEditModelTest, TheCurrentCellStaysWithinTheRecordsAndTheEntryRow)
{
    openNumbered(3);
    model.MasterGridClick(15, 2);
    EXPECT_EQ(model.TmpRow, 4);
    EXPECT_EQ(model.TmpCol, 2);
    model.MasterGridClick(0, 9);
    EXPECT_EQ(model.TmpRow, 1);
    EXPECT_EQ(model.TmpCol, 2);
    // Text typed below the entry row reaches no cell.
    EXPECT_EQ(model.MasterGridSetEditText(10, 1, QStringLiteral("X")), QString());
    EXPECT_FALSE(model.ChangeFlag);
    // A page with fewer rows takes the current row back.
    openNumbered(25);
    model.MasterGridClick(20, 1);
    model.NextPageBtnClick();
    EXPECT_EQ(model.TmpRow, 6);
}

TEST_F(MasterEditModelTest, EnterWalksTheColumnsAndWritesARowInTheLastOne)
{
    ASSERT_TRUE(model.newFile(Widths));
    EXPECT_EQ(model.numberText(1), QStringLiteral("1"));
    model.MasterGridKeyPress(); // an empty cell: nothing
    EXPECT_EQ(model.TmpCol, 1);
    for (int i = 1; i <= 21; ++i) {
        const int row = model.TmpRow;
        model.MasterGridSetEditText(row, 1, QStringLiteral("K%1").arg(i, 4, 10, QLatin1Char('0')));
        model.MasterGridKeyPress();
        EXPECT_EQ(model.TmpCol, 2);
        model.MasterGridSetEditText(row, 2, QStringLiteral("R"));
        model.MasterGridKeyPress();
        EXPECT_EQ(model.TmpCol, 1);
        EXPECT_EQ(model.recordCount(), i);
    }
    // Rows 1 to 20 filled, then Enter in row 20 scrolled the page by one record, twice.
    EXPECT_EQ(model.DTop, 3);
    EXPECT_EQ(model.TmpRow, 20);
    EXPECT_EQ(model.DLineCnt, 19);
    EXPECT_EQ(keys(), numbered(1, 21));
    EXPECT_TRUE(model.ChangeFlag);
}

TEST_F(MasterEditModelTest, EnterInTheLastColumnWithoutAKeyOnlyReturnsToTheFirstColumn)
{
    ASSERT_TRUE(model.newFile(Widths));
    model.MasterGridClick(1, 2);
    model.MasterGridSetEditText(1, 2, QStringLiteral("R"));
    model.MasterGridKeyPress();
    EXPECT_EQ(model.TmpCol, 1);
    EXPECT_EQ(model.TmpRow, 1);
    EXPECT_EQ(model.recordCount(), 0);
}

TEST_F(MasterEditModelTest, APartlyFilledEntryRowBlocksLeavingThePage)
{
    openNumbered(25);
    model.NextPageBtnClick();
    model.MasterGridClick(6, 2);
    model.MasterGridSetEditText(6, 2, QStringLiteral("REF"));
    model.BackPaeBtnClick();
    model.BackBtnClick();
    model.InsBtnClick();
    EXPECT_FALSE(model.prepareSend());
    EXPECT_EQ(model.DTop, 21);
    EXPECT_EQ(model.recordCount(), 25);
    const std::vector<testsupport::UiEvent> shown = ui.messageBoxes();
    ASSERT_EQ(shown.size(), 4u);
    for (const testsupport::UiEvent &box : shown) {
        EXPECT_EQ(box.text, QStringLiteral("No26の参照キーを入力してください。"));
        EXPECT_EQ(box.caption, QStringLiteral("入力エラー"));
        EXPECT_EQ(box.style.icon, platform::MsgIcon::Exclamation);
    }
    EXPECT_EQ(model.TmpCol, 1); // on the empty cell
    // Completed, it becomes a record on the way out.
    model.MasterGridSetEditText(6, 1, QStringLiteral("K0026"));
    model.BackPaeBtnClick();
    EXPECT_EQ(model.DTop, 1);
    EXPECT_EQ(keys(), numbered(1, 26));
}

TEST_F(MasterEditModelTest, InsertPutsABlankRecordBeforeTheCurrentRow)
{
    struct Case {
        const char *name;
        int records;
        int top; // pages forward with "下"
        int row;
        bool entryRowFilled;
        QStringList expected;
    };
    const QString blank;
    const QString added = QStringLiteral("NEW");
    const QStringList k = numbered(1, 25);
    const Case cases[] = {
        {"first", 5, 1, 1, false, {blank, k[0], k[1], k[2], k[3], k[4]}},
        {"middle", 5, 1, 3, false, {k[0], k[1], blank, k[2], k[3], k[4]}},
        {"last", 5, 1, 5, false, {k[0], k[1], k[2], k[3], blank, k[4]}},
        {"empty entry row", 5, 1, 6, false, {k[0], k[1], k[2], k[3], k[4], blank}},
        {"middle with the entry row written", 5, 1, 3, true, {k[0], k[1], blank, k[2], k[3], k[4], added}},
        {"entry row written, at it", 5, 1, 6, true, {k[0], k[1], k[2], k[3], k[4], blank, added}},
        {"row 20", 25, 1, 20, false, k.mid(0, 19) + QStringList{blank} + k.mid(19)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        openNumbered(c.records);
        if (c.entryRowFilled)
            typeRow(c.records + 1, added, QStringLiteral("R"));
        model.MasterGridClick(c.row, 1);
        model.InsBtnClick();
        EXPECT_EQ(keys(), c.expected);
        EXPECT_TRUE(model.ChangeFlag);
        EXPECT_EQ(model.cell(c.row, 1), QString());
        EXPECT_EQ(model.DLineCnt, std::min(20, static_cast<int>(c.expected.size())));
    }
    // Row 20's record went to the next page.
    model.NextPageBtnClick();
    EXPECT_EQ(model.cell(1, 1), k[19]);
    EXPECT_EQ(ui.messageBoxCount(), 0) << boxes();
}

TEST_F(MasterEditModelTest, InsertOnAnEmptyCopyTakesTheEntryRowFirst)
{
    ASSERT_TRUE(model.newFile(Widths));
    model.InsBtnClick();
    EXPECT_EQ(model.recordCount(), 0);
    typeRow(1, QStringLiteral("A"), QStringLiteral("B"));
    model.InsBtnClick();
    EXPECT_EQ(keys(), (QStringList{QString(), QStringLiteral("A")}));
}

TEST_F(MasterEditModelTest, DeleteRemovesTheChosenRecord)
{
    struct Case {
        const char *name;
        int records;
        int row;
        bool entryRowFilled;
        QStringList expected;
    };
    const QStringList k = numbered(1, 5);
    const QString added = QStringLiteral("NEW");
    const Case cases[] = {
        {"first", 5, 1, false, {k[1], k[2], k[3], k[4]}},
        {"middle", 5, 3, false, {k[0], k[1], k[3], k[4]}},
        {"last", 5, 5, false, {k[0], k[1], k[2], k[3]}},
        {"last with the entry row written", 5, 5, true, {k[0], k[1], k[2], k[3], added}},
        {"middle with the entry row written", 5, 2, true, {k[0], k[2], k[3], k[4], added}},
        {"the only one", 1, 1, false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        openNumbered(c.records);
        if (c.entryRowFilled)
            typeRow(c.records + 1, added, QStringLiteral("R"));
        model.MasterGridClick(c.row, 1);
        ui.queueAnswer(MsgResult::Yes);
        model.DelBtnClick();
        EXPECT_EQ(keys(), c.expected);
        EXPECT_EQ(model.DLineCnt, c.expected.size());
        EXPECT_TRUE(model.ChangeFlag);
        ASSERT_FALSE(ui.messageBoxes().empty());
        EXPECT_EQ(ui.messageBoxes().back().text,
                  QStringLiteral("ﾚｺｰﾄﾞNo%1を削除してもいいですか？").arg(c.row));
        ui.clear();
    }
}

TEST_F(MasterEditModelTest, DeleteAskedNoOrOnTheEntryRowKeepsEveryRecord)
{
    openNumbered(5);
    model.MasterGridClick(2, 1);
    ui.queueAnswer(MsgResult::No);
    model.DelBtnClick();
    EXPECT_EQ(keys(), numbered(1, 5));
    EXPECT_FALSE(model.ChangeFlag);
    model.MasterGridClick(6, 1);
    model.DelBtnClick();
    EXPECT_EQ(ui.messageBoxCount(), 1); // no question for a row without a record
    EXPECT_EQ(model.recordCount(), 5);
}

TEST_F(MasterEditModelTest, DeletingInTheMiddleAndTheLastPagesRecord)
{
    openNumbered(50);
    model.NextPageBtnClick();
    model.MasterGridClick(5, 1); // record 25
    ui.queueAnswer(MsgResult::Yes);
    model.DelBtnClick();
    EXPECT_EQ(keys(), numbered(1, 24) + numbered(26, 50));
    EXPECT_EQ(model.cell(5, 1), QStringLiteral("K0026"));

    openNumbered(41);
    model.NextPageBtnClick();
    model.NextPageBtnClick();
    ASSERT_EQ(model.DTop, 41);
    model.MasterGridClick(1, 1);
    ui.queueAnswer(MsgResult::Yes);
    model.DelBtnClick();
    EXPECT_EQ(model.DTop, 21);
    EXPECT_EQ(model.DLineCnt, 20);
    EXPECT_EQ(model.cell(20, 1), QStringLiteral("K0040"));
}

TEST_F(MasterEditModelTest, ACellIsCutToItsWidthAtACharacterBoundary)
{
    ASSERT_TRUE(model.newFile({5, 4}));
    EXPECT_EQ(model.MasterGridSetEditText(1, 1, QStringLiteral("商品コード")), QStringLiteral("商品"));
    EXPECT_EQ(model.MasterGridSetEditText(1, 2, QStringLiteral("ABCDE")), QStringLiteral("ABCD"));
    model.MasterGridClick(1, 2);
    model.MasterGridKeyPress();
    QByteArray page;
    ASSERT_TRUE(const_cast<masters::RecordStore &>(model.store()).readRecords(0, 1, page));
    EXPECT_EQ(page, QByteArray("\x8f\xa4\x95\x69 ABCD\r\n"));
}

// Records with bytes a round trip through wide text would change: extension characters (NEC and
// IBM), a tab, a lone lead byte at a field's end.
QByteArray oddRecord(int i)
{
    const QByteArray key = "K" + QByteArray::number(i).rightJustified(3, '0');
    switch (i % 5) {
    case 0:
        return rawRecord({key, "\x87\x40\x87\x8d\xfa\x40"}, {8, 10}); // ① ㈱ and an IBM kanji
    case 1:
        return rawRecord({key, "\xed\x40\xee\xfc"}, {8, 10}); // NEC-selected IBM extensions
    case 2:
        return rawRecord({key + "\t", "A\tB"}, {8, 10});
    case 3:
        return rawRecord({key, "ABCDEFGHI\x82"}, {8, 10}); // cut inside a character
    default:
        return rawRecord({key, "\x81\x60\x81\x5f"}, {8, 10}); // wave dash, backslash-like
    }
}

TEST_F(MasterEditModelTest, UntouchedRecordsStayByteIdentical)
{
    master = casePath("m/odd.dat");
    QByteArray original;
    for (int i = 0; i < 45; ++i)
        original += oddRecord(i);
    ASSERT_TRUE(writeFile(master, original));
    ASSERT_TRUE(writeFile(casePath("m/odd.fld"), "8,10\r\n"));
    ASSERT_TRUE(model.openFile(master, {}));
    model.NextPageBtnClick();
    model.NextPageBtnClick();
    model.NextBtnClick();
    model.BackPaeBtnClick();
    model.BackPaeBtnClick();
    model.NextPageBtnClick();
    model.BackBtnClick();
    ASSERT_EQ(model.DTop, 21);
    model.MasterGridClick(3, 2); // record 23
    model.MasterGridSetEditText(3, 2, QStringLiteral("変更"));
    model.NextPageBtnClick();
    model.BackPaeBtnClick();
    model.BackPaeBtnClick();
    ASSERT_TRUE(model.saveFile(master)) << boxes();

    const QByteArray saved = readFile(master);
    ASSERT_EQ(saved.size(), original.size());
    QByteArray expected = original;
    expected.replace(22 * Length, Length, rawRecord({"K022\t", "\x95\xcf\x8d\x58"}, {8, 10}));
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(saved.mid(i * Length, Length), expected.mid(i * Length, Length)) << "record " << i + 1;
    EXPECT_FALSE(model.ChangeFlag);
    EXPECT_EQ(readFile(casePath("m/odd.fld")), QByteArray("8,10\r\n"));
}

// Within an edited row, a cell the operator left alone keeps its bytes, whatever they are.
TEST_F(MasterEditModelTest, AnEditedRowKeepsTheBytesOfItsOtherCells)
{
    const QByteArray cells[] = {
        "ABC\x82",  // a lone lead byte at the field's end
        "\xed\x40", // NEC-selected IBM extension (read back as FA5C)
        "\xfa\x4a", // IBM extension with an NEC duplicate (8754)
        "\xee\xf9", // NEC-selected IBM not-sign (81CA)
        "A\x80",    // bytes no character starts with
        "A\xa0",
        "A\xfd",
        "AB\t",             // a trailing tab
        "\x81\x20Z",        // a lead byte without its trail byte
        "ABCDEFGHIJ",       // plain text filling the field
        "\xb1\xb2\xb3",     // half-width katakana
        "\x8a\xbf\x8e\x9a", // kanji
        "\x87\x40",         // circled one
        "\xfa\x40",         // small roman numeral one
        "\x81\x60",         // wave dash
        "\\~",              // backslash and tilde bytes
        "A\tB",             // a tab inside
        "  A",              // leading blanks
    };
    master = casePath("m/cells.dat");
    QByteArray original;
    int n = 0;
    for (const QByteArray &cell : cells)
        original += rawRecord({"K" + QByteArray::number(++n).rightJustified(3, '0'), cell}, {8, 10});
    ASSERT_TRUE(writeFile(master, original));
    ASSERT_TRUE(writeFile(casePath("m/cells.fld"), "8,10\r\n"));
    ASSERT_TRUE(model.openFile(master, {}));
    for (int row = 1; row <= n; ++row) {
        model.MasterGridClick(row, 1);
        model.MasterGridSetEditText(row, 1, QStringLiteral("X%1").arg(row));
    }
    ASSERT_TRUE(model.WriteData(0));
    ASSERT_TRUE(model.saveFile(master)) << boxes();

    const QByteArray saved = readFile(master);
    ASSERT_EQ(saved.size(), original.size());
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(cells[i].toHex(' ').toStdString());
        EXPECT_EQ(saved.mid(i * Length, 8),
                  QByteArray("X" + QByteArray::number(i + 1)).leftJustified(8, ' '));
        EXPECT_EQ(saved.mid(i * Length + 8, 12).toHex(' '), original.mid(i * Length + 8, 12).toHex(' '));
    }
}

TEST_F(MasterEditModelTest, OpenRefusesNamesBadWidthFilesAndCutRecords)
{
    struct Case {
        const char *name;
        QByteArray data;
        QByteArray widths; // empty: no width file
        const char16_t *text;
        const char16_t *caption;
    };
    const Case cases[] = {
        {"prog.PD4", "x", "1\r\n", u"prog.PD4\r\nのファイルは指定できません。", u"マスターファイルを開く"},
        {"bad.dat", numberedRecords(2), "4,0,2\r\n", u"フィールドデータが異常です。",
         u"フィールド情報エラー"},
        {"seven.dat", numberedRecords(2), "1,1,1,1,1,1,14\r\n", u"フィールドデータが異常です。",
         u"フィールド情報エラー"},
        {"cut.dat", numberedRecords(2) + "K0003", "8,10\r\n", u"ファイルアクセスができません",
         u"ファイルエラー"},
        // Lines ended by LF alone that happen to fill whole records: 20 lines of 19 bytes.
        {"lf.dat", QByteArray(18, 'L').append('\n').repeated(20), "8,10\r\n",
         u"ﾚｺｰﾄﾞNo1が改行(CR LF)で終わっていません。", u"ファイルエラー"},
        {"third.dat", numberedRecords(2) + QByteArray(18, 'T') + "\n\n" + numberedRecords(2), "8,10\r\n",
         u"ﾚｺｰﾄﾞNo3が改行(CR LF)で終わっていません。", u"ファイルエラー"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = casePath(QStringLiteral("m/") + QString::fromLatin1(c.name));
        ASSERT_TRUE(writeFile(path, c.data));
        if (!c.widths.isEmpty()) {
            ASSERT_TRUE(writeFile(masters::widthFilePath(path), c.widths));
        }
        ui.clear();
        EXPECT_FALSE(model.openFile(path, [] { return std::vector<int>{8, 10}; }));
        EXPECT_FALSE(model.EditFlag);
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QString::fromUtf16(c.text));
        EXPECT_EQ(ui.messageBoxes()[0].caption, QString::fromUtf16(c.caption));
    }
    // The working copy itself is no master to open.
    ui.clear();
    EXPECT_FALSE(model.openFile(model.TmpMst, {}));
    EXPECT_EQ(ui.messageBoxCount(), 1);
}

TEST_F(MasterEditModelTest, OpenWithoutAWidthFileAsksForTheWidths)
{
    master = casePath("m/plain.dat");
    ASSERT_TRUE(writeFile(master, numberedRecords(3)));
    EXPECT_FALSE(model.openFile(master, [] { return std::nullopt; }));
    EXPECT_FALSE(model.EditFlag);
    int asked = 0;
    ASSERT_TRUE(model.openFile(master, [&] {
        ++asked;
        return std::vector<int>{8, 10};
    }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(model.DLineCnt, 3);
    EXPECT_EQ(model.cell(3, 2), QStringLiteral("R0003"));
    EXPECT_EQ(model.MstFileName, master);
}

TEST_F(MasterEditModelTest, SaveWritesTheMasterAndItsWidthFile)
{
    ASSERT_TRUE(model.newFile({4, 3, 2}));
    EXPECT_FALSE(model.prepareSend()); // nothing to save or send yet
    typeRow(1, QStringLiteral("ｱｲｳ"), QStringLiteral("AB"));
    model.MasterGridSetEditText(1, 3, QStringLiteral("Z"));
    ASSERT_TRUE(model.prepareSend()); // the entry row was taken
    const QString path = casePath("out/new.dat");
    ASSERT_TRUE(QDir().mkpath(casePath("out")));
    ASSERT_TRUE(model.saveFile(path)) << boxes();
    EXPECT_EQ(readFile(path), QByteArray("\xb1\xb2\xb3 AB Z \r\n"));
    EXPECT_EQ(readFile(casePath("out/new.fld")), QByteArray("4,3,2\r\n"));
    EXPECT_EQ(model.BhtName, QString()); // no master name when the send was prepared
    ASSERT_TRUE(model.prepareSend());
    EXPECT_EQ(model.BhtName, QStringLiteral("NEW.DAT"));
    // Refused names and the working copy itself.
    EXPECT_FALSE(model.saveFile(casePath("out/new.FLD")));
    EXPECT_FALSE(model.saveFile(model.TmpMst));
    ASSERT_EQ(ui.messageBoxCount(), 2);
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("マスターファイル保存"));
    EXPECT_EQ(ui.messageBoxes()[1].text,
              QFileInfo(model.TmpMst).fileName() + QStringLiteral("\r\nのファイル名は指定できません。"));
}

class FailingSave : public MasterEditModelTest {
protected:
    void SetUp() override
    {
        openNumbered(100);
        oldMaster = readFile(master);
        typeRow(2, QStringLiteral("CHANGED"), QStringLiteral("X"));
        ASSERT_TRUE(model.takeEntryRow());
        model.MasterGridClick(1, 1);
        model.InsBtnClick();
        ASSERT_TRUE(model.ChangeFlag);
    }
    void expectOldFilesAndOpenCopy()
    {
        EXPECT_EQ(readFile(master), oldMaster);
        EXPECT_EQ(readFile(casePath("m/master.fld")), QByteArray("8,10\r\n"));
        EXPECT_TRUE(model.EditFlag);
        EXPECT_TRUE(model.ChangeFlag);
        EXPECT_EQ(model.recordCount(), 101);
        ASSERT_FALSE(ui.messageBoxes().empty());
        EXPECT_EQ(ui.messageBoxes().back().text, QStringLiteral("ファイルアクセスができません"));
        EXPECT_EQ(ui.messageBoxes().back().style.icon, platform::MsgIcon::Stop);
        EXPECT_EQ(QDir(casePath("m")).entryList(QDir::Files), (QStringList{"master.dat", "master.fld"}));
    }
    QByteArray oldMaster;
};

TEST_F(FailingSave, AReadOnlyMasterOrWidthFileKeepsBoth)
{
    ASSERT_TRUE(QFile::setPermissions(master, QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_FALSE(model.saveFile(master));
    expectOldFilesAndOpenCopy();
    ASSERT_TRUE(QFile::setPermissions(master, QFile::ReadOwner | QFile::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(casePath("m/master.fld"), QFile::ReadOwner));
    EXPECT_FALSE(model.saveFile(master));
    expectOldFilesAndOpenCopy();
    // Saved elsewhere, the edits are all there.
    ASSERT_TRUE(model.saveFile(casePath("elsewhere.dat")));
    EXPECT_EQ(keysOf(readFile(casePath("elsewhere.dat")), Length, 8).mid(0, 3),
              (QStringList{QString(), QStringLiteral("K0001"), QStringLiteral("CHANGED")}));
}

TEST_F(FailingSave, AFullDeviceKeepsTheOldFiles)
{
    {
        const testsupport::FileSizeLimit limit(oldMaster.size() + 5);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(model.saveFile(master));
    }
    expectOldFilesAndOpenCopy();
    testsupport::SmallFileSystem small(16 * 1024);
    if (!small.mounted())
        GTEST_SKIP() << small.why().toStdString();
    ASSERT_TRUE(writeFile(small.filePath("master.dat"), numberedRecords(300)));
    ASSERT_TRUE(writeFile(small.filePath("master.fld"), "8,10\r\n"));
    ASSERT_TRUE(writeFile(small.filePath("filler"), QByteArray(4 * 1024, 'x')));
    EXPECT_FALSE(model.saveFile(small.filePath("master.dat")));
    EXPECT_EQ(readFile(small.filePath("master.dat")), numberedRecords(300));
    EXPECT_EQ(readFile(small.filePath("master.fld")), QByteArray("8,10\r\n"));
    EXPECT_TRUE(model.ChangeFlag);
}

TEST_F(MasterEditModelTest, TheWorkingCopiesOfEditorsThatWereKilledGoWhenTheNextStarts)
{
    // An editor in a child, killed with its master open.
    testsupport::StoppedChild child([] {
        static testsupport::RecordingUiService local;
        static MasterEditModel killed(local);
        return killed.newFile(Widths) ? killed.TmpMst : QString();
    });
    ASSERT_TRUE(child.started());
    const QString killedCopy = child.report();
    // While it runs, its copy stays.
    {
        testsupport::RecordingUiService local;
        MasterEditModel other(local);
        EXPECT_NE(other.TmpMst, killedCopy);
        EXPECT_TRUE(QFileInfo::exists(killedCopy));
    }
    child.kill();
    ASSERT_TRUE(QFileInfo::exists(killedCopy));
    testsupport::RecordingUiService local;
    MasterEditModel next(local);
    EXPECT_FALSE(QFileInfo::exists(killedCopy));
    EXPECT_TRUE(QFileInfo::exists(next.TmpMst));
    EXPECT_TRUE(QFileInfo::exists(model.TmpMst)) << "the copy of a running editor stays";
}

TEST_F(MasterEditModelTest, ClosingEmptiesTheWorkingCopyAndTheEditorRemovesIt)
{
    QString working;
    {
        testsupport::RecordingUiService local;
        MasterEditModel other(local);
        working = other.TmpMst;
        ASSERT_TRUE(working.startsWith(platform::userTempFolder() + QStringLiteral("/Mst")));
        master = casePath("m/master.dat");
        ASSERT_TRUE(writeFile(master, numberedRecords(10)));
        ASSERT_TRUE(writeFile(casePath("m/master.fld"), "8,10\r\n"));
        ASSERT_TRUE(other.openFile(master, {}));
        EXPECT_EQ(QFile(working).size(), 10 * Length);
        other.closeFile();
        EXPECT_FALSE(other.EditFlag);
        EXPECT_EQ(QFile(working).size(), 0);
        other.NextBtnClick(); // works on nothing
        other.InsBtnClick();
        EXPECT_EQ(local.messageBoxCount(), 0);
    }
    EXPECT_FALSE(QFile::exists(working));
}

} // namespace
