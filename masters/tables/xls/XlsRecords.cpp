#include "masters/tables/xls/XlsRecords.h"

#include <algorithm>
#include <cstring>

namespace masters::tables::xls {

double le64Double(const std::uint8_t *p)
{
    const std::uint64_t bits = std::uint64_t(le32(p)) | (std::uint64_t(le32(p + 4)) << 32);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool RecordReader::seek(std::uint64_t position)
{
    m_type = 0;
    m_size = 0;
    return m_stream.seek(position);
}

bool RecordReader::next()
{
    std::uint8_t header[4];
    const size_t got = m_stream.read(header, sizeof header);
    if (got == 0) {
        m_type = 0;
        m_size = 0;
        return false;
    }
    if (got < sizeof header)
        throw XlsFault{QStringLiteral("ブックが壊れているか途中で切れています")};
    m_type = le16(header);
    m_size = le16(header + 2);
    if (m_stream.read(m_body.data(), m_size) != m_size)
        throw XlsFault{QStringLiteral("ブックが壊れているか途中で切れています")};
    return true;
}

int RecordReader::peekType()
{
    std::uint8_t header[2];
    return m_stream.peek(header, sizeof header) == sizeof header ? le16(header) : -1;
}

void RecordReader::need(size_t size) const
{
    if (m_size < size)
        throw XlsFault{QStringLiteral("レコード(種類%1)が短すぎます")
                           .arg(QStringLiteral("%1").arg(m_type, 4, 16, QLatin1Char('0')).toUpper())};
}

bool ContinuedRecord::nextPart()
{
    if (m_reader.peekType() != record::Continue)
        return false;
    m_reader.next();
    m_at = 0;
    return true;
}

void ContinuedRecord::ensure()
{
    while (m_at >= m_reader.size()) {
        if (!nextPart())
            throw XlsFault{QStringLiteral("文字列が途中で切れています")};
    }
}

bool ContinuedRecord::atEnd()
{
    while (m_at >= m_reader.size()) {
        if (!nextPart())
            return true;
    }
    return false;
}

std::uint8_t ContinuedRecord::u8()
{
    ensure();
    return m_reader.data()[m_at++];
}

std::uint16_t ContinuedRecord::u16()
{
    const std::uint8_t low = u8();
    return std::uint16_t(low | (u8() << 8));
}

std::uint32_t ContinuedRecord::u32()
{
    const std::uint16_t low = u16();
    return low | (std::uint32_t(u16()) << 16);
}

void ContinuedRecord::skip(std::uint64_t count)
{
    while (count > 0) {
        ensure();
        const size_t n = size_t(std::min<std::uint64_t>(count, m_reader.size() - m_at));
        m_at += n;
        count -= n;
    }
}

void ContinuedRecord::characters(size_t count, bool wide, QString &text)
{
    text.reserve(qsizetype(count));
    while (count > 0) {
        if (m_at >= m_reader.size()) {
            if (!nextPart())
                throw XlsFault{QStringLiteral("文字列が途中で切れています")};
            // An empty part would leave the width unknown.
            if (m_reader.size() == 0)
                throw XlsFault{QStringLiteral("文字列が途中で切れています")};
            wide = (m_reader.data()[0] & 0x01) != 0;
            m_at = 1;
        }
        const std::uint8_t *data = m_reader.data() + m_at;
        const size_t available = (m_reader.size() - m_at) / (wide ? 2 : 1);
        const size_t n = std::min(count, available);
        if (n == 0) {
            // Half a wide character before the record's end.
            throw XlsFault{QStringLiteral("文字列が途中で切れています")};
        }
        if (wide) {
            for (size_t i = 0; i < n; ++i)
                text.append(QChar(le16(data + 2 * i)));
        } else {
            for (size_t i = 0; i < n; ++i)
                text.append(QChar(data[i]));
        }
        m_at += n * (wide ? 2 : 1);
        count -= n;
    }
}

QString readUnicodeString(ContinuedRecord &in, bool countIs16Bits, bool richAndPhonetic)
{
    const size_t count = countIs16Bits ? in.u16() : in.u8();
    const std::uint8_t flags = in.u8();
    const std::uint16_t runs = richAndPhonetic && (flags & 0x08) ? in.u16() : 0;
    const std::uint32_t phonetic = richAndPhonetic && (flags & 0x04) ? in.u32() : 0;
    QString text;
    in.characters(count, (flags & 0x01) != 0, text);
    in.skip(std::uint64_t(runs) * 4 + phonetic);
    return text;
}

} // namespace masters::tables::xls
