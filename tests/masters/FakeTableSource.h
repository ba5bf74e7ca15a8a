#pragma once

#include "masters/tables/TableSource.h"

#include <QMap>

// A table source held in memory for the import's tests, with the failures a reader can have: the
// file that cannot be opened, a table whose columns cannot be read, a read that stops part way.
namespace masterstest {

struct FakeTable {
    QList<masters::tables::TableColumn> columns;
    QList<QStringList> rows;
    bool columnsFail = false;
    // The read fails after handing over this many rows (-1: never).
    int failAfter = -1;
};

class FakeTableSource final : public masters::tables::TableSource {
public:
    QStringList order;
    QMap<QString, FakeTable> tables;
    bool listFails = false;
    int reads = 0; // readRows calls

    void add(const QString &name, const FakeTable &table)
    {
        order << name;
        tables.insert(name, table);
    }

    bool listTables(QStringList &names, QString &error) override
    {
        if (listFails) {
            error = QStringLiteral("壊れたファイル");
            return false;
        }
        names = order;
        return true;
    }
    bool readColumns(const QString &table, QList<masters::tables::TableColumn> &columns,
                     QString &error) override
    {
        const auto it = tables.constFind(table);
        if (it == tables.constEnd() || it->columnsFail) {
            error = QStringLiteral("テーブル「%1」の項目を読めません。").arg(table);
            return false;
        }
        columns = it->columns;
        return true;
    }
    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        ++reads;
        const auto it = tables.constFind(table);
        if (it == tables.constEnd())
            return false;
        int handed = 0;
        for (const QStringList &row : it->rows) {
            if (handed == it->failAfter) {
                error = QStringLiteral("行%1を読めません。").arg(handed + 2);
                return false;
            }
            if (!onRow(row))
                return true;
            ++handed;
        }
        return true;
    }
};

// Code, name and price of three goods; the code and price are numbers.
inline FakeTable goodsTable()
{
    FakeTable table;
    table.columns = {
        {QStringLiteral("コード"), true}, {QStringLiteral("品名"), false}, {QStringLiteral("単価"), true}};
    table.rows = {{QStringLiteral("101"), QStringLiteral("りんご"), QStringLiteral("150")},
                  {QStringLiteral("-3"), QStringLiteral("表示価格（税込）"), QString()},
                  {QStringLiteral("4901234567890"), QString(), QStringLiteral("98.5")}};
    return table;
}

} // namespace masterstest
