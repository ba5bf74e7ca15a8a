#include "YmToolArgs.h"

const char *const YmToolUsage =
    "usage: ymtool send PORT PCFILE BHTNAME [FIELDS] [options]\n"
    "       ymtool recv PORT FOLDER [--continuous] [--append] [options]\n"
    "options: --csv --last-space --dbl-quoted --add-zero --log FILE --speed BPS --hidden\n"
    "PORT is COM1..COM9 (HARBROOK_PORT_COMn names its device).\n"
    "The options become the communication settings of a settings store of ymtool's own, in a\n"
    "temporary folder that also holds the transfer's temporary files: HARBROOK_REGISTRY is pointed\n"
    "at it for the run, so the user's store is neither read nor written. The current folder is the\n"
    "default send and receive folder; --log appends the run's transfer log to FILE; --hidden\n"
    "keeps the progress window hidden, as the display setting \"表示しない\" does.\n";

std::optional<YmToolArgs> parseYmToolArgs(const QStringList &args, QString &error)
{
    YmToolArgs a;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("missing value after %1").arg(arg);
                return std::nullopt;
            }
            return args.at(++i);
        };
        if (arg == QLatin1String("--csv")) {
            a.csv = true;
        } else if (arg == QLatin1String("--last-space")) {
            a.lastSpace = true;
        } else if (arg == QLatin1String("--dbl-quoted")) {
            a.dblQuoted = true;
        } else if (arg == QLatin1String("--add-zero")) {
            a.addZero = true;
        } else if (arg == QLatin1String("--continuous")) {
            a.continuous = true;
        } else if (arg == QLatin1String("--append")) {
            a.append = true;
        } else if (arg == QLatin1String("--hidden")) {
            a.hidden = true;
        } else if (arg == QLatin1String("--log")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            a.logFile = *v;
        } else if (arg == QLatin1String("--speed")) {
            const auto v = value();
            if (!v)
                return std::nullopt;
            bool ok = false;
            a.speed = v->toInt(&ok);
            if (!ok) {
                error = QStringLiteral("bad speed %1").arg(*v);
                return std::nullopt;
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else {
            positional << arg;
        }
    }
    if (positional.isEmpty()) {
        error = QStringLiteral("no command");
        return std::nullopt;
    }
    const QString command = positional.takeFirst();
    if (command == QLatin1String("send") && (positional.size() == 3 || positional.size() == 4)) {
        a.send = true;
        a.port = positional.at(0);
        a.pcFile = positional.at(1);
        a.bhtName = positional.at(2);
        a.fields = positional.value(3);
        if (a.continuous || a.append) {
            error = QStringLiteral("--continuous and --append belong to recv");
            return std::nullopt;
        }
    } else if (command == QLatin1String("recv") && positional.size() == 2) {
        a.port = positional.at(0);
        a.folder = positional.at(1);
    } else {
        error = QStringLiteral("bad command line");
        return std::nullopt;
    }
    return a;
}
