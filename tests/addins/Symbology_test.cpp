#include "addins/frame/Symbology.h"

#include <gtest/gtest.h>

using namespace addins;

namespace {

SymbologyChoice ticked(std::initializer_list<Symbology> list)
{
    SymbologyChoice choice;
    for (Symbology s : list)
        choice.tick(s);
    return choice;
}

SymbologyChoice everything(bool withCheckDigits)
{
    SymbologyChoice choice;
    for (const SymbologyInfo &info : SymbologyTable()) {
        if (info.symbology == Symbology::User)
            continue;
        choice.tick(info.symbology);
        choice.setCheckDigit(info.symbology, withCheckDigits);
    }
    return choice;
}

} // namespace

TEST(SymbologyTest, LettersPerModelInWritingOrder)
{
    struct Case {
        int model;
        bool checkDigits;
        const char *expected;
    };
    const Case cases[] = {
        {300, false, "AabRIHNMLKQXYZV"}, {500, false, "AabRIHNMLKQXYZV"},   {600, true, "AabRihnmLKQXYZV"},
        {800, false, "AabRIHNMLKQXYZV"}, {1300, false, "AabRIHNMLKQXYZVG"}, {900, false, "AabRIHNMLK"},
        {900, true, "AabRihnmLK"},       {0, false, "AabRIHNMLK"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        EXPECT_EQ(SChkSetBar(everything(c.checkDigits), ShownOnModel(c.model)),
                  QString::fromLatin1(c.expected));
    }
}

TEST(SymbologyTest, UserDefinedWinsAndHiddenBoxesAreDropped)
{
    SymbologyChoice choice = ticked({Symbology::Jan, Symbology::User});
    EXPECT_EQ(SChkSetBar(choice, ShownOnModel(800)), QStringLiteral("u"));
    // A stored "Q" ticks its box, but a model without it never writes the letter.
    choice = ChoiceFromBarType(QStringLiteral("QK"));
    EXPECT_TRUE(choice.isTicked(Symbology::Qr));
    EXPECT_EQ(SChkSetBar(choice, ShownOnModel(900)), QStringLiteral("K"));
    EXPECT_EQ(SChkSetBar(choice, ShownOnModel(800)), QStringLiteral("KQ"));
    EXPECT_EQ(SChkSetBar(ChoiceFromBarType(QStringLiteral("G")), ShownOnModel(800)), QString());
    // A program may hide more than the model does (a box it never shows).
    const SymbologyShown noBook = [](Symbology s) { return s != Symbology::Book; };
    EXPECT_EQ(SChkSetBar(ticked({Symbology::Jan, Symbology::Book}), noBook), QStringLiteral("A"));
}

TEST(SymbologyTest, ReadingAndWritingAgree)
{
    for (const char *letters : {"AabRIHNMLKQXYZVG", "Aihnm", "R", "", "KVG"}) {
        SCOPED_TRACE(letters);
        EXPECT_EQ(SChkSetBar(ChoiceFromBarType(QString::fromLatin1(letters)), ShownOnModel(1300)),
                  QString::fromLatin1(letters));
    }
    const SymbologyChoice choice = ChoiceFromBarType(QStringLiteral("iN?7"));
    EXPECT_TRUE(choice.isTicked(Symbology::Itf));
    EXPECT_TRUE(choice.hasCheckDigit(Symbology::Itf));
    EXPECT_TRUE(choice.isTicked(Symbology::Nw7));
    EXPECT_FALSE(choice.hasCheckDigit(Symbology::Nw7));
    // Letters are case-sensitive: "a" is the book code, not JAN.
    EXPECT_FALSE(ChoiceFromBarType(QStringLiteral("a")).isTicked(Symbology::Jan));
    EXPECT_TRUE(ChoiceFromBarType(QStringLiteral("u")).isTicked(Symbology::User));
}
