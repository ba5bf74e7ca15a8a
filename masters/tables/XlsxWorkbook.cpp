#include "masters/tables/XlsxWorkbook.h"

#include "masters/tables/ValueText.h"
#include "masters/tables/XlsxXml.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <exception>
#include <map>
#include <stdexcept>

namespace masters::tables {
namespace {

// A package lists a few dozen links and a workbook at most a few hundred sheets; far more is no
// workbook's, and is not collected without end.
constexpr size_t MaxLinks = 65536;

using Token = XmlPullReader::Token;

// A reader over one archive entry, streamed.
class PartReader {
public:
    PartReader(const XlsxPackage &package, const std::string &entry)
        : m_stream(package, entry),
          m_xml([this](char *data, size_t size) { return m_stream.read(data, size); }, entry)
    {
    }
    XmlPullReader &xml() { return m_xml; }

private:
    XlsxEntryStream m_stream;
    XmlPullReader m_xml;
};

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string folderOf(const std::string &entry)
{
    const size_t slash = entry.rfind('/');
    return slash == std::string::npos ? std::string() : entry.substr(0, slash + 1);
}

std::string linksOf(const std::string &entry)
{
    const size_t slash = entry.rfind('/');
    const std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
    return folderOf(entry) + "_rels/" + name + ".rels";
}

struct Link {
    std::string type, target;
};

// The links of one part by their ids; external ones left out.
std::map<std::string, Link> readLinks(const XlsxPackage &package, const std::string &entry)
{
    std::map<std::string, Link> links;
    PartReader part(package, entry);
    XmlPullReader &xml = part.xml();
    for (Token token = xml.next(); token != Token::Done; token = xml.next()) {
        if (token != Token::Start || !xml.is(XmlSpace::Package, "Relationship") ||
            xml.attribute("TargetMode") == "External")
            continue;
        if (links.size() == MaxLinks)
            throw std::runtime_error(entry + ": too many links");
        links[std::string(xml.attribute("Id"))] = {std::string(xml.attribute("Type")),
                                                   std::string(xml.attribute("Target"))};
    }
    return links;
}

bool isTrue(std::string_view value)
{
    return value == "1" || value == "true";
}

int parseId(std::string_view text)
{
    int value = -1;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    return failure == std::errc() && end == text.data() + text.size() ? value : -1;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// The code unit of an escape at `at` ("_x" then four hex digits then "_"), or -1.
long escapeAt(const std::string &text, size_t at)
{
    if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_')
        return -1;
    long unit = 0;
    for (size_t i = at + 2; i < at + 6; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0)
            return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

void appendUtf8(std::string &to, std::uint32_t c)
{
    if (c < 0x80) {
        to += char(c);
    } else if (c < 0x800) {
        to += char(0xC0 | (c >> 6));
        to += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        to += char(0xE0 | (c >> 12));
        to += char(0x80 | ((c >> 6) & 0x3F));
        to += char(0x80 | (c & 0x3F));
    } else {
        to += char(0xF0 | (c >> 18));
        to += char(0x80 | ((c >> 12) & 0x3F));
        to += char(0x80 | ((c >> 6) & 0x3F));
        to += char(0x80 | (c & 0x3F));
    }
}

} // namespace

void decodeEscapes(std::string &text)
{
    size_t at = text.find("_x");
    if (at == std::string::npos)
        return;
    std::string decoded = text.substr(0, at);
    while (at < text.size()) {
        const long unit = escapeAt(text, at);
        if (unit < 0) {
            decoded += text[at++];
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            const long low = escapeAt(text, at + 7);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(decoded,
                           0x10000 + ((std::uint32_t(unit) - 0xD800) << 10) + (std::uint32_t(low) - 0xDC00));
                at += 14;
                continue;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            decoded.append(text, at, 7);
        } else {
            appendUtf8(decoded, std::uint32_t(unit));
        }
        at += 7;
    }
    text.swap(decoded);
}

std::string resolveTarget(const std::string &fromFolder, std::string_view target)
{
    const bool fromRoot = !target.empty() && target.front() == '/';
    const std::string joined = fromRoot ? std::string(target.substr(1)) : fromFolder + std::string(target);
    std::vector<std::string> steps;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string step = joined.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string entry;
    for (const std::string &step : steps)
        entry += (entry.empty() ? "" : "/") + step;
    return entry;
}

QString XlsxWorkbook::readError(const QString &detail) const
{
    return QStringLiteral("Excelファイル「%1」を読み込めません。(%2)")
        .arg(QFileInfo(m_package.path()).fileName(), detail);
}

bool XlsxWorkbook::open(const QString &path, QString &error)
{
    m_sheets.clear();
    m_cellDataLoaded = false;
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("ファイル「%1」がありません。").arg(path);
        return false;
    }
    QString detail;
    if (!m_package.open(path, detail)) {
        error = readError(detail);
        return false;
    }
    try {
        std::string workbook;
        for (const auto &[id, link] : readLinks(m_package, "_rels/.rels")) {
            if (endsWith(link.type, "/officeDocument"))
                workbook = resolveTarget(std::string(), link.target);
        }
        if (workbook.empty() || !m_package.contains(workbook)) {
            error = readError(QStringLiteral("ブックがありません"));
            return false;
        }
        const std::map<std::string, Link> links = m_package.contains(linksOf(workbook))
                                                      ? readLinks(m_package, linksOf(workbook))
                                                      : std::map<std::string, Link>();
        for (const auto &[id, link] : links) {
            if (endsWith(link.type, "/styles"))
                m_stylesPart = resolveTarget(folderOf(workbook), link.target);
            else if (endsWith(link.type, "/sharedStrings"))
                m_stringsPart = resolveTarget(folderOf(workbook), link.target);
        }
        PartReader part(m_package, workbook);
        XmlPullReader &xml = part.xml();
        for (Token token = xml.next(); token != Token::Done; token = xml.next()) {
            if (token != Token::Start)
                continue;
            if (xml.is(XmlSpace::Spreadsheet, "workbookPr")) {
                m_dates1904 = isTrue(xml.attribute("date1904"));
            } else if (xml.is(XmlSpace::Spreadsheet, "sheet")) {
                if (m_sheets.size() == MaxLinks)
                    throw std::runtime_error("too many sheets");
                const std::string_view name = xml.attribute("name");
                XlsxSheet sheet;
                sheet.name = QString::fromUtf8(name.data(), qsizetype(name.size()));
                const auto link = links.find(std::string(xml.attribute("id", XmlSpace::Relationships)));
                if (link != links.end()) {
                    sheet.part = resolveTarget(folderOf(workbook), link->second.target);
                    sheet.worksheet = endsWith(link->second.type, "/worksheet");
                    // Chart, macro and dialog sheets hold no table. A sheet without its link is
                    // listed, so the damage shows when it is read.
                    if (!sheet.worksheet)
                        continue;
                }
                m_sheets.push_back(sheet);
            }
        }
    } catch (const std::exception &e) {
        m_sheets.clear();
        error = readError(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool XlsxWorkbook::loadCellData(QString &error)
{
    if (m_cellDataLoaded)
        return true;
    try {
        m_xfIsDate.clear();
        m_strings.clear();
        if (!m_stylesPart.empty() && m_package.contains(m_stylesPart))
            readStyles(m_stylesPart);
        if (!m_stringsPart.empty() && m_package.contains(m_stringsPart))
            readSharedStrings(m_stringsPart);
    } catch (const std::exception &e) {
        m_xfIsDate.clear();
        m_strings.clear();
        error = readError(QString::fromUtf8(e.what()));
        return false;
    }
    m_cellDataLoaded = true;
    return true;
}

// Only the number formats of the cell formats matter here: they tell dates from numbers.
void XlsxWorkbook::readStyles(const std::string &entry)
{
    std::map<int, bool> customIsDate; // by format number; a workbook holds a few hundred at most
    PartReader part(m_package, entry);
    XmlPullReader &xml = part.xml();
    bool inCellFormats = false;
    for (Token token = xml.next(); token != Token::Done; token = xml.next()) {
        if (token == Token::End) {
            if (xml.is(XmlSpace::Spreadsheet, "cellXfs"))
                inCellFormats = false;
            continue;
        }
        if (token != Token::Start)
            continue;
        if (xml.is(XmlSpace::Spreadsheet, "cellXfs")) {
            inCellFormats = true;
        } else if (xml.is(XmlSpace::Spreadsheet, "numFmt") && xml.depth() == 3) {
            const int id = parseId(xml.attribute("numFmtId"));
            const std::string_view code = xml.attribute("formatCode");
            if (id >= 0 && id < 0x10000)
                customIsDate[id] = isDateFormat(id, QString::fromUtf8(code.data(), qsizetype(code.size())));
        } else if (xml.is(XmlSpace::Spreadsheet, "xf") && inCellFormats && xml.depth() == 3) {
            const int id = parseId(xml.attribute("numFmtId"));
            const auto custom = customIsDate.find(id);
            m_xfIsDate.push_back(custom != customIsDate.end() ? custom->second : isDateFormat(id, QString()));
        }
    }
}

void XlsxWorkbook::readSharedStrings(const std::string &entry)
{
    PartReader part(m_package, entry);
    XmlPullReader &xml = part.xml();
    int phonetic = 0;
    bool inItem = false;
    std::string item; // one item's text: escapes are decoded once it is whole
    const auto checkRoom = [this, &item](size_t more) {
        m_strings.checkRoom(item.size() + more);
        if (item.size() + more > XlsxSharedStrings::MaxInMemory)
            throw std::runtime_error("共有文字列の1項目が" +
                                     std::to_string(XlsxSharedStrings::MaxInMemory >> 20) +
                                     "MBを超えています");
    };
    for (Token token = xml.next(); token != Token::Done; token = xml.next()) {
        const std::string_view name = xml.space() == XmlSpace::Spreadsheet ? xml.name() : std::string_view();
        if (token == Token::Text) {
            checkRoom(xml.text().size());
            item += xml.text();
        } else if (token == Token::Start) {
            if (name == "si") {
                inItem = true;
                item.clear();
            } else if (name == "rPh")
                ++phonetic;
            // A phonetic guide is no part of the text.
            xml.keepText(inItem && phonetic == 0 && name == "t");
        } else if (token == Token::End) {
            xml.keepText(false);
            if (name == "rPh") {
                phonetic = std::max(0, phonetic - 1);
            } else if (name == "si") {
                inItem = false;
                decodeEscapes(item);
                m_strings.append(item);
            }
        }
    }
}

QString XlsxWorkbook::sharedString(size_t index) const
{
    return m_strings.at(index);
}

} // namespace masters::tables
