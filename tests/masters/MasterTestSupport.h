#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Master files for the editor's tests: records built from cells, and files read and written whole.
namespace masterstest {

QString casePath(const QString &name);
bool writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// One record of the widths from raw field bytes (each padded with spaces, never cut), then CR LF.
QByteArray rawRecord(const std::vector<QByteArray> &fields, const std::vector<int> &widths);
// n records "K0001"... with reference "R0001"... for widths {8, 10}.
QByteArray numberedRecords(int n, int first = 1);
// The keys of records of the given length, in order.
QStringList keysOf(const QByteArray &file, int recordLength, int keyWidth);

} // namespace masterstest
