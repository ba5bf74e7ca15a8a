#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <span>

// Turning the lines of a CSV file into the fixed-width records the terminal expects.
namespace comm {

// One CSV line (without its line end) as a record of exactly the sum of widths bytes, without CR LF.
// Values are split at commas from the left (quotes do not protect commas); values beyond the last
// field are dropped and fields without a value are blank. With dblQuot a value that begins with a
// double quote loses a closing one at its end and then the opening one. Each value is space-padded
// and cut to its field's width in bytes.
QByteArray csvLineToRecord(QByteArrayView line, std::span<const int> widths, bool dblQuot);

// Reads text lines as bytes; a line ends at CR LF, LF or a lone CR, and a last line without an end
// still counts. Empty files have no lines.
class TextLineReader {
public:
    explicit TextLineReader(QIODevice &device) : Device(device) {}
    // False at the end of the file or on a read error (then failed() is true).
    bool readLine(QByteArray &line);
    bool failed() const { return Failed; }
    bool atEnd();

private:
    bool fill();
    QIODevice &Device;
    QByteArray Buffer;
    qsizetype Pos = 0;
    bool Eof = false;
    bool Failed = false;
};

} // namespace comm
