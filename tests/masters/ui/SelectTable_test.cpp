#include "masters/ui/SelectTable.h"

#include "masters/ui/MasterEdit.h"
#include "masters/ui/MasterFld.h"
#include "platform/Cp932.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/masters/FakeTableSource.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestIsolation.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using masterstest::FakeTable;
using masterstest::FakeTableSource;
using platform::MsgIcon;

namespace {

QByteArray sjis(const char16_t *text)
{
    return platform::cp932::encode(QString::fromUtf16(text));
}

class CollectingSink final : public masters::tables::RecordSink {
public:
    QByteArray records;
    bool appendRecord(const QByteArray &record, QString &) override
    {
        records += record;
        return true;
    }
};

// Picks the item of the list by its text as a click does.
void clickTable(TSelectTableForm &form, const QString &name)
{
    const QList<QListWidgetItem *> found = form.ListBox1->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    const QRect place = form.ListBox1->visualItemRect(found.first());
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, place.center());
}

// Chooses the column of each shown field box by its name.
void assign(TSelectTableForm &form, const QStringList &columns)
{
    for (int i = 0; i < columns.size(); ++i)
        form.FldCB[i]->setCurrentIndex(form.FldCB[i]->findText(columns[i]));
}

class SelectTableTest : public testing::Test {
protected:
    SelectTableTest()
    {
        FakeTable broken;
        broken.columnsFail = true;
        source.add(QStringLiteral("商品"), masterstest::goodsTable());
        source.add(QStringLiteral("壊れた表"), broken);
    }
    std::unique_ptr<TSelectTableForm> makeForm(const std::vector<int> &widths = {6, 7, 5})
    {
        auto form = std::make_unique<TSelectTableForm>(source, source.order, widths, sink);
        form->show();
        QApplication::processEvents();
        return form;
    }

    testsupport::RecordingUi ui;
    FakeTableSource source;
    CollectingSink sink;
};

TEST_F(SelectTableTest, ListsTablesOffersTheColumnsAndRunsTheChosenAssignment)
{
    auto form = makeForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("テーブル選択と項目指定"));
    ASSERT_EQ(form->ListBox1->count(), 2);
    EXPECT_EQ(form->ListBox1->item(0)->text(), QStringLiteral("商品"));
    EXPECT_EQ(form->KeyFldLB->text(), QStringLiteral("検索キー"));
    EXPECT_EQ(form->FldLB[2]->text(), QStringLiteral("参照データ２"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(form->FldCB[i]->isVisible(), i < 3) << i;
        EXPECT_EQ(form->FldLB[i]->isVisible(), i < 3) << i;
    }
    EXPECT_EQ(form->OkButton->text(), QStringLiteral("ｲﾝﾎﾟｰﾄ実行"));
    EXPECT_EQ(form->CanButton->text(), QStringLiteral("ｷｬﾝｾﾙ"));

    // Without a table, then without every column: the setting error, and the dialog stays.
    form->OkButton->click();
    clickTable(*form, QStringLiteral("商品"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("商品"));
    EXPECT_EQ(form->ImportTable, QStringLiteral("商品"));
    EXPECT_EQ(form->KeyFldCB->count(), 3);
    EXPECT_EQ(form->FldCB[2]->itemText(1), QStringLiteral("品名"));
    EXPECT_EQ(form->KeyFldCB->currentIndex(), -1);
    EXPECT_EQ(form->FSDataType, (std::vector<int>{1, 0, 1}));
    assign(*form, {QStringLiteral("コード"), QStringLiteral("品名")});
    form->OkButton->click();
    ASSERT_EQ(ui.messageBoxCount(), 2);
    for (const testsupport::UiEvent &box : ui.messageBoxes()) {
        EXPECT_EQ(box.text, QStringLiteral("テーブルまたは項目の設定エラーです。"));
        EXPECT_EQ(box.caption, QStringLiteral("設定エラー"));
        EXPECT_EQ(box.style.icon, MsgIcon::Exclamation);
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(sink.records.isEmpty());

    // The name goes to the key and the price is chosen twice.
    assign(*form, {QStringLiteral("品名"), QStringLiteral("コード"), QStringLiteral("単価")});
    form->OkButton->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->run().ImportTable, QStringLiteral("商品"));
    EXPECT_EQ(form->run().ImportCount, 3);
    EXPECT_EQ(sink.records, sjis(u"りんご") + "0000101" + "00150" + "\r\n" +     //
                                sjis(u"表示価") + "-000003" + "00000" + "\r\n" + //
                                "      " + "4901234" + "098.5" + "\r\n");
}

TEST_F(SelectTableTest, AnyCloseButARunImportsNothing)
{
    const std::vector<std::pair<const char *, std::function<void(TSelectTableForm &)>>> closes = {
        {"ｷｬﾝｾﾙ", [](TSelectTableForm &f) { f.CanButton->click(); }},
        {"close box", [](TSelectTableForm &f) { f.close(); }},
        {"Escape", [](TSelectTableForm &f) { QTest::keyClick(f.ListBox1, Qt::Key_Escape); }},
    };
    for (const auto &[name, close] : closes) {
        SCOPED_TRACE(name);
        auto form = makeForm();
        clickTable(*form, QStringLiteral("商品"));
        assign(*form, {QStringLiteral("コード"), QStringLiteral("品名"), QStringLiteral("単価")});
        close(*form);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(form->result(), QDialog::Rejected);
        EXPECT_TRUE(form->run().ImportTable.isEmpty());
        EXPECT_TRUE(form->run().error.isEmpty());
    }
    EXPECT_EQ(source.reads, 0);
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST_F(SelectTableTest, ATableThatCannotBeReadClearsTheChoice)
{
    auto form = makeForm();
    clickTable(*form, QStringLiteral("商品"));
    clickTable(*form, QStringLiteral("壊れた表"));
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("テーブル「壊れた表」の項目を読めません。"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, MsgIcon::Stop);
    EXPECT_TRUE(form->ImportTable.isEmpty());
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_EQ(form->KeyFldCB->count(), 0);
    EXPECT_EQ(form->ListBox1->currentRow(), -1);
    form->OkButton->click();
    EXPECT_EQ(ui.messageBoxes().back().caption, QStringLiteral("設定エラー"));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(SelectTableTest, ARunThatStopsEndsTheDialogWithTheReadersText)
{
    source.tables[QStringLiteral("商品")].failAfter = 1;
    auto form = makeForm({4, 4});
    clickTable(*form, QStringLiteral("商品"));
    assign(*form, {QStringLiteral("コード"), QStringLiteral("品名")});
    form->OkButton->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->run().ImportTable.isEmpty());
    EXPECT_EQ(form->run().error, QStringLiteral("行3を読めません。"));
    EXPECT_EQ(form->run().ImportCount, 1);
}

TEST_F(SelectTableTest, TypedCharactersNeverReachTheChoices)
{
    auto form = makeForm();
    clickTable(*form, QStringLiteral("商品"));
    form->KeyFldCB->setFocus();
    form->KeyFldCB->setCurrentIndex(0);
    // The combo box would jump to the column starting with the typed character.
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("品"));
    QApplication::sendEvent(form->KeyFldCB, &typed);
    EXPECT_EQ(form->KeyFldCB->currentIndex(), 0);
    QTest::keyClick(form->KeyFldCB, Qt::Key_Down);
    EXPECT_EQ(form->KeyFldCB->currentIndex(), 1);
    QTest::keyClicks(form->Edit1, QStringLiteral("x"));
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("商品"));
}

// Made by scripts/make-test-workbooks at build time.
QString workbook(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_WORKBOOKS "/") + QString::fromUtf8(name);
}

// The editor reads the workbooks through the reader program of the build's program folder.
const bool ReaderFolderSet = [] {
    masters::tables::setReaderFolder(testsupport::programFolder());
    return true;
}();

// The goods sheet's code, name, price and arrival date in widths 13, 10, 6, 10, as either kind of
// workbook gives them.
QByteArray goodsSheetRecords()
{
    return "0000000000101" + sjis(u"りんご") + "    " + "000150" + "2024/01/05" + "\r\n" + "0000000000102" +
           sjis(u"ﾊﾞﾅﾅ") + "      " + "0098.5" + "2024/02/29" + "\r\n" + "-000000000003" +
           sjis(u"表示価格（") + "0000.1" + "9:05:00   " + "\r\n" + "4901234567890" + "          " +
           "001E20" + "          " + "\r\n";
}

class WorkbookImport : public testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(workbook(GetParam())));
        form.show();
        QApplication::processEvents();
    }
    // The operator's run of the table dialog: the goods sheet, its first four columns.
    void queueTableDialog()
    {
        ui.queueForm([this](QDialog &dialog) {
            auto &select = static_cast<TSelectTableForm &>(dialog);
            sheets.clear();
            for (int i = 0; i < select.ListBox1->count(); ++i)
                sheets << select.ListBox1->item(i)->text();
            clickTable(select, QStringLiteral("商品"));
            assign(select, {QStringLiteral("コード"), QStringLiteral("品名"), QStringLiteral("単価"),
                            QStringLiteral("入荷日")});
            select.OkButton->click();
        });
    }
    QByteArray workingCopy() const { return managertest::readFile(form.Model().TmpMst); }

    testsupport::RecordingUi ui;
    TMasterForm form{QStringLiteral("COM1"), 115200};
    QStringList sheets;
};

INSTANTIATE_TEST_SUITE_P(Kinds, WorkbookImport, testing::Values("products.xlsx", "products.xls"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             return QString::fromUtf8(info.param).section(u'.', 1).toStdString();
                         });

TEST_P(WorkbookImport, IntoANewMasterThroughTheEditorsButton)
{
    ui.queueForm([](QDialog &dialog) {
        auto &fields = static_cast<TMasterFldForm &>(dialog);
        fields.KeyFldNE->setText(QStringLiteral("13"));
        fields.FldCntCB->setCurrentIndex(2);
        fields.FldNE[0]->setText(QStringLiteral("10"));
        fields.FldNE[1]->setText(QStringLiteral("6"));
        fields.FldNE[2]->setText(QStringLiteral("10"));
        fields.EndBtn->click();
    });
    ui.queueFileName(workbook(GetParam()));
    queueTableDialog();
    form.ImportBtn->click();
    EXPECT_EQ(sheets,
              (QStringList{QStringLiteral("商品"), QStringLiteral("空白"), QStringLiteral("価格表")}));
    EXPECT_EQ(workingCopy(), goodsSheetRecords());
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("4件のデータをインポートしました。"));
    EXPECT_TRUE(form.Model().ChangeFlag);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル新規作成"));
    EXPECT_TRUE(form.MasterGrid->isVisible());
    EXPECT_TRUE(form.SaveBtn->isEnabled());
    EXPECT_EQ(form.MasterGrid->item(1, 2)->text(), QStringLiteral("ﾊﾞﾅﾅ"));
    EXPECT_EQ(form.MasterGrid->item(4, 0)->text(), QStringLiteral("5")); // the entry row
    EXPECT_EQ(form.DataSourceFile, workbook(GetParam()));
}

TEST_P(WorkbookImport, IntoAnOpenMasterAfterItsRecords)
{
    const QString master = managertest::casePath("m/goods.dat");
    const QByteArray old = QByteArray("K1") + QByteArray(11, ' ') + QByteArray(26, '*') + "\r\n";
    ASSERT_TRUE(managertest::writeFile(master, old));
    ASSERT_TRUE(managertest::writeFile(managertest::casePath("m/goods.fld"), "13,10,6,10\r\n"));
    ui.queueFileName(master);
    form.OpenBtn->click();
    ASSERT_TRUE(form.Model().EditFlag);
    ui.queueFileName(workbook(GetParam()));
    queueTableDialog();
    form.ImportBtn->click();
    EXPECT_EQ(workingCopy(), old + goodsSheetRecords());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル（goods.dat）編集"));
    EXPECT_EQ(form.MasterGrid->item(4, 1)->text(), QStringLiteral("4901234567890"));

    // A cancelled table dialog changes nothing and reports nothing.
    ui.clear();
    ui.queueFileName(workbook(GetParam()));
    ui.queueForm([](QDialog &dialog) { static_cast<TSelectTableForm &>(dialog).CanButton->click(); });
    form.ImportBtn->click();
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_EQ(workingCopy(), old + goodsSheetRecords());
}

TEST(MasterFormImport, AnImportThatMadeTheWorkingCopyAndImportedNothingClosesItAgain)
{
    testsupport::RecordingUi ui;
    TMasterForm form(QStringLiteral("COM1"), 115200);
    form.show();
    bool gridShownMeanwhile = false;
    ui.queueForm([](QDialog &dialog) {
        auto &fields = static_cast<TMasterFldForm &>(dialog);
        fields.KeyFldNE->setText(QStringLiteral("8"));
        fields.FldNE[0]->setText(QStringLiteral("10"));
        fields.EndBtn->click();
    });
    ui.queueFileName(workbook("products.xlsx"));
    ui.queueForm([&form, &gridShownMeanwhile](QDialog &dialog) {
        // The new working copy is on show behind the table dialog.
        gridShownMeanwhile = form.MasterGrid->isVisible() && form.SaveBtn->isEnabled() &&
                             form.windowTitle() == QStringLiteral("マスターファイル新規作成");
        dialog.close();
    });
    form.ImportBtn->click();
    EXPECT_TRUE(gridShownMeanwhile);
    EXPECT_EQ(ui.pendingForms(), 0);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_FALSE(form.Model().EditFlag);
    EXPECT_FALSE(form.MasterGrid->isVisible());
    EXPECT_TRUE(form.NewBtn->isEnabled());
    EXPECT_FALSE(form.SaveBtn->isEnabled());
    EXPECT_TRUE(form.ImportBtn->isEnabled());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル編集"));
}

TEST(SelectTableScreenshot, TheTableDialogOverAJapaneseWorkbook)
{
    testsupport::RecordingUi ui;
    QString error;
    std::unique_ptr<masters::tables::TableSource> source =
        masters::tables::openTableSource(workbook("products.xlsx"), error);
    ASSERT_TRUE(source);
    QStringList sheets;
    ASSERT_TRUE(source->listTables(sheets, error)) << error.toStdString();
    CollectingSink sink;
    TSelectTableForm form(*source, sheets, {13, 20, 6, 10}, sink);
    form.show();
    clickTable(form, QStringLiteral("商品"));
    assign(form, {QStringLiteral("コード"), QStringLiteral("品名"), QStringLiteral("単価")});
    ASSERT_EQ(ui.messageBoxCount(), 0);
    for (int i = 0; i < form.ListBox1->count(); ++i)
        EXPECT_TRUE(testsupport::drawable(*form.ListBox1, form.ListBox1->item(i)->text()));
    for (int i = 0; i < form.KeyFldCB->count(); ++i)
        EXPECT_TRUE(testsupport::drawable(*form.KeyFldCB, form.KeyFldCB->itemText(i)));
    EXPECT_TRUE(testsupport::drawable(*form.Memo1, form.Memo1->text().remove(QLatin1Char('\n'))));
    testsupport::shootDialog(form, QStringLiteral("master-select-table.png"));
}

} // namespace
