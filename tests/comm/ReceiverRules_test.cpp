#include "comm/YmRxBlock.h"
#include "comm/YmRxFileType.h"
#include "comm/YmRxHeader.h"
#include "comm/YmRxRecords.h"
#include "platform/Cp932.h"

#include <gtest/gtest.h>
#include <vector>

using comm::RxHeaderData;

namespace {

// The 128 data bytes of a header frame: the given bytes, NUL-filled.
QByteArray headerData(const QByteArray &bytes, int size = 128)
{
    QByteArray data = bytes;
    data.resize(size, '\0');
    return data;
}

const char *kindName(RxHeaderData::Kind kind)
{
    switch (kind) {
    case RxHeaderData::Kind::BadName:
        return "BadName";
    case RxHeaderData::Kind::BadSize:
        return "BadSize";
    case RxHeaderData::Kind::Null:
        return "Null";
    case RxHeaderData::Kind::File:
        return "File";
    }
    return "?";
}

} // namespace

TEST(ReceiverHeader, ParsesNameAndSize)
{
    struct Case {
        QByteArray bytes;
        RxHeaderData::Kind kind;
        QString name;
        QString ext;
        qint32 size;
    };
    using K = RxHeaderData::Kind;
    const std::vector<Case> cases = {
        {QByteArray("DATA.TXT\0"
                    "1234",
                    13),
         K::File, "DATA.TXT", ".TXT", 1234},
        {QByteArray("data.txt\0"
                    "7",
                    10),
         K::File, "DATA.TXT", ".TXT", 7},
        {QByteArray("NOEXT\0"
                    "5",
                    7),
         K::File, "NOEXT", "", 5},
        {QByteArray("ABCDEFGH.DAT\0"
                    "9",
                    14),
         K::File, "ABCDEFGH.DAT", ".DAT", 9},
        // The size is the first run of digits after the name; what follows it is ignored.
        {QByteArray("A.DAT\0"
                    " x12 34",
                    13),
         K::File, "A.DAT", ".DAT", 12},
        {QByteArray("A.DAT\0"
                    "2147483647",
                    16),
         K::File, "A.DAT", ".DAT", 2147483647},
        {QByteArray("\0"
                    "A.DAT",
                    6),
         K::Null, "", "", 0},
        {QByteArray(), K::Null, "", "", 0},
        {QByteArray("ABCDEFGHI.DAT\0"
                    "9",
                    15),
         K::BadName, "", "", 0},
        {QByteArray("../A.DAT\0"
                    "9",
                    10),
         K::BadName, "", "", 0},
        {QByteArray("..\0"
                    "9",
                    4),
         K::BadName, "", "", 0},
        {QByteArray(".\0"
                    "9",
                    3),
         K::BadName, "", "", 0},
        {QByteArray("A/B.DAT\0"
                    "9",
                    9),
         K::BadName, "", "", 0},
        {QByteArray("A\\B.DAT\0"
                    "9",
                    9),
         K::BadName, "", "", 0},
        // Control bytes are refused like separators; none is ever part of a double-byte character.
        {QByteArray("A\nB.PD4\0"
                    "9",
                    9),
         K::BadName, "", "", 0},
        {QByteArray("DATA074\x01\0"
                    "9",
                    10),
         K::BadName, "", "", 0},
        {QByteArray("A\x7F.DAT\0"
                    "9",
                    8),
         K::BadName, "", "", 0},
        {QByteArray("A\tB.DAT\0"
                    "9",
                    9),
         K::BadName, "", "", 0},
        {QByteArray("A.DAT\0"
                    "0",
                    7),
         K::BadSize, "A.DAT", ".DAT", 0},
        {QByteArray("A.DAT\0", 6), K::BadSize, "A.DAT", ".DAT", 0},
        {QByteArray("A.DAT\0"
                    "2147483648",
                    16),
         K::BadSize, "A.DAT", ".DAT", 0},
        {QByteArray("A.DAT\0"
                    "99999999999999999999",
                    26),
         K::BadSize, "A.DAT", ".DAT", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes.toHex(' ').toStdString());
        const RxHeaderData header = comm::parseHeaderData(headerData(c.bytes));
        EXPECT_STREQ(kindName(header.kind), kindName(c.kind));
        EXPECT_EQ(header.name, c.name);
        EXPECT_EQ(header.ext, c.ext);
        EXPECT_EQ(header.size, c.size);
    }
}

TEST(ReceiverHeader, NameAndSizeMustEndInsideTheBlock)
{
    // No NUL at all: the name would be the whole block.
    EXPECT_STREQ(kindName(comm::parseHeaderData(QByteArray(128, 'A')).kind), "BadName");
    // Digits that run to the end of the block count as no size.
    QByteArray data("A.DAT\0", 6);
    data += QByteArray(128 - data.size(), '7');
    EXPECT_STREQ(kindName(comm::parseHeaderData(data).kind), "BadSize");
    // A 1024-byte header block is read the same way.
    const RxHeaderData header = comm::parseHeaderData(headerData(QByteArray("B.BMP\0"
                                                                            "2048",
                                                                            10),
                                                                 1024));
    EXPECT_STREQ(kindName(header.kind), "File");
    EXPECT_EQ(header.size, 2048);
}

TEST(ReceiverHeader, DoubleByteNamesKeepTheirCharacters)
{
    // 0x83 0x5C holds a backslash byte as its trail byte and 0x83 0x61 a lower-case letter:
    // neither is a separator, and upper-casing must not turn the character into another one.
    const QByteArray so("\x83\x5C"
                        "\x83\x61"
                        ".dat",
                        8);
    QByteArray bytes = so;
    bytes += QByteArray("\0"
                        "3",
                        2);
    const RxHeaderData header = comm::parseHeaderData(headerData(bytes));
    EXPECT_STREQ(kindName(header.kind), "File");
    EXPECT_EQ(header.name, platform::cp932::decode(QByteArray("\x83\x5C\x83\x61", 4)) + ".DAT");
    EXPECT_EQ(platform::cp932::encode(header.name), QByteArray("\x83\x5C\x83\x61.DAT", 8));
}

TEST(ReceiverHeader, LabelsByExtension)
{
    EXPECT_EQ(comm::receiveLabel("PRG.PD4", ".PD4"), QStringLiteral("PRG.PD4 ﾌﾟﾛｸﾞﾗﾑ受信"));
    EXPECT_EQ(comm::receiveLabel("PRG.PD3", ".PD3"), QStringLiteral("PRG.PD3 ﾌﾟﾛｸﾞﾗﾑ受信"));
    EXPECT_EQ(comm::receiveLabel("A.FN3", ".FN3"), QStringLiteral("A.FN3 ﾌﾟﾛｸﾞﾗﾑ受信"));
    EXPECT_EQ(comm::receiveLabel("A.FN4", ".FN4"), QStringLiteral("A.FN4 ﾌﾟﾛｸﾞﾗﾑ受信"));
    EXPECT_EQ(comm::receiveLabel("CNF800.BNF", ".BNF"), QStringLiteral("業務設定受信"));
    EXPECT_EQ(comm::receiveLabel("A.EX3", ".EX3"), QStringLiteral("A.EX3 ﾃﾞｰﾀ受信"));
    EXPECT_EQ(comm::receiveLabel("DATA", ""), QStringLiteral("DATA ﾃﾞｰﾀ受信"));
}

TEST(ReceiverFileType, ByExtensionAndCsvSetting)
{
    struct Case {
        const char *ext;
        TFileType plain; // CSV receive off
        TFileType csv;   // CSV receive on
    };
    using T = TFileType;
    const std::vector<Case> cases = {
        {".PD3", T::PD3, T::PD3},       {".PD4", T::PD4, T::PD4},       {".FN3", T::FN3EX3, T::FN3EX3},
        {".FN4", T::FN3EX3, T::FN3EX3}, {".EX3", T::FN3EX3, T::FN3EX3}, {".LCS", T::LCS, T::LCS},
        {".BMP", T::BMP, T::BMP},       {".JPG", T::JPG, T::JPG},       {".WAV", T::WAV, T::WAV},
        {".ZIP", T::ZIP, T::ZIP},       {".FLD", T::FLD, T::FLD},       {".CSV", T::CSV, T::CSV},
        {".BNF", T::DATA, T::DATA},     {".DAT", T::DATA, T::CSV},      {"", T::DATA, T::CSV},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.ext);
        EXPECT_EQ(static_cast<int>(comm::rxFileType(c.ext, false)), static_cast<int>(c.plain));
        EXPECT_EQ(static_cast<int>(comm::rxFileType(c.ext, true)), static_cast<int>(c.csv));
    }
    EXPECT_TRUE(comm::isBinary(T::ZIP));
    EXPECT_FALSE(comm::isBinary(T::FLD));
    EXPECT_FALSE(comm::isBinary(T::Null));
    EXPECT_TRUE(comm::isRecordData(T::CSV));
    EXPECT_FALSE(comm::isRecordData(T::FLD));
}

TEST(ReceiverBlock, NumberAgainstTheExpectedOne)
{
    struct Case {
        int block, complement, expected;
        comm::RxBlockNumber result;
    };
    using R = comm::RxBlockNumber;
    const std::vector<Case> cases = {
        {1, 254, 1, R::Expected}, {0, 255, 1, R::Previous},   {2, 253, 1, R::Bad},
        {1, 0, 1, R::Bad},        {0, 254, 1, R::Bad},        {0, 255, 0, R::Expected},
        {255, 0, 0, R::Previous}, {255, 0, 255, R::Expected}, {254, 1, 255, R::Previous},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.block << "/" << c.complement << " expecting " << c.expected);
        EXPECT_EQ(static_cast<int>(comm::checkBlockNumber(static_cast<quint8>(c.block),
                                                          static_cast<quint8>(c.complement),
                                                          static_cast<quint8>(c.expected))),
                  static_cast<int>(c.result));
    }
}

namespace {

struct Layout {
    std::vector<comm::RxField> fields;
    comm::RxRecordLayout view(qint32 wireSize, qint64 records) const
    {
        qint32 size = 0;
        for (const comm::RxField &f : fields)
            size += f.width;
        return comm::RxRecordLayout{fields, size, wireSize, records};
    }
};

// Widths to a layout with the start of each field after the ones before it.
Layout widths(std::initializer_list<int> list)
{
    Layout layout;
    int start = 0;
    for (int w : list) {
        layout.fields.push_back(comm::RxField{start, w});
        start += w;
    }
    return layout;
}

} // namespace

TEST(ReceiverRecords, RecordLines)
{
    struct Case {
        const char *what;
        QByteArray record;
        comm::RxRecordFormat format;
        QByteArray line;
    };
    const Layout abc = widths({3});
    const Layout three = widths({4, 1, 2});
    // csv, keepTrailingSpaces, quoted, addZero
    const std::vector<std::pair<const Layout *, Case>> cases = {
        {&abc, {"fixed", "ABC", {false, false, false, false}, "ABC"}},
        {&abc, {"fixed with delete flag", "ABC", {false, false, false, true}, "ABC0"}},
        {&abc, {"csv with delete flag", "ABC", {true, false, false, true}, "ABC,0"}},
        {&abc, {"quoted csv with delete flag", "ABC", {true, false, true, true}, "\"ABC\",\"0\""}},
        {&three, {"csv trims each field", "AB  X12", {true, false, false, false}, "AB,X,12"}},
        {&three, {"csv keeps trailing spaces", "AB  X12", {true, true, false, false}, "AB  ,X,12"}},
        {&three, {"csv quoted", " B \t   ", {true, false, true, false}, "\" B\",\"\",\"\""}},
        {&three,
         {"trims control bytes, keeps leading ones",
          QByteArray("\x01"
                     "A\0\x1f"
                     "Z"
                     "\x7f"
                     "!",
                     7),
          {true, false, false, false},
          QByteArray("\x01"
                     "A,Z,\x7f!",
                     7)}},
        // Shift-JIS bytes are cut and kept as they are: the field of width 1 holds a lone lead byte.
        {&three,
         {"double-byte bytes",
          QByteArray("\x83\x41\x83\x41\x83\x41 ", 7),
          {true, false, false, false},
          QByteArray("\x83\x41\x83\x41,\x83,\x41", 8)}},
    };
    for (const auto &[layout, c] : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(comm::recordLine(c.record, layout->view(layout->view(0, 0).recordSize + 2, 1), c.format),
                  c.line);
    }
}

TEST(ReceiverRecords, FieldsPastTheRecordAreCut)
{
    // Widths from a text no longer checked against the record must not read past it.
    const Layout odd{{{0, 2}, {1, 50}, {-3, 2}, {9, 2}, {0, 0}}};
    const comm::RxRecordLayout layout{odd.fields, 4, 4, 1};
    EXPECT_EQ(comm::recordLine("ABCD", layout, {true, true, false, false}), QByteArray("AB,BCD,,,"));
}

TEST(ReceiverRecords, TakesWholeRecordsAcrossBlocks)
{
    const Layout layout = widths({4, 1, 2});
    const comm::RxRecordLayout wire = layout.view(9, 3); // records of 7 bytes plus CR LF on the wire
    const comm::RxRecordFormat fixed{};
    QByteArray pending("AAAA112\r\nBBBB2", 14);
    qint64 written = 0;
    EXPECT_EQ(comm::takeRecords(pending, written, wire, fixed), QByteArray("AAAA112\r\n"));
    EXPECT_EQ(written, 1);
    EXPECT_EQ(pending, QByteArray("BBBB2"));

    // The rest of the second record, the third one, and NUL filling that is no record.
    pending += QByteArray("22\r\nCCCC332\r\n", 13) + QByteArray(40, '\0');
    EXPECT_EQ(comm::takeRecords(pending, written, wire, fixed), QByteArray("BBBB222\r\nCCCC332\r\n"));
    EXPECT_EQ(written, 3);
    EXPECT_EQ(comm::takeRecords(pending, written, wire, fixed), QByteArray());
    EXPECT_EQ(written, 3);
}

TEST(ReceiverRecords, TakesCsvLinesWithTheRecordCount)
{
    const Layout layout = widths({3, 2});
    const comm::RxRecordLayout wire = layout.view(5, 2); // records without line ends on the wire
    QByteArray pending("A  B XYZ12"
                       "     ",
                       15);
    qint64 written = 0;
    EXPECT_EQ(comm::takeRecords(pending, written, wire, {true, false, true, true}),
              QByteArray("\"A\",\"B\",\"0\"\r\n\"XYZ\",\"12\",\"0\"\r\n"));
    EXPECT_EQ(written, 2);
}

TEST(ReceiverRecords, NoRecordsWithoutAWireSize)
{
    const Layout layout = widths({3});
    QByteArray pending("ABC", 3);
    qint64 written = 0;
    EXPECT_EQ(comm::takeRecords(pending, written, layout.view(0, 5), {}), QByteArray());
    EXPECT_EQ(written, 0);
}
