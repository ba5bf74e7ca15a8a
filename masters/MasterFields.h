#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The fields of a master record: values in code page 932 bytes, each space-padded or cut to its
// width. A cut never falls inside a double-byte character: what would be its first byte becomes a
// space, so a record read back never starts a field with a stray trail byte.
namespace masters {

// Most fields of a record (the key and five reference fields).
inline constexpr int MaxFields = 6;
// Longest record without its CR LF: one record, its CR LF and a terminating zero fill the editor's
// 21101-byte record buffer.
inline constexpr int MaxRecordLength = 21098;

// Whether a byte starts a double-byte character of code page 932.
bool isLeadByte(char byte);

// The bytes cut to at most width bytes at a character boundary.
QByteArray cutBytes(const QByteArray &bytes, int width);
// The bytes cut as cutBytes does and space-padded to exactly width bytes.
QByteArray fitField(const QByteArray &bytes, int width);

// One record: each cell in turn fitted to its width (missing cells are empty), then CR LF.
QByteArray encodeRecord(const QStringList &cells, const std::vector<int> &widths);
// One record as encodeRecord gives it, except that each cell whose text equals its shown text (the
// operator did not change it) keeps its field's bytes of original, the record as it was read: a
// decode and encode would turn bytes such as a lone lead byte, a trailing tab or an extension
// character's duplicate into others. Without original every cell is encoded.
QByteArray encodeEditedRecord(const QStringList &cells, const QStringList &shown, const QByteArray &original,
                              const std::vector<int> &widths);
// The cells of a record: each field's bytes without trailing blanks and control characters,
// decoded. A record shorter than the widths gives what it holds.
QStringList decodeRecord(const QByteArray &record, const std::vector<int> &widths);

// The widths' sum: the record length without CR LF.
int recordLength(const std::vector<int> &widths);

} // namespace masters
