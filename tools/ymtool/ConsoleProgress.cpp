#include "ConsoleProgress.h"

void ConsoleProgress::line(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fprintf(out_, "%s\n", bytes.constData());
    std::fflush(out_);
}

void ConsoleProgress::setLabel(const QString &text)
{
    std::lock_guard lock(mutex_);
    if (text == label_)
        return;
    label_ = text;
    line(QStringLiteral("label ") + text);
}

void ConsoleProgress::setGaugeMaximum(int maximum)
{
    std::lock_guard lock(mutex_);
    if (maximum == maximum_)
        return;
    maximum_ = maximum;
    line(QStringLiteral("gauge %1/%2").arg(qMax(position_, 0)).arg(maximum_));
}

void ConsoleProgress::setGaugePosition(int position)
{
    std::lock_guard lock(mutex_);
    if (position == position_)
        return;
    position_ = position;
    line(QStringLiteral("gauge %1/%2").arg(position_).arg(maximum_));
}

void ConsoleProgress::setStopCaption(const QString &caption)
{
    std::lock_guard lock(mutex_);
    if (caption == caption_)
        return;
    caption_ = caption;
    line(QStringLiteral("button ") + caption);
}

void ConsoleProgress::hideWindow()
{
    std::lock_guard lock(mutex_);
    line(QStringLiteral("hidden"));
}

void ConsoleProgress::finished() {}

platform::MsgResult ConsoleProgress::messageBox(const QString &text, const QString &caption,
                                                const platform::MsgStyle &style)
{
    std::lock_guard lock(mutex_);
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" / "));
    line(QStringLiteral("message [%1] %2").arg(caption, flat));
    return platform::defaultAnswer(style);
}
