#include "FileDialogStart.h"

#include <QFileInfo>

namespace filedialog {

QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

DialogStart openDialogStart(const QString &lastFolder, const QString &lastFile, bool lastFileExists,
                            bool *forget)
{
    if (forget != nullptr)
        *forget = false;
    if (lastFile.isEmpty())
        return {lastFolder, QString()};
    if (lastFileExists)
        return {folderOf(lastFile), QFileInfo(lastFile).fileName()};
    if (forget != nullptr)
        *forget = true;
    return {lastFolder, QString()};
}

DialogStart saveDialogStart(const QString &lastFolder, const QString &lastFile)
{
    if (lastFile.isEmpty())
        return {lastFolder, QString()};
    return {folderOf(lastFile), QFileInfo(lastFile).fileName()};
}

QString dialogPath(const DialogStart &start)
{
    return start.folder + start.fileName;
}

} // namespace filedialog
