// bench_transfer: runs real transfers between ymtool (the engine) or lrzsz and the terminal
// simulator over ptys and prints
//  (a) CPU seconds per MiB moved over an unthrottled line, the engine beside lrzsz;
//  (b) the wall time of a 256 KiB send and receive on a line paced at 115200 bit/s, beside the
//      bound of blocks x (frame bytes x 10 / 115200 s + 10 ms).
// Usage: bench_transfer [PROGRAM_FOLDER]  (default: the folder of this program)

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

struct Bench {
    std::string bin;
    fs::path work;

    fs::path fresh(const std::string &name)
    {
        const fs::path p = work / name;
        fs::remove_all(p);
        fs::create_directories(p / "box");
        fs::create_directories(p / "rx");
        return p;
    }

    Ended engineSend(const fs::path &file, const std::string &name, int rate, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        std::vector<std::string> simArgs{"--inbox", (f / "box").string()};
        if (rate)
            simArgs.insert(simArgs.end(), {"--rate", std::to_string(rate)});
        Sim sim(bin + "/harbrook-terminal-sim", f, simArgs);
        const auto start = Clock::now();
        const Spawned s = spawn({bin + "/ymtool", "send", "COM1", file.string(), name}, "", "", true,
                                {"HARBROOK_PORT_COM1=" + sim.device()});
        Ended e = finish(s, start, "送信開始");
        e.ok = e.ok && sameFile(file, f / "box" / name);
        return e;
    }

    Ended engineRecv(const fs::path &file, const std::string &name, int rate, const std::string &tag)
    {
        const fs::path f = fresh(tag);
        fs::copy_file(file, f / "box" / name);
        std::vector<std::string> simArgs{"--outbox", (f / "box").string()};
        if (rate)
            simArgs.insert(simArgs.end(), {"--rate", std::to_string(rate)});
        Sim sim(bin + "/harbrook-terminal-sim", f, simArgs);
        const auto start = Clock::now();
        const Spawned s = spawn({bin + "/ymtool", "recv", "COM1", (f / "rx").string()}, "", "", true,
                                {"HARBROOK_PORT_COM1=" + sim.device()});
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

    // (a) CPU per MiB over an unthrottled line.
    constexpr std::size_t MiB = 1024 * 1024;
    const fs::path big = bench.work / "BIG.PD4";
    writeRandom(big, MiB, 1);
    const Ended es = bench.engineSend(big, "BIG.PD4", 0, "a-engine-send");
    const Ended er = bench.engineRecv(big, "BIG.PD4", 0, "a-engine-recv");
    const bool haveLrzsz = fs::exists("/usr/bin/sb") && fs::exists("/usr/bin/rb");
    const Ended ls = haveLrzsz ? bench.lrzszSend(big, "a-lrzsz-send") : Ended{};
    const Ended lr = haveLrzsz ? bench.lrzszRecv(big, "a-lrzsz-recv") : Ended{};
    std::printf("(a) CPU seconds per MiB over an unthrottled pty (1 MiB file)\n");
    std::printf("    send:    engine %.4f s/MiB (wall %.2f s)%s   lrzsz sb %.4f s/MiB%s   ratio %.2f\n",
                es.cpu, es.wall, es.ok ? "" : " FAILED", ls.cpu, ls.ok ? "" : " FAILED",
                ls.cpu > 0 ? es.cpu / ls.cpu : 0.0);
    std::printf("    receive: engine %.4f s/MiB (wall %.2f s)%s   lrzsz rb %.4f s/MiB%s   ratio %.2f\n",
                er.cpu, er.wall, er.ok ? "" : " FAILED", lr.cpu, lr.ok ? "" : " FAILED",
                lr.cpu > 0 ? er.cpu / lr.cpu : 0.0);
    std::printf("    goal: within 2 times lrzsz (engine CPU includes its process start)\n");
    ok = ok && es.ok && er.ok;

    // (b) 256 KiB on a line paced at 115200 bit/s.
    const fs::path mid = bench.work / "MID.PD4";
    writeRandom(mid, 256 * 1024, 2);
    const int blocks = 256;
    const double bound = blocks * (1029.0 * 10 / 115200 + 0.010);
    const Ended ps = bench.engineSend(mid, "MID.PD4", 115200, "b-send");
    const Ended pr = bench.engineRecv(mid, "MID.PD4", 115200, "b-recv");
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
