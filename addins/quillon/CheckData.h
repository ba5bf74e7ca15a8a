#pragma once

#include "Settings.h"

#include <QString>

// The checks run before the parameters are handed back: the first failing rule names its code,
// message, page and the control to focus.
namespace quillon {

struct CheckFailure {
    int code = 0; // 0: every rule passed
    QString message;
    int page = 0;  // 1 データ区分, 2 照合条件, 3 データ保存
    QString focus; // object name of the control to focus
    bool passed() const { return code == 0; }
};

// One barcode reading setting: the first failing message, or empty text.
QString CheckBarDat(const TBarDat &bar, const ModelLimits &limits);

// One save row by its code and what its edits show: 0, or 51 (start empty), 52 (start 0),
// 53 (length empty), 54 (length 0). The codes of fixed values are not tested.
int CheckSaveFld(char code, const SaveRowEdits &edits);

// The whole form. The save rows' codes are taken from the records as the save page shows them
// for the current data kind.
CheckFailure CheckData(const QuillonSettings &s, const ModelLimits &limits);

} // namespace quillon
