#include "masters/tables/xls/XlsStream.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-utils.h>

namespace masters::tables::xls {
namespace {

// Large enough that a workbook of tens of thousands of rows takes a few hundred reads.
constexpr size_t ChunkBytes = 64 * 1024;
// The first read after a seek: a look at a sheet's first records needs no more.
constexpr size_t SeekChunkBytes = 4 * 1024;

struct Unref {
    void operator()(void *object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GsfHandle = std::unique_ptr<T, Unref>;

// The error's message, freed.
QString takeMessage(GError *error)
{
    if (!error)
        return QStringLiteral("原因不明");
    const QString message = QString::fromUtf8(error->message);
    g_error_free(error);
    return message;
}

} // namespace

struct XlsStream::Handles {
    GsfHandle<GsfInput> file;
    GsfHandle<GsfInfile> container;
    GsfHandle<GsfInput> stream;
};

XlsStream::XlsStream() = default;
XlsStream::~XlsStream() = default;

bool XlsStream::open(const QString &path, QString &detail)
{
    m_handles.reset();
    m_buffer.clear();
    m_start = 0;
    m_position = 0;
    m_size = 0;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            detail = file.errorString();
            return false;
        }
        const QByteArray head = file.read(8);
        if (head != QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
            // Excel 2 to 4 wrote the records bare, beginning with their first BOF record.
            const bool old = head.size() >= 4 && head.at(0) == '\x09' &&
                             (head.at(1) == '\x00' || head.at(1) == '\x02' || head.at(1) == '\x04');
            detail = old ? QStringLiteral("Excel 4.0以前の形式のブックには対応していません")
                         : QStringLiteral("Excel 97-2003形式のブックではありません");
            return false;
        }
    }
    static const bool initialised = (gsf_init(), true);
    Q_UNUSED(initialised);
    auto handles = std::make_unique<Handles>();
    GError *error = nullptr;
    handles->file.reset(gsf_input_stdio_new(QFile::encodeName(path).constData(), &error));
    if (!handles->file) {
        detail = takeMessage(error);
        return false;
    }
    handles->container.reset(gsf_infile_msole_new(handles->file.get(), &error));
    if (!handles->container) {
        detail = QStringLiteral("複合文書が壊れています: %1").arg(takeMessage(error));
        return false;
    }
    // A workbook saved for Excel 5 and 97 at once holds both streams; the later one holds more.
    int workbook = -1;
    int book = -1;
    bool encrypted = false;
    const int count = gsf_infile_num_children(handles->container.get());
    for (int i = 0; i < count; ++i) {
        const char *name = gsf_infile_name_by_index(handles->container.get(), i);
        const QString text = name ? QString::fromUtf8(name) : QString();
        if (text.compare(u"Workbook", Qt::CaseInsensitive) == 0)
            workbook = i;
        else if (text.compare(u"Book", Qt::CaseInsensitive) == 0)
            book = i;
        else if (text.compare(u"EncryptedPackage", Qt::CaseInsensitive) == 0)
            encrypted = true;
    }
    if (encrypted && workbook < 0 && book < 0) {
        detail = QStringLiteral("パスワードで暗号化されています");
        return false;
    }
    const int chosen = workbook >= 0 ? workbook : book;
    if (chosen >= 0)
        handles->stream.reset(gsf_infile_child_by_index(handles->container.get(), chosen));
    // A storage of that name is no stream.
    if (!handles->stream || (GSF_IS_INFILE(handles->stream.get()) &&
                             gsf_infile_num_children(GSF_INFILE(handles->stream.get())) >= 0)) {
        detail = QStringLiteral("ブックのデータがありません");
        return false;
    }
    const gsf_off_t size = gsf_input_size(handles->stream.get());
    m_size = size > 0 ? std::uint64_t(size) : 0;
    m_handles = std::move(handles);
    return true;
}

bool XlsStream::seek(std::uint64_t position)
{
    if (!m_handles || position > m_size)
        return false;
    m_buffer.clear();
    m_start = 0;
    // gsf_input_seek says true when it fails.
    if (gsf_input_seek(m_handles->stream.get(), gsf_off_t(position), G_SEEK_SET))
        return false;
    m_position = position;
    m_seeked = true;
    return true;
}

bool XlsStream::fill(size_t wanted)
{
    const size_t have = m_buffer.size() - m_start;
    if (have >= wanted)
        return true;
    if (!m_handles)
        return false;
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(m_start));
    m_start = 0;
    const gsf_off_t left = gsf_input_remaining(m_handles->stream.get());
    const size_t chunk = m_seeked ? SeekChunkBytes : ChunkBytes;
    m_seeked = false;
    const size_t take =
        size_t(std::min<gsf_off_t>(std::max<gsf_off_t>(left, 0), gsf_off_t(std::max(chunk, wanted) - have)));
    if (take > 0) {
        m_buffer.resize(have + take);
        // A broken sector chain reads as the end of the stream.
        if (!gsf_input_read(m_handles->stream.get(), take, m_buffer.data() + have))
            m_buffer.resize(have);
    }
    return m_buffer.size() >= wanted;
}

size_t XlsStream::read(std::uint8_t *data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        if (m_start == m_buffer.size() && !fill(1))
            break;
        const size_t n = std::min(size - done, m_buffer.size() - m_start);
        std::memcpy(data + done, m_buffer.data() + m_start, n);
        m_start += n;
        done += n;
        m_position += n;
    }
    return done;
}

size_t XlsStream::peek(std::uint8_t *data, size_t size)
{
    fill(size);
    const size_t n = std::min(size, m_buffer.size() - m_start);
    std::memcpy(data, m_buffer.data() + m_start, n);
    return n;
}

} // namespace masters::tables::xls
