#pragma once

#include <QString>

// The text of a sheet's number, exactly as numberText (ValueText.h) writes it, with the numbers a
// sheet is mostly made of (whole numbers, and amounts in hundredths, which an RK record stores as
// such) written without the general conversion: its fifteen-digit rounding is most of the time
// the reader spends on a sheet of numbers.
namespace masters::tables::xls {

QString sheetNumberText(double value);

} // namespace masters::tables::xls
