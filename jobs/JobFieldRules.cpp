#include "jobs/JobFieldRules.h"

#include "common/FerPrgLib.h"
#include "common/NumberText.h"
#include "jobs/BaseSettingsRules.h"
#include "jobs/LetterCodes.h"
#include "jobs/MasterDefinitions.h"
#include "platform/Cp932.h"

#include <QDate>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace jobs {

namespace {

int bytes(const QString &text)
{
    return int(platform::cp932::byteLength(text));
}

bool isLetterIn(QChar letter, const char *letters)
{
    return letter.unicode() != 0 && letter.unicode() < 0x80 &&
           std::strchr(letters, static_cast<char>(letter.unicode())) != nullptr;
}

bool singleByteOnly(const QString &text)
{
    return bytes(text) == text.size();
}

bool extensionIn(const QString &name, const QStringList &refused)
{
    const QString ext = extensionOf(name).toUpper();
    return !ext.isEmpty() && refused.contains(ext);
}

const QStringList &receiveRefused()
{
    static const QStringList list = {".PD3", ".EX3", ".FLD", ".EXE", ".BAT", ".DLL", ".BNF", ".TMP"};
    return list;
}

// A lone sign or point stands for no value in the limit edits.
bool lonelyText(const QString &text)
{
    return text.isEmpty() || text == QLatin1String(".") || text == QLatin1String("+") ||
           text == QLatin1String("-");
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool allDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isDigit);
}

// Characters of the ASCII range a file name never holds; the caller adds its own exceptions.
bool outsideFileNameSet(char16_t c, const char *alsoBelowDigits)
{
    if (c < 0x30)
        return std::strchr(alsoBelowDigits, static_cast<char>(c)) == nullptr || c == 0;
    if (c >= 0x3A && c <= 0x40)
        return true;
    if (c >= 0x5B && c <= 0x60)
        return c != u'_';
    return c > 0x7A;
}

// The 8.3 length rule for a key typed at the end of the name.
bool beyondEightThree(const QString &text, int caret)
{
    if (caret < text.size())
        return false;
    const int point = text.indexOf(u'.');
    return point < 0 ? text.size() >= 8 : text.size() - point - 1 >= 3;
}

// Parts of a date or time separated by sep, each of exactly the given digit counts.
std::optional<QList<int>> fixedParts(const QString &text, QChar sep, std::initializer_list<int> widths)
{
    const QStringList parts = text.split(sep);
    if (parts.size() != int(widths.size()))
        return std::nullopt;
    QList<int> values;
    int i = 0;
    for (int width : widths) {
        if (parts[i].size() != width || !allDigits(parts[i]))
            return std::nullopt;
        values << parts[i].toInt();
        ++i;
    }
    return values;
}

} // namespace

EditRevert revertEdit(const QString &stored, const QString &text, int caret)
{
    // The caret stands after what the change put in, and the text after it is the stored text's
    // end: what was put in begins after the front the two texts share. An input method commits a
    // word at once, so this is not always one place back.
    const int p = std::clamp(caret, 0, int(text.size()));
    const int tail = int(text.size()) - p;
    const int front = std::min(p, std::max(int(stored.size()) - tail, 0));
    int start = 0;
    while (start < front && stored.at(start) == text.at(start))
        ++start;
    const int at = start < p ? start : std::max(p - 1, 0);
    return {stored, std::min({at, bytes(stored), int(stored.size())})};
}

std::optional<EditRevert> byteLimitRefusal(const QString &stored, const QString &text, int caret,
                                           int maxBytes)
{
    if (bytes(text) <= maxBytes)
        return std::nullopt;
    return revertEdit(stored, text, caret);
}

TypedChange typeThrough(const QString &before, const QString &after, const KeyRule &rule)
{
    int prefix = 0;
    const int shorter = int(std::min(before.size(), after.size()));
    while (prefix < shorter && before.at(prefix) == after.at(prefix))
        ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix))
        ++suffix;
    const QString inserted = after.mid(prefix, after.size() - prefix - suffix);
    QString text = before.left(prefix) + before.mid(before.size() - suffix);
    int caret = prefix;
    for (QChar key : inserted) {
        const std::optional<QChar> typed = rule(text, caret, key);
        if (!typed)
            return {false, before, prefix};
        text.insert(caret, *typed);
        ++caret;
    }
    return {true, text, caret};
}

std::optional<QChar> FNameKey(const QString &text, int caret, QChar key)
{
    const char16_t c = key.unicode();
    if (c == u'\b')
        return key;
    if (outsideFileNameSet(c, "-.#*"))
        return std::nullopt;
    if (caret == 0 && (isDigit(key) || isLetterIn(key, ".-_#*")))
        return std::nullopt;
    if (c == u'#' && text.count(u'#') >= 4)
        return std::nullopt;
    if (c == u'.')
        return text.contains(u'.') || caret > 8 ? std::nullopt : std::optional<QChar>(key);
    if (beyondEightThree(text, caret))
        return std::nullopt;
    return key.toUpper();
}

std::optional<QChar> AddGyNameKey(const QString &text, int caret, QChar key)
{
    // The editor's one file-name filter, shared with the base page.
    const basepage::FileNameKey typed = basepage::FileNameKeyPress(text, caret, key);
    if (typed.key.isNull() || typed.beep)
        return std::nullopt;
    return typed.key;
}

std::optional<QChar> DefaultDatKey(QChar typeLetter, QChar key)
{
    const auto only = [key](const char *set) {
        return isDigit(key) || isLetterIn(key, set) ? std::optional<QChar>(key) : std::nullopt;
    };
    switch (typeLetter.unicode()) {
    case u'B':
    case u'C':
        return only("");
    case u'W':
    case u'X':
    case u'Y':
        return only("/");
    case u'Z':
        return only(":");
    default:
        return key;
    }
}

std::optional<QChar> DigitKey(QChar key)
{
    return isDigit(key) ? std::optional<QChar>(key) : std::nullopt;
}

QString extensionOf(const QString &name)
{
    const qsizetype point = name.lastIndexOf(u'.');
    return point < 0 ? QString() : name.mid(point);
}

bool PNameAccepted(const QString &text)
{
    if (bytes(text) > FileNameBytes || !singleByteOnly(text))
        return false;
    const QString ext = extensionOf(text).toUpper();
    return bytes(text) <= 4 || ext.size() <= 3 || ext == QLatin1String(".PD4");
}

bool RNameAccepted(const QString &text)
{
    return bytes(text) <= FileNameBytes && singleByteOnly(text) && !extensionIn(text, receiveRefused());
}

bool FNameAccepted(const QString &text)
{
    static const QStringList refused = {".PD3", ".PD4", ".EX3", ".FN3", ".FLD", ".EXE", ".BAT", ".DLL",
                                        ".LCS", ".BMP", ".JPG", ".WAV", ".ZIP", ".BNF", ".TMP"};
    return bytes(text) <= FileNameBytes && singleByteOnly(text) && !extensionIn(text, refused);
}

std::optional<int> AddGyRNameRefusal(const QString &text, int caret, const QString &stored)
{
    if (text.toUpper() == QLatin1String("FERPK600.PD4"))
        return int(stored.size());
    if (extensionIn(text, receiveRefused()) || !singleByteOnly(text) || bytes(text) > FileNameBytes)
        return revertEdit(stored, text, caret).caret;
    return std::nullopt;
}

bool AddGyFNameAccepted(const QString &text)
{
    static const QStringList refused = {".PD3", ".PD4", ".EX3", ".FN3", ".FLD",
                                        ".EXE", ".BAT", ".DLL", ".BNF", ".TMP"};
    return bytes(text) <= FileNameBytes && singleByteOnly(text) && !extensionIn(text, refused);
}

bool AddGyPNameAccepted(const QString &text)
{
    if (bytes(text) > FileNameBytes || !singleByteOnly(text))
        return false;
    const QString ext = extensionOf(text).toUpper();
    return !(bytes(text) > 4 && ext.size() >= 4 && ext != QLatin1String(".PD4"));
}

bool DefaultDatAccepted(QChar typeLetter, const QString &text)
{
    if (text.isEmpty())
        return true;
    const auto date = [](int y, int m, int d) { return QDate(y, m, d).isValid(); };
    switch (typeLetter.unicode()) {
    case u'W':
        if (auto p = fixedParts(text, u'/', {4, 2, 2}))
            return date((*p)[0], (*p)[1], (*p)[2]);
        return false;
    case u'X':
        if (auto p = fixedParts(text, u'/', {2, 2, 2}))
            return date(2000 + (*p)[0], (*p)[1], (*p)[2]);
        return false;
    case u'Y':
        // Without a year the leap day is a date.
        if (auto p = fixedParts(text, u'/', {2, 2}))
            return date(2000, (*p)[0], (*p)[1]);
        return false;
    case u'Z':
        if (auto p = fixedParts(text, u':', {2, 2}))
            return (*p)[0] < 24 && (*p)[1] < 60;
        return false;
    default:
        return true;
    }
}

bool isNumberFor(QChar typeLetter, const QString &text)
{
    if (isLetterIn(typeLetter, "BCac"))
        return allDigits(text);
    if (typeLetter == u'b') {
        QString t = text;
        if (t.startsWith(u'+') || t.startsWith(u'-'))
            t.remove(0, 1);
        if (t.count(u'.') > 1)
            return false;
        t.remove(u'.');
        return allDigits(t);
    }
    return true;
}

std::optional<FieldMessage> DoubleWidthFault(QChar typeLetter, bool modeJ, const QString &maxText,
                                             const QString &lenText)
{
    const QString caption = QStringLiteral("横倍表示設定エラー");
    const QString saved = modeJ ? QStringLiteral("データ桁数") : QStringLiteral("データ保存桁数");
    if (isLetterIn(typeLetter, "BC") && TextToInt64(maxText, 1) > 90)
        return FieldMessage{(modeJ ? QStringLiteral("データ桁数") : QStringLiteral("入力最大桁数")) +
                                QStringLiteral("を９０以下にしてください"),
                            caption};
    if (isLetterIn(typeLetter, "ab") && TextToInt64(lenText, 1) > 8)
        return FieldMessage{saved + QStringLiteral("を８以下にしてください"), caption};
    if (typeLetter == u'c' && TextToInt64(lenText, 1) > 7)
        return FieldMessage{saved + QStringLiteral("を７以下にしてください"), caption};
    return std::nullopt;
}

int KDLenValue(const QString &text, QChar typeLetter, bool doubleWidth)
{
    int value = int(std::clamp<qint64>(TextToInt64(text, 1), 0, MaxDataLen));
    if (text.isEmpty())
        value = 1;
    if (doubleWidth && isLetterIn(typeLetter, "ab"))
        value = std::min(value, 8);
    if (doubleWidth && typeLetter == u'c')
        value = std::min(value, 7);
    return value;
}

std::optional<FieldMessage> KDMaxFault(QChar typeLetter, bool doubleWidth, const QString &maxText,
                                       const QString &lenText, bool saveFlag)
{
    if (lonelyText(maxText) || !isLetterIn(typeLetter, "ABC"))
        return std::nullopt;
    const QString caption = QStringLiteral("入力最大桁数エラー");
    const qint64 max = TextToInt64(maxText, MaxDataLen);
    if (doubleWidth && max > 90)
        return FieldMessage{QStringLiteral("入力最大桁数を９０以下にしてください。"), caption};
    if (TextToInt64(lenText, MaxDataLen) < max)
        return FieldMessage{QStringLiteral("入力最大桁数を") +
                                (saveFlag ? QStringLiteral("データ保存桁数") : QStringLiteral("データ桁数")) +
                                QStringLiteral("以下にしてください。"),
                            caption};
    return std::nullopt;
}

std::optional<FieldMessage> KDMinFault(QChar typeLetter, const QString &minText, const QString &maxText)
{
    if (lonelyText(minText))
        return std::nullopt;
    bool above = false;
    if (isLetterIn(typeLetter, "ABC"))
        above = TextToInt64(minText, MaxDataLen) > TextToInt64(maxText, MaxDataLen);
    else if (isLetterIn(typeLetter, "ac"))
        above = TextToInt64(minText, 10) > TextToInt64(maxText, 10);
    else if (typeLetter == u'b')
        above = TextToReal(minText) > TextToReal(maxText);
    if (!above)
        return std::nullopt;
    if (isLetterIn(typeLetter, "ABC"))
        return FieldMessage{QStringLiteral("入力最小桁数を入力最大桁数以下にしてください。"),
                            QStringLiteral("入力最小桁数エラー")};
    return FieldMessage{QStringLiteral("入力最小値を入力最大値以下にしてください。"),
                        QStringLiteral("入力最小値エラー")};
}

std::optional<FieldMessage> InputModeFault(QChar modeLetter, int typeIndex, int inputIndex)
{
    if (modeLetter == u'J' || typeIndex <= 2 || (inputIndex != 2 && inputIndex != 3))
        return std::nullopt;
    return FieldMessage{QStringLiteral("バーコード入力に設定できません"),
                        QStringLiteral("入力方法設定エラー")};
}

std::optional<TypeInputChange> TypeInputConsequence(QChar modeLetter, int typeIndex, int inputMode)
{
    if (modeLetter == u'J' || typeIndex <= 2 || (inputMode != 2 && inputMode != 3))
        return std::nullopt;
    return TypeInputChange{
        {QStringLiteral("バーコード入力できないデータ形式です。\r\n入力方法を変更します。"),
         QStringLiteral("入力方法設定")},
        inputMode == 2 ? 0 : 1};
}

void ReleaseMaster(TKoData &item, TSetData &set)
{
    item.KMstFlag = false;
    item.KMFNo = 0;
    item.KMFKeySet = false;
    item.KMFKeyTop = 1;
    item.KMFKeyLen = 1;
    item.KMstChk = false;
    item.DspQDNo = 0;
    item.SaveQDNum = 0;
    // Counted again from the items: cuts, pastes and mode changes never kept a count by hand.
    masterdef::CountMasterUses(set);
}

} // namespace jobs
