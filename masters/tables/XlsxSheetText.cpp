#include "masters/tables/XlsxSheetText.h"

#include <QFile>
#include <QFileInfo>

#include <orcus/sax_parser.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <exception>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace masters::tables {

void SheetTexts::add(qint64 row, int column, const std::string &text)
{
    if (m_text.size() + text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("sheet text too large");
    m_cells.push_back({row, column, std::uint32_t(m_text.size()), std::uint32_t(text.size())});
    m_text += text;
}

void SheetTexts::clear()
{
    m_cells.clear();
    m_text.clear();
    m_cells.shrink_to_fit();
    m_text.shrink_to_fit();
}

namespace {

// Handlers see elements by their local names: writers may put the main namespace under a prefix.
class SaxHandler {
public:
    void doctype(const orcus::sax::doctype_declaration &) {}
    void start_declaration(std::string_view) {}
    void end_declaration(std::string_view) {}
    void characters(std::string_view, bool) {}
    void attribute(const orcus::sax::parser_attribute &) {}
};

// The library's decoder of character references stops the program on a malformed one ("&#x-1;"):
// such a part is refused before it is parsed.
void checkCharacterReferences(const std::vector<unsigned char> &data)
{
    const std::string_view text(reinterpret_cast<const char *>(data.data()), data.size());
    for (size_t at = text.find("&#"); at != std::string_view::npos; at = text.find("&#", at + 2)) {
        size_t i = at + 2;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex)
            ++i;
        const size_t digits = i;
        std::uint32_t value = 0;
        for (; i < text.size() && text[i] != ';'; ++i) {
            const char c = text[i];
            const int digit = c >= '0' && c <= '9'          ? c - '0'
                              : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                            : -1;
            if (digit < 0 || value > 0x10FFFF)
                throw std::runtime_error("malformed character reference");
            value = value * (hex ? 16 : 10) + std::uint32_t(digit);
        }
        if (i == digits || i >= text.size() || value > 0x10FFFF)
            throw std::runtime_error("malformed character reference");
    }
}

// The parser looks at the byte after the last one when a part ends inside a tag: a NUL there makes
// such a part malformed instead of a read past the buffer.
template <typename Handler> void parseXml(std::vector<unsigned char> &data, Handler &handler)
{
    checkCharacterReferences(data);
    const size_t size = data.size();
    data.push_back(0);
    orcus::sax_parser<Handler> parser(reinterpret_cast<const char *>(data.data()), size, handler);
    parser.parse();
}

class Package {
public:
    explicit Package(const QString &path)
        : m_stream(QFile::encodeName(path).constData()), m_archive(&m_stream)
    {
        m_archive.load();
    }
    bool read(const std::string &entry, std::vector<unsigned char> &data) const
    {
        return m_archive.read_file_entry(entry, data);
    }

private:
    orcus::zip_archive_stream_fd m_stream;
    orcus::zip_archive m_archive;
};

std::string folderOf(const std::string &entry)
{
    const size_t slash = entry.rfind('/');
    return slash == std::string::npos ? std::string() : entry.substr(0, slash + 1);
}

// A link's target as an archive entry: from the root when it starts with '/', else from the folder
// of the part that links; "." and ".." steps resolved.
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

std::string relationshipsOf(const std::string &entry)
{
    const size_t slash = entry.rfind('/');
    const std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
    return folderOf(entry) + "_rels/" + name + ".rels";
}

// The relationships of one part: Id to Target, with the type of each.
class RelationshipsHandler : public SaxHandler {
public:
    struct Link {
        std::string id, type, target;
        bool external = false;
    };
    std::vector<Link> links;

    void attribute(const orcus::sax::parser_attribute &attr)
    {
        if (attr.name == "Id")
            m_link.id = attr.value;
        else if (attr.name == "Type")
            m_link.type = attr.value;
        else if (attr.name == "Target")
            m_link.target = attr.value;
        else if (attr.name == "TargetMode")
            m_link.external = attr.value == "External";
    }
    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "Relationship" && !m_link.external)
            links.push_back(m_link);
        m_link = Link();
    }
    void end_element(const orcus::sax::parser_element &) {}

private:
    Link m_link;
};

// The sheets of the workbook part: name and relationship id.
class WorkbookHandler : public SaxHandler {
public:
    std::vector<std::pair<std::string, std::string>> sheets;

    void attribute(const orcus::sax::parser_attribute &attr)
    {
        if (attr.name == "name" && attr.ns.empty())
            m_name = attr.value;
        else if (attr.name == "id" && !attr.ns.empty())
            m_id = attr.value;
    }
    void start_element(const orcus::sax::parser_element &elem)
    {
        if (elem.name == "sheet")
            sheets.emplace_back(m_name, m_id);
        m_name.clear();
        m_id.clear();
    }
    void end_element(const orcus::sax::parser_element &) {}

private:
    std::string m_name, m_id;
};

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The bounds of a sheet.
constexpr qint64 MaxRows = 1048576;
constexpr int MaxColumns = 16384;

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

// Collects the text cells the library drops. Cells without a reference follow the one before them,
// rows without a number the row before, as the format allows.
class SheetTextHandler : public SaxHandler {
public:
    explicit SheetTextHandler(SheetTexts &texts) : m_texts(texts) {}

    void attribute(const orcus::sax::parser_attribute &attr)
    {
        if (!attr.ns.empty())
            return;
        if (attr.name == "r")
            m_reference = attr.value;
        else if (attr.name == "t")
            m_type = attr.value;
    }
    void start_element(const orcus::sax::parser_element &elem)
    {
        const std::string_view name = elem.name;
        if (name == "row") {
            qint64 number = 0;
            bool ok = !m_reference.empty();
            for (const char ch : m_reference) {
                ok = ok && ch >= '0' && ch <= '9';
                if (!ok)
                    break;
                number = number * 10 + (ch - '0');
                // Past the sheet's last row: no row number (and no overflow on a long one).
                ok = number <= MaxRows;
            }
            m_row = ok && number > 0 ? number - 1 : m_row + 1;
            m_column = -1;
        } else if (name == "c") {
            qint64 row = 0;
            int column = 0;
            if (parseCellReference(m_reference, row, column)) {
                m_row = row;
                m_column = column;
            } else {
                ++m_column;
            }
            m_kind = m_type == "inlineStr" ? Inline : m_type == "str" ? Plain : Other;
            m_hasFormula = false;
            m_text.clear();
        } else if (m_kind != Other) {
            if (name == "f")
                m_hasFormula = true;
            else if (name == "is")
                m_inString = true;
            else if (name == "rPh")
                ++m_phonetic;
            else if (name == "t" || name == "v")
                m_collect = m_kind == Inline ? name == "t" && m_inString && m_phonetic == 0 : name == "v";
        }
        m_reference.clear();
        m_type.clear();
    }
    void end_element(const orcus::sax::parser_element &elem)
    {
        const std::string_view name = elem.name;
        if (name == "c") {
            if (m_kind == Inline || (m_kind == Plain && !m_hasFormula)) {
                if (!m_text.empty() && m_row >= 0 && m_row < MaxRows && m_column >= 0 &&
                    m_column < MaxColumns)
                    m_texts.add(m_row, m_column, m_text);
            }
            m_kind = Other;
            m_inString = false;
            m_phonetic = 0;
            m_collect = false;
        } else if (name == "is") {
            m_inString = false;
        } else if (name == "rPh") {
            m_phonetic = std::max(0, m_phonetic - 1);
        } else if (name == "t" || name == "v") {
            m_collect = false;
        }
    }
    void characters(std::string_view text, bool)
    {
        if (m_collect)
            m_text.append(text);
    }

private:
    enum Kind { Other, Inline, Plain };
    SheetTexts &m_texts;
    std::string m_reference, m_type, m_text;
    qint64 m_row = -1;
    int m_column = -1;
    Kind m_kind = Other;
    bool m_hasFormula = false, m_inString = false, m_collect = false;
    int m_phonetic = 0;
};

// Only parts that hold such cells at all are parsed: most workbooks have none, and a search for
// the end of the type names ("inlineStr", "str") costs a fraction of a parse.
bool mayHoldDroppedText(const std::vector<unsigned char> &data)
{
    const std::string_view text(reinterpret_cast<const char *>(data.data()), data.size());
    for (const std::string_view end : {"Str\"", "str\"", "Str'", "str'"}) {
        if (text.find(end) != std::string_view::npos)
            return true;
    }
    return false;
}

QString readError(const QString &path, const QString &detail)
{
    return QStringLiteral("Excelファイル「%1」を読み込めません。(%2)")
        .arg(QFileInfo(path).fileName(), detail);
}

} // namespace

bool findSheetPart(const QString &path, const QString &sheet, std::string &entry, QString &error)
{
    try {
        const Package package(path);
        std::vector<unsigned char> data;
        RelationshipsHandler root;
        if (!package.read("_rels/.rels", data)) {
            error = readError(path, QStringLiteral("_rels/.rels"));
            return false;
        }
        parseXml(data, root);
        std::string workbook;
        for (const auto &link : root.links) {
            if (endsWith(link.type, "/officeDocument"))
                workbook = resolveTarget(std::string(), link.target);
        }
        WorkbookHandler sheets;
        RelationshipsHandler links;
        const std::string workbookLinks = relationshipsOf(workbook);
        if (workbook.empty() || !package.read(workbook, data)) {
            error = readError(path, QString::fromStdString(workbook));
            return false;
        }
        parseXml(data, sheets);
        if (!package.read(workbookLinks, data)) {
            error = readError(path, QString::fromStdString(workbookLinks));
            return false;
        }
        parseXml(data, links);
        const std::string wanted = sheet.toStdString();
        for (const auto &[name, id] : sheets.sheets) {
            if (name != wanted)
                continue;
            for (const auto &link : links.links) {
                if (link.id == id) {
                    entry = resolveTarget(folderOf(workbook), link.target);
                    return true;
                }
            }
        }
        error = QStringLiteral("シート「%1」がありません。").arg(sheet);
        return false;
    } catch (const std::exception &e) {
        error = readError(path, QString::fromUtf8(e.what()));
        return false;
    }
}

bool readSheetTexts(const QString &path, const std::string &entry, SheetTexts &texts, QString &error)
{
    texts.clear();
    try {
        std::vector<unsigned char> data;
        {
            const Package package(path);
            if (!package.read(entry, data)) {
                error = readError(path, QString::fromStdString(entry));
                return false;
            }
        }
        if (!mayHoldDroppedText(data))
            return true;
        SheetTextHandler handler(texts);
        parseXml(data, handler);
        return true;
    } catch (const std::exception &e) {
        texts.clear();
        error = readError(path, QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace masters::tables
