#include "SetComModeRules.h"

#include "comm/SetFolderRules.h"
#include "platform/Registry.h"

#include <QFileInfo>

namespace comm {

namespace {

// Typed on a keyboard of the other habit, a lone separator is as empty as no text.
bool blankFolder(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("\\") || text == QLatin1String("/");
}

} // namespace

TComModeControls controlsFromSettings(const TComModeSettings &settings)
{
    TComModeControls c;
    c.DspIndex = settings.DspMode ? 0 : 1;
    c.CsvCheck = settings.CsvRcvDat;
    c.DblQuotedChk = settings.DblQuoted;
    c.LastSpaceCheck = settings.LastSpace;
    c.AddZeroChk = settings.AddZero;
    c.LogCheck = settings.LogEnable;
    c.LogFileIndex = settings.LogFileMode >= 0 && settings.LogFileMode <= 2 ? settings.LogFileMode : 1;
    c.LogFileFolder = settings.LogFolder;
    c.RxFolder = settings.DefRxFolder;
    c.TxFolder = settings.DefTxFolder;
    return c;
}

bool modeSettingsIncomplete(const TComModeSettings &settings)
{
    return incompleteSettingsMessage(settings).has_value();
}

std::variant<ModeEntryError, TComModeSettings> settingsFromControls(const TComModeControls &controls)
{
    if (controls.LogCheck && blankFolder(controls.LogFileFolder))
        return ModeEntryError{ModeEdit::LogFileFolder,
                              QStringLiteral("通信履歴保存フォルダ名を入力してください。")};
    if (blankFolder(controls.RxFolder))
        return ModeEntryError{ModeEdit::RxFolder,
                              QStringLiteral("受信デフォルトフォルダ名を入力してください。")};
    if (blankFolder(controls.TxFolder))
        return ModeEntryError{ModeEdit::TxFolder,
                              QStringLiteral("送信デフォルトフォルダ名を入力してください。")};

    TComModeSettings s;
    s.DspMode = controls.DspIndex == 0;
    s.CsvRcvDat = controls.CsvCheck;
    s.LastSpace = controls.LastSpaceCheck;
    s.DblQuoted = controls.DblQuotedChk;
    s.AddZero = controls.AddZeroChk;
    s.LogEnable = controls.LogCheck;
    s.LogFileMode = controls.LogFileIndex;
    s.LogFolder = withSeparator(controls.LogFileFolder);
    s.DefRxFolder = withSeparator(controls.RxFolder);
    s.DefTxFolder = withSeparator(controls.TxFolder);
    return s;
}

std::optional<ModeEntryError> unusableFolder(const TComModeControls &controls, const QByteArray &mounts)
{
    const auto missing = [](const QString &folder) { return !QFileInfo(folder).isDir(); };
    if (controls.LogCheck && missing(controls.LogFileFolder))
        return ModeEntryError{ModeEdit::LogFileFolder,
                              QStringLiteral("通信履歴保存フォルダが存在しません。")};
    const struct {
        ModeEdit edit;
        const QString &folder;
        QString missingMessage;
    } transferFolders[] = {
        {ModeEdit::RxFolder, controls.RxFolder, QStringLiteral("受信デフォルトフォルダが存在しません。")},
        {ModeEdit::TxFolder, controls.TxFolder, QStringLiteral("送信デフォルトフォルダが存在しません。")},
    };
    for (const auto &f : transferFolders) {
        // The name and the mounts first: a folder on a dead network mount must not hang the dialog.
        if (isNetworkFolder(f.folder, mounts))
            return ModeEntryError{f.edit, QStringLiteral("ﾈｯﾄﾜｰｸ上のPCのﾌｫﾙﾀﾞは設定できません。")};
        if (missing(f.folder))
            return ModeEntryError{f.edit, f.missingMessage};
    }
    return std::nullopt;
}

QString storeFailureCaption()
{
    return QStringLiteral("通信モード設定");
}

QString storeFailureMessage()
{
    return QStringLiteral("通信モード設定を保存できませんでした。");
}

bool storeModeControls(platform::TRegistry &registry, const TComModeControls &controls, QString *error)
{
    const auto failed = [&] {
        if (error)
            *error = registry.errorString();
        registry.CloseKey();
        return false;
    };
    if (!registry.OpenKey(commSettingsKey(), true))
        return failed();
    const bool written = registry.WriteBool(QStringLiteral("DspMode"), controls.DspIndex == 0) &&
                         registry.WriteBool(QStringLiteral("CsvRcvDat"), controls.CsvCheck) &&
                         registry.WriteBool(QStringLiteral("LastSpace"), controls.LastSpaceCheck) &&
                         registry.WriteBool(QStringLiteral("DblQuoted"), controls.DblQuotedChk) &&
                         registry.WriteBool(QStringLiteral("AddZero"), controls.AddZeroChk) &&
                         registry.WriteBool(QStringLiteral("LogEnable"), controls.LogCheck) &&
                         registry.WriteInteger(QStringLiteral("LogFileMode"), controls.LogFileIndex) &&
                         registry.WriteString(QStringLiteral("LogFolder"), controls.LogFileFolder) &&
                         registry.WriteString(QStringLiteral("DefRxFolder"), controls.RxFolder) &&
                         registry.WriteString(QStringLiteral("DefTxFolder"), controls.TxFolder);
    if (!written)
        return failed();
    registry.CloseKey();
    return true;
}

} // namespace comm
