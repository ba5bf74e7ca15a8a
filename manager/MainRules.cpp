#include "MainRules.h"

#include "platform/Registry.h"

#include <QFileInfo>

namespace manager {
namespace {

// A missing or non-integer value takes its default, written back so the other programs see it.
int readOrWriteBack(platform::TRegistry &registry, const QString &name, int fallback)
{
    if (const std::optional<int> stored = registry.ReadInteger(name))
        return *stored;
    registry.WriteInteger(name, fallback);
    return fallback;
}

} // namespace

ComValues readComValues(platform::TRegistry &registry)
{
    ComValues values;
    if (registry.OpenKey(CommKey, true)) {
        values.ComP = readOrWriteBack(registry, QStringLiteral("ComPort"), 1);
        values.ComSpeed = readOrWriteBack(registry, QStringLiteral("ComSpeed"), 115200);
        values.RcvMode = readOrWriteBack(registry, QStringLiteral("RcvMode"), 1);
        values.WrMode = readOrWriteBack(registry, QStringLiteral("WrMode"), 1);
        registry.CloseKey();
    }
    values.ComSpeed = usableSpeed(values.ComSpeed);
    values.ComP = usablePortNumber(values.ComP);
    return values;
}

int usableSpeed(int stored)
{
    return stored == 460800 ? 460800 : 115200;
}

int usablePortNumber(int stored)
{
    return stored < 1 || stored > 9 ? 1 : stored;
}

QString comPortName(int portNumber)
{
    return QStringLiteral("COM%1").arg(portNumber);
}

QString withTrailingSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString folderOf(const QString &filePath)
{
    return withTrailingSlash(QFileInfo(filePath).path());
}

SendValues readSendValues(platform::TRegistry &registry)
{
    SendValues values;
    if (!registry.OpenKey(AppKey, true))
        return values;
    values.SendFolder =
        withTrailingSlash(registry.ReadString(QStringLiteral("SendFolder")).value_or(QString()));
    values.SendFile = registry.ReadString(QStringLiteral("SendFile")).value_or(QString());
    registry.CloseKey();
    return values;
}

bool writeSendValues(platform::TRegistry &registry, const SendValues &values)
{
    if (!registry.OpenKey(AppKey, true))
        return false;
    const bool written = registry.WriteString(QStringLiteral("SendFile"), values.SendFile) &&
                         registry.WriteString(QStringLiteral("SendFolder"), values.SendFolder);
    registry.CloseKey();
    return written;
}

SendDialogStart prepareSendDialog(const SendValues &values, bool sendFileExists)
{
    SendDialogStart start;
    if (!values.SendFile.isEmpty() && sendFileExists) {
        const QFileInfo file(values.SendFile);
        start.fileName = file.fileName();
        start.folder = folderOf(values.SendFile);
        return start;
    }
    start.forgetSendFile = !values.SendFile.isEmpty();
    start.folder = values.SendFolder;
    return start;
}

QString dialogStartPath(const SendDialogStart &start)
{
    if (start.fileName.isEmpty())
        return start.folder;
    return withTrailingSlash(start.folder) + start.fileName;
}

} // namespace manager
