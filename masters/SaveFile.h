#pragma once

#include "masters/SaveJournal.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/stat.h>

namespace masters {

// One new file of a save, written in the folder where its name will be. Where the file system allows
// it the file has no name until it is complete and synced (a crash before then leaves nothing
// behind); elsewhere it is created under its name at once. Either way the name is taken exclusively:
// a file that is there already, whoever's it is, makes the save fail and stays as it was.
class SaveFile {
public:
    explicit SaveFile(const QString &name) : name_(name) {}
    ~SaveFile(); // discards the file unless it was handed over
    SaveFile(const SaveFile &) = delete;
    SaveFile &operator=(const SaveFile &) = delete;

    // Creates the file, with the permission bits and owner of like when there is one.
    bool create(const struct stat *like = nullptr);
    // Unbuffered: callers write large blocks.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Syncs it; the identity is then known.
    bool finish();
    // From here the journal that names the file answers for it: it is no longer removed with this.
    void handOver() { handedOver_ = true; }
    // Gives the finished file its name.
    bool link();
    // Removes the file: the unnamed one is dropped, the named one unlinked while it is still ours.
    void discard();

    QString path() const { return name_; }
    const std::optional<FileIdentity> &identity() const { return identity_; }
    QString errorString() const { return error_; }

private:
    bool fail(const QString &what, int code);

    QString name_;
    int fd_ = -1;
    bool named_ = false;
    bool handedOver_ = false;
    std::optional<FileIdentity> identity_;
    QString error_;
};

// Whether the file at target may be replaced: missing, or a plain file that is not read-only (no
// write permission for us or no write bit at all). Its status goes to info; false (why says why) else.
bool mayReplace(const QString &target, struct stat &info, bool &exists, QString &why);

} // namespace masters
