#pragma once

// The field information dialog's rules without its widgets.

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace masters {

inline const QString FieldDialogCaption = QStringLiteral("フィールド情報設定");
inline constexpr int MaxKeyWidth = 99;
inline constexpr int MaxReferenceWidth = 100;
inline constexpr int MaxReferences = 5;

// What the dialog's edits hold: the key width, the five reference widths, and how many reference
// fields are chosen (1 to 5).
struct FieldDialogInput {
    QString key;
    std::array<QString, MaxReferences> references;
    int referenceCount = 1;
};

struct FieldDialogError {
    int field = 0; // 0 the key, 1..5 a reference field
    QString message;
};

// The widths, key first, when every shown edit holds a width in its range; else the first edit
// that does not, with its message ("参照キー" or "参照データ１"... + "桁数の入力エラーです。").
// Whatever reached an edit (typed or pasted) is checked.
std::optional<FieldDialogError> checkFieldWidths(const FieldDialogInput &input, std::vector<int> *widths);

// The edits' texts for widths already set: a width of 0 (not set) shows nothing, and the count is
// that of the reference widths (at least 1).
FieldDialogInput fieldDialogInput(const std::vector<int> &widths);

} // namespace masters
