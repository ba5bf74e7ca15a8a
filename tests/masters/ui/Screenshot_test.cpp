#include "masters/ui/MasterEdit.h"

#include "masters/ui/MasterFld.h"
#include "masters/ui/SendMst.h"
#include "platform/Cp932.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/masters/ui/MasterUiTest.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QComboBox>
#include <QTableWidget>
#include <QToolButton>
#include <gtest/gtest.h>

// Renders the master editor's forms to PNG files in the screenshots folder for a person to look
// at; the checks make sure the captions and the grid's texts can be drawn.

namespace {

QByteArray field(const QString &text, int width)
{
    QByteArray bytes = platform::cp932::encode(text);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

} // namespace

TEST(ScreenshotTest, MasterEditorWithAPageOfJapaneseRecords)
{
    const QStringList names = {QStringLiteral("ｼｮｳﾕ 1L"),          QStringLiteral("味噌　赤だし"),
                               QStringLiteral("緑茶ティーバッグ"), QStringLiteral("ＡＢＣ乾電池単３"),
                               QStringLiteral("㈱北港製菓 煎餅"),  QStringLiteral("おにぎり①鮭")};
    QByteArray data;
    for (int i = 1; i <= 26; ++i)
        data += field(QStringLiteral("49012345%1").arg(i, 5, 10, QLatin1Char('0')), 13) +
                field(names[i % names.size()], 20) + field(QString::number(i * 108), 6) + "\r\n";
    const QString master = managertest::casePath("m/SHOHIN.DAT");
    ASSERT_TRUE(managertest::writeFile(master, data));
    ASSERT_TRUE(managertest::writeFile(managertest::casePath("m/SHOHIN.fld"), "13,20,6\r\n"));
    testsupport::RecordingUi ui;
    TMasterForm form(QStringLiteral("COM1"), 115200);
    masteruitest::showAndOpen(form, ui, master);
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < form.MasterGrid->columnCount(); ++c)
            EXPECT_TRUE(testsupport::drawable(*form.MasterGrid, form.MasterGrid->item(r, c)->text()))
                << r << c;
    testsupport::shootDialog(form, QStringLiteral("master-editor.png"));
}

TEST(ScreenshotTest, MasterFieldDialog)
{
    TMasterFldForm form({10, 20, 5, 8});
    testsupport::shootDialog(form, QStringLiteral("master-field-dialog.png"));
}

TEST(ScreenshotTest, MasterSendDialog)
{
    TSendMstForm form(QStringLiteral("COM1"), 115200, QStringLiteral("SHOHIN.DAT"), QStringLiteral("/tmp/x"),
                      {13, 20, 6});
    testsupport::shootDialog(form, QStringLiteral("master-send-dialog.png"));
}
