#include "masters/tables/TableReaders.h"

#include "masters/tables/AccessTableSource.h"
#include "masters/tables/XlsTableSource.h"
#include "masters/tables/XlsxTableSource.h"

#include <QFileInfo>

namespace masters::tables {

std::unique_ptr<TableSource> openTableReader(const QString &path, QString &error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (sourceKindOf(path) == SourceKind::Access)
        return makeAccessTableSource(path);
    if (suffix == u"xls")
        return makeXlsTableSource(path);
    if (suffix == u"xlsx")
        return makeXlsxTableSource(path);
    error = UnknownSourceText;
    return nullptr;
}

} // namespace masters::tables
