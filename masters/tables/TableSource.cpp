#include "masters/tables/TableSource.h"

#include "masters/tables/AccessTableSource.h"
#include "masters/tables/XlsTableSource.h"
#include "masters/tables/XlsxTableSource.h"

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
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (sourceKindOf(path) == SourceKind::Access)
        return makeAccessTableSource(path);
    if (suffix == u"xls")
        return makeXlsTableSource(path);
    if (suffix == u"xlsx")
        return makeXlsxTableSource(path);
    error = QStringLiteral("アクセスまたはエクセルのデータソースを指定してください。");
    return nullptr;
}

} // namespace masters::tables
