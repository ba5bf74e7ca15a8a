#include "JobsUiTestSupport.h"

#include "jobs/ui/DspSendData.h"
#include "tests/support/RecordingUiService.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

using jobsuitest::storingJob;

QStringList rowTexts(const QTableWidget &grid, int row)
{
    QStringList texts;
    for (int c = 0; c < grid.columnCount(); ++c)
        texts << (grid.item(row, c) ? grid.item(row, c)->text() : QStringLiteral("<none>"));
    return texts;
}

QStringList labelTexts(const QDialog &form)
{
    QStringList texts;
    for (const QLabel *label : form.findChildren<QLabel *>())
        texts << label->text();
    return texts;
}

bool red(const QLabel &label)
{
    return label.palette().color(QPalette::WindowText) == QColor(Qt::red);
}

TEST(TSendDataForm, ShowsTheFieldsOfTheJobsRecords)
{
    const TGyData job = storingJob(3, 1, true, {{"得意先", 13}}, {{"商品コード", 20}, {"数量", 8}});
    testsupport::RecordingUi ui;
    ui.queueForm([](QDialog &form) {
        // The operator looks, then leaves through "終了".
        auto *end = form.findChild<QPushButton *>(QStringLiteral("EndBtn"));
        ASSERT_NE(end, nullptr);
        EXPECT_EQ(end->text(), QStringLiteral("終了"));
        end->click();
    });
    TSendDataForm form(job);

    EXPECT_EQ(form.objectName(), QStringLiteral("SendDataForm"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("入荷検品 送信データレイアウト (NYUKA.DAT)"));
    auto *grid = form.findChild<QTableWidget *>(QStringLiteral("DataStrGrid"));
    auto *fields = form.findChild<QLabel *>(QStringLiteral("FeildLabel"));
    auto *total = form.findChild<QLabel *>(QStringLiteral("TotalLabel"));
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(fields, nullptr);
    ASSERT_NE(total, nullptr);

    // The heading column stays in view as the grid's row header; one column per field follows.
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->verticalHeaderItem(0)->text(), QStringLiteral("ﾌｨｰﾙﾄﾞ項目"));
    EXPECT_EQ(grid->verticalHeaderItem(1)->text(), QStringLiteral("桁数(ﾊﾞｲﾄ数)"));
    EXPECT_EQ(grid->verticalHeader()->width(), 80);
    EXPECT_EQ(rowTexts(*grid, 0),
              (QStringList{"HtNo", "得意先", "商品コード", "数量", "日付(YYYY/MM/DD)", "時刻(HH:MM:SS)"}));
    EXPECT_EQ(rowTexts(*grid, 1), (QStringList{"4", "13", "20", "8", "10", "8"}));
    EXPECT_EQ(grid->columnWidth(0), 40);
    EXPECT_EQ(grid->columnWidth(1), 120);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    EXPECT_EQ(fields->text(), QStringLiteral("6"));
    EXPECT_EQ(total->text(), QStringLiteral("63"));
    EXPECT_FALSE(red(*fields));
    EXPECT_FALSE(red(*total));
    for (const char *caption : {"フィールド数", "１レコード長", "バイト"})
        EXPECT_TRUE(labelTexts(form).contains(QString::fromUtf8(caption))) << caption;

    EXPECT_EQ(platform::ui().showModal(form), 0);
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_FALSE(ui.forms()[0].formLeftOpen);
    EXPECT_FALSE(form.isVisible());
}

TEST(TSendDataForm, ARecordTooLongForTheTerminalIsRed)
{
    const std::vector<jobsuitest::Field> items(10, {"X", 3500});
    const TGyData job = storingJob(0, 1, false, items, items);
    TSendDataForm form(job);
    auto *fields = form.findChild<QLabel *>(QStringLiteral("FeildLabel"));
    auto *total = form.findChild<QLabel *>(QStringLiteral("TotalLabel"));
    EXPECT_EQ(form.findChild<QTableWidget *>(QStringLiteral("DataStrGrid"))->columnCount(), 20);
    EXPECT_EQ(total->text(), QStringLiteral("70000"));
    EXPECT_TRUE(red(*total));
    EXPECT_FALSE(red(*fields));
}

} // namespace
