#include "jobs/LetterCodes.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<char16_t, 8> gyModeLetters{u'A', u'B', u'S', u'R', u'r', u'J', u'b', u'X'};
constexpr std::array<char16_t, 4> tStampLetters{u'N', u'D', u'T', u'W'};
constexpr std::array<char16_t, 8> colourLetters{u'B', u'W', u'R', u'G', u'b', u'C', u'M', u'Y'};
constexpr std::array<char16_t, 10> dataTypeLetters{u'A', u'B', u'C', u'a', u'b',
                                                   u'c', u'W', u'X', u'Y', u'Z'};
constexpr std::array<char16_t, 3> doubleLetters{u'N', u'G', u'F'};
constexpr std::array<char16_t, 8> formatLetters{u'N', u'K', u':', u';', u'S', u'T', u'C', u'A'};
constexpr std::array<char16_t, 3> triggerLetters{u'F', u'M', u'C'};
constexpr std::array<char16_t, 4> inputLetters{u'N', u'K', u'B', u'W'};
constexpr std::array<char16_t, 5> comModeLetters{u'2', u'U', u'B', u'X', u'Y'};

template <std::size_t N> int indexOf(const std::array<char16_t, N> &letters, QChar letter)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (letters[i] == letter.unicode())
            return int(i);
    }
    return 0;
}

template <std::size_t N> QChar letterOf(const std::array<char16_t, N> &letters, int index)
{
    return index >= 0 && std::size_t(index) < N ? QChar(letters[index]) : QChar(letters[0]);
}

} // namespace

int GyModeIndex(QChar letter)
{
    return indexOf(gyModeLetters, letter);
}
QChar GyModeLetter(int index)
{
    return letterOf(gyModeLetters, index);
}

int ComModeIndex(QChar letter, int maxIndex)
{
    return std::min(indexOf(comModeLetters, letter), std::max(maxIndex, 0));
}
QChar ComModeLetter(int index)
{
    return letterOf(comModeLetters, index);
}

int TStampIndex(QChar letter)
{
    return indexOf(tStampLetters, letter);
}
QChar TStampLetter(int index)
{
    return letterOf(tStampLetters, index);
}

int TSLocIndex(QChar letter)
{
    return letter == u'T' ? 0 : 1;
}
QChar TSLocLetter(int index)
{
    return index == 0 ? u'T' : u'L';
}

int ColourIndex(QChar letter)
{
    return indexOf(colourLetters, letter);
}
QChar ColourLetter(int index)
{
    return letterOf(colourLetters, index);
}

ColourRgb ColourValue(int index)
{
    static constexpr std::array<ColourRgb, 8> values{{{0, 0, 0},
                                                      {255, 255, 255},
                                                      {255, 0, 0},
                                                      {0, 255, 0},
                                                      {0, 0, 255},
                                                      {0, 255, 255},
                                                      {255, 0, 255},
                                                      {255, 255, 0}}};
    return index >= 1 && index <= 7 ? values[index] : values[0];
}

int DataTypeIndex(QChar letter)
{
    return indexOf(dataTypeLetters, letter);
}
QChar DataTypeLetter(int index)
{
    return letterOf(dataTypeLetters, index);
}
bool DataTypeTakesBarcode(int index)
{
    // An index outside the table is written as a string, and so it is one.
    return DataTypeIndex(DataTypeLetter(index)) < 3;
}

int DoubleIndex(QChar letter)
{
    return indexOf(doubleLetters, letter);
}
QChar DoubleLetter(int index)
{
    return letterOf(doubleLetters, index);
}

int FormatIndex(QChar letter)
{
    return indexOf(formatLetters, letter);
}
QChar FormatLetter(int index)
{
    return letterOf(formatLetters, index);
}

int TriggerIndex(QChar letter)
{
    return indexOf(triggerLetters, letter);
}
QChar TriggerLetter(int index)
{
    return letterOf(triggerLetters, index);
}

int InputIndex(QChar letter)
{
    switch (letter.unicode()) {
    case u'N':
        return 0;
    case u'K':
        return 1;
    case u'B':
        return 2;
    default:
        return 3;
    }
}
QChar InputLetter(int index)
{
    return letterOf(inputLetters, index);
}

QString FilterSymbologies(const QString &text)
{
    // Blanks at the ends fall out with every other character that is not a letter. A double-byte
    // character is one character outside the set here, never a lead or trail byte read as a letter.
    const QLatin1StringView accepted(SymbologyLetters);
    QString result;
    for (QChar c : text) {
        if (c.unicode() < 0x80 && accepted.contains(c))
            result.append(c);
    }
    return result;
}

QStringList GyModeItems()
{
    return {QStringLiteral("データ収集"),         QStringLiteral("商品ｺｰﾄﾞ+数量収集"),
            QStringLiteral("未送信ﾃﾞｰﾀの全送信"), QStringLiteral("ファイル受信"),
            QStringLiteral("リモート受信"),       QStringLiteral("ﾊﾞｰｺｰﾄﾞ情報表示"),
            QStringLiteral("ﾊﾞｰｺｰﾄﾞ読取ﾃｽﾄ"),     QStringLiteral("ｱﾄﾞｲﾝ業務ﾌﾟﾛｸﾞﾗﾑ")};
}

QStringList TStampItems()
{
    return {QStringLiteral("なし"), QStringLiteral("日付(YYYY/MM/DD)"), QStringLiteral("時刻(HH:MM:SS)"),
            QStringLiteral("日付+時刻")};
}

QStringList TSLocItems()
{
    return {QStringLiteral("先頭"), QStringLiteral("末尾")};
}

QStringList ColourItems()
{
    return {QStringLiteral("黒"), QStringLiteral("白"),     QStringLiteral("赤"),     QStringLiteral("緑"),
            QStringLiteral("青"), QStringLiteral("シアン"), QStringLiteral("ﾏｾﾞﾝﾀﾞ"), QStringLiteral("黄")};
}

QStringList DataTypeItems()
{
    return {QStringLiteral("文字列"),           QStringLiteral("数字(0詰め表示)"),
            QStringLiteral("数字(0ｻﾌﾟﾚｽ表示)"), QStringLiteral("符号なし整数"),
            QStringLiteral("符号付き実数"),     QStringLiteral("金額"),
            QStringLiteral("日付(YYYY/MM/DD)"), QStringLiteral("日付(YY/MM/DD)"),
            QStringLiteral("日付(MM/DD)"),      QStringLiteral("時刻(HH:MM)")};
}

QStringList DoubleItems()
{
    return {QStringLiteral("重複登録ＯＫ"), QStringLiteral("同一ｸﾞﾙｰﾌﾟ内重複登録ＮＧ"),
            QStringLiteral("ファイル内重複登録ＮＧ")};
}

QStringList FormatItems()
{
    return {QStringLiteral("固定長"),
            QStringLiteral("カンマ( , )区切り"),
            QStringLiteral("コロン( : )区切り"),
            QStringLiteral("セミコロン( ; )区切り"),
            QStringLiteral("スペース区切り"),
            QStringLiteral("タブ記号区切り"),
            QStringLiteral("CR記号区切り"),
            QStringLiteral("ＡＩコード")};
}

QStringList TriggerItems()
{
    return {QStringLiteral("トリガＯＮオートオフ"), QStringLiteral("トリガＯＮ同種コード連続"),
            QStringLiteral("トリガフリー連続")};
}

QStringList InputItems()
{
    return {QStringLiteral("入力しない"), QStringLiteral("キー"), QStringLiteral("バーコード"),
            QStringLiteral("ｷｰ＋ﾊﾞｰｺｰﾄﾞ")};
}
