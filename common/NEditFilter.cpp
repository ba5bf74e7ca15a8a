#include "NEditFilter.h"

#include <cstdint>
#include <optional>

namespace {

constexpr std::int64_t IntLimit = 2147483647;

bool startsWithSign(const QString &t)
{
    return t.startsWith(u'+') || t.startsWith(u'-');
}

// The digit budget: every character except the first "-" and the first "+".
int budgetLength(const QString &t)
{
    return int(t.size()) - (t.contains(u'-') ? 1 : 0) - (t.contains(u'+') ? 1 : 0);
}

// An optional sign and at least one ASCII digit, nothing else; empty when it is not one or
// does not fit.
std::optional<std::int64_t> parseInteger(const QString &c)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < c.size() && (c[i] == u'+' || c[i] == u'-')) {
        negative = c[i] == u'-';
        ++i;
    }
    if (i == c.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < c.size(); ++i) {
        const char16_t ch = c[i].unicode();
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        if (value > (INT64_MAX - 9) / 10)
            return std::nullopt;
        value = value * 10 + (ch - u'0');
    }
    return negative ? -value : value;
}

// The state of one keystroke while the rules run over it.
struct Work {
    QString t;            // the text as the rules have left it
    int s = 0;            // the caret
    bool set = false;     // a rule replaced the text or moved the caret
    bool cleared = false; // the text was emptied so that the key replaces it; undone if the key is dropped
    bool keep = true;     // the key is still to be typed
    bool beep = false;

    void setText(const QString &text, int caret)
    {
        t = text;
        s = caret;
        set = true;
    }
    void clearForKey()
    {
        t.clear();
        s = 0;
        cleared = true;
    }
    void drop() { keep = false; }
    void dropWithBeep()
    {
        keep = false;
        beep = true;
    }
};

// Tries the text the key would give, integer part only, against the 32-bit range and the limits.
// A text that does not read as an integer counts as `fallback`, which is out of range.
void valueCheck(Work &w, QChar key, std::int64_t fallback, const NEditSettings &st)
{
    // The key is inserted at the caret; a selection is not taken out first.
    QString c = w.t.left(w.s) + key + w.t.mid(w.s, 99);
    if (const qsizetype dot = c.indexOf(u'.'); dot >= 0)
        c.truncate(dot);
    const std::int64_t value = parseInteger(c).value_or(fallback);
    if (value < -IntLimit || value > IntLimit || value < st.MinValue || value > st.MaxValue)
        w.dropWithBeep();
}

// With a sign allowed it is always shown: a key that would be typed into an unsigned text only
// adds the "+".
void signStep(Work &w, const NEditSettings &st)
{
    if (w.keep && st.CanNegative && !startsWithSign(w.t)) {
        w.setText(u'+' + w.t, w.s + 1);
        w.drop();
    }
}

void plusKey(Work &w, const NEditSettings &st)
{
    w.drop();
    if (!st.CanNegative)
        return;
    if (w.t.isEmpty())
        w.keep = true;
    else if (w.t.startsWith(u'-'))
        w.setText(u'+' + w.t.mid(1, 99), w.s);
    else if (w.t.startsWith(u'+'))
        w.setText(w.t, w.s);
    else
        w.setText(u'+' + w.t, w.s + 1);
}

void minusKey(Work &w, const NEditSettings &st)
{
    w.drop();
    if (!st.CanNegative)
        return;
    if (w.t.isEmpty())
        w.keep = true;
    else if (w.t.startsWith(u'-'))
        w.setText(u'+' + w.t.mid(1, 99), w.s);
    else if (w.t.startsWith(u'+'))
        w.setText(u'-' + w.t.mid(1, 99), w.s);
    else
        w.setText(u'-' + w.t, w.s + 1);
}

void dotKey(Work &w, const NEditSettings &st)
{
    if (!st.CanDot) {
        w.drop();
        return;
    }
    if (w.t.isEmpty()) {
        w.setText(QStringLiteral("0."), 2);
        w.drop();
    } else if (w.t.contains(u'.')) {
        w.drop();
    } else if (w.s == 0) {
        // "0." in front of a sign would not be a number.
        const int withoutMinus = int(w.t.size()) - (w.t.contains(u'-') ? 1 : 0);
        if (!startsWithSign(w.t) && withoutMinus < st.MaxDegits)
            w.setText(QStringLiteral("0.") + w.t, 2);
        w.drop();
    }
    // Unlike the digits, the sign here does not cost the key: a kept "." follows the moved caret.
    if (st.CanNegative && !startsWithSign(w.t))
        w.setText(u'+' + w.t, w.s + 1);
}

void zeroKey(Work &w, QChar key, const NEditSettings &st)
{
    if (budgetLength(w.t) >= st.MaxDegits) {
        w.drop();
        return;
    }
    if (w.t.isEmpty()) {
        if (st.CanNegative) {
            w.setText(QStringLiteral("+0"), 2);
            w.drop();
        }
        return;
    }
    const QString &t = w.t;
    if (!st.ZeroDisplay) {
        const bool leadingZero = t.startsWith(u'0') && w.s < 2;
        const bool inFront = !t.startsWith(u'.') && w.s == 0;
        const bool afterSignZero = startsWithSign(t) && t.size() > 1 && t[1] == u'0' && w.s < 3;
        if (leadingZero || inFront || afterSignZero)
            w.drop();
    }
    if (w.keep && w.s == 0 && startsWithSign(t))
        w.drop(); // nothing is typed in front of the sign
    if (w.keep && w.s > 0)
        valueCheck(w, key, 100000000000LL, st);
    signStep(w, st);
}

void digitKey(Work &w, QChar key, const NEditSettings &st)
{
    if (!st.ZeroDisplay && w.t == u"0")
        w.clearForKey(); // the digit replaces the lone zero
    if (budgetLength(w.t) >= st.MaxDegits) {
        w.drop();
        return;
    }
    if (w.t.isEmpty()) {
        const int value = key.unicode() - u'0';
        if (value < st.MinValue || value > st.MaxValue) {
            w.dropWithBeep();
        } else if (st.CanNegative) {
            w.setText(QStringLiteral("+") + key, 2);
            w.drop();
        }
        return;
    }
    valueCheck(w, key, 1000000000000LL, st);
    signStep(w, st);
}

} // namespace

bool NEditSettings::setMaxDegits(int value)
{
    if (value < 1 || value > 12)
        return false;
    MaxDegits = value;
    return true;
}

bool NEditSettings::setMaxValue(int value)
{
    if (value < 0 && !CanNegative)
        return false;
    MaxValue = value;
    return true;
}

bool NEditSettings::setMinValue(int value)
{
    if (value < 0 && !CanNegative)
        return false;
    MinValue = value;
    return true;
}

NEditOutcome NEditOutcome::discardWithBeep()
{
    NEditOutcome o;
    o.beep = true;
    return o;
}

NEditOutcome NEditOutcome::type(Key how)
{
    NEditOutcome o;
    o.key = how;
    return o;
}

NEditOutcome NEditOutcome::replace(const QString &text, int caret, Key then)
{
    NEditOutcome o;
    o.setText = true;
    o.text = text;
    o.caret = caret;
    o.key = then;
    return o;
}

NEditOutcome NEditFilterKey(const NEditInput &input, QChar key, const NEditSettings &settings)
{
    // The control is multi-line underneath on some platforms; Enter must never break the line.
    if (input.readOnly || key == u'\r')
        return NEditOutcome::discard();
    if (key == u'\b')
        return NEditOutcome::type();
    if (!QStringView(u"+-.0123456789").contains(key))
        return NEditOutcome::discard();

    Work w;
    w.t = input.text;
    w.s = qBound(0, input.caret, int(input.text.size()));
    // A key typed over the whole text is judged as on an empty control; when it is refused, the
    // text stays as it was.
    if (input.allSelected && !w.t.isEmpty())
        w.clearForKey();

    switch (key.unicode()) {
    case u'+':
        plusKey(w, settings);
        break;
    case u'-':
        minusKey(w, settings);
        break;
    case u'.':
        dotKey(w, settings);
        break;
    case u'0':
        zeroKey(w, key, settings);
        break;
    default:
        digitKey(w, key, settings);
        break;
    }

    if (w.set) {
        // The control cannot hold more; cutting the text would lose digits.
        if (w.t.size() > NEditMaxLength)
            return NEditOutcome::discard();
        NEditOutcome o =
            NEditOutcome::replace(w.t, w.s, w.keep ? NEditOutcome::Key::Type : NEditOutcome::Key::Discard);
        o.beep = w.beep;
        return o;
    }
    if (w.keep)
        return NEditOutcome::type(w.cleared ? NEditOutcome::Key::TypeOverAll : NEditOutcome::Key::Type);
    return w.beep ? NEditOutcome::discardWithBeep() : NEditOutcome::discard();
}
