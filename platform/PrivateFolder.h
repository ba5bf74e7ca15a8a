#pragma once

#include <QString>

// Folders that only the user can reach. The system temporary folder is shared by every user: a
// folder of a fixed name in it may have been made by someone else, or be a link to somewhere else,
// and what lands there could be read or replaced. Every folder of ours in it goes through here.
namespace platform {

// Whether path is a folder (not a link to one) owned by the effective user that nobody else may
// write. Read and search rights of others are taken away. False (error says why) otherwise.
bool checkPrivateFolder(const QString &path, QString *error = nullptr);
// The same, after creating the folder with mode 0700 when it is missing.
bool makePrivateFolder(const QString &path, QString *error = nullptr);

// The folder name in the system temporary folder when it is (or can be made) private, else a private
// folder "name-XXXXXX" there: one that an earlier run made, or a new one. Later calls of the process
// return the same folder while it stays private. Empty (error says why) when neither can be had. No
// trailing separator.
QString privateTempFolder(const QString &name, QString *error = nullptr);
// The user's own temporary folder: "harbrook-<uid>" in the system temporary folder, as above.
QString userTempFolder(QString *error = nullptr);

} // namespace platform
