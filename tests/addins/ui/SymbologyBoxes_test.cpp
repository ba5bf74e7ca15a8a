#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/SetBarCodeBase.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

const char *const AllBoxNames[] = {"JanChk", "BookChk",     "MagazinChk", "RssChk",        "ItfChk",
                                   "StfChk", "NW7Chk",      "Code39Chk",  "Code93Chk",     "Code128Chk",
                                   "QrChk",  "MaxiCodeChk", "PDF417Chk",  "DataMatrixChk", "CompositeChk",
                                   "iQrChk", "UserBarChk"};

// Every program's barcode dialog finds the boxes by the system's names: a letter ticks the box of
// that name alone, and a check-digit letter chooses in the group of the matching name.
TEST(SymbologyBoxesTest, EachLetterTicksTheBoxOfItsName)
{
    struct Case {
        const char *letters;
        const char *box;
        const char *group; // null: no check-digit choice
        bool withCheckDigit;
    };
    const Case cases[] = {
        {"A", "JanChk", nullptr, false},        {"a", "BookChk", nullptr, false},
        {"b", "MagazinChk", nullptr, false},    {"R", "RssChk", nullptr, false},
        {"I", "ItfChk", "ItfCD", false},        {"i", "ItfChk", "ItfCD", true},
        {"h", "StfChk", "StfCD", true},         {"N", "NW7Chk", "NW7CD", false},
        {"m", "Code39Chk", "Code39CD", true},   {"L", "Code93Chk", nullptr, false},
        {"K", "Code128Chk", nullptr, false},    {"Q", "QrChk", nullptr, false},
        {"X", "MaxiCodeChk", nullptr, false},   {"Y", "PDF417Chk", nullptr, false},
        {"Z", "DataMatrixChk", nullptr, false}, {"V", "CompositeChk", nullptr, false},
        {"G", "iQrChk", nullptr, false},        {"u", "UserBarChk", nullptr, false},
    };
    TSymbologyBoxes boxes;
    for (const Case &c : cases) {
        boxes.GetBar(QString::fromLatin1(c.letters), QStringLiteral("AB"));
        for (const char *name : AllBoxNames) {
            const auto found = boxes.findChildren<QCheckBox *>(QString::fromLatin1(name));
            ASSERT_EQ(found.size(), 1) << name;
            EXPECT_EQ(found.front()->isChecked(), qstrcmp(name, c.box) == 0) << c.letters << " " << name;
        }
        if (c.group) {
            const auto *group = boxes.findChild<QGroupBox *>(QString::fromLatin1(c.group));
            ASSERT_NE(group, nullptr) << c.group;
            EXPECT_TRUE(group->isEnabled()) << c.letters;
            const QRadioButton *with = nullptr;
            for (const QRadioButton *radio : group->findChildren<QRadioButton *>())
                if (radio->text() == QStringLiteral("あり"))
                    with = radio;
            ASSERT_NE(with, nullptr) << c.group;
            EXPECT_EQ(with->isChecked(), c.withCheckDigit) << c.letters;
        }
    }
    EXPECT_EQ(boxes.findChildren<QGroupBox *>().size(), 4);
}

// The stored user-defined text is shown whatever the letters, so a record confirmed without "u"
// keeps it; the edit is open only while "u" is ticked.
TEST(SymbologyBoxesTest, StoredUserTextIsShownAndKeptWithOrWithoutItsBox)
{
    struct Case {
        const char *letters;
        bool userTicked;
    };
    const Case cases[] = {{"A", false}, {"", false}, {"AmK", false}, {"u", true}};
    TSymbologyBoxes boxes;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.letters);
        boxes.GetBar(QString::fromLatin1(c.letters), QStringLiteral("*12AB"));
        EXPECT_EQ(boxes.UserBarSE->text(), QStringLiteral("*12AB"));
        EXPECT_EQ(boxes.UserBarSE->isEnabled(), c.userTicked);
        EXPECT_EQ(boxes.userBar(), QStringLiteral("*12AB"));
        EXPECT_EQ(boxes.SChkSetBar(), QString::fromLatin1(c.letters));
    }
}

} // namespace
