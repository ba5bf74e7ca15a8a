#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The width file beside a master: one line of the field widths in decimal, key first, separated by
// "," and ended by CR LF ("10,20,8").
namespace masters {

// The widths of the line: 1 to 6 numbers, each at least 1, summing to at most MaxRecordLength; a
// piece that is no decimal number counts 0. Nothing for any other line.
std::optional<std::vector<int>> parseWidths(const QString &line);
// The line that holds the widths, with its CR LF.
QByteArray widthFileText(const std::vector<int> &widths);

// Where a master's width file is written: its extension replaced by ".fld" (added when none).
QString widthFilePath(const QString &masterPath);
// The width file that belongs to a master, whatever the letter case of its ".fld"; empty when there
// is none.
QString findWidthFile(const QString &masterPath);

struct WidthFileRead {
    enum class Status { Missing, Ok, Invalid };
    Status status = Status::Missing;
    std::vector<int> widths;
};
// Reads the first line of the master's width file. A file that exists but cannot be read, or
// whose line is not a usable list of widths, is Invalid.
WidthFileRead readWidthFile(const QString &masterPath);
// The same for the width file at path, which exists.
WidthFileRead readWidthFileAt(const QString &path);

} // namespace masters
