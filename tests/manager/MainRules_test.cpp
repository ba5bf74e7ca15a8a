#include "manager/MainRules.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

using manager::ComValues;

namespace {

const QString CommKeyPath = QStringLiteral("\\") + manager::CommKey;
const QString AppKeyPath = QStringLiteral("\\") + manager::AppKey;

// Points the registry at a store of its own for one row of a table.
class RowStore {
public:
    explicit RowStore(int row) : previous_(qgetenv("HARBROOK_REGISTRY"))
    {
        qputenv(
            "HARBROOK_REGISTRY",
            QDir(testsupport::caseFolder()).filePath(QStringLiteral("row%1.json").arg(row)).toLocal8Bit());
    }
    ~RowStore() { qputenv("HARBROOK_REGISTRY", previous_); }

private:
    QByteArray previous_;
};

// A stored value: an integer, a text (unreadable as an integer), or nothing.
struct Stored {
    std::optional<int> number;
    const char *text = nullptr;
};

void store(const QString &name, const Stored &value)
{
    if (!value.number && !value.text)
        return;
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(CommKeyPath, true));
    if (value.number)
        ASSERT_TRUE(registry.WriteInteger(name, *value.number));
    else
        ASSERT_TRUE(registry.WriteString(name, QString::fromUtf8(value.text)));
}

Stored n(int v)
{
    return {v, nullptr};
}
Stored t(const char *v)
{
    return {std::nullopt, v};
}
const Stored none{};

} // namespace

TEST(ComValuesTest, DefaultsClampsAndWriteBack)
{
    struct Case {
        const char *what;
        Stored comPort, comSpeed, rcvMode, wrMode;
        ComValues used;
        ComValues storedAfter;
    };
    const Case cases[] = {
        {"fresh store", none, none, none, none, {1, 115200, 1, 1}, {1, 115200, 1, 1}},
        {"port 12 used as 1 and kept", n(12), n(115200), n(1), n(1), {1, 115200, 1, 1}, {12, 115200, 1, 1}},
        {"port 0 used as 1, modes 0 kept", n(0), n(115200), n(0), n(0), {1, 115200, 0, 0}, {0, 115200, 0, 0}},
        {"port -3 used as 1, others default", n(-3), none, none, none, {1, 115200, 1, 1}, {-3, 115200, 1, 1}},
        {"port 9 and 460800 kept", n(9), n(460800), n(0), n(1), {9, 460800, 0, 1}, {9, 460800, 0, 1}},
        {"speed 9600 used as 115200 and kept", n(3), n(9600), n(1), n(0), {3, 115200, 1, 0}, {3, 9600, 1, 0}},
        {"text values replaced by defaults",
         t("3"),
         t("460800"),
         t("0"),
         n(0),
         {1, 115200, 1, 0},
         {1, 115200, 1, 0}},
    };
    int row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const RowStore rowStore(row++);
        store(QStringLiteral("ComPort"), c.comPort);
        store(QStringLiteral("ComSpeed"), c.comSpeed);
        store(QStringLiteral("RcvMode"), c.rcvMode);
        store(QStringLiteral("WrMode"), c.wrMode);

        platform::TRegistry registry;
        const ComValues used = manager::readComValues(registry);
        EXPECT_EQ(used.ComP, c.used.ComP);
        EXPECT_EQ(used.ComSpeed, c.used.ComSpeed);
        EXPECT_EQ(used.RcvMode, c.used.RcvMode);
        EXPECT_EQ(used.WrMode, c.used.WrMode);

        platform::TRegistry after;
        ASSERT_TRUE(after.OpenKeyReadOnly(CommKeyPath));
        EXPECT_EQ(after.ReadInteger(QStringLiteral("ComPort")), c.storedAfter.ComP);
        EXPECT_EQ(after.ReadInteger(QStringLiteral("ComSpeed")), c.storedAfter.ComSpeed);
        EXPECT_EQ(after.ReadInteger(QStringLiteral("RcvMode")), c.storedAfter.RcvMode);
        EXPECT_EQ(after.ReadInteger(QStringLiteral("WrMode")), c.storedAfter.WrMode);
    }
}

TEST(ComValuesTest, UnopenableKeyLeavesDefaults)
{
    // A store that exists but cannot be read (here a folder in its place) makes every key fail to open.
    const QString path = QDir(testsupport::caseFolder()).filePath(QStringLiteral("store-is-a-folder"));
    ASSERT_TRUE(QDir().mkpath(path));
    const QByteArray previous = qgetenv("HARBROOK_REGISTRY");
    qputenv("HARBROOK_REGISTRY", path.toLocal8Bit());
    platform::TRegistry registry;
    const ComValues used = manager::readComValues(registry);
    qputenv("HARBROOK_REGISTRY", previous);
    EXPECT_EQ(used.ComP, 1);
    EXPECT_EQ(used.ComSpeed, 115200);
    EXPECT_EQ(used.RcvMode, 1);
    EXPECT_EQ(used.WrMode, 1);
}

TEST(SendValuesTest, ReadAddsTheSlashAndWriteStoresBoth)
{
    {
        platform::TRegistry setup;
        ASSERT_TRUE(setup.OpenKey(AppKeyPath, true));
        ASSERT_TRUE(setup.WriteString(QStringLiteral("SendFolder"), QStringLiteral("/data/out")));
        ASSERT_TRUE(setup.WriteInteger(QStringLiteral("SendFile"), 7)); // unreadable as text
    }
    platform::TRegistry registry;
    const manager::SendValues read = manager::readSendValues(registry);
    EXPECT_EQ(read.SendFolder, QStringLiteral("/data/out/"));
    EXPECT_EQ(read.SendFile, QString());

    ASSERT_TRUE(manager::writeSendValues(registry, {QStringLiteral("/x/"), QStringLiteral("/x/売上.dat")}));
    platform::TRegistry after;
    ASSERT_TRUE(after.OpenKeyReadOnly(AppKeyPath));
    EXPECT_EQ(after.ReadString(QStringLiteral("SendFolder")), QStringLiteral("/x/"));
    EXPECT_EQ(after.ReadString(QStringLiteral("SendFile")), QStringLiteral("/x/売上.dat"));
}

TEST(SendDialogTest, PreparationFollowsTheRememberedFile)
{
    struct Case {
        const char *what;
        manager::SendValues values;
        bool exists;
        QString fileName, folder, startPath;
        bool forget;
    };
    const Case cases[] = {
        {"remembered file still there",
         {"/old/", "/data/day/SCAN.DAT"},
         true,
         "SCAN.DAT",
         "/data/day/",
         "/data/day/SCAN.DAT",
         false},
        {"remembered file gone", {"/old/", "/data/day/SCAN.DAT"}, false, "", "/old/", "/old/", true},
        {"nothing remembered", {"/old/", ""}, false, "", "/old/", "/old/", false},
        {"nothing at all", {"", ""}, false, "", "", "", false},
        {"file in the root", {"", "/SCAN.DAT"}, true, "SCAN.DAT", "/", "/SCAN.DAT", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const manager::SendDialogStart start = manager::prepareSendDialog(c.values, c.exists);
        EXPECT_EQ(start.fileName, c.fileName);
        EXPECT_EQ(start.folder, c.folder);
        EXPECT_EQ(start.forgetSendFile, c.forget);
        EXPECT_EQ(manager::dialogStartPath(start), c.startPath);
    }
}

TEST(PathRulesTest, FoldersEndInOneSlash)
{
    EXPECT_EQ(manager::withTrailingSlash(QString()), QString());
    EXPECT_EQ(manager::withTrailingSlash(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(manager::withTrailingSlash(QStringLiteral("/a/")), QStringLiteral("/a/"));
    EXPECT_EQ(manager::folderOf(QStringLiteral("/opt/harbrook/bin/harbrook")),
              QStringLiteral("/opt/harbrook/bin/"));
    EXPECT_EQ(manager::folderOf(QStringLiteral("/harbrook")), QStringLiteral("/"));
    EXPECT_EQ(manager::comPortName(7), QStringLiteral("COM7"));
}
