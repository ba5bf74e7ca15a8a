#pragma once

// Where the editors' open and save dialogs start: at the last file while it exists, else in the last
// folder. Shared by the job and master editors, so neither depends on the other.

#include <QString>

namespace filedialog {

// Where a file dialog starts: its folder and the preselected name (both may be empty).
struct DialogStart {
    QString folder;
    QString fileName;
};
// The open dialog: at the last file when it still exists (else the last file is forgotten: *forget).
DialogStart openDialogStart(const QString &lastFolder, const QString &lastFile, bool lastFileExists,
                            bool *forget);
// The save dialog: at the last file's name, else in the last folder.
DialogStart saveDialogStart(const QString &lastFolder, const QString &lastFile);
// A dialog start as one path for a file dialog.
QString dialogPath(const DialogStart &start);
// The folder part of a path, with its trailing "/".
QString folderOf(const QString &path);

} // namespace filedialog
