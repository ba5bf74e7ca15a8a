#include "masters/tables/XlsxSheetText.h"

#include "masters/tables/SheetRows.h"
#include "masters/tables/ValueText.h"
#include "masters/tables/XlsxXml.h"

#include <QDateTime>

#include <charconv>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace masters::tables {
namespace {

using Token = XmlPullReader::Token;

// The bounds of a sheet.
constexpr qint64 MaxRows = 1048576;
constexpr int MaxColumns = 16384;
// A cell holds at most 32,767 characters; a text far longer is no cell's.
constexpr size_t MaxCellText = 1024 * 1024;

// A fault of the sheet's content, told in the operator's words.
struct SheetFault {
    QString detail;
};

QString columnName(int column)
{
    QString name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

QString cellName(qint64 row, int column)
{
    return columnName(column) + QString::number(row + 1);
}

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// "B12" as row 11, column 1; false for anything else.
bool parseCellReference(std::string_view text, qint64 &row, int &column)
{
    size_t i = 0;
    int c = 0;
    while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        c = c * 26 + ((text[i] | 0x20) - 'a' + 1);
        if (c > MaxColumns)
            return false;
        ++i;
    }
    qint64 r = 0;
    const size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        r = r * 10 + (text[i] - '0');
        if (r > MaxRows)
            return false;
        ++i;
    }
    if (c == 0 || i == digits || i != text.size() || r == 0)
        return false;
    row = r - 1;
    column = c - 1;
    return true;
}

// A row number from 1 to the sheet's last; 0 for anything else (a long one included).
qint64 parseRowNumber(std::string_view text)
{
    qint64 number = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return 0;
        number = number * 10 + (ch - '0');
        if (number > MaxRows)
            return 0;
    }
    return number;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() &&
           (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}

class SheetReader {
public:
    SheetReader(const XlsxWorkbook &book, const XlsxCellHandler &onCell) : m_book(book), m_onCell(onCell) {}

    // Returns early when the handler stops the read.
    void read(const std::string &entry)
    {
        XlsxEntryStream stream(m_book.package(), entry);
        XmlPullReader xml([&stream](char *data, size_t size) { return stream.read(data, size); }, entry);
        Token token = xml.next();
        if (token != Token::Start || !xml.is(XmlSpace::Spreadsheet, "worksheet"))
            throw SheetFault{QStringLiteral("ワークシートではありません")};
        for (token = xml.next(); token != Token::Done; token = xml.next()) {
            switch (token) {
            case Token::Start:
                start(xml);
                break;
            case Token::Text:
                collect(xml.text());
                break;
            case Token::End:
                if (!end(xml))
                    return;
                break;
            case Token::Done:
                break;
            }
        }
    }

private:
    // The local name of an element of the spreadsheet namespace; empty for any other.
    static std::string_view nameOf(const XmlPullReader &xml)
    {
        return xml.space() == XmlSpace::Spreadsheet ? xml.name() : std::string_view();
    }

    void start(XmlPullReader &xml)
    {
        const std::string_view name = nameOf(xml);
        const size_t depth = xml.depth();
        if (depth == 2 && name == "sheetData") {
            m_inSheetData = true;
        } else if (!m_inSheetData) {
            return;
        } else if (depth == 3 && name == "row") {
            qint64 row = m_row + 1;
            if (xml.hasAttribute("r")) {
                const qint64 number = parseRowNumber(xml.attribute("r"));
                if (number == 0)
                    throw SheetFault{
                        QStringLiteral("行番号「%1」が正しくありません").arg(fromUtf8(xml.attribute("r")))};
                row = number - 1;
            } else if (row >= MaxRows) {
                throw SheetFault{QStringLiteral("行が%1行を超えています").arg(MaxRows)};
            }
            enterRow(row);
            m_column = -1;
        } else if (depth == 4 && name == "c") {
            if (xml.hasAttribute("r")) {
                qint64 row = 0;
                if (!parseCellReference(xml.attribute("r"), row, m_column))
                    throw SheetFault{
                        QStringLiteral("セル番地「%1」が正しくありません").arg(fromUtf8(xml.attribute("r")))};
                if (row != m_row)
                    enterRow(row);
            } else if (++m_column >= MaxColumns || m_row < 0) {
                throw SheetFault{QStringLiteral("セル番地がありません")};
            }
            m_type = xml.attribute("t");
            const std::string_view format = xml.attribute("s");
            m_cell.xf = 0;
            std::from_chars(format.data(), format.data() + format.size(), m_cell.xf);
            m_value.clear();
            m_inline.clear();
            m_hasValue = false;
            m_inCell = true;
        } else if (m_inCell && depth == 5 && name == "v") {
            m_hasValue = true;
            m_target = &m_value;
            xml.keepText(true);
        } else if (m_inCell && depth == 5 && name == "is") {
            m_inInline = true;
        } else if (m_inInline && name == "rPh") {
            ++m_phonetic;
        } else if (m_inInline && m_phonetic == 0 && name == "t") {
            // Plain or in rich runs; a phonetic guide is no part of the text.
            m_target = &m_inline;
            xml.keepText(true);
        }
    }

    // Excel writes the rows of a sheet in rising order, each once; rows that go back (out of
    // order, repeated, or alternating without end) are no sheet Excel would show, and which of
    // them holds is not to be guessed.
    void enterRow(qint64 row)
    {
        if (row <= m_row)
            throw SheetFault{QStringLiteral("行番号「%1」が昇順ではありません").arg(row + 1)};
        m_row = row;
    }

    void collect(const std::string &text)
    {
        if (!m_target)
            return;
        m_target->append(text);
        if (m_target->size() > MaxCellText)
            throw SheetFault{QStringLiteral("セル%1の文字列が長すぎます").arg(cellName(m_row, m_column))};
    }

    bool end(XmlPullReader &xml)
    {
        xml.keepText(false);
        m_target = nullptr;
        const std::string_view name = nameOf(xml);
        if (name == "sheetData" && xml.depth() == 1) {
            m_inSheetData = false;
        } else if (m_inInline && name == "rPh") {
            --m_phonetic;
        } else if (m_inCell && name == "is" && xml.depth() == 4) {
            m_inInline = false;
            m_phonetic = 0;
        } else if (m_inCell && name == "c" && xml.depth() == 3) {
            m_inCell = false;
            m_inInline = false;
            m_phonetic = 0;
            return !take() || m_onCell(m_row, m_column, m_cell);
        }
        return true;
    }

    [[noreturn]] void badValue(const char *what) const
    {
        throw SheetFault{QStringLiteral("セル%1の%2「%3」が正しくありません")
                             .arg(cellName(m_row, m_column), QString::fromUtf8(what), fromUtf8(m_value))};
    }

    // The value of the cell that just ended; false when it holds none.
    bool take()
    {
        const std::string_view value = trimmed(m_value);
        if (m_type == "inlineStr") {
            decodeEscapes(m_inline);
            m_cell.type = XlsxCell::Text;
            m_cell.text = fromUtf8(m_inline);
            return !m_cell.text.isEmpty();
        }
        if (!m_hasValue)
            return false;
        if (m_type == "s") {
            // An empty value is an empty cell, as in every other type.
            if (value.empty())
                return false;
            size_t index = 0;
            const auto [at, failure] = std::from_chars(value.data(), value.data() + value.size(), index);
            if (failure != std::errc() || at != value.data() + value.size() ||
                index >= m_book.sharedStringCount())
                badValue("共有文字列の番号");
            m_cell.type = XlsxCell::Text;
            m_cell.text = m_book.sharedString(index);
        } else if (m_type == "str") {
            decodeEscapes(m_value);
            m_cell.type = XlsxCell::Text;
            m_cell.text = fromUtf8(m_value);
        } else if (m_type == "b") {
            if (value.empty())
                return false;
            if (value != "1" && value != "0" && value != "true" && value != "false")
                badValue("真偽値");
            m_cell.type = XlsxCell::Boolean;
            m_cell.number = value == "1" || value == "true" ? 1 : 0;
        } else if (m_type == "e") {
            return false;
        } else if (m_type == "d") {
            const QString text = fromUtf8(value);
            QDateTime stamp = QDateTime::fromString(text, Qt::ISODateWithMs);
            if (!stamp.isValid())
                stamp = QDateTime(QDate::fromString(text, Qt::ISODate), QTime(0, 0));
            // A time of day alone is a time on the day count's origin, as a serial below 1 is.
            if (const QTime time = QTime::fromString(text, Qt::ISODateWithMs);
                !stamp.isValid() && time.isValid())
                stamp = QDateTime(QDate(1899, 12, 30), time);
            if (!stamp.isValid())
                badValue("日付");
            const QTime time = stamp.time();
            m_cell.type = XlsxCell::Text;
            m_cell.text = dateTimeText(stamp.date(), QTime(time.hour(), time.minute(), time.second()));
        } else if (m_type.empty() || m_type == "n") {
            if (value.empty())
                return false;
            // "+5" is a number as "5" is; "+-5" is none.
            const std::string_view digits =
                value.size() > 1 && value[0] == '+' && value[1] != '-' ? value.substr(1) : value;
            double number = 0;
            const auto [at, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
            if (failure != std::errc() || at != digits.data() + digits.size() || !std::isfinite(number))
                badValue("数値");
            m_cell.type = XlsxCell::Number;
            m_cell.number = number;
        } else {
            throw SheetFault{QStringLiteral("セル%1の種類「%2」に対応していません")
                                 .arg(cellName(m_row, m_column), QString::fromStdString(m_type))};
        }
        return m_cell.type != XlsxCell::Text || !m_cell.text.isEmpty();
    }

    const XlsxWorkbook &m_book;
    const XlsxCellHandler &m_onCell;
    bool m_inSheetData = false;
    bool m_inCell = false;
    bool m_inInline = false;
    bool m_hasValue = false;
    int m_phonetic = 0;
    qint64 m_row = -1;
    int m_column = -1;
    std::string m_type;
    std::string m_value;
    std::string m_inline;
    std::string *m_target = nullptr;
    XlsxCell m_cell;
};

} // namespace

bool readSheetCells(const XlsxWorkbook &book, const QString &sheet, const XlsxCellHandler &onCell,
                    QString &error)
{
    const XlsxSheet *found = findSheet(book.sheets(), sheet, error);
    if (!found)
        return false;
    const auto sheetError = [&](const QString &detail) { return sheetReadError(sheet, detail); };
    if (!found->worksheet || !book.package().contains(found->part)) {
        error = sheetError(QStringLiteral("ワークシートではありません"));
        return false;
    }
    try {
        SheetReader(book, onCell).read(found->part);
    } catch (const SheetFault &fault) {
        error = sheetError(fault.detail);
        return false;
    } catch (const std::exception &e) {
        error = sheetError(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

} // namespace masters::tables
