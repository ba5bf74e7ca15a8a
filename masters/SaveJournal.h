#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The record a save of a master and its width file keeps beside the master while it replaces them,
// and the names of every file a save makes.
//
// All of them are hidden and carry the program's name and the save's own suffix, so that no
// operator's file and no other master can have them: for the master "ITEM" (and likewise for its
// width file) ".ITEM.harbrook-new-Ab12Cd" is the new file, ".ITEM.harbrook-old-Ab12Cd" the second
// name of the old one, ".ITEM.harbrook-save-Ab12Cd" the journal while the old pair holds and
// ".ITEM.harbrook-done-Ab12Cd" once the new pair does; ".ITEM.harbrook-lock" is the lock file every
// program that saves or opens the master takes turns on.
//
// The journal names the master's folder and the width file, and says for each of the two files what
// identifies the old file the save keeps and the new file it puts in place (device, inode, size,
// modification time, and the content's digest of a small file). A recovery renames or removes a
// file only when the file on disk is the one the journal describes.
namespace masters {

// What tells one file from another, as far as a journal needs.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch
    QByteArray digest;   // SHA-256 of the content, hex; empty when not taken (a large file)

    bool operator==(const FileIdentity &) const = default;
};
// Files of at most this size have their digest taken.
inline constexpr qint64 DigestLimit = 64 * 1024;
// The plain file at path (a link is not followed, and is no plain file); nothing for anything else.
std::optional<FileIdentity> identityAt(const QString &path);
// The same for an open file, which must be readable when it is small.
std::optional<FileIdentity> identityOf(int fd);
// Whether the file at path is the one identity describes.
bool isFile(const QString &path, const FileIdentity &identity);

struct SaveJournal {
    QString suffix; // of every name of the save

    quint64 folderDevice = 0; // the master's folder, where the journal lies
    quint64 folderInode = 0;
    QByteArray masterName; // the master's file name there, in the file system's bytes
    QByteArray widthPath;  // the width file's full path (a link beside the master is followed)
    quint64 widthFolderDevice = 0;
    quint64 widthFolderInode = 0;

    // Per file: the old one it replaces (nothing when there was none) and the new one.
    std::optional<FileIdentity> oldMaster;
    FileIdentity newMaster;
    std::optional<FileIdentity> oldWidth;
    FileIdentity newWidth;

    QByteArray text() const;
    // Nothing for anything but the whole text of a journal, byte for byte as text() writes it.
    static std::optional<SaveJournal> parse(const QByteArray &text);
};
// The longest journal text read.
inline constexpr qint64 JournalLimit = 4096;

// The journal of the save with suffix of the master at masterTarget; done: the one that says the
// new pair holds.
QString journalPath(const QString &masterTarget, const QString &suffix, bool done);
// For the name of a file beside the master: whether it is a journal name of that master, its suffix
// and whether it is a done one.
struct JournalName {
    QString suffix;
    bool done = false;
};
std::optional<JournalName> journalName(const QString &fileName, const QString &masterName);
// The second name of the old target, and the name of the new one, of the save with suffix.
QString keptPath(const QString &target, const QString &suffix);
QString madePath(const QString &target, const QString &suffix);
// The master's lock file.
QString lockPath(const QString &masterTarget);
// A suffix no file beside either target has yet.
QString freeSuffix(const QString &masterTarget, const QString &widthTarget);

// The journal that saves before this one kept, "<master>.saving": whether text is one. Such a
// journal names its files by name only and proves nothing, so it is never acted on.
bool isFirstJournal(const QByteArray &text);
QString firstJournalPath(const QString &masterTarget);

} // namespace masters
