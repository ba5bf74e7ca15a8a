#include "ManagerTestSupport.h"

#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "comm/ui/SetComMode.h"
#include "comm/ui/SetComPara.h"
#include "comm/ui/SetFolder.h"
#include "jobs/ui/SetGyoumu.h"
#include "manager/ui/Main.h"
#include "tests/support/LayoutChecks.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

// Renders the main menu, the communication settings dialogs, and the progress window in the middle
// of a transfer, to PNG files in the screenshots folder for a person to look at; the checks make sure
// the captions can be drawn.
using testsupport::drawable;
using testsupport::screenshotPath;
using testsupport::shootDialog;

TEST(ScreenshotTest, CommunicationSettingsDialogs)
{
    managertest::storeModeSettings(true);
    testsupport::RecordingUi ui;
    YmInitialize();
    comm::Mode.LogEnable = true; // the log panel shown too
    TSetComModeForm mode;
    shootDialog(mode, QStringLiteral("communication-mode.png"));

    comm::ComConditions conditions;
    TSetComForm com(conditions);
    shootDialog(com, QStringLiteral("communication-conditions.png"));

    SetFolderMode = 2;
    SetFolderPath = QDir::homePath();
    TSetFolderForm folder;
    shootDialog(folder, QStringLiteral("folder-picker.png"));
}

TEST(ScreenshotTest, MainMenu)
{
    managertest::storeModeSettings(false);
    testsupport::RecordingUi ui;
    YmInitialize();
    AppPath = managertest::casePath(QStringLiteral("app/"));
    TMainForm form;
    form.show();
    for (const QPushButton *button : form.findChildren<QPushButton *>())
        EXPECT_TRUE(drawable(*button, button->text())) << button->text().toStdString();
    testsupport::expectTextsWhole(form);
    testsupport::expectFitsScreen(form);
    const QImage shot = form.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(330, 300) * shot.devicePixelRatio());
    EXPECT_TRUE(shot.save(screenshotPath(QStringLiteral("main-menu.png"))));
}

TEST(ScreenshotTest, ProgressWindowDuringASend)
{
    managertest::storeModeSettings(true);
    AppPath = managertest::casePath(QStringLiteral("app/"));
    QByteArray program(48 * 1024, 'p');
    ASSERT_TRUE(managertest::writeFile(AppPath + QStringLiteral("Prog/FerPk800.PD4"), program));
    ASSERT_TRUE(QDir().mkpath(managertest::casePath(QStringLiteral("inbox"))));
    managertest::Simulator sim({QStringLiteral("--inbox"), managertest::casePath(QStringLiteral("inbox")),
                                QStringLiteral("--rate"), QStringLiteral("115200")});
    ASSERT_TRUE(sim.ready());

    testsupport::RecordingUi ui;
    YmInitialize();
    TMainForm form;
    form.show();

    // The send waits in its own loop; the timer looks in on the window from inside it.
    QImage shot;
    bool captionsDrawable = false;
    QTimer look;
    look.setInterval(100);
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            const auto *gauge = window->findChild<QProgressBar *>(QStringLiteral("Gauge1"));
            if (!window->isVisible() || !gauge ||
                gauge->value() <= gauge->minimum() + (gauge->maximum() - gauge->minimum()) / 4)
                continue;
            shot = window->grab().toImage();
            captionsDrawable = drawable(*window, window->windowTitle());
            look.stop();
        }
    });
    look.start();
    form.FerPrgBtn->click();
    look.stop();

    ASSERT_FALSE(shot.isNull()) << "the progress window was not seen half-way";
    EXPECT_TRUE(captionsDrawable);
    EXPECT_TRUE(shot.save(screenshotPath(QStringLiteral("progress-window.png"))));
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("正常終了"));
}

TEST(ScreenshotTest, JobSettingsEditorPages)
{
    testsupport::RecordingUi ui;
    TSetGyForm editor(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    editor.show();
    editor.NewTBtn->click();
    shootDialog(editor, QStringLiteral("job-settings-base.png"));
    editor.show();
    editor.DspList->setCurrentRow(1);
    emit editor.DspList->itemClicked(editor.DspList->currentItem());
    shootDialog(editor, QStringLiteral("job-settings-job.png"));
}
