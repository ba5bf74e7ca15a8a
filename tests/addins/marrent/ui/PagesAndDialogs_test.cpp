#include "addins/marrent/ui/Main.h"
#include "addins/marrent/ui/SetBarCode.h"
#include "common/ui/ListCombo.h"
#include "tests/addins/ui/FormChecks.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void cancel(QDialog &dialog)
{
    static_cast<TSetBarCodeForm &>(dialog).CancelBtn->click();
}

// A job on model 1300, whose dialogs offer the most symbologies, handed over without parameters,
// so every box starts unticked.
class MarrentOperatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        addintest::handOverNewJob(1300);
        ASSERT_TRUE(form.FormCreate());
        form.show();
    }

    testsupport::RecordingUi ui;
    TMainForm form;
};

} // namespace

TEST(MarrentPagesTest, PagesKeepTheirControlsWhateverABoxShows)
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

TEST_F(MarrentOperatorTest, EveryResultFieldFitsTheFormAsItOpened)
{
    const QSize opened = form.size();
    addintest::openPage(form, 5);
    form.SendFileChk->click();
    form.SendFieldsCB->setCurrentIndex(form.SendFieldsCB->count() - 1);
    emit form.SendFieldsCB->activated(form.SendFieldsCB->currentIndex());
    addintest::expectControlsStay(form, *form.PageControl1->currentWidget());
    EXPECT_EQ(form.size(), opened);
}

TEST_F(MarrentOperatorTest, BarcodeDialogKeepsItsControlsWhateverABoxShows)
{
    addintest::openPage(form, 1);
    form.DKKubunChk->click();
    form.DKBarChk->click();
    addintest::expectDialogsStay({form.DKBarBtn});
    addintest::openPage(form, 2);
    form.DpKubunChk->click();
    form.DpBarChk->click();
    addintest::expectDialogsStay({form.DpBarBtn});
    addintest::openPage(form, 4);
    addintest::expectDialogsStay({form.SCBarBtn});
}

TEST_F(MarrentOperatorTest, EnterPressesTheFocusedButtonAndTheFocusComesBack)
{
    // Enter on a ticked barcode box moves to its button, which the next Enter presses.
    const struct {
        int page;
        QCheckBox *used, *bar;
        QPushButton *button;
    } chains[] = {{1, form.DKKubunChk, form.DKBarChk, form.DKBarBtn},
                  {2, form.DpKubunChk, form.DpBarChk, form.DpBarBtn}};
    for (const auto &c : chains) {
        SCOPED_TRACE(c.button->objectName().toStdString());
        addintest::openPage(form, c.page);
        c.used->click();
        c.bar->click();
        c.bar->setFocus();
        QTest::keyClick(c.bar, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c.button);
        addintest::expectFocusReturns(form, c.button, cancel);
    }
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
