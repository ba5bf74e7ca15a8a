#include "SendMstRules.h"

#include "comm/CorlissRules.h"

#include <QStringList>

namespace masters {

NameKey MfNameSEKeyPress(const QString &name, int caret, QChar key)
{
    const char16_t code = key.unicode();
    if (code == 0 || code == '\b')
        return {NameKey::Action::Pass, key};
    if (code == '\r')
        return {NameKey::Action::Swallow, QChar()};
    const NameKey refuse{NameKey::Action::Refuse, QChar()};
    if (code < 48 && code != '-' && code != '.' && code != '#' && code != '*')
        return refuse;
    if ((code >= 58 && code <= 64) || (code >= 91 && code <= 96 && code != '_') || code > 122)
        return refuse;
    if (caret == 0 &&
        ((code >= '0' && code <= '9') || code == '.' || code == '-' || code == '_' || code == '#'))
        return refuse;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const bool atEnd = caret >= name.size();
    if (code == '.') {
        if (dot >= 0 || caret > 8)
            return refuse;
    } else if (atEnd) {
        if (dot >= 0 ? name.size() - dot - 1 >= 3 : name.size() >= 8)
            return refuse;
    }
    return {NameKey::Action::Type, key.toUpper()};
}

std::optional<QString> typedName(const QString &text)
{
    QString name;
    for (const QChar c : text) {
        const NameKey outcome = MfNameSEKeyPress(name, static_cast<int>(name.size()), c);
        if (outcome.action == NameKey::Action::Refuse)
            return std::nullopt;
        if (outcome.action == NameKey::Action::Type)
            name += outcome.key;
    }
    return name;
}

bool isRefusedBhtName(const QString &name)
{
    static const QStringList refused = {
        QStringLiteral(".PD3"), QStringLiteral(".PD4"), QStringLiteral(".EX3"), QStringLiteral(".FN3"),
        QStringLiteral(".FLD"), QStringLiteral(".EXE"), QStringLiteral(".BAT"), QStringLiteral(".DLL"),
        QStringLiteral(".BNF"), QStringLiteral(".TMP"),
    };
    return refused.contains(comm::extensionOf(name).toUpper());
}

} // namespace masters
