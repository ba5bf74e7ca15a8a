// The master editor's working copy on a master of 1,000,000 records of 100 bytes: open (copy in) and
// save (copy out with the width file, synced) against cp of the same file, a page shown at the first,
// middle and last record, an insert and a delete near the top against one sequential copy, and the
// peak memory of the process. Figures are the best of several runs.
//
// Usage: bench_masters [folder]   (default: the system temporary folder)
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

#include "masters/MasterEditModel.h"
#include "masters/MasterSave.h"
#include "platform/UiService.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int records = 1000000;
constexpr int recordBytes = 100; // 98 bytes of fields and CR LF
const std::vector<int> widths{20, 78};

double bestSeconds(int runs, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

bool writeMaster(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    for (int i = 0; i < records; ++i) {
        block += QByteArray::number(4900000000000LL + i).leftJustified(20, ' ');
        block += QByteArray("ITEM ").append(QByteArray::number(i)).leftJustified(78, ' ');
        block += "\r\n";
        if (block.size() >= (1 << 20) || i == records - 1) {
            if (file.write(block) != block.size())
                return false;
            block.clear();
        }
    }
    return file.flush();
}

bool cp(const QString &from, const QString &to)
{
    return QProcess::execute(QStringLiteral("cp"), {from, to}) == 0;
}

void row(const char *what, double ours, const char *peer, double theirs)
{
    if (theirs > 0)
        std::printf("%-34s %10.2f ms   %-22s %10.2f ms   ratio %5.2f\n", what, ours * 1e3, peer, theirs * 1e3,
                    ours / theirs);
    else
        std::printf("%-34s %10.3f ms\n", what, ours * 1e3);
}

} // namespace

int main(int argc, char **argv)
{
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QTemporaryDir folder(base + QStringLiteral("/bench-masters-XXXXXX"));
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(base));
        return 1;
    }
    const QString master = folder.filePath(QStringLiteral("MASTER.DAT"));
    if (!writeMaster(master)) {
        std::fprintf(stderr, "cannot write the master\n");
        return 1;
    }
    {
        QFile width(folder.filePath(QStringLiteral("MASTER.fld")));
        if (!width.open(QIODevice::WriteOnly) || width.write("20,78\r\n") != 7 || !width.flush())
            return 1;
    }
    std::printf("master: %d records of %d bytes (%.0f MB) in %s\n\n", records, recordBytes,
                records * double(recordBytes) / 1e6, qPrintable(folder.path()));

    masters::MasterEditModel model(platform::ui());
    const int runs = 5;
    bool ok = true;
    const double open = bestSeconds(runs, [&] { ok = model.openFile(master, {}) && ok; });
    const double cpOpen =
        bestSeconds(runs, [&] { ok = cp(master, folder.filePath(QStringLiteral("cp.dat"))) && ok; });
    row("open (copy into the working copy)", open, "cp", cpOpen);

    const QString saved = folder.filePath(QStringLiteral("SAVED.DAT"));
    const double save = bestSeconds(runs, [&] {
        ok = masters::saveMasterFiles(const_cast<masters::RecordStore &>(model.store()), saved, widths) && ok;
    });
    const double cpSave =
        bestSeconds(runs, [&] { ok = cp(master, folder.filePath(QStringLiteral("cp2.dat"))) && ok; });
    row("save (master + width file, synced)", save, "cp (no sync)", cpSave);
    // The save syncs the new file before it takes the old one's place; so does this peer.
    const QString synced = folder.filePath(QStringLiteral("cp3.dat"));
    const double cpSync = bestSeconds(runs, [&] {
        ok = cp(master, synced) && QProcess::execute(QStringLiteral("sync"), {synced}) == 0 && ok;
    });
    row("save (master + width file, synced)", save, "cp + sync of the copy", cpSync);

    const qint64 tops[] = {1, records / 2, records - 19};
    const char *names[] = {"page at the first record", "page at the middle record",
                           "page at the last record"};
    for (int i = 0; i < 3; ++i) {
        model.DTop = tops[i];
        const double page = bestSeconds(200, [&] { ok = model.DispData() && ok; });
        row(names[i], page, "", 0);
    }

    model.DTop = 1;
    model.DispData();
    model.MasterGridClick(10, 1);
    const double insert = bestSeconds(3, [&] {
        model.InsBtnClick();
        if (model.recordCount() != records + 1)
            ok = false;
        // Put the file back as it was for the next run.
        ok = const_cast<masters::RecordStore &>(model.store()).removeRecord(9) && ok;
    });
    const double remove = bestSeconds(3, [&] {
        ok = const_cast<masters::RecordStore &>(model.store()).removeRecord(9) && ok;
        ok = const_cast<masters::RecordStore &>(model.store())
                 .insertRecord(9, masters::encodeRecord({}, widths)) &&
             ok;
    });
    // Insert then delete is two moves of the tail, as is delete then insert.
    row("insert + delete near the top", insert, "2 x cp", 2 * cpOpen);
    row("delete + insert near the top", remove, "2 x cp", 2 * cpOpen);

    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\npeak memory (maximum resident set): %.1f MiB (goal: under 64 MiB)\n",
                usage.ru_maxrss / 1024.0);
    if (!ok) {
        std::fprintf(stderr, "an operation failed\n");
        return 1;
    }
    return 0;
}
