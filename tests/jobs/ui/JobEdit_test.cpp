// The job page's field editing and the barcode reading settings dialog, driven through their
// controls under the offscreen platform.

#include "jobs/ui/SetBarCode.h"
#include "jobs/ui/SetGyoumu.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using platform::MsgResult;

namespace {

// Types text key by key; characters beyond ASCII arrive as committed input-method text.
void typeText(QWidget *edit, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, char(c.unicode()));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(edit, &commit);
        }
    }
}

class JobEditTest : public testing::Test {
protected:
    void SetUp() override
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        form->NewTBtn->click();
        form->DspList->setCurrentRow(1);
        emit form->DspList->itemClicked(form->DspList->currentItem());
    }

    TGyData &job() { return form->Set().GyData[form->Set().TmpGyNo]; }
    TKoData &dataItem(int i) { return job().DaKoDa[i]; }
    // Chooses an entry of a combo box as the operator does.
    static void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static void retype(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        typeText(edit, text);
    }
    std::string lastBox() const
    {
        const auto boxes = ui.messageBoxes();
        return boxes.empty() ? std::string() : boxes.back().text.toStdString();
    }

    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
};

TEST_F(JobEditTest, TheJobNameKeepsToFifteenBytes)
{
    form->GNameSE->setFocus();
    form->GNameSE->selectAll();
    QTest::keyClick(form->GNameSE, Qt::Key_Backspace);
    typeText(form->GNameSE, QStringLiteral("ABCDEFGHIJKLMN"));
    EXPECT_EQ(ui.beepCount(), 0);
    form->ChangeFlag = false;
    // A double-byte character at 14 bytes would make 16.
    typeText(form->GNameSE, QStringLiteral("入"));
    EXPECT_EQ(ui.beepCount(), 1);
    EXPECT_EQ(form->GNameSE->text().toStdString(), "ABCDEFGHIJKLMN");
    EXPECT_EQ(form->GNameSE->cursorPosition(), 14);
    EXPECT_FALSE(form->ChangeFlag);
    form->GNameSE->end(false);
    typeText(form->GNameSE, QStringLiteral("ｶ"));
    EXPECT_EQ(job().GyName.toStdString(), "ABCDEFGHIJKLMNｶ");
    EXPECT_EQ(form->GMenuList->item(0)->text().toStdString(), "ABCDEFGHIJKLMNｶ");
    EXPECT_EQ(form->TitleLabel->text().toStdString(), "ABCDEFGHIJKLMNｶ>入力");
    EXPECT_TRUE(form->ChangeFlag);
}

TEST_F(JobEditTest, TheJobNameRefusesACharacterAJobFileCannotHold)
{
    retype(form->GNameSE, QStringLiteral("NYUKA"));
    form->ChangeFlag = false;
    typeText(form->GNameSE, QString::fromUtf16(u"\uD55C"));
    EXPECT_EQ(form->GNameSE->text(), QStringLiteral("NYUKA"));
    EXPECT_FALSE(form->ChangeFlag);
    EXPECT_EQ(lastBox(), "「한」(U+D55C) はシフトJISで表せない文字のため入力できません。");
}

TEST_F(JobEditTest, ARefusedWordLeavesTheCaretWhereItBegan)
{
    const struct {
        const char *what;
        QLineEdit *TSetGyForm::*edit;
        const char *stored; // a word of four bytes more does not fit
    } cases[] = {
        {"job name", &TSetGyForm::GNameSE, "ABCDEFGHIJKL"},
        {"item name", &TSetGyForm::KNameSE, "ABCDEFGHIJKLMNOPQ"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QLineEdit *edit = form.get()->*c.edit;
        const QString stored = QString::fromUtf8(c.stored);
        retype(edit, stored);
        ASSERT_EQ(edit->text(), stored);
        const int beeps = ui.beepCount();
        edit->setCursorPosition(4);
        // What an input method sends: the composition at the caret, then the word at once.
        QInputMethodEvent composing(QStringLiteral("かくにん"), {});
        QApplication::sendEvent(edit, &composing);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("確認"));
        QApplication::sendEvent(edit, &commit);
        EXPECT_EQ(edit->text(), stored);
        EXPECT_EQ(edit->cursorPosition(), 4);
        EXPECT_EQ(ui.beepCount(), beeps + 1);
        // The next character goes where the word would have.
        typeText(edit, QStringLiteral("ｶ"));
        EXPECT_EQ(edit->text(), stored.left(4) + QStringLiteral("ｶ") + stored.mid(4));
        EXPECT_EQ(edit->cursorPosition(), 5);
    }
    EXPECT_EQ(job().GyName.toStdString(), "ABCDｶEFGHIJKL");
}

TEST_F(JobEditTest, FileNamesAreTypedInEightThreeAndRefusedByExtension)
{
    retype(form->FNameSE, QStringLiteral("abc.ex"));
    EXPECT_EQ(form->FNameSE->text().toStdString(), "ABC.EX");
    EXPECT_EQ(ui.beepCount(), 0);
    QTest::keyClick(form->FNameSE, Qt::Key_E);
    EXPECT_EQ(form->FNameSE->text().toStdString(), "ABC.EX");
    EXPECT_EQ(job().FName.toStdString(), "ABC.EX");
    EXPECT_EQ(form->FNameSE->cursorPosition(), 6);
    EXPECT_EQ(ui.beepCount(), 1);
    QTest::keyClick(form->FNameSE, Qt::Key_Backspace);
    QTest::keyClick(form->FNameSE, Qt::Key_Backspace);
    typeText(form->FNameSE, QStringLiteral("dat"));
    EXPECT_EQ(job().FName.toStdString(), "ABC.DAT");
    QTest::keyClick(form->FNameSE, Qt::Key_X); // a fourth extension character
    EXPECT_EQ(job().FName.toStdString(), "ABC.DAT");
    EXPECT_EQ(ui.beepCount(), 2);

    // A paste runs through the same rules.
    form->FNameSE->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("1bad.dat"));
    form->FNameSE->paste();
    EXPECT_EQ(job().FName.toStdString(), "ABC.DAT");
    EXPECT_EQ(ui.beepCount(), 3);
}

TEST_F(JobEditTest, ItemFieldsWriteTheItemAndTheirConsequences)
{
    TKoData &item = dataItem(0);
    // The item name is limited to 20 bytes and names the list's row.
    retype(form->KNameSE, QStringLiteral("商品コード１２３４５６"));
    EXPECT_EQ(item.KName.toStdString(), "商品コード１２３４５");
    EXPECT_EQ(form->DataList->item(0)->text(), item.KName);
    EXPECT_EQ(ui.beepCount(), 1);

    // A barcode item changed to a number type leaves barcode input.
    choose(form->KDInpCB, 2);
    EXPECT_EQ(item.KDInpMode, 2);
    EXPECT_TRUE(form->SetBarCode->isVisible());
    choose(form->KDTypeCB, DataTypeIndex(u'a'));
    EXPECT_EQ(lastBox(), "バーコード入力できないデータ形式です。\r\n入力方法を変更します。");
    EXPECT_EQ(item.KDInpMode, 0);
    EXPECT_EQ(form->KDInpCB->currentIndex(), 0);
    EXPECT_FALSE(form->SetBarCode->isVisible());
    choose(form->KDInpCB, 2);
    EXPECT_EQ(lastBox(), "バーコード入力に設定できません");
    EXPECT_EQ(item.KDInpMode, 0);
    EXPECT_EQ(form->KDInpCB->currentIndex(), 0);

    // An amount of length 8 cannot be shown double width.
    choose(form->KDTypeCB, DataTypeIndex(u'c'));
    ASSERT_EQ(item.KDSize, 0);
    form->KDLenNE->setFocus();
    retype(form->KDLenNE, QStringLiteral("8"));
    EXPECT_EQ(item.KDLen, 8);
    form->ChangeFlag = false;
    choose(form->KDSizeCB, 1);
    EXPECT_EQ(lastBox(), "データ保存桁数を７以下にしてください");
    EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "横倍表示設定エラー");
    EXPECT_EQ(item.KDSize, 0);
    EXPECT_EQ(form->KDSizeCB->currentIndex(), 0);
    EXPECT_FALSE(form->ChangeFlag);
    retype(form->KDLenNE, QStringLiteral("7"));
    choose(form->KDSizeCB, 1);
    EXPECT_EQ(item.KDSize, 1);
    retype(form->KDLenNE, QStringLiteral("9"));
    EXPECT_EQ(form->KDLenNE->text().toStdString(), "7");
    EXPECT_EQ(item.KDLen, 7);
}

TEST_F(JobEditTest, LimitsOfASignedReal)
{
    choose(form->KDTypeCB, DataTypeIndex(u'b'));
    TKoData &item = dataItem(0);
    retype(form->KDMaxNE, QStringLiteral("5"));
    EXPECT_EQ(item.KDMax.toStdString(), "+5");
    // The minus key toggles the sign.
    form->KDMaxNE->setFocus();
    QTest::keyClick(form->KDMaxNE, Qt::Key_Minus);
    ASSERT_EQ(item.KDMax.toStdString(), "-5");
    retype(form->KDMinNE, QStringLiteral("-7"));
    EXPECT_EQ(item.KDMin.toStdString(), "-7");
    EXPECT_TRUE(ui.messageBoxes().empty());
    // -3 is above -5: refused, the edit shows the stored minimum again.
    retype(form->KDMinNE, QStringLiteral("-3"));
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_NE(item.KDMin.toStdString(), "-3");
    EXPECT_EQ(form->KDMinNE->text(), item.KDMin);
    EXPECT_EQ(lastBox(), "入力最小値を入力最大値以下にしてください。");
    EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "入力最小値エラー");
}

TEST_F(JobEditTest, ADateDefaultIsCheckedOnLeavingItsEdit)
{
    choose(form->KDTypeCB, DataTypeIndex(u'W'));
    choose(form->DefaultCB, 1);
    ASSERT_TRUE(form->DefaultDatSE->isVisible());
    form->DefaultDatSE->setFocus();
    typeText(form->DefaultDatSE, QStringLiteral("2024/1/1x"));
    EXPECT_EQ(dataItem(0).KDefDat.toStdString(), "2024/1/1");
    EXPECT_EQ(ui.beepCount(), 1);
    form->KDNextCB->setFocus();
    EXPECT_EQ(lastBox(), "デフォルト値を再入力してください。");
    EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "デフォルト値入力エラー");
    EXPECT_TRUE(form->DefaultDatSE->hasFocus());
    retype(form->DefaultDatSE, QStringLiteral("2024/01/01"));
    const size_t boxes = ui.messageBoxes().size();
    form->KDNextCB->setFocus();
    EXPECT_EQ(ui.messageBoxes().size(), boxes);
    EXPECT_EQ(dataItem(0).KDefDat.toStdString(), "2024/01/01");
}

TEST_F(JobEditTest, ATypeChangeToANumberDropsADefaultThatIsNoNumber)
{
    choose(form->DefaultCB, 1);
    retype(form->DefaultDatSE, QStringLiteral("ABC"));
    ASSERT_EQ(dataItem(0).KDefDat.toStdString(), "ABC");
    choose(form->KDTypeCB, DataTypeIndex(u'a'));
    EXPECT_EQ(dataItem(0).KDefDat.toStdString(), "");
    EXPECT_EQ(form->DefaultDatNE->text().toStdString(), "");
}

TEST_F(JobEditTest, MasterUseAsksBeforeItsReferenceIsDropped)
{
    TSetData &set = form->Set();
    set.MstNum = 1;
    set.MstDat[0].UseCount = 1;
    form->UseMasterChk->click();
    EXPECT_TRUE(dataItem(0).KMstFlag);
    EXPECT_TRUE(form->SetMasterBtn->isEnabled());
    dataItem(0).KMFNo = 1;
    ui.queueAnswer(MsgResult::No);
    form->UseMasterChk->click();
    EXPECT_EQ(lastBox(), "設定したデータを破棄してもいいですか？");
    EXPECT_TRUE(form->UseMasterChk->isChecked());
    EXPECT_EQ(dataItem(0).KMFNo, 1);
    ui.queueAnswer(MsgResult::Yes);
    form->UseMasterChk->click();
    EXPECT_FALSE(dataItem(0).KMstFlag);
    EXPECT_EQ(dataItem(0).KMFNo, 0);
    EXPECT_EQ(set.MstDat[0].UseCount, 0);
    EXPECT_FALSE(form->SetMasterBtn->isEnabled());
}

TEST_F(JobEditTest, AModeBJobShowsItsTotalOnlyWithASaveFile)
{
    choose(form->GModeCB, GyModeIndex(u'B'));
    EXPECT_EQ(job().DaCount, 2);
    EXPECT_EQ(form->DataList->count(), 2);
    EXPECT_FALSE(form->DspTotalChk->isVisible());
    retype(form->FNameSE, QStringLiteral("a.dat"));
    EXPECT_TRUE(form->DspTotalChk->isVisible());
    form->DspTotalChk->click();
    EXPECT_TRUE(job().DspTotal);
    retype(form->FNameSE, QString());
    EXPECT_FALSE(form->DspTotalChk->isVisible());
    EXPECT_FALSE(form->DaNewBtn->isEnabled()); // mode B keeps its two data items
}

// The dialog as the operator fills it: ITF with its check digit read and removed, a data check
// against a number, a distribution into the next item.
TEST_F(JobEditTest, TheBarcodeDialogWritesTheItemOnConfirmOnly)
{
    TGyData &j = job();
    InitKoData(j.DaKoDa[1], QStringLiteral("ロット"), u'A');
    j.DaCount = 2;
    choose(form->KDInpCB, 2);
    form->ChangeFlag = false;
    const TKoData before = j.DaKoDa[0];

    // Cancelled after a change: asked, and the item stays.
    ui.queueForm([&](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        EXPECT_EQ(bar.windowTitle().toStdString(), "バーゴード読取設定");
        EXPECT_FALSE(bar.EndBtn->isEnabled());
        bar.SymbologyChk[jobs::SymQr]->click();
        EXPECT_TRUE(bar.EndBtn->isEnabled());
        ui.queueAnswer(MsgResult::Yes);
        bar.CancelBtn->click();
    });
    form->SetBarCode->click();
    EXPECT_EQ(lastBox(), "変更したデータを破棄してもいいですか？");
    EXPECT_EQ(j.DaKoDa[0].KBar, before.KBar);
    EXPECT_FALSE(form->ChangeFlag);

    ui.queueForm([&](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        QApplication::setActiveWindow(&bar);
        bar.SymbologyChk[jobs::SymItf]->click();
        EXPECT_TRUE(bar.CheckDigitGroup[0]->isEnabled());
        EXPECT_FALSE(bar.DelCDChk->isEnabled());
        bar.CheckDigitRead[0]->click();
        EXPECT_TRUE(bar.DelCDChk->isEnabled());
        bar.DelCDChk->click();
        retype(bar.BarMaxNE, QStringLiteral("5"));
        retype(bar.BarMinNE, QStringLiteral("10"));
        bar.EndBtn->click();
        EXPECT_EQ(lastBox(), "読取最大/最小桁数を再入力してください。");
        EXPECT_TRUE(bar.BarMaxNE->hasFocus());
        retype(bar.BarMaxNE, QStringLiteral("20"));
        bar.BarDatChk->click();
        choose(bar.ChkDatTypeCB, 1);
        bar.EndBtn->click();
        EXPECT_EQ(lastBox(), "バーコードデータチェックの比較指定データを入力してください。");
        retype(bar.ChkDataSE, QStringLiteral("-0012.5"));
        // Behind "-0" only the point may follow.
        EXPECT_EQ(bar.ChkDataSE->text().toStdString(), "-0.5");
        EXPECT_EQ(ui.beepCount(), 3);
        bar.BFWDatChk->click();
        choose(bar.FWKNumCB, 1);
        EXPECT_FALSE(bar.FWDstCB[0]->isEnabled());
        choose(bar.FWDstCB[1], 1);
        retype(bar.FWTopNE[1], QStringLiteral("5"));
        retype(bar.FWLengthNE[1], QStringLiteral("6"));
        bar.EndBtn->click();
        EXPECT_FALSE(bar.isVisible());
    });
    form->SetBarCode->click();
    const TKoData &item = j.DaKoDa[0];
    EXPECT_EQ(item.KBar.toStdString(), "i");
    EXPECT_TRUE(item.KBItfDelCD);
    EXPECT_EQ(item.KBMax, 20);
    EXPECT_EQ(item.KBMin, 10);
    EXPECT_TRUE(item.KBDatChk);
    EXPECT_EQ(item.KBCmpID, QChar(u'1'));
    EXPECT_EQ(item.KBChkStr.toStdString(), "-0.5");
    EXPECT_TRUE(item.FWDatChk);
    EXPECT_EQ(item.FWCount, 2);
    EXPECT_EQ(item.FWDstKo[0], 0);
    EXPECT_EQ(item.FWDstKo[1], 1);
    EXPECT_EQ(item.FWTop[1], 5);
    EXPECT_EQ(item.FWLength[1], 6);
    EXPECT_EQ(item.KName, before.KName); // nothing else of the item
    EXPECT_EQ(item.KDLen, before.KDLen);
    EXPECT_TRUE(form->ChangeFlag);

    // Opened again it shows what it stored.
    ui.queueForm([&](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        EXPECT_TRUE(bar.SymbologyChk[jobs::SymItf]->isChecked());
        EXPECT_TRUE(bar.CheckDigitRead[0]->isChecked());
        EXPECT_TRUE(bar.DelCDChk->isChecked());
        EXPECT_EQ(bar.FWDstCB[1]->currentText().toStdString(), "ロット");
        EXPECT_EQ(bar.ChkDataSE->text().toStdString(), "-0.5");
        bar.CancelBtn->click();
    });
    form->SetBarCode->click();
    EXPECT_EQ(ui.pendingForms(), 0);
}

} // namespace
