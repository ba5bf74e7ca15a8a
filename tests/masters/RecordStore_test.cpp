#include "MasterTestSupport.h"

#include "masters/RecordStore.h"
#include "platform/AtomicFile.h"
#include "tests/support/FileSystemFaults.h"

#include <QFile>
#include <gtest/gtest.h>

using masters::RecordStore;
using namespace masterstest;

namespace {

constexpr int Length = 20; // widths {8, 10} and CR LF

class RecordStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.create(casePath("work.dat"), Length)) << store.errorString().toStdString();
    }

    void fill(int n)
    {
        ASSERT_TRUE(writeFile(casePath("source.dat"), numberedRecords(n)));
        ASSERT_TRUE(store.copyIn(casePath("source.dat"))) << store.errorString().toStdString();
    }
    QStringList keys() { return keysOf(readFile(casePath("work.dat")), Length, 8); }
    static QStringList numbered(std::initializer_list<int> numbers)
    {
        QStringList keys;
        for (const int n : numbers)
            keys << (n == 0 ? QString() : QStringLiteral("K%1").arg(n, 4, 10, QLatin1Char('0')));
        return keys;
    }

    RecordStore store;
};

TEST_F(RecordStoreTest, CountsRecordsAndReadsAPageAtAnyPosition)
{
    fill(50);
    EXPECT_EQ(store.count(), 50);
    QByteArray page;
    ASSERT_TRUE(store.readRecords(0, 20, page));
    EXPECT_EQ(page, numberedRecords(20));
    ASSERT_TRUE(store.readRecords(40, 20, page));
    EXPECT_EQ(page, numberedRecords(10, 41)); // fewer at the end
    ASSERT_TRUE(store.readRecords(50, 20, page));
    EXPECT_TRUE(page.isEmpty());
}

TEST_F(RecordStoreTest, WritesOneRecordInPlaceOrAtTheEnd)
{
    fill(3);
    const QByteArray record = rawRecord({"NEW", "X"}, {8, 10});
    ASSERT_TRUE(store.writeRecord(1, record));
    ASSERT_TRUE(store.writeRecord(3, record));
    EXPECT_EQ(store.count(), 4);
    EXPECT_EQ(readFile(casePath("work.dat")), numberedRecords(1) + record + numberedRecords(1, 3) + record);
    EXPECT_FALSE(store.writeRecord(5, record)); // past the end
    EXPECT_FALSE(store.writeRecord(0, record.left(10)));
    EXPECT_EQ(store.count(), 4);
}

TEST_F(RecordStoreTest, InsertAndRemoveMoveTheRecordsBehindThePlace)
{
    struct Case {
        const char *name;
        bool insert;
        int index;
        QStringList expected;
    };
    const QString blank;
    const Case cases[] = {
        {"insert first", true, 0, numbered({0, 1, 2, 3, 4})},
        {"insert middle", true, 2, numbered({1, 2, 0, 3, 4})},
        {"insert at the end", true, 4, numbered({1, 2, 3, 4, 0})},
        {"remove first", false, 0, numbered({2, 3, 4})},
        {"remove middle", false, 1, numbered({1, 3, 4})},
        {"remove last", false, 3, numbered({1, 2, 3})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fill(4);
        const bool done =
            c.insert ? store.insertRecord(c.index, rawRecord({}, {8, 10})) : store.removeRecord(c.index);
        ASSERT_TRUE(done) << store.errorString().toStdString();
        EXPECT_EQ(keys(), c.expected);
        EXPECT_EQ(store.count(), c.expected.size());
        EXPECT_EQ(QFile(casePath("work.dat")).size(), c.expected.size() * Length);
    }
    EXPECT_FALSE(store.removeRecord(3));
    EXPECT_FALSE(store.insertRecord(5, rawRecord({}, {8, 10})));
}

// More than one block of records behind the place: every block boundary must move whole.
TEST_F(RecordStoreTest, MovesSpanningSeveralBlocksKeepEveryRecord)
{
    const int n = static_cast<int>(masters::RecordStoreBlock / Length) * 2 + 7;
    fill(n);
    const QByteArray original = readFile(casePath("work.dat"));
    const QByteArray record = rawRecord({"INSERTED", "X"}, {8, 10});
    ASSERT_TRUE(store.insertRecord(3, record));
    QByteArray expected = original;
    expected.insert(3 * Length, record);
    EXPECT_TRUE(readFile(casePath("work.dat")) == expected);
    ASSERT_TRUE(store.removeRecord(3));
    EXPECT_TRUE(readFile(casePath("work.dat")) == original);
}

TEST_F(RecordStoreTest, CopyInRefusesALastRecordCutShort)
{
    fill(5);
    ASSERT_TRUE(writeFile(casePath("short.dat"), numberedRecords(3) + "K0004"));
    EXPECT_FALSE(store.copyIn(casePath("short.dat")));
    EXPECT_FALSE(store.copyIn(casePath("missing.dat")));
    EXPECT_FALSE(store.copyIn(casePath(""))); // a folder
    ASSERT_TRUE(writeFile(casePath("empty.dat"), QByteArray()));
    EXPECT_TRUE(store.copyIn(casePath("empty.dat")));
    EXPECT_EQ(store.count(), 0);
}

TEST_F(RecordStoreTest, CopyOutWritesEveryByteAndAFullDiskKeepsTheTarget)
{
    fill(100);
    const QString target = casePath("out.dat");
    {
        platform::AtomicFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(store.copyOut(file));
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(readFile(target), numberedRecords(100));

    ASSERT_TRUE(store.truncate(10));
    const testsupport::FileSizeLimit limit(5 * Length);
    ASSERT_TRUE(limit.active());
    platform::AtomicFile file(target);
    ASSERT_TRUE(file.open());
    const bool written = store.copyOut(file) && file.commit();
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(target), numberedRecords(100));
}

TEST_F(RecordStoreTest, AFullDiskRefusesAnInsertAndKeepsTheRecords)
{
    fill(5);
    const QByteArray before = readFile(casePath("work.dat"));
    {
        const testsupport::FileSizeLimit limit(5 * Length);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(store.insertRecord(0, rawRecord({"X"}, {8, 10})));
        EXPECT_FALSE(store.writeRecord(5, rawRecord({"X"}, {8, 10})));
    }
    EXPECT_EQ(store.count(), 5);
    EXPECT_EQ(readFile(casePath("work.dat")), before);
}

TEST_F(RecordStoreTest, AClosedStoreRefusesEverything)
{
    fill(2);
    store.close();
    QByteArray page;
    EXPECT_FALSE(store.readRecords(0, 20, page));
    EXPECT_FALSE(store.writeRecord(0, rawRecord({}, {8, 10})));
    EXPECT_FALSE(store.insertRecord(0, rawRecord({}, {8, 10})));
    EXPECT_FALSE(store.removeRecord(0));
    EXPECT_EQ(store.count(), 0);
}

} // namespace
