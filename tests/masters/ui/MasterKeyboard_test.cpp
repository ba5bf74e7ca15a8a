// The keyboard in the master editor and its dialogs: Enter on a focused button presses it, and the
// focus is back on the control that opened a dialog once the dialog has closed.

#include "masters/ui/MasterEdit.h"
#include "masters/ui/MasterFld.h"
#include "masters/ui/SelectTable.h"
#include "masters/ui/SendMst.h"

#include "common/ui/NEdit.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/masters/FakeTableSource.h"
#include "tests/masters/ui/MasterUiTest.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using managertest::casePath;
using platform::MsgResult;

namespace {

std::string nameOf(const QWidget *widget)
{
    if (widget == nullptr)
        return "nothing";
    return widget->objectName().isEmpty() ? widget->metaObject()->className()
                                          : widget->objectName().toStdString();
}

// Return and the keypad's Enter, as each reaches a focused control.
struct EnterKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};
const EnterKey EnterKeys[] = {{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}};

void pressEnter(QWidget *focused, const EnterKey &enter)
{
    ASSERT_TRUE(focused->hasFocus()) << nameOf(focused) << " lacks the focus; "
                                     << nameOf(QApplication::focusWidget()) << " has it";
    QTest::keyClick(focused, enter.key, enter.modifiers);
}

// Public: the cases of a table script the fixture through a reference to it.
class MasterKeyboardTest : public testing::Test {
public:
    void SetUp() override
    {
        master = casePath("m/items.dat");
        QByteArray file;
        for (int i = 1; i <= 25; ++i)
            file += "K" + QByteArray::number(i).rightJustified(4, '0') + "   NAME" +
                    QByteArray::number(i).rightJustified(4, '0') + "  \r\n";
        ASSERT_TRUE(managertest::writeFile(master, file));
        ASSERT_TRUE(managertest::writeFile(casePath("m/items.fld"), "8,10\r\n"));
        ASSERT_TRUE(managertest::writeFile(casePath("m/bare.dat"), "K1      \r\n"));
        form.show();
        QApplication::setActiveWindow(&form);
    }
    void open()
    {
        masteruitest::showAndOpen(form, ui, master);
        ui.clear();
    }
    QWidget *cellEditor() const { return form.MasterGrid->indexWidget(form.MasterGrid->currentIndex()); }
    // Clicks the button as the operator does; then the window manager activates the editor again.
    void clickAndComeBack(QToolButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::setActiveWindow(&form);
    }

    testsupport::RecordingUi ui;
    TMasterForm form{QStringLiteral("COM1"), 115200};
    QString master;
};

TEST_F(MasterKeyboardTest, FocusIsBackOnTheButtonThatOpenedADialog)
{
    const auto cancelFields = [](QDialog &d) { static_cast<TMasterFldForm &>(d).CancelBtn->click(); };
    struct Case {
        const char *what;
        bool openFirst;
        std::function<void(MasterKeyboardTest &)> script; // queues the dialogs' answers
        QToolButton *TMasterForm::*opener;
        QToolButton *TMasterForm::*focused; // nullptr: the grid's cell editor
    };
    const Case cases[] = {
        {"field dialog of 新規作成 cancelled", false,
         [&](MasterKeyboardTest &t) { t.ui.queueForm(cancelFields); }, &TMasterForm::NewBtn,
         &TMasterForm::NewBtn},
        {"field dialog of 新規作成 confirmed: on into the new master", false,
         [](MasterKeyboardTest &t) {
             t.ui.queueForm([](QDialog &d) {
                 auto &fields = static_cast<TMasterFldForm &>(d);
                 fields.KeyFldNE->setText(QStringLiteral("4"));
                 fields.FldNE[0]->setText(QStringLiteral("6"));
                 fields.EndBtn->click();
             });
         },
         &TMasterForm::NewBtn, nullptr},
        {"file dialog of 開く cancelled", false, [](MasterKeyboardTest &t) { t.ui.queueFileName(QString()); },
         &TMasterForm::OpenBtn, &TMasterForm::OpenBtn},
        {"field dialog of a master without widths cancelled", false,
         [&](MasterKeyboardTest &t) {
             t.ui.queueFileName(casePath("m/bare.dat"));
             t.ui.queueForm(cancelFields);
         },
         &TMasterForm::OpenBtn, &TMasterForm::OpenBtn},
        {"file dialog of 開く: on into the master", false,
         [](MasterKeyboardTest &t) { t.ui.queueFileName(t.master); }, &TMasterForm::OpenBtn, nullptr},
        {"source dialog of インポート cancelled", true,
         [](MasterKeyboardTest &t) { t.ui.queueFileName(QString()); }, &TMasterForm::ImportBtn,
         &TMasterForm::ImportBtn},
        {"table dialog of インポート cancelled", true,
         [](MasterKeyboardTest &t) {
             t.ui.queueFileName(QStringLiteral(HARBROOK_TEST_WORKBOOKS "/products.xlsx"));
             t.ui.queueForm([](QDialog &d) { static_cast<TSelectTableForm &>(d).CanButton->click(); });
         },
         &TMasterForm::ImportBtn, &TMasterForm::ImportBtn},
        {"file dialog of 保存 cancelled", true, [](MasterKeyboardTest &t) { t.ui.queueFileName(QString()); },
         &TMasterForm::SaveBtn, &TMasterForm::SaveBtn},
        {"file dialog of 保存", true,
         [](MasterKeyboardTest &t) { t.ui.queueFileName(casePath("m/saved.dat")); }, &TMasterForm::SaveBtn,
         &TMasterForm::SaveBtn},
        {"send dialog cancelled", true,
         [](MasterKeyboardTest &t) {
             t.ui.queueForm([](QDialog &d) { static_cast<TSendMstForm &>(d).CancelBtn->click(); });
         },
         &TMasterForm::SendBtn, &TMasterForm::SendBtn},
        {"entry row message of 前ﾍﾟｰｼﾞ", true,
         [](MasterKeyboardTest &t) {
             // The second page: records 21 to 25, its entry row 6 filled in part.
             t.form.NextPageBtn->click();
             t.form.MasterGridSetEditText(6, 1, QStringLiteral("HALF"));
         },
         &TMasterForm::BackPaeBtn, &TMasterForm::BackPaeBtn},
        {"question of 閉じる answered No", true,
         [](MasterKeyboardTest &t) {
             t.form.MasterGridSetEditText(1, 2, QStringLiteral("CHANGED"));
             t.ui.queueAnswer(MsgResult::No);
         },
         &TMasterForm::CloseBtn, &TMasterForm::CloseBtn},
        {"question of 閉じる answered Yes: on to 開く", true,
         [](MasterKeyboardTest &t) {
             t.form.MasterGridSetEditText(1, 2, QStringLiteral("CHANGED"));
             t.ui.queueAnswer(MsgResult::Yes);
         },
         &TMasterForm::CloseBtn, &TMasterForm::OpenBtn},
        {"question of 終了 answered No", true,
         [](MasterKeyboardTest &t) {
             t.form.MasterGridSetEditText(1, 2, QStringLiteral("CHANGED"));
             t.ui.queueAnswer(MsgResult::No);
         },
         &TMasterForm::EndBtn, &TMasterForm::EndBtn},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ui.queueAnswer(MsgResult::Yes); // a change left by the case before is discarded
        form.CloseBtn->click();
        ui.clear();
        if (c.openFirst)
            open();
        c.script(*this);
        clickAndComeBack(form.*c.opener);
        EXPECT_FALSE(ui.events().empty()) << "no dialog was shown";
        EXPECT_EQ(ui.pendingForms() + ui.pendingFileNames() + ui.pendingAnswers(), 0);
        QWidget *expected = c.focused != nullptr ? static_cast<QWidget *>(form.*c.focused) : cellEditor();
        ASSERT_NE(expected, nullptr) << "no cell editor is open";
        EXPECT_EQ(QApplication::focusWidget(), expected)
            << "the focus is on " << nameOf(QApplication::focusWidget()) << ", not on " << nameOf(expected);
    }
}

TEST_F(MasterKeyboardTest, TheFieldDialogsEnterChainEndsOnConfirmWhichEnterPresses)
{
    for (const EnterKey &enter : EnterKeys) {
        SCOPED_TRACE(enter.key);
        ui.queueForm([&enter](QDialog &dialog) {
            auto &fields = static_cast<TMasterFldForm &>(dialog);
            QApplication::setActiveWindow(&fields);
            fields.KeyFldNE->setFocus();
            QTest::keyClicks(fields.KeyFldNE, QStringLiteral("12"));
            pressEnter(fields.KeyFldNE, enter);
            QTest::keyClick(fields.FldCntCB, Qt::Key_Down); // two reference fields
            pressEnter(fields.FldCntCB, enter);
            QTest::keyClicks(fields.FldNE[0], QStringLiteral("30"));
            pressEnter(fields.FldNE[0], enter);
            QTest::keyClicks(fields.FldNE[1], QStringLiteral("7"));
            pressEnter(fields.FldNE[1], enter);
            pressEnter(fields.EndBtn, enter);
        });
        form.NewBtn->click();
        ASSERT_EQ(ui.pendingForms(), 0);
        EXPECT_EQ(ui.forms().back().formResult, QDialog::Accepted);
        EXPECT_EQ(ui.messageBoxCount(), 0);
        EXPECT_TRUE(form.Model().EditFlag);
        EXPECT_EQ(form.Model().MstFld, (std::vector<int>{12, 30, 7}));
        form.CloseBtn->click();
        ui.clear();
    }
    // Enter on a focused キャンセル cancels.
    ui.queueForm([](QDialog &dialog) {
        auto &fields = static_cast<TMasterFldForm &>(dialog);
        QApplication::setActiveWindow(&fields);
        fields.KeyFldNE->setText(QStringLiteral("12"));
        fields.FldNE[0]->setText(QStringLiteral("30"));
        fields.CancelBtn->setFocus();
        pressEnter(fields.CancelBtn, EnterKeys[0]);
    });
    form.NewBtn->click();
    EXPECT_EQ(ui.pendingForms(), 0);
    EXPECT_FALSE(form.Model().EditFlag);
}

TEST_F(MasterKeyboardTest, EnterPressesTheFocusedButtonOfTheSendDialog)
{
    open();
    // Enter in the name (ITEMS.DAT, proposed from the master's) is swallowed: it neither sends
    // nor closes.
    ui.queueForm([](QDialog &dialog) {
        auto &send = static_cast<TSendMstForm &>(dialog);
        QApplication::setActiveWindow(&send);
        send.MfNameSE->setFocus();
        pressEnter(send.MfNameSE, EnterKeys[0]);
        EXPECT_TRUE(send.isVisible());
        EXPECT_TRUE(send.SentName.isEmpty());
        send.CancelBtn->setFocus();
        pressEnter(send.CancelBtn, EnterKeys[1]);
    });
    form.SendBtn->click();
    EXPECT_EQ(ui.pendingForms(), 0);
    EXPECT_EQ(ui.forms().back().formResult, QDialog::Rejected);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    // Enter on 送信 sends: here to a port that does not open.
    qputenv("HARBROOK_PORT_COM1", QFile::encodeName(casePath("no-such-device")));
    ui.queueForm([](QDialog &dialog) {
        auto &send = static_cast<TSendMstForm &>(dialog);
        QApplication::setActiveWindow(&send);
        send.SendBtn->setFocus();
        pressEnter(send.SendBtn, EnterKeys[0]);
    });
    form.SendBtn->click();
    qunsetenv("HARBROOK_PORT_COM1");
    EXPECT_EQ(ui.pendingForms(), 0);
    EXPECT_EQ(form.Model().BhtName, QStringLiteral("ITEMS.DAT"));
    ASSERT_GE(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes().back().text, QStringLiteral("COM1をオープンできません"));
}

TEST(MasterTableDialogKeyboard, EnterPressesTheFocusedButton)
{
    masteruitest::NoSink sink;
    testsupport::RecordingUi ui;
    masterstest::FakeTableSource source;
    source.add(QStringLiteral("商品"), masterstest::goodsTable());
    for (const EnterKey &enter : EnterKeys) {
        SCOPED_TRACE(enter.key);
        TSelectTableForm form(source, source.order, {6, 7}, sink);
        form.show();
        QApplication::setActiveWindow(&form);
        // ｲﾝﾎﾟｰﾄ実行 without a table: its check answers and the dialog stays.
        form.OkButton->setFocus();
        pressEnter(form.OkButton, enter);
        ASSERT_EQ(ui.messageBoxCount(), 1);
        EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("テーブルまたは項目の設定エラーです。"));
        EXPECT_TRUE(form.isVisible());
        form.CanButton->setFocus();
        pressEnter(form.CanButton, enter);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), QDialog::Rejected);
        ui.clear();
    }
}

} // namespace
