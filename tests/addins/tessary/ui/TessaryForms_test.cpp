#include "addins/frame/HandOffClient.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/tessary/SaveLayout.h"
#include "addins/tessary/ui/Main.h"
#include "addins/tessary/ui/SetBarCode.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/addins/tessary/TessaryTestSupport.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace tessary;

namespace {

void prepareKey(int bhtType, const std::optional<TessaryPara> &para,
                const QString &gyName = QStringLiteral("検品"))
{
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
    ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), gyName));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), bhtType));
    ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), para ? 1 : 0));
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
    if (para) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(para->Para0)));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), platform::cp932::decode(para->Para1)));
    }
    reg.CloseKey();
}

struct KeyAnswer {
    bool Result = false;
    QByteArray Para0, Para1;
};

KeyAnswer readKey()
{
    platform::TRegistry reg;
    KeyAnswer a;
    if (!reg.OpenKey(addins::HandOffKey, false))
        return a;
    a.Result = reg.ReadInteger(QStringLiteral("Result")).value_or(0) != 0;
    a.Para0 = platform::cp932::encode(reg.ReadString(QStringLiteral("Para0")).value_or(QString()));
    a.Para1 = platform::cp932::encode(reg.ReadString(QStringLiteral("Para1")).value_or(QString()));
    reg.CloseKey();
    return a;
}

// A job that passes every check on model 800, in 1:N with the count type saved.
TTessaryState validJob()
{
    const TModel &m = *FindModel(800);
    TTessaryState s = DefaultState(m);
    s.MKName = QStringLiteral("照合元");
    s.SKName = QStringLiteral("照合先");
    s.MKBarDat.BarType = QStringLiteral("A");
    s.CKBarDat.BarType = QStringLiteral("AM");
    s.CKBarDat.BMax = 40;
    s.Dousa = OneToN;
    s.CmpDatCnt = 2;
    s.DSave = true;
    s.SaveFile = QStringLiteral("KEKKA.DAT");
    s.SaveFields = 3;
    s.SaveType = 3;
    s.TStamp = 1;
    s.SaveDat[0] = {'M', 1, 13};
    s.SaveDat[1] = {'o', 1, 4};
    s.SaveDat[2] = {'D', 1, 10};
    return s;
}

template <typename T> T *child(QWidget &form, const char *name)
{
    T *w = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void choose(TListCombo *list, int index)
{
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, text);
}

// Text committed by the input method, as Japanese text arrives.
void commitInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->end(false);
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

} // namespace

TEST(TessaryFormTest, AStoredJobOpensAsStoredAndConfirmsToTheSameStrings)
{
    const TModel &m = *FindModel(800);
    const TessaryPara stored = SaveState(validJob(), m);
    prepareKey(800, stored);
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("検品 照合プログラム設定(BHT-800)"));
    EXPECT_EQ(form.state(), LoadState(stored.Para0, stored.Para1, m));
    EXPECT_FALSE(form.ChangeFlag);
    EXPECT_TRUE(form.SuryouInputChk->isHidden());
    EXPECT_EQ(form.SaveTypeCB->count(), 4);

    form.Confirm();
    EXPECT_EQ(ui.messageBoxCount(), 0);
    const KeyAnswer answer = readKey();
    EXPECT_TRUE(answer.Result);
    EXPECT_EQ(answer.Para0, stored.Para0);
    EXPECT_EQ(answer.Para1, stored.Para1);
}

TEST(TessaryFormTest, JobWithoutParametersAndUnsupportedModel)
{
    prepareKey(900, std::nullopt);
    {
        testsupport::RecordingUi ui;
        TMainForm form;
        ASSERT_TRUE(form.FormCreate());
        EXPECT_EQ(form.state(), DefaultState(*FindModel(900)));
        EXPECT_EQ(form.SaveTypeCB->count(), 3); // the list follows the 1:1 mode from the start
    }
    prepareKey(700, std::nullopt);
    testsupport::RecordingUi ui;
    TMainForm form;
    EXPECT_FALSE(form.FormCreate());
    EXPECT_EQ(ui.events().size(), 0u);
    EXPECT_FALSE(readKey().Result);
}

TEST(TessaryFormTest, CheckDataSwitchesPageFocusesAndSavesNothing)
{
    TTessaryState job = validJob();
    job.SKName.clear();
    prepareKey(800, SaveState(job, *FindModel(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();
    form.Confirm();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("項目名を入力してください。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("入力エラー"));
    EXPECT_EQ(form.PageControl1->currentIndex(), CollationPage);
    EXPECT_EQ(form.focusWidget(), form.SK1NameSE);
    EXPECT_FALSE(readKey().Result);
}

TEST(TessaryFormTest, ModeSaveLayoutAndChangeFlag)
{
    prepareKey(800, SaveState(validJob(), *FindModel(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();

    // 1:N with the count type chosen, then 1:1: the list loses it and selects "照合OK/NG明細".
    choose(form.DousaCB, OneToOne);
    EXPECT_TRUE(form.ChangeFlag);
    EXPECT_EQ(form.SaveTypeCB->count(), 3);
    EXPECT_EQ(form.SaveTypeCB->currentText(), QStringLiteral("照合OK/NG明細"));
    EXPECT_FALSE(form.SuryouInputChk->isHidden());

    // The save page's node corrects the fields: "o" is no source in 1:1.
    form.showPage(SavePage);
    QTest::mouseClick(form.TreeView1->viewport(), Qt::LeftButton, {},
                      form.TreeView1->visualItemRect(form.TreeView1->topLevelItem(SavePage)).center());
    EXPECT_EQ(form.SaveDat[1], (TSaveDat{'M', 1, 4}));
    EXPECT_EQ(form.pSField[1]->currentText(), QStringLiteral("照合元バーコード"));
    EXPECT_TRUE(form.pSFTopNE[1]->isVisibleTo(&form));
    EXPECT_FALSE(form.pFLabel[3]->isVisibleTo(&form)); // three fields

    // Choosing "照合OK/NG" hides the panel and fixes start 1 and length 2.
    const int okNg = int(form.SaveDatDef.indexOf(u'O'));
    ASSERT_GE(okNg, 0);
    choose(form.pSField[0], okNg);
    EXPECT_EQ(form.SaveDat[0], (TSaveDat{'O', 1, 2}));
    EXPECT_FALSE(form.pPanel[0]->isVisibleTo(&form));
    EXPECT_EQ(form.ListView1->topLevelItem(0)->text(0), QStringLiteral("   2"));
    EXPECT_EQ(form.ListView1->headerItem()->text(0), QStringLiteral("照合OK/NG"));
    EXPECT_EQ(form.ListView1->headerItem()->text(3), QString());

    // A start typed past what the barcode holds cuts the length; the key filter keeps 9999 reachable.
    form.pSFTopNE[1]->clear();
    typeInto(form.pSFTopNE[1], QStringLiteral("3400"));
    form.pSFLenNE[1]->clear();
    typeInto(form.pSFLenNE[1], QStringLiteral("200"));
    EXPECT_EQ(form.SaveDat[1], (TSaveDat{'M', 3400, 101}));
    form.pSFTopNE[1]->clear();
    typeInto(form.pSFTopNE[1], QStringLiteral("9999"));
    EXPECT_EQ(form.pSFTopNE[1]->text(), QStringLiteral("9999"));
    form.pSFTopNE[1]->clear();
    typeInto(form.pSFTopNE[1], QStringLiteral("5000"));
    EXPECT_EQ(form.pSFTopNE[1]->text(), QStringLiteral("500"));
}

TEST(TessaryFormTest, DataKindDigitsAndDateTypes)
{
    TTessaryState job = validJob();
    job.DKubun = true;
    job.DKName = QStringLiteral("区分");
    prepareKey(800, SaveState(job, *FindModel(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    form.show();

    choose(form.DKFontCB, 1);
    EXPECT_TRUE(form.ChangeFlag);
    form.DKMaxNE->clear();
    typeInto(form.DKMaxNE, QStringLiteral("50"));
    EXPECT_EQ(form.DKMaxNE->text(), QStringLiteral("5")); // 50 is above 40 in double width

    choose(form.DKTypeCB, 3); // 日付(YYYY/MM/DD)
    EXPECT_EQ(form.DKMaxNE->text(), QStringLiteral("10"));
    EXPECT_EQ(form.DKMinNE->text(), QStringLiteral("10"));
    EXPECT_FALSE(form.DKMaxNE->isEnabled());
    EXPECT_FALSE(form.DKBarChk->isVisibleTo(&form));
    EXPECT_FALSE(form.DKMstChk->isVisibleTo(&form));

    // A name is limited by its bytes on the model: 20 on 800.
    form.DKNameSE->clear();
    commitInto(form.DKNameSE, QStringLiteral("漢字漢字漢字漢字漢字漢"));
    EXPECT_EQ(form.DKNameSE->text(), QStringLiteral("漢字漢字漢字漢字漢字"));
}

TEST(TessaryFormTest, BarcodeDialogEditsItsRecordOnlyOnConfirm)
{
    prepareKey(800, SaveState(validJob(), *FindModel(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    const TBarDat before = form.CKBarDat;

    // Cancel after changes leaves the record and the main form's flag alone.
    ui.queueForm([](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        EXPECT_FALSE(dialog.EndBtn->isEnabled());
        dialog.GTINChk->click();
        EXPECT_TRUE(dialog.EndBtn->isEnabled());
        dialog.CancelBtn->click();
    });
    QTest::mouseClick(form.SK1BarBtn, Qt::LeftButton);
    EXPECT_EQ(form.CKBarDat, before);
    EXPECT_FALSE(form.ChangeFlag);

    // Target of 1:N with two pieces: the target's start is held to BarMaxLen, not the largest digits.
    ui.queueForm([](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("照合先 バーコード読取設定 (BHT-800)"));
        EXPECT_TRUE(dialog.DFormatCB->isEnabled());
        EXPECT_TRUE(dialog.CmpRow[1]->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.CmpRow[2]->isVisibleTo(&dialog));
        // Typing is held to the largest digits; a start beyond them is checked against BarMaxLen.
        dialog.CmpTopNE[0]->clear();
        typeInto(dialog.CmpTopNE[0], QStringLiteral("50"));
        EXPECT_EQ(dialog.CmpTopNE[0]->text(), QStringLiteral("5"));
        dialog.CmpTopNE[0]->setText(QStringLiteral("50"));
        dialog.DelCharChk->click();
        commitInto(dialog.DelCharSE, QStringLiteral("-漢/"));
        dialog.EndBtn->click();
    });
    QTest::mouseClick(form.SK1BarBtn, Qt::LeftButton);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_EQ(form.CKBarDat.DTop[0], 50);
    EXPECT_EQ(form.CKBarDat.DelChar, QStringLiteral("-/")); // one-byte characters only
    EXPECT_EQ(form.CKBarDat.DelChrCn, 2);
    EXPECT_EQ(form.CKBarDat.BarType, QStringLiteral("AM"));
    EXPECT_TRUE(form.ChangeFlag);
}

TEST(TessaryFormTest, BarcodeDialogLayoutAndChecks)
{
    TTessaryState job = validJob();
    job.DKubun = true;
    job.DKName = QStringLiteral("区分");
    job.DKBar = true;
    job.DKBarDat.BMax = 0;
    job.MKBarDat.BFmt = 8; // no list item
    job.MKBarDat.BMax = 40;
    job.MKBarDat.DIdNo = {1, 2, 3, 4, 5};
    prepareKey(800, SaveState(job, *FindModel(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());

    // Data kind: largest digits at BarMaxLen, format list disabled at fixed length.
    ui.queueForm([](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        EXPECT_EQ(dialog.BarMaxNE->text(), QStringLiteral("3500"));
        EXPECT_FALSE(dialog.DFormatCB->isEnabled());
        EXPECT_EQ(dialog.DFormatCB->currentIndex(), 0);
        EXPECT_TRUE(dialog.InpDatPanel->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.DelCharChk->isVisibleTo(&dialog));
        d.reject();
    });
    QTest::mouseClick(form.DKBarBtn, Qt::LeftButton);

    // Source of two pieces: format "A" is kept; row 2's number must be given.
    ui.queueForm([](QDialog &d) {
        auto &dialog = static_cast<TSetBarCodeForm &>(d);
        EXPECT_EQ(dialog.format(), 8);
        EXPECT_TRUE(dialog.CmpDnoPanel[0]->isVisibleTo(&dialog));
        dialog.CmpDnoNE[1]->clear();
        dialog.GTINChk->click();
        dialog.EndBtn->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), dialog.CmpDnoNE[1]);
        // Fixed length: row 2 start 50 with 40 digits is refused.
        choose(dialog.DFormatCB, 0);
        dialog.CmpTopNE[1]->setText(QStringLiteral("50"));
        dialog.EndBtn->click();
        EXPECT_EQ(dialog.focusWidget(), dialog.CmpTopNE[1]);
        d.reject();
    });
    QTest::mouseClick(form.MKBarBtn, Qt::LeftButton);
    ASSERT_EQ(ui.messageBoxCount(), 2);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("照合データNoを入力してください。"));
    EXPECT_EQ(ui.messageBoxes()[1].text, QStringLiteral("照合データ位置を再入力してください。"));
    EXPECT_EQ(form.MKBarDat.BFmt, 8);
}

TEST(TessaryScreenshotTest, PagesAndBarcodeDialog)
{
    TTessaryState job = validJob();
    job.DKubun = true;
    job.DKName = QStringLiteral("区分");
    job.DKBar = true;
    job.DKBarDat.BarType = QStringLiteral("A");
    job.DKMst = true;
    job.MKMst = true;
    job.SaveFields = 5;
    job.SaveDat[3] = {'S', 1, 13};
    job.SaveDat[4] = {'n', 1, 4};
    prepareKey(800, SaveState(job, *FindModel(800)));
    testsupport::RecordingUi ui;
    TMainForm form;
    ASSERT_TRUE(form.FormCreate());
    const char *files[] = {"tessary-data-kind.png", "tessary-collation.png", "tessary-save.png"};
    for (int page = 0; page < 3; ++page) {
        form.showPage(page);
        testsupport::shootDialog(form, QString::fromLatin1(files[page]));
    }
    TSetBarCodeForm dialog(form, BarRole::Source);
    testsupport::shootDialog(dialog, QStringLiteral("tessary-barcode.png"));
}
