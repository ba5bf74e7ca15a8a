#include "MasterTestSupport.h"

#include "tests/support/TestIsolation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace masterstest {

QString casePath(const QString &name)
{
    return QDir(testsupport::caseFolder()).filePath(name);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray rawRecord(const std::vector<QByteArray> &fields, const std::vector<int> &widths)
{
    QByteArray record;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        QByteArray field = i < fields.size() ? fields[i] : QByteArray();
        if (field.size() < widths[i])
            field.append(widths[i] - field.size(), ' ');
        record += field;
    }
    return record + "\r\n";
}

QByteArray numberedRecords(int n, int first)
{
    QByteArray file;
    for (int i = first; i < first + n; ++i)
        file += rawRecord({"K" + QByteArray::number(i).rightJustified(4, '0'),
                           "R" + QByteArray::number(i).rightJustified(4, '0')},
                          {8, 10});
    return file;
}

QStringList keysOf(const QByteArray &file, int recordLength, int keyWidth)
{
    QStringList keys;
    for (qsizetype at = 0; at + recordLength <= file.size(); at += recordLength)
        keys << QString::fromLatin1(file.mid(at, keyWidth)).trimmed();
    return keys;
}

} // namespace masterstest
