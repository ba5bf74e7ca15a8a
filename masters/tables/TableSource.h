#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// One small interface over the three file kinds an import reads (Access databases, .xls and .xlsx
// workbooks), so the import and its dialog never see a library. A source lists its tables, gives a
// table's columns with their kinds, and hands its rows over one at a time as text in column order;
// nothing of a table is held in memory beyond the row being handed over. Failures come back as false
// with a text for the operator.
namespace masters::tables {

struct TableColumn {
    QString name;
    // Numbers are zero-padded into a field, everything else space-padded.
    bool numeric = false;
    friend bool operator==(const TableColumn &, const TableColumn &) = default;
};

class TableSource {
public:
    virtual ~TableSource() = default;

    // The user tables (system tables left out), or the sheets by their plain names.
    virtual bool listTables(QStringList &names, QString &error) = 0;
    virtual bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) = 0;
    // Called once per row with exactly one value per column; returning false stops the read, which
    // then returns true (the caller knows why it stopped).
    using RowHandler = std::function<bool(const QStringList &values)>;
    virtual bool readRows(const QString &table, const RowHandler &onRow, QString &error) = 0;
};

enum class SourceKind { None, Access, Excel };

// ".mdb", ".mde", ".accdb" are Access; ".xls", ".xlsx" Excel; anything else None. Letter case
// does not count.
SourceKind sourceKindOf(const QString &path);

inline const QString UnknownSourceText =
    QStringLiteral("アクセスまたはエクセルのデータソースを指定してください。");

// The reader for the file's extension, run apart in the table reader program beside this one (see
// ChildTableSource.h). A path of another kind, or no reader program, gives nothing, with an error
// text. The file itself is opened by the first call on the source.
std::unique_ptr<TableSource> openTableSource(const QString &path, QString &error);

} // namespace masters::tables
