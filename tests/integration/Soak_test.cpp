// Many transfers of random files both ways through the terminal simulator with injected faults.
// Each one must end with code 0 and a byte-identical file, or with another code and the receive
// folder exactly as it was.
//
// Every transfer draws its file and faults from its own index, and the simulator's faults from the
// same number as its seed, so a failing transfer replays alone: HARBROOK_SOAK_ONLY=N runs just
// transfer N, HARBROOK_SOAK_TRANSFERS=N runs N of them.

#include "Peers.h"

#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QRegularExpression>
#include <atomic>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <mutex>
#include <random>
#include <thread>

using namespace itest;

namespace {

constexpr int DefaultTransfers = 200;
constexpr int Workers = 8;

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value >= 0 ? value : fallback;
}

struct Tally {
    std::mutex mutex;
    std::map<int, int> sendCodes;
    std::map<int, int> recvCodes;
    std::map<QString, int> faults;
    std::vector<std::string> violations;
};

// The simulator's fault counts from its last line.
std::map<QString, int> faultsOf(const QString &log)
{
    static const QRegularExpression counts(
        QStringLiteral("(corrupted|dropped|repeated|stalls|cancels|naks-for-c|lost-end-acks) (\\d+)"));
    std::map<QString, int> faults;
    const qsizetype at = log.lastIndexOf(QLatin1String("faults:"));
    if (at < 0)
        return faults;
    auto it = counts.globalMatch(log.mid(at));
    while (it.hasNext()) {
        const auto m = it.next();
        faults[m.captured(1)] += m.captured(2).toInt();
    }
    return faults;
}

void runOne(int index, const QString &root, Tally &tally)
{
    std::mt19937 draw(static_cast<quint32>(index) * 2654435761u + 17);
    const QString folder = root + QStringLiteral("/t%1").arg(index);
    QDir().mkpath(folder + QStringLiteral("/box"));
    QDir().mkpath(folder + QStringLiteral("/rx"));
    const bool send = draw() % 2 == 0;
    const bool records = draw() % 2 == 0;
    const QString name = records ? QStringLiteral("MASTER.DAT") : QStringLiteral("PRG.PD4");
    const QByteArray content = records ? randomRecords(1 + int(draw() % 400), 7, draw())
                                       : randomBytes(1 + qsizetype(draw() % 12000), draw());
    const QString source = folder + QStringLiteral("/") + name.toLower();
    writeFile(source, content);

    QStringList simArgs{
        "--seed", QString::number(index), "--corrupt", "0.0004", "--drop", "0.0003", "--repeat", "0.0003"};
    if (draw() % 3 == 0)
        simArgs << "--stall"
                << "0.05"
                << "--stall-ms"
                << "3500";
    if (draw() % 4 == 0)
        simArgs << "--cancel"
                << "0.02";
    if (send && draw() % 4 == 0)
        simArgs << "--nak-for-c"
                << "0.3";
    if (draw() % 2 == 0)
        simArgs << "--rate"
                << "460800";
    // The ACK of a file's last frame or of its EOT lost, on the way to the PC or from it.
    if (draw() % 2 == 0)
        simArgs << "--lose-end-ack"
                << "0.5";
    if (send) {
        simArgs << "--inbox" << folder + QStringLiteral("/box");
    } else {
        simArgs << "--outbox" << folder + QStringLiteral("/box");
        if (records)
            simArgs << "--fields"
                    << "4,1,2";
        writeFile(folder + QStringLiteral("/box/") + name, content);
        // The operator's files: an unrelated one, and sometimes an older copy of the one to come.
        writeFile(folder + QStringLiteral("/rx/KEEP.TXT"), "keep me");
        if (draw() % 2 == 0)
            writeFile(folder + QStringLiteral("/rx/") + name, "older copy");
    }
    const auto before = snapshot(folder + QStringLiteral("/rx"));

    Sim sim(folder, simArgs);
    if (!sim.ready()) {
        std::lock_guard lock(tally.mutex);
        tally.violations.push_back("transfer " + std::to_string(index) + ": the simulator did not start");
        return;
    }
    const YmRun run =
        send ? runYmtool({"send", "COM1", source, name, "4,1,2"}, sim.device(), folder, 240000)
             : runYmtool({"recv", "COM1", folder + QStringLiteral("/rx")}, sim.device(), folder, 240000);
    const QString log = sim.stop();

    std::string fault;
    const std::string where = "transfer " + std::to_string(index) + " (" + (send ? "send " : "recv ") +
                              name.toStdString() + ", " + std::to_string(content.size()) + " bytes, sim " +
                              simArgs.join(' ').toStdString() + "): ";
    if (!run.ended) {
        fault = "ymtool did not end";
    } else if (run.result < 0) {
        fault = "no result line";
    } else if (send) {
        const auto inbox = snapshot(folder + QStringLiteral("/box"));
        for (const auto &[file, bytes] : inbox)
            if (file.startsWith(QLatin1Char('.')))
                fault = "a partial file was left in the terminal";
        if (run.result == 0 && readFile(folder + QStringLiteral("/box/") + name) != content)
            fault = "code 0 but the terminal holds another file";
    } else {
        auto after = snapshot(folder + QStringLiteral("/rx"));
        if (run.result == 0) {
            auto expected = before;
            std::erase_if(expected, [&](const auto &f) { return f.first == name; });
            expected.emplace_back(name, content);
            std::sort(expected.begin(), expected.end());
            if (after != expected)
                fault = "code 0 but the folder does not hold the file exactly";
        } else if (after != before) {
            fault = "code " + std::to_string(run.result) + " and the folder changed";
        }
    }

    const std::map<QString, int> injected = faultsOf(log);
    if (!fault.empty() && run.result == 0 && injected.count(QStringLiteral("corrupted")) &&
        injected.at(QStringLiteral("corrupted")) > 0)
        // CRC-16 lets about one damaged frame in 65,536 through; such a case is a failure too,
        // named for what it may be.
        fault += " (a damaged frame the CRC-16 did not catch would look like this)";

    std::lock_guard lock(tally.mutex);
    (send ? tally.sendCodes : tally.recvCodes)[run.result]++;
    for (const auto &[kind, count] : injected)
        tally.faults[kind] += count;
    if (!fault.empty())
        tally.violations.push_back(where + fault + "\nreplay: HARBROOK_SOAK_ONLY=" + std::to_string(index) +
                                   "\n" + run.lines.join('\n').toStdString() + "\n" +
                                   log.right(3000).toStdString());
}

TEST(Soak, TransfersWithInjectedFaultsEndCleanly)
{
    const QString root = testsupport::caseFolder();
    const int only = envNumber("HARBROOK_SOAK_ONLY", -1);
    const int first = only >= 0 ? only : 0;
    const int Transfers = only >= 0 ? 1 : envNumber("HARBROOK_SOAK_TRANSFERS", DefaultTransfers);
    Tally tally;
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < Workers; ++w)
        workers.emplace_back([&] {
            for (int i = next++; i < Transfers; i = next++)
                runOne(first + i, root, tally);
        });
    for (auto &w : workers)
        w.join();

    auto print = [](const char *what, const std::map<int, int> &codes) {
        std::cout << what;
        int total = 0;
        for (const auto &[code, count] : codes) {
            std::cout << " code " << code << ": " << count << ";";
            total += count;
        }
        std::cout << " total " << total << "\n";
    };
    print("send:", tally.sendCodes);
    print("recv:", tally.recvCodes);
    std::cout << "faults injected:";
    for (const auto &[kind, count] : tally.faults)
        std::cout << " " << kind.toStdString() << " " << count;
    std::cout << "\nviolations: " << tally.violations.size() << std::endl;
    for (const auto &v : tally.violations)
        ADD_FAILURE() << v;
    int total = 0;
    for (const auto &[code, count] : tally.sendCodes)
        total += count;
    for (const auto &[code, count] : tally.recvCodes)
        total += count;
    EXPECT_EQ(total, Transfers);
    if (only < 0) {
        EXPECT_GT(tally.sendCodes[0] + tally.recvCodes[0], Transfers / 2)
            << "too few clean ends to mean anything";
        EXPECT_GT(tally.faults[QStringLiteral("lost-end-acks")], 0) << "no ACK was lost at a file's end";
    }
}

} // namespace
