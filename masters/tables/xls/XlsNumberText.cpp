#include "masters/tables/xls/XlsNumberText.h"

#include "masters/tables/ValueText.h"

#include <cmath>
#include <cstdlib>

namespace masters::tables::xls {

QString sheetNumberText(double value)
{
    // Below 1E13 hundredths have at most fifteen digits, so rounding the nearest double to fifteen
    // digits gives them back exactly.
    if (!std::isfinite(value) || std::fabs(value) >= 1e13)
        return numberText(value);
    const long long hundredths = std::llround(value * 100);
    if (double(hundredths) / 100 != value)
        return numberText(value);
    if (hundredths % 100 == 0)
        return QString::number(hundredths / 100);
    const long long magnitude = std::llabs(hundredths);
    QString text = QString::number(magnitude / 100) + u'.';
    const int fraction = int(magnitude % 100);
    text += QChar(u'0' + fraction / 10);
    if (fraction % 10 != 0)
        text += QChar(u'0' + fraction % 10);
    return hundredths < 0 ? u'-' + text : text;
}

} // namespace masters::tables::xls
