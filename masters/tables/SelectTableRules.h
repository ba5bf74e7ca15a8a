#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "masters/tables/TableSource.h"

// The import of a table into a master's working copy, without the dialog: how one value becomes a
// fixed-width field, how a row becomes a record, and the run over a whole table into a record sink.
namespace masters::tables {

// The value as a field of width bytes of code page 932: a value longer than the field is cut to
// it, one byte less plus a space when the cut would split a double-byte character; then text is
// space-padded on the right and a number zero-padded on the left (after its sign, if it has one),
// an empty number giving all zeros.
QByteArray GetFldData(const QString &value, int width, bool numeric);

// Where a record's fields come from: per field, key first, the chosen column's index, -1 when none
// is chosen.
struct FieldAssignment {
    QList<int> columns;
};

// The dialog's check before a run: a table is chosen and each of the master's fields has a column.
bool assignmentComplete(const QString &table, const FieldAssignment &assignment, int fieldCount);

// One record: each field's GetFldData from its column's value, then CR LF. The row holds one value
// per column.
QByteArray buildRecord(const QStringList &row, const QList<TableColumn> &columns,
                       const FieldAssignment &assignment, const QList<int> &widths);

// Where records go, in the order they are built.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual bool appendRecord(const QByteArray &record, QString &error) = 0;
};

struct ImportOutcome {
    bool ok = false;
    int count = 0; // records appended, also when the run failed part way
    // Cells taken whose text holds a character code page 932 cannot hold (stored as "?").
    int unheldCells = 0;
    QString error;
};

// Reads the table's columns, then every row, appending one record per row. The first read or append
// failure ends the run (not ok); undoing what was appended is the caller's, who owns the store. An
// assignment that names a column the table lacks fails before anything is appended.
ImportOutcome importTable(TableSource &source, const QString &table, const FieldAssignment &assignment,
                          const QList<int> &widths, RecordSink &sink);

} // namespace masters::tables
