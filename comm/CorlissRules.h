#pragma once

// The communication library's rules that need no window: request checks, result texts, the settings
// it reads, file names. CorlissL.cpp applies them and shows what they decide.

#include "comm/YmRxHeader.h" // upperAscii
#include "platform/PosixSerialPort.h"
#include "platform/UiService.h"

#include <QByteArray>
#include <QDate>
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

namespace platform {
class TRegistry;
}

namespace comm {

// The communication settings key; each port's subkey below it holds the progress window's place.
QString commSettingsKey();
QString portSubkey(const QString &portName);

// Caption of every box the library shows itself.
QString libraryCaption();

// The port number 1 to 9 that a name of 4 or 5 bytes "COMn" (any letter case, n one or two decimal
// digits) stands for; nothing for any other name.
std::optional<int> portNumber(const QByteArray &portName);
bool isSupportedSpeed(int speed);

// The line for standard error when port portName ("COMn") will not open: the device it stood for,
// where that was set, and the reason. The boxes name the port alone, and an operator with a USB or
// Bluetooth device needs to know which device was tried.
QString portOpenFailureLine(const QString &portName, const platform::PortOpenFailure &failure);

// Refusal codes shared by the transfer operations, in their order: not ready 4, a handle other than
// the open one 3, handle -1 1, a transfer running 4. 0 lets the request through.
int transferGuard(bool ready, int handle, int openHandle, bool busy);

// The message of a result code; nothing for 1 and 2, which are shown to nobody.
std::optional<QString> resultText(int code);
// Box caption of an operation kind.
QString operationCaption(int kind);
// Box style of a result code: information for a normal end, stop for the errors.
platform::MsgStyle resultStyle(int code);

// Log file of a port: folder + "CRL" + port + "_yyyy_mm_dd" (mode 0), "_yyyy" (mode 2) or
// "_yyyy_mm" (any other mode) + ".log".
QString logFileName(const QString &logFolder, const QString &portName, int logFileMode, const QDate &date);

// The mode settings the library works with.
struct TComModeSettings {
    bool DspMode = true;
    bool CsvRcvDat = false;
    bool LastSpace = false;
    bool DblQuoted = false;
    bool AddZero = false;
    bool LogEnable = false;
    int LogFileMode = 1;
    QString LogFolder; // each folder empty, or ending in "/"
    QString DefRxFolder;
    QString DefTxFolder;
};

// Reads the settings key read-only (nothing is written back): a missing or unreadable value keeps its
// default; a folder that does not exist, and a network folder (by name or mount) as receive or send
// folder, become empty.
TComModeSettings readModeSettings(platform::TRegistry &registry);
// Why the settings cannot be used yet (first failing rule), or nothing when they are complete.
std::optional<QString> incompleteSettingsMessage(const TComModeSettings &settings);

// Text helpers of the library.
QString withSeparator(const QString &folder); // a non-empty folder gets a trailing "/"
QString trimBlanks(const QString &text);      // drops leading and trailing blanks and control chars
QString folderPart(const QString &path);      // up to and with the last "/"
QString fileNamePart(const QString &path);    // after the last "/"
QString extensionOf(const QString &name);     // from the last dot of the file name, with it
QString withExtension(const QString &path, const QString &extension);

// The width file beside pcFile: its extension replaced by ".fld", the exact name first, else one
// whose name differs only in letter case (media from other machines carry "DATA.FLD"). Empty when
// there is none. The master editor finds its width files the same way.
QString findFldFile(const QString &pcFile);
// The first line of the ".fld" file beside pcFile, trimmed; empty when there is none. A width file
// whose name differs only in letter case counts, as it did on the operators' file systems.
QString readFldFile(const QString &pcFile);

// Terminal file names: at most 12 bytes, an extension (with its dot) of at most 4 bytes, not empty.
bool isValidBhtName(const QString &bhtName);
// The files the engine sends as binary go to the terminal without a field list.
bool sendsWithoutFieldList(const QString &bhtName);

// What a send request comes to before the transfer starts.
struct SendRequest {
    QString pcPath;
    QString bhtName;   // may be empty: the PC file's name in upper case is used
    QString fieldList; // may be empty: read from the width file for record data
    QString defTxFolder;
};
struct SendPlan {
    int code = 0;            // 0: go ahead; else the result code of the refusal
    bool chooseFile = false; // the path names no file: ask the operator, starting in dialogFolder
    QString dialogFolder;
    QString txFile;
    QString bhtFile;
    QString fieldList;
};
// The checks of a send in their order: folder (5), file (6), terminal name (8), field list (7),
// readable (12).
SendPlan planSend(const SendRequest &request);
// The same for a file the operator chose: terminal name (8) and field list (7, always from the
// width file for record data); the file itself is not checked.
SendPlan planChosenFile(const QString &chosen, const QString &bhtName);

// The folder of the transfer's temporary files: the user's private "Dunmere-<uid>" folder in the
// temporary folder (a new unique one when that name is taken by a folder that is not), never the
// shared temporary folder itself; empty when none can be had. Ends in "/".
QString transferTempFolder();

// Where the progress window of size opens: at the position stored for its port when there is one;
// else centred over the window that started the transfer, kept on screen; else centred on screen.
QPoint progressWindowPosition(const std::optional<QPoint> &stored, const QRect &owner, const QSize &size,
                              const QRect &screen);

} // namespace comm
