#include "QuillonUiSupport.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/quillon/ui/SetBarCode.h"
#include "addins/quillon/ui/SetBz.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "tests/addins/ui/FormChecks.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

using namespace quillon;
using namespace quillonuitest;
using testsupport::RecordingUi;

namespace {

void cancelBarcode(QDialog &dialog)
{
    static_cast<TSetBarCodeForm &>(dialog).CancelBtn->click();
}

void cancelSignal(QDialog &dialog)
{
    static_cast<TSetBzForm &>(dialog).CancelBtn->click();
}

// The collation page of a job without parameters filled so that it passes but for empty names.
void fillCollation(TMainForm &form, const QString &key, const QString &data)
{
    form.KKNameSE->setText(key);
    form.SKNameSE->setText(data);
    form.KKBarDat.BarType = QStringLiteral("A");
    form.SKBarDat.BarType = QStringLiteral("A");
    form.KKMstFileSE->setText(QStringLiteral("MASTER.DAT"));
}

// Enter on the confirm node from the first page, as from the keyboard: the control that has the
// focus once the error box has gone.
QWidget *focusAfterConfirm(TMainForm &form, const QString &key, const QString &data)
{
    fillCollation(form, key, data);
    form.showPage(0);
    QApplication::setActiveWindow(&form);
    form.TreeView1->setFocus();
    form.TreeView1->setCurrentItem(form.TreeView1->topLevelItem(form.confirmNode()));
    QTest::keyClick(form.TreeView1, Qt::Key_Return);
    QApplication::setActiveWindow(&form);
    return QApplication::focusWidget();
}

// A job on model 1300, whose dialogs offer the most symbologies, handed over without parameters,
// so every box starts unticked; the form is shown.
class QuillonOperatorTest : public testing::Test {
protected:
    void SetUp() override
    {
        writeHandOff(1300, {}, {}, 0);
        ASSERT_TRUE(form.FormCreate());
        form.show();
    }

    RecordingUi ui;
    TMainForm form;
};

} // namespace

TEST_F(QuillonOperatorTest, PagesKeepTheirControlsWhateverABoxShows)
{
    addintest::expectEveryPageStays(form);
}

TEST_F(QuillonOperatorTest, DialogsKeepTheirControlsWhateverABoxShows)
{
    form.DKubunChk->click();
    form.DKBarChk->click();
    addintest::openPage(form, 0);
    addintest::expectDialogsStay({form.DKBarBtn});
    addintest::openPage(form, 1);
    addintest::expectDialogsStay({form.KKBarBtn, form.SKBarBtn, form.OkBzBtn, form.NgBzBtn});
}

TEST_F(QuillonOperatorTest, EnterPressesTheFocusedButtonAndTheFocusComesBack)
{
    form.DKubunChk->click();
    form.DKBarChk->click();
    addintest::openPage(form, 0);
    addintest::expectFocusReturns(form, form.DKBarBtn, cancelBarcode);
    addintest::openPage(form, 1);
    for (QPushButton *button : {form.KKBarBtn, form.SKBarBtn})
        addintest::expectFocusReturns(form, button, cancelBarcode);
    for (QPushButton *button : {form.OkBzBtn, form.NgBzBtn})
        addintest::expectFocusReturns(form, button, cancelSignal);

    // Enter on the focused confirm button of each dialog confirms it.
    addintest::expectFocusReturns(form, form.OkBzBtn, [](QDialog &d) {
        auto &dialog = static_cast<TSetBzForm &>(d);
        dialog.BzCountNE->setFocus();
        QTest::keyClicks(dialog.BzCountNE, QStringLiteral("2"));
        dialog.EndBtn->setFocus();
        QTest::keyClick(dialog.EndBtn, Qt::Key_Return);
    });
    EXPECT_TRUE(form.ChangeFlag);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    form.ChangeFlag = false;
    addintest::expectFocusReturns(form, form.KKBarBtn, [](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        dialog.findChild<QCheckBox *>(QStringLiteral("JanChk"))->click();
        dialog.EndBtn->setFocus();
        QTest::keyClick(dialog.EndBtn, Qt::Key_Return);
    });
    EXPECT_TRUE(form.ChangeFlag);
}

TEST_F(QuillonOperatorTest, EnterAlongAChainEndsOnAButtonThatTheNextEnterPresses)
{
    form.DKubunChk->click();
    form.DKBarChk->click();
    form.SKNameSE->setText(QStringLiteral("DATA"));
    struct Case {
        int page;
        QWidget *from;
        QPushButton *button;
        std::function<void(QDialog &)> close;
    };
    const Case cases[] = {{0, form.DKBarChk, form.DKBarBtn, cancelBarcode},
                          {1, form.KKMinNE, form.KKBarBtn, cancelBarcode},
                          {1, form.SKNameSE, form.SKBarBtn, cancelBarcode},
                          {1, form.NgDspTimeNE, form.OkBzBtn, cancelSignal}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.from->objectName().toStdString());
        addintest::openPage(form, c.page);
        c.from->setFocus();
        QTest::keyClick(c.from, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), c.button);
        addintest::expectFocusReturns(form, c.button, c.close);
    }

    // The signal dialog's chain ends on its confirm button, enabled by the change typed.
    addintest::expectFocusReturns(form, form.NgBzBtn, [](QDialog &d) {
        auto &dialog = static_cast<TSetBzForm &>(d);
        dialog.BzOffTimeNE->setFocus();
        dialog.BzOffTimeNE->end(false);
        QTest::keyClicks(dialog.BzOffTimeNE, QStringLiteral("2"));
        QTest::keyClick(dialog.BzOffTimeNE, Qt::Key_Return);
        EXPECT_EQ(dialog.focusWidget(), dialog.EndBtn);
        QTest::keyClick(dialog.EndBtn, Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible());
    });
}

TEST_F(QuillonOperatorTest, MissingItemNameFocusesTheEmptyField)
{
    struct Case {
        const char *key, *data;
        QWidget *focused;
    };
    for (const Case &c :
         {Case{"", "DATA", form.KKNameSE}, Case{"KEY", "", form.SKNameSE}, Case{"", "", form.KKNameSE}}) {
        SCOPED_TRACE(c.key);
        SCOPED_TRACE(c.data);
        ui.clear();
        EXPECT_EQ(focusAfterConfirm(form, QString::fromLatin1(c.key), QString::fromLatin1(c.data)),
                  c.focused);
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("項目名を入力してください。"));
        EXPECT_EQ(form.PageControl1->currentIndex(), 1);
    }
}

TEST_F(QuillonOperatorTest, SaveRowErrorScrollsItsFieldIntoView)
{
    fillCollation(form, QStringLiteral("KEY"), QStringLiteral("DATA"));
    addintest::openPage(form, 2);
    form.DSaveChk->click();
    form.SaveFileSE->setText(QStringLiteral("RES.DAT"));
    form.SaveFieldsCB->setCurrentIndex(15);
    addintest::openPage(form, 2);
    form.pSFLenNE[14]->clear();
    form.Confirm();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("フィールド情報を入力してください。"));
    EXPECT_EQ(form.focusWidget(), form.pSFLenNE[14]) << form.focusWidget()->objectName().toStdString();
    // The operator sees the field the box names: it lies inside the scroll box's view.
    auto *scroll = form.findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    const QRect field(form.pSFLenNE[14]->mapTo(scroll->viewport(), QPoint(0, 0)), form.pSFLenNE[14]->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(field))
        << field.y() << " in " << scroll->viewport()->height();
}
