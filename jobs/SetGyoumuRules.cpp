#include "SetGyoumuRules.h"

#include "common/RegistryKeys.h"
#include "platform/Registry.h"

#include <QFileInfo>

namespace jobs {

ToolButtonStates toolButtonStates(bool open, EditorPage page, QChar modeLetter)
{
    ToolButtonStates s;
    s.SGDatTBtn = open;
    if (!open)
        return s;
    s.SaveTBtn = true;
    s.CloseTBtn = true;
    if (page != EditorPage::Job)
        return s;
    s.GyNewBtn = true;
    s.GyDelBtn = true;
    const QChar mode = modeLetter;
    s.SDataTBtn = mode == QLatin1Char('A') || mode == QLatin1Char('B');
    s.GrNewBtn = s.GrDelBtn = mode == QLatin1Char('A') || mode == QLatin1Char('B');
    s.DaNewBtn = s.DaDelBtn = mode == QLatin1Char('A') || mode == QLatin1Char('J');
    return s;
}

QString setCaption(const QString &path)
{
    return EditorCaption + QLatin1Char('(') + QFileInfo(path).fileName() + QLatin1Char(')');
}

namespace {

// The extension with its point, as the name part holds it; empty when there is none.
QString extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype point = name.lastIndexOf(QLatin1Char('.'));
    return point < 0 ? QString() : name.mid(point);
}

} // namespace

bool isBnfName(const QString &path)
{
    return extensionOf(path).compare(QLatin1String(".BNF"), Qt::CaseInsensitive) == 0;
}

QString bnfSaveName(const QString &chosen)
{
    if (isBnfName(chosen))
        return chosen;
    const QString extension = extensionOf(chosen);
    return chosen.left(chosen.size() - extension.size()) + QStringLiteral(".bnf");
}

BnfLocation readBnfLocation(platform::TRegistry &registry)
{
    BnfLocation location;
    if (!registry.OpenKey(ManagerSettingsKey, true))
        return location;
    location.BnfFolder = registry.ReadString(QStringLiteral("BnfFolder")).value_or(QString());
    if (!location.BnfFolder.isEmpty() && !location.BnfFolder.endsWith(QLatin1Char('/')))
        location.BnfFolder += QLatin1Char('/');
    location.BnfFile = registry.ReadString(QStringLiteral("BnfFile")).value_or(QString());
    registry.CloseKey();
    return location;
}

bool writeBnfLocation(platform::TRegistry &registry, const BnfLocation &location)
{
    if (!registry.OpenKey(ManagerSettingsKey, true))
        return false;
    const bool written = registry.WriteString(QStringLiteral("BnfFolder"), location.BnfFolder) &&
                         registry.WriteString(QStringLiteral("BnfFile"), location.BnfFile);
    registry.CloseKey();
    return written;
}

std::optional<QString> receivedFilePath(const QString &folder, const QString &receivedName)
{
    if (receivedName.isEmpty() || receivedName == QLatin1String(".") || receivedName == QLatin1String(".."))
        return std::nullopt;
    for (const QChar c : receivedName) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return std::nullopt;
    }
    QString base = folder;
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base + receivedName;
}

} // namespace jobs
