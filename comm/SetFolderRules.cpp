#include "SetFolderRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSet>

namespace comm {

QString folderFormCaption(int mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("通信履歴保存フォルダ設定");
    case 2:
        return QStringLiteral("受信デフォルトフォルダ設定");
    default:
        return QStringLiteral("送信デフォルトフォルダ設定");
    }
}

QString netHoodPath(const QString &path)
{
    static const QString profile = QStringLiteral("\\Documents and Settings\\");
    static const QString netHood = QStringLiteral("\\NetHood\\");
    if (!path.contains(profile, Qt::CaseInsensitive))
        return path;
    const qsizetype at = path.indexOf(netHood, 0, Qt::CaseInsensitive);
    if (at < 0)
        return path;
    const QString tail = path.mid(at + netHood.size());
    const qsizetype end = tail.indexOf(QLatin1Char('\\'));
    const QString place = (end < 0 ? tail : tail.left(end)).left(256);
    // Whatever lies below the place is a folder inside the share.
    const QString below = end < 0 ? QString() : tail.mid(end);
    const qsizetype dash = place.lastIndexOf(QStringLiteral(" - "));
    if (dash < 0)
        return path;
    return QStringLiteral("\\\\") + place.mid(dash + 3) + QLatin1Char('\\') + place.left(dash) + below;
}

bool isNetworkPathName(const QString &path)
{
    return path.startsWith(QStringLiteral("//")) || path.startsWith(QStringLiteral("\\\\"));
}

bool isNetworkFsType(const QString &fsType)
{
    // Cluster file systems on shared disks (gfs2, ocfs2) and 9p are left out: 9p mostly carries a
    // virtual machine host's own disks, which behave as local ones.
    static const QSet<QString> types = {
        QStringLiteral("nfs"),
        QStringLiteral("nfs4"),
        QStringLiteral("cifs"),
        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),
        QStringLiteral("smb"),
        QStringLiteral("ncpfs"),
        QStringLiteral("ncp"),
        QStringLiteral("afs"),
        QStringLiteral("coda"),
        QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),
        QStringLiteral("lustre"),
        QStringLiteral("davfs"),
        QStringLiteral("fuse.sshfs"),
        QStringLiteral("fuse.curlftpfs"),
        QStringLiteral("fuse.davfs2"),
        QStringLiteral("fuse.rclone"),
        QStringLiteral("fuse.s3fs"),
        QStringLiteral("fuse.glusterfs"),
        QStringLiteral("fuse.ceph-fuse"),
        // The desktop's own mounts of network shares (smb://, sftp://) appear under this one.
        QStringLiteral("fuse.gvfsd-fuse"),
    };
    return types.contains(fsType.toLower());
}

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The kernel writes blanks, tabs, newlines and backslashes of a field as "\ooo".
QByteArray unescapeMountField(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' &&
            isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3])) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool holds(const QString &mountPoint, const QString &path)
{
    return mountPoint == QStringLiteral("/") || path == mountPoint ||
           path.startsWith(mountPoint + QLatin1Char('/'));
}

} // namespace

QString mountTypeOf(const QString &path, const QByteArray &mounts)
{
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    const QString target = QDir::cleanPath(path);
    QString type;
    qsizetype longest = -1;
    for (const QByteArray &line : mounts.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        const QString point = QDir::cleanPath(QFile::decodeName(unescapeMountField(fields[1])));
        if (!point.startsWith(QLatin1Char('/')) || !holds(point, target))
            continue;
        // ">=": a later mount on the same point covers the earlier one.
        if (point.size() >= longest) {
            longest = point.size();
            type = QString::fromUtf8(unescapeMountField(fields[2]));
        }
    }
    return type;
}

bool isOnNetworkMount(const QString &path, const QByteArray &mounts)
{
    return isNetworkPathName(path) || isNetworkFsType(mountTypeOf(path, mounts));
}

bool isNetworkFolder(const QString &path, const QByteArray &mounts)
{
    if (path.isEmpty())
        return false;
    if (isNetworkPathName(path))
        return true;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (isOnNetworkMount(absolute, mounts))
        return true;
    // A folder that is not there yet counts by the real place of the nearest one above it.
    QString existing = absolute;
    QString below;
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/")) {
        const QFileInfo info(existing);
        below.prepend(QLatin1Char('/') + info.fileName());
        existing = info.path();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    const QString real = QDir::cleanPath(canonical + below);
    return real != absolute && isOnNetworkMount(real, mounts);
}

bool isNetworkFolder(const QString &path)
{
    if (isNetworkPathName(path))
        return true;
    return isNetworkFolder(path, readMountTable());
}

QByteArray readMountTable()
{
    QFile file(QStringLiteral("/proc/self/mounts"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

FolderChoice folderChoice(const QString &selected, const QByteArray &mounts)
{
    FolderChoice choice;
    if (selected.isEmpty())
        return choice;
    const bool windowsPath = !selected.startsWith(QLatin1Char('/'));
    choice.path = windowsPath ? netHoodPath(selected) : selected;
    const QChar separator = windowsPath ? QLatin1Char('\\') : QLatin1Char('/');
    if (!choice.path.endsWith(separator))
        choice.path += separator;
    // A Windows path names no folder of this machine: only its form can tell.
    choice.refused = windowsPath ? isNetworkPathName(choice.path) : isNetworkFolder(choice.path, mounts);
    return choice;
}

} // namespace comm
