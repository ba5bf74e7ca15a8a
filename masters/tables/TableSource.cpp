#include "masters/tables/TableSource.h"

#include "masters/tables/ChildTableSource.h"

#include <QFileInfo>

namespace masters::tables {

SourceKind sourceKindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"mdb" || suffix == u"mde" || suffix == u"accdb")
        return SourceKind::Access;
    if (suffix == u"xls" || suffix == u"xlsx")
        return SourceKind::Excel;
    return SourceKind::None;
}

std::unique_ptr<TableSource> openTableSource(const QString &path, QString &error)
{
    if (sourceKindOf(path) == SourceKind::None) {
        error = UnknownSourceText;
        return nullptr;
    }
    const QString reader = readerProgramPath();
    if (!QFileInfo(reader).isExecutable()) {
        error = QStringLiteral("読み込みプログラム「%1」がありません。").arg(reader);
        return nullptr;
    }
    return makeChildTableSource(reader, path);
}

} // namespace masters::tables
