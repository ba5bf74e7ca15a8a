#include "masters/tables/ReaderFrames.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace masters::tables;
using frames::Kind;
using frames::Take;

namespace {

frames::Frame onlyFrame(const QByteArray &bytes)
{
    frames::Frame frame;
    qsizetype used = 0;
    EXPECT_EQ(frames::takeFrame(bytes.constData(), bytes.size(), frame, used), Take::Frame);
    EXPECT_EQ(used, bytes.size());
    return frame;
}

TEST(ReaderFrames, RepliesComeBackAsTheyWereWritten)
{
    // Empty texts, a character outside the basic plane, a NUL and a lone surrogate travel as they are.
    const QStringList texts{QString(), QStringLiteral("商品"), QString::fromUtf16(u"\U00020BB7野家"),
                            QString(QChar(0)) + u'x', QString(QChar(0xD800))};
    const QList<TableColumn> columns{{QStringLiteral("コード"), true}, {QString(), false}};
    QByteArray bytes;
    frames::Writer writer(bytes);
    writer.tables(texts);
    writer.heading(columns);
    writer.row(texts);
    writer.failed(QStringLiteral("読めません"));
    writer.bare(Kind::End);

    const char *at = bytes.constData();
    qsizetype left = bytes.size();
    std::vector<frames::Frame> got;
    frames::Frame frame;
    qsizetype used = 0;
    while (frames::takeFrame(at, left, frame, used) == Take::Frame) {
        got.push_back(frame);
        at += used;
        left -= used;
    }
    ASSERT_EQ(left, 0);
    ASSERT_EQ(got.size(), 5u);
    QStringList names, values;
    QList<TableColumn> heading;
    QString text;
    ASSERT_TRUE(frames::readTables(got[0], names));
    EXPECT_EQ(names, texts);
    ASSERT_TRUE(frames::readHeading(got[1], heading));
    EXPECT_EQ(heading, columns);
    ASSERT_TRUE(frames::readRow(got[2], values));
    EXPECT_EQ(values, texts);
    EXPECT_EQ(got[3].kind, Kind::Failed);
    ASSERT_TRUE(frames::readText(got[3], text));
    EXPECT_EQ(text, QStringLiteral("読めません"));
    EXPECT_EQ(got[4].kind, Kind::End);
    EXPECT_EQ(got[4].size, 0);
    // A frame of the wrong kind is not read as another.
    EXPECT_FALSE(frames::readRow(got[0], values));
    EXPECT_FALSE(frames::readTables(got[2], names));
}

TEST(ReaderFrames, AFrameIsTakenOnlyWhenWhole)
{
    QByteArray bytes;
    frames::Writer(bytes).row({QStringLiteral("a"), QStringLiteral("bc")});
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        frames::Frame frame;
        qsizetype used = 0;
        EXPECT_EQ(frames::takeFrame(bytes.constData(), size, frame, used), Take::Incomplete) << size;
    }
}

QByteArray withLength(QByteArray bytes, quint32 length)
{
    qToLittleEndian(length, bytes.data() + 1);
    return bytes;
}

TEST(ReaderFrames, PayloadsThatDoNotHoldWhatTheySayAreRefused)
{
    QByteArray row;
    frames::Writer(row).row({QStringLiteral("ab")});
    QByteArray heading;
    frames::Writer(heading).heading({{QStringLiteral("a"), true}});

    struct Case {
        const char *what;
        QByteArray bytes;
        bool (*read)(const frames::Frame &);
    };
    const auto readRow = [](const frames::Frame &f) {
        QStringList v;
        return frames::readRow(f, v);
    };
    const auto readHeading = [](const frames::Frame &f) {
        QList<TableColumn> c;
        return frames::readHeading(f, c);
    };
    QByteArray countTooLarge = row;
    qToLittleEndian(quint32(0x40000000), countTooLarge.data() + 5);
    QByteArray textTooLong = row;
    qToLittleEndian(quint32(3), textTooLong.data() + 9);
    QByteArray trailing = withLength(row + 'x', quint32(row.size() - 5 + 1));
    QByteArray cut = withLength(row.left(row.size() - 1), quint32(row.size() - 5 - 1));
    QByteArray flag = heading;
    flag[9] = '\2';
    const Case cases[] = {
        {"a count above what the payload can hold", countTooLarge, readRow},
        {"a text longer than the payload", textTooLong, readRow},
        {"bytes after the last value", trailing, readRow},
        {"a payload cut inside a text", cut, readRow},
        {"a flag that is neither 0 nor 1", flag, readHeading},
    };
    for (const Case &c : cases) {
        const frames::Frame frame = onlyFrame(c.bytes);
        EXPECT_FALSE(c.read(frame)) << c.what;
    }
    // A length above the limit is refused from its header alone, before the payload is awaited.
    const QByteArray huge = withLength(row.left(5), frames::MaxPayload + 1);
    frames::Frame frame;
    qsizetype used = 0;
    EXPECT_EQ(frames::takeFrame(huge.constData(), huge.size(), frame, used), Take::Bad);
}

} // namespace
