#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool failed(QString *error, const QString &text)
{
    if (error != nullptr)
        *error = text;
    return false;
}

QString systemError(const QString &what, const QString &path, int code)
{
    return QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(code)));
}

} // namespace

bool checkPrivateFolder(const QString &path, QString *error)
{
    // Opened without following a link, so that what is checked is what is changed.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return failed(error, systemError(QStringLiteral("not a private folder:"), path, errno));
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok)
        failed(error, systemError(QStringLiteral("cannot look at"), path, errno));
    else if (info.st_uid != ::geteuid() || (info.st_mode & 0022) != 0) {
        ok = failed(error, QStringLiteral("%1 is not a private folder of this user").arg(path));
    } else if ((info.st_mode & 0077) != 0 && ::fchmod(fd, info.st_mode & 0700) != 0) {
        ok = failed(error, systemError(QStringLiteral("cannot make private"), path, errno));
    }
    ::close(fd);
    return ok;
}

bool makePrivateFolder(const QString &path, QString *error)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return failed(error, systemError(QStringLiteral("cannot create"), path, errno));
    return checkPrivateFolder(path, error);
}

QString privateTempFolder(const QString &name, QString *error)
{
    static QMutex mutex;
    static QHash<QString, QString> made;
    const QString temp = QDir::tempPath();
    if (temp.isEmpty()) {
        failed(error, QStringLiteral("there is no temporary folder"));
        return {};
    }
    const QString fixed = QDir(temp).filePath(name);
    const QMutexLocker lock(&mutex);
    if (const QString earlier = made.value(fixed); !earlier.isEmpty() && checkPrivateFolder(earlier))
        return earlier;
    QString why;
    if (makePrivateFolder(fixed, &why)) {
        made.insert(fixed, fixed);
        return fixed;
    }
    // A fallback folder an earlier run made is taken again, so that runs do not leave one each.
    const QString stem = QFileInfo(fixed).fileName() + QLatin1Char('-');
    const QStringList earlierRuns = QDir(temp).entryList(
        {stem + QStringLiteral("??????")}, QDir::Dirs | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : earlierRuns) {
        const QString folder = QDir(temp).filePath(entry);
        if (checkPrivateFolder(folder)) {
            made.insert(fixed, folder);
            return folder;
        }
    }
    qWarning("%s; a new folder is made instead", qPrintable(why));
    QByteArray unique = QFile::encodeName(fixed + QStringLiteral("-XXXXXX"));
    if (::mkdtemp(unique.data()) == nullptr) {
        failed(error, systemError(QStringLiteral("cannot create a folder like"), fixed, errno));
        return {};
    }
    const QString folder = QFile::decodeName(unique);
    if (!checkPrivateFolder(folder, error))
        return {};
    made.insert(fixed, folder);
    return folder;
}

QString userTempFolder(QString *error)
{
    return privateTempFolder(QStringLiteral("harbrook-%1").arg(::geteuid()), error);
}

} // namespace platform
