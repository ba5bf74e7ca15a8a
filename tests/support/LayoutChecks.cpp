#include "tests/support/LayoutChecks.h"

#include "platform/ui/TitleRoom.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace testsupport {

namespace {

std::string describe(const QWidget &control, const QString &text)
{
    const QString name = control.objectName().isEmpty() ? QStringLiteral("(unnamed)") : control.objectName();
    return QStringLiteral("%1 %2 \"%3\" in %4x%5")
        .arg(QString::fromLatin1(control.metaObject()->className()), name, text)
        .arg(control.width())
        .arg(control.height())
        .toStdString();
}

// What a button's face shows: its text without the mnemonic marks.
QString shownText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    shown.remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return shown;
}

int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

void checkLabel(const QLabel &label)
{
    if (label.text().isEmpty())
        return;
    if (label.wordWrap()) {
        EXPECT_LE(label.heightForWidth(label.width()), label.height())
            << "wrapped text cut: " << describe(label, label.text());
        return;
    }
    const QSize needed = label.sizeHint();
    EXPECT_TRUE(needed.width() <= label.width() && needed.height() <= label.height())
        << "text cut: " << describe(label, label.text()) << ", needs " << needed.width() << "x"
        << needed.height();
}

void checkButton(const QAbstractButton &button)
{
    if (button.text().isEmpty())
        return;
    if (qobject_cast<const QCheckBox *>(&button) || qobject_cast<const QRadioButton *>(&button)) {
        const QSize needed = button.sizeHint();
        EXPECT_TRUE(needed.width() <= button.width() && needed.height() <= button.height())
            << "text cut: " << describe(button, button.text()) << ", needs " << needed.width() << "x"
            << needed.height();
        return;
    }
    // A push or tool button's face: the text and a few pixels of its bevel on each side.
    const QFontMetrics metrics(button.font());
    const QString text = shownText(button.text());
    const int width = widestLine(metrics, text) + 6;
    const int height = metrics.height() * int(text.count(QLatin1Char('\n')) + 1);
    EXPECT_TRUE(width <= button.width() && height <= button.height())
        << "text cut: " << describe(button, text) << ", needs " << width << "x" << height;
}

void checkGroupTitle(const QGroupBox &box)
{
    if (box.title().isEmpty())
        return;
    const int width = QFontMetrics(box.font()).horizontalAdvance(shownText(box.title())) + 8;
    EXPECT_LE(width, box.width()) << "title cut: " << describe(box, box.title());
}

} // namespace

void expectTextsWhole(const QWidget &window)
{
    if (window.isWindow()) {
        EXPECT_GE(window.width(), platform::titleBarWidth(window.windowTitle()))
            << "caption cut by the window manager: \"" << window.windowTitle().toStdString() << "\"";
    }
    for (const QWidget *control : window.findChildren<QWidget *>()) {
        if (!control->isVisibleTo(&window))
            continue;
        if (const auto *label = qobject_cast<const QLabel *>(control))
            checkLabel(*label);
        else if (const auto *button = qobject_cast<const QAbstractButton *>(control))
            checkButton(*button);
        else if (const auto *box = qobject_cast<const QGroupBox *>(control))
            checkGroupTitle(*box);
    }
}

void expectFitsScreen(const QWidget &window)
{
    EXPECT_LE(window.width(), largestWindow.width()) << window.objectName().toStdString();
    EXPECT_LE(window.height(), largestWindow.height()) << window.objectName().toStdString();
}

} // namespace testsupport
