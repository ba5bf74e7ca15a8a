#pragma once

// What the folder picker decides without a window: its caption, the network places of an old
// Windows profile, and which folders lie on another machine.

#include <QByteArray>
#include <QString>

namespace comm {

// Caption of the picker: 1 the log folder, 2 the default receive folder, else the default send folder.
QString folderFormCaption(int mode);

// A folder of the "NetHood" folder of an old Windows profile
// ("...\Documents and Settings\<user>\NetHood\<share> - <host>[\more]") stands for the share
// "\\<host>\<share>[\more]". The place name is the first component after "\NetHood\" (of at most 256
// characters); host names hold no spaces, so it splits at its last " - ". A place name without " - ",
// and any other path, comes back unchanged. The markers are matched without regard to letter case,
// as the Windows file system does.
QString netHoodPath(const QString &path);

// A network path by its name alone: "//host/..." or "\\host\...".
bool isNetworkPathName(const QString &path);

// File system types that put a folder on another machine.
bool isNetworkFsType(const QString &fsType);

// The file system type of the mount that holds an absolute path, from the text of a mounts table
// ("/proc/self/mounts" layout: device, mount point, type, ...; octal escapes such as \040 in the
// fields). The mount with the longest mount point that is a whole-component prefix of the path wins;
// of mounts stacked on one point the last listed (the top one). Empty for a relative path or when
// no mount holds it. The path is only cleaned, not looked up on disk.
QString mountTypeOf(const QString &path, const QByteArray &mounts);

// The path by its name, or the mount that holds it by the table, is on another machine.
bool isOnNetworkMount(const QString &path, const QByteArray &mounts);

// As isOnNetworkMount, and also through the real location of the path's nearest existing folder,
// so that a symbolic link into a network mount counts. A relative path is taken from the current
// folder.
bool isNetworkFolder(const QString &path, const QByteArray &mounts);
// The same against the running system's mounts; when they cannot be read, only the name decides.
// The name and the table are tried before the disk is touched, so a folder named on a dead network
// mount does not hang the caller.
bool isNetworkFolder(const QString &path);

// The running system's mounts table; empty when it cannot be read.
QByteArray readMountTable();

// What the picker makes of the folder the operator chose.
struct FolderChoice {
    QString path;         // the folder with its trailing separator ("/", or "\" for a Windows path)
    bool refused = false; // a folder on another machine, which the picker does not hand out
};
// The network place rule applies to Windows paths only (a local folder named with backslashes is
// just a folder here).
FolderChoice folderChoice(const QString &selected, const QByteArray &mounts);

} // namespace comm
