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

// Confirm from the first page: the control that has the focus once the error box has gone.
QWidget *focusAfterConfirm(TMainForm &form, const QString &key, const QString &data)
{
    fillCollation(form, key, data);
    form.showPage(0);
    form.TreeView1->setFocus();
    form.Confirm();
    QApplication::setActiveWindow(&form);
    return QApplication::focusWidget();
}

} // namespace

TEST(QuillonOperatorTest, PagesKeepTheirControlsWhateverABoxShows)
{
    writeHandOff(800, {}, {}, 0);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    addintest::expectEveryPageStays(form);
}

TEST(QuillonOperatorTest, EnterPressesTheFocusedButtonAndTheFocusComesBack)
{
    writeHandOff(800, {}, {}, 0);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
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

TEST(QuillonOperatorTest, MissingItemNameFocusesTheEmptyField)
{
    writeHandOff(800, {}, {}, 0);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
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

TEST(QuillonOperatorTest, SaveRowErrorScrollsItsFieldIntoView)
{
    writeHandOff(800, {}, {}, 0);
    RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
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
