#include "masters/tables/SheetRows.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace masters::tables;

static void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}

namespace masters::tables {
static void PrintTo(const TableColumn &column, std::ostream *os)
{
    *os << column.name.toStdString() << (column.numeric ? ":numeric" : ":other");
}
} // namespace masters::tables

namespace {

TEST(SheetScan, AnEarlierRowArrivingLateBecomesTheHeader)
{
    SheetScan scan;
    scan.addCell(3, 0, {QStringLiteral("5"), NumberKind});
    scan.addCell(2, 0, {QStringLiteral("x"), TextKind}); // the names are pushed down to data
    scan.addCell(1, 1, {QStringLiteral("名"), TextKind});
    scan.addCell(1, 0, {QStringLiteral(""), TextKind}); // empty: no cell
    EXPECT_EQ(scan.headerRow(), 1);
    const QList<TableColumn> columns =
        scan.columns([](const SheetCell &c) { return c.text; }, [](int k) { return k == NumberKind; });
    EXPECT_EQ(columns, (QList<TableColumn>{{QStringLiteral("F1"), false}, {QStringLiteral("名"), false}}));
}

TEST(SheetScan, AColumnIsNumericOnlyWhenEveryValueIs)
{
    SheetScan scan;
    scan.addCell(0, 0, {QStringLiteral("a"), TextKind});
    scan.addCell(0, 1, {QStringLiteral("b"), TextKind});
    scan.addCell(0, 2, {QStringLiteral("c"), TextKind});
    scan.addCell(1, 0, {QStringLiteral("1"), NumberKind});
    scan.addCell(1, 1, {QStringLiteral("1"), 7}); // a number whose format turns out a date
    scan.addCell(2, 0, {QStringLiteral("2"), 0});
    const QList<TableColumn> columns = scan.columns([](const SheetCell &c) { return c.text; },
                                                    [](int k) { return k == NumberKind || k == 0; });
    EXPECT_EQ(columns,
              (QList<TableColumn>{
                  {QStringLiteral("a"), true}, {QStringLiteral("b"), false}, {QStringLiteral("c"), false}}));
}

TEST(SheetRowEmitter, MergesLateValuesAndKeepsRowOrder)
{
    QList<QStringList> rows;
    std::map<qint64, QMap<int, QString>> extras;
    extras[2].insert(1, QStringLiteral("f2")); // a value for a row that has others
    extras[4].insert(0, QStringLiteral("f4")); // a row of late values alone
    extras[9].insert(1, QStringLiteral("f9")); // after the last row
    SheetRowEmitter emitter(
        0, 2,
        [&](const QStringList &row) {
            rows.append(row);
            return true;
        },
        extras);
    emitter.addCell(0, 0, QStringLiteral("名前")); // header
    emitter.addCell(2, 0, QStringLiteral("a"));
    emitter.addCell(3, 0, QString()); // empty row
    emitter.addCell(5, 1, QStringLiteral("b"));
    emitter.addCell(5, 7, QStringLiteral("beyond")); // outside the columns
    EXPECT_TRUE(emitter.finish());
    EXPECT_EQ(rows, (QList<QStringList>{{"a", "f2"}, {"f4", ""}, {"", "b"}, {"", "f9"}}));
}

} // namespace
