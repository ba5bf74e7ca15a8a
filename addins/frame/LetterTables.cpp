#include "LetterTables.h"

#include <algorithm>

namespace addins {

const std::array<DataTypeInfo, DataTypeCount> &DataTypeTable()
{
    static const std::array<DataTypeInfo, DataTypeCount> table{{
        {'A', QStringLiteral("文字列"), 0},
        {'B', QStringLiteral("数字(0詰め表示)"), 0},
        {'C', QStringLiteral("数字(0ｻﾌﾟﾚｽ表示)"), 0},
        {'W', QStringLiteral("日付(YYYY/MM/DD)"), 10},
        {'X', QStringLiteral("日付(YY/MM/DD)"), 8},
        {'Y', QStringLiteral("日付(MM/DD)"), 5},
        {'Z', QStringLiteral("時刻(HH:MM)"), 5},
    }};
    return table;
}

int DataTypeIndex(QChar letter)
{
    const auto &table = DataTypeTable();
    for (int i = 0; i < DataTypeCount; ++i)
        if (letter == QLatin1Char(table[std::size_t(i)].letter))
            return i;
    return 0;
}

QChar DataTypeLetter(int index)
{
    if (index < 0 || index >= DataTypeCount)
        return u'A';
    return QLatin1Char(DataTypeTable()[std::size_t(index)].letter);
}

int DataTypeFixedDigits(int index)
{
    if (index < 0 || index >= DataTypeCount)
        return 0;
    return DataTypeTable()[std::size_t(index)].fixedDigits;
}

const std::array<QString, 2> &DataCheckModeItems()
{
    static const std::array<QString, 2> items{QStringLiteral("一致しなかったら入力エラー"),
                                              QStringLiteral("一致したら入力エラー")};
    return items;
}

DataCheck DataCheckFromDialog(bool used, int listIndex, int dataNo, int top, const QString &text)
{
    if (!used)
        return {};
    return {std::clamp(listIndex, 0, 1) + 1, dataNo, top, text};
}

int DataCheckListIndex(int mode)
{
    return mode == ErrorWhenEqual ? 1 : 0;
}

} // namespace addins
