#pragma once

// The job settings editor's frame without its widgets: which tool buttons a state enables, how the
// file dialogs are titled, the names a save and a receive take, and where the last set is remembered.

#include <QChar>
#include <QString>
#include <optional>

namespace platform {
class TRegistry;
}

namespace jobs {

inline const QString EditorCaption = QStringLiteral("業務設定");
inline const QString NewSetCaption = QStringLiteral("業務設定(新規作成)");
// The name a received set is offered under in the save dialog; no such file is made.
inline const QString ReceivedSetName = QStringLiteral("業務設定受信ファイル.Bnf");
inline const QString BnfDialogFilter = QStringLiteral("業務設定ファイル (*.BNF)");
inline const QString OpenDialogTitle = QStringLiteral("業務設定ファイルを開く");
inline const QString SaveDialogTitle = QStringLiteral("業務設定ファイルを保存");
// The set goes to the terminal under this name, as one field of a whole line.
inline const QByteArray TerminalBnfName = QByteArrayLiteral("CNF800.BNF");
inline const QByteArray TerminalBnfFields = QByteArrayLiteral("500");

// The pages of the editor, as the page selector lists them.
enum class EditorPage { Base = 0, Job = 1 };

struct ToolButtonStates {
    bool SaveTBtn = false;
    bool SDataTBtn = false;
    bool SGDatTBtn = false;
    bool RGDatTBtn = true;
    bool CloseTBtn = false;
    bool GyNewBtn = false;
    bool GyDelBtn = false;
    bool GrNewBtn = false;
    bool GrDelBtn = false;
    bool DaNewBtn = false;
    bool DaDelBtn = false;
    friend bool operator==(const ToolButtonStates &, const ToolButtonStates &) = default;
};

// The tool buttons for a set open or not, the page shown and the shown job's mode letter. The
// layout viewer is for modes A and B only: the other modes have no send data to lay out.
ToolButtonStates toolButtonStates(bool open, EditorPage page, QChar modeLetter);

// "業務設定(name)" for the file path's name part.
QString setCaption(const QString &path);

// Whether a chosen name is a job settings file by its extension, in any letter case.
bool isBnfName(const QString &path);
// The name a save writes: ".bnf" replaces another extension or is added; ".BNF" in any case stays.
QString bnfSaveName(const QString &chosen);

// The last opened or saved set. The folder ends in "/" when not empty.
struct BnfLocation {
    QString BnfFolder;
    QString BnfFile;
};
BnfLocation readBnfLocation(platform::TRegistry &registry);
// False when the key cannot be opened or a value cannot be written.
bool writeBnfLocation(platform::TRegistry &registry, const BnfLocation &location);

// The received file inside folder, when the name the terminal gave is a plain file name (no folder
// part, no "." or "..", no control characters); nothing otherwise.
std::optional<QString> receivedFilePath(const QString &folder, const QString &receivedName);

} // namespace jobs
