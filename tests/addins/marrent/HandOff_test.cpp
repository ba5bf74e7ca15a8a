#include "addins/frame/HandOffClient.h"
#include "addins/marrent/HandOff.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "tests/support/TestIsolation.h"

#include <gtest/gtest.h>

using namespace marrent;

namespace {

struct Key {
    std::optional<QString> GyName;
    std::optional<int> BhtType;
    std::optional<int> SetCount;
    std::optional<QByteArray> Para0;
    std::optional<QByteArray> Para1;
};

// Each call starts a store of its own, so no value of an earlier case is left in the key.
void prepare(const Key &key)
{
    static int store = 0;
    qputenv("HARBROOK_REGISTRY",
            (testsupport::caseFolder() + QStringLiteral("/store%1").arg(++store)).toLocal8Bit());
    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, true));
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
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), platform::cp932::decode(*key.Para0)));
    }
    if (key.Para1) {
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), platform::cp932::decode(*key.Para1)));
    }
    ASSERT_TRUE(reg.WriteBool(QStringLiteral("Result"), false));
    reg.CloseKey();
}

const QByteArray InitialPara0 = "0" + QByteArray(467, ' ');
const QByteArray BlankPara1(468, ' ');

} // namespace

TEST(MarrentHandOffTest, WhatTheKeyGives)
{
    QByteArray marked = InitialPara0;
    marked.replace(466, 2, "P0");
    QByteArray wrongMarker = InitialPara0;
    wrongMarker.replace(466, 2, "D0");
    QByteArray picking = marked;
    picking[15] = 'P';
    struct Case {
        const char *name;
        Key key;
        int setCount;
        bool picking;
        const char16_t *caption;
    };
    const std::vector<Case> cases = {
        {"manager's initial strings",
         {QStringLiteral("入荷"), 800, 1, InitialPara0, BlankPara1},
         1,
         false,
         u"入荷 設定 (BHT-800)"},
        {"marker P0, count 3",
         {QStringLiteral("入荷"), 1300, 3, picking, BlankPara1},
         1,
         true,
         u"入荷 設定 (BHT-1300)"},
        {"other marker",
         {{}, 800, 1, wrongMarker, BlankPara1},
         0,
         false,
         u"ピッキング検品プログラム設定 (BHT-800)"},
        {"model 500 reads its marker at 367",
         {{}, 500, 1, picking.left(366) + "P0", BlankPara1},
         1,
         true,
         u"ピッキング検品プログラム設定 (BHT-500)"},
        {"model 500 takes a longer string blank at 367",
         {{}, 500, 1, picking, BlankPara1},
         1,
         true,
         u"ピッキング検品プログラム設定 (BHT-500)"},
        {"count 0", {{}, 900, 0, picking, BlankPara1}, 0, false, u"ピッキング検品プログラム設定 (BHT-900)"},
        {"Para1 missing", {{}, 600, 1, picking, {}}, 0, false, u"ピッキング検品プログラム設定 (BHT-600)"},
        {"Para0 missing", {{}, 600, 1, {}, BlankPara1}, 0, false, u"ピッキング検品プログラム設定 (BHT-600)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prepare(c.key);
        const auto load = LoadMarrent();
        ASSERT_TRUE(load);
        EXPECT_EQ(load->SetCount, c.setCount);
        EXPECT_EQ(load->settings.picking, c.picking);
        EXPECT_EQ(load->caption, QString::fromUtf16(c.caption));
        if (c.setCount == 0) {
            EXPECT_EQ(load->settings, DefaultSettings(load->limits));
        }
    }
}

TEST(MarrentHandOffTest, UnsupportedModelsAreRefused)
{
    for (const std::optional<int> &model :
         {std::optional<int>(), std::optional<int>(300), std::optional<int>(801)}) {
        prepare({QStringLiteral("X"), model, 1, InitialPara0, BlankPara1});
        EXPECT_FALSE(LoadMarrent());
    }
}

TEST(MarrentHandOffTest, SavedAnswerReadsBack)
{
    prepare({QStringLiteral("出荷"), 500, 0, {}, {}});
    auto load = LoadMarrent();
    ASSERT_TRUE(load);
    load->settings.picking = true;
    load->settings.DpUsed = true;
    load->settings.DpName = QStringLiteral("伝票");
    ASSERT_TRUE(SaveMarrent(load->settings, load->limits));

    platform::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(addins::HandOffKey, false));
    EXPECT_EQ(reg.ReadBool(QStringLiteral("Result")), true);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("SetCount")), 1);
    EXPECT_EQ(reg.ReadString(QStringLiteral("GyName")), QStringLiteral("出荷"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("BhtType")), 500);
    const QByteArray para0 =
        platform::cp932::encode(reg.ReadString(QStringLiteral("Para0")).value_or(QString()));
    const QByteArray para1 =
        platform::cp932::encode(reg.ReadString(QStringLiteral("Para1")).value_or(QString()));
    reg.CloseKey();
    EXPECT_EQ(para0.size(), 368);
    EXPECT_EQ(para1.size(), 368);
    EXPECT_EQ(para0.right(2), QByteArray("P0"));

    const auto again = LoadMarrent();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->SetCount, 1);
    const ParaStrings reread = EncodeParas(again->settings, again->limits);
    EXPECT_EQ(reread.Para0, para0);
    // A new form's product code record holds separator code 0; read back outside its format it
    // is 44, and goes back so.
    ASSERT_EQ(para1.mid(63, 3), QByteArray("000"));
    QByteArray expected1 = para1;
    expected1.replace(63, 3, "044");
    EXPECT_EQ(reread.Para1, expected1);
}
