#pragma once

// The rules of the job page's field edits, apart from the widgets: byte widths of the fixed fields,
// the key filters of the text edits (also run on pasted and input-method text), the file names a
// job accepts, and the checks and consequences of the item's limits, size, type and input method.

#include "jobs/DataType.h"

#include <QChar>
#include <QString>

#include <functional>
#include <optional>

namespace jobs {

// Byte widths of the fixed text fields.
inline constexpr int GyNameBytes = 15;
inline constexpr int KNameBytes = 20;
inline constexpr int DefaultDatBytes = 64;
inline constexpr int ChkStrBytes = 60;
inline constexpr int FileNameBytes = 12;

// What an edit shows after a refused change: the stored text, the caret after `caret` characters.
struct EditRevert {
    QString text;
    int caret = 0;
    friend bool operator==(const EditRevert &, const EditRevert &) = default;
};

// The revert rule of the text edits, for a change of stored into text that left the caret at
// `caret`: the stored text back, the caret where the refused text began (p - 1 for one character
// typed; for a deletion one place before the caret, not below 0), not beyond the stored text.
EditRevert revertEdit(const QString &stored, const QString &text, int caret);

// A change of a fixed field: refused (reverted) when the new text exceeds maxBytes.
std::optional<EditRevert> byteLimitRefusal(const QString &stored, const QString &text, int caret,
                                           int maxBytes);

// One typed character given the text and the caret (characters before it): the character to type
// (possibly upper-cased), or nothing when it is refused with a beep.
using KeyRule = std::function<std::optional<QChar>(const QString &text, int caret, QChar key)>;

// A change of an edit from before to after, seen as characters typed at one place: every inserted
// character goes through rule as if typed, one at a time. Deleting always passes.
struct TypedChange {
    bool accepted = true;
    QString text;  // accepted: the text with the characters as the rule typed them; else before
    int caret = 0; // after the last typed character, or where the change began when refused
};
TypedChange typeThrough(const QString &before, const QString &after, const KeyRule &rule);

// Key filters.
// The save file name (8.3 with up to four "#" and "*" placeholders).
std::optional<QChar> FNameKey(const QString &text, int caret, QChar key);
// The editor's file-name filter (8.3, letters, digits, "-", "_", ".") as a key rule: the job page's
// and the add-job dialog's program and receive names.
std::optional<QChar> AddGyNameKey(const QString &text, int caret, QChar key);
// The default value text of a type letter.
std::optional<QChar> DefaultDatKey(QChar typeLetter, QChar key);
// Digits only (AI codes).
std::optional<QChar> DigitKey(QChar key);

// Extension of a file name: from its last "." on, with the point; empty without a point.
QString extensionOf(const QString &name);

// The job page's file names.
bool PNameAccepted(const QString &text);
bool RNameAccepted(const QString &text);
bool FNameAccepted(const QString &text);

// The add-job dialog's file names; nothing when accepted, else where the caret goes.
std::optional<int> AddGyRNameRefusal(const QString &text, int caret, const QString &stored);
bool AddGyFNameAccepted(const QString &text);
bool AddGyPNameAccepted(const QString &text);

// A default value text leaving its edit: dates and times need their exact form.
bool DefaultDatAccepted(QChar typeLetter, const QString &text);

// A number for the numeric type letter (B, C, a, c digits; b a signed decimal): a default kept
// across a change to that type.
bool isNumberFor(QChar typeLetter, const QString &text);

// A message box of the job page: text and caption.
struct FieldMessage {
    QString text;
    QString caption;
    friend bool operator==(const FieldMessage &, const FieldMessage &) = default;
};

// "横倍" (double width) chosen: the refusal of the item's type, when its length or maximum is above
// what the terminal can show twice as wide.
std::optional<FieldMessage> DoubleWidthFault(QChar typeLetter, bool modeJ, const QString &maxText,
                                             const QString &lenText);

// The length typed into KDLenNE: the value stored (1 when empty), cut to 8 or 7 for a double-width
// number of type a, b or c.
int KDLenValue(const QString &text, QChar typeLetter, bool doubleWidth);

// The maximum typed into KDMaxNE: refused with a message when above 90 at double width or above
// the length for the string types.
std::optional<FieldMessage> KDMaxFault(QChar typeLetter, bool doubleWidth, const QString &maxText,
                                       const QString &lenText, bool saveFlag);

// The minimum typed into KDMinNE compared with the maximum shown.
std::optional<FieldMessage> KDMinFault(QChar typeLetter, const QString &minText, const QString &maxText);

// An input method chosen: the refusal for a type that takes no barcode (mode J takes any).
std::optional<FieldMessage> InputModeFault(QChar modeLetter, int typeIndex, int inputIndex);

// A data type chosen: the message when the input method must leave barcode input, and the
// method it becomes; nothing when it stays.
struct TypeInputChange {
    FieldMessage message;
    int inputMode = 0;
};
std::optional<TypeInputChange> TypeInputConsequence(QChar modeLetter, int typeIndex, int inputMode);

// Unchecking master use: what the item keeps of its master reference. The masters' use counts are
// counted again from the set's items.
void ReleaseMaster(TKoData &item, TSetData &set);

} // namespace jobs
