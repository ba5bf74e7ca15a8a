// The .xls reader against workbooks written by Excel and other programs (tests/data/workbooks/)
// and by scripts/make-test-workbooks. The expected values are what Excel shows for the cells, as
// an independent reader (python3-xlrd) gives them, laid out as the import lays out every value.
#include "masters/tables/TableReaders.h"
#include "masters/tables/TableSource.h"
#include "tests/masters/tables/TablePrinting.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <sys/resource.h>

using namespace masters::tables;

namespace {

// Written by other programs, kept in the tree.
QString fixture(const char *name)
{
    return QStringLiteral(HARBROOK_WORKBOOK_FIXTURES "/") + QString::fromUtf8(name);
}

// Made by scripts/make-test-workbooks at build time.
QString madeWorkbook(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_WORKBOOKS "/") + QString::fromUtf8(name);
}

struct Sheet {
    bool ok = false;
    QString error;
    QList<TableColumn> columns;
    QList<QStringList> rows;
};

Sheet readSheet(TableSource &source, const QString &name)
{
    Sheet sheet;
    if (!source.readColumns(name, sheet.columns, sheet.error))
        return sheet;
    sheet.ok = source.readRows(
        name,
        [&](const QStringList &row) {
            sheet.rows.append(row);
            return true;
        },
        sheet.error);
    return sheet;
}

Sheet readSheet(const QString &path, const QString &name)
{
    QString error;
    auto source = openTableReader(path, error);
    if (!source)
        return {false, error, {}, {}};
    return readSheet(*source, name);
}

QStringList sheetNames(const QString &path, QString &error)
{
    QStringList names;
    auto source = openTableReader(path, error);
    if (source && !source->listTables(names, error))
        names = {QStringLiteral("(failed)")};
    return names;
}

QList<TableColumn> columnsNamed(const QStringList &names, const QList<bool> &numeric)
{
    QList<TableColumn> columns;
    for (qsizetype i = 0; i < names.size(); ++i)
        columns.append({names.at(i), numeric.value(i)});
    return columns;
}

// Formula cells import as the result Excel stored for them: numbers, text, booleans; a row of
// formulas alone is a row, and the names stay in the first row.
TEST(XlsReader, ImportsTheStoredResultOfEveryFormula)
{
    const Sheet counts = readSheet(fixture("formulas-booleans.xls"), QStringLiteral("Sheet1"));
    ASSERT_TRUE(counts.ok) << counts.error.toStdString();
    EXPECT_EQ(counts.columns,
              columnsNamed({"Range begin", "Range", "Range end", "Actual", "Expected", "Comments"},
                           {false, false, false, true, true, false}));
    const QList<QStringList> expected = {
        {"", "", "", "3", "3", ""},
        {"1", "", "1", "1", "1", ""},
        {"1", "", "", "2", "2", ""},
        {"True", "False", "", "1", "1", "boolean false does not count as blank"},
        {"foxtrot", "unicorn", "charlie", "0", "0", ""},
        {"2009/12/12", " ", "", "1", "1", "second cell contains a space character"},
    };
    EXPECT_EQ(counts.rows, expected);

    const Sheet axis = readSheet(fixture("formula-rows.xls"), QStringLiteral("AXISDEF"));
    ASSERT_TRUE(axis.ok) << axis.error.toStdString();
    EXPECT_EQ(axis.columns, columnsNamed({"PROFIL", "i", "d"}, {false, true, true}));
    ASSERT_EQ(axis.rows.size(), 14);
    EXPECT_EQ(axis.rows.first(), (QStringList{"P8.2", "1", "100"}));
    EXPECT_EQ(axis.rows.last(), (QStringList{"Q0", "14", "113"}));

    const Sheet chainage = readSheet(fixture("formula-rows.xls"), QStringLiteral("TRAVERSALCHAINAGE"));
    ASSERT_TRUE(chainage.ok) << chainage.error.toStdString();
    ASSERT_EQ(chainage.rows.size(), 14);
    EXPECT_EQ(chainage.rows.at(2),
              (QStringList{"P8.4", "0", "0.200009999999992", "1.10004000000001", "2.42514000101025",
                           "3.35000000073134", "3.59999999999999", "3.90000000000001", "4.90000000000001",
                           "8.15000000000001", "12.4", "13.3", "13.5"}));
}

// Workbooks that were listed as holding no table at all.
TEST(XlsReader, ListsTheSheetsOfEverySoundWorkbook)
{
    QString error;
    EXPECT_EQ(sheetNames(fixture("listed-as-empty.xls"), error), QStringList{"test-sheet"})
        << error.toStdString();
    const Sheet only = readSheet(fixture("listed-as-empty.xls"), QStringLiteral("test-sheet"));
    ASSERT_TRUE(only.ok) << only.error.toStdString();
    // One row, so it names the columns and no row follows.
    EXPECT_EQ(only.columns,
              columnsNamed({"7.21", "41207.6922902199", "41207.6922903009", "row:0/col:3", "True"}, {}));
    EXPECT_TRUE(only.rows.isEmpty());

    EXPECT_EQ(sheetNames(fixture("japanese-excel-2004.xls"), error), QStringList{"Sheet1"})
        << error.toStdString();
    const Sheet tests = readSheet(fixture("japanese-excel-2004.xls"), QStringLiteral("Sheet1"));
    ASSERT_TRUE(tests.ok) << tests.error.toStdString();
    EXPECT_EQ(tests.columns, columnsNamed({"test"}, {false}));
    QList<QStringList> expected(9, QStringList{"test"});
    expected.append({"there is no page break in this file"});
    EXPECT_EQ(tests.rows, expected);
}

// An error value (a constant or a formula's result) is no value, as in an .xlsx workbook; a boolean
// is "True" or "False" and no number.
TEST(XlsReader, ImportsErrorsAsBlankAndBooleansAsTrueOrFalse)
{
    const Sheet code = readSheet(fixture("error-cells.xls"), QStringLiteral("Code"));
    ASSERT_TRUE(code.ok) << code.error.toStdString();
    EXPECT_EQ(code.columns,
              columnsNamed({"F1", "Sheet Comment:", "Simple tests of Code using basic argument values", "F4"},
                           {false, false, false, false}));
    ASSERT_EQ(code.rows.size(), 6);
    EXPECT_EQ(code.rows.at(4), (QStringList{"", "", "", "Empty text"}));
    EXPECT_EQ(code.rows.at(5), (QStringList{"<end>", "", "", ""}));

    const Sheet counts = readSheet(fixture("formulas-booleans.xls"), QStringLiteral("Sheet1"));
    ASSERT_TRUE(counts.ok) << counts.error.toStdString();
    ASSERT_GE(counts.rows.size(), 4);
    EXPECT_EQ(counts.rows.at(3).mid(0, 2), (QStringList{"True", "False"}));
    EXPECT_FALSE(counts.columns.value(1).numeric);
}

// The built-in date formats a Japanese Excel adds (here number 56) show dates, as in .xlsx.
TEST(XlsReader, KnowsTheJapaneseBuiltInDateFormats)
{
    const Sheet work = readSheet(fixture("japanese-date-formats.xls"), QStringLiteral("作業リスト"));
    ASSERT_TRUE(work.ok) << work.error.toStdString();
    ASSERT_EQ(work.columns.size(), 13);
    EXPECT_EQ(work.columns.at(11).name, QStringLiteral("作業開始日付"));
    const auto row = std::find_if(work.rows.cbegin(), work.rows.cend(),
                                  [](const QStringList &values) { return values.value(0) == u"32"; });
    ASSERT_NE(row, work.rows.cend());
    EXPECT_EQ(*row, (QStringList{"32", "作業中", "PC", "住所録編集(画面)", "", "住所録設定の編集", "宮地",
                                 "2002/07/03", "4", "2002/07/05", "?", "2002/07/01", ""}));
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A sheet whose DIMENSIONS record claims 65,536 rows by 256 columns holds four cells: the reader
// keeps what the records hold, not what that record says.
TEST(XlsReader, KeepsMemoryBoundedWhateverTheDimensionsClaim)
{
    const long before = peakKiB();
    const Sheet corners = readSheet(fixture("large-dimensions.xls"), QStringLiteral("Sheet1"));
    ASSERT_TRUE(corners.ok) << corners.error.toStdString();
    ASSERT_EQ(corners.columns.size(), 256);
    EXPECT_EQ(corners.columns.first().name, QStringLiteral("Top Left Cell"));
    EXPECT_EQ(corners.columns.at(1).name, QStringLiteral("F2"));
    EXPECT_EQ(corners.columns.last().name, QStringLiteral("Top Right Cell"));
    ASSERT_EQ(corners.rows.size(), 1);
    EXPECT_EQ(corners.rows.first().first(), QStringLiteral("Bottom Left Cell"));
    EXPECT_EQ(corners.rows.first().mid(1, 254), QStringList(254, QString()));
    EXPECT_EQ(corners.rows.first().last(), QStringLiteral("Bottom Right Cell"));
    EXPECT_LT(peakKiB() - before, 16 * 1024);
}

// Excel 5 and 95 workbooks: text in the workbook's code page (932 here), every kind of cell, and
// only worksheets listed (not the chart, macro and dialog sheets).
TEST(XlsReader, ReadsExcel95WorkbooksInTheirCodePage)
{
    QString error;
    EXPECT_EQ(sheetNames(madeWorkbook("excel95.xls"), error), (QStringList{"商品", "価格表"}))
        << error.toStdString();
    const Sheet goods = readSheet(madeWorkbook("excel95.xls"), QStringLiteral("商品"));
    ASSERT_TRUE(goods.ok) << goods.error.toStdString();
    EXPECT_EQ(goods.columns, columnsNamed({"コード", "品名", "単価", "入荷日", "在庫", "備考"},
                                          {true, false, true, false, false, false}));
    const QList<QStringList> expected = {
        {"101", "りんご", "150", "2024/01/05", "True", "産地直送"},
        {"102", "ﾊﾞﾅﾅ", "98.5", "2024/02/29", "False", "12"},
        {"-3", "表示価格（税込）", "0.1", "9:05:00", "", ""},
        {"4901234567890", "", "1E20", "", "True", "A-1"},
    };
    EXPECT_EQ(goods.rows, expected);
    const Sheet prices = readSheet(madeWorkbook("excel95.xls"), QStringLiteral("価格表"));
    EXPECT_EQ(prices.rows, (QList<QStringList>{{"", "X1", "10"}}));
}

// Shared strings run on into CONTINUE records, one split inside its characters where the width
// changes; a formula's long text result runs on the same way.
TEST(XlsReader, ReadsTextThatRunsOnIntoContinueRecords)
{
    const Sheet sheet = readSheet(madeWorkbook("sst-continue.xls"), QStringLiteral("S"));
    ASSERT_TRUE(sheet.ok) << sheet.error.toStdString();
    EXPECT_EQ(sheet.columns, columnsNamed({"品名" + QString(10, u'と'), "price"}, {false, false}));
    ASSERT_EQ(sheet.rows.size(), 1);
    EXPECT_EQ(sheet.rows.first().at(0), "ABC" + QString(8200, u'x'));
    EXPECT_EQ(sheet.rows.first().at(1), "結果" + QString(9000, u'z'));
}

// What cannot be read is refused with the reason, never shown as a workbook without tables.
TEST(XlsReader, RefusesWorkbooksItCannotReadAndSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString renamed = dir.filePath(QStringLiteral("renamed.xls"));
    ASSERT_TRUE(QFile::copy(madeWorkbook("products.xlsx"), renamed));
    const struct {
        QString path;
        bool listed;
        const char *error;
    } cases[] = {
        {madeWorkbook("encrypted.xls"), false,
         "Excelファイル「encrypted.xls」を読み込めません。(パスワードで暗号化されています)"},
        {madeWorkbook("biff4.xls"), false,
         "Excelファイル「biff4.xls」を読み込めません。(Excel 4.0以前の形式のブックには対応していません)"},
        {renamed, false,
         "Excelファイル「renamed.xls」を読み込めません。(Excel 97-2003形式のブックではありません)"},
        {madeWorkbook("damaged-cut.xls"), true,
         "シート「S」を読み込めません。(ブックが壊れているか途中で切れています)"},
        {madeWorkbook("damaged-sst-index.xls"), true,
         "シート「S」を読み込めません。(セルA3の共有文字列の番号「7」が正しくありません)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        QString error;
        const QStringList names = sheetNames(c.path, error);
        if (!c.listed) {
            EXPECT_EQ(names, QStringList{QStringLiteral("(failed)")});
        } else {
            EXPECT_EQ(names, QStringList{QStringLiteral("S")});
            const Sheet sheet = readSheet(c.path, QStringLiteral("S"));
            EXPECT_FALSE(sheet.ok);
            EXPECT_TRUE(sheet.rows.isEmpty());
            error = sheet.error;
        }
        EXPECT_EQ(error, QString::fromUtf8(c.error));
    }
}

// The same sheets saved as .xls and as .xlsx import the same columns and rows.
TEST(XlsReader, ImportsWhatTheXlsxReaderImportsForTheSameSheets)
{
    QString error;
    const QStringList names = sheetNames(madeWorkbook("products.xls"), error);
    EXPECT_EQ(names, sheetNames(madeWorkbook("products.xlsx"), error));
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const Sheet xls = readSheet(madeWorkbook("products.xls"), name);
        const Sheet xlsx = readSheet(madeWorkbook("products.xlsx"), name);
        ASSERT_TRUE(xls.ok) << xls.error.toStdString();
        ASSERT_TRUE(xlsx.ok) << xlsx.error.toStdString();
        EXPECT_EQ(xls.columns, xlsx.columns);
        EXPECT_EQ(xls.rows, xlsx.rows);
    }
}

} // namespace
