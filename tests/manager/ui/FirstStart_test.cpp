#include "ManagerTestSupport.h"

#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "manager/ui/Main.h"
#include "platform/Registry.h"
#include "tests/support/RecordingUiService.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

using managertest::casePath;
using testsupport::UiEvent;

namespace {

const QString CommKeyPath = QStringLiteral("\\") + manager::CommKey;

template <typename T> T *control(QDialog &form, const char *name)
{
    T *found = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class FirstStartTest : public testing::Test {
protected:
    void SetUp() override { comm::resetLibraryState(); }
    void TearDown() override
    {
        MainForm = nullptr;
        comm::resetLibraryState();
    }

    testsupport::RecordingUi ui;
};

// Start-up on a machine that never had the program: the library asks for its folders before the
// main menu exists, and does not let the operator past the dialog without them.
TEST_F(FirstStartTest, CleanStoreAsksForTheFoldersBeforeTheMainMenu)
{
    const QString rx = casePath(QStringLiteral("inbox"));
    const QString tx = casePath(QStringLiteral("outbox"));
    ASSERT_TRUE(QDir().mkpath(rx));
    ASSERT_TRUE(QDir().mkpath(tx));

    struct Seen {
        bool cancelEnabled = true;
        bool applyEnabled = true;
        bool openAfterClose = false;
        bool openAfterEscape = false;
        bool mainFormExisted = true;
    } seen;
    ui.queueForm([&](QDialog &form) {
        seen.mainFormExisted = MainForm != nullptr;
        seen.cancelEnabled = control<QPushButton>(form, "CancelBtn")->isEnabled();
        seen.applyEnabled = control<QPushButton>(form, "TekiyouBtn")->isEnabled();
        form.close();
        seen.openAfterClose = form.isVisible();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &escape);
        seen.openAfterEscape = form.isVisible();
        control<QLineEdit>(form, "RxFolder")->setText(rx);
        control<QLineEdit>(form, "TxFolder")->setText(tx);
        control<QCheckBox>(form, "CsvCheck")->setChecked(true);
        control<QPushButton>(form, "UpDateBtn")->click();
    });

    EXPECT_TRUE(YmInitialize());

    ASSERT_EQ(ui.events().size(), 2u);
    const UiEvent &message = ui.events()[0];
    EXPECT_EQ(message.kind, UiEvent::Kind::MessageBox);
    EXPECT_EQ(message.text, QStringLiteral("受信デフォルトフォルダを設定してください。"));
    EXPECT_EQ(message.caption, QStringLiteral("Corliss通信"));
    EXPECT_EQ(message.style.icon, platform::MsgIcon::Exclamation);
    const UiEvent &dialog = ui.events()[1];
    EXPECT_EQ(dialog.kind, UiEvent::Kind::Form);
    EXPECT_EQ(dialog.caption, QStringLiteral("通信モード設定"));
    EXPECT_EQ(dialog.formResult, QDialog::Accepted);
    EXPECT_FALSE(dialog.formLeftOpen);
    EXPECT_FALSE(seen.mainFormExisted);
    EXPECT_FALSE(seen.cancelEnabled);
    EXPECT_FALSE(seen.applyEnabled);
    EXPECT_TRUE(seen.openAfterClose);
    EXPECT_TRUE(seen.openAfterEscape);
    EXPECT_TRUE(comm::YmReady);
    EXPECT_EQ(comm::Mode.DefRxFolder, rx + QLatin1Char('/'));
    EXPECT_TRUE(comm::Mode.CsvRcvDat);

    // The main menu comes up over the stored settings, and its own defaults join them in the key.
    const auto form = std::make_unique<TMainForm>();
    MainForm = form.get();
    EXPECT_EQ(form->ComPort, QStringLiteral("COM1"));
    {
        platform::TRegistry registry;
        ASSERT_TRUE(registry.OpenKeyReadOnly(CommKeyPath));
        EXPECT_EQ(registry.ReadString(QStringLiteral("DefRxFolder")), rx);
        EXPECT_EQ(registry.ReadString(QStringLiteral("DefTxFolder")), tx);
        EXPECT_EQ(registry.ReadBool(QStringLiteral("CsvRcvDat")), true);
        EXPECT_EQ(registry.ReadInteger(QStringLiteral("ComPort")), 1);
    }
    EXPECT_EQ(ui.messageBoxCount(), 1);

    // The next start asks nothing and works with what was stored.
    MainForm = nullptr;
    comm::resetLibraryState();
    ui.clear();
    EXPECT_TRUE(YmInitialize());
    EXPECT_TRUE(ui.events().empty());
    EXPECT_EQ(comm::Mode.DefRxFolder, rx + QLatin1Char('/'));
    EXPECT_EQ(comm::Mode.DefTxFolder, tx + QLatin1Char('/'));
    EXPECT_TRUE(comm::Mode.CsvRcvDat);
}

// "適用" holds for the running program only; a restarted program reads the stored settings.
TEST_F(FirstStartTest, ApplyLastsUntilTheProgramEnds)
{
    managertest::storeModeSettings(false);
    const QString stored = casePath(QStringLiteral("received/"));
    const QString other = casePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(YmInitialize());
    ASSERT_TRUE(ui.events().empty());
    const auto form = std::make_unique<TMainForm>();
    MainForm = form.get();

    ui.queueForm([&](QDialog &dialog) {
        control<QRadioButton>(dialog, "DspShowRadio")->setChecked(true);
        control<QLineEdit>(dialog, "RxFolder")->setText(other);
        control<QPushButton>(dialog, "TekiyouBtn")->click();
    });
    EXPECT_TRUE(YmSetMode(form.get()));
    EXPECT_TRUE(comm::Mode.DspMode);
    EXPECT_EQ(comm::Mode.DefRxFolder, other + QLatin1Char('/'));

    MainForm = nullptr;
    comm::resetLibraryState();
    ASSERT_TRUE(YmInitialize());
    EXPECT_FALSE(comm::Mode.DspMode);
    EXPECT_EQ(comm::Mode.DefRxFolder, stored);
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

} // namespace
