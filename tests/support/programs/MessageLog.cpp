#include "MessageLog.h"

#include <QDialog>
#include <QFile>

namespace testsupport {

MessageLogUiService::MessageLogUiService(platform::UiService &inner, const QString &logFile)
    : inner_(inner), logFile_(logFile)
{
}

platform::MsgResult MessageLogUiService::messageBox(const QString &text, const QString &caption,
                                                    const platform::MsgStyle &style)
{
    append(caption, text);
    return platform::defaultAnswer(style);
}

int MessageLogUiService::showModal(QDialog &dialog)
{
    append(dialog.windowTitle(), QStringLiteral("(form)"));
    return 0;
}

void MessageLogUiService::append(const QString &caption, const QString &text)
{
    // One line per box; CR LF inside a text is kept visible so a box stays one line.
    QString line = caption + QLatin1Char('\t') + text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n"));
    QFile log(logFile_);
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(line.toUtf8() + '\n');
}

void MessageLogUiService::beep()
{
    inner_.beep();
}

QString MessageLogUiService::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    return inner_.openFileName(title, folder, filter);
}

QString MessageLogUiService::saveFileName(const QString &title, const QString &start, const QString &filter)
{
    return inner_.saveFileName(title, start, filter);
}

bool MessageLogUiService::openDocument(const QString &path)
{
    return inner_.openDocument(path);
}

} // namespace testsupport
