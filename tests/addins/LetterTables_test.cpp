#include "addins/frame/LetterTables.h"

#include <gtest/gtest.h>

using namespace addins;

TEST(LetterTablesTest, DataTypeLettersBothWaysWithFallbacks)
{
    const QString letters = QStringLiteral("ABCWXYZ");
    const int fixed[] = {0, 0, 0, 10, 8, 5, 5};
    for (int i = 0; i < letters.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DataTypeLetter(i), letters[i]);
        EXPECT_EQ(DataTypeIndex(letters[i]), i);
        EXPECT_EQ(DataTypeFixedDigits(i), fixed[i]);
    }
    for (QChar other : {QChar(u'a'), QChar(u'D'), QChar(u' '), QChar()})
        EXPECT_EQ(DataTypeIndex(other), 0);
    for (int other : {-1, 7, 100}) {
        EXPECT_EQ(DataTypeLetter(other), QChar(u'A'));
        EXPECT_EQ(DataTypeFixedDigits(other), 0);
    }
    EXPECT_EQ(DataTypeTable()[2].caption, QStringLiteral("数字(0ｻﾌﾟﾚｽ表示)"));
}

TEST(LetterTablesTest, DataCheckFromTheDialog)
{
    EXPECT_EQ(DataCheckFromDialog(false, 1, 3, 4, QStringLiteral("X")), (DataCheck{0, 1, 1, QString()}));
    EXPECT_EQ(DataCheckFromDialog(true, 0, 3, 4, QStringLiteral("X")),
              (DataCheck{1, 3, 4, QStringLiteral("X")}));
    EXPECT_EQ(DataCheckFromDialog(true, 1, 2, 5, QStringLiteral("Y")),
              (DataCheck{2, 2, 5, QStringLiteral("Y")}));
    EXPECT_EQ(DataCheckListIndex(1), 0);
    EXPECT_EQ(DataCheckListIndex(2), 1);
    EXPECT_EQ(DataCheckListIndex(0), 0);
    EXPECT_EQ(DataCheckModeItems()[1], QStringLiteral("一致したら入力エラー"));
}
