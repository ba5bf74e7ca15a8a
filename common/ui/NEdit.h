#pragma once

#include "common/NEditFilter.h"
#include "common/ui/FilteredLineEdit.h"

// The numeric edit of every form: digits only, an optional sign that is toggled rather than
// typed, an optional decimal point, a digit budget, no superfluous leading zeros, and a value
// range tested before a key is accepted, with a beep when a key would leave it.
//
// Every typed character goes through NEditFilterKey; so does every character of a paste (Ctrl+V,
// Shift+Insert, the context menu, the middle button) and of committed input-method text, one at a
// time as if typed. Text set by the program is taken as it is. Enter is swallowed: it neither
// changes the text nor reaches the dialog's default button. Drops are not accepted.
class TNEdit : public FilteredLineEdit {
    Q_OBJECT

public:
    enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

    explicit TNEdit(QWidget *parent = nullptr);

    bool ZeroDisplay() const { return settings_.ZeroDisplay; }
    bool CanNegative() const { return settings_.CanNegative; }
    bool CanDot() const { return settings_.CanDot; }
    int MaxDegits() const { return settings_.MaxDegits; }
    int MaxValue() const { return settings_.MaxValue; }
    int MinValue() const { return settings_.MinValue; }
    TAlignment Alignment() const { return alignment_; }
    bool AutoSelect() const { return autoSelect_; }

    void SetZeroDisplay(bool on) { settings_.ZeroDisplay = on; }
    void SetCanNegative(bool on) { settings_.CanNegative = on; }
    void SetCanDot(bool on) { settings_.CanDot = on; }
    // Out-of-range values are ignored and the old value stays: MaxDegits takes 1 to 12, the
    // limits take a negative value only while CanNegative is on.
    void SetMaxDegits(int value) { settings_.setMaxDegits(value); }
    void SetMaxValue(int value) { settings_.setMaxValue(value); }
    void SetMinValue(int value) { settings_.setMinValue(value); }
    void SetAlignment(TAlignment alignment);
    // Select the whole text whenever the control gains the focus.
    void SetAutoSelect(bool on) { autoSelect_ = on; }

signals:
    // A character that survived the filter, before the control types it. A handler (connected
    // directly, never queued) may replace it, or set it to the null character to drop it. Backspace
    // arrives as '\b'; dropped keys, Enter and non-character keys do not arrive.
    void KeyPress(QChar &key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    // One character at a time, as if typed.
    void typeText(const QString &text) override;

private:
    // Runs one character through the filter and applies the outcome.
    void typeCharacter(QChar key);
    int caretForFilter() const;

    NEditSettings settings_;
    TAlignment alignment_ = TAlignment::taRightJustify;
    bool autoSelect_ = true;
};
