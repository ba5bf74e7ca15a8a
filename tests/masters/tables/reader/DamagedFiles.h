#pragma once

#include <QByteArray>
#include <QString>

// Damaged copies of the files the tests make or find, each one of a kind that took the editor down
// when the readers ran inside it.
namespace readertest {

// Made by scripts/make-test-workbooks at build time.
QString workbook(const char *name);
// A small Access database from a package, fetched by scripts/setup; empty when it is not there.
QString accessSample();

QString readerProgram();
QString faultyReader(); // the test-only reader of FaultyReader.cpp

// The BIFF records of an .xls file are found from its first BOF record on; the length of the
// occurrence-th record of type has its byte (0 low, 1 high) set to value. Empty when there is no
// such record.
QByteArray withRecordLength(const QByteArray &xls, quint16 type, int occurrence, int byte, char value);

constexpr quint16 RowRecord = 0x0208;
constexpr quint16 RkRecord = 0x027E;

// Writes bytes into the running case's folder under name; the path, or empty on failure.
QString caseFile(const QString &name, const QByteArray &bytes);
QByteArray fileBytes(const QString &path);

} // namespace readertest
