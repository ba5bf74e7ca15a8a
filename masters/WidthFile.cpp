#include "WidthFile.h"

#include "comm/CorlissRules.h"
#include "masters/MasterFields.h"
#include "platform/Cp932.h"

#include <QFile>

namespace masters {

std::optional<std::vector<int>> parseWidths(const QString &line)
{
    const QStringList pieces = line.split(QLatin1Char(','));
    if (pieces.size() > MaxFields)
        return std::nullopt;
    std::vector<int> widths;
    qint64 sum = 0;
    for (const QString &piece : pieces) {
        bool ok = false;
        const int width = piece.trimmed().toInt(&ok, 10);
        if (!ok || width < 1)
            return std::nullopt;
        sum += width;
        if (sum > MaxRecordLength)
            return std::nullopt;
        widths.push_back(width);
    }
    return widths;
}

QByteArray widthFileText(const std::vector<int> &widths)
{
    QByteArray text;
    for (const int width : widths) {
        if (!text.isEmpty())
            text += ',';
        text += QByteArray::number(width);
    }
    return text + "\r\n";
}

QString widthFilePath(const QString &masterPath)
{
    return comm::withExtension(masterPath, QStringLiteral(".fld"));
}

QString findWidthFile(const QString &masterPath)
{
    return comm::findFldFile(masterPath);
}

WidthFileRead readWidthFile(const QString &masterPath)
{
    const QString path = findWidthFile(masterPath);
    return path.isEmpty() ? WidthFileRead() : readWidthFileAt(path);
}

WidthFileRead readWidthFileAt(const QString &path)
{
    WidthFileRead read;
    read.status = WidthFileRead::Status::Invalid;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return read;
    // One line of at most six widths: anything longer is no width line.
    QByteArray line = file.readLine(4096);
    const qsizetype end = line.indexOf('\n');
    if (end >= 0)
        line.truncate(end);
    else if (!file.atEnd())
        return read; // a line cut here could read as widths its whole would not give
    if (std::optional<std::vector<int>> widths =
            parseWidths(comm::trimBlanks(platform::cp932::decode(line)))) {
        read.status = WidthFileRead::Status::Ok;
        read.widths = std::move(*widths);
    }
    return read;
}

} // namespace masters
