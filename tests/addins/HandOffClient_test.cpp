#include "addins/frame/HandOffClient.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace addins;

namespace {

// What the manager leaves in the key before it starts a program; nullopt leaves a value out.
struct Key {
    std::optional<QString> GyName;
    std::optional<int> BhtType;
    std::optional<int> SetCount;
    std::optional<QString> Para0;
    std::optional<QString> Para1;
};

void prepare(const Key &key)
{
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(HandOffKey, true));
    if (key.GyName) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("GyName"), *key.GyName));
    }
    if (key.BhtType) {
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("BhtType"), *key.BhtType));
    }
    if (key.SetCount) {
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), *key.SetCount));
    }
    if (key.Para0) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), *key.Para0));
    }
    if (key.Para1) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), *key.Para1));
    }
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
}

const HandOffReadRules TwoStrings{2, 0, {}};
const HandOffReadRules Marked{2, 3, {"m0"}};

} // namespace

TEST(HandOffClientTest, ReadsTheKeyWithItsClamps)
{
    struct Case {
        const char *name;
        Key key;
        HandOffReadRules rules;
        int setCount;
        QByteArray para0;
        bool hasPara1;
    };
    const Case cases[] = {
        {"one",
         {QStringLiteral("入荷"), 800, 1, QStringLiteral("ABm0"), QStringLiteral("P1")},
         TwoStrings,
         1,
         "ABm0",
         true},
        {"count above one", {{}, 800, 3, QStringLiteral("X"), QStringLiteral("Y")}, TwoStrings, 1, "X", true},
        {"count zero", {{}, 800, 0, QStringLiteral("X"), QStringLiteral("Y")}, TwoStrings, 0, "X", false},
        {"count negative", {{}, 800, -4, QStringLiteral("X"), {}}, TwoStrings, 0, "X", false},
        {"count missing", {{}, 800, {}, QStringLiteral("X"), QStringLiteral("Y")}, TwoStrings, 0, "X", false},
        {"para0 missing", {{}, 800, 1, {}, QStringLiteral("Y")}, TwoStrings, 0, "", false},
        {"para1 missing", {{}, 800, 1, QStringLiteral("X"), {}}, TwoStrings, 1, "X", false},
        {"marker matches",
         {{}, 800, 1, QStringLiteral("ABm0CD"), QStringLiteral("Y")},
         Marked,
         1,
         "ABm0CD",
         true},
        {"marker differs",
         {{}, 800, 1, QStringLiteral("ABD1CD"), QStringLiteral("Y")},
         Marked,
         0,
         "ABD1CD",
         false},
        {"marker past end", {{}, 800, 1, QStringLiteral("AB"), QStringLiteral("Y")}, Marked, 0, "AB", false},
        {"para0 only",
         {{}, 800, 1, QStringLiteral("X"), QStringLiteral("Y")},
         HandOffReadRules{1, 0, {}},
         1,
         "X",
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(qEnvironmentVariable("HARBROOK_REGISTRY"));
        prepare(c.key);
        const HandOffRequest request = ReadHandOff(c.rules);
        EXPECT_TRUE(request.keyOpened);
        EXPECT_EQ(request.BhtType, 800);
        EXPECT_EQ(request.GyName, c.key.GyName);
        EXPECT_EQ(request.SetCount, c.setCount);
        EXPECT_EQ(request.Para0, c.para0);
        EXPECT_EQ(request.hasPara1, c.hasPara1);
        if (c.hasPara1) {
            EXPECT_EQ(request.Para1, platform::cp932::encode(*c.key.Para1));
        }
    }
}

TEST(HandOffClientTest, ParametersAreTakenAsCodePage932Bytes)
{
    prepare({QStringLiteral("出荷"), 1300, 1, QStringLiteral("日付ｱ\\"), {}});
    const HandOffRequest request = ReadHandOff(TwoStrings);
    EXPECT_EQ(request.Para0, QByteArray("\x93\xfa\x95\x74\xb1\\"));
    EXPECT_EQ(request.BhtType, 1300);
    EXPECT_EQ(request.GyName, QStringLiteral("出荷"));
}

TEST(HandOffClientTest, MissingModelReadsAsZero)
{
    prepare({QStringLiteral("x"), {}, 1, QStringLiteral("X"), {}});
    EXPECT_EQ(ReadHandOff(TwoStrings).BhtType, 0);
}

TEST(HandOffClientTest, AnswerWritesParametersCountAndResultOnly)
{
    prepare({QStringLiteral("入荷"), 800, 4, QStringLiteral("old0"), QStringLiteral("old1")});
    {
        platform::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(HandOffKey, true));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para2"), QStringLiteral("old2")));
    }
    ASSERT_TRUE(WriteHandOffAnswer({QByteArray("\x93\xfa  "), std::nullopt}));
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(HandOffKey, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Para0")), QStringLiteral("日  "));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Para1")), QStringLiteral("old1"));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Para2")), QStringLiteral("old2"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("SetCount")), 1);
    EXPECT_EQ(reg.ReadBool(QStringLiteral("Result")), true);
    EXPECT_EQ(reg.ReadString(QStringLiteral("GyName")), QStringLiteral("入荷"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("BhtType")), 800);

    ASSERT_TRUE(WriteHandOffAnswer({QByteArray("A"), QByteArray("B")}));
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey(HandOffKey, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Para1")), QStringLiteral("B"));
}

TEST(HandOffClientTest, AnAnswerThatCannotBeStoredIsAFailure)
{
    prepare({QStringLiteral("入荷"), 800, 0, {}, {}});
    const QString store = qEnvironmentVariable("HARBROOK_REGISTRY");
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner));
    QString error;
    EXPECT_FALSE(WriteHandOffAnswer({QByteArray("A"), std::nullopt}, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(HandOffKey, false));
    EXPECT_EQ(reg.ReadBool(QStringLiteral("Result")), false);
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("Para0")));
}
