#include "JobsUiTestSupport.h"

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/DspSendData.h"
#include "jobs/ui/SetBarCode.h"
#include "tests/support/Screenshot.h"

#include <QTableWidget>
#include <gtest/gtest.h>

// Renders the job settings editor's forms to PNG files in the screenshots folder for a person to
// look at; the checks make sure the captions and the grid's texts can be drawn.

TEST(ScreenshotTest, SendDataLayoutViewer)
{
    const TGyData job = jobsuitest::storingJob(3, 0, true, {{"得意先ｺｰﾄﾞ", 13}, {"担当者", 5}},
                                               {{"商品コード", 20}, {"数量", 8}, {"ロット番号", 10}});
    TSendDataForm form(job);
    const auto *grid = form.findChild<QTableWidget *>(QStringLiteral("DataStrGrid"));
    ASSERT_NE(grid, nullptr);
    for (int c = 0; c < grid->columnCount(); ++c)
        EXPECT_TRUE(testsupport::drawable(*grid, grid->item(0, c)->text())) << c;
    testsupport::shootDialog(form, QStringLiteral("send-data-layout.png"));
}

TEST(ScreenshotTest, BarcodeReadingSettings)
{
    TGyData job;
    job.DaCount = 3;
    for (int i = 0; i < 3; ++i)
        InitKoData(job.DaKoDa[i], QStringList{"商品コード", "ロット番号", "賞味期限"}[i], u'A');
    TKoData &item = job.DaKoDa[0];
    item.KDInpMode = 2;
    item.KBar = QStringLiteral("AiK");
    item.KBDatChk = true;
    item.KBFmt = 1;
    item.FWDatChk = true;
    item.FWCount = 3;
    item.FWDstKo = {0, 1, 2, 0, 0, 0, 0, 0, 0, 0};
    TSetBarCodeForm form(job, false, 0, QStringLiteral("/nonexistent/AiCode.Tbl"));
    testsupport::shootDialog(form, QStringLiteral("barcode-reading-settings.png"));
}

TEST(ScreenshotTest, AddJob)
{
    TAddGyDat add;
    TAdGyForm form(add, QStringLiteral("/nonexistent/"));
    testsupport::shootDialog(form, QStringLiteral("add-job.png"));
}
