#include "comm/SetFolderRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable values in failure messages; static, so no other test file's printers collide.
static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

TEST(SetFolderRules, CaptionFollowsTheMode)
{
    const struct {
        int mode;
        const char *caption;
    } cases[] = {
        {1, "通信履歴保存フォルダ設定"},    {2, "受信デフォルトフォルダ設定"},
        {3, "送信デフォルトフォルダ設定"},  {0, "送信デフォルトフォルダ設定"},
        {-1, "送信デフォルトフォルダ設定"}, {4, "送信デフォルトフォルダ設定"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(comm::folderFormCaption(c.mode), QString::fromUtf8(c.caption)) << "mode " << c.mode;
}

TEST(SetFolderRules, NetworkPlacesOfAnOldProfileBecomeShares)
{
    const QString profile = QStringLiteral("C:\\Documents and Settings\\taro\\NetHood\\");
    const QString longHost(300, QLatin1Char('h'));
    const struct {
        QString path;
        QString expected;
    } cases[] = {
        {profile + "share - host", "\\\\host\\share"},
        {profile + "share - host\\", "\\\\host\\share\\"},
        // What lies below the place is a folder of the share, not part of the host's name.
        {profile + "share - host\\sub\\dir", "\\\\host\\share\\sub\\dir"},
        // Host names have no blanks: the last " - " separates them from the share.
        {profile + "Sales - 2004 - server", "\\\\server\\Sales - 2004"},
        {"c:\\documents and settings\\taro\\nethood\\share - host", "\\\\host\\share"},
        // The place name is cut to 256 characters before it is split.
        {profile + "share - " + longHost, "\\\\" + longHost.left(248) + "\\share"},
        // A place without " - " stays; so does a " - " that is not in the place name.
        {profile + "Printers", profile + "Printers"},
        {profile + "Place\\a - b", profile + "Place\\a - b"},
        {profile, profile},
        // Both markers are needed.
        {"C:\\Users\\taro\\NetHood\\share - host", "C:\\Users\\taro\\NetHood\\share - host"},
        {"C:\\Documents and Settings\\taro\\My Documents\\share - host",
         "C:\\Documents and Settings\\taro\\My Documents\\share - host"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(comm::netHoodPath(c.path), c.expected) << c.path.toStdString();
}

// A machine with a local disk, network mounts, a local mount inside a network one, mount points
// that need escapes, and a mount stacked over another.
const QByteArray mounts = "/dev/sda1 / ext4 rw,relatime 0 0\n"
                          "proc /proc proc rw 0 0\n"
                          "server:/export /mnt/nfs nfs4 rw,vers=4.2 0 0\n"
                          "tmpfs /mnt/nfs/local tmpfs rw 0 0\n"
                          "/dev/sdb1 /mnt/nfsdata ext4 rw 0 0\n"
                          "//host/share /mnt/smb\\040share cifs rw 0 0\n"
                          "//host/odd /mnt/back\\134slash smb3 rw 0 0\n"
                          "u@h:/home/u /home/u/remote fuse.sshfs rw 0 0\n"
                          "/dev/sdc1 /mnt/stack ext4 rw 0 0\n"
                          "server:/stack /mnt/stack nfs rw 0 0\n"
                          "server:/under /mnt/over nfs rw 0 0\n"
                          "/dev/sdd1 /mnt/over xfs rw 0 0\n"
                          "broken-line\n"
                          "\n";

TEST(SetFolderRules, TheMountThatHoldsAPath)
{
    const struct {
        const char *path;
        const char *type;
        bool network;
    } cases[] = {
        {"/home/u/data", "ext4", false},
        {"/", "ext4", false},
        {"/mnt/nfs", "nfs4", true},
        {"/mnt/nfs/", "nfs4", true},
        {"/mnt/nfs/a/b", "nfs4", true},
        {"/mnt/nfs/local/x", "tmpfs", false},
        {"/mnt/nfsdata/x", "ext4", false},
        {"/mnt/nf", "ext4", false},
        {"/mnt/smb share/x", "cifs", true},
        {"/mnt/smb\\040share", "ext4", false},
        {"/mnt/back\\slash/x", "smb3", true},
        {"/home/u/remote/projects", "fuse.sshfs", true},
        {"/home/u/remoteX", "ext4", false},
        {"/mnt/stack/x", "nfs", true},
        {"/mnt/over/x", "xfs", false},
        // Cleaned before the lookup: ".." leaves the mount, doubled slashes do not matter.
        {"/mnt/nfs/../x", "ext4", false},
        {"/mnt//nfs/x", "nfs4", true},
        {"relative/path", "", false},
        {"C:\\data", "", false},
    };
    for (const auto &c : cases) {
        const QString path = QString::fromUtf8(c.path);
        EXPECT_EQ(comm::mountTypeOf(path, mounts), QString::fromUtf8(c.type)) << c.path;
        EXPECT_EQ(comm::isOnNetworkMount(path, mounts), c.network) << c.path;
    }
}

TEST(SetFolderRules, NetworkByNameWithoutAnyMounts)
{
    const struct {
        const char *path;
        bool network;
    } cases[] = {
        {"//host/share", true},   {"\\\\host\\share", true}, {"/host/share", false},
        {"\\host\\share", false}, {"/mnt/nfs", false},       {"", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(comm::isNetworkPathName(QString::fromUtf8(c.path)), c.network) << c.path;
        EXPECT_EQ(comm::isOnNetworkMount(QString::fromUtf8(c.path), QByteArray()), c.network) << c.path;
    }
}

TEST(SetFolderRules, NetworkFileSystemTypes)
{
    for (const char *type : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "NFS4", "fuse.gvfsd-fuse"})
        EXPECT_TRUE(comm::isNetworkFsType(QString::fromUtf8(type))) << type;
    for (const char *type : {"ext4", "xfs", "btrfs", "tmpfs", "overlay", "vfat", "fuse", "fuse.portal", "9p",
                             "nfsd", "rpc_pipefs", "autofs", ""})
        EXPECT_FALSE(comm::isNetworkFsType(QString::fromUtf8(type))) << type;
}

TEST(SetFolderRules, TheChosenFolderLeavesWithItsSeparator)
{
    const struct {
        QString selected;
        QString path;
        bool refused;
    } cases[] = {
        {"/home/u/data", "/home/u/data/", false},
        {"/home/u/data/", "/home/u/data/", false},
        {"/", "/", false},
        {"/mnt/nfs/x", "/mnt/nfs/x/", true},
        {"/mnt/smb share", "/mnt/smb share/", true},
        {"/mnt/nfs/local", "/mnt/nfs/local/", false},
        {"//host/share", "//host/share/", true},
        {"\\\\host\\share", "\\\\host\\share\\", true},
        {"C:\\data", "C:\\data\\", false},
        {"C:\\Documents and Settings\\u\\NetHood\\share - host", "\\\\host\\share\\", true},
        // Backslashes in a folder's name here are just characters.
        {"/srv/x\\Documents and Settings\\u\\NetHood\\a - b",
         "/srv/x\\Documents and Settings\\u\\NetHood\\a - b/", false},
        {"", "", false},
    };
    for (const auto &c : cases) {
        const comm::FolderChoice choice = comm::folderChoice(c.selected, mounts);
        EXPECT_EQ(choice.path, c.path) << c.selected.toStdString();
        EXPECT_EQ(choice.refused, c.refused) << c.selected.toStdString();
    }
}

// The kernel's escape of a mount point.
QByteArray escapedMountPoint(const QString &path)
{
    QByteArray out;
    for (const char c : QFile::encodeName(path)) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            out += '\\' + QByteArray::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        else
            out += c;
    }
    return out;
}

TEST(SetFolderRules, ALinkIntoANetworkMountCounts)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString base = QFileInfo(dir.path()).canonicalFilePath();
    const QString share = base + "/net share";
    ASSERT_TRUE(QDir().mkpath(share + "/sub"));
    ASSERT_TRUE(QDir().mkpath(base + "/local"));
    ASSERT_TRUE(QFile::link(share, base + "/local/link"));
    const QByteArray table =
        "/dev/sda1 / ext4 rw 0 0\nserver:/x " + escapedMountPoint(share) + " nfs rw 0 0\n";

    const struct {
        QString path;
        bool network;
    } cases[] = {
        {share + "/sub", true},
        {base + "/local/link/sub", true},
        // Not made yet: judged by where the folder above it really is.
        {base + "/local/link/new/deeper", true},
        {base + "/local", false},
        {base + "/local/new", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(comm::isNetworkFolder(c.path, table), c.network) << c.path.toStdString();
        EXPECT_EQ(comm::folderChoice(c.path, table).refused, c.network) << c.path.toStdString();
    }
    // Without the mount the same folders are local.
    EXPECT_FALSE(comm::isNetworkFolder(base + "/local/link/sub", "/dev/sda1 / ext4 rw 0 0\n"));
}

TEST(SetFolderRules, TheRunningSystemsMounts)
{
    const QByteArray table = comm::readMountTable();
    ASSERT_FALSE(table.isEmpty());
    EXPECT_FALSE(comm::mountTypeOf(QStringLiteral("/"), table).isEmpty());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (comm::isOnNetworkMount(QFileInfo(dir.path()).canonicalFilePath(), table))
        GTEST_SKIP() << "the temporary folder is on a network file system";
    EXPECT_FALSE(comm::isNetworkFolder(dir.path()));
    EXPECT_TRUE(comm::isNetworkFolder(QStringLiteral("//host/share")));
    EXPECT_TRUE(comm::isNetworkFolder(QStringLiteral("\\\\host\\share\\")));
    EXPECT_FALSE(comm::isNetworkFolder(QString()));
}

} // namespace
