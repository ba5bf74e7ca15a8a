#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The parts of a received header frame (block 0) that decide whether the announced file is taken.
namespace comm {

struct RxHeaderData {
    enum class Kind {
        BadName, // refused before the name is shown: the terminal is asked again with NAK
        BadSize, // the name is good and is shown, but the size is not: refused as well
        Null,    // the null header that ends a batch
        File,    // a file announced with its name and size
    };
    Kind kind = Kind::BadName;
    // Set from BadSize on.
    QString name; // decoded and upper-cased: the name the file is stored under
    QString ext;  // upper-case extension with its dot, empty when the name has none
    qint32 size = 0;
};

// Reads the data part of a header frame whose block number and CRC were already found good.
// A name must be 1 to 12 bytes long and usable as a plain file name inside the receive folder;
// the size must be a run of digits from 1 to 2147483647.
RxHeaderData parseHeaderData(QByteArrayView data);

// False for a received name that would leave the receive folder, name the folder itself, or hold a
// control character (below 0x20, or 0x7F).
bool isPlainFileName(const QString &name);

// The name with ASCII letters upper-cased; other characters stay as they are, so a double-byte
// character is never altered.
QString upperAscii(const QString &name);

// Upper-case extension of a name, with its dot; empty when the name has no dot.
QString upperExtension(const QString &name);

// The progress label while a file comes in.
QString receiveLabel(const QString &name, const QString &ext);

} // namespace comm
