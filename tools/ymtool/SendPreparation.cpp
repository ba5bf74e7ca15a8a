#include "SendPreparation.h"

#include "platform/Cp932.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool goesWithoutFields(const QString &name)
{
    static const QStringList extensions = {
        QStringLiteral(".PD3"), QStringLiteral(".PD4"), QStringLiteral(".FN3"),
        QStringLiteral(".FN4"), QStringLiteral(".BMP"), QStringLiteral(".JPG"),
        QStringLiteral(".WAV"), QStringLiteral(".LCS"), QStringLiteral(".ZIP")};
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && extensions.contains(name.mid(dot).toUpper());
}

} // namespace

QString readFldFile(const QString &pcFile)
{
    const QFileInfo info(pcFile);
    const QString base = info.suffix().isEmpty()
                             ? info.filePath()
                             : info.filePath().left(info.filePath().size() - info.suffix().size() - 1);
    QFile file(base + QStringLiteral(".fld"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QByteArray line = file.readLine();
    QString text = platform::cp932::decode(line);
    // Blanks and control characters at either end go.
    while (!text.isEmpty() && text.front().unicode() <= 32)
        text.remove(0, 1);
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

SendPreparation prepareSend(const QString &pcFile, const QString &bhtName, const QString &fields)
{
    SendPreparation p;
    p.bhtName = bhtName.isEmpty() ? QFileInfo(pcFile).fileName().toUpper() : bhtName.toUpper();
    const int dot = p.bhtName.lastIndexOf(QLatin1Char('.'));
    const qsizetype length = platform::cp932::byteLength(p.bhtName);
    const qsizetype extension = dot < 0 ? 0 : platform::cp932::byteLength(QStringView(p.bhtName).mid(dot));
    if (length == 0 || length > 12 || extension > 4) {
        p.code = 8;
        return p;
    }
    if (goesWithoutFields(p.bhtName))
        return p;
    QString list = fields.trimmed();
    if (list.isEmpty())
        list = readFldFile(pcFile);
    if (list.isEmpty()) {
        p.code = 7;
        return p;
    }
    p.fields = platform::cp932::encode(list);
    return p;
}
