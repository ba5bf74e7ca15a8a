// The keyboard in the job settings editor and its dialogs: Enter on a focused button presses it,
// and the focus is back on the control that opened a dialog once the dialog has closed.

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/SetGyoumu.h"

#include "common/ui/ListCombo.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

class JobKeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        form->NewTBtn->click();
        showPage(1);
    }
    void showPage(int row)
    {
        form->DspList->setCurrentRow(row);
        emit form->DspList->itemClicked(form->DspList->currentItem());
    }
    static void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
};

TEST_F(JobKeyboardTest, FocusIsBackOnTheButtonThatOpenedADialog)
{
    struct Case {
        const char *opener;
        int page; // row of 設定画面選択
        std::function<void(QDialog &)> script;
    };
    const auto addJob = [](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("SYUKA"));
        add.AddBtn->click();
    };
    const auto addItem = [](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, QStringLiteral("ITEM"));
        add.EndBtn->click();
    };
    const auto cancel = [](QDialog &dialog) { dialog.reject(); };
    const Case cases[] = {
        {"GyNewBtn", 1, addJob}, {"GrNewBtn", 1, addItem},    {"DaNewBtn", 1, addItem},
        {"GyNewBtn", 1, cancel}, {"SetBluetooth", 0, cancel},
    };
    for (const Case &c : cases) {
        showPage(c.page);
        auto *opener = form->findChild<QAbstractButton *>(QLatin1String(c.opener));
        ASSERT_NE(opener, nullptr) << c.opener;
        ASSERT_TRUE(opener->isVisible() && opener->isEnabled()) << c.opener;
        const int formsBefore = static_cast<int>(ui.forms().size());
        ui.queueForm(c.script);
        QTest::mouseClick(opener, Qt::LeftButton);
        ASSERT_EQ(static_cast<int>(ui.forms().size()), formsBefore + 1) << c.opener << " opened no dialog";
        // The window manager activates the editor again once the dialog has gone.
        QApplication::setActiveWindow(form.get());
        QWidget *focused = QApplication::focusWidget();
        EXPECT_EQ(focused, opener) << c.opener << ": the focus is on "
                                   << (focused ? focused->objectName().toStdString() : "nothing");
    }
}

TEST_F(JobKeyboardTest, EnterOnTheFocusedButtonOfTheAddJobDialogPressesIt)
{
    // 追加 at the end of the chain: the job is added.
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("NYUKA"));
        add.AddBtn->setFocus();
        QTest::keyClick(add.AddBtn, Qt::Key_Return);
    });
    const int jobs = form->Set().GyCount;
    form->GyNewBtn->click();
    EXPECT_EQ(form->Set().GyCount, jobs + 1);
    EXPECT_EQ(form->Set().GyData[jobs].GyName.toStdString(), "NYUKA");

    // アドインプログラム設定 with no program name: its own check answers.
    ui.clear();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("ADDIN"));
        choose(add.GModeCB, GyModeIndex(u'X'));
        add.AddInSetBtn->setFocus();
        QTest::keyClick(add.AddInSetBtn, Qt::Key_Enter, Qt::KeypadModifier);
        dialog.reject();
    });
    form->GyNewBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "プログラム名を入力してください。");
}

TEST_F(JobKeyboardTest, EnterInTheNameOfTheAddItemDialogAdds)
{
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, QStringLiteral("TANKA"));
        QTest::keyClick(add.AddNameSE, Qt::Key_Return);
    });
    TGyData &job = form->Set().GyData[form->Set().TmpGyNo];
    const int items = job.DaCount;
    form->DaNewBtn->click();
    ASSERT_EQ(job.DaCount, items + 1);
    EXPECT_EQ(job.DaKoDa[items].KName.toStdString(), "TANKA");
    EXPECT_EQ(ui.forms().at(0).formResult, QDialog::Accepted);

    // An empty name is refused as by 追加, and the dialog stays.
    ui.clear();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClick(add.AddNameSE, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    form->DaNewBtn->click();
    EXPECT_EQ(job.DaCount, items + 1);
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "入力してください");
}

} // namespace
