#include "tests/support/Screenshot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

namespace testsupport {

QString screenshotPath(const QString &name)
{
    QDir().mkpath(QStringLiteral(HARBROOK_SCREENSHOT_DIR));
    return QDir(QStringLiteral(HARBROOK_SCREENSHOT_DIR)).filePath(name);
}

bool drawable(const QWidget &widget, const QString &text)
{
    const QFontMetrics metrics(widget.font());
    for (const QChar c : text) {
        if (c != QLatin1Char('\n') && !metrics.inFont(c))
            return false;
    }
    return true;
}

void shootDialog(QDialog &dialog, const QString &file)
{
    dialog.show();
    QApplication::processEvents();
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
        EXPECT_TRUE(drawable(*button, button->text())) << button->text().toStdString();
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        EXPECT_TRUE(drawable(*label, label->text())) << label->text().toStdString();
    EXPECT_TRUE(drawable(dialog, dialog.windowTitle())) << dialog.windowTitle().toStdString();
    const QImage shot = dialog.grab().toImage();
    EXPECT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(screenshotPath(file)));
    dialog.hide();
}

} // namespace testsupport
