// A reader program for the tests alone: the table reader's own serving over a table that fails
// the way a library can, chosen by the file's name (its base name, "mode.ext"):
//   good          two tables, "Goods" of three columns and 3 rows; the other failures use it too
//   hang-list     listing sleeps for ever
//   spin-rows     the rows loop for ever without a row, using the processor
//   grow-list     listing allocates and touches memory for ever
//   crash-columns the heading dies by SIGSEGV
//   abort-rows    the second row aborts
//   exit-rows     the reader exits after the first row
//   stall-rows    the first row, then silence for ever
//   garbage       a reply that is no frame
//   huge-frame    a reply announcing a payload above the limit
//   short-row     a row of fewer values than the heading has columns
#include "masters/tables/ReaderFrames.h"
#include "masters/tables/reader/TableReaderServe.h"

#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace masters::tables;

namespace {

[[noreturn]] void sleepForever()
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

void growForever()
{
    std::vector<char *> blocks;
    for (;;) {
        char *block = static_cast<char *>(std::malloc(1 << 20));
        if (block == nullptr)
            std::abort();
        std::memset(block, 1, 1 << 20);
        blocks.push_back(block);
    }
}

void writeRaw(const char *bytes, size_t size)
{
    // The frames go to the descriptor the serving loop was given: the first after the standard three.
    if (::write(3, bytes, size) < 0)
        std::abort();
}

class FaultySource final : public TableSource {
public:
    explicit FaultySource(QString mode) : mode_(std::move(mode)) {}

    bool listTables(QStringList &names, QString &) override
    {
        if (mode_ == u"hang-list")
            sleepForever();
        if (mode_ == u"grow-list")
            growForever();
        if (mode_ == u"garbage") {
            writeRaw("not a frame at all", 18);
            sleepForever();
        }
        if (mode_ == u"huge-frame") {
            QByteArray bytes;
            frames::Writer(bytes).tables({QStringLiteral("Goods")});
            const quint32 length = frames::MaxPayload + 1;
            std::memcpy(bytes.data() + 1, &length, 4);
            writeRaw(bytes.constData(), size_t(bytes.size()));
            sleepForever();
        }
        names = {QStringLiteral("Goods"), QStringLiteral("Empty")};
        return true;
    }
    bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) override
    {
        if (mode_ == u"crash-columns")
            std::raise(SIGSEGV);
        if (table != u"Goods") {
            error = QStringLiteral("テーブル「%1」がありません。").arg(table);
            return false;
        }
        columns = {
            {QStringLiteral("code"), true}, {QStringLiteral("name"), false}, {QStringLiteral("price"), true}};
        return true;
    }
    bool readRows(const QString &, const RowHandler &onRow, QString &) override
    {
        if (mode_ == u"spin-rows") {
            std::atomic<unsigned long> spins{0};
            for (;;)
                spins.fetch_add(1, std::memory_order_relaxed);
        }
        for (int row = 1; row <= 3; ++row) {
            if (row == 2 && mode_ == u"abort-rows")
                std::abort();
            if (row == 2 && mode_ == u"exit-rows")
                std::_Exit(0);
            if (row == 2 && mode_ == u"stall-rows")
                sleepForever();
            QStringList values{QString::number(row), QStringLiteral("品%1").arg(row), QStringLiteral("1.5")};
            if (mode_ == u"short-row")
                values.removeLast();
            if (!onRow(values))
                return true;
        }
        return true;
    }

private:
    QString mode_;
};

} // namespace

int main(int argc, char **argv)
{
    // Whatever the test process left open is closed, so the frames land on descriptor 3.
    ::close_range(3, ~0u, 0);
    return reader::runReader(argc, argv, [](const QString &path, QString &) -> std::unique_ptr<TableSource> {
        return std::make_unique<FaultySource>(QFileInfo(path).completeBaseName());
    });
}
