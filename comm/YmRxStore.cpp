#include "comm/YmRxStore.h"

#include <QFile>

#include "platform/AtomicFile.h"

namespace comm {

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

bool copyInto(platform::AtomicFile &out, const QString &path, QString *error)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot open %1: %2").arg(path, in.errorString());
        return false;
    }
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0 || (n == 0 && !in.atEnd())) {
            *error = QStringLiteral("cannot read %1: %2").arg(path, in.errorString());
            return false;
        }
        if (n == 0)
            return true;
        if (!out.write(chunk.constData(), n)) {
            *error = out.errorString();
            return false;
        }
    }
}

// The new content is old content (when given) plus source, all of it or nothing: the target is
// replaced only once every byte is written, flushed and synced.
bool writeTarget(const QString &target, const QString &oldContent, const QString &source, QString *error)
{
    QString reason;
    platform::AtomicFile out(target);
    bool ok = out.open();
    if (!ok)
        reason = out.errorString();
    ok = ok && (oldContent.isEmpty() || copyInto(out, oldContent, &reason));
    ok = ok && copyInto(out, source, &reason);
    if (ok && !out.commit()) {
        reason = out.errorString();
        ok = false;
    }
    if (!ok && error)
        *error = reason;
    return ok;
}

} // namespace

QString withReceiveDate(const QString &name, const QDate &today)
{
    QString dated = name;
    dated.replace(QStringLiteral("YYMMDD"), today.toString(QStringLiteral("yyMMdd")));
    return dated;
}

bool replaceWithReceived(const QString &source, const QString &target, QString *error)
{
    return writeTarget(target, {}, source, error);
}

bool appendReceived(const QString &source, const QString &target, QString *error)
{
    return writeTarget(target, QFile::exists(target) ? target : QString(), source, error);
}

} // namespace comm
