#include "masters/ui/MasterEdit.h"
#include "masters/ui/MasterFld.h"
#include "masters/ui/SelectTable.h"
#include "masters/ui/SendMst.h"

#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/masters/FakeTableSource.h"
#include "tests/masters/ui/MasterUiTest.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/RecordingUiService.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// A screen reader finds every field of the master editor's forms by the caption the operator reads
// beside it, and a cell being edited by its column's heading.

namespace {

struct Caption {
    const char *control;
    const char *caption;
};

} // namespace

TEST(CaptionsTest, EveryFieldOfTheMasterFormsIsFoundByItsCaption)
{
    testsupport::RecordingUi ui;
    masterstest::FakeTableSource source;
    source.add(QStringLiteral("商品"), masterstest::goodsTable());
    masteruitest::NoSink sink;
    TMasterForm editor(QStringLiteral("COM1"), 115200);
    TMasterFldForm fields({13, 20, 6});
    TSelectTableForm tables(source, source.order, {13, 20, 6}, sink);
    TSendMstForm send(QStringLiteral("COM1"), 115200, QStringLiteral("SHOHIN.DAT"), QStringLiteral("/tmp/x"),
                      {13, 20, 6});
    const struct {
        QDialog *form;
        std::vector<Caption> samples;
    } forms[] = {
        {&editor, {{"MasterGrid", "マスターファイル編集"}}},
        {&fields, {{"KeyFldNE", "検索キー桁数"}, {"FldCntCB", "参照データ数"}}},
        {&tables, {{"Edit1", "テーブル選択と項目指定"}, {"ListBox1", "テーブル選択と項目指定"}}},
        {&send, {{"MfNameSE", "マスターファイル名"}}},
    };
    for (const auto &entry : forms) {
        SCOPED_TRACE(entry.form->objectName().toStdString());
        EXPECT_EQ(testsupport::uncaptionedControls(*entry.form).join(QStringLiteral(", ")).toStdString(), "");
        for (const Caption &sample : entry.samples) {
            auto *control = entry.form->findChild<QWidget *>(QString::fromLatin1(sample.control));
            ASSERT_NE(control, nullptr) << sample.control;
            EXPECT_EQ(testsupport::accessibleCaption(control).toStdString(), sample.caption)
                << sample.control;
        }
    }
    // Each reference width reads its own caption, without the unit after the gap.
    for (int i = 0; i < 5; ++i) {
        auto *edit = fields.findChild<QWidget *>(QStringLiteral("Fld%1NE").arg(i + 1));
        ASSERT_NE(edit, nullptr) << i;
        EXPECT_EQ(testsupport::accessibleCaption(edit),
                  QStringLiteral("参照データ%1桁数").arg(QChar(u'１' + i)));
    }
}

TEST(CaptionsTest, ACellBeingEditedIsReadByItsColumnsHeading)
{
    const QString master = managertest::casePath("m/SHOHIN.DAT");
    ASSERT_TRUE(managertest::writeFile(master, "4901234500001SHOYU1L\r\n"));
    ASSERT_TRUE(managertest::writeFile(managertest::casePath("m/SHOHIN.fld"), "13,7\r\n"));
    testsupport::RecordingUi ui;
    TMasterForm form(QStringLiteral("COM1"), 115200);
    masteruitest::showAndOpen(form, ui, master);
    // Column 0 numbers the rows and is never edited.
    ASSERT_EQ(form.MasterGrid->columnCount(), 3);
    for (int column = 1; column < form.MasterGrid->columnCount(); ++column) {
        SCOPED_TRACE(column);
        QTableWidgetItem *cell = form.MasterGrid->item(0, column);
        form.MasterGrid->openPersistentEditor(cell);
        auto *editor =
            qobject_cast<QLineEdit *>(form.MasterGrid->indexWidget(form.MasterGrid->indexFromItem(cell)));
        ASSERT_NE(editor, nullptr);
        const QString heading = form.MasterGrid->horizontalHeaderItem(column)->text();
        ASSERT_FALSE(heading.isEmpty());
        EXPECT_EQ(testsupport::accessibleCaption(editor), heading);
        form.MasterGrid->closePersistentEditor(cell);
    }
}
