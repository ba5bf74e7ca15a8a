#include "CorlissRules.h"

#include "platform/WindowPlacement.h"

#include <algorithm>

#include "comm/SetFolderRules.h"
#include "comm/YmTxFileType.h"
#include "platform/Cp932.h"
#include "platform/PrivateFolder.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <unistd.h>

namespace comm {

QString commSettingsKey()
{
    return QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll");
}

QString portSubkey(const QString &portName)
{
    return commSettingsKey() + QLatin1Char('\\') + portName;
}

QString libraryCaption()
{
    return QStringLiteral("Corliss通信");
}

QString portOpenFailureLine(const QString &portName, const platform::PortOpenFailure &failure)
{
    const QString variable = QStringLiteral("HARBROOK_PORT_") + portName;
    QString source;
    switch (failure.device.source) {
    case platform::DeviceSource::None:
        return QStringLiteral("%1: no device for this port: %2").arg(portName, failure.reason);
    case platform::DeviceSource::Environment:
        source = QStringLiteral("set by ") + variable;
        break;
    case platform::DeviceSource::Store:
        source = QStringLiteral("the value Device under %1 in the settings store").arg(portSubkey(portName));
        break;
    case platform::DeviceSource::Default:
        source = QStringLiteral("the default for %1; %2 or the store value Device names another")
                     .arg(portName, variable);
        break;
    }
    return QStringLiteral("%1: cannot open %2 (%3): %4")
        .arg(portName, failure.device.path, source, failure.reason);
}

std::optional<int> portNumber(const QByteArray &portName)
{
    if (portName.size() != 4 && portName.size() != 5)
        return std::nullopt;
    if (portName.left(3).toUpper() != "COM")
        return std::nullopt;
    int number = 0;
    for (const char c : portName.mid(3)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > 9)
        return std::nullopt;
    return number;
}

bool isSupportedSpeed(int speed)
{
    constexpr std::array<int, 6> speeds{9600, 19200, 38400, 57600, 115200, 460800};
    for (const int s : speeds) {
        if (s == speed)
            return true;
    }
    return false;
}

int transferGuard(bool ready, int handle, int openHandle, bool busy)
{
    if (!ready)
        return 4;
    if (handle != openHandle)
        return 3;
    if (handle == -1)
        return 1;
    if (busy)
        return 4;
    return 0;
}

std::optional<QString> resultText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("正常終了");
    case 1:
    case 2:
        return std::nullopt;
    case 3:
        return QStringLiteral("指定通信ハンドル不良");
    case 4:
        return QStringLiteral("実行エラー（通信中）");
    case 5:
        return QStringLiteral("指定フォルダが存在しない");
    case 6:
        return QStringLiteral("送信ファイルが無い");
    case 7:
        return QStringLiteral("ﾌｨｰﾙﾄﾞﾌｧｲﾙ(ﾃﾞｰﾀ)ｴﾗｰ");
    case 8:
        return QStringLiteral("ＢＨＴファイル名が不良");
    case 10:
        return QStringLiteral("送信データエラー");
    case 11:
        return QStringLiteral("ディスク空き容量不足");
    case 12:
        return QStringLiteral("ファイルアクセスエラー");
    case 13:
        return QStringLiteral("タイムアウト");
    case 14:
        return QStringLiteral("リトライエラー");
    case 15:
        return QStringLiteral("受信フィールドエラー");
    case 16:
        return QStringLiteral("受信データエラー");
    case 17:
        return QStringLiteral("受信バッファ読み取りエラー");
    case 18:
        return QStringLiteral("送信バッファ書き込みエラー");
    default:
        return QStringLiteral("通信エラー発生");
    }
}

QString operationCaption(int kind)
{
    switch (kind) {
    case 0:
        return QStringLiteral("プログラム転送");
    case 1:
        return QStringLiteral("業務設定データ送信");
    case 2:
        return QStringLiteral("業務設定データ受信");
    case 3:
        return QStringLiteral("マスターファイル送信");
    case 4:
        return QStringLiteral("マスターファイル受信");
    case 5:
        return QStringLiteral("データ送信");
    default:
        return QStringLiteral("データ受信");
    }
}

platform::MsgStyle resultStyle(int code)
{
    platform::MsgStyle style;
    style.foreground = true;
    if (code == 0) {
        style.icon = platform::MsgIcon::Information;
        style.modality = platform::MsgModality::Task;
    } else {
        style.icon = platform::MsgIcon::Stop;
    }
    return style;
}

QString logFileName(const QString &logFolder, const QString &portName, int logFileMode, const QDate &date)
{
    const QString format = logFileMode == 0   ? QStringLiteral("_yyyy_MM_dd")
                           : logFileMode == 2 ? QStringLiteral("_yyyy")
                                              : QStringLiteral("_yyyy_MM");
    return logFolder + QStringLiteral("CRL") + portName + date.toString(format) + QStringLiteral(".log");
}

namespace {

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

TComModeSettings readModeSettings(platform::TRegistry &registry)
{
    TComModeSettings s;
    if (!registry.OpenKeyReadOnly(commSettingsKey()))
        return s;
    s.DspMode = registry.ReadBool(QStringLiteral("DspMode")).value_or(s.DspMode);
    s.CsvRcvDat = registry.ReadBool(QStringLiteral("CsvRcvDat")).value_or(s.CsvRcvDat);
    s.LastSpace = registry.ReadBool(QStringLiteral("LastSpace")).value_or(s.LastSpace);
    s.DblQuoted = registry.ReadBool(QStringLiteral("DblQuoted")).value_or(s.DblQuoted);
    s.AddZero = registry.ReadBool(QStringLiteral("AddZero")).value_or(s.AddZero);
    s.LogEnable = registry.ReadBool(QStringLiteral("LogEnable")).value_or(s.LogEnable);
    s.LogFileMode = registry.ReadInteger(QStringLiteral("LogFileMode")).value_or(s.LogFileMode);
    s.LogFolder = registry.ReadString(QStringLiteral("LogFolder")).value_or(QString());
    s.DefRxFolder = registry.ReadString(QStringLiteral("DefRxFolder")).value_or(QString());
    s.DefTxFolder = registry.ReadString(QStringLiteral("DefTxFolder")).value_or(QString());
    registry.CloseKey();

    if (!isFolder(s.LogFolder))
        s.LogFolder.clear();
    for (QString *folder : {&s.DefRxFolder, &s.DefTxFolder}) {
        if (isNetworkFolder(*folder) || !isFolder(*folder))
            folder->clear();
    }
    s.LogFolder = withSeparator(s.LogFolder);
    s.DefRxFolder = withSeparator(s.DefRxFolder);
    s.DefTxFolder = withSeparator(s.DefTxFolder);
    return s;
}

std::optional<QString> incompleteSettingsMessage(const TComModeSettings &settings)
{
    if (settings.LogEnable && settings.LogFolder.isEmpty())
        return QStringLiteral("通信履歴保存フォルダを設定してください。");
    if (settings.DefRxFolder.isEmpty())
        return QStringLiteral("受信デフォルトフォルダを設定してください。");
    if (settings.DefTxFolder.isEmpty())
        return QStringLiteral("送信デフォルトフォルダを設定してください。");
    return std::nullopt;
}

QString withSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString folderPart(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString fileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString extensionOf(const QString &name)
{
    const QString file = fileNamePart(name);
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : file.mid(dot);
}

QString withExtension(const QString &path, const QString &extension)
{
    return path.left(path.size() - extensionOf(path).size()) + extension;
}

QString findFldFile(const QString &pcFile)
{
    if (fileNamePart(pcFile).isEmpty())
        return {};
    const QString exact = withExtension(pcFile, QStringLiteral(".fld"));
    if (QFileInfo(exact).isFile())
        return exact;
    const QString wanted = fileNamePart(exact);
    const QString folder = folderPart(exact);
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder + name;
    }
    return {};
}

QString readFldFile(const QString &pcFile)
{
    const QString path = findFldFile(pcFile);
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray line = file.readLine(64 * 1024);
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    return trimBlanks(platform::cp932::decode(line));
}

bool isValidBhtName(const QString &bhtName)
{
    if (bhtName.isEmpty() || platform::cp932::byteLength(bhtName) > 12)
        return false;
    return platform::cp932::byteLength(extensionOf(bhtName)) <= 4;
}

bool sendsWithoutFieldList(const QString &bhtName)
{
    // Exactly the files the engine sends as binary: any other would be refused there for want of
    // a field list, or need one it never uses.
    return sendsAsBinary(upperAscii(extensionOf(bhtName)));
}

namespace {

// Terminal name and field list, the checks both ways of choosing the file share.
void planTerminalSide(SendPlan &plan, const QString &bhtName, const QString &pcFile, bool preferGivenFields)
{
    plan.bhtFile = bhtName.isEmpty() ? upperAscii(fileNamePart(pcFile)) : bhtName;
    if (!isValidBhtName(plan.bhtFile)) {
        plan.code = 8;
        return;
    }
    if (sendsWithoutFieldList(plan.bhtFile)) {
        plan.fieldList.clear();
        return;
    }
    if (!preferGivenFields || plan.fieldList.isEmpty())
        plan.fieldList = readFldFile(pcFile);
    if (plan.fieldList.isEmpty())
        plan.code = 7;
}

} // namespace

SendPlan planSend(const SendRequest &request)
{
    SendPlan plan;
    plan.txFile = request.pcPath;
    plan.fieldList = trimBlanks(request.fieldList);
    const QString bhtName = upperAscii(request.bhtName);
    QString folder = folderPart(request.pcPath);
    if (fileNamePart(request.pcPath).isEmpty()) {
        plan.chooseFile = true;
        plan.dialogFolder = folder.isEmpty() ? withSeparator(request.defTxFolder) : folder;
        return plan;
    }
    if (folder.isEmpty()) {
        folder = withSeparator(request.defTxFolder);
        plan.txFile = folder + request.pcPath;
    }
    if (!isFolder(folder)) {
        plan.code = 5;
        return plan;
    }
    const QFileInfo file(plan.txFile);
    if (!file.exists() || file.isDir()) {
        plan.code = 6;
        return plan;
    }
    planTerminalSide(plan, bhtName, plan.txFile, true);
    if (plan.code != 0)
        return plan;
    QFile readable(plan.txFile);
    if (!readable.open(QIODevice::ReadOnly))
        plan.code = 12;
    return plan;
}

SendPlan planChosenFile(const QString &chosen, const QString &bhtName)
{
    SendPlan plan;
    plan.txFile = chosen;
    planTerminalSide(plan, upperAscii(bhtName), chosen, false);
    return plan;
}

QString transferTempFolder()
{
    const QString folder = platform::privateTempFolder(QStringLiteral("Dunmere-%1").arg(::geteuid()));
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/');
}

QPoint progressWindowPosition(const std::optional<QPoint> &stored, const QRect &owner, const QSize &size,
                              const QRect &screen)
{
    if (stored)
        return *stored;
    return windowplacement::centredOver(size, owner.isValid() ? owner : screen, screen);
}

} // namespace comm
