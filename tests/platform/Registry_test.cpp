#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <climits>
#include <optional>

#include "platform/Registry.h"
#include "platform/RegistryFile.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/TestIsolation.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using platform::TRegistry;
namespace registry = platform::registry;

namespace {

const QString handOffKey = QStringLiteral("Software\\Vestrane\\FerrolinAddInPrg");
const QString commKey = QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll");

QString storeFile()
{
    return qEnvironmentVariable("HARBROOK_REGISTRY");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Files beside the store whose names start with the store's name plus `infix`.
QStringList siblings(const QString &infix)
{
    const QFileInfo info(storeFile());
    return info.absoluteDir().entryList({info.fileName() + infix + QStringLiteral("*")}, QDir::Files);
}

// Restores an environment variable when the test case ends.
class EnvRestore {
public:
    explicit EnvRestore(const char *name)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), value_(qgetenv(name))
    {
    }
    ~EnvRestore()
    {
        if (had_)
            qputenv(name_, value_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray value_;
};

} // namespace

TEST(Registry, ValuesKeepTheirType)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(handOffKey, true)) << qPrintable(reg.errorString());
        ASSERT_TRUE(reg.WriteString("GyName", "12"));
        ASSERT_TRUE(reg.WriteInteger("SetCount", 5));
        ASSERT_TRUE(reg.WriteInteger("Min", INT_MIN));
        ASSERT_TRUE(reg.WriteInteger("Max", INT_MAX));
        ASSERT_TRUE(reg.WriteBool("Result", true));
        ASSERT_TRUE(reg.WriteBool("Off", false));
        ASSERT_TRUE(reg.WriteString("Empty", ""));
    }
    // A fresh object reads what went through the file.
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(handOffKey, false));
    EXPECT_EQ(reg.ReadString("GyName"), std::optional<QString>("12"));
    EXPECT_EQ(reg.ReadInteger("GyName"), std::nullopt) << "a string is not an integer";
    EXPECT_EQ(reg.ReadBool("GyName"), std::nullopt);
    EXPECT_EQ(reg.ReadInteger("SetCount"), std::optional<int>(5));
    EXPECT_EQ(reg.ReadString("SetCount"), std::nullopt) << "an integer is not a string";
    EXPECT_EQ(reg.ReadInteger("Min"), std::optional<int>(INT_MIN));
    EXPECT_EQ(reg.ReadInteger("Max"), std::optional<int>(INT_MAX));
    EXPECT_EQ(reg.ReadInteger("Result"), std::optional<int>(1)) << "booleans are stored as 0/1";
    EXPECT_EQ(reg.ReadInteger("Off"), std::optional<int>(0));
    EXPECT_EQ(reg.ReadBool("Result"), std::optional<bool>(true));
    EXPECT_EQ(reg.ReadBool("Off"), std::optional<bool>(false));
    EXPECT_EQ(reg.ReadBool("SetCount"), std::optional<bool>(true)) << "any non-zero integer is true";
    EXPECT_EQ(reg.ReadBool("Min"), std::optional<bool>(true));
    EXPECT_EQ(reg.ReadString("Empty"), std::optional<QString>(""));
    EXPECT_TRUE(reg.ValueExists("Empty"));
}

TEST(Registry, OverwriteChangesTheType)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(handOffKey, true));
    ASSERT_TRUE(reg.WriteString("SetCount", "3"));
    ASSERT_TRUE(reg.WriteInteger("SetCount", 3));
    TRegistry other;
    ASSERT_TRUE(other.OpenKey(handOffKey, false));
    EXPECT_EQ(other.ReadInteger("SetCount"), std::optional<int>(3));
    EXPECT_EQ(other.ReadString("SetCount"), std::nullopt);
}

TEST(Registry, MissingValuesAndNoOpenKey)
{
    TRegistry reg;
    EXPECT_FALSE(reg.ValueExists("Result"));
    EXPECT_EQ(reg.ReadInteger("Result"), std::nullopt);
    EXPECT_FALSE(reg.WriteInteger("Result", 1)) << "no key is open";
    EXPECT_FALSE(reg.errorString().isEmpty());

    ASSERT_TRUE(reg.OpenKey(handOffKey, true));
    EXPECT_FALSE(reg.ValueExists("Result"));
    EXPECT_EQ(reg.ReadString("Para0"), std::nullopt);
    EXPECT_EQ(reg.ReadInteger("SetCount"), std::nullopt);
    EXPECT_EQ(reg.ReadBool("Result"), std::nullopt);

    ASSERT_TRUE(reg.WriteInteger("Result", 0));
    reg.CloseKey();
    EXPECT_FALSE(reg.ValueExists("Result")) << "closed key";
    EXPECT_FALSE(reg.WriteInteger("Result", 1));
}

TEST(Registry, OpenWithoutCreateNeedsAnExistingKey)
{
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists(handOffKey));
    EXPECT_FALSE(reg.OpenKey(handOffKey, false));
    EXPECT_FALSE(reg.OpenKeyReadOnly(handOffKey));
    EXPECT_FALSE(QFileInfo::exists(storeFile())) << "opening without creating writes nothing";

    ASSERT_TRUE(reg.OpenKey(handOffKey, true));
    EXPECT_EQ(reg.CurrentPath(), handOffKey);
    EXPECT_TRUE(QFileInfo::exists(storeFile())) << "a created key is stored at once";
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentPath(), QString());

    EXPECT_TRUE(reg.KeyExists(handOffKey));
    EXPECT_TRUE(reg.KeyExists("Software\\Vestrane")) << "ancestors are created with the key";
    EXPECT_TRUE(reg.KeyExists("Software"));
    EXPECT_FALSE(reg.KeyExists("Software\\Vest"));
    EXPECT_TRUE(reg.OpenKey(handOffKey, false));
    EXPECT_TRUE(reg.OpenKeyReadOnly("\\Software\\Vestrane"));
    EXPECT_TRUE(reg.OpenKey("\\" + handOffKey, true)) << "creating an existing key opens it";
    EXPECT_EQ(reg.CurrentPath(), handOffKey);
}

TEST(Registry, InvalidKeyPathsAreRefused)
{
    TRegistry reg;
    for (const QString &path : {QStringLiteral("Software\\\\Vestrane"), QStringLiteral("\\\\Software"),
                                QStringLiteral("A\\\\\\B")}) {
        EXPECT_FALSE(reg.OpenKey(path, true)) << qPrintable(path);
        EXPECT_FALSE(reg.KeyExists(path)) << qPrintable(path);
    }
    EXPECT_FALSE(QFileInfo::exists(storeFile()));
}

TEST(Registry, ReadOnlyKeyRefusesWrites)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(commKey, true));
        ASSERT_TRUE(reg.WriteInteger("ComPort", 3));
    }
    const QByteArray before = readFile(storeFile());
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(commKey));
    EXPECT_EQ(reg.ReadInteger("ComPort"), std::optional<int>(3));
    EXPECT_FALSE(reg.WriteInteger("ComPort", 4));
    EXPECT_FALSE(reg.WriteString("LogFolder", "/tmp/"));
    EXPECT_FALSE(reg.WriteBool("DspMode", false));
    EXPECT_EQ(reg.ReadInteger("ComPort"), std::optional<int>(3));
    EXPECT_EQ(readFile(storeFile()), before);

    // Opening again with write access lifts the restriction.
    ASSERT_TRUE(reg.OpenKey("\\" + commKey, false));
    EXPECT_TRUE(reg.WriteInteger("ComPort", 4));
}

TEST(Registry, NamesCompareWithoutCaseAndKeepTheirCase)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(handOffKey, true));
        ASSERT_TRUE(reg.WriteInteger("SetCount", 1));
        ASSERT_TRUE(reg.WriteInteger("setcount", 2)) << "same value, other case";
        ASSERT_TRUE(reg.WriteString("Para0", "x"));
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\vestrane\\FERROLINADDINPRG", false));
    EXPECT_EQ(reg.CurrentPath(), handOffKey) << "the key keeps the case it was created with";
    EXPECT_EQ(reg.ReadInteger("SETCOUNT"), std::optional<int>(2));
    EXPECT_TRUE(reg.ValueExists("para0"));
    EXPECT_TRUE(reg.KeyExists("\\software\\VESTRANE"));
    // Creating the key under another case does not make a second key.
    ASSERT_TRUE(reg.OpenKey("\\software\\vestrane\\ferrolinaddinprg", true));
    EXPECT_EQ(reg.CurrentPath(), handOffKey);

    const registry::LoadResult loaded = registry::loadStore(storeFile());
    ASSERT_EQ(loaded.status, registry::LoadResult::Status::Loaded);
    const registry::Key *key = registry::findKey(loaded.store, handOffKey);
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 2);
    QStringList names;
    for (const registry::Value &value : key->values)
        names << value.name;
    names.sort();
    EXPECT_EQ(names, QStringList({"Para0", "SetCount"}));
    EXPECT_EQ(loaded.store.keys.size(), 3) << "Software, Software\\Vestrane and the key itself";
}

TEST(Registry, SubkeysAreSeparateAndRelative)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(commKey, true));
    ASSERT_TRUE(reg.WriteInteger("ComPort", 2));
    // A relative path opens below the open key.
    ASSERT_TRUE(reg.OpenKey("COM1", true));
    EXPECT_EQ(reg.CurrentPath(), commKey + "\\COM1");
    EXPECT_FALSE(reg.ValueExists("ComPort")) << "a subkey does not see its parent's values";
    ASSERT_TRUE(reg.WriteInteger("DspX", 120));
    // A leading backslash starts from the root.
    ASSERT_TRUE(reg.OpenKey("\\" + commKey + "\\COM2", true));
    ASSERT_TRUE(reg.WriteInteger("DspX", 40));
    reg.CloseKey();

    // With no key open a relative path starts from the root.
    TRegistry other;
    ASSERT_TRUE(other.OpenKeyReadOnly(commKey + "\\COM1"));
    EXPECT_EQ(other.ReadInteger("DspX"), std::optional<int>(120));
    EXPECT_TRUE(other.KeyExists("\\" + commKey + "\\COM2")) << "absolute while a key is open";
    EXPECT_FALSE(other.KeyExists("COM2")) << "relative to COM1: COM1\\COM2 does not exist";
    ASSERT_TRUE(other.OpenKeyReadOnly("\\" + commKey + "\\COM2\\"));
    EXPECT_EQ(other.ReadInteger("DspX"), std::optional<int>(40));
    other.CloseKey();
    ASSERT_TRUE(other.OpenKeyReadOnly(commKey));
    EXPECT_EQ(other.ReadInteger("ComPort"), std::optional<int>(2));
    EXPECT_FALSE(other.ValueExists("DspX"));
    EXPECT_FALSE(other.OpenKey(commKey, false)) << "relative to the open key, so below it";
    ASSERT_TRUE(other.OpenKeyReadOnly(commKey)) << "no key open after the failure: from the root";
    EXPECT_FALSE(other.OpenKey("COM3", false)) << "missing subkey";
    EXPECT_EQ(other.CurrentPath(), QString()) << "a failed open leaves no key open";
}

TEST(Registry, JapaneseNamesAndText)
{
    const QString text = QStringLiteral("業務設定ﾃｽﾄ\\①");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(commKey, true));
        ASSERT_TRUE(reg.WriteString("LogFolder", text));
        ASSERT_TRUE(reg.WriteInteger("通信速度", 460800));
    }
    TRegistry reg;
    ASSERT_TRUE(reg.KeyExists("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ"));
    // Half-width and full-width katakana are different names.
    EXPECT_FALSE(reg.KeyExists("Software\\Vestrane\\Dunmere通信ライセンス"));
    ASSERT_TRUE(reg.OpenKeyReadOnly(commKey));
    EXPECT_EQ(reg.CurrentPath(), commKey);
    EXPECT_EQ(reg.ReadString("LogFolder"), std::optional<QString>(text));
    EXPECT_EQ(reg.ReadInteger("通信速度"), std::optional<int>(460800));
    EXPECT_TRUE(readFile(storeFile()).contains(commKey.toUtf8().replace("\\", "\\\\")))
        << "the store holds the name as UTF-8";
}

TEST(Registry, OpeningSeesWhatOthersWroteBefore)
{
    TRegistry manager;
    ASSERT_TRUE(manager.OpenKey(handOffKey, true));
    ASSERT_TRUE(manager.WriteBool("Result", false));

    TRegistry addIn;
    ASSERT_TRUE(addIn.OpenKey(handOffKey, true));
    EXPECT_EQ(addIn.ReadBool("Result"), std::optional<bool>(false));
    ASSERT_TRUE(addIn.WriteBool("Result", true));
    ASSERT_TRUE(addIn.WriteString("Para0", "p0"));

    // The manager's open key is a snapshot until it opens again.
    EXPECT_EQ(manager.ReadBool("Result"), std::optional<bool>(false));
    manager.CloseKey();
    ASSERT_TRUE(manager.OpenKey(handOffKey, true));
    EXPECT_EQ(manager.ReadBool("Result"), std::optional<bool>(true));
    EXPECT_EQ(manager.ReadString("Para0"), std::optional<QString>("p0"));

    // Its own write merges and refreshes the snapshot with what others wrote meanwhile.
    ASSERT_TRUE(addIn.WriteInteger("SetCount", 1));
    ASSERT_TRUE(manager.WriteString("GyName", "job"));
    EXPECT_EQ(manager.ReadInteger("SetCount"), std::optional<int>(1));
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(handOffKey));
    EXPECT_EQ(reader.ReadString("GyName"), std::optional<QString>("job"));
    EXPECT_EQ(reader.ReadBool("Result"), std::optional<bool>(true));
}

TEST(Registry, DefaultStoreIsInTheConfigFolder)
{
    EnvRestore keepStore("HARBROOK_REGISTRY");
    EnvRestore keepConfig("XDG_CONFIG_HOME");
    const QString config = testsupport::caseFolder() + "/config";
    qunsetenv("HARBROOK_REGISTRY");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));

    EXPECT_EQ(registry::storePath(), config + "/harbrook/registry.json");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(handOffKey, true)) << qPrintable(reg.errorString());
    ASSERT_TRUE(reg.WriteInteger("BhtType", 800));
    EXPECT_EQ(registry::loadStore(config + "/harbrook/registry.json").status,
              registry::LoadResult::Status::Loaded);
}

TEST(Registry, WriteFailureIsReported)
{
    // The store's folder cannot be made: a file stands where it should be.
    const QString blocker = testsupport::caseFolder() + "/blocker";
    ASSERT_TRUE(writeFile(blocker, "x"));
    qputenv("HARBROOK_REGISTRY", QFile::encodeName(blocker + "/registry.json"));
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(handOffKey, true));
    EXPECT_FALSE(reg.errorString().isEmpty());
    EXPECT_FALSE(reg.OpenKey(handOffKey, false));
}

TEST(Registry, UnreadableStoreIsLeftAlone)
{
    // A folder where the store should be: it opens but cannot be read.
    ASSERT_TRUE(QDir().mkpath(storeFile()));
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey(handOffKey, true));
    EXPECT_FALSE(reg.errorString().isEmpty());
    EXPECT_FALSE(reg.OpenKeyReadOnly(handOffKey));
    EXPECT_TRUE(QFileInfo(storeFile()).isDir());
    EXPECT_EQ(siblings(".corrupt-"), QStringList());
}

TEST(Registry, InvalidStoreIsKeptAsideNotOverwritten)
{
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"garbage", "\x81\x40 not a store"},
        {"empty file", ""},
        {"cut short", R"({"format": "harbrook-registry", "version": 1, "keys": {"A": {"V": )"},
        {"foreign JSON", R"({"keys": {}})"},
        {"other version", R"({"format": "harbrook-registry", "version": 2, "keys": {}})"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString &old : siblings(".corrupt-"))
            QFile::remove(QFileInfo(storeFile()).absoluteDir().filePath(old));
        ASSERT_TRUE(writeFile(storeFile(), c.bytes));

        TRegistry reader;
        EXPECT_FALSE(reader.OpenKeyReadOnly("A")) << "an invalid store reads as empty";
        EXPECT_EQ(readFile(storeFile()), c.bytes) << "reading never changes the store";

        TRegistry writer;
        ASSERT_TRUE(writer.OpenKey(handOffKey, true)) << qPrintable(writer.errorString());
        ASSERT_TRUE(writer.WriteInteger("SetCount", 1));
        const QStringList backups = siblings(".corrupt-");
        ASSERT_EQ(backups.size(), 1) << qPrintable(backups.join(','));
        EXPECT_EQ(readFile(QFileInfo(storeFile()).absoluteDir().filePath(backups[0])), c.bytes)
            << "the invalid store is kept byte for byte";
        EXPECT_EQ(registry::loadStore(storeFile()).status, registry::LoadResult::Status::Loaded);
        TRegistry after;
        ASSERT_TRUE(after.OpenKeyReadOnly(handOffKey));
        EXPECT_EQ(after.ReadInteger("SetCount"), std::optional<int>(1));
    }
}

TEST(Registry, StaleTemporaryFileIsIgnoredAndRemoved)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(handOffKey, true));
        ASSERT_TRUE(reg.WriteString("Para0", "kept"));
    }
    // What a writer that died before its rename leaves behind.
    const QString stale = storeFile() + ".tmp-Ab12Cd";
    ASSERT_TRUE(writeFile(stale, R"({"format": "harbrook-registry", "vers)"));

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(handOffKey, false));
    EXPECT_EQ(reg.ReadString("Para0"), std::optional<QString>("kept"));
    ASSERT_TRUE(reg.WriteString("Para1", "new"));
    EXPECT_FALSE(QFileInfo::exists(stale)) << "the next writer clears it";
    EXPECT_EQ(siblings(".tmp-"), QStringList()) << "no temporary file of its own is left either";
    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(handOffKey));
    EXPECT_EQ(reader.ReadString("Para0"), std::optional<QString>("kept"));
    EXPECT_EQ(reader.ReadString("Para1"), std::optional<QString>("new"));
}

namespace {

// Values of the writer program: "<prefix>i" is i when i is even, else "text i".
// Returns how many of them, from 0 on, are in the key; stops at the first missing or wrong one.
int leadingWriterValues(const TRegistry &reg, const QString &prefix, int limit)
{
    for (int i = 0; i < limit; ++i) {
        const QString name = prefix + QString::number(i);
        const bool ok = i % 2 == 0
                            ? reg.ReadInteger(name) == std::optional<int>(i)
                            : reg.ReadString(name) == std::optional<QString>(QString("text %1").arg(i));
        if (!ok)
            return i;
    }
    return limit;
}

} // namespace

TEST(Registry, TwoProcessesWritingAtOnceLoseNothing)
{
    constexpr int count = 150;
    const QString key = handOffKey + "\\Shared";
    QProcess first;
    QProcess second;
    first.start(HARBROOK_REGISTRY_WRITER, {key, "first", QString::number(count), "--wait"});
    second.start(HARBROOK_REGISTRY_WRITER, {key, "second", QString::number(count), "--wait"});
    ASSERT_TRUE(first.waitForStarted(10000)) << qPrintable(first.errorString());
    ASSERT_TRUE(second.waitForStarted(10000)) << qPrintable(second.errorString());
    // Both released together, so their writes interleave.
    first.write("\n");
    second.write("\n");
    ASSERT_TRUE(first.waitForBytesWritten(10000));
    ASSERT_TRUE(second.waitForBytesWritten(10000));
    first.closeWriteChannel();
    second.closeWriteChannel();
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(key));
    EXPECT_EQ(leadingWriterValues(reg, "first", count), count);
    EXPECT_EQ(leadingWriterValues(reg, "second", count), count);
    EXPECT_EQ(siblings(".tmp-"), QStringList());
}

TEST(Registry, WriterKilledMidWriteLeavesAReadableStore)
{
    // Kill a writer at different points of its run; each time the store must parse and hold
    // exactly the writes that completed, in order.
    int round = 0;
    for (int extraLines : {0, 7, 23}) {
        SCOPED_TRACE(extraLines);
        const QString prefix = QString("round%1_").arg(round++);
        QProcess writer;
        writer.start(HARBROOK_REGISTRY_WRITER, {handOffKey, prefix, "1000000"});
        ASSERT_TRUE(writer.waitForStarted(10000));
        QByteArray output;
        while (output.count('\n') <= extraLines && writer.waitForReadyRead(20000))
            output += writer.readAllStandardOutput();
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(10000));
        output += writer.readAllStandardOutput();
        const int confirmed = static_cast<int>(output.count('\n'));
        ASSERT_GT(confirmed, extraLines);

        ASSERT_EQ(registry::loadStore(storeFile()).status, registry::LoadResult::Status::Loaded);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(handOffKey, false));
        const int present = leadingWriterValues(reg, prefix, 1000000);
        // The write after the last printed one may have finished before the kill.
        EXPECT_GE(present, confirmed);
        EXPECT_LE(present, confirmed + 1);
        EXPECT_FALSE(reg.ValueExists(prefix + QString::number(present + 1))) << "no gap in the writes";
        ASSERT_TRUE(reg.WriteInteger("After", round)) << qPrintable(reg.errorString());
        EXPECT_EQ(siblings(".tmp-"), QStringList());
    }
}

namespace {

QByteArray storeOf(const QByteArray &keys)
{
    return R"({"format": "harbrook-registry", "version": 1, "keys": {)" + keys + "}}";
}

const QByteArray goodKeys = R"("Software\\A": {"Name": {"type": "string", "data": "kept"},
                                             "Count": {"type": "integer", "data": 5}},
                              "Software\\B": {"Port": {"type": "integer", "data": 3}})";

} // namespace

TEST(Registry, DamagedEntryReadsAsMissingAndTheRestStays)
{
    const struct {
        const char *what;
        QByteArray entry; // inside the keys object, beside goodKeys
        QString key;      // where the damaged value would be read
    } cases[] = {
        {"integer written as text", R"("Software\\A\\C": {"V": {"type": "integer", "data": "7"}})",
         "Software\\A\\C"},
        {"integer too wide", R"("Software\\A\\C": {"V": {"type": "integer", "data": 4294967296}})",
         "Software\\A\\C"},
        {"fractional integer", R"("Software\\A\\C": {"V": {"type": "integer", "data": 1.5}})",
         "Software\\A\\C"},
        {"string written as number", R"("Software\\A\\C": {"V": {"type": "string", "data": 7}})",
         "Software\\A\\C"},
        {"unknown type", R"("Software\\A\\C": {"V": {"type": "binary", "data": 1}})", "Software\\A\\C"},
        {"value not an object", R"("Software\\A\\C": {"V": 7})", "Software\\A\\C"},
        {"key path with an empty segment", R"("Software\\\\C": {"V": {"type": "integer", "data": 7}})", ""},
        {"key not an object", R"("Software\\A\\C": [1, 2])", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray bytes = storeOf(goodKeys + ",\n" + c.entry);
        ASSERT_TRUE(writeFile(storeFile(), bytes));

        TRegistry reader;
        if (!c.key.isEmpty()) {
            ASSERT_TRUE(reader.OpenKeyReadOnly("\\" + c.key));
            EXPECT_FALSE(reader.ValueExists("V"));
            EXPECT_EQ(reader.ReadInteger("V"), std::nullopt) << "the caller's default applies";
            EXPECT_EQ(reader.ReadString("V"), std::nullopt);
        }
        ASSERT_TRUE(reader.OpenKeyReadOnly("\\Software\\A")) << qPrintable(reader.errorString());
        EXPECT_EQ(reader.ReadString("Name"), std::optional<QString>("kept"));
        EXPECT_EQ(reader.ReadInteger("Count"), std::optional<int>(5));

        // A write keeps every setting and the damaged entry as it stood; nothing is set aside.
        TRegistry writer;
        ASSERT_TRUE(writer.OpenKey("\\Software\\B", false));
        ASSERT_TRUE(writer.WriteInteger("Port", 4)) << qPrintable(writer.errorString());
        EXPECT_EQ(siblings(".corrupt-"), QStringList());
        const std::optional<registry::Store> before = registry::parse(bytes);
        const std::optional<registry::Store> after = registry::parse(readFile(storeFile()));
        ASSERT_TRUE(before && after);
        EXPECT_EQ(after->unreadKeys, before->unreadKeys);
        for (const QString &path : {QString("Software\\A"), QString("Software\\A\\C")}) {
            const registry::Key *was = registry::findKey(*before, path);
            const registry::Key *now = registry::findKey(*after, path);
            ASSERT_EQ(was == nullptr, now == nullptr) << qPrintable(path);
            if (was) {
                EXPECT_EQ(now->unread, was->unread) << qPrintable(path);
            }
        }
        TRegistry again;
        ASSERT_TRUE(again.OpenKeyReadOnly("\\Software\\A"));
        EXPECT_EQ(again.ReadString("Name"), std::optional<QString>("kept"));
        ASSERT_TRUE(again.OpenKeyReadOnly("\\Software\\B"));
        EXPECT_EQ(again.ReadInteger("Port"), std::optional<int>(4));

        // Writing the damaged value's name replaces it.
        if (!c.key.isEmpty()) {
            ASSERT_TRUE(writer.OpenKey("\\" + c.key, false));
            ASSERT_TRUE(writer.WriteInteger("v", 8));
            TRegistry fixed;
            ASSERT_TRUE(fixed.OpenKeyReadOnly("\\" + c.key));
            EXPECT_EQ(fixed.ReadInteger("V"), std::optional<int>(8));
            EXPECT_TRUE(registry::findKey(*registry::parse(readFile(storeFile())), c.key)->unread.isEmpty());
        }
    }
}

TEST(Registry, ReadOnlyStoreIsNeverWritten)
{
    for (const bool valid : {true, false}) {
        SCOPED_TRACE(valid ? "a valid store" : "a store that is not valid");
        const QByteArray bytes = valid ? storeOf(goodKeys) : QByteArray("not a store");
        QFile::setPermissions(storeFile(), QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_TRUE(writeFile(storeFile(), bytes));
        ASSERT_EQ(::chmod(QFile::encodeName(storeFile()).constData(), 0444), 0);

        TRegistry reg;
        if (valid) {
            ASSERT_TRUE(reg.OpenKey("\\Software\\A", true)) << "opening an existing key writes nothing";
            EXPECT_EQ(reg.ReadInteger("Count"), std::optional<int>(5));
            EXPECT_FALSE(reg.WriteInteger("Count", 6));
            EXPECT_NE(reg.errorString().indexOf("read-only"), -1) << qPrintable(reg.errorString());
        }
        EXPECT_FALSE(reg.OpenKey("\\Software\\New", true));
        EXPECT_NE(reg.errorString().indexOf("read-only"), -1) << qPrintable(reg.errorString());
        EXPECT_EQ(readFile(storeFile()), bytes);
        EXPECT_EQ(QFileInfo(storeFile()).permissions() &
                      (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
                  QFile::Permissions());
        EXPECT_EQ(siblings(".corrupt-"), QStringList()) << "nothing is set aside either";
        EXPECT_EQ(siblings(".tmp-"), QStringList());
    }
}

TEST(Registry, StoreThatIsALinkStaysALink)
{
    const QString realFolder = testsupport::caseFolder() + "/real";
    ASSERT_TRUE(QDir().mkpath(realFolder));
    const QString real = realFolder + "/store.json";
    for (const QString &to : {real, QString("real/store.json")}) {
        SCOPED_TRACE(qPrintable(to));
        QFile::remove(storeFile());
        ASSERT_TRUE(writeFile(real, storeOf(goodKeys)));
        ASSERT_EQ(::symlink(QFile::encodeName(to).constData(), QFile::encodeName(storeFile()).constData()),
                  0);

        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\A", false));
        EXPECT_EQ(reg.ReadInteger("Count"), std::optional<int>(5));
        ASSERT_TRUE(reg.WriteInteger("Count", 6)) << qPrintable(reg.errorString());
        EXPECT_TRUE(QFileInfo(storeFile()).isSymLink());
        EXPECT_EQ(QFileInfo(storeFile()).symLinkTarget(), real);
        TRegistry reader;
        ASSERT_TRUE(reader.OpenKeyReadOnly("\\Software\\A"));
        EXPECT_EQ(reader.ReadInteger("Count"), std::optional<int>(6));
        EXPECT_EQ(reader.ReadString("Name"), std::optional<QString>("kept"));
        EXPECT_EQ(QDir(realFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"store.json"});

        // An invalid store behind the link is kept aside there, and the link still stands.
        ASSERT_TRUE(writeFile(real, "not a store"));
        ASSERT_TRUE(reg.WriteInteger("Count", 7));
        EXPECT_TRUE(QFileInfo(storeFile()).isSymLink());
        const QStringList aside = QDir(realFolder).entryList({"store.json.corrupt-*"}, QDir::Files);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readFile(realFolder + "/" + aside[0]), QByteArray("not a store"));
        QFile::remove(realFolder + "/" + aside[0]);
    }
}

TEST(Registry, NamesDifferingInCaseOnlyKeepTheFirstInCodeUnitOrder)
{
    // As a hand edit could leave it: three spellings of one value, two spellings of one key.
    const QByteArray bytes = storeOf(R"(
        "Software\\Shop": {"count": {"type": "integer", "data": 3},
                           "Count": {"type": "integer", "data": 2},
                           "COUNT": {"type": "integer", "data": 1},
                           "Mode": {"type": "string", "data": "key Software"}},
        "SOFTWARE\\SHOP": {"mode": {"type": "string", "data": "key SOFTWARE"},
                           "Port": {"type": "integer", "data": 9}},
        "Software\\Other": {"Tag": {"type": "integer", "data": "bad"},
                            "tag": {"type": "integer", "data": 4}})");
    ASSERT_TRUE(writeFile(storeFile(), bytes));
    const auto expectRule = [](const char *when) {
        SCOPED_TRACE(when);
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKeyReadOnly("\\software\\shop"));
        EXPECT_EQ(reg.CurrentPath(), QString("SOFTWARE\\SHOP"));
        EXPECT_EQ(reg.ReadInteger("Count"), std::optional<int>(1)) << "COUNT before Count before count";
        EXPECT_EQ(reg.ReadString("MODE"), std::optional<QString>("key SOFTWARE"))
            << "its key's spelling first";
        EXPECT_EQ(reg.ReadInteger("port"), std::optional<int>(9)) << "the spellings' values come together";
        ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Other"));
        EXPECT_EQ(reg.ReadInteger("TAG"), std::optional<int>(4)) << "a damaged spelling does not count";
    };
    expectRule("as read from the hand-edited file");

    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey("\\Software\\Other", false));
    ASSERT_TRUE(writer.WriteInteger("Size", 1));
    expectRule("after a write");
    const std::optional<registry::Store> after = registry::parse(readFile(storeFile()));
    ASSERT_TRUE(after);
    const registry::Key *shop = registry::findKey(*after, "Software\\Shop");
    ASSERT_NE(shop, nullptr);
    QStringList names;
    for (const registry::Value &value : shop->values)
        names << value.name;
    names.sort();
    EXPECT_EQ(names, QStringList({"COUNT", "Port", "mode"})) << "one spelling of each name is written";
    EXPECT_TRUE(shop->unread.isEmpty());
}

TEST(Registry, FailedFinalFlushKeepsTheStore)
{
    ASSERT_TRUE(writeFile(storeFile(), storeOf(goodKeys)));
    const QByteArray bytes = readFile(storeFile());
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\A", false));
    {
        // The new store is small enough to wait in the buffer for the final flush.
        testsupport::FileSizeLimit limit(bytes.size() / 2);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(reg.WriteString("Name", QString(2000, 'x')));
    }
    EXPECT_NE(reg.errorString().indexOf(QString::fromLocal8Bit(std::strerror(EFBIG))), -1)
        << qPrintable(reg.errorString());
    EXPECT_EQ(readFile(storeFile()), bytes);
    EXPECT_EQ(siblings(".tmp-"), QStringList());
    EXPECT_EQ(reg.ReadString("Name"), std::optional<QString>("kept"));
}
