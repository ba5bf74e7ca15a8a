#include "masters/tables/SelectTableRules.h"
#include "masters/tables/TableReaders.h"
#include "masters/tables/TableSource.h"
#include "tests/masters/tables/TablePrinting.h"

#include "platform/Cp932.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <sys/resource.h>

using namespace masters::tables;

namespace {

// Made by scripts/make-test-workbooks at build time.
QString workbook(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_WORKBOOKS "/") + QString::fromUtf8(name);
}

QList<QStringList> allRows(TableSource &source, const QString &table, QString &error, bool &ok)
{
    QList<QStringList> rows;
    ok = source.readRows(
        table,
        [&](const QStringList &row) {
            rows.append(row);
            return true;
        },
        error);
    return rows;
}

struct WorkbookCase {
    const char *file;
    const char *trueText;
    const char *falseText;
    bool booleansNumeric;
};

class Workbooks : public testing::TestWithParam<WorkbookCase> {
protected:
    std::unique_ptr<TableSource> open(QString &error)
    {
        return openTableReader(workbook(GetParam().file), error);
    }
};

INSTANTIATE_TEST_SUITE_P(Kinds, Workbooks,
                         testing::Values(WorkbookCase{"products.xlsx", "True", "False", false},
                                         WorkbookCase{"products.xls", "True", "False", false}),
                         [](const testing::TestParamInfo<WorkbookCase> &info) {
                             return std::string(QString::fromUtf8(info.param.file).section(u'.', 1).toUtf8());
                         });

TEST_P(Workbooks, ListsTheSheetsByTheirPlainNames)
{
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    QStringList names;
    ASSERT_TRUE(source->listTables(names, error)) << error.toStdString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("商品"), QStringLiteral("空白"), QStringLiteral("価格表")}));
}

TEST_P(Workbooks, TakesTheFirstRowForNamesAndANumberOnlyColumnAsNumeric)
{
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    QList<TableColumn> columns;
    ASSERT_TRUE(source->readColumns(QStringLiteral("商品"), columns, error)) << error.toStdString();
    const QList<TableColumn> expected = {{QStringLiteral("コード"), true},
                                         {QStringLiteral("品名"), false},
                                         {QStringLiteral("単価"), true},
                                         {QStringLiteral("入荷日"), false},
                                         {QStringLiteral("在庫"), GetParam().booleansNumeric},
                                         // numbers and text mixed
                                         {QStringLiteral("備考"), false}};
    EXPECT_EQ(columns, expected);
}

TEST_P(Workbooks, RendersEachValueAsItsTextAndSkipsEmptyRows)
{
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    bool ok = false;
    const QList<QStringList> rows = allRows(*source, QStringLiteral("商品"), error, ok);
    ASSERT_TRUE(ok) << error.toStdString();
    const QString yes = QString::fromLatin1(GetParam().trueText);
    const QString no = QString::fromLatin1(GetParam().falseText);
    const QList<QStringList> expected = {
        {"101", "りんご", "150", "2024/01/05", yes, "産地直送"},
        {"102", "ﾊﾞﾅﾅ", "98.5", "2024/02/29 13:45:30", no, "12"},
        {"-3", "表示価格（税込）", "0.1", "9:05:00", "", ""},
        {"4901234567890", "", "1E20", "", yes, "A-1"},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows.at(i), expected.at(i)) << "row " << i;
}

TEST_P(Workbooks, NamesUnnamedColumnsByPositionAndReadsAnEmptySheet)
{
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    QList<TableColumn> columns;
    ASSERT_TRUE(source->readColumns(QStringLiteral("価格表"), columns, error)) << error.toStdString();
    EXPECT_EQ(columns, (QList<TableColumn>{{QStringLiteral("F1"), false},
                                           {QStringLiteral("品番"), false},
                                           {QStringLiteral("価格"), true}}));
    bool ok = false;
    EXPECT_EQ(allRows(*source, QStringLiteral("価格表"), error, ok),
              (QList<QStringList>{{"", "X1", "10"}, {"", "X2", "20"}}));
    EXPECT_TRUE(ok);

    ASSERT_TRUE(source->readColumns(QStringLiteral("空白"), columns, error)) << error.toStdString();
    EXPECT_TRUE(columns.isEmpty());
    EXPECT_TRUE(allRows(*source, QStringLiteral("空白"), error, ok).isEmpty());
    EXPECT_TRUE(ok);
}

TEST_P(Workbooks, StopsWhenTheImportSaysSo)
{
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    int seen = 0;
    EXPECT_TRUE(source->readRows(
        QStringLiteral("商品"), [&](const QStringList &) { return ++seen < 2; }, error));
    EXPECT_EQ(seen, 2);
}

TEST_P(Workbooks, ImportsTheSheetIntoFixedWidthRecords)
{
    struct Sink : RecordSink {
        QByteArray data;
        bool appendRecord(const QByteArray &record, QString &) override
        {
            data += record;
            return true;
        }
    } sink;
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    // Key from the code (numeric), then the name and the remark (text).
    const ImportOutcome outcome = importTable(*source, QStringLiteral("商品"), {{0, 1, 5}}, {6, 8, 4}, sink);
    ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
    EXPECT_EQ(outcome.count, 4);
    const auto sjis = [](const char *text) { return platform::cp932::encode(QString::fromUtf8(text)); };
    const QByteArray expected = "000101" + sjis("りんご  ") + sjis("産地") + "\r\n" + //
                                "000102" + sjis("ﾊﾞﾅﾅ    ") + "12  \r\n" +            //
                                "-00003" + sjis("表示価格") + "    \r\n" +            //
                                "490123"
                                "        "
                                "A-1 \r\n";
    EXPECT_EQ(sink.data, expected);
}

TEST_P(Workbooks, ReportsAMissingSheet)
{
    QString error;
    auto source = open(error);
    ASSERT_TRUE(source);
    QList<TableColumn> columns;
    EXPECT_FALSE(source->readColumns(QStringLiteral("ない"), columns, error));
    EXPECT_TRUE(error.contains(QStringLiteral("ない"))) << error.toStdString();
}

// Text written inline in the cells (rich runs, character references, a phonetic guide that is not
// part of the text, a row of nothing else) arrives at its column next to shared strings and numbers.
TEST(TableReaders, DeliverTextWrittenInlineInTheCells)
{
    QString error;
    auto source = openTableReader(workbook("inline.xlsx"), error);
    ASSERT_TRUE(source);
    const QString sheet = QStringLiteral("混在");
    QList<TableColumn> columns;
    ASSERT_TRUE(source->readColumns(sheet, columns, error)) << error.toStdString();
    EXPECT_EQ(columns, (QList<TableColumn>{{QStringLiteral("コード"), true},
                                           {QStringLiteral("品名"), false},
                                           {QStringLiteral("単価"), true},
                                           {QStringLiteral("備考"), false}}));
    bool ok = false;
    const QList<QStringList> rows = allRows(*source, sheet, error, ok);
    ASSERT_TRUE(ok) << error.toStdString();
    const QList<QStringList> expected = {
        {"101", "赤い りんご", "150", "産地直送"},
        {"102", "ﾊﾞﾅﾅ & 梨", "", ""},
        {"", "表示価格（税込）", "", "A-1"},
        {"103", "\U00020BB7野家", "7", ""},
    };
    ASSERT_EQ(rows.size(), expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows.at(i), expected.at(i)) << "row " << i;

    // A stop asked for on a row of inline text alone holds.
    int seen = 0;
    EXPECT_TRUE(source->readRows(
        sheet, [&](const QStringList &) { return ++seen < 3; }, error));
    EXPECT_EQ(seen, 3);

    // Text cells all inline, as openpyxl writes them.
    ASSERT_TRUE(source->readColumns(QStringLiteral("品目"), columns, error)) << error.toStdString();
    EXPECT_EQ(columns, (QList<TableColumn>{{QStringLiteral("品番"), true}, {QStringLiteral("品名"), false}}));
    EXPECT_EQ(allRows(*source, QStringLiteral("品目"), error, ok), (QList<QStringList>{{"1", "りんご"}}));
    EXPECT_TRUE(ok) << error.toStdString();
}

// openpyxl links its sheet parts from the archive's root.
TEST(TableReaders, ReadASheetLinkedFromTheArchiveRoot)
{
    QString error;
    auto source = openTableReader(workbook("rootlinks.xlsx"), error);
    ASSERT_TRUE(source);
    QStringList names;
    ASSERT_TRUE(source->listTables(names, error)) << error.toStdString();
    EXPECT_EQ(names, QStringList{QStringLiteral("商品")});
    bool ok = false;
    EXPECT_EQ(allRows(*source, QStringLiteral("商品"), error, ok), (QList<QStringList>{{"101", "りんご"}}));
    EXPECT_TRUE(ok) << error.toStdString();
}

// Cached results of classic and dynamic arrays (anchor and spilled cells), boolean and text
// formulas arrive as values.
TEST(TableReaders, DeliverTheCachedResultsOfEveryKindOfFormula)
{
    QString error;
    auto source = openTableReader(workbook("arrays.xlsx"), error);
    ASSERT_TRUE(source);
    const QString sheet = QStringLiteral("配列");
    QList<TableColumn> columns;
    ASSERT_TRUE(source->readColumns(sheet, columns, error)) << error.toStdString();
    EXPECT_EQ(columns, (QList<TableColumn>{{QStringLiteral("コード"), true},
                                           {QStringLiteral("倍"), true},
                                           {QStringLiteral("判定"), false},
                                           {QStringLiteral("名"), false},
                                           {QStringLiteral("連番"), true}}));
    bool ok = false;
    EXPECT_EQ(allRows(*source, sheet, error, ok),
              (QList<QStringList>{
                  {"1", "2", "False", "x1", "1"}, {"2", "4", "True", "x2", "2"}, {"", "", "", "", "3"}}));
    EXPECT_TRUE(ok) << error.toStdString();
}

TEST(TableReaders, CountDaysFromTheWorkbooksOwnDateOrigin)
{
    QString error;
    auto source = openTableReader(workbook("dates1904.xlsx"), error);
    ASSERT_TRUE(source);
    bool ok = false;
    EXPECT_EQ(allRows(*source, QStringLiteral("日付"), error, ok),
              (QList<QStringList>{{"1", "2024/01/05"}, {"2", "2024/02/29 13:45:30"}, {"3", "9:05:00"}}));
    EXPECT_TRUE(ok) << error.toStdString();
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A sheet part of 256 MiB (260 KB in the file) is read through to its last row without being held.
TEST(TableReaders, StreamASheetPartWhateverItInflatesTo)
{
    const long before = peakKiB();
    QString error;
    auto source = openTableReader(workbook("padded.xlsx"), error);
    ASSERT_TRUE(source);
    bool ok = false;
    EXPECT_EQ(allRows(*source, QStringLiteral("S"), error, ok), (QList<QStringList>{{"7"}}));
    EXPECT_TRUE(ok) << error.toStdString();
    EXPECT_LT(peakKiB() - before, 64 * 1024);
}

// Shared strings of 192 MiB of text (260 KB in the file) are refused once text and index reach
// their bound, and the text is never copied into a larger allocation on the way there.
TEST(TableReaders, RefuseSharedStringsPastTheirBoundWithinItsMemory)
{
    const long before = peakKiB();
    QString error;
    auto source = openTableReader(workbook("strings-bomb.xlsx"), error);
    ASSERT_TRUE(source);
    QStringList names;
    EXPECT_TRUE(source->listTables(names, error)) << error.toStdString();
    QList<TableColumn> columns;
    EXPECT_FALSE(source->readColumns(QStringLiteral("S"), columns, error));
    EXPECT_EQ(error,
              QStringLiteral(
                  "Excelファイル「strings-bomb.xlsx」を読み込めません。(共有文字列が128MBを超えています)"));
    EXPECT_LT(peakKiB() - before, 192 * 1024);
}

// Damaged workbooks are refused with a message naming the sheet (or the file, when the fault is
// in a part of the whole workbook), never read as something else and never a crash.
TEST(TableReaders, RefuseDamagedWorkbooks)
{
    const struct {
        const char *file;
        bool listed; // the fault shows only when the sheet is read
        const char *error;
    } cases[] = {
        {"index", true, "シート「S」を読み込めません。(セルA3の共有文字列の番号「x」が正しくありません)"},
        {"index-range", true,
         "シート「S」を読み込めません。(セルB3の共有文字列の番号「1」が正しくありません)"},
        {"twice", true, "シート「S」を読み込めません。(同じ名前のシートが2枚あります)"},
        {"styles-link", true, "シート「S」を読み込めません。(ワークシートではありません)"},
        // A chart sheet is not listed, so there is no sheet of its name to read.
        {"chart", true, "シート「S」がありません。"},
        {"no-part", true, "シート「S」を読み込めません。(ワークシートではありません)"},
        {"row-number", true,
         "シート「S」を読み込めません。(行番号「99999999999999999999」が正しくありません)"},
        {"ends-in-tag", true,
         "シート「S」を読み込めません。(xl/worksheets/sheet1.xml: XML: unclosed token at byte 246)"},
        {"cell-reference", true,
         "シート「S」を読み込めません。(xl/worksheets/sheet1.xml: XML: reference to invalid character number "
         "at byte 277)"},
        {"string-reference", true,
         "Excelファイル「damaged-string-reference.xlsx」を読み込めません。(xl/sharedStrings.xml: XML: not "
         "well-formed (invalid token) at byte 119)"},
        {"name-reference", false,
         "Excelファイル「damaged-name-reference.xlsx」を読み込めません。(xl/workbook.xml: XML: reference to "
         "invalid character number at byte 213)"},
        {"long-text", true, "シート「S」を読み込めません。(セルB3の文字列が長すぎます)"},
        // The directory's size is a bound on the bytes inflated, not taken on trust.
        {"understated", true, "シート「S」を読み込めません。(entry larger than its declared size)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        QString error;
        auto source = openTableReader(workbook((std::string("damaged-") + c.file + ".xlsx").c_str()), error);
        ASSERT_TRUE(source);
        QStringList names;
        ASSERT_EQ(source->listTables(names, error), c.listed) << error.toStdString();
        if (c.listed) {
            QList<TableColumn> columns;
            EXPECT_FALSE(source->readColumns(QStringLiteral("S"), columns, error));
            bool ok = true;
            EXPECT_TRUE(allRows(*source, QStringLiteral("S"), error, ok).isEmpty());
            EXPECT_FALSE(ok);
        }
        EXPECT_EQ(error, QString::fromUtf8(c.error));
    }
}

// Files of each kind that are missing, empty or not of their kind fail with a text, not a crash.
TEST(TableReaders, ReportBrokenFilesAsErrors)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *suffix : {"xlsx", "xls", "mdb", "accdb"}) {
        for (const QByteArray &content :
             {QByteArray(), QByteArray("not a workbook\r\n"), QByteArray(4096, '\xff')}) {
            SCOPED_TRACE(std::string(suffix) + " of " + std::to_string(content.size()) + " bytes");
            const QString path = dir.filePath(QStringLiteral("broken.") + QString::fromLatin1(suffix));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(file.write(content), content.size());
            file.close();
            QString error;
            auto source = openTableReader(path, error);
            ASSERT_TRUE(source);
            QStringList names;
            EXPECT_FALSE(source->listTables(names, error));
            EXPECT_FALSE(error.isEmpty());
        }
        QString error;
        auto missing =
            openTableReader(dir.filePath(QStringLiteral("missing.") + QString::fromLatin1(suffix)), error);
        ASSERT_TRUE(missing);
        QStringList names;
        EXPECT_FALSE(missing->listTables(names, error));
        EXPECT_TRUE(error.contains(QStringLiteral("missing"))) << error.toStdString();
    }
}

TEST(TableReaders, ChosenByExtensionInAnyCase)
{
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/a.MDB")), SourceKind::Access);
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/a.mde")), SourceKind::Access);
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/a.AccDb")), SourceKind::Access);
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/a.Xls")), SourceKind::Excel);
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/a.xlsx")), SourceKind::Excel);
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/a.csv")), SourceKind::None);
    EXPECT_EQ(sourceKindOf(QStringLiteral("/d/xls")), SourceKind::None);
    QString error;
    EXPECT_FALSE(openTableReader(QStringLiteral("/d/a.csv"), error));
    EXPECT_EQ(error, QStringLiteral("アクセスまたはエクセルのデータソースを指定してください。"));
}

} // namespace
