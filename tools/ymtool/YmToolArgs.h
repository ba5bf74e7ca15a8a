#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line of ymtool:
//   ymtool send PORT PCFILE BHTNAME [FIELDS] [options]
//   ymtool recv PORT FOLDER [--continuous] [--append] [options]
// options: --csv --last-space --dbl-quoted --add-zero --log FILE --speed BPS --hidden
struct YmToolArgs {
    bool send = false;
    QString port;
    QString pcFile;  // send
    QString bhtName; // send
    QString fields;  // send: widths separated by commas, may be empty
    QString folder;  // recv
    bool continuous = false;
    bool append = false;
    bool csv = false;
    bool lastSpace = false;
    bool dblQuoted = false;
    bool addZero = false;
    QString logFile;
    int speed = 115200;
    bool hidden = false; // the progress window is not shown (DspMode off)
};

std::optional<YmToolArgs> parseYmToolArgs(const QStringList &args, QString &error);

extern const char *const YmToolUsage;
