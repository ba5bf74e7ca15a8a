#include "masters/tables/reader/TableReaderServe.h"

#include "masters/tables/ReaderFrames.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace masters::tables::reader {

namespace {

using frames::Kind;

// Rows leave in chunks of about this size, and at least this often while a slow table trickles,
// so the import's no-progress limit measures the reader and not the buffer.
constexpr qsizetype FlushBytes = 64 * 1024;
constexpr qint64 FlushMs = 100;

class Output {
public:
    explicit Output(int fd) : fd_(fd) { since_.start(); }

    frames::Writer writer() { return frames::Writer(buffer_); }

    bool due() const { return buffer_.size() >= FlushBytes || since_.elapsed() >= FlushMs; }

    bool flush()
    {
        const char *data = buffer_.constData();
        qsizetype left = buffer_.size();
        while (left > 0) {
            const ssize_t written = ::write(fd_, data, size_t(left));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            left -= written;
        }
        buffer_.clear();
        since_.restart();
        return true;
    }

private:
    int fd_;
    QByteArray buffer_;
    QElapsedTimer since_;
};

enum class Read { Frame, End, Failed };

class Input {
public:
    explicit Input(int fd) : fd_(fd) {}

    // The next request; the frame points into this object until the next call.
    Read next(frames::Frame &frame)
    {
        buffer_.remove(0, used_);
        used_ = 0;
        for (;;) {
            switch (frames::takeFrame(buffer_.constData(), buffer_.size(), frame, used_)) {
            case frames::Take::Frame:
                return Read::Frame;
            case frames::Take::Bad:
                return Read::Failed;
            case frames::Take::Incomplete:
                break;
            }
            char chunk[4096];
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return Read::Failed;
            if (got == 0)
                return buffer_.isEmpty() ? Read::End : Read::Failed;
            buffer_.append(chunk, got);
        }
    }

private:
    int fd_;
    QByteArray buffer_;
    qsizetype used_ = 0;
};

bool answerRows(Output &out, TableSource &source, const QString &table)
{
    QString error;
    QList<TableColumn> columns;
    if (!source.readColumns(table, columns, error)) {
        out.writer().failed(error);
        return out.flush();
    }
    out.writer().heading(columns);
    if (!out.flush())
        return false;
    bool written = true;
    const bool read = source.readRows(
        table,
        [&](const QStringList &values) {
            out.writer().row(values);
            if (out.due())
                written = out.flush();
            return written;
        },
        error);
    if (!written)
        return false;
    if (read)
        out.writer().bare(Kind::End);
    else
        out.writer().failed(error);
    return out.flush();
}

} // namespace

int serve(int in, int out, TableSource *source, const QString &openError)
{
    Input input(in);
    Output output(out);
    frames::Frame request;
    for (;;) {
        switch (input.next(request)) {
        case Read::End:
            return 0;
        case Read::Failed:
            return 2;
        case Read::Frame:
            break;
        }
        QString table;
        const bool named = request.kind == Kind::Columns || request.kind == Kind::Rows;
        if ((named && !frames::readText(request, table)) || (!named && request.kind != Kind::List))
            return 2;
        if (!source) {
            output.writer().failed(openError);
            if (!output.flush())
                return 3;
            continue;
        }
        QString error;
        bool written = true;
        if (request.kind == Kind::List) {
            QStringList names;
            if (source->listTables(names, error))
                output.writer().tables(names);
            else
                output.writer().failed(error);
            written = output.flush();
        } else if (request.kind == Kind::Columns) {
            QList<TableColumn> columns;
            if (source->readColumns(table, columns, error))
                output.writer().heading(columns);
            else
                output.writer().failed(error);
            written = output.flush();
        } else {
            written = answerRows(output, *source, table);
        }
        if (!written)
            return 3;
    }
}

int runReader(int argc, char **argv, const OpenReader &open)
{
    if (argc != 2)
        return 2;
    // A reply that cannot be written (the import has gone) is an error to return, not a signal.
    std::signal(SIGPIPE, SIG_IGN);
    const int frames = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (frames < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return 2;
    QString error;
    const std::unique_ptr<TableSource> source = open(QFile::decodeName(argv[1]), error);
    return serve(STDIN_FILENO, frames, source.get(), error);
}

} // namespace masters::tables::reader
