#include "SetComParaRules.h"

#include "comm/CorlissRules.h"
#include "platform/PosixSerialPort.h"
#include "platform/Registry.h"

namespace comm {

namespace {

constexpr int PortCount = 9;
constexpr int SlowSpeed = 115200;
constexpr int FastSpeed = 460800;

} // namespace

QStringList comPortItems()
{
    QStringList items;
    for (int n = 1; n <= PortCount; ++n)
        items << comPortName(n);
    return items;
}

QStringList comSpeedItems()
{
    return {QStringLiteral("115.2kbps"), QStringLiteral("460.8kbps")};
}

QStringList writeModeItems()
{
    return {QStringLiteral("上書き"), QStringLiteral("追加")};
}

QString comPortName(int portNumber)
{
    return QStringLiteral("COM%1").arg(portNumber);
}

int speedOfIndex(int speedIndex)
{
    return speedIndex == 1 ? FastSpeed : SlowSpeed;
}

ComControlState controlsFor(const ComConditions &conditions)
{
    ComControlState controls;
    controls.portIndex = conditions.ComP >= 1 && conditions.ComP <= PortCount ? conditions.ComP - 1 : 0;
    controls.speedIndex = conditions.ComSpeed == FastSpeed ? 1 : 0;
    controls.continuous = conditions.RcvMode == 1;
    controls.writeModeIndex = conditions.WrMode == 1 ? 1 : 0;
    return controls;
}

ComConditions conditionsFor(const ComControlState &controls)
{
    ComConditions conditions;
    // An unselected list (-1) must not become port 0, which no transfer could open.
    conditions.ComP = controls.portIndex >= 0 && controls.portIndex < PortCount ? controls.portIndex + 1 : 1;
    conditions.ComSpeed = speedOfIndex(controls.speedIndex);
    conditions.RcvMode = controls.continuous ? 1 : 0;
    conditions.WrMode = controls.writeModeIndex == 1 ? 1 : 0;
    conditions.ComPort = comPortName(conditions.ComP);
    return conditions;
}

PortCheck checkPort(int portNumber, int speed, platform::LineControl *control)
{
    platform::PortOpenError error = platform::PortOpenError::None;
    const QString device = platform::serialDevicePath(comPortName(portNumber));
    if (device.isEmpty())
        return PortCheck::PortUnusable;
    std::unique_ptr<platform::SerialPort> port = platform::openSerialDevice(device, speed, error, control);
    if (port) {
        port.reset(); // closed at once: a transfer opens it again when it starts
        return PortCheck::Usable;
    }
    switch (error) {
    case platform::PortOpenError::SpeedRefused:
    case platform::PortOpenError::LineRefused:
        return PortCheck::LineRefused;
    case platform::PortOpenError::None:
    case platform::PortOpenError::NoDevice:
    case platform::PortOpenError::InUse:
    case platform::PortOpenError::Failed:
        break;
    }
    return PortCheck::PortUnusable;
}

QString portUnusableMessage(const QString &portName)
{
    return portName + QStringLiteral(" は既に使用されているか") + QStringLiteral("\r\n") +
           QStringLiteral("使用不可の状態です。") + QStringLiteral("\r\n") +
           QStringLiteral("通信ポートを変更してください。");
}

QString speedRefusedMessage(int portNumber)
{
    return QStringLiteral("通信ポートCOM%1").arg(portNumber) + QStringLiteral("の通信スピードは") +
           QStringLiteral("\r\n") + QStringLiteral("460.8kbpsの設定ができません。");
}

QString lineSettingsFailedMessage()
{
    return QStringLiteral("通信設定がエラーになりました。\r\n通信ポートを変更してください。");
}

QString portCheckMessage(PortCheck result, int portNumber, int speed)
{
    switch (result) {
    case PortCheck::Usable:
        break;
    case PortCheck::PortUnusable:
        return portUnusableMessage(comPortName(portNumber));
    case PortCheck::LineRefused:
        return speed == FastSpeed ? speedRefusedMessage(portNumber) : lineSettingsFailedMessage();
    }
    return {};
}

QString storeFailedMessage()
{
    return QStringLiteral("通信条件を保存できませんでした。");
}

platform::MsgStyle conditionsMessageStyle()
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Exclamation;
    style.modality = platform::MsgModality::Task;
    style.foreground = true;
    return style;
}

bool storeConditions(platform::TRegistry &registry, const ComConditions &conditions)
{
    // From the root: the registry object may still have a key open from an earlier store.
    const bool stored = registry.OpenKey(QStringLiteral("\\") + commSettingsKey(), true) &&
                        registry.WriteInteger(QStringLiteral("ComPort"), conditions.ComP) &&
                        registry.WriteInteger(QStringLiteral("ComSpeed"), conditions.ComSpeed) &&
                        registry.WriteInteger(QStringLiteral("RcvMode"), conditions.RcvMode) &&
                        registry.WriteInteger(QStringLiteral("WrMode"), conditions.WrMode);
    registry.CloseKey();
    return stored;
}

} // namespace comm
