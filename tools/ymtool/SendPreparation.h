#pragma once

#include <QByteArray>
#include <QString>

// What the library does with a send request before the engine runs: the terminal-side name, and
// the field list of a record data file from the caller or from the width file beside it.
struct SendPreparation {
    int code = 0; // 0, or the result code that refuses the request
    QString bhtName;
    QByteArray fields; // widths separated by commas; empty for the files that go without
};

SendPreparation prepareSend(const QString &pcFile, const QString &bhtName, const QString &fields);

// The first line of the width file beside the PC file (same path, extension ".fld"), trimmed;
// empty when there is none.
QString readFldFile(const QString &pcFile);
