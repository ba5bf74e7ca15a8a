#pragma once

#include "common/RegistryKeys.h"

#include <QString>

namespace platform {
class TRegistry;
}

// The main menu's rules apart from its widgets: where its settings live, their defaults and
// clamps, and how the data send dialog is prepared.
namespace manager {

inline const QString CommKey = QStringLiteral("Software\\Vestrane\\Dunmere通信ﾗｲｾﾝｽ\\CorlissDll");
inline const QString AppKey = ManagerSettingsKey;

// The communication values as the main form holds them after reading.
struct ComValues {
    int ComP = 1;
    int ComSpeed = 115200;
    int RcvMode = 1;
    int WrMode = 1;
};

// Reads the four values from the communication key (created when missing). A value that is missing
// or not an integer takes its default, which is written back at once; the clamps of usableSpeed and
// usablePortNumber are applied afterwards and not written back. Defaults when the key cannot be
// opened.
ComValues readComValues(platform::TRegistry &registry);

// Only the two cradle speeds are used; anything else stands for the serial cradle's 115200.
int usableSpeed(int stored);
// Port numbers outside 1 to 9 fall back to COM1.
int usablePortNumber(int stored);
QString comPortName(int portNumber);

// A folder with one trailing "/" added when it has none; empty stays empty.
QString withTrailingSlash(const QString &folder);
// The folder part of a file path, ending in "/"; "/" for a file in the root.
QString folderOf(const QString &filePath);

struct SendValues {
    QString SendFolder;
    QString SendFile;
};

// SendFolder and SendFile from the application key (created when missing); empty when missing or
// unreadable.
SendValues readSendValues(platform::TRegistry &registry);
// Writes SendFile, then SendFolder; false when the key cannot be opened or a write fails.
bool writeSendValues(platform::TRegistry &registry, const SendValues &values);

// Where the data send dialog starts, and whether the remembered file is to be forgotten.
struct SendDialogStart {
    QString fileName; // preselected name, empty for none
    QString folder;   // initial folder
    bool forgetSendFile = false;
};

// The remembered file when it still exists, else the remembered folder with no name.
SendDialogStart prepareSendDialog(const SendValues &values, bool sendFileExists);
// The single start path handed to a file dialog: the folder, joined with the preselected name.
QString dialogStartPath(const SendDialogStart &start);

} // namespace manager
