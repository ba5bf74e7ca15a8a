#include "masters/tables/xls/XlsWorkbook.h"

#include "masters/tables/ValueText.h"

#include <QFileInfo>

#include <algorithm>
#include <map>

namespace masters::tables::xls {
namespace {

constexpr std::uint16_t GlobalsKind = 0x0005;
constexpr std::uint16_t WorksheetKind = 0x0010;

// Far more sheets than any workbook holds; each is looked into when the workbook is opened.
constexpr size_t MaxSheets = 4096;

// A BOUNDSHEET record's sheet type for worksheets and dialog sheets alike.
constexpr std::uint8_t WorksheetEntry = 0;

const QString OldFormatText = QStringLiteral("Excel 4.0以前の形式のブックには対応していません");
const QString EncryptedText = QStringLiteral("パスワードで暗号化されています");
const QString CutShortText = QStringLiteral("ブックが壊れているか途中で切れています");

} // namespace

QString XlsWorkbook::readError(const QString &detail) const
{
    return QStringLiteral("Excelファイル「%1」を読み込めません。(%2)")
        .arg(QFileInfo(m_path).fileName(), detail);
}

bool XlsWorkbook::open(const QString &path, QString &error)
{
    m_path = path;
    m_sheets.clear();
    m_xfIsDate.clear();
    m_strings.clear();
    m_stringStarts.clear();
    m_dates1904 = false;
    m_codePage.select(1252);
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("ファイル「%1」がありません。").arg(path);
        return false;
    }
    QString detail;
    if (!m_stream.open(path, detail)) {
        error = readError(detail);
        return false;
    }
    try {
        readGlobals();
    } catch (const XlsFault &fault) {
        m_sheets.clear();
        error = readError(fault.detail);
        return false;
    }
    return true;
}

void XlsWorkbook::readGlobals()
{
    RecordReader reader(m_stream);
    if (!reader.next())
        throw XlsFault{QStringLiteral("ブックが空です")};
    if (reader.type() == record::Bof2 || reader.type() == record::Bof3 || reader.type() == record::Bof4)
        throw XlsFault{OldFormatText};
    if (reader.type() != record::Bof)
        throw XlsFault{QStringLiteral("ブックの先頭のレコードがありません")};
    reader.need(4);
    const std::uint16_t version = le16(reader.data());
    if (version == 0x0600)
        m_biff8 = true;
    else if (version == 0x0500)
        m_biff8 = false;
    else if (version < 0x0500)
        throw XlsFault{OldFormatText};
    else
        throw XlsFault{
            QStringLiteral("形式(バージョン%1)に対応していません").arg(version, 4, 16, QLatin1Char('0'))};
    if (le16(reader.data() + 2) != GlobalsKind)
        throw XlsFault{QStringLiteral("ブックの先頭のレコードがありません")};

    std::map<int, bool> formatIsDate; // by number; a workbook holds a few hundred at most
    std::vector<std::uint16_t> xfFormats;
    std::vector<XlsSheet> entries;
    for (;;) {
        if (!reader.next())
            throw XlsFault{CutShortText};
        const std::uint8_t *data = reader.data();
        switch (reader.type()) {
        case record::Eof:
            break;
        case record::FilePass:
            throw XlsFault{EncryptedText};
        case record::CodePage:
            reader.need(2);
            // Excel 97 and later write text with its own width, whatever this says.
            if (!m_biff8 && !m_codePage.select(le16(data)))
                throw XlsFault{QStringLiteral("コードページ%1に対応していません").arg(le16(data))};
            continue;
        case record::DateMode:
            reader.need(2);
            m_dates1904 = le16(data) == 1;
            continue;
        case record::Format: {
            reader.need(m_biff8 ? 5 : 3);
            const int number = le16(data);
            QString code;
            if (m_biff8) {
                ContinuedRecord in(reader, 2);
                code = readUnicodeString(in, true, false);
            } else {
                const size_t length = std::min<size_t>(data[2], reader.size() - 3);
                code = m_codePage.decode(
                    QByteArrayView(reinterpret_cast<const char *>(data + 3), qsizetype(length)));
            }
            formatIsDate[number] = isDateFormat(number, code);
            continue;
        }
        case record::Xf:
            reader.need(4);
            xfFormats.push_back(le16(data + 2));
            continue;
        case record::Sst:
            if (m_biff8)
                readSharedStrings(reader);
            continue;
        case record::BoundSheet:
            reader.need(m_biff8 ? 8 : 7);
            if (entries.size() == MaxSheets)
                throw XlsFault{QStringLiteral("シートが%1枚を超えています").arg(MaxSheets)};
            if (data[5] == WorksheetEntry)
                entries.push_back(readSheetEntry(reader));
            continue;
        case record::Bof:
            // The globals end with an EOF record before the first sheet's BOF.
            throw XlsFault{QStringLiteral("ブックの構造が壊れています")};
        default:
            continue;
        }
        break;
    }

    m_xfIsDate.reserve(xfFormats.size());
    for (const std::uint16_t number : xfFormats) {
        const auto custom = formatIsDate.find(number);
        m_xfIsDate.push_back(custom != formatIsDate.end() ? custom->second : isDateFormat(number, QString()));
    }
    for (const XlsSheet &entry : entries) {
        if (isWorksheet(entry.offset))
            m_sheets.push_back(entry);
    }
}

XlsSheet XlsWorkbook::readSheetEntry(const RecordReader &reader) const
{
    const std::uint8_t *data = reader.data();
    XlsSheet sheet;
    sheet.offset = le32(data);
    const size_t length = data[6];
    if (m_biff8) {
        // A short string that never runs on: a byte count, a flags byte, the characters.
        const bool wide = (data[7] & 0x01) != 0;
        reader.need(8 + length * (wide ? 2 : 1));
        for (size_t i = 0; i < length; ++i)
            sheet.name.append(QChar(wide ? le16(data + 8 + 2 * i) : data[8 + i]));
    } else {
        reader.need(7 + length);
        sheet.name =
            m_codePage.decode(QByteArrayView(reinterpret_cast<const char *>(data + 7), qsizetype(length)));
    }
    return sheet;
}

bool XlsWorkbook::isWorksheet(std::uint32_t offset)
{
    RecordReader reader(m_stream);
    try {
        if (!reader.seek(offset) || !reader.next() || reader.type() != record::Bof || reader.size() < 4)
            return true;
        if (le16(reader.data() + 2) != WorksheetKind)
            return false;
        // WSBOOL comes among the first records of the sheet, before its dimensions and cells.
        for (int i = 0; i < 100 && reader.next(); ++i) {
            switch (reader.type()) {
            case record::WsBool:
                return reader.size() < 1 || (reader.data()[0] & 0x10) == 0;
            case record::Dimensions:
            case record::Row:
            case record::Eof:
            case record::Bof:
                return true;
            default:
                break;
            }
        }
    } catch (const XlsFault &) {
    }
    return true;
}

void XlsWorkbook::readSharedStrings(RecordReader &reader)
{
    ContinuedRecord in(reader, 0);
    in.u32(); // the count of cells that refer to the table
    const std::uint32_t unique = in.u32();
    m_strings.clear();
    m_stringStarts.assign(1, 0);
    // Never reserved by the count, which a damaged table may overstate; a table that ends early
    // ends at a whole string.
    for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i) {
        const QString text = readUnicodeString(in, true, true);
        if ((m_strings.size() + size_t(text.size())) * sizeof(char16_t) +
                (m_stringStarts.size() + 1) * sizeof(std::uint32_t) >
            MaxSharedStringBytes)
            throw XlsFault{QStringLiteral("共有文字列が%1MBを超えています").arg(MaxSharedStringBytes >> 20)};
        m_strings.append(reinterpret_cast<const char16_t *>(text.constData()), size_t(text.size()));
        m_stringStarts.push_back(std::uint32_t(m_strings.size()));
    }
}

QString XlsWorkbook::sharedString(size_t index) const
{
    const std::uint32_t start = m_stringStarts[index];
    return QString(reinterpret_cast<const QChar *>(m_strings.data() + start),
                   qsizetype(m_stringStarts[index + 1] - start));
}

} // namespace masters::tables::xls
