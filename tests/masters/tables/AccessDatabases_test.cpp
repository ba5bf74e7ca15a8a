// The Access reader on databases written by Access itself (tests/data/databases, README there).
// Every expected value comes from an independent reader (the npm package mdb-reader) or, for the
// calculated columns it cannot read, from each column's expression over the row's other values
// and from the stored bytes read by the result type the column's properties name.
#include "masters/tables/SelectTableRules.h"
#include "masters/tables/TableReaders.h"
#include "masters/tables/TableSource.h"
#include "tests/masters/tables/TablePrinting.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

using namespace masters::tables;

namespace {

QString database(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_DATABASES "/") + QString::fromUtf8(name);
}

struct Table {
    QList<TableColumn> columns;
    QList<QStringList> rows;
};

// The table's columns and rows, or a failure with the reader's text.
testing::AssertionResult readTable(const QString &path, const QString &name, Table &table)
{
    QString error;
    std::unique_ptr<TableSource> source = openTableReader(path, error);
    if (!source)
        return testing::AssertionFailure() << error.toStdString();
    if (!source->readColumns(name, table.columns, error))
        return testing::AssertionFailure() << error.toStdString();
    table.rows.clear();
    if (!source->readRows(
            name,
            [&](const QStringList &row) {
                table.rows.append(row);
                return true;
            },
            error))
        return testing::AssertionFailure() << error.toStdString();
    return testing::AssertionSuccess();
}

// Column values keyed by the first column (the rows' order is the file's, not a key's).
QMap<QString, QString> byKey(const Table &table, qsizetype column)
{
    QMap<QString, QString> values;
    for (const QStringList &row : table.rows)
        values.insert(row.at(0), row.at(column));
    return values;
}

TEST(AccessDatabases, DatesBefore1900AsAccessHoldsThem)
{
    Table table;
    ASSERT_TRUE(readTable(database("old-dates.accdb"), QStringLiteral("Table1"), table));
    EXPECT_EQ(table.rows,
              (QList<QStringList>{
                  {"1", "1582/10/15"}, {"2", "1582/10/14"}, {"3", "1492/01/10"}, {"4", "1392/01/10"}}));

    // Before 1899/12/30 the time of day counts forward from the day's start: the stored date of
    // each row is the moment Access also wrote to the row's extended date column.
    ASSERT_TRUE(readTable(database("extended-dates.accdb"), QStringLiteral("Table1"), table));
    const QMap<QString, QString> normal = byKey(table, 3);
    const QMap<QString, QString> expected = {{"1", "2020/06/17"},
                                             {"2", "2021/06/14"},
                                             {"3", "2021/06/14 12:45:00"},
                                             {"4", "2021/06/14 1:45:00"},
                                             {"5", ""},
                                             {"6", "2021/06/14 22:45:12"},
                                             {"7", "1765/06/14 12:45:00"},
                                             {"8", "0100/06/14 12:45:00"},
                                             {"9", "1265/06/14 12:45:00"}};
    EXPECT_EQ(normal, expected);

    // A Jet 3 file: dates around the origin, before it with a time, and after the year 4000.
    ASSERT_TRUE(readTable(database("guids-jet3.mdb"), QStringLiteral("Table6"), table));
    const QMap<QString, QString> jet3 = {{"row0", "0:00:00"},
                                         {"row1", "1908/11/18"},
                                         {"row10", "0:00:30"},
                                         {"row11", "4103/12/19 8:18:03"},
                                         {"row12", ""},
                                         {"row13", "1900/02/11 7:47:18"},
                                         {"row14", "1899/09/27 10:19:15"},
                                         {"row15", ""},
                                         {"row16", ""},
                                         {"row17", ""},
                                         {"row18", "1899/12/31 2:24:00"},
                                         {"row19", "1899/12/29 2:24:00"},
                                         {"row2", ""},
                                         {"row20", "2007/03/03 15:13:00"},
                                         {"row21", "5:15:07"},
                                         {"row22", "1999/11/11"},
                                         {"row3", "1899/12/07"},
                                         {"row4", "1805/06/12"},
                                         {"row5", ""},
                                         {"row6", ""},
                                         {"row7", "4374/07/17"},
                                         {"row8", "1668/07/20"},
                                         {"row9", "0:00:30"}};
    EXPECT_EQ(byKey(table, 1), jet3);
    EXPECT_EQ(table.rows.size(), 23);
}

TEST(AccessDatabases, CharactersBeyondTheBasicPlaneAreRead)
{
    Table table;
    ASSERT_TRUE(readTable(database("emoticons.accdb"), QStringLiteral("data"), table));
    // Each row's key is the code point of the character between two "a": U+1F600 to U+1F64F.
    QList<QStringList> expected;
    for (char32_t code = 0x1F600; code <= 0x1F64F; ++code)
        expected.append({QString::number(code), u'a' + QString::fromUcs4(&code, 1) + u'a'});
    EXPECT_EQ(table.rows, expected);
    EXPECT_EQ(table.rows.value(0), (QStringList{QStringLiteral("128512"), QStringLiteral("a😀a")}));
}

class RecordList : public RecordSink {
public:
    bool appendRecord(const QByteArray &record, QString &) override
    {
        records.append(record);
        return true;
    }
    QList<QByteArray> records;
};

TEST(AccessDatabases, TheImportCountsACharacterBeyondTheBasicPlaneAsUnheld)
{
    QString error;
    std::unique_ptr<TableSource> source = openTableReader(database("emoticons.accdb"), error);
    ASSERT_TRUE(source);
    RecordList sink;
    const ImportOutcome outcome =
        importTable(*source, QStringLiteral("data"), FieldAssignment{{1}}, {4}, sink);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(outcome.count, 80);
    EXPECT_EQ(outcome.unheldCells, 80);
    ASSERT_FALSE(sink.records.isEmpty());
    // One character, one "?": not the two of a pair decoded as two characters.
    EXPECT_EQ(sink.records.first(), QByteArray("a?a \r\n"));
}

TEST(AccessDatabases, CalculatedColumnsGiveTheirStoredResults)
{
    Table table;
    ASSERT_TRUE(readTable(database("calculated-columns.accdb"), QStringLiteral("Table1"), table));
    const QList<TableColumn> columns = {{"ID", true},         {"FirstName", false},    {"LastName", false},
                                        {"LastFirst", false}, {"City", false},         {"LastFirstLen", true},
                                        {"Salary", true},     {"MonthlySalary", true}, {"IsRich", false},
                                        {"AllNames", false},  {"WeeklySalary", true},  {"SalaryTest", true},
                                        {"BoolTest", false},  {"Popularity", true},    {"DecimalTest", true},
                                        {"FloatTest", true},  {"BigNumTest", true}};
    EXPECT_EQ(table.columns, columns);
    // LastFirst: [LastName] & ", " & [FirstName]; LastFirstLen: Len([LastFirst]); MonthlySalary:
    // [Salary]/12 as currency; IsRich: [Salary]>100000; AllNames: [LastName] & ", " & [FirstName]
    // & "=" & [LastFirst] (a long text); WeeklySalary: [Salary]/52 as decimal; SalaryTest:
    // [Salary]; BoolTest: True; DecimalTest: [Popularity]; FloatTest: [Salary]*0.13/[DecimalTest]
    // as single; BigNumTest: ([Salary]*[MonthlySalary]/[DecimalTest])*34.12342134 as decimal.
    const QList<QStringList> rows = {
        {"1", "Bruce", "Wayne", "Wayne, Bruce", "Gotham", "12", "1000000", "83333.3333", "True",
         "Wayne, Bruce=Wayne, Bruce", "19230.7692307692", "1000000", "True", "50.325", "50.325", "2583.2092",
         "56505085819.42479129657228018"},
        {"2", "Bart", "Simpson", "Simpson, Bart", "Springfield", "13", "-1", "-0.0833", "False",
         "Simpson, Bart=Simpson, Bart", "-0.0192307692307692", "-1", "True", "-36.2222", "-36.2222",
         "0.0035889593", "-0.0784734499180612994241100748"},
        {"3", "John", "Doe", "Doe, John", "Nowhere", "9", "0", "0", "False", "Doe, John=Doe, John", "0", "0",
         "True", "0.0123", "0.0123", "0", "0"},
        {"4", "Test", "User", "User, Test", "Hockessin", "10", "100", "8.3333", "False",
         "User, Test=User, Test", "1.92307692307692", "100", "True", "102030405060.654321",
         "102030405060.654321", "1.27413E-10", "0.000000278701928982421698083"},
    };
    ASSERT_EQ(table.rows.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(table.rows.at(i), rows.at(i)) << "row " << i;
}

TEST(AccessDatabases, LargeNumbersAndExtendedDatesGiveTheirStoredValues)
{
    Table table;
    ASSERT_TRUE(readTable(database("bigint.accdb"), QStringLiteral("Table"), table));
    EXPECT_EQ(table.columns, (QList<TableColumn>{{"ID", true}, {"Numeric", true}}));
    EXPECT_EQ(table.rows, (QList<QStringList>{{"1", "42"}}));

    ASSERT_TRUE(readTable(database("extended-dates.accdb"), QStringLiteral("Table1"), table));
    EXPECT_EQ(table.columns, (QList<TableColumn>{{"ID", true},
                                                 {"Field1", false},
                                                 {"DateExt", false},
                                                 {"DateNormal", false},
                                                 {"DateExtStr", false},
                                                 {"DateNormalCalc", false}}));
    const QMap<QString, QString> extended = {{"1", "2020/06/17"},
                                             {"2", "2021/06/14"},
                                             {"3", "2021/06/14 12:45:00"},
                                             {"4", "2021/06/14 1:45:00"},
                                             {"5", ""},
                                             {"6", "2021/06/14 22:45:12.3456789"},
                                             {"7", "1765/06/14 12:45:00"},
                                             {"8", "0100/06/14 12:45:00.1234567"},
                                             {"9", "1265/06/14 12:45:00"}};
    EXPECT_EQ(byKey(table, 2), extended);
    // DateNormalCalc is the calculated [DateNormal], null where it is (its stored result is empty).
    EXPECT_EQ(byKey(table, 5), byKey(table, 3));
    EXPECT_EQ(byKey(table, 5).value(QStringLiteral("9")), QStringLiteral("1265/06/14 12:45:00"));
}

// Damaged copies of the databases: a column type no version of Access writes, and a calculated
// value whose result runs past its end. The table is refused with the column named, never
// imported with the column blank or a value made up.
TEST(AccessDatabases, AColumnOrAValueThatCannotBeReadRefusesTheTable)
{
    const struct {
        const char *file;
        const char *table;
        QByteArray stored; // the bytes changed, found once in the file
        QByteArray damaged;
        bool columnsRead;
        const char *error;
    } cases[] = {
        // The Large Number column's definition, which starts with its type 0x13.
        {"bigint.accdb", "Table", QByteArray::fromHex("1359060000040000000100090400000300"),
         QByteArray::fromHex("1559060000040000000100090400000300"), false,
         "テーブル「Table」の項目「Numeric」はデータ型「不明な型(0x15)"
         "」を読めないため、インポートできません。"},
        // Row 1's LastFirst: its result's length 14 raised to 127.
        {"calculated-columns.accdb", "Table1", QByteArray::fromHex("0e000000fffe5761796e652c204272756365"),
         QByteArray::fromHex("7f000000fffe5761796e652c204272756365"), true,
         "テーブル「Table1」の項目「LastFirst」の値を読めません。"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        QFile original(database(c.file));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        QByteArray bytes = original.readAll();
        const qsizetype at = bytes.indexOf(c.stored);
        ASSERT_GE(at, 0);
        ASSERT_EQ(bytes.indexOf(c.stored, at + 1), -1);
        bytes.replace(at, c.damaged.size(), c.damaged);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QString::fromUtf8(c.file));
        QFile copy(path);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        ASSERT_EQ(copy.write(bytes), bytes.size());
        copy.close();

        QString error;
        std::unique_ptr<TableSource> source = openTableReader(path, error);
        ASSERT_TRUE(source);
        QList<TableColumn> columns;
        EXPECT_EQ(source->readColumns(QString::fromUtf8(c.table), columns, error), c.columnsRead);
        if (!c.columnsRead) {
            EXPECT_EQ(error, QString::fromUtf8(c.error));
        }
        error.clear();
        int rows = 0;
        EXPECT_FALSE(source->readRows(
            QString::fromUtf8(c.table),
            [&](const QStringList &) {
                ++rows;
                return true;
            },
            error));
        EXPECT_EQ(error, QString::fromUtf8(c.error));
        EXPECT_EQ(rows, 0);
    }
}

TEST(AccessDatabases, ReplicationIdsAsAccessShowsThem)
{
    Table table;
    ASSERT_TRUE(readTable(database("guids-jet3.mdb"), QStringLiteral("Table13"), table));
    EXPECT_EQ(table.columns, (QList<TableColumn>{{"name", false}, {"data", false}}));
    const QMap<QString, QString> expected = {{"row0", "{8E39276A-BCA8-4AC4-891E-49911D8438DD}"},
                                             {"row1", "{BDBB72AF-4C87-4904-9FEA-DF6DC89BF23D}"},
                                             {"row10", "{0FC49B7B-E656-4228-AEDC-DF8BDF4C4A64}"},
                                             {"row11", "{8405A1EC-027E-49AB-973A-E967509C0CD0}"},
                                             {"row12", "{1AB397E6-85AD-4111-B448-FDB91103528F}"},
                                             {"row13", "{1C349B69-F399-4042-9191-37FD1F6DEB8F}"},
                                             {"row14", "{121F2F33-14BC-4D1B-8296-7A5F31660F87}"},
                                             {"row15", "{443135F7-C3FD-41C5-B0E2-AF68D5937886}"},
                                             {"row16", "{14504634-996D-4B36-A999-5EDA3E89A5D1}"},
                                             {"row17", "{D018A757-5DA6-4189-9E30-485031D4C252}"},
                                             {"row18", "{3C2675AA-67DC-4E8E-8EAD-3016F5353052}"},
                                             {"row19", "{3B121FD3-5241-4304-BCAE-F002E6F8A98E}"},
                                             {"row2", "{CF5001F1-3952-4C98-8586-74F211B0AE92}"},
                                             {"row3", "{7BEC09A4-F370-4F16-AB08-BA5CBFC4267E}"},
                                             {"row4", "{AFD3DDC6-171D-41AC-9BAF-C3E3CA27B74B}"},
                                             {"row5", "{316EAB59-D689-4FBF-82A2-9F82DC2CD76F}"},
                                             {"row6", "{4AD4357B-B8E3-4C7E-A90C-AE37A3BA1567}"},
                                             {"row7", "{A94C6884-DAE4-4366-A1AC-953CDC3A4D42}"},
                                             {"row8", "{13922701-8060-4CE0-9CBE-E34A6198CCF9}"},
                                             {"row9", "{C3ADCB6A-304A-48E0-B734-A338BB5A000E}"}};
    EXPECT_EQ(byKey(table, 1), expected);
    EXPECT_EQ(table.rows.size(), 20);
}

} // namespace
