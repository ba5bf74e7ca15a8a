// harbrook-terminal-sim: plays the terminal's side of the link on a pty, for tests and demos.

#include "Line.h"
#include "Options.h"
#include "Session.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

using namespace termsim;

namespace {

Micros nowMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Written whole under a temporary name and renamed, so a reader never sees half a path.
bool writeLinkFile(const std::string &file, const std::string &path)
{
    const std::string part = file + ".part";
    FILE *f = std::fopen(part.c_str(), "w");
    if (!f)
        return false;
    const bool written = std::fprintf(f, "%s\n", path.c_str()) > 0;
    if (std::fclose(f) != 0 || !written)
        return false;
    return std::rename(part.c_str(), file.c_str()) == 0;
}

std::string countsLine(const SessionCounts &s, const FaultCounts &f)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "counts: batches received %d sent %d, files stored %d sent %d, naks %d, retries %d, "
                  "aborts %d; faults: corrupted %d dropped %d repeated %d stalls %d cancels %d naks-for-c %d "
                  "lost-end-acks %d",
                  s.batchesReceived, s.batchesSent, s.filesStored, s.filesSent, s.naksSent, s.retries,
                  s.aborts, f.corrupted, f.dropped, f.repeated, f.stalls, f.cancels, f.naksForC,
                  f.endAcksLost);
    return text;
}

std::string hexLine(const char *what, const std::uint8_t *data, std::size_t size)
{
    std::string line = std::string(what) + " " + std::to_string(size) + ":";
    char hex[4];
    for (std::size_t i = 0; i < size && i < 16; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", data[i]);
        line += hex;
    }
    return size > 16 ? line + " ..." : line;
}

} // namespace

int main(int argc, char **argv)
{
    std::string error;
    const auto options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "harbrook-terminal-sim: %s\n%s", error.c_str(), Usage);
        return 2;
    }
    if (options->help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    FILE *log = stderr;
    if (!options->logFile.empty() && !(log = std::fopen(options->logFile.c_str(), "a"))) {
        std::fprintf(stderr, "harbrook-terminal-sim: cannot open %s: %s\n", options->logFile.c_str(),
                     std::strerror(errno));
        return 1;
    }
    const Micros start = nowMicros();
    auto say = [&](Micros at, const std::string &line) {
        std::fprintf(log, "[%9.3f] %s\n", static_cast<double>(at - start) / 1e6, line.c_str());
        std::fflush(log);
    };

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);

    // The simulator keeps its own slave open, so the line stays up while the PC side opens and
    // closes it; the slave starts raw, so nothing is echoed before the PC sets the line.
    termios raw{};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    char slavePath[256] = {};
    if (signalFd < 0 || openpty(&master, &slave, slavePath, &raw, nullptr) != 0 ||
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "harbrook-terminal-sim: cannot create the pty: %s\n", std::strerror(errno));
        return 1;
    }
    if (!options->linkFile.empty() && !writeLinkFile(options->linkFile, slavePath)) {
        std::fprintf(stderr, "harbrook-terminal-sim: cannot write %s\n", options->linkFile.c_str());
        return 1;
    }
    std::printf("%s\n", slavePath);
    std::fflush(stdout);

    Faults faults(options->faults);
    Line line(options->rate);
    Session session(options->session, faults, say);
    say(nowMicros(), std::string("line ") + slavePath + " at " +
                         (options->rate ? std::to_string(options->rate) + " bit/s" : "full speed") +
                         ", fault seed " + std::to_string(options->faults.seed));

    Micros lastInput = nowMicros();
    std::string reason = "signal";
    for (;;) {
        Micros now = nowMicros();
        const Bytes in = line.delivered(now);
        if (!in.empty()) {
            if (options->trace)
                say(now, hexLine("in", in.data(), in.size()));
            session.receive(in, now);
        }
        session.tick(now, line.sendIdle());
        for (const Session::Out &out : session.takeOutput()) {
            Bytes onLine;
            for (std::uint8_t b : out.bytes)
                faults.pass(b, Direction::ToPc, onLine);
            line.send(onLine, out.notBefore);
        }
        bool blocked = false;
        const Bytes due = line.sendable(now);
        if (!due.empty()) {
            const ssize_t n = write(master, due.data(), due.size());
            if (n > 0) {
                if (options->trace)
                    say(now, hexLine("out", due.data(), static_cast<std::size_t>(n)));
                line.sent(static_cast<std::size_t>(n));
            }
            blocked = n < static_cast<ssize_t>(due.size());
        }

        const SessionCounts &c = session.counts();
        if (options->exitAfterBatches > 0 && c.batchesReceived + c.batchesSent >= options->exitAfterBatches &&
            !session.busy() && line.sendIdle()) {
            reason = "batches done";
            break;
        }
        if (options->idleExitMs > 0 && now - lastInput >= options->idleExitMs * MicrosPerMs) {
            reason = "idle";
            break;
        }

        Micros next = session.nextDeadline(now);
        if (const auto lineNext = line.nextEvent())
            next = std::min(next, *lineNext);
        if (options->idleExitMs > 0)
            next = std::min(next, lastInput + options->idleExitMs * MicrosPerMs);
        const Micros wait = std::clamp<Micros>(next - now, 0, 1000 * MicrosPerMs);
        pollfd fds[2] = {{master, static_cast<short>(POLLIN | (blocked ? POLLOUT : 0)), 0},
                         {signalFd, POLLIN, 0}};
        // Blocked by a PC that does not read: wait for room, or a while, never spin. Otherwise sleep to
        // the microsecond, so that the paced line keeps its rate.
        const Micros sleep = blocked ? 10 * MicrosPerMs : wait;
        const timespec timeout{static_cast<time_t>(sleep / 1000000),
                               static_cast<long>(sleep % 1000000) * 1000};
        if (ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) {
            reason = std::string("poll failed: ") + std::strerror(errno);
            break;
        }
        if (fds[1].revents & POLLIN)
            break;
        if (fds[0].revents & POLLIN) {
            std::uint8_t buffer[4096];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) {
                now = nowMicros();
                Bytes onLine;
                for (ssize_t i = 0; i < n; ++i)
                    faults.pass(buffer[i], Direction::FromPc, onLine);
                line.arrived(onLine, now);
                lastInput = now;
            }
        }
    }
    say(nowMicros(), "exit (" + reason + ") " + countsLine(session.counts(), faults.counts()));
    close(master);
    close(slave);
    if (log != stderr)
        std::fclose(log);
    return 0;
}
