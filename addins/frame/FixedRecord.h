#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Fixed-width parameter records: byte strings of code page 932 whose fields stand at 1-based byte
// positions with byte widths.
namespace addins {

// Builds a record field by field, left to right.
class FixedRecordWriter {
public:
    // Text cut at a character boundary to width bytes and padded with blanks.
    FixedRecordWriter &text(const QString &value, int width);
    // A decimal number zero-filled on the left to width bytes (leading digits beyond it are lost).
    FixedRecordWriter &number(int value, int width);
    // "1" or "0".
    FixedRecordWriter &flag(bool value);
    // Bytes as they are: markers, letters, digits a program has formed itself.
    FixedRecordWriter &bytes(QByteArrayView value);
    FixedRecordWriter &blanks(int count);

    // The 1-based position the next field starts at.
    int position() const { return int(record_.size()) + 1; }

    // The record padded with blanks to length bytes; fields past length are dropped whole, never
    // halved, so a double-byte character is never cut.
    QByteArray finish(int length) const;

private:
    void mark();

    QByteArray record_;
    QList<qsizetype> boundaries_{0};
};

// Reads fields of a record; a field past the end of the record reads as empty, so each reader's
// default applies. Control bytes, which only a damaged store holds, read as blanks: carried into a
// field they would be saved again (a NUL ending the string early for the terminal's reader), and a
// name cut to the model's length could end in one that the next load drops.
class FixedRecordReader {
public:
    explicit FixedRecordReader(QByteArray record);

    // The n bytes from p as text without trailing blanks and control characters.
    QString text(int p, int n) const;
    // The n bytes from p as text without blanks at either end.
    QString trimmed(int p, int n) const;
    // The n bytes from p as a decimal number; defaultValue when they are not exactly one.
    int integer(int p, int n, int defaultValue) const;
    // The byte at p: "1" is true, "0" false, anything else (or nothing) defaultValue.
    bool flag(int p, bool defaultValue) const;
    // The byte at p, or 0 past the end.
    char byteAt(int p) const;

    const QByteArray &record() const { return record_; }

private:
    QByteArray record_;
};

} // namespace addins
