#include "masters/tables/ChildTableSource.h"

#include "masters/tables/ReaderFrames.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define HARBROOK_READER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARBROOK_READER_ASAN 1
#endif
#endif

namespace masters::tables {

static QString &readerFolder()
{
    static QString folder;
    return folder;
}

void setReaderFolder(const QString &folder)
{
    readerFolder() = folder;
}

QString readerProgramPath()
{
    QString folder = readerFolder().isEmpty() ? QCoreApplication::applicationDirPath() : readerFolder();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + ReaderProgramName;
}

namespace {

using frames::Kind;

// The longest single wait, so the limits are checked on time.
constexpr int StepMs = 100;
constexpr int StartMs = 10'000;

class ChildTableSource final : public TableSource {
public:
    ChildTableSource(QString reader, QString file, const ReaderLimits &limits)
        : reader_(std::move(reader)), file_(std::move(file)), limits_(limits)
    {
    }
    ~ChildTableSource() override { stop(); }
    ChildTableSource(const ChildTableSource &) = delete;
    ChildTableSource &operator=(const ChildTableSource &) = delete;

    bool listTables(QStringList &names, QString &error) override
    {
        frames::Frame reply;
        if (!ask(Kind::List, QString(), limits_.listMs, reply))
            return failed(error);
        if (reply.kind == Kind::Failed)
            return failedWith(reply, error);
        if (!frames::readTables(reply, names))
            return failed(error);
        return true;
    }

    bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) override
    {
        frames::Frame reply;
        if (!ask(Kind::Columns, table, limits_.columnsMs, reply))
            return failed(error);
        if (reply.kind == Kind::Failed)
            return failedWith(reply, error);
        if (!frames::readHeading(reply, columns))
            return failed(error);
        return true;
    }

    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        frames::Frame reply;
        if (!ask(Kind::Rows, table, limits_.columnsMs, reply))
            return failed(error);
        if (reply.kind == Kind::Failed)
            return failedWith(reply, error);
        QList<TableColumn> columns;
        if (!frames::readHeading(reply, columns))
            return failed(error);
        QStringList values;
        for (;;) {
            if (!await(limits_.rowStallMs, reply))
                return failed(error);
            switch (reply.kind) {
            case Kind::Row:
                if (!frames::readRow(reply, values) || values.size() != columns.size())
                    return failed(error);
                if (!onRow(values)) {
                    // The rest of the table is not wanted: a new reader serves the next request.
                    stop();
                    return true;
                }
                break;
            case Kind::End:
                if (reply.size != 0)
                    return failed(error);
                return true;
            case Kind::Failed:
                return failedWith(reply, error);
            default:
                return failed(error);
            }
        }
    }

private:
    bool start()
    {
        if (process_ && process_->state() == QProcess::Running)
            return true;
        stop();
        process_ = std::make_unique<QProcess>();
        process_->setProgram(reader_);
        process_->setArguments({file_});
        process_->setProcessChannelMode(QProcess::SeparateChannels);
        forwarded_ = 0;
        QObject::connect(process_.get(), &QProcess::readyReadStandardError, process_.get(),
                         [this] { forwardDiagnostics(); });
#ifdef HARBROOK_READER_ASAN
        // The sanitizer reserves terabytes of address space up front, so a limit on it would stop
        // the reader before it starts; the sanitizer's own limit on resident memory stands in.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString options = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           options + (options.isEmpty() ? "" : ":") + QStringLiteral("hard_rss_limit_mb=") +
                               QString::number(limits_.memoryBytes / (1024 * 1024)));
        process_->setProcessEnvironment(environment);
#else
        const rlim_t memory = rlim_t(limits_.memoryBytes);
        process_->setChildProcessModifier([memory] {
            const rlimit limit{memory, memory};
            setrlimit(RLIMIT_AS, &limit);
        });
#endif
        process_->start(QIODevice::ReadWrite);
        if (!process_->waitForStarted(StartMs)) {
            stop();
            return false;
        }
        return true;
    }

    void stop()
    {
        if (process_) {
            if (process_->state() != QProcess::NotRunning) {
                process_->kill();
                process_->waitForFinished(-1);
            }
            process_.reset();
        }
        buffer_.clear();
        used_ = 0;
    }

    // Sends a request and waits for the first frame of its reply.
    bool ask(Kind kind, const QString &table, int limitMs, frames::Frame &reply)
    {
        if (!start())
            return false;
        QByteArray request;
        frames::Writer writer(request);
        if (kind == Kind::List)
            writer.bare(kind);
        else
            writer.text(kind, table);
        buffer_.clear();
        used_ = 0;
        if (process_->write(request) != request.size())
            return false;
        return await(limitMs, reply);
    }

    // The next frame, arrived within limitMs; false when the reader ended, sent what is no frame
    // or sent nothing in time.
    bool await(int limitMs, frames::Frame &frame)
    {
        const QDeadlineTimer deadline(limitMs);
        for (;;) {
            qsizetype size = 0;
            switch (frames::takeFrame(buffer_.constData() + used_, buffer_.size() - used_, frame, size)) {
            case frames::Take::Frame:
                used_ += size;
                return true;
            case frames::Take::Bad:
                return false;
            case frames::Take::Incomplete:
                break;
            }
            if (takeOutput())
                continue;
            if (process_->state() == QProcess::NotRunning || deadline.hasExpired())
                return false;
            waitForOutput(int(std::min<qint64>(deadline.remainingTime(), StepMs)));
        }
    }

    // Moves what the reader has sent behind the frames not yet taken; false when nothing came.
    bool takeOutput()
    {
        const qint64 available = process_->bytesAvailable();
        if (available <= 0)
            return false;
        buffer_.remove(0, used_);
        used_ = 0;
        const qsizetype old = buffer_.size();
        buffer_.resize(old + qsizetype(available));
        const qint64 got = process_->read(buffer_.data() + old, available);
        buffer_.resize(old + qsizetype(std::max<qint64>(got, 0)));
        return got > 0;
    }

    void waitForOutput(int ms)
    {
        QCoreApplication *app = QCoreApplication::instance();
        if (app == nullptr || QThread::currentThread() != app->thread()) {
            process_->waitForReadyRead(ms);
            return;
        }
        // The event loop paints and runs timers while it waits for the pipe; input stays queued
        // until the read is over.
        QEventLoop loop;
        QObject::connect(process_.get(), &QProcess::readyReadStandardOutput, &loop, &QEventLoop::quit);
        QObject::connect(process_.get(), &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer step;
        step.setSingleShot(true);
        QObject::connect(&step, &QTimer::timeout, &loop, &QEventLoop::quit);
        step.start(ms);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    // A damaged database can make a library write warnings without end (millions of lines in a few
    // seconds): the first of them reach our standard error, the rest are dropped.
    void forwardDiagnostics()
    {
        const QByteArray text = process_->readAllStandardError();
        if (forwarded_ >= DiagnosticsLimit)
            return;
        const QByteArray part = text.left(DiagnosticsLimit - forwarded_);
        std::fwrite(part.constData(), 1, size_t(part.size()), stderr);
        forwarded_ += part.size();
        if (forwarded_ >= DiagnosticsLimit)
            std::fputs("harbrook-table-reader: its further messages are dropped\n", stderr);
    }

    bool failed(QString &error)
    {
        stop();
        error = ReaderFailureText;
        return false;
    }

    // The reader's own text for a file it could not read; a reply that holds none is a failure of
    // the reader.
    bool failedWith(const frames::Frame &reply, QString &error)
    {
        QString text;
        if (!frames::readText(reply, text) || text.isEmpty())
            return failed(error);
        error = text;
        return false;
    }

    QString reader_;
    QString file_;
    ReaderLimits limits_;
    static constexpr qsizetype DiagnosticsLimit = 64 * 1024;
    std::unique_ptr<QProcess> process_;
    qsizetype forwarded_ = 0; // bytes of the reader's standard error passed on
    QByteArray buffer_;
    qsizetype used_ = 0;
};

} // namespace

std::unique_ptr<TableSource> makeChildTableSource(const QString &reader, const QString &file,
                                                  const ReaderLimits &limits)
{
    return std::make_unique<ChildTableSource>(reader, file, limits);
}

} // namespace masters::tables
