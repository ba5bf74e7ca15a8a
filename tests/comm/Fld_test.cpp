#include "comm/YmFld.h"

#include <gtest/gtest.h>
#include <vector>

using namespace comm;

namespace {

struct ListCase {
    QByteArray list;
    int recordSize;
    std::vector<int> widths;
};

TEST(SendFieldList, ParsesOrRefusesTheWholeList)
{
    QByteArray many;
    for (int i = 0; i < 256; ++i)
        many += i ? " 1" : "1";
    const std::vector<ListCase> cases = {
        {"4 1 2", 7, {4, 1, 2}},
        {"  8  ", 8, {8}},
        {"8192", 8192, {8192}},
        {many, 256, std::vector<int>(256, 1)},
        {"", 0, {}},
        {"   ", 0, {}},
        {"4 0 2", 0, {}},
        {"8193", 0, {}},
        {"4  2", 0, {}},  // two spaces: an empty width
        {"4 x 2", 0, {}}, // not a number
        {"-4", 0, {}},
        {"8192 8192 8192 8192 8192 8192 8192 8192 1", 0, {}}, // 65537
        {"8192 8192 8192 8192 8192 8192 8192 8191", 65535, {8192, 8192, 8192, 8192, 8192, 8192, 8192, 8191}},
        {"99999999999", 0, {}},
        {many + " 1", 0, {}}, // 257 widths do not fit the layout
    };
    for (const ListCase &c : cases) {
        std::vector<int> widths{99};
        EXPECT_EQ(parseSendFieldList(c.list, widths), c.recordSize) << c.list.left(40).constData();
        EXPECT_EQ(widths, c.widths) << c.list.left(40).constData();
    }
}

TEST(FldText, WriterLinesAndSingleFieldKey)
{
    EXPECT_EQ(
        buildFldText("MASTER.DAT", 900, 100, "4 1 2", 3),
        QByteArray("* created by BHT\r\nfile\tMASTER.DAT\r\nsize\t900\r\nrecords\t100\r\nfields\t4 1 2\r\n"));
    EXPECT_EQ(buildFldText("A.DAT", 10, 1, "8", 1),
              QByteArray("* created by BHT\r\nfile\tA.DAT\r\nsize\t10\r\nrecords\t1\r\nfield\t8\r\n"));
}

TEST(FldText, TakeItemConsumesUpToTheLineEnd)
{
    QByteArray text = "file\tA.DAT\r\nsize\t9\r\n";
    EXPECT_EQ(takeFldItem(text, "size"), QByteArray("9"));
    EXPECT_EQ(text, QByteArray()); // the search skipped the file line as well

    text = "file\tA.DAT\r\nsize\t9\r\n";
    EXPECT_EQ(takeFldItem(text, "records"), QByteArray());
    EXPECT_EQ(text, QByteArray("file\tA.DAT\r\nsize\t9\r\n")); // absent key: unchanged

    text = "file\tA.DAT";
    EXPECT_EQ(takeFldItem(text, "file"), QByteArray());
    EXPECT_EQ(text, QByteArray("A.DAT")); // no line end: continues after the separator

    text = "file";
    EXPECT_EQ(takeFldItem(text, "file"), QByteArray());
    EXPECT_EQ(text, QByteArray());
}

QByteArray fld(const QByteArray &file, const QByteArray &size, const QByteArray &records,
               const QByteArray &fields, const QByteArray &recordsKey = "records",
               const QByteArray &fieldsKey = "fields")
{
    return "* created by BHT\r\nfile\t" + file + "\r\nsize\t" + size + "\r\n" + recordsKey + "\t" + records +
           "\r\n" + fieldsKey + "\t" + fields + "\r\n";
}

struct CheckCase {
    const char *what;
    QByteArray text;
    bool valid;
    int recordSize;
    int wireSize;
};

TEST(FldText, ReaderChecks)
{
    QByteArray many = "1";
    for (int i = 1; i < 257; ++i)
        many += " 1";
    const std::vector<CheckCase> cases = {
        {"9 bytes a record", fld("D.DAT", "900", "100", "4 1 2"), true, 7, 9},
        {"7 bytes a record", fld("D.DAT", "700", "100", "4 1 2"), true, 7, 7},
        {"10 bytes a record", fld("D.DAT", "1000", "100", "4 1 2"), false, 0, 0},
        {"6 bytes a record", fld("D.DAT", "600", "100", "4 1 2"), false, 0, 0},
        {"not a whole number of records", fld("D.DAT", "100", "11", "4 1 2"), false, 0, 0},
        {"fallback keys", fld("D.DAT", "10", "1", "8", "record", "field"), true, 8, 10},
        {"empty file", fld("", "9", "1", "7"), false, 0, 0},
        {"size 0", fld("D.DAT", "0", "1", "7"), false, 0, 0},
        {"size not a number", fld("D.DAT", "x", "1", "7"), false, 0, 0},
        {"records 0", fld("D.DAT", "9", "0", "7"), false, 0, 0},
        {"no fields", fld("D.DAT", "9", "1", ""), false, 0, 0},
        {"size past 32 bits", fld("D.DAT", "4294967305", "1", "7"), false, 0, 0},
        {"records past 32 bits", fld("D.DAT", "9", "4294967297", "7"), false, 0, 0},
        {"negative width", fld("D.DAT", "9", "1", "9 -2"), false, 0, 0},
        {"width past 32 bits", fld("D.DAT", "9", "1", "4294967296"), false, 0, 0},
        {"257 widths", fld("D.DAT", "257", "1", many), false, 0, 0},
        {"width not a number counts 0", fld("D.DAT", "9", "1", "7 x"), true, 7, 9},
        {"binary file takes its record length", fld("LOGO.BMP", "5000", "3", "4"), true, 4, 4},
    };
    for (const CheckCase &c : cases) {
        FldLayout layout;
        EXPECT_EQ(checkFldText(c.text, layout), c.valid) << c.what;
        if (c.valid) {
            EXPECT_EQ(layout.recordSize, c.recordSize) << c.what;
            EXPECT_EQ(layout.wireSize, c.wireSize) << c.what;
        }
    }
}

TEST(FldText, ReaderLayoutAndWidthSpacing)
{
    FldLayout layout;
    ASSERT_TRUE(checkFldText(fld("MASTER.DAT", "900", "100", "4 1 2"), layout));
    EXPECT_EQ(layout.file, QByteArray("MASTER.DAT"));
    EXPECT_EQ(layout.size, 900);
    EXPECT_EQ(layout.records, 100);
    EXPECT_EQ(layout.fields, QByteArray("4 1 2"));
    EXPECT_EQ(layout.widths, (std::vector<int>{4, 1, 2}));

    // A space at the start of what is left is skipped, so doubled spaces do not add fields.
    ASSERT_TRUE(checkFldText(fld("D.DAT", "9", "1", " 4  1 2 "), layout));
    EXPECT_EQ(layout.widths, (std::vector<int>{4, 1, 2}));
}

TEST(FldText, ReaderAcceptsWhatTheWriterWrites)
{
    struct Written {
        QByteArray fields;
        int count;
        qint64 records;
        int recordSize;
    };
    for (const Written &w : {Written{"4 1 2", 3, 100, 7}, Written{"8", 1, 1, 8}, Written{"500", 1, 20, 500},
                             Written{"1 1 1 1 1 1 1 1 1 1", 10, 37, 10}}) {
        const qint64 size = (w.recordSize + 2) * w.records;
        FldLayout layout;
        ASSERT_TRUE(checkFldText(buildFldText("X.DAT", size, w.records, w.fields, w.count), layout))
            << w.fields.constData();
        EXPECT_EQ(layout.recordSize, w.recordSize);
        EXPECT_EQ(layout.wireSize, w.recordSize + 2);
        EXPECT_EQ(layout.records, w.records);
    }
}

} // namespace
