#include "masters/tables/XlsxPackage.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace masters::tables {
namespace {

constexpr std::uint32_t EndSignature = 0x06054b50;
constexpr std::uint32_t DirectorySignature = 0x02014b50;
constexpr std::uint32_t LocalSignature = 0x04034b50;
constexpr int EndSize = 22;
constexpr int DirectoryEntrySize = 46;
constexpr int LocalHeaderSize = 30;
constexpr std::uint32_t Zip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t Zip64EndSignature = 0x06064b50;
constexpr int Zip64LocatorSize = 20;
constexpr int Zip64EndSize = 56;
// A workbook's directory lists a few dozen parts; a directory far larger is no workbook's.
constexpr std::uint32_t MaxDirectorySize = 64u << 20;

std::uint32_t get16(const char *p)
{
    return std::uint32_t(std::uint8_t(p[0])) | std::uint32_t(std::uint8_t(p[1])) << 8;
}

std::uint32_t get32(const char *p)
{
    return get16(p) | get16(p + 2) << 16;
}

std::uint64_t get64(const char *p)
{
    return get32(p) | std::uint64_t(get32(p + 4)) << 32;
}

// The entry's sizes and offset that its directory entry marks as kept in its zip64 extra field.
bool readZip64Extra(const char *extra, std::uint32_t size, XlsxPackage::Entry &entry)
{
    std::uint32_t at = 0;
    while (at + 4 <= size) {
        const std::uint32_t id = get16(extra + at);
        const std::uint32_t length = get16(extra + at + 2);
        if (at + 4 + length > size)
            return false;
        if (id == 1) {
            const char *field = extra + at + 4;
            std::uint32_t used = 0;
            for (std::uint64_t *value : {&entry.size, &entry.compressedSize, &entry.headerOffset}) {
                if (*value != 0xFFFFFFFF)
                    continue;
                if (used + 8 > length)
                    return false;
                *value = get64(field + used);
                used += 8;
            }
            return true;
        }
        at += 4 + length;
    }
    return entry.size != 0xFFFFFFFF && entry.compressedSize != 0xFFFFFFFF && entry.headerOffset != 0xFFFFFFFF;
}

std::string folded(std::string name)
{
    for (char &c : name) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return name;
}

} // namespace

bool XlsxPackage::open(const QString &path, QString &detail)
{
    m_path = path;
    m_entries.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        detail = file.errorString();
        return false;
    }
    m_fileSize = file.size();
    const QString damaged = QStringLiteral("ZIPの形式が正しくありません");
    if (m_fileSize < EndSize) {
        detail = damaged;
        return false;
    }
    // The end record sits in the last 64 KiB and 22 bytes (it may carry a comment).
    const qint64 tailSize = std::min<qint64>(m_fileSize, EndSize + 0xFFFF);
    if (!file.seek(m_fileSize - tailSize)) {
        detail = file.errorString();
        return false;
    }
    const QByteArray tail = file.read(tailSize);
    if (tail.size() != tailSize) {
        detail = file.errorString();
        return false;
    }
    qsizetype end = -1;
    for (qsizetype at = tail.size() - EndSize; at >= 0; --at) {
        if (get32(tail.constData() + at) == EndSignature) {
            end = at;
            break;
        }
    }
    if (end < 0) {
        detail = damaged;
        return false;
    }
    const char *record = tail.constData() + end;
    std::uint64_t count = get16(record + 10);
    std::uint64_t directorySize = get32(record + 12);
    std::uint64_t directoryOffset = get32(record + 16);
    // An archive of more than 65,535 entries (or past 4 GB) keeps the true figures in a zip64
    // end record, found through the locator just before the end record.
    if (count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        const qint64 locatorAt = m_fileSize - tailSize + end - Zip64LocatorSize;
        char locator[Zip64LocatorSize];
        char record64[Zip64EndSize];
        const bool located = locatorAt >= 0 && file.seek(locatorAt) &&
                             file.read(locator, Zip64LocatorSize) == Zip64LocatorSize &&
                             get32(locator) == Zip64LocatorSignature;
        // Exactly 65,535 entries fit the end record itself, and some writers leave it at that.
        const bool onlyTheCount = directorySize != 0xFFFFFFFF && directoryOffset != 0xFFFFFFFF;
        if (!located && !onlyTheCount) {
            detail = damaged;
            return false;
        }
        if (located) {
            const std::uint64_t recordAt = get64(locator + 8);
            if (recordAt > std::uint64_t(locatorAt) || !file.seek(qint64(recordAt)) ||
                file.read(record64, Zip64EndSize) != Zip64EndSize || get32(record64) != Zip64EndSignature) {
                detail = damaged;
                return false;
            }
            count = get64(record64 + 32);
            directorySize = get64(record64 + 40);
            directoryOffset = get64(record64 + 48);
        }
    }
    if (directorySize > MaxDirectorySize || directoryOffset > std::uint64_t(m_fileSize) ||
        directoryOffset + directorySize > std::uint64_t(m_fileSize) || !file.seek(qint64(directoryOffset))) {
        detail = damaged;
        return false;
    }
    const QByteArray directory = file.read(qint64(directorySize));
    if (directory.size() != qsizetype(directorySize)) {
        detail = damaged;
        return false;
    }
    qsizetype at = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (at + DirectoryEntrySize > directory.size() ||
            get32(directory.constData() + at) != DirectorySignature) {
            detail = damaged;
            return false;
        }
        const char *p = directory.constData() + at;
        const std::uint32_t flags = get16(p + 8);
        Entry entry;
        entry.method = int(get16(p + 10));
        entry.crc = get32(p + 16);
        entry.compressedSize = get32(p + 20);
        entry.size = get32(p + 24);
        const std::uint32_t nameSize = get16(p + 28);
        const std::uint32_t extraSize = get16(p + 30);
        const std::uint32_t commentSize = get16(p + 32);
        entry.headerOffset = get32(p + 42);
        const qsizetype next = at + DirectoryEntrySize + nameSize + extraSize + commentSize;
        if (next > directory.size() || !readZip64Extra(p + DirectoryEntrySize + nameSize, extraSize, entry) ||
            entry.headerOffset > std::uint64_t(m_fileSize) ||
            entry.headerOffset + LocalHeaderSize > std::uint64_t(m_fileSize)) {
            detail = damaged;
            return false;
        }
        std::string name(p + DirectoryEntrySize, nameSize);
        if (flags & 1) {
            detail = QStringLiteral("暗号化されたファイルは読み込めません");
            return false;
        }
        // Which of two entries of one name is the part cannot be told.
        if (!m_entries.emplace(folded(name), entry).second) {
            detail = QStringLiteral("ZIPに同じ名前の項目が2つあります「%1」").arg(QString::fromUtf8(name));
            return false;
        }
        at = next;
    }
    return true;
}

const XlsxPackage::Entry *XlsxPackage::entry(const std::string &name) const
{
    const auto it = m_entries.find(folded(name));
    return it == m_entries.end() ? nullptr : &it->second;
}

struct XlsxEntryStream::Inflater {
    z_stream stream{};
    bool started = false;
    ~Inflater()
    {
        if (started)
            inflateEnd(&stream);
    }
};

XlsxEntryStream::XlsxEntryStream(const XlsxPackage &package, const std::string &name) : m_file(package.path())
{
    const XlsxPackage::Entry *entry = package.entry(name);
    if (!entry)
        throw std::runtime_error(name + " not in the archive");
    m_entry = *entry;
    if (m_entry.method != 0 && m_entry.method != Z_DEFLATED)
        throw std::runtime_error(name + ": unsupported compression");
    if (!m_file.open(QIODevice::ReadOnly) || !m_file.seek(qint64(m_entry.headerOffset)))
        throw std::runtime_error(name + ": " + m_file.errorString().toStdString());
    char header[LocalHeaderSize];
    if (m_file.read(header, LocalHeaderSize) != LocalHeaderSize || get32(header) != LocalSignature)
        throw std::runtime_error(name + ": damaged entry header");
    const qint64 dataOffset =
        qint64(m_entry.headerOffset) + LocalHeaderSize + get16(header + 26) + get16(header + 28);
    if (dataOffset + qint64(m_entry.compressedSize) > m_file.size() || !m_file.seek(dataOffset))
        throw std::runtime_error(name + ": entry past the end of the file");
    m_compressedLeft = m_entry.compressedSize;
    m_crc = std::uint32_t(crc32(0, nullptr, 0));
    m_input.resize(64 * 1024);
    if (m_entry.method == Z_DEFLATED) {
        m_inflater = std::make_unique<Inflater>();
        if (inflateInit2(&m_inflater->stream, -MAX_WBITS) != Z_OK)
            throw std::runtime_error("inflate");
        m_inflater->started = true;
    }
}

XlsxEntryStream::~XlsxEntryStream() = default;

// Reads the next piece of the stored bytes into the input buffer.
size_t XlsxEntryStream::fill()
{
    const size_t want = size_t(std::min<std::uint64_t>(m_compressedLeft, m_input.size()));
    if (want == 0)
        return 0;
    const qint64 got = m_file.read(m_input.data(), qint64(want));
    if (got != qint64(want))
        throw std::runtime_error("entry cut short");
    m_compressedLeft -= want;
    return want;
}

size_t XlsxEntryStream::read(char *data, size_t size)
{
    if (m_done || size == 0)
        return 0;
    size = std::min<size_t>(size, std::numeric_limits<uInt>::max());
    size_t produced = 0;
    if (!m_inflater) {
        if (m_compressedLeft == 0) {
            finish();
            return 0;
        }
        const size_t want = size_t(std::min<std::uint64_t>(m_compressedLeft, size));
        if (m_file.read(data, qint64(want)) != qint64(want))
            throw std::runtime_error("entry cut short");
        m_compressedLeft -= want;
        produced = want;
    } else {
        z_stream &z = m_inflater->stream;
        z.next_out = reinterpret_cast<Bytef *>(data);
        z.avail_out = uInt(size);
        while (z.avail_out == size) {
            if (z.avail_in == 0) {
                const size_t got = fill();
                z.next_in = reinterpret_cast<Bytef *>(m_input.data());
                z.avail_in = uInt(got);
            }
            const int result = inflate(&z, Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                produced = size - z.avail_out;
                m_crc = std::uint32_t(crc32(m_crc, reinterpret_cast<const Bytef *>(data), uInt(produced)));
                m_produced += produced;
                finish();
                return produced;
            }
            // Z_BUF_ERROR: no input left to go on with, so the data was cut short.
            if (result != Z_OK)
                throw std::runtime_error("damaged compressed data");
        }
        produced = size - z.avail_out;
    }
    m_crc = std::uint32_t(crc32(m_crc, reinterpret_cast<const Bytef *>(data), uInt(produced)));
    m_produced += produced;
    // The declared size bounds what an entry may inflate to.
    if (m_produced > m_entry.size)
        throw std::runtime_error("entry larger than its declared size");
    return produced;
}

void XlsxEntryStream::finish()
{
    m_done = true;
    if (m_produced != m_entry.size || m_crc != m_entry.crc)
        throw std::runtime_error("damaged entry (size or checksum)");
}

} // namespace masters::tables
