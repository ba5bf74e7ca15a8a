// The master import's table readers against the command-line converters of the same sheets: the
// 100,000-row .xlsx sheet against xlsx2csv, 60,000 rows of .xls against xls2csv. The import runs
// as the editor runs it, through the table reader program (columns first, then every row into
// fixed-width records written to a file); the same readers in this process are timed beside it,
// so the cost of the isolation shows. Each figure is the best of three runs. Peak memory is the high-water
// mark of the importing process and of its reader, taken before anything else runs in either.
//
//   bench_master_import [WORKBOOK_FOLDER]   (default: the build tree's test workbooks)
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

#include "masters/tables/ChildTableSource.h"
#include "masters/tables/SelectTableRules.h"
#include "masters/tables/TableReaders.h"

using namespace masters::tables;

namespace {

class FileSink : public RecordSink {
public:
    explicit FileSink(const QString &path) : m_file(path) {}
    bool open() { return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate); }
    bool appendRecord(const QByteArray &record, QString &error) override
    {
        if (m_file.write(record) != record.size()) {
            error = m_file.errorString();
            return false;
        }
        return true;
    }
    bool close() { return m_file.flush() && (m_file.close(), true); }

private:
    QFile m_file;
};

struct Figure {
    bool ok = false;
    int rows = 0;
    double seconds = 0;
};

enum class Where { Isolated, InProcess };

Figure importSheet(Where where, const QString &path, const QString &out)
{
    Figure figure;
    QElapsedTimer timer;
    timer.start();
    QString error;
    auto source =
        where == Where::Isolated
            ? makeChildTableSource(QStringLiteral(HARBROOK_PROGRAM_DIR "/") + ReaderProgramName, path)
            : openTableReader(path, error);
    FileSink sink(out);
    if (!source || !sink.open()) {
        std::fprintf(stderr, "cannot start the import of %s: %s\n", qPrintable(path), qPrintable(error));
        return figure;
    }
    const ImportOutcome outcome =
        importTable(*source, QStringLiteral("Bench"), {{0, 1, 2}}, {8, 20, 10}, sink);
    figure.ok = outcome.ok && sink.close();
    figure.rows = outcome.count;
    figure.seconds = double(timer.nsecsElapsed()) / 1e9;
    if (!figure.ok)
        std::fprintf(stderr, "import of %s failed: %s\n", qPrintable(path), qPrintable(outcome.error));
    return figure;
}

Figure runPeer(const QString &program, const QStringList &arguments, const QString &out)
{
    Figure figure;
    QProcess process;
    process.setStandardOutputFile(out);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(600000)) {
        std::fprintf(stderr, "%s did not run\n", qPrintable(program));
        return figure;
    }
    figure.seconds = double(timer.nsecsElapsed()) / 1e9;
    figure.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    QFile file(out);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd())
            figure.rows += file.readLine().isEmpty() ? 0 : 1;
    }
    return figure;
}

// Reads every sheet "S" of the workbooks through the reader program, as the import would, for its
// peak memory alone: most of them are made to grow a reader (a part of 256 MiB, shared strings
// past their bound, a 90 KB attribute, a sheet past its last row, 70,000 archive entries).
void readThroughTheReader(const QString &folder, const QStringList &files)
{
    for (const QString &file : files) {
        const auto source = makeChildTableSource(QStringLiteral(HARBROOK_PROGRAM_DIR "/") + ReaderProgramName,
                                                 folder + u'/' + file);
        QStringList tables;
        QList<TableColumn> columns;
        QString error;
        if (source->listTables(tables, error) && source->readColumns(QStringLiteral("S"), columns, error))
            source->readRows(
                QStringLiteral("S"), [](const QStringList &) { return true; }, error);
    }
}

double peakMiB(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The best of a few runs, so that neither side is judged by a start with cold caches.
template <typename Run> Figure best(Run run)
{
    Figure figure = run();
    for (int i = 1; i < 3 && figure.ok; ++i) {
        const Figure again = run();
        if (!again.ok)
            return again;
        if (again.seconds < figure.seconds)
            figure = again;
    }
    return figure;
}

void print(const char *what, const Figure &figure)
{
    std::printf("  %-34s %8d rows %8.3f s %10.0f rows/s%s\n", what, figure.rows, figure.seconds,
                figure.seconds > 0 ? figure.rows / figure.seconds : 0.0, figure.ok ? "" : "  (FAILED)");
}

} // namespace

int main(int argc, char **argv)
{
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(HARBROOK_TEST_WORKBOOKS);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    const QString xlsx = folder + QStringLiteral("/bench.xlsx");
    const QString xls = folder + QStringLiteral("/bench.xls");

    const Figure ownXlsx = best(
        [&] { return importSheet(Where::Isolated, xlsx, scratch.filePath(QStringLiteral("xlsx.dat"))); });
    const Figure ownXls =
        best([&] { return importSheet(Where::Isolated, xls, scratch.filePath(QStringLiteral("xls.dat"))); });
    const double ownPeak = peakMiB(RUSAGE_SELF);
    const double readerPeak = peakMiB(RUSAGE_CHILDREN);
    readThroughTheReader(folder,
                         {QStringLiteral("padded.xlsx"), QStringLiteral("strings-bomb.xlsx"),
                          QStringLiteral("rules-many-strings.xlsx"), QStringLiteral("rules-long-ranges.xlsx"),
                          QStringLiteral("rules-rows-unnumbered.xlsx"), QStringLiteral("archive-zip64.xlsx"),
                          QStringLiteral("last-row.xlsx")});
    const double hostilePeak = peakMiB(RUSAGE_CHILDREN);
    const Figure inXlsx = best(
        [&] { return importSheet(Where::InProcess, xlsx, scratch.filePath(QStringLiteral("xlsx.dat"))); });
    const Figure inXls =
        best([&] { return importSheet(Where::InProcess, xls, scratch.filePath(QStringLiteral("xls.dat"))); });

    const Figure peerXlsx = best([&] {
        return runPeer(QStringLiteral("xlsx2csv"), {xlsx}, scratch.filePath(QStringLiteral("xlsx.csv")));
    });
    const Figure peerXls = best([&] {
        return runPeer(QStringLiteral("xls2csv"), {xls}, scratch.filePath(QStringLiteral("xls.csv")));
    });

    std::printf(".xlsx, 100,000 rows (the peer's count includes its header line):\n");
    print("import (columns, rows, records)", ownXlsx);
    print("  the same readers in-process", inXlsx);
    print("xlsx2csv", peerXlsx);
    std::printf("  xlsx2csv takes %.2f times as long as the import (goal: at least 1.5)\n",
                ownXlsx.seconds > 0 ? peerXlsx.seconds / ownXlsx.seconds : 0.0);
    std::printf(".xls, 60,000 rows:\n");
    print("import (columns, rows, records)", ownXls);
    print("  the same readers in-process", inXls);
    print("xls2csv", peerXls);
    std::printf("peak memory of the import: %.1f MiB in the editor's process, %.1f MiB in the reader "
                "(goal: under 128 MiB each)\n",
                ownPeak, readerPeak);
    std::printf(
        "peak memory of the .xlsx reader over workbooks made to grow it: %.1f MiB (goal: under 64 MiB)\n",
        hostilePeak);
    return ownXlsx.ok && ownXls.ok && inXlsx.ok && inXls.ok ? 0 : 1;
}
