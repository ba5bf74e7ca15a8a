#include "FakeTableSource.h"
#include "MasterTestSupport.h"

#include "masters/MasterEditModel.h"
#include "platform/Cp932.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/RecordingUiService.h"

#include <gtest/gtest.h>

using masters::MasterEditModel;
using masters::tables::FieldAssignment;
using platform::MsgIcon;
using namespace masterstest;

namespace {

QByteArray sjis(const char16_t *text)
{
    return platform::cp932::encode(QString::fromUtf16(text));
}

const std::vector<int> Widths{6, 7, 5};

// The goods table's rows as records of widths 6, 7, 5 from its code, name and price.
QByteArray goodsRecords()
{
    return "000101" + sjis(u"りんご") + " " + "00150" + "\r\n" + //
           "-00003" + sjis(u"表示価") + " " + "00000" + "\r\n" + // cut before a split character
           "490123" + "       " + "098.5" + "\r\n";
}

class MasterImportTest : public testing::Test {
protected:
    void SetUp() override
    {
        source = casePath("src/goods.xlsx");
        ASSERT_TRUE(writeFile(source, "not read: the source is faked"));
        fake.add(QStringLiteral("価格表"), FakeTable{});
        fake.add(QStringLiteral("商品"), goodsTable());
        hooks.askWidths = [this]() -> std::optional<std::vector<int>> {
            ++widthDialogs;
            return widthsAnswer;
        };
        hooks.openSource = [this](const QString &path,
                                  QString &) -> std::unique_ptr<masters::tables::TableSource> {
            openedPath = path;
            if (!readerAvailable)
                return nullptr;
            return std::make_unique<Forward>(fake);
        };
        // The operator picks the goods table, its columns in order, and runs the import.
        hooks.selectTable = [this](masters::tables::TableSource &from, const QStringList &tables,
                                   const std::vector<int> &widths, masters::tables::RecordSink &sink) {
            listed = tables;
            masters::TableRun run;
            if (!runDialog)
                return run;
            const masters::tables::ImportOutcome outcome =
                masters::tables::importTable(from, QStringLiteral("商品"), FieldAssignment{{0, 1, 2}},
                                             QList<int>(widths.begin(), widths.end()), sink);
            run.ImportCount = outcome.count;
            run.UnheldCells = outcome.unheldCells;
            if (outcome.ok)
                run.ImportTable = QStringLiteral("商品");
            else
                run.error = outcome.error;
            return run;
        };
    }
    // Opens a master of widths 6, 7, 5 holding two records.
    void openMaster()
    {
        const QString master = casePath("m/goods.dat");
        ASSERT_TRUE(writeFile(master, existing()));
        ASSERT_TRUE(writeFile(casePath("m/goods.fld"), "6,7,5\r\n"));
        ASSERT_TRUE(model.openFile(master, {}));
    }
    static QByteArray existing()
    {
        return rawRecord({"A1", "OLD", "1"}, Widths) + rawRecord({"A2", "OLD", "2"}, Widths);
    }
    QByteArray workingCopy() const { return readFile(model.TmpMst); }
    masters::ImportResult import()
    {
        ui.queueFileName(source);
        return model.ImportBtnClick(folder, file, hooks);
    }
    std::vector<testsupport::UiEvent> boxes() const { return ui.messageBoxes(); }

    // The model owns the source it opens; the fake outlives it.
    class Forward final : public masters::tables::TableSource {
    public:
        explicit Forward(FakeTableSource &to) : to_(to) {}
        bool listTables(QStringList &names, QString &error) override { return to_.listTables(names, error); }
        bool readColumns(const QString &t, QList<masters::tables::TableColumn> &c, QString &e) override
        {
            return to_.readColumns(t, c, e);
        }
        bool readRows(const QString &t, const RowHandler &h, QString &e) override
        {
            return to_.readRows(t, h, e);
        }

    private:
        FakeTableSource &to_;
    };

    testsupport::RecordingUiService ui;
    MasterEditModel model{ui};
    FakeTableSource fake;
    masters::ImportHooks hooks;
    std::optional<std::vector<int>> widthsAnswer = Widths;
    int widthDialogs = 0;
    bool readerAvailable = true;
    bool runDialog = true;
    QString source;
    QString openedPath;
    QStringList listed;
    QString folder;
    QString file;
};

TEST_F(MasterImportTest, IntoANewMasterMakesTheWorkingCopyFromTheTable)
{
    const masters::ImportResult result = import();
    EXPECT_TRUE(result.created);
    EXPECT_TRUE(result.imported);
    EXPECT_EQ(widthDialogs, 1);
    EXPECT_EQ(openedPath, source);
    EXPECT_EQ(listed, QStringList({QStringLiteral("価格表"), QStringLiteral("商品")}));
    EXPECT_EQ(workingCopy(), goodsRecords());
    EXPECT_TRUE(model.EditFlag);
    EXPECT_TRUE(model.ChangeFlag);
    EXPECT_EQ(model.DLineCnt, 3);
    EXPECT_EQ(model.cell(1, 2), QStringLiteral("りんご"));
    EXPECT_EQ(folder, casePath("src") + QLatin1Char('/'));
    EXPECT_EQ(file, source);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("3件のデータをインポートしました。"));
    EXPECT_EQ(boxes()[0].caption, QStringLiteral("データインポート"));
    EXPECT_EQ(boxes()[0].style.icon, MsgIcon::Information);
    // The source dialog as the operator sees it.
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].caption, QStringLiteral("Ａｃｃｅｓｓ/Excelﾃﾞｰﾀｲﾝﾎﾟｰﾄ"));
    EXPECT_TRUE(ui.fileDialogs()[0].filter.contains(QStringLiteral("*.accdb")));
    EXPECT_TRUE(ui.fileDialogs()[0].filter.contains(QStringLiteral("*.xlsx")));
}

TEST_F(MasterImportTest, CellsWithCharactersTheCodePageCannotHoldAreCountedInTheCompletion)
{
    FakeTable goods = goodsTable();
    const char16_t lone[] = {u'x', 0xDC00, 0};
    goods.rows << QStringList{QStringLiteral("9"), QString::fromUtf16(u"林檎\U0001F34E"), QStringLiteral("1")}
               << QStringList{QString::fromUtf16(lone), QString::fromUtf16(u"\uD55C"), QStringLiteral("2")}
               << QStringList{QStringLiteral("7"), QString::fromUtf16(u"e\u0301"), QStringLiteral("3")};
    fake.tables[QStringLiteral("商品")] = goods;
    import();
    EXPECT_EQ(model.DLineCnt, 6);
    // The import goes on with the others, each such character one "?" as before.
    EXPECT_TRUE(workingCopy().endsWith(QByteArray("000009") + sjis(u"林檎?  ") + "00001\r\n" + "0000x?" +
                                       "?      " + "00002\r\n" + "000007" + "e?     " + "00003\r\n"))
        << workingCopy().toHex(' ').constData();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text,
              QStringLiteral("6件のデータをインポートしました。\r\n"
                             "シフトJISで表せない文字を含むセルが4件あり、その文字は「?」にしました。"));
}

TEST_F(MasterImportTest, IntoAnOpenMasterAppendsAfterItsRecordsAndTheTypedEntryRow)
{
    openMaster();
    model.MasterGridClick(3, 1);
    model.MasterGridSetEditText(3, 1, QStringLiteral("A3"));
    model.MasterGridSetEditText(3, 2, QStringLiteral("NEW"));
    model.MasterGridSetEditText(3, 3, QStringLiteral("3"));
    const masters::ImportResult result = import();
    EXPECT_FALSE(result.created);
    EXPECT_TRUE(result.imported);
    EXPECT_EQ(widthDialogs, 0);
    EXPECT_EQ(workingCopy(), existing() + rawRecord({"A3", "NEW", "3"}, Widths) + goodsRecords());
    EXPECT_EQ(model.DLineCnt, 6);
    EXPECT_TRUE(model.ChangeFlag);
}

TEST_F(MasterImportTest, APartlyTypedEntryRowStopsTheImportBeforeTheSourceIsAsked)
{
    openMaster();
    model.MasterGridClick(3, 1);
    model.MasterGridSetEditText(3, 1, QStringLiteral("A3"));
    EXPECT_FALSE(model.ImportBtnClick(folder, file, hooks).imported);
    EXPECT_TRUE(ui.fileDialogs().empty());
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].caption, QStringLiteral("入力エラー"));
    EXPECT_EQ(workingCopy(), existing());
}

// A read or an append that fails part way takes back every record of the run and reports why.
TEST_F(MasterImportTest, ARunThatStopsPartWayLeavesTheWorkingCopyAsItWas)
{
    fake.tables[QStringLiteral("商品")].failAfter = 2;
    openMaster();
    EXPECT_FALSE(import().imported);
    EXPECT_EQ(workingCopy(), existing());
    EXPECT_EQ(model.recordCount(), 2);
    EXPECT_FALSE(model.ChangeFlag);
    EXPECT_EQ(model.DLineCnt, 2);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("行4を読めません。"));
    EXPECT_EQ(boxes()[0].caption, QStringLiteral("データインポート"));
    EXPECT_EQ(boxes()[0].style.icon, MsgIcon::Stop);

    // Into a new master the same failure leaves nothing open.
    model.closeFile();
    ui.clear();
    EXPECT_FALSE(import().imported);
    EXPECT_FALSE(model.EditFlag);
    EXPECT_TRUE(workingCopy().isEmpty());
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].style.icon, MsgIcon::Stop);
}

TEST_F(MasterImportTest, AFullDiskPartWayTakesBackWhatWasAppended)
{
    FakeTable big = goodsTable();
    for (int i = 0; i < 2000; ++i)
        big.rows << QStringList{QString::number(i), QStringLiteral("品"), QString::number(i)};
    fake.tables[QStringLiteral("商品")] = big;
    openMaster();
    masters::ImportResult result;
    {
        const testsupport::FileSizeLimit limit(existing().size() + 20 * 100);
        ASSERT_TRUE(limit.active());
        result = import();
    }
    EXPECT_FALSE(result.imported);
    EXPECT_EQ(workingCopy(), existing());
    EXPECT_FALSE(model.ChangeFlag);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(boxes()[0].text.startsWith(QStringLiteral("ファイルアクセスができません")))
        << boxes()[0].text.toStdString();
    EXPECT_EQ(boxes()[0].caption, QStringLiteral("データインポート"));
}

// Every way the command stops before a run: what the operator sees, and that a working copy the
// command made is gone again while an open master keeps its records.
TEST_F(MasterImportTest, StopsBeforeTheRun)
{
    struct Case {
        const char *name;
        std::function<void()> arrange;
        QString chosen;
        QString box;       // the caption of the one box shown, or none
        bool newStaysOpen; // a working copy the command made is still open
    };
    const Case cases[] = {
        {"source dialog cancelled", {}, QString(), QString(), false},
        {"not a database or workbook",
         {},
         QStringLiteral("goods.csv"),
         QStringLiteral("データソース名エラー"),
         false},
        {"no reader", [this] { readerAvailable = false; }, QStringLiteral("goods.xlsx"),
         QStringLiteral("MDACエラー"), true},
        {"file cannot be opened", [this] { fake.listFails = true; }, QStringLiteral("goods.xlsx"),
         QStringLiteral("接続エラー"), false},
        {"table dialog closed", [this] { runDialog = false; }, QStringLiteral("goods.MDB"), QString(), false},
    };
    for (const Case &c : cases) {
        for (const bool open : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (open ? ", open master" : ", new master"));
            readerAvailable = runDialog = true;
            fake.listFails = false;
            model.closeFile();
            if (open)
                openMaster();
            if (c.arrange)
                c.arrange();
            ui.clear();
            ui.queueFileName(c.chosen.isEmpty() ? QString() : casePath("src/" + c.chosen));
            const masters::ImportResult result = model.ImportBtnClick(folder, file, hooks);
            EXPECT_FALSE(result.imported);
            EXPECT_FALSE(model.ChangeFlag);
            const std::vector<testsupport::UiEvent> shown = boxes();
            ASSERT_EQ(shown.size(), c.box.isEmpty() ? 0u : 1u);
            if (!c.box.isEmpty()) {
                EXPECT_EQ(shown[0].caption, c.box);
            }
            EXPECT_EQ(fake.reads, 0);
            if (open) {
                EXPECT_TRUE(model.EditFlag);
                EXPECT_EQ(workingCopy(), existing());
            } else {
                EXPECT_EQ(model.EditFlag, c.newStaysOpen);
                EXPECT_EQ(result.created, c.newStaysOpen);
            }
        }
    }
    // The texts of the boxes.
    model.closeFile();
    ui.clear();
    readerAvailable = false;
    import();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("Microfoft Data Access Components(MDAC)がありません。"));
    EXPECT_EQ(boxes()[0].style.icon, MsgIcon::Stop);
}

TEST_F(MasterImportTest, ACancelledFieldDialogAsksForNoSource)
{
    widthsAnswer.reset();
    EXPECT_FALSE(import().created);
    EXPECT_FALSE(model.EditFlag);
    EXPECT_TRUE(ui.fileDialogs().empty());
}

TEST_F(MasterImportTest, TheSourceDialogStartsAtTheLastSourceWhileItExists)
{
    folder = casePath("src") + QLatin1Char('/');
    file = source;
    runDialog = false;
    import();
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].text, source);
    ui.clear();
    file = casePath("src/gone.xls");
    ui.queueFileName(QString());
    model.ImportBtnClick(folder, file, hooks);
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].text, folder);
    EXPECT_TRUE(file.isEmpty());
}

} // namespace
