// bench_transfer: runs real transfers between the engine or lrzsz and the terminal simulator over
// ptys and prints
//  (a) CPU seconds per MiB moved over an unthrottled line: the engine alone (run in this process,
//      the CPU time of the thread that runs it), ymtool as a whole process (the library, its
//      event loop and the hidden progress window, its start shown apart), beside lrzsz's sb and rb,
//      and a bare receiving loop with and without the engine's 10 ms pause before each answer, to
//      show what the pause alone costs; the median of several runs each;
//  (b) the wall time of a 256 KiB send and receive on a line paced at 115200 bit/s, beside the
//      bound of blocks x (frame bytes x 10 / 115200 s + 10 ms).
// Usage: bench_transfer [TOOL_FOLDER]  (the folder of ymtool and the simulator; default: this
// program's own, build/<preset>/tools/bin)

#include "comm/YmFrames.h"
#include "comm/YmThread.h"
#include "platform/Clock.h"
#include "platform/PosixSerialPort.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Ended {
    bool ok = false;
    double cpu = 0;  // user + system seconds of the process
    double wall = 0; // seconds from the start (or the first marker line) to the end
};

struct Spawned {
    pid_t pid = -1;
    int out = -1; // its standard output, when captured
};

Spawned spawn(const std::vector<std::string> &args, const std::string &cwd, const std::string &stdio,
              bool captureOut, const std::vector<std::string> &extraEnv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (!stdio.empty()) {
        posix_spawn_file_actions_addopen(&actions, 0, stdio.c_str(), O_RDWR | O_NOCTTY, 0);
        posix_spawn_file_actions_adddup2(&actions, 0, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (captureOut && pipe(pipeFds) == 0) {
            posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
            posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        }
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    std::vector<char *> argv;
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStore(extraEnv);
    for (char **e = environ; *e; ++e)
        envStore.emplace_back(*e);
    std::vector<char *> envp;
    for (auto &e : envStore)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    Spawned s;
    if (posix_spawn(&s.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        s.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) {
        close(pipeFds[1]);
        s.out = pipeFds[0];
    }
    return s;
}

// Waits for the end, reading its output; the wall time runs from the line holding marker when given.
Ended finish(const Spawned &s, Clock::time_point started, const char *marker)
{
    Ended e;
    std::string output;
    std::optional<Clock::time_point> from;
    if (!marker)
        from = started;
    if (s.out >= 0) {
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(s.out, buffer, sizeof buffer);
            if (n <= 0)
                break;
            output.append(buffer, size_t(n));
            if (!from && output.find(marker) != std::string::npos)
                from = Clock::now();
        }
        close(s.out);
    }
    int status = 0;
    rusage usage{};
    if (wait4(s.pid, &status, 0, &usage) != s.pid)
        return e;
    const auto end = Clock::now();
    e.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    e.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    e.wall = std::chrono::duration<double>(end - from.value_or(started)).count();
    return e;
}

class Sim {
public:
    Sim(const std::string &program, const fs::path &folder, std::vector<std::string> args)
    {
        const fs::path link = folder / "sim.link";
        fs::remove(link);
        args.insert(args.begin(), {program, "--link", link.string(), "--log", (folder / "sim.log").string()});
        pid_ = spawn(args, "", "", false, {}).pid;
        for (int i = 0; i < 500 && device_.empty(); ++i) {
            std::ifstream in(link);
            std::getline(in, device_);
            if (device_.empty())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~Sim()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string &device() const { return device_; }

private:
    pid_t pid_ = -1;
    std::string device_;
};

void writeRandom(const fs::path &path, std::size_t size, unsigned seed)
{
    std::mt19937 engine(seed);
    std::string bytes(size, '\0');
    for (char &c : bytes)
        c = char(engine() & 0xFF);
    std::ofstream(path, std::ios::binary) << bytes;
}

bool sameFile(const fs::path &a, const fs::path &b)
{
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(x)), {}) ==
           std::string((std::istreambuf_iterator<char>(y)), {});
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The engine reports to nobody here.
class NoProgress final : public TransferProgress {
public:
    void setLabel(const QString &) override {}
    void setGaugeMaximum(int) override {}
    void setGaugePosition(int) override {}
    void setStopCaption(const QString &) override {}
    void hideWindow() override {}
    void finished() override {}
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Bench {
    std::string bin;
    fs::path work;

    // The engine on this thread against the simulator: its thread's CPU seconds.
    Ended engineInProcess(bool send, const fs::path &file, const std::string &name, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        if (!send)
            fs::copy_file(file, f / "box" / name);
        Sim sim(bin + "/harbrook-terminal-sim", f, {send ? "--inbox" : "--outbox", (f / "box").string()});
        Ended e;
        platform::PortOpenError error = platform::PortOpenError::None;
        const auto port = platform::openSerialDevice(QString::fromStdString(sim.device()), 115200, error);
        if (!port)
            return e;
        TransferStart start;
        start.TxFlag = send;
        start.TxFName = QString::fromStdString(file.string());
        start.BhtFName = QString::fromStdString(name);
        start.RxFolder = QString::fromStdString((f / "rx").string() + "/");
        start.Tmp1File = QString::fromStdString((f / "tmp1").string());
        start.Tmp2File = QString::fromStdString((f / "tmp2").string());
        NoProgress progress;
        TYmThread engine(*port, platform::systemClock(), progress, start);
        const auto wallStart = Clock::now();
        const double cpuStart = threadCpuSeconds();
        engine.Execute();
        e.cpu = threadCpuSeconds() - cpuStart;
        e.wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
        e.ok = engine.result().ErrorNo == 0 && sameFile(file, f / (send ? "box" : "rx") / name);
        return e;
    }

    // The least any receiver with the engine's write pacing does: a bare loop that waits for each
    // frame, checks its CRC, keeps its data and answers after a pause of pauseMs (the engine's is
    // 10 ms). No time-outs, retries, file types or records. Its thread's CPU seconds; ok when the
    // file arrived whole.
    Ended bareReceive(const fs::path &file, const std::string &name, int pauseMs, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        fs::copy_file(file, f / "box" / name);
        Sim sim(bin + "/harbrook-terminal-sim", f, {"--outbox", (f / "box").string()});
        Ended e;
        platform::PortOpenError error = platform::PortOpenError::None;
        const auto port = platform::openSerialDevice(QString::fromStdString(sim.device()), 115200, error);
        if (!port)
            return e;
        const comm::CrcTable table = comm::makeCrcTable();
        const auto answer = [&](char byte) {
            if (pauseMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            return port->write(&byte, 1);
        };
        const double cpuStart = threadCpuSeconds();
        std::string frame, data;
        char buffer[2048];
        bool done = !answer(comm::CRC_C);
        bool headerNext = true;
        while (!done) {
            const qint64 n = port->read(buffer, sizeof buffer);
            if (n < 0)
                break;
            if (n == 0) {
                if (!port->waitForInput(5000))
                    break;
                continue;
            }
            frame.append(buffer, std::size_t(n));
            while (!frame.empty() && !done) {
                const char kind = frame[0];
                const std::size_t size = kind == comm::SOH ? 133 : kind == comm::STX ? 1029 : 1;
                if (frame.size() < size)
                    break;
                if (kind == comm::EOT) {
                    done = !answer(comm::ACK) || !answer(comm::CRC_C);
                    headerNext = true;
                } else if (kind == comm::SOH || kind == comm::STX) {
                    const std::size_t length = size - 5;
                    const quint16 crc = quint16((quint8(frame[size - 2]) << 8) | quint8(frame[size - 1]));
                    if (comm::calcCrc16(table, frame.data() + 3, qint64(length)) != crc) {
                        done = true;
                        break;
                    }
                    if (headerNext) {
                        headerNext = false;
                        if (frame[3] == '\0') { // the null header ends the batch
                            answer(comm::ACK);
                            done = true;
                        } else {
                            done = !answer(comm::ACK) || !answer(comm::CRC_C);
                        }
                    } else {
                        data.append(frame, 3, length);
                        done = !answer(comm::ACK);
                    }
                }
                frame.erase(0, size);
            }
        }
        e.cpu = threadCpuSeconds() - cpuStart;
        std::string expected;
        {
            std::ifstream in(file, std::ios::binary);
            expected.assign(std::istreambuf_iterator<char>(in), {});
        }
        e.ok = data.size() >= expected.size() && data.compare(0, expected.size(), expected) == 0;
        return e;
    }

    // ymtool up to its end without a transfer: a port that names no device.
    Ended toolStart(const std::string &tag)
    {
        const fs::path f = fresh(tag);
        const auto start = Clock::now();
        const Spawned s = spawn({bin + "/ymtool", "recv", "COM1", (f / "rx").string(), "--hidden"}, "", "",
                                true, {"HARBROOK_PORT_COM1=" + (f / "no-device").string()});
        Ended e = finish(s, start, nullptr);
        e.ok = !e.ok; // it must fail at the port
        return e;
    }

    fs::path fresh(const std::string &name)
    {
        const fs::path p = work / name;
        fs::remove_all(p);
        fs::create_directories(p / "box");
        fs::create_directories(p / "rx");
        return p;
    }

    Ended ymtoolSend(const fs::path &file, const std::string &name, int rate, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        std::vector<std::string> simArgs{"--inbox", (f / "box").string()};
        if (rate)
            simArgs.insert(simArgs.end(), {"--rate", std::to_string(rate)});
        Sim sim(bin + "/harbrook-terminal-sim", f, simArgs);
        const auto start = Clock::now();
        std::vector<std::string> args{bin + "/ymtool", "send", "COM1", file.string(), name};
        if (!rate)
            args.push_back("--hidden");
        const Spawned s = spawn(args, "", "", true, {"HARBROOK_PORT_COM1=" + sim.device()});
        Ended e = finish(s, start, "送信開始");
        e.ok = e.ok && sameFile(file, f / "box" / name);
        return e;
    }

    Ended ymtoolRecv(const fs::path &file, const std::string &name, int rate, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        fs::copy_file(file, f / "box" / name);
        std::vector<std::string> simArgs{"--outbox", (f / "box").string()};
        if (rate)
            simArgs.insert(simArgs.end(), {"--rate", std::to_string(rate)});
        Sim sim(bin + "/harbrook-terminal-sim", f, simArgs);
        const auto start = Clock::now();
        std::vector<std::string> args{bin + "/ymtool", "recv", "COM1", (f / "rx").string()};
        if (!rate)
            args.push_back("--hidden");
        const Spawned s = spawn(args, "", "", true, {"HARBROOK_PORT_COM1=" + sim.device()});
        Ended e = finish(s, start, nullptr);
        e.ok = e.ok && sameFile(file, f / "rx" / name);
        return e;
    }

    Ended lrzszSend(const fs::path &file, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        Sim sim(bin + "/harbrook-terminal-sim", f, {"--inbox", (f / "box").string()});
        const auto start = Clock::now();
        const Spawned s = spawn({"/usr/bin/sb", "--ymodem", file.filename().string()},
                                file.parent_path().string(), sim.device(), false, {});
        Ended e = finish(s, start, nullptr);
        e.ok = e.ok && sameFile(file, f / "box" / file.filename());
        return e;
    }

    Ended lrzszRecv(const fs::path &file, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        fs::copy_file(file, f / "box" / file.filename());
        Sim sim(bin + "/harbrook-terminal-sim", f, {"--outbox", (f / "box").string()});
        const auto start = Clock::now();
        const Spawned s = spawn({"/usr/bin/rb", "--ymodem"}, (f / "rx").string(), sim.device(), false, {});
        Ended e = finish(s, start, nullptr);
        std::string lower = file.filename().string();
        for (char &c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        e.ok = e.ok && (sameFile(file, f / "rx" / file.filename()) || sameFile(file, f / "rx" / lower));
        return e;
    }
};

} // namespace

int main(int argc, char **argv)
{
    std::string bin = argc > 1 ? argv[1] : fs::absolute(fs::path(argv[0])).parent_path().string();
    char pattern[] = "/tmp/bench-transfer-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    Bench bench{bin, pattern};
    bool ok = true;

    // (a) CPU per MiB over an unthrottled line, the median of Runs runs each.
    constexpr std::size_t MiB = 1024 * 1024;
    constexpr int Runs = 3;
    const fs::path big = bench.work / "BIG.PD4";
    writeRandom(big, MiB, 1);
    const bool haveLrzsz = fs::exists("/usr/bin/sb") && fs::exists("/usr/bin/rb");
    struct Row {
        std::vector<double> cpu;
        bool ok = true;
        void add(const Ended &e)
        {
            cpu.push_back(e.cpu);
            ok = ok && e.ok;
        }
        double value() const { return median(cpu); }
        const char *mark() const { return ok ? "" : " FAILED"; }
    };
    Row engineSend, engineRecv, toolSend, toolRecv, start, bare, barePaced, sb, rb;
    for (int run = 0; run < Runs; ++run) {
        engineSend.add(bench.engineInProcess(true, big, "BIG.PD4", "a-engine-send"));
        engineRecv.add(bench.engineInProcess(false, big, "BIG.PD4", "a-engine-recv"));
        toolSend.add(bench.ymtoolSend(big, "BIG.PD4", 0, "a-tool-send"));
        toolRecv.add(bench.ymtoolRecv(big, "BIG.PD4", 0, "a-tool-recv"));
        start.add(bench.toolStart("a-tool-start"));
        bare.add(bench.bareReceive(big, "BIG.PD4", 0, "a-bare-recv"));
        barePaced.add(bench.bareReceive(big, "BIG.PD4", 10, "a-bare-paced-recv"));
        if (haveLrzsz) {
            sb.add(bench.lrzszSend(big, "a-lrzsz-send"));
            rb.add(bench.lrzszRecv(big, "a-lrzsz-recv"));
        }
    }
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("(a) CPU seconds per MiB over an unthrottled pty (1 MiB file, median of %d runs)\n", Runs);
    std::printf(
        "    send:    engine %.4f%s   ymtool %.4f%s   lrzsz sb %.4f%s   engine/sb %.2f   ymtool/sb %.2f\n",
        engineSend.value(), engineSend.mark(), toolSend.value(), toolSend.mark(), sb.value(), sb.mark(),
        ratio(engineSend.value(), sb.value()), ratio(toolSend.value(), sb.value()));
    std::printf(
        "    receive: engine %.4f%s   ymtool %.4f%s   lrzsz rb %.4f%s   engine/rb %.2f   ymtool/rb %.2f\n",
        engineRecv.value(), engineRecv.mark(), toolRecv.value(), toolRecv.mark(), rb.value(), rb.mark(),
        ratio(engineRecv.value(), rb.value()), ratio(toolRecv.value(), rb.value()));
    std::printf("    ymtool's start and end without a transfer: %.4f s%s (part of its figures)\n",
                start.value(), start.mark());
    std::printf("    a bare receiving loop: %.4f s/MiB%s (%.2f times rb) without a pause, %.4f s/MiB%s "
                "(%.2f times rb) with the engine's 10 ms pause before each answer\n",
                bare.value(), bare.mark(), ratio(bare.value(), rb.value()), barePaced.value(),
                barePaced.mark(), ratio(barePaced.value(), rb.value()));
    std::printf("    goal: within 2 times lrzsz\n");
    ok = ok && engineSend.ok && engineRecv.ok && toolSend.ok && toolRecv.ok && start.ok && bare.ok &&
         barePaced.ok;

    // (b) 256 KiB on a line paced at 115200 bit/s.
    const fs::path mid = bench.work / "MID.PD4";
    writeRandom(mid, 256 * 1024, 2);
    const int blocks = 256;
    const double bound = blocks * (1029.0 * 10 / 115200 + 0.010);
    const Ended ps = bench.ymtoolSend(mid, "MID.PD4", 115200, "b-send");
    const Ended pr = bench.ymtoolRecv(mid, "MID.PD4", 115200, "b-recv");
    std::printf(
        "(b) 256 KiB at 115200 bit/s: bound %d blocks x (1029 bytes x 10 / 115200 s + 10 ms) = %.2f s\n",
        blocks, bound);
    std::printf("    send:    %.2f s (%+.1f%% of the bound)%s\n", ps.wall, (ps.wall / bound - 1) * 100,
                ps.ok ? "" : " FAILED");
    std::printf("    receive: %.2f s (%+.1f%% of the bound)%s\n", pr.wall, (pr.wall / bound - 1) * 100,
                pr.ok ? "" : " FAILED");
    std::printf("    goal: within 3%% of the bound\n");
    ok = ok && ps.ok && pr.ok;
    std::error_code ignored;
    fs::remove_all(bench.work, ignored);
    return ok ? 0 : 1;
}
