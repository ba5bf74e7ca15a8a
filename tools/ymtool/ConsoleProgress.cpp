#include "ConsoleProgress.h"

#include "comm/ui/ComForm.h"

void ConsoleProgress::watch(TComForm &form)
{
    QObject::connect(&form, &TComForm::labelShown, &form, [this](const QString &text) { setLabel(text); });
    QObject::connect(&form, &TComForm::gaugeShown, &form,
                     [this](int position, int maximum) { setGauge(position, maximum); });
    QObject::connect(&form, &TComForm::stopCaptionShown, &form,
                     [this](const QString &caption) { setStopCaption(caption); });
    QObject::connect(&form, &TComForm::hiddenByTransfer, &form, [this] { hidden(); });
}

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

void ConsoleProgress::setGauge(int position, int maximum)
{
    std::lock_guard lock(mutex_);
    if (position == position_ && maximum == maximum_)
        return;
    position_ = position;
    maximum_ = maximum;
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

void ConsoleProgress::hidden()
{
    std::lock_guard lock(mutex_);
    line(QStringLiteral("hidden"));
}

void ConsoleProgress::note(const QString &text)
{
    std::lock_guard lock(mutex_);
    line(QStringLiteral("message ") + text);
}

platform::MsgResult ConsoleProgress::messageBox(const QString &text, const QString &caption,
                                                const platform::MsgStyle &style)
{
    std::lock_guard lock(mutex_);
    QString flat = text;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" / "));
    line(QStringLiteral("message [%1] %2").arg(caption, flat));
    return platform::defaultAnswer(style);
}

QString ConsoleProgress::openFileName(const QString &, const QString &folder, const QString &)
{
    std::lock_guard lock(mutex_);
    line(QStringLiteral("dialog ") + folder);
    return {};
}
