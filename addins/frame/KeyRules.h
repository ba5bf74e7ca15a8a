#pragma once

#include <QChar>
#include <QString>

#include <functional>

// The key filters and change checks of the settings programs' input fields, apart from the
// widgets. A filter decides one typed character; FilterInsertion runs pasted and input-method text
// through the same filter one character at a time, so no path into a field skips it.
namespace addins {

inline constexpr QChar BackspaceKey = u'\b';
inline constexpr QChar EnterKey = u'\r';

struct KeyOutcome {
    enum class Kind {
        Type,    // `key` is typed at the caret (it may differ from the key pressed: upper case)
        Refuse,  // dropped with a beep
        Swallow, // dropped silently (Enter)
    };
    Kind kind = Kind::Type;
    QChar key;

    static KeyOutcome type(QChar key) { return {Kind::Type, key}; }
    static KeyOutcome refuse() { return {Kind::Refuse, QChar()}; }
    static KeyOutcome swallow() { return {Kind::Swallow, QChar()}; }
    friend bool operator==(const KeyOutcome &, const KeyOutcome &) = default;
};

// A filter: the field's text (a selection already taken out), the caret (characters before it)
// and the key; an empty filter takes every key. Backspace is '\b', Enter '\r'; both and the null key reach
// the filter.
using KeyFilter = std::function<KeyOutcome(const QString &text, int caret, QChar key)>;

// FileSEKeyPress: an 8.3 file name typed key by key; letters become upper case.
KeyOutcome FileNameKey(const QString &text, int caret, QChar key);
// FieldSEKeyPress: a master file's field list, digits with single "," between them.
KeyOutcome FieldListKey(const QString &text, int caret, QChar key);
// UserBarSEKeyPress: the user-defined symbology string; letters become upper case.
KeyOutcome UserBarKey(const QString &text, int caret, QChar key);
// Digits 0 to 9 only (Enter dropped, Backspace passes).
KeyOutcome DigitKey(const QString &text, int caret, QChar key);

struct InsertionResult {
    QString text;
    int caret = 0;
    int beeps = 0; // refused characters
};

// Inserts the characters of `inserted` at the caret one by one through the filter, each seeing the
// text as the ones before it left it. maxBytes (code page 932) refuses a character that would not
// fit; 0 or less means no limit. Backspace and control characters in pasted text are dropped.
InsertionResult FilterInsertion(const QString &text, int caret, const QString &inserted,
                                const KeyFilter &filter, int maxBytes = 0);

// FileSEChange: whether a file-name field's text is acceptable: without an extension at most 8
// characters; with one (from the last "." on, the dot included) at most 4 characters, and not one
// of the program and system extensions when it has 4.
bool FileNameValid(const QString &text);

struct ChangeCheck {
    bool accepted = true; // text stays and becomes the last good value
    QString text;         // what the field holds afterwards
    int caret = 0;
};

// The file-name change check: a valid text stays; an invalid one is replaced by lastGood with the
// caret where it was, or at the end of the restored text when that is shorter (the caller beeps).
ChangeCheck FileNameChange(const QString &text, const QString &lastGood, int caret);

} // namespace addins
