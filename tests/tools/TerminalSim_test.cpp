// The simulator's own codecs: CRC, frames, field-definition texts, faults and the paced line.

#include "Crc16.h"
#include "Faults.h"
#include "FldText.h"
#include "Frames.h"
#include "Line.h"

#include <gtest/gtest.h>
#include <string>

using namespace termsim;

namespace {

Bytes bytes(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

TEST(SimCrc, MatchesTheCheckValues)
{
    const Bytes digits = bytes("123456789");
    EXPECT_EQ(crc16(digits.data(), digits.size()), 0x31C3);
    const Bytes zeros(128, 0);
    EXPECT_EQ(crc16(zeros.data(), zeros.size()), 0);
}

TEST(SimFrames, BuildAndReadBack)
{
    const Bytes header = makeHeader("MASTER.DAT", 2700);
    ASSERT_EQ(header.size(), 133u);
    EXPECT_EQ(header[0], SOH);
    EXPECT_EQ(header[1], 0);
    EXPECT_EQ(header[2], 0xFF);
    FrameReader reader;
    reader.start(header[0]);
    FrameReader::Step step = FrameReader::Step::More;
    for (std::size_t i = 1; i < header.size(); ++i) {
        step = reader.feed(header[i]);
        if (i + 1 < header.size()) {
            ASSERT_EQ(step, FrameReader::Step::More) << i;
        }
    }
    ASSERT_EQ(step, FrameReader::Step::Good);
    const auto info = parseHeader(reader.data());
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->endOfBatch);
    EXPECT_EQ(info->name, "MASTER.DAT");
    EXPECT_EQ(info->size, 2700u);

    const Bytes data = bytes("x");
    const Bytes block = makeFrame(255, data.data(), data.size(), LongBlock);
    ASSERT_EQ(block.size(), 1029u);
    EXPECT_EQ(block[0], STX);
    EXPECT_EQ(block[2], 0x00);
    EXPECT_EQ(block[4], 0); // NUL filling

    const Bytes end = makeNullHeader();
    EXPECT_EQ(end[131], 0);
    EXPECT_EQ(end[132], 0);
}

TEST(SimFrames, ABadByteAnywhereMakesTheFrameBad)
{
    const Bytes data = bytes("payload");
    const Bytes frame = makeFrame(7, data.data(), data.size(), ShortBlock);
    for (const std::size_t at :
         {std::size_t(2), std::size_t(3), std::size_t(100), std::size_t(131), std::size_t(132)}) {
        Bytes bad = frame;
        bad[at] ^= 0x10;
        FrameReader reader;
        reader.start(bad[0]);
        FrameReader::Step step = FrameReader::Step::More;
        for (std::size_t i = 1; i < bad.size(); ++i)
            step = reader.feed(bad[i]);
        EXPECT_EQ(step, FrameReader::Step::Bad) << at;
    }
}

TEST(SimFrames, HeaderData)
{
    const struct {
        std::string data;
        bool valid;
        bool end;
        std::uint64_t size;
    } cases[] = {
        {std::string("A.PD4\0"
                     "123 456 0\0",
                     16),
         true, false, 123},
        {std::string("\0", 1), true, true, 0},
        {std::string("A.PD4\0"
                     "x",
                     7),
         false, false, 0},                       // no digits
        {std::string("NONUL"), false, false, 0}, // name to the end of the block
    };
    for (const auto &c : cases) {
        Bytes d = bytes(c.data);
        d.resize(128, 0);
        if (c.data == "NONUL")
            d.assign(128, 'N');
        const auto info = parseHeader(d);
        ASSERT_EQ(info.has_value(), c.valid) << c.data;
        if (info) {
            EXPECT_EQ(info->endOfBatch, c.end);
            EXPECT_EQ(info->size, c.size);
        }
    }
}

TEST(SimFld, WritesAndReadsTheText)
{
    const FldInfo info = fldFor("MASTER.DAT", 900, {4, 1, 2});
    EXPECT_EQ(info.records, 100u);
    EXPECT_EQ(makeFldText(info),
              "* created by BHT\r\nfile\tMASTER.DAT\r\nsize\t900\r\nrecords\t100\r\nfields\t4 1 2\r\n");
    // One byte past whole records counts no record; three bytes count one.
    EXPECT_EQ(fldFor("A", 901, {7}).records, 100u);
    EXPECT_EQ(fldFor("A", 903, {7}).records, 101u);
    EXPECT_NE(makeFldText(fldFor("A", 9, {7})).find("\r\nfield\t7\r\n"), std::string::npos);

    std::string received = makeFldText(info);
    received.append(40, '\0');
    const auto back = parseFldText(received);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->file, "MASTER.DAT");
    EXPECT_EQ(back->size, 900u);
    EXPECT_EQ(back->records, 100u);
    EXPECT_EQ(back->widths, (std::vector<int>{4, 1, 2}));
    EXPECT_TRUE(parseFldText("file\tX\r\nsize\t9\r\nrecord\t1\r\nfield\t7\r\n"));
    EXPECT_FALSE(parseFldText("file\tX\r\nsize\tnine\r\nrecords\t1\r\nfields\t7\r\n"));
    EXPECT_FALSE(parseFldText("file\tX\r\nsize\t9\r\nrecords\t1\r\n"));
}

TEST(SimFld, WidthLists)
{
    EXPECT_EQ(parseWidths("4,1,2"), (std::vector<int>{4, 1, 2}));
    EXPECT_EQ(parseWidths("4 1 2"), (std::vector<int>{4, 1, 2}));
    for (const char *bad : {"", "4,,2", "4,0", "a", "4,", "-1"})
        EXPECT_FALSE(parseWidths(bad)) << bad;
}

TEST(SimFaults, RatesAndSeeds)
{
    FaultPlan none;
    Faults clean(none);
    Bytes out;
    for (int i = 0; i < 1000; ++i)
        clean.pass(static_cast<std::uint8_t>(i), Direction::ToPc, out);
    EXPECT_EQ(out.size(), 1000u);
    EXPECT_FALSE(clean.stallNow());

    FaultPlan always;
    always.drop = 1;
    always.cancel = 1;
    Faults certain(always);
    out.clear();
    certain.pass(1, Direction::FromPc, out);
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(certain.cancelNow());

    // The same seed gives the same faults; another seed others.
    auto run = [](std::uint64_t seed) {
        FaultPlan p;
        p.seed = seed;
        p.corrupt = p.drop = p.repeat = 0.05;
        Faults f(p);
        Bytes o;
        for (int i = 0; i < 2000; ++i)
            f.pass(static_cast<std::uint8_t>(i), Direction::ToPc, o);
        return o;
    };
    EXPECT_EQ(run(5), run(5));
    EXPECT_NE(run(5), run(6));
    const Bytes noisy = run(5);
    EXPECT_GT(noisy.size(), 1800u);
    EXPECT_LT(noisy.size(), 2200u);
}

TEST(SimLine, PacesBytesAtTheRate)
{
    Line line(115200); // 86.8 microseconds a byte
    line.send(Bytes(1029, 0x55), 1000);
    EXPECT_TRUE(line.sendable(1000).empty());
    EXPECT_EQ(line.sendable(1000 + 87).size(), 1u);
    const Micros whole = 1000 + 1029 * 10 * 1000000LL / 115200;
    EXPECT_EQ(line.sendable(whole + 1).size(), 1029u);
    EXPECT_LT(line.sendable(whole - 100).size(), 1029u);
    line.sent(1029);
    EXPECT_TRUE(line.sendIdle());

    line.arrived(bytes("AB"), 5000);
    EXPECT_TRUE(line.delivered(5000).empty());
    EXPECT_EQ(line.delivered(5000 + 174), bytes("AB"));

    Line fast(0);
    fast.send(bytes("xyz"), 7);
    EXPECT_EQ(fast.sendable(7), bytes("xyz"));
}

} // namespace
