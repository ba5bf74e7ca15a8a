#include "masters/tables/XlsxSheetText.h"
#include "masters/tables/XlsxWorkbook.h"

#include <gtest/gtest.h>

#include <string>

using namespace masters::tables;

namespace {

QString workbook(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_WORKBOOKS "/") + QString::fromUtf8(name);
}

// The sheet's last row and column are read; a row number or cell reference past them (a number too
// long for any integer included) fails the sheet rather than wrap around onto another row.
TEST(XlsxSheetCells, ReadUpToTheSheetsLastRowAndColumnAndNoFurther)
{
    const struct {
        const char *file;
        const char *lastCell; // the last cell read, as "row,column"
        const char *error;
    } cases[] = {
        {"last-row.xlsx", "1048575,16383", ""},
        {"damaged-row-number.xlsx", "1,0",
         "シート「S」を読み込めません。(行番号「99999999999999999999」が正しくありません)"},
        {"damaged-row-past-end.xlsx", "1,0",
         "シート「S」を読み込めません。(行番号「1048577」が正しくありません)"},
        {"damaged-column-past-end.xlsx", "1,0",
         "シート「S」を読み込めません。(セル番地「XFE3」が正しくありません)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        XlsxWorkbook book;
        QString error;
        ASSERT_TRUE(book.open(workbook(c.file), error)) << error.toStdString();
        ASSERT_TRUE(book.loadCellData(error)) << error.toStdString();
        std::string last;
        const bool read = readSheetCells(
            book, QStringLiteral("S"),
            [&](qint64 row, int column, const XlsxCell &) {
                last = std::to_string(row) + "," + std::to_string(column);
                return true;
            },
            error);
        EXPECT_EQ(read, *c.error == '\0');
        EXPECT_EQ(error, QString::fromUtf8(c.error));
        EXPECT_EQ(last, c.lastCell);
    }
}

} // namespace
