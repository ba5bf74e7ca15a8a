#include "UnheldText.h"

#include "platform/Cp932.h"

namespace unheld {

QString refusalMessage(QStringView text)
{
    const qsizetype at = platform::cp932::firstUnheld(text);
    if (at < 0)
        return {};
    char32_t code = text[at].unicode();
    qsizetype units = 1;
    if (text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(text[at], text[at + 1]);
        units = 2;
    }
    const QString number =
        QStringLiteral("U+%1").arg(QString::number(uint(code), 16).toUpper(), 4, QLatin1Char('0'));
    // A lone surrogate cannot be shown, and a combining mark would sit on the bracket.
    const bool showable = !QChar::isSurrogate(code) && !QChar::isMark(code);
    const QString shown = showable ? QStringLiteral("「") + text.mid(at, units).toString() +
                                         QStringLiteral("」(") + number + u')'
                                   : number;
    return QStringLiteral("%1 はシフトJISで表せない文字のため入力できません。").arg(shown);
}

} // namespace unheld
