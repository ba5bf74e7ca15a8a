#pragma once

#include <QChar>
#include <QString>

// The key filter of the numeric edit TNEdit, apart from the widget: given the text, the caret and
// the control's settings, it decides what one typed character does.

// Most characters the control holds, sign included.
inline constexpr int NEditMaxLength = 12;

struct NEditSettings {
    bool ZeroDisplay = false;  // leading zeros may be typed
    bool CanNegative = false;  // a sign is allowed, and then always shown
    bool CanDot = false;       // one decimal point is allowed
    int MaxDegits = 10;        // most characters besides the sign: digits and the point
    int MaxValue = 2147483647; // largest value of the integer part
    int MinValue = 0;          // smallest value of the integer part

    // Setters that refuse a value out of range and keep the old one; they return whether the
    // value was taken. A negative limit needs CanNegative to be on already.
    bool setMaxDegits(int value);
    bool setMaxValue(int value);
    bool setMinValue(int value);
};

struct NEditInput {
    QString text;
    int caret = 0;            // characters before the caret; the start of a selection when there is one
    bool allSelected = false; // the whole (non-empty) text is selected
    bool readOnly = false;
};

// What the widget does with the key: optionally replace its text and caret first, then type the
// key (it replaces a selection, as typing does) or drop it, and beep when asked.
struct NEditOutcome {
    enum class Key {
        Discard,    // nothing is typed
        Type,       // the key is typed at the caret, over the selection if there is one
        TypeOverAll // the key replaces the whole text
    };

    bool setText = false; // replace the text with `text` and put the caret after `caret` characters
    QString text;
    int caret = 0;
    Key key = Key::Discard;
    bool beep = false;

    static NEditOutcome discard() { return {}; }
    static NEditOutcome discardWithBeep();
    static NEditOutcome type(Key how = Key::Type);
    static NEditOutcome replace(const QString &text, int caret, Key then = Key::Discard);

    friend bool operator==(const NEditOutcome &, const NEditOutcome &) = default;
};

// Decides one typed character `key` (Backspace is '\b', Enter '\r').
NEditOutcome NEditFilterKey(const NEditInput &input, QChar key, const NEditSettings &settings);
