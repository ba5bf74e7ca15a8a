#pragma once

#include "Settings.h"

#include <QString>

// The checks run before Marrent saves: the whole form, and one barcode reading record.
namespace marrent {

// CheckBarDat: the first failing rule's message, empty when the record is valid.
QString CheckBarDat(const TBarDat &bar);

// The first failure of the form's checks. `rule` is the number that chooses page and control
// (its tens are the page: 1 data kind, 2 voucher kind, 3 master, 4 screen, 5 result); `control` is
// the objectName of the control to focus.
struct CheckFailure {
    int rule = 0;
    QString message;
    QString control;
    int page() const { return rule / 10; }
};

// CheckData's rules in order; nothing when every rule passes.
std::optional<CheckFailure> CheckSettings(const MarrentSettings &s, const ModelLimits &limits);

} // namespace marrent
