#pragma once

#include <QString>

// The manager's own settings key: the main menu's last sent file, the job settings editor's and the
// master editor's last folders and files.
inline const QString ManagerSettingsKey = QStringLiteral("Software\\Vestrane\\FerrolinProBHT800");
