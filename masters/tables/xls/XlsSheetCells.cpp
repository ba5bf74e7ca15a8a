#include "masters/tables/xls/XlsSheetCells.h"

#include "masters/tables/SheetRows.h"

#include <cmath>

namespace masters::tables::xls {
namespace {

// Excel 97 to 2003 and Excel 5 and 95 sheets end at column IV.
constexpr int MaxColumns = 256;
constexpr std::uint16_t WorksheetKind = 0x0010;

QString cellName(int row, int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name + QString::number(row + 1);
}

// An RK value: a 30-bit integer or the high 30 bits of a double, hundredths when its lowest bit
// says so.
double rkNumber(std::uint32_t rk)
{
    double value = 0;
    if (rk & 0x02) {
        value = double(std::int32_t(rk) >> 2);
    } else {
        const std::uint8_t bytes[8] = {0,
                                       0,
                                       0,
                                       0,
                                       std::uint8_t(rk & 0xFC),
                                       std::uint8_t(rk >> 8),
                                       std::uint8_t(rk >> 16),
                                       std::uint8_t(rk >> 24)};
        value = le64Double(bytes);
    }
    return rk & 0x01 ? value / 100 : value;
}

class SheetReader {
public:
    SheetReader(XlsWorkbook &book, const XlsCellHandler &onCell)
        : m_book(book), m_reader(book.stream()), m_onCell(onCell)
    {
    }

    void read(std::uint32_t offset)
    {
        if (!m_reader.seek(offset) || !m_reader.next() || m_reader.type() != record::Bof ||
            m_reader.size() < 4 || le16(m_reader.data() + 2) != WorksheetKind)
            throw XlsFault{QStringLiteral("ワークシートではありません")};
        int nested = 0; // charts embedded in the sheet come as sheets of their own within it
        while (m_reader.next()) {
            const std::uint16_t type = m_reader.type();
            if (type == record::Bof) {
                ++nested;
                continue;
            }
            if (nested > 0) {
                if (type == record::Eof)
                    --nested;
                continue;
            }
            if (m_pendingString) {
                // A formula's text result is in the STRING record after it; the records of a shared
                // or array formula may come between.
                if (type == record::SharedFormula || type == record::Array || type == record::Table)
                    continue;
                m_pendingString = false;
                if (type == record::String) {
                    m_cell.type = XlsCell::Text;
                    m_cell.text = stringResult();
                    if (!m_cell.text.isEmpty() && !m_onCell(m_row, m_column, m_cell))
                        return;
                    continue;
                }
            }
            if (type == record::Eof)
                return;
            if (!cell(type))
                return;
        }
        throw XlsFault{QStringLiteral("シートが途中で切れています")};
    }

private:
    // The row, column and cell format every cell record begins with.
    void position(size_t need)
    {
        m_reader.need(need);
        const std::uint8_t *data = m_reader.data();
        m_row = le16(data);
        m_column = le16(data + 2);
        m_cell.xf = le16(data + 4);
        checkColumn(m_column);
    }

    void checkColumn(int column) const
    {
        if (column >= MaxColumns)
            throw XlsFault{QStringLiteral("行%1の列番号%2が正しくありません").arg(m_row + 1).arg(column + 1)};
    }

    bool number(double value)
    {
        if (!std::isfinite(value))
            return true;
        m_cell.type = XlsCell::Number;
        m_cell.number = value;
        return m_onCell(m_row, m_column, m_cell);
    }

    bool text(const QString &value)
    {
        if (value.isEmpty())
            return true;
        m_cell.type = XlsCell::Text;
        m_cell.text = value;
        return m_onCell(m_row, m_column, m_cell);
    }

    // The text of a LABEL or RSTRING record (from at on), or of a STRING record (at 0).
    QString recordText(size_t at)
    {
        if (m_book.biff8()) {
            ContinuedRecord in(m_reader, at);
            return readUnicodeString(in, true, false);
        }
        m_reader.need(at + 2);
        // Excel 5 counts a STRING record's text in characters, a cell's in bytes: the record holds
        // the text alone, so it is all of the record.
        const size_t length = at == 0 ? m_reader.size() - 2 : le16(m_reader.data() + at);
        m_reader.need(at + 2 + length);
        return m_book.codePage().decode(
            QByteArrayView(reinterpret_cast<const char *>(m_reader.data() + at + 2), qsizetype(length)));
    }

    QString stringResult() { return recordText(0); }

    // False when the handler stopped the read.
    bool cell(std::uint16_t type)
    {
        const std::uint8_t *data = m_reader.data();
        switch (type) {
        case record::Number:
            position(14);
            return number(le64Double(data + 6));
        case record::Rk:
            position(10);
            return number(rkNumber(le32(data + 6)));
        case record::MulRk: {
            position(6);
            const int first = m_column;
            const size_t count = (m_reader.size() - 6) / 6;
            for (size_t i = 0; i < count; ++i) {
                m_column = first + int(i);
                checkColumn(m_column);
                m_cell.xf = le16(data + 4 + 6 * i);
                if (!number(rkNumber(le32(data + 6 + 6 * i))))
                    return false;
            }
            return true;
        }
        case record::Label:
        case record::RString:
            position(8);
            return text(recordText(6));
        case record::LabelSst: {
            position(10);
            const std::uint32_t index = le32(data + 6);
            if (index >= m_book.sharedStringCount())
                throw XlsFault{QStringLiteral("セル%1の共有文字列の番号「%2」が正しくありません")
                                   .arg(cellName(m_row, m_column))
                                   .arg(index)};
            return text(m_book.sharedString(index));
        }
        case record::BoolErr:
            position(8);
            // An error value (#N/A, #DIV/0! ...) is no value.
            if (data[7] != 0)
                return true;
            m_cell.type = XlsCell::Boolean;
            m_cell.number = data[6] != 0 ? 1 : 0;
            return m_onCell(m_row, m_column, m_cell);
        case record::Formula:
            position(14);
            if (data[12] != 0xFF || data[13] != 0xFF)
                return number(le64Double(data + 6));
            switch (data[6]) {
            case 0: // text, in the STRING record that follows
                m_pendingString = true;
                return true;
            case 1:
                m_cell.type = XlsCell::Boolean;
                m_cell.number = data[8] != 0 ? 1 : 0;
                return m_onCell(m_row, m_column, m_cell);
            default: // an error, or an empty text
                return true;
            }
        default:
            return true;
        }
    }

    XlsWorkbook &m_book;
    RecordReader m_reader;
    const XlsCellHandler &m_onCell;
    int m_row = 0;
    int m_column = 0;
    XlsCell m_cell;
    bool m_pendingString = false;
};

} // namespace

bool readSheetCells(XlsWorkbook &book, const QString &sheet, const XlsCellHandler &onCell, QString &error)
{
    const XlsSheet *found = findSheet(book.sheets(), sheet, error);
    if (!found)
        return false;
    const auto sheetError = [&](const QString &detail) { return sheetReadError(sheet, detail); };
    try {
        SheetReader(book, onCell).read(found->offset);
    } catch (const XlsFault &fault) {
        error = sheetError(fault.detail);
        return false;
    }
    return true;
}

} // namespace masters::tables::xls
