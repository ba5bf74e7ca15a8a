#include "MasterSave.h"

#include "masters/RecordStore.h"
#include "masters/WidthFile.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <unistd.h>

namespace masters {

namespace {

bool failed(QString *error, const QString &why)
{
    if (error != nullptr)
        *error = why;
    return false;
}

// A second name for the width file that is there, kept until the new master is in place, so the old
// pair can be put back with a rename (which needs no room on a full disk).
class WidthFileBackup {
public:
    explicit WidthFileBackup(const QString &path) : path_(path)
    {
        if (!QFileInfo(path).isFile())
            return;
        existed_ = true;
        // A unique free name beside it: the hard link takes it over.
        QTemporaryFile name(path + QStringLiteral(".old-XXXXXX"));
        if (!name.open())
            return;
        backup_ = name.fileName();
        name.close();
        name.remove();
        if (::link(QFile::encodeName(path).constData(), QFile::encodeName(backup_).constData()) != 0) {
            backup_.clear();
            // Without a link the old content is kept in memory and written back on failure.
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                old_ = file.read(1 << 16);
        }
    }
    ~WidthFileBackup()
    {
        if (!backup_.isEmpty())
            QFile::remove(backup_);
    }
    WidthFileBackup(const WidthFileBackup &) = delete;
    WidthFileBackup &operator=(const WidthFileBackup &) = delete;

    // Puts the old width file back (or removes the new one when there was none).
    void restore()
    {
        if (!existed_) {
            QFile::remove(path_);
            return;
        }
        if (!backup_.isEmpty()) {
            if (::rename(QFile::encodeName(backup_).constData(), QFile::encodeName(path_).constData()) == 0)
                backup_.clear();
            return;
        }
        platform::writeFileAtomically(path_, old_);
    }

private:
    QString path_;
    QString backup_;
    QByteArray old_;
    bool existed_ = false;
};

} // namespace

bool saveMasterFiles(RecordStore &store, const QString &masterPath, const std::vector<int> &widths,
                     QString *error)
{
    const QString widthPath = widthFilePath(masterPath);
    platform::AtomicFile master(masterPath);
    if (!master.open())
        return failed(error, master.errorString());
    if (!store.copyOut(master)) {
        master.cancel();
        return failed(error, store.errorString());
    }
    platform::AtomicFile width(widthPath);
    if (!width.open() || !width.write(widthFileText(widths))) {
        master.cancel();
        return failed(error, width.errorString());
    }
    // The width file goes first: it is small, so a full disk shows in the master's commit, and then
    // the old width file is put back.
    WidthFileBackup backup(width.targetPath());
    if (!width.commit()) {
        master.cancel();
        return failed(error, width.errorString());
    }
    if (!master.commit()) {
        backup.restore();
        return failed(error, master.errorString());
    }
    return true;
}

} // namespace masters
