#include "KeyRules.h"

#include "platform/Cp932.h"

#include <QStringList>

#include <algorithm>

namespace addins {
namespace {

bool passesUntouched(QChar key)
{
    return key == BackspaceKey || key.isNull();
}

QChar upper(QChar key)
{
    return (key >= u'a' && key <= u'z') ? QChar(key.unicode() - u'a' + u'A') : key;
}

} // namespace

KeyOutcome FileNameKey(const QString &text, int caret, QChar key)
{
    if (passesUntouched(key))
        return KeyOutcome::type(key);
    if (key == EnterKey)
        return KeyOutcome::swallow();
    const char16_t k = key.unicode();
    if ((k < u'0' && k != u'-' && k != u'.') || (k >= u':' && k <= u'@') ||
        (k >= u'[' && k <= u'`' && k != u'_') || k > u'z')
        return KeyOutcome::refuse();
    const qsizetype dot = text.indexOf(u'.');
    if (k == u'.') {
        if (dot >= 0 || caret > 8)
            return KeyOutcome::refuse();
        return KeyOutcome::type(key);
    }
    if (text.isEmpty() && (k == u'-' || k == u'_'))
        return KeyOutcome::refuse();
    if (dot >= 0) {
        const qsizetype p = dot + 1;
        if (p > 8 && caret < p)
            return KeyOutcome::refuse();
        if (text.size() - p >= 3 && caret >= p)
            return KeyOutcome::refuse();
    } else if (text.size() >= 8) {
        return KeyOutcome::refuse();
    }
    return KeyOutcome::type(upper(key));
}

KeyOutcome FieldListKey(const QString &text, int caret, QChar key)
{
    if (passesUntouched(key))
        return KeyOutcome::type(key);
    if (key == EnterKey)
        return KeyOutcome::swallow();
    if (key >= u'0' && key <= u'9')
        return KeyOutcome::type(key);
    if (key != u',')
        return KeyOutcome::refuse();
    if (caret <= 0 || text.isEmpty() || text.contains(u',') || text.at(caret - 1) == u',')
        return KeyOutcome::refuse();
    return KeyOutcome::type(key);
}

KeyOutcome UserBarKey(const QString &text, int, QChar key)
{
    if (passesUntouched(key))
        return KeyOutcome::type(key);
    if (key == EnterKey)
        return KeyOutcome::swallow();
    const QChar k = upper(key);
    static const QString allowed = QStringLiteral("ABCDEHIKLMNOQRSVXYZ0123456789,;:-&");
    if (!allowed.contains(k))
        return KeyOutcome::refuse();
    if (k == u',' && (text.isEmpty() || text.back() == u','))
        return KeyOutcome::refuse();
    return KeyOutcome::type(k);
}

KeyOutcome DigitKey(const QString &, int, QChar key)
{
    if (passesUntouched(key))
        return KeyOutcome::type(key);
    if (key == EnterKey)
        return KeyOutcome::swallow();
    if (key >= u'0' && key <= u'9')
        return KeyOutcome::type(key);
    return KeyOutcome::refuse();
}

InsertionResult FilterInsertion(const QString &text, int caret, const QString &inserted,
                                const KeyFilter &filter, int maxBytes)
{
    InsertionResult result{text, std::clamp(caret, 0, int(text.size())), 0};
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        QString piece(inserted.at(i));
        if (inserted.at(i).isHighSurrogate() && i + 1 < inserted.size() &&
            inserted.at(i + 1).isLowSurrogate())
            piece += inserted.at(++i);
        if (piece.size() == 1 && (piece.at(0).category() == QChar::Other_Control || piece.at(0).isNull()))
            continue;
        QString typed = piece;
        if (filter) {
            // A character outside the basic plane is judged by its first half: no filter takes it.
            const KeyOutcome outcome = filter(result.text, result.caret, piece.at(0));
            if (outcome.kind == KeyOutcome::Kind::Swallow)
                continue;
            if (outcome.kind == KeyOutcome::Kind::Refuse) {
                ++result.beeps;
                continue;
            }
            if (piece.size() == 1)
                typed = QString(outcome.key);
        }
        if (maxBytes > 0 &&
            platform::cp932::byteLength(result.text) + platform::cp932::byteLength(typed) > maxBytes) {
            ++result.beeps;
            continue;
        }
        result.text.insert(result.caret, typed);
        result.caret += int(typed.size());
    }
    return result;
}

bool FileNameValid(const QString &text)
{
    const qsizetype dot = text.lastIndexOf(u'.');
    if (dot < 0)
        return text.size() <= 8;
    const QString extension = text.mid(dot).toUpper();
    if (extension.size() > 4)
        return false;
    static const QStringList refused{QStringLiteral(".PD3"), QStringLiteral(".PD4"), QStringLiteral(".EX3"),
                                     QStringLiteral(".FN3"), QStringLiteral(".FLD"), QStringLiteral(".EXE"),
                                     QStringLiteral(".BAT"), QStringLiteral(".DLL"), QStringLiteral(".BNF"),
                                     QStringLiteral(".TMP")};
    return extension.size() < 4 || !refused.contains(extension);
}

ChangeCheck FileNameChange(const QString &text, const QString &lastGood, int caret)
{
    if (FileNameValid(text))
        return {true, text, caret};
    return {false, lastGood, std::min(caret, int(lastGood.size()))};
}

} // namespace addins
