#include "comm/YmRxStore.h"

#include <QFile>
#include <QSaveFile>

namespace comm {

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

bool copyInto(QSaveFile &out, const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0)
            return false;
        if (n == 0)
            return in.atEnd();
        if (out.write(chunk.constData(), n) != n)
            return false;
    }
}

bool writeTarget(const QString &target, const QString &oldContent, const QString &source)
{
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (!oldContent.isEmpty() && !copyInto(out, oldContent)) {
        out.cancelWriting();
        return false;
    }
    if (!copyInto(out, source)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

QString withReceiveDate(const QString &name, const QDate &today)
{
    QString dated = name;
    dated.replace(QStringLiteral("YYMMDD"), today.toString(QStringLiteral("yyMMdd")));
    return dated;
}

bool replaceWithReceived(const QString &source, const QString &target)
{
    return writeTarget(target, {}, source);
}

bool appendReceived(const QString &source, const QString &target)
{
    return writeTarget(target, QFile::exists(target) ? target : QString(), source);
}

} // namespace comm
