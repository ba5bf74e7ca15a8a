#include "ManagerTestSupport.h"

#include "comm/CorlissL.h"
#include "manager/Main.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// Renders the main menu, and the progress window in the middle of a transfer, to PNG files in
// HARBROOK_SCREENSHOT_DIR for a person to look at; the checks make sure the captions can be drawn.
namespace {

QString screenshotPath(const QString &name)
{
    QDir().mkpath(QStringLiteral(HARBROOK_SCREENSHOT_DIR));
    return QDir(QStringLiteral(HARBROOK_SCREENSHOT_DIR)).filePath(name);
}

// Every character of the text has a glyph in the widget's font or its fallbacks.
bool drawable(const QWidget &widget, const QString &text)
{
    const QFontMetrics metrics(widget.font());
    for (const QChar c : text) {
        if (!metrics.inFont(c))
            return false;
    }
    return true;
}

} // namespace

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
