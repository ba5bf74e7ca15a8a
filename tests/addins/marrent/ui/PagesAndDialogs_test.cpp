#include "addins/marrent/ui/Main.h"
#include "addins/marrent/ui/SetBarCode.h"
#include "tests/addins/ui/FormChecks.h"
#include "tests/support/RecordingUiService.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void cancel(QDialog &dialog)
{
    static_cast<TSetBarCodeForm &>(dialog).CancelBtn->click();
}

} // namespace

TEST(MarrentOperatorTest, PagesKeepTheirControlsWhateverABoxShows)
{
    // The models differ in the panels the screen settings page shows.
    for (int model : {500, 800, 900}) {
        SCOPED_TRACE(model);
        addintest::handOverNewJob(model);
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        addintest::expectEveryPageStays(form);
    }
}

TEST(MarrentOperatorTest, EnterPressesTheFocusedButtonAndTheFocusComesBack)
{
    addintest::handOverNewJob(800);
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    addintest::openPage(form, 1);
    form.DKKubunChk->click();
    form.DKBarChk->click();
    addintest::expectFocusReturns(form, form.DKBarBtn, cancel);
    addintest::openPage(form, 2);
    form.DpKubunChk->click();
    form.DpBarChk->click();
    addintest::expectFocusReturns(form, form.DpBarBtn, cancel);
    addintest::openPage(form, 4);
    addintest::expectFocusReturns(form, form.SCBarBtn, [](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        // Enter on the focused confirm button confirms.
        dialog.findChild<QCheckBox *>(QStringLiteral("JanChk"))->click();
        dialog.EndBtn->setFocus();
        QTest::keyClick(dialog.EndBtn, Qt::Key_Return);
    });
    EXPECT_TRUE(form.ChangeFlag);
    EXPECT_EQ(ui.messageBoxCount(), 0);
}
