// The .xlsx reader against the letter of XML and of the package, on workbooks written by other
// programs (tests/data/workbooks) and small ones made by scripts/make-test-workbooks. The values
// are what the spreadsheet shows for each cell (read with an independent reader, python3-openpyxl,
// where it reads the file), in the import's text forms.
#include "masters/tables/TableReaders.h"
#include "masters/tables/TableSource.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace masters::tables;

static void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
static void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[' << list.join(QStringLiteral("|")).toStdString() << ']';
}

namespace {

QString made(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_WORKBOOKS "/") + QString::fromUtf8(name);
}

QString published(const char *name)
{
    return QStringLiteral(HARBROOK_WORKBOOK_FIXTURES "/") + QString::fromUtf8(name);
}

struct Sheet {
    bool ok = false;
    QString error;
    QStringList names;
    QList<QStringList> rows;
};

// The sheet's column names and rows as the import reads them, or the error that ended the read.
Sheet readSheet(const QString &path, const QString &table)
{
    Sheet sheet;
    QString error;
    const std::unique_ptr<TableSource> source = openTableReader(path, error);
    QStringList tables;
    QList<TableColumn> columns;
    if (!source || !source->listTables(tables, error) || !source->readColumns(table, columns, error) ||
        !source->readRows(
            table,
            [&](const QStringList &row) {
                sheet.rows.append(row);
                return true;
            },
            error)) {
        sheet.error = error;
        return sheet;
    }
    for (const TableColumn &column : columns)
        sheet.names.append(column.name);
    sheet.ok = true;
    return sheet;
}

QList<QStringList> column(const QStringList &values)
{
    QList<QStringList> rows;
    for (const QString &value : values)
        rows.append(QStringList{value});
    return rows;
}

// "_xHHHH_" is the character HHHH and "_x005F_" an underscore (so "_x005F_x0000_" is the text
// "_x0000_"); what is no escape stays as written.
TEST(XlsxPackageRules, DecodeEscapesAsExcelWroteThem)
{
    const Sheet sheet = readSheet(published("escapes-excel.xlsx"), QStringLiteral("Sheet1"));
    ASSERT_TRUE(sheet.ok) << sheet.error.toStdString();
    EXPECT_EQ(sheet.names, QStringList{QStringLiteral("_")});
    EXPECT_EQ(sheet.rows, column({"_x", "_x0", "_x00", "_x000", "_x0000", "_x0000_", "_x005F_", "_x000G_",
                                  "_X0000_", "_x000a_", "_x000A_", "_x0000__x0000_", "__x0000__"}));
}

// Excel writes an in-cell line break as CR LF in the XML: it reads as LF, as XML says, while an
// escaped control character is that character.
TEST(XlsxPackageRules, ReadLineBreaksAsLfAndEscapedControlCharacters)
{
    const Sheet sheet = readSheet(published("line-breaks-excel.xlsx"), QStringLiteral("Sheet1"));
    ASSERT_TRUE(sheet.ok) << sheet.error.toStdString();
    ASSERT_EQ(sheet.rows.size(), 125); // A2:A127 less the empty A35 (a double quote in the source)
    EXPECT_EQ(sheet.rows.at(0), QStringList{QStringLiteral("\x01")}); // A2
    EXPECT_EQ(sheet.rows.at(8), QStringList{QStringLiteral("\t")});   // A10
    EXPECT_EQ(sheet.rows.at(9), QStringList{QStringLiteral("\n")});   // A11
    EXPECT_EQ(sheet.rows.at(12), QStringList{QStringLiteral("\r")});  // A14, written "_x000D_"
    EXPECT_EQ(sheet.rows.at(31), QStringList{QStringLiteral(" ")});   // A33
    EXPECT_EQ(sheet.rows.at(124), QStringList{QStringLiteral("~")});  // A127
}

// Parts in UTF-16, part names in another letter case than their links, times alone in "d" cells,
// an empty shared-string value, a number written "+5".
TEST(XlsxPackageRules, ReadWhatThePackageAllows)
{
    const struct {
        QString path;
        const char *sheet;
        QStringList names;
        QList<QStringList> rows;
    } cases[] = {
        {published("utf16-parts.xlsx"), "Sheet1", {"1"}, {}},
        {published("part-name-case.xlsx"), "Sheet1", {"Hello"}, {}},
        {published("iso-times.xlsx"),
         "Sheet",
         {"2021/01/01"},
         column({"2021/01/01 10:10:10", "10:10:10", "This workbook contains datetime in ISO 8601",
                 "Please, check source code of the file, if you resave it",
                 "Created with openpyxl, see "
                 "https://openpyxl.readthedocs.io/en/latest/datetime.html#using-the-iso-8601-format"})},
        {published("empty-shared-string.xlsx"),
         "Sheet1",
         {"Name", "City", "Status"},
         {{"Alice", "", "Active"}, {"", "Berlin", ""}}},
        {made("rules-plus-number.xlsx"), "S", {"コード"}, column({"1", "5"})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const Sheet sheet = readSheet(c.path, QString::fromUtf8(c.sheet));
        ASSERT_TRUE(sheet.ok) << sheet.error.toStdString();
        EXPECT_EQ(sheet.names, c.names);
        EXPECT_EQ(sheet.rows, c.rows);
    }
}

// A "d" cell that holds neither a date nor a time alone is refused, not read as midnight.
TEST(XlsxPackageRules, RefuseADateCellThatHoldsNoDate)
{
    const Sheet sheet = readSheet(made("damaged-date.xlsx"), QStringLiteral("S"));
    EXPECT_FALSE(sheet.ok);
    EXPECT_EQ(sheet.error,
              QStringLiteral("シート「S」を読み込めません。(セルB3の日付「abc」が正しくありません)"));
}

// Elements count by their namespace: the strict namespaces read as the transitional ones, and a
// <t> of another namespace in an inline string is no part of its text. An attribute of 90 KB (a
// conditional format's and a data validation's range) is read like any other.
TEST(XlsxXmlRules, ReadElementsByNamespaceAndLongAttributes)
{
    const struct {
        const char *file;
        QStringList names;
        QList<QStringList> rows;
    } cases[] = {
        {"archive-strict.xlsx", {"code"}, column({"7"})},
        {"rules-foreign-text.xlsx", {"コード"}, column({"1", "kept"})},
        {"rules-long-ranges.xlsx", {"コード"}, column({"1"})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const Sheet sheet = readSheet(made(c.file), QStringLiteral("S"));
        ASSERT_TRUE(sheet.ok) << sheet.error.toStdString();
        EXPECT_EQ(sheet.names, c.names);
        EXPECT_EQ(sheet.rows, c.rows);
    }
}

// Excel writes each row once, in rising order, within the sheet's 1,048,576 rows. A sheet whose row
// numbers go back (alternating, out of order, repeated, a cell of an earlier row) or run past the
// last row is refused, the row named, never read as rows Excel would not show.
TEST(XlsxRowRules, RefuseRowsThatDoNotRise)
{
    const struct {
        const char *file;
        const char *error;
    } cases[] = {
        {"rules-rows-alternating.xlsx", "シート「S」を読み込めません。(行番号「3」が昇順ではありません)"},
        {"rules-rows-out-of-order.xlsx", "シート「S」を読み込めません。(行番号「3」が昇順ではありません)"},
        {"rules-rows-repeated.xlsx", "シート「S」を読み込めません。(行番号「3」が昇順ではありません)"},
        {"rules-rows-cell-back.xlsx", "シート「S」を読み込めません。(行番号「1」が昇順ではありません)"},
        {"rules-rows-unnumbered.xlsx", "シート「S」を読み込めません。(行が1048576行を超えています)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const Sheet sheet = readSheet(made(c.file), QStringLiteral("S"));
        EXPECT_FALSE(sheet.ok);
        EXPECT_EQ(sheet.error, QString::fromUtf8(c.error));
        EXPECT_TRUE(sheet.rows.isEmpty());
    }
}

// The archive: a stored part is checked to its last byte, two entries of one name (in any letter
// case) are refused, and an archive of more than 65,535 entries is read, as is one of exactly
// 65,535 that has no zip64 record.
TEST(XlsxArchiveRules, CheckEveryPartAndReadZip64)
{
    const struct {
        const char *file;
        const char *error;
    } cases[] = {
        {"archive-stored-changed.xlsx", "シート「S」を読み込めません。(damaged entry (size or checksum))"},
        {"archive-twice-named.xlsx",
         "Excelファイル「archive-twice-named.xlsx」を読み込めません。(ZIPに同じ名前の項目が"
         "2つあります「xl/worksheets/sheet1.xml」)"},
        {"archive-twice-named-case.xlsx",
         "Excelファイル「archive-twice-named-case.xlsx」を読み込めません。(ZIPに同じ名前"
         "の項目が2つあります「xl/Worksheets/Sheet1.xml」)"},
        {"archive-zip64.xlsx", ""},
        {"archive-count-ffff.xlsx", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const Sheet sheet = readSheet(made(c.file), QStringLiteral("S"));
        EXPECT_EQ(sheet.error, QString::fromUtf8(c.error));
        EXPECT_EQ(sheet.rows, sheet.ok ? column({"1"}) : QList<QStringList>());
    }
}

// Shared strings past what the reader keeps in memory are read back from its temporary file.
TEST(XlsxSharedStrings, ReadStringsKeptOutOfMemory)
{
    const Sheet sheet = readSheet(made("rules-many-strings.xlsx"), QStringLiteral("S"));
    ASSERT_TRUE(sheet.ok) << sheet.error.toStdString();
    const QString tail(4000, u'a');
    EXPECT_EQ(sheet.rows, column({QStringLiteral("00000") + tail, QStringLiteral("02500") + tail,
                                  QStringLiteral("04999") + tail}));
}

// Chart, dialog and macro sheets hold no table: only the worksheet is listed.
TEST(XlsxSheetKinds, ListOnlyWorksheets)
{
    QString error;
    const std::unique_ptr<TableSource> source = openTableReader(made("rules-sheet-kinds.xlsx"), error);
    ASSERT_TRUE(source);
    QStringList tables;
    ASSERT_TRUE(source->listTables(tables, error)) << error.toStdString();
    EXPECT_EQ(tables, QStringList{QStringLiteral("S")});
}

} // namespace
