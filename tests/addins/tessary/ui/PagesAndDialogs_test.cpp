#include "addins/frame/ui/ByteEdit.h"
#include "addins/tessary/ui/Main.h"
#include "addins/tessary/ui/SetBarCode.h"
#include "tests/addins/ui/FormChecks.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tessary;

namespace {

// A job on model 1300, whose dialogs offer the most symbologies, handed over without parameters,
// so every box starts unticked.
class TessaryOperatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        addintest::handOverNewJob(1300);
        form = std::make_unique<TMainForm>();
        ASSERT_TRUE(form->FormCreate());
        form->show();
    }

    static void cancel(QDialog &dialog) { static_cast<TSetBarCodeForm &>(dialog).CancelBtn->click(); }

    testsupport::RecordingUi ui;
    std::unique_ptr<TMainForm> form;
};

} // namespace

TEST_F(TessaryOperatorTest, PagesKeepTheirControlsWhateverABoxShows)
{
    addintest::expectEveryPageStays(*form);
}

TEST_F(TessaryOperatorTest, BarcodeDialogKeepsItsControlsWhateverABoxShows)
{
    form->DKubunChk->click();
    form->DKBarChk->click();
    addintest::openPage(*form, 0);
    addintest::expectDialogsStay({form->DKBarBtn});
    addintest::openPage(*form, 1);
    addintest::expectDialogsStay({form->MKBarBtn, form->SK1BarBtn});
}

TEST_F(TessaryOperatorTest, EnterPressesTheFocusedButtonAndTheFocusComesBack)
{
    form->DKubunChk->click();
    form->DKBarChk->click();
    addintest::openPage(*form, 0);
    addintest::expectFocusReturns(*form, form->DKBarBtn, cancel);
    addintest::openPage(*form, 1);
    addintest::expectFocusReturns(*form, form->MKBarBtn, cancel);
    addintest::expectFocusReturns(*form, form->SK1BarBtn, cancel);

    // The chain from a filled item name ends on its button, which the next Enter presses.
    for (auto [name, button] :
         {std::pair{form->MKNameSE, form->MKBarBtn}, std::pair{form->SK1NameSE, form->SK1BarBtn}}) {
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("A"));
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), button) << button->objectName().toStdString();
        addintest::expectFocusReturns(*form, button, cancel);
    }
}

TEST_F(TessaryOperatorTest, BarcodeDialogTakesEnterOnItsButtons)
{
    addintest::openPage(*form, 1);
    // Confirm with no symbology reports it and stays open; Enter on Cancel then ends the dialog.
    addintest::expectFocusReturns(*form, form->MKBarBtn, [this](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        dialog.GTINChk->click();
        dialog.EndBtn->setFocus();
        QTest::keyClick(dialog.EndBtn, Qt::Key_Return);
        EXPECT_EQ(ui.messageBoxCount(), 1);
        EXPECT_TRUE(dialog.isVisible());
        dialog.CancelBtn->setFocus();
        QTest::keyClick(dialog.CancelBtn, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
}
