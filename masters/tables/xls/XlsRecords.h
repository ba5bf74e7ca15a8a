#pragma once

#include "masters/tables/xls/XlsStream.h"

#include <QString>

#include <cstdint>
#include <vector>

// The records of a workbook stream (BIFF5 and BIFF8): a type, a length and a body of at most a
// record's size, read one at a time, and the strings that may run on into CONTINUE records.
namespace masters::tables::xls {

// A fault of the workbook's content, told in the operator's words.
struct XlsFault {
    QString detail;
};

namespace record {
constexpr std::uint16_t Formula = 0x0006;
constexpr std::uint16_t Eof = 0x000A;
constexpr std::uint16_t DateMode = 0x0022;
constexpr std::uint16_t FilePass = 0x002F;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t CodePage = 0x0042;
constexpr std::uint16_t WsBool = 0x0081;
constexpr std::uint16_t BoundSheet = 0x0085;
constexpr std::uint16_t MulRk = 0x00BD;
constexpr std::uint16_t RString = 0x00D6;
constexpr std::uint16_t Xf = 0x00E0;
constexpr std::uint16_t Sst = 0x00FC;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t Dimensions = 0x0200;
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Label = 0x0204;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t String = 0x0207;
constexpr std::uint16_t Row = 0x0208;
constexpr std::uint16_t Array = 0x0221;
constexpr std::uint16_t Table = 0x0236;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t Format = 0x041E;
constexpr std::uint16_t SharedFormula = 0x04BC;
constexpr std::uint16_t Bof = 0x0809;
// The BOF records of Excel 2, 3 and 4.
constexpr std::uint16_t Bof2 = 0x0009;
constexpr std::uint16_t Bof3 = 0x0209;
constexpr std::uint16_t Bof4 = 0x0409;
} // namespace record

inline std::uint16_t le16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t le32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
double le64Double(const std::uint8_t *p);

class RecordReader {
public:
    explicit RecordReader(XlsStream &stream) : m_stream(stream) {}

    // Continues at a record that starts at this position of the stream; false past its end.
    bool seek(std::uint64_t position);
    // The next record; false at the end of the stream. A record cut short by the end throws.
    bool next();
    // The type of the record after the current one; -1 at the end of the stream.
    int peekType();

    std::uint16_t type() const { return m_type; }
    const std::uint8_t *data() const { return m_body.data(); }
    size_t size() const { return m_size; }
    // Throws unless the current record holds at least size bytes.
    void need(size_t size) const;

private:
    XlsStream &m_stream;
    std::uint16_t m_type = 0;
    size_t m_size = 0;
    std::vector<std::uint8_t> m_body = std::vector<std::uint8_t>(0x10000);
};

// Text of a record that may run on into the CONTINUE records after it, read byte by byte from a
// position of the reader's current record on. Reading past the last CONTINUE throws.
class ContinuedRecord {
public:
    ContinuedRecord(RecordReader &reader, size_t at) : m_reader(reader), m_at(at) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    void skip(std::uint64_t count);
    // No byte left in the record and no CONTINUE record after it.
    bool atEnd();
    // count characters of a BIFF8 string, 16 bits each when wide: a part that begins in a
    // CONTINUE record begins with a flags byte of its own, which may change the width.
    void characters(size_t count, bool wide, QString &text);

private:
    // Moves to the next CONTINUE record; false when none follows.
    bool nextPart();
    void ensure();

    RecordReader &m_reader;
    size_t m_at;
};

// A BIFF8 string (a byte or 16-bit character count, a flags byte, then, when the flags say so, the
// counts of its rich text runs and phonetic data, the characters, the runs and the phonetic data),
// the runs and the phonetic data skipped.
QString readUnicodeString(ContinuedRecord &in, bool countIs16Bits, bool richAndPhonetic);

} // namespace masters::tables::xls
