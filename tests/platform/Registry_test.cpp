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
#include "tests/support/TestIsolation.h"

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
    const QByteArray goodValue = R"({"type": "integer", "data": 1})";
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"garbage", "\x81\x40 not a store"},
        {"empty file", ""},
        {"cut short", R"({"format": "harbrook-registry", "version": 1, "keys": {"A": {"V": )"},
        {"foreign JSON", R"({"keys": {}})"},
        {"other version", R"({"format": "harbrook-registry", "version": 2, "keys": {}})"},
        {"integer too wide",
         R"({"format": "harbrook-registry", "version": 1, "keys": {"A": {"V": {"type": "integer", "data": 4294967296}}}})"},
        {"fractional integer",
         R"({"format": "harbrook-registry", "version": 1, "keys": {"A": {"V": {"type": "integer", "data": 1.5}}}})"},
        {"string typed as integer",
         R"({"format": "harbrook-registry", "version": 1, "keys": {"A": {"V": {"type": "integer", "data": "1"}}}})"},
        {"unknown type",
         R"({"format": "harbrook-registry", "version": 1, "keys": {"A": {"V": {"type": "binary", "data": 1}}}})"},
        {"bad key path",
         R"({"format": "harbrook-registry", "version": 1, "keys": {"A\\\\B": {"V": )" + goodValue + "}}}"},
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
