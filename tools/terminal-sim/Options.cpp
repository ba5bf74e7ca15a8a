#include "Options.h"

#include <charconv>

namespace termsim {

const char *const Usage =
    "usage: harbrook-terminal-sim [options]\n"
    "  --help               print this and exit\n"
    "  --link FILE          write the path of the terminal's line (a pty) to FILE\n"
    "  --inbox DIR          store the files the PC sends in DIR\n"
    "  --outbox DIR         send the files of DIR when the PC invites with 'C'\n"
    "  --batches N          send the outbox on N invitations (default 1)\n"
    "  --quiet-before-batch MS\n"
    "                       send a batch only on the first invitation after MS without a byte\n"
    "                       from the PC (one batch per receive; default 0: every invitation)\n"
    "  --fields W,W,...     field widths for outbox record data without a .FLD file\n"
    "  --rate BPS           pace the line as at BPS bit/s (115200, 460800; default 0: no delay)\n"
    "  --seed N             seed of the injected faults (default 1)\n"
    "  --corrupt R, --drop R, --repeat R\n"
    "                       per-byte rate of corrupted, lost and repeated bytes\n"
    "  --stall R            rate of replies held back for --stall-ms MS (default 5000)\n"
    "  --cancel R           rate of replies replaced by CAN, 100 ms, CAN\n"
    "  --nak-for-c R        rate of NAK where the PC awaits 'C' after a header\n"
    "  --lose-end-ack R     rate of ACKs lost at a file's end (of its last frame or its EOT), either way\n"
    "  --log FILE           log what happened to FILE (default: standard error)\n"
    "  --idle-exit MS       exit after MS without a byte from the PC\n"
    "  --exit-after N       exit once N batches went either way\n"
    "  --trace 1            log the bytes each way (the first 16 of each piece)\n";

namespace {

bool toInt(const std::string &text, long long &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool toRate(const std::string &text, double &value)
{
    try {
        std::size_t used = 0;
        value = std::stod(text, &used);
        return used == text.size() && value >= 0 && value <= 1;
    } catch (...) {
        return false;
    }
}

} // namespace

std::optional<Options> parseOptions(const std::vector<std::string> &args, std::string &error)
{
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &name = args[i];
        if (name == "--help" || name == "-h") {
            o.help = true;
            return o;
        }
        if (i + 1 >= args.size()) {
            error = "missing value after " + name;
            return std::nullopt;
        }
        const std::string &v = args[++i];
        long long n = 0;
        auto integer = [&](long long low, long long high) {
            if (!toInt(v, n) || n < low || n > high) {
                error = "bad value for " + name + ": " + v;
                return false;
            }
            return true;
        };
        auto rate = [&](double &target) {
            if (!toRate(v, target)) {
                error = "bad rate for " + name + ": " + v;
                return false;
            }
            return true;
        };
        if (name == "--link") {
            o.linkFile = v;
        } else if (name == "--inbox") {
            o.session.inbox = v;
        } else if (name == "--outbox") {
            o.session.outbox = v;
        } else if (name == "--batches") {
            if (!integer(0, 1000000))
                return std::nullopt;
            o.session.sendBatches = static_cast<int>(n);
        } else if (name == "--quiet-before-batch") {
            if (!integer(0, 3600000))
                return std::nullopt;
            o.session.quietBeforeBatchMs = static_cast<int>(n);
        } else if (name == "--fields") {
            const auto widths = parseWidths(v);
            if (!widths) {
                error = "bad field list: " + v;
                return std::nullopt;
            }
            o.session.outboxFields = *widths;
        } else if (name == "--rate") {
            if (!integer(0, 4000000))
                return std::nullopt;
            o.rate = static_cast<int>(n);
        } else if (name == "--seed") {
            if (!integer(0, INT64_MAX))
                return std::nullopt;
            o.faults.seed = static_cast<std::uint64_t>(n);
        } else if (name == "--corrupt") {
            if (!rate(o.faults.corrupt))
                return std::nullopt;
        } else if (name == "--drop") {
            if (!rate(o.faults.drop))
                return std::nullopt;
        } else if (name == "--repeat") {
            if (!rate(o.faults.repeat))
                return std::nullopt;
        } else if (name == "--stall") {
            if (!rate(o.faults.stall))
                return std::nullopt;
        } else if (name == "--stall-ms") {
            if (!integer(0, 3600000))
                return std::nullopt;
            o.faults.stallMs = static_cast<int>(n);
        } else if (name == "--cancel") {
            if (!rate(o.faults.cancel))
                return std::nullopt;
        } else if (name == "--nak-for-c") {
            if (!rate(o.faults.nakForC))
                return std::nullopt;
        } else if (name == "--lose-end-ack") {
            if (!rate(o.faults.loseEndAck))
                return std::nullopt;
        } else if (name == "--log") {
            o.logFile = v;
        } else if (name == "--idle-exit") {
            if (!integer(0, 86400000))
                return std::nullopt;
            o.idleExitMs = static_cast<int>(n);
        } else if (name == "--trace") {
            o.trace = v == "1";
        } else if (name == "--exit-after") {
            if (!integer(0, 1000000))
                return std::nullopt;
            o.exitAfterBatches = static_cast<int>(n);
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
    }
    if (o.session.inbox.empty() && o.session.outbox.empty()) {
        error = "give --inbox, --outbox or both";
        return std::nullopt;
    }
    return o;
}

} // namespace termsim
