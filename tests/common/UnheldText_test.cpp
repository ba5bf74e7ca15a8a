#include "common/UnheldText.h"

#include <gtest/gtest.h>

namespace {

TEST(UnheldText, TheRefusalNamesTheFirstCharacterTheCodePageCannotHold)
{
    struct Case {
        QString text;
        QString message;
    };
    const char16_t lone[] = {u'a', 0xD800, 0};
    const Case cases[] = {
        {QStringLiteral("商品ｱｲ①纊 12"), QString()},
        {QString::fromUtf16(u"在庫\U0001F600"),
         QString::fromUtf16(u"「\U0001F600」(U+1F600) はシフトJISで表せない文字のため入力できません。")},
        {QString::fromUtf16(u"\uD55C\uAE00"),
         QStringLiteral("「한」(U+D55C) はシフトJISで表せない文字のため入力できません。")},
        // Shown without the character itself: a mark would sit on the bracket, a lone surrogate is no text.
        {QString::fromUtf16(u"e\u0301"),
         QStringLiteral("U+0301 はシフトJISで表せない文字のため入力できません。")},
        {QString::fromUtf16(lone), QStringLiteral("U+D800 はシフトJISで表せない文字のため入力できません。")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(unheld::refusalMessage(c.text), c.message) << c.text.toStdString();
}

} // namespace
