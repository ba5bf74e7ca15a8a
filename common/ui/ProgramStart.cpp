#include "ProgramStart.h"

#include "platform/ui/ScreenFit.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>

namespace programstart {

bool prepareApplication(QApplication &application, const QString &applicationTitle)
{
    // Under a file-size limit a write past it then fails and is reported, instead of ending the
    // program with the operator's edits.
    std::signal(SIGXFSZ, SIG_IGN);
    // The application name, not the display name: Qt appends a display name to every window title.
    QCoreApplication::setApplicationName(applicationTitle);
    screenfit::install(application);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    auto *translator = new QTranslator(&application);
    if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace programstart
