#include "common/ui/NEdit.h"
#include "masters/ui/MasterFld.h"
#include "masters/ui/SendMst.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void eraseName(QLineEdit *edit)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
}

TEST(MasterFldForm, ConfirmsTheKeyAndTheChosenReferenceWidths)
{
    testsupport::RecordingUi ui;
    TMasterFldForm form({0, 0});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("フィールド情報設定"));
    form.show();
    EXPECT_FALSE(form.FldNE[1]->isVisible());
    QTest::keyClicks(form.KeyFldNE, QStringLiteral("10"));
    form.FldCntCB->setCurrentIndex(2);
    emit form.FldCntCB->activated(2);
    EXPECT_TRUE(form.FldNE[2]->isVisible());
    EXPECT_FALSE(form.FldNE[3]->isVisible());
    QTest::keyClicks(form.FldNE[0], QStringLiteral("20"));
    QTest::keyClicks(form.FldNE[1], QStringLiteral("5"));
    QTest::keyClicks(form.FldNE[2], QStringLiteral("8"));
    form.EndBtn->click();
    EXPECT_EQ(ui.messageBoxCount(), 0);
    EXPECT_TRUE(form.FldSetOk);
    EXPECT_EQ(form.NewMstFld, (std::vector<int>{10, 20, 5, 8}));
}

TEST(MasterFldForm, RefusesAMissingOrOutOfRangeWidthNamingTheField)
{
    testsupport::RecordingUi ui;
    TMasterFldForm form({10, 20, 5, 0});
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(form.FldCntCB->currentIndex(), 2);
    form.EndBtn->click();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("参照データ３桁数の入力エラーです。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QStringLiteral("フィールド情報設定"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, platform::MsgIcon::Exclamation);
    EXPECT_FALSE(form.FldSetOk);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), form.FldNE[2]);
    // Text the program or a paste put there is checked as well.
    form.FldNE[2]->setText(QStringLiteral("101"));
    form.EndBtn->click();
    EXPECT_EQ(ui.messageBoxes().back().text, QStringLiteral("参照データ３桁数の入力エラーです。"));
    form.FldNE[2]->setText(QStringLiteral("100"));
    form.KeyFldNE->setText(QStringLiteral("0"));
    form.EndBtn->click();
    EXPECT_EQ(ui.messageBoxes().back().text, QStringLiteral("参照キー桁数の入力エラーです。"));
    QApplication::clipboard()->setText(QStringLiteral("150"));
    form.FldNE[0]->clear();
    QTest::keyClick(form.FldNE[0], Qt::Key_V, Qt::ControlModifier);
    EXPECT_NE(form.FldNE[0]->text(), QStringLiteral("150"));
    EXPECT_FALSE(form.FldSetOk);
}

TEST(MasterFldForm, EnterMovesAlongTheShownRows)
{
    testsupport::RecordingUi ui;
    TMasterFldForm form({4, 3});
    form.show();
    QApplication::setActiveWindow(&form);
    form.KeyFldNE->setFocus();
    QTest::keyClick(form.KeyFldNE, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form.FldCntCB);
    QTest::keyClick(form.FldCntCB, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), form.FldNE[0]);
    QTest::keyClick(form.FldNE[0], Qt::Key_Return); // one reference field: on to "確定"
    EXPECT_EQ(QApplication::focusWidget(), form.EndBtn);
    form.FldNE[0]->setFocus();
    form.FldNE[0]->clear();
    QTest::keyClick(form.FldNE[0], Qt::Key_Return); // an empty edit keeps the focus
    EXPECT_EQ(QApplication::focusWidget(), form.FldNE[0]);
    form.CancelBtn->click();
    EXPECT_FALSE(form.FldSetOk);
}

TEST(MasterFldForm, TheCountIsChosenFromTheListAndATypedKeyGoesOnToTheFirstWidth)
{
    struct Case {
        const char *name;
        Qt::Key key; // when nothing is typed
        char typed;  // the key as typed, 0 for none
        bool movesOn;
        int countIndex; // the choice after the key; the dialog starts at index 1 (two references)
    };
    const Case cases[] = {
        {"Return", Qt::Key_Return, 0, true, 1},
        {"keypad Enter", Qt::Key_Enter, 0, true, 1},
        {"a digit does not choose its item", Qt::Key_unknown, '3', true, 1},
        {"a letter", Qt::Key_unknown, 'a', true, 1},
        {"a blank does not open the list", Qt::Key_unknown, ' ', true, 1},
        {"Down chooses the next count", Qt::Key_Down, 0, false, 2},
        {"Up chooses the previous count", Qt::Key_Up, 0, false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::RecordingUi ui;
        TMasterFldForm form({4, 3, 7});
        form.show();
        QApplication::setActiveWindow(&form);
        form.FldCntCB->setFocus();
        ASSERT_EQ(form.FldCntCB->currentIndex(), 1);
        if (c.typed != 0)
            QTest::keyClick(form.FldCntCB, c.typed);
        else
            QTest::keyClick(form.FldCntCB, c.key);
        EXPECT_EQ(QApplication::focusWidget(),
                  c.movesOn ? static_cast<QWidget *>(form.FldNE[0]) : static_cast<QWidget *>(form.FldCntCB));
        EXPECT_EQ(form.FldCntCB->currentIndex(), c.countIndex);
        EXPECT_EQ(form.FldNE[2]->isVisible(), c.countIndex >= 2);
        form.CancelBtn->click();
    }
}

TEST(SendMstForm, TakesAnUpperCase83NameAndRefusesProgramNames)
{
    testsupport::RecordingUi ui;
    TSendMstForm form(QStringLiteral("COM1"), 115200, QString(), QStringLiteral("/tmp/x"), {4, 2});
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("マスターファイル送信"));
    EXPECT_EQ(form.Label1->text(),
              QStringLiteral("ハンディターミナル内で使用する\nマスターファイル名を入力してから\n"
                             "送信ボタンをクリックしてください。"));
    EXPECT_FALSE(form.SendBtn->isEnabled());
    QTest::keyClicks(form.MfNameSE, QStringLiteral("abc.dat"));
    EXPECT_EQ(form.MfNameSE->text(), QStringLiteral("ABC.DAT"));
    EXPECT_TRUE(form.SendBtn->isEnabled());
    EXPECT_EQ(ui.beepCount(), 0);
    QTest::keyClicks(form.MfNameSE, QStringLiteral("x"));
    EXPECT_EQ(form.MfNameSE->text(), QStringLiteral("ABC.DAT"));
    EXPECT_EQ(ui.beepCount(), 1);

    eraseName(form.MfNameSE);
    QTest::keyClicks(form.MfNameSE, QStringLiteral("cnf800.bn"));
    QTest::keyClicks(form.MfNameSE, QStringLiteral("f"));
    EXPECT_EQ(form.MfNameSE->text(), QStringLiteral("CNF800.BN"));
    EXPECT_EQ(form.BhtFile, QStringLiteral("CNF800.BN"));
    EXPECT_EQ(ui.beepCount(), 2);

    // A paste goes through the same filter.
    eraseName(form.MfNameSE);
    QApplication::clipboard()->setText(QStringLiteral("ma ster.dat"));
    QTest::keyClick(form.MfNameSE, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.MfNameSE->text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("master.dat"));
    QTest::keyClick(form.MfNameSE, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.MfNameSE->text(), QStringLiteral("MASTER.DAT"));
    form.CancelBtn->click();
    EXPECT_TRUE(form.SentName.isEmpty());
}

} // namespace
