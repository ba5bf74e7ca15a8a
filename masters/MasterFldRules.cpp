#include "MasterFldRules.h"

#include "masters/MasterEditRules.h"

#include <algorithm>

namespace masters {

std::optional<FieldDialogError> checkFieldWidths(const FieldDialogInput &input, std::vector<int> *widths)
{
    const int count = std::clamp(input.referenceCount, 1, MaxReferences);
    std::vector<int> taken;
    for (int field = 0; field <= count; ++field) {
        const QString &text = field == 0 ? input.key : input.references[field - 1];
        bool ok = false;
        const int width = text.trimmed().toInt(&ok, 10);
        const int most = field == 0 ? MaxKeyWidth : MaxReferenceWidth;
        if (!ok || width < 1 || width > most)
            return FieldDialogError{field, columnName(field + 1) + QStringLiteral("桁数の入力エラーです。")};
        taken.push_back(width);
    }
    if (widths != nullptr)
        *widths = std::move(taken);
    return std::nullopt;
}

FieldDialogInput fieldDialogInput(const std::vector<int> &widths)
{
    FieldDialogInput input;
    if (!widths.empty() && widths[0] > 0)
        input.key = QString::number(widths[0]);
    for (std::size_t i = 1; i < widths.size() && i <= MaxReferences; ++i) {
        if (widths[i] > 0)
            input.references[i - 1] = QString::number(widths[i]);
    }
    input.referenceCount = std::clamp(static_cast<int>(widths.size()) - 1, 1, MaxReferences);
    return input;
}

} // namespace masters
