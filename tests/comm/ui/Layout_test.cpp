#include "comm/ui/ComForm.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "comm/ui/SetComMode.h"
#include "comm/ui/SetComPara.h"
#include "comm/ui/SetFolder.h"

#include "tests/comm/FakeClock.h"
#include "tests/comm/FakeSerialPort.h"
#include "tests/support/LayoutChecks.h"
#include "tests/support/RecordingUiService.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

// Every window of the communication library as the operator sees it: its caption and every text in
// it whole, and the window small enough for the smallest screen.

namespace {

void expectWholeAndOnScreen(QWidget &window)
{
    testsupport::expectTextsWhole(window);
    testsupport::expectFitsScreen(window);
}

TEST(Layout, TheSettingsDialogsShowEveryTextWhole)
{
    testsupport::RecordingUi ui;
    comm::resetLibraryState();
    for (const bool logging : {false, true}) {
        SCOPED_TRACE(logging ? "log on" : "log off");
        comm::Mode.LogEnable = logging;
        TSetComModeForm mode;
        mode.show();
        expectWholeAndOnScreen(mode);
        // The log panel shown afterwards keeps the dialog's size.
        mode.LogCheck->click();
        QCoreApplication::processEvents();
        expectWholeAndOnScreen(mode);
    }

    comm::ComConditions conditions;
    TSetComForm para(conditions);
    para.show();
    expectWholeAndOnScreen(para);

    for (const int folderMode : {1, 2, 3}) {
        SetFolderMode = folderMode;
        SetFolderPath = QDir::homePath();
        TSetFolderForm folder;
        folder.show();
        SCOPED_TRACE(folder.windowTitle().toStdString());
        expectWholeAndOnScreen(folder);
    }
}

testing::AssertionResult centredOver(const QWidget &owner, const QWidget &window)
{
    const QPoint offset = owner.frameGeometry().center() - window.frameGeometry().center();
    if (offset.manhattanLength() <= 2)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << window.objectName().toStdString() << " off the centre of " << owner.objectName().toStdString()
           << " by " << offset.x() << "," << offset.y();
}

// 通信条件設定 → 通信モード設定 → the folder picker: each opens over the dialog it was opened from.
TEST(Layout, EachSettingsDialogOpensCentredOverTheOneThatOpenedIt)
{
    testsupport::RecordingUi ui;
    comm::resetLibraryState();
    comm::Mode.DefRxFolder = QDir::homePath() + QLatin1Char('/');
    comm::Mode.DefTxFolder = comm::Mode.DefRxFolder;
    ASSERT_TRUE(YmInitialize());
    comm::ComConditions conditions;
    TSetComForm para(conditions);
    para.adjustSize();
    // Away from the middle of the screen, where a dialog placed on the screen's centre would also be.
    para.move(QPoint(450, 280) - para.rect().center());
    bool modeShown = false;
    bool pickerShown = false;
    ui.queueForm([&](QDialog &) {
        ui.queueForm([&](QDialog &mode) {
            modeShown = true;
            EXPECT_TRUE(centredOver(para, mode));
            ui.queueForm([&](QDialog &picker) {
                pickerShown = true;
                EXPECT_TRUE(centredOver(mode, picker));
                picker.reject();
            });
            mode.findChild<QPushButton *>(QStringLiteral("RxSanshouBtn"))->click();
            mode.reject();
        });
        para.findChild<QPushButton *>(QStringLiteral("SetModeBtn"))->click();
        para.reject();
    });
    platform::ui().showModal(para);
    EXPECT_TRUE(modeShown);
    EXPECT_TRUE(pickerShown);
}

TEST(Layout, TheProgressWindowShowsItsCaptionAndEveryStepWhole)
{
    commtest::FakeClock clock;
    commtest::FakeSerialPort port(clock);
    TComForm form(port, QStringLiteral("COM9"));
    // The caption is set once the port is open; the widest speed.
    form.setWindowTitle(QStringLiteral("通信ポート COM9 460800 bps"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QSize size = form.size();
    const QString steps[] = {
        QStringLiteral("受信待ち"),
        QStringLiteral("FERPK800.PD4 ﾌﾟﾛｸﾞﾗﾑ受信"),
        QStringLiteral("MMMMMMMM.MMM ﾌﾟﾛｸﾞﾗﾑ受信"),
        QStringLiteral("WWWWWWWW.WWW ﾃﾞｰﾀ受信"),
        QStringLiteral("業務設定 送信開始"),
        QStringLiteral("MASTER.DAT 送信終了"),
    };
    for (const QString &step : steps) {
        SCOPED_TRACE(step.toStdString());
        form.setLabel(step);
        form.setStopCaption(QStringLiteral("中断"));
        QCoreApplication::processEvents();
        ASSERT_EQ(form.findChild<QLabel *>(QStringLiteral("LabelFName"))->text(), step);
        expectWholeAndOnScreen(form);
        // A file name of the widest letters fits the room kept for it: the window does not jump.
        EXPECT_EQ(form.size(), size);
    }
}

} // namespace
