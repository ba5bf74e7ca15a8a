#include "DamagedFiles.h"

#include "masters/tables/ChildTableSource.h"
#include "tests/support/TestIsolation.h"

#include <QFile>
#include <QtEndian>

namespace readertest {

QString workbook(const char *name)
{
    return QStringLiteral(HARBROOK_TEST_WORKBOOKS "/") + QString::fromUtf8(name);
}

QString accessSample()
{
    const QString path = QStringLiteral(HARBROOK_ACCESS_SAMPLE);
    return QFile::exists(path) ? path : QString();
}

QString readerProgram()
{
    return testsupport::programFolder() + u'/' + masters::tables::ReaderProgramName;
}

QString faultyReader()
{
    return QStringLiteral(HARBROOK_FAULTY_READER);
}

QByteArray withRecordLength(const QByteArray &xls, quint16 type, int occurrence, int byte, char value)
{
    // BOF of BIFF8: type 0x0809, length 16.
    qsizetype at = xls.indexOf(QByteArray("\x09\x08\x10\x00", 4));
    if (at < 0)
        return {};
    int seen = 0;
    while (at + 4 <= xls.size()) {
        const quint16 recordType = qFromLittleEndian<quint16>(xls.constData() + at);
        const quint16 length = qFromLittleEndian<quint16>(xls.constData() + at + 2);
        if (recordType == type && seen++ == occurrence) {
            QByteArray damaged = xls;
            damaged[at + 2 + byte] = value;
            return damaged;
        }
        at += 4 + length;
    }
    return {};
}

QString caseFile(const QString &name, const QByteArray &bytes)
{
    const QString path = testsupport::caseFolder() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace readertest
