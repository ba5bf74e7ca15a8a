#include "masters/tables/XlsxXml.h"

#include <expat.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace masters::tables {
namespace {

// Between a namespace and a local name in the names expat hands over; no XML text holds it.
constexpr char NamespaceSeparator = '\x01';
constexpr XML_Char Separator[] = {NamespaceSeparator, 0};
// Elements of a workbook part nest a handful deep; far deeper is no workbook's.
constexpr size_t MaxDepth = 256;
// How much of the part is asked for at a time.
constexpr int PieceSize = 64 * 1024;

// What one parser has allocated, against its bound. Expat's allocation functions take no context,
// so each allocation carries its budget in front of it; new allocations go to the budget of the
// reader that is calling into expat.
struct Budget {
    size_t used = 0;
    size_t limit = 0;
};
thread_local Budget *callingBudget = nullptr;

struct alignas(std::max_align_t) Header {
    size_t size;
    Budget *budget;
};

void *budgetMalloc(size_t size)
{
    Budget *budget = callingBudget;
    if (!budget || size > budget->limit - budget->used)
        return nullptr;
    auto *header = static_cast<Header *>(std::malloc(sizeof(Header) + size));
    if (!header)
        return nullptr;
    header->size = size;
    header->budget = budget;
    budget->used += size;
    return header + 1;
}

void budgetFree(void *data)
{
    if (!data)
        return;
    Header *header = static_cast<Header *>(data) - 1;
    header->budget->used -= header->size;
    std::free(header);
}

void *budgetRealloc(void *data, size_t size)
{
    if (!data)
        return budgetMalloc(size);
    Header *header = static_cast<Header *>(data) - 1;
    Budget *budget = header->budget;
    if (size > header->size && size - header->size > budget->limit - budget->used)
        return nullptr;
    const size_t old = header->size;
    auto *grown = static_cast<Header *>(std::realloc(header, sizeof(Header) + size));
    if (!grown)
        return nullptr;
    budget->used = budget->used - old + size;
    grown->size = size;
    return grown + 1;
}

const XML_Memory_Handling_Suite BudgetSuite{budgetMalloc, budgetRealloc, budgetFree};

// Sets the budget new allocations go to while the reader calls into expat.
class Calling {
public:
    explicit Calling(Budget &budget) : m_old(callingBudget) { callingBudget = &budget; }
    ~Calling() { callingBudget = m_old; }
    Calling(const Calling &) = delete;
    Calling &operator=(const Calling &) = delete;

private:
    Budget *m_old;
};

XmlSpace spaceOf(std::string_view uri)
{
    if (uri == "http://schemas.openxmlformats.org/spreadsheetml/2006/main" ||
        uri == "http://purl.oclc.org/ooxml/spreadsheetml/main")
        return XmlSpace::Spreadsheet;
    if (uri == "http://schemas.openxmlformats.org/officeDocument/2006/relationships" ||
        uri == "http://purl.oclc.org/ooxml/officeDocument/relationships")
        return XmlSpace::Relationships;
    if (uri == "http://schemas.openxmlformats.org/package/2006/relationships")
        return XmlSpace::Package;
    return XmlSpace::Other;
}

void splitName(std::string_view expanded, XmlSpace &space, std::string &name)
{
    const size_t separator = expanded.find(NamespaceSeparator);
    if (separator == std::string_view::npos) {
        space = XmlSpace::None;
        name.assign(expanded);
    } else {
        space = spaceOf(expanded.substr(0, separator));
        name.assign(expanded.substr(separator + 1));
    }
}

// An encoding expat does not know itself (it knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII): read
// when it is one byte a character and iconv knows it; a byte it does not map is no character.
int XMLCALL singleByteEncoding(void *, const XML_Char *name, XML_Encoding *info)
{
    iconv_t convert = iconv_open("UTF-32LE", name);
    if (convert == iconv_t(-1))
        return XML_STATUS_ERROR;
    bool singleByte = true;
    for (int byte = 0; byte < 256 && singleByte; ++byte) {
        char in = char(byte);
        std::uint8_t out[8] = {};
        char *from = &in;
        char *to = reinterpret_cast<char *>(out);
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        iconv(convert, nullptr, nullptr, nullptr, nullptr);
        const size_t result = iconv(convert, &from, &inLeft, &to, &outLeft);
        if (result == size_t(-1) && errno == EINVAL) {
            singleByte = false; // a lead byte of a longer character
        } else if (result == size_t(-1) || sizeof out - outLeft != 4) {
            info->map[byte] = -1;
        } else {
            info->map[byte] = int(out[0] | out[1] << 8 | out[2] << 16 | std::uint32_t(out[3]) << 24);
        }
    }
    iconv_close(convert);
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return singleByte ? XML_STATUS_OK : XML_STATUS_ERROR;
}

} // namespace

struct XmlPullReader::Parser {
    Budget budget;
    XML_Parser parser = nullptr;
    ~Parser()
    {
        if (parser) {
            Calling calling(budget);
            XML_ParserFree(parser);
        }
    }

    static void XMLCALL start(void *reader, const XML_Char *name, const XML_Char **attributes)
    {
        static_cast<XmlPullReader *>(reader)->onStart(name, attributes);
    }
    static void XMLCALL end(void *reader, const XML_Char *name)
    {
        static_cast<XmlPullReader *>(reader)->onEnd(name);
    }
    static void XMLCALL text(void *reader, const XML_Char *data, int size)
    {
        static_cast<XmlPullReader *>(reader)->onText(data, size);
    }
    static void XMLCALL doctype(void *reader, const XML_Char *, const XML_Char *, const XML_Char *, int)
    {
        static_cast<XmlPullReader *>(reader)->stop("document type declarations are not read");
    }
};

XmlPullReader::XmlPullReader(Source source, std::string part)
    : m_source(std::move(source)), m_part(std::move(part)), m_parser(std::make_unique<Parser>())
{
    m_parser->budget.limit = MaxParserMemory;
    Calling calling(m_parser->budget);
    m_parser->parser = XML_ParserCreate_MM(nullptr, &BudgetSuite, Separator);
    if (!m_parser->parser)
        throw std::runtime_error(m_part + ": XML: out of memory");
    XML_Parser parser = m_parser->parser;
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, Parser::start, Parser::end);
    XML_SetStartDoctypeDeclHandler(parser, Parser::doctype);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUnknownEncodingHandler(parser, singleByteEncoding, nullptr);
}

XmlPullReader::~XmlPullReader() = default;

void XmlPullReader::fail(const std::string &what) const
{
    throw std::runtime_error(m_part + ": XML: " + what + " at byte " +
                             std::to_string(XML_GetCurrentByteIndex(m_parser->parser)));
}

// Ends the parse from a handler, with the reason given in the error.
void XmlPullReader::stop(const std::string &why)
{
    if (m_stopReason.empty())
        m_stopReason = why;
    XML_StopParser(m_parser->parser, XML_FALSE);
}

void XmlPullReader::keepText(bool keep)
{
    if (keep == m_keepText)
        return;
    m_keepText = keep;
    m_text.clear();
    m_textReady = false;
    m_clearText = false;
    XML_SetCharacterDataHandler(m_parser->parser, keep ? Parser::text : nullptr);
}

void XmlPullReader::setTag(Tag &tag, std::string_view expanded)
{
    splitName(expanded, tag.space, tag.name);
}

void XmlPullReader::onStart(const char *name, const char **attributes)
{
    if (m_openDepth == MaxDepth) {
        stop("elements nested too deep");
        return;
    }
    ++m_openDepth;
    setTag(m_start, name);
    m_attributeCount = 0;
    for (const char **at = attributes; *at; at += 2) {
        if (m_attributes.size() == m_attributeCount)
            m_attributes.emplace_back();
        Attribute &attribute = m_attributes[m_attributeCount++];
        splitName(at[0], attribute.space, attribute.name);
        attribute.value.assign(at[1]);
    }
    m_startReady = true;
    XML_StopParser(m_parser->parser, XML_TRUE);
}

void XmlPullReader::onEnd(const char *name)
{
    if (!m_stopReason.empty())
        return;
    --m_openDepth;
    setTag(m_end, name);
    m_endReady = true;
    // Already suspended after the start of an empty element: expat still reports its end.
    XML_StopParser(m_parser->parser, XML_TRUE);
}

void XmlPullReader::onText(const char *data, int size)
{
    if (m_clearText) {
        m_text.clear();
        m_clearText = false;
    }
    m_text.append(data, size_t(size));
    m_textReady = true;
    if (m_text.size() > MaxText)
        stop("text too long");
}

XmlPullReader::Token XmlPullReader::next()
{
    for (;;) {
        if (m_textReady && !m_text.empty()) {
            m_textReady = false;
            m_clearText = true;
            return Token::Text;
        }
        m_textReady = false;
        if (m_startReady) {
            m_startReady = false;
            m_space = m_start.space;
            m_name.swap(m_start.name);
            ++m_depth;
            return Token::Start;
        }
        if (m_endReady) {
            m_endReady = false;
            m_space = m_end.space;
            m_name.swap(m_end.name);
            --m_depth;
            return Token::End;
        }
        if (m_finished)
            return Token::Done;

        XML_Parser parser = m_parser->parser;
        Calling calling(m_parser->budget);
        XML_Status status;
        if (m_suspended) {
            status = XML_ResumeParser(parser);
        } else {
            void *buffer = XML_GetBuffer(parser, PieceSize);
            if (!buffer)
                fail("the part needs more memory than " + std::to_string(MaxParserMemory >> 20) +
                     " MiB (a tag or comment too long)");
            const size_t size = m_source(static_cast<char *>(buffer), PieceSize);
            status = XML_ParseBuffer(parser, int(size), size == 0);
        }
        if (status == XML_STATUS_SUSPENDED) {
            m_suspended = true;
            continue;
        }
        m_suspended = false;
        if (status == XML_STATUS_ERROR) {
            if (!m_stopReason.empty())
                fail(m_stopReason);
            const XML_Error code = XML_GetErrorCode(parser);
            if (code == XML_ERROR_NO_MEMORY)
                fail("the part needs more memory than " + std::to_string(MaxParserMemory >> 20) +
                     " MiB (a tag or comment too long)");
            fail(XML_ErrorString(code));
        }
        XML_ParsingStatus parsing;
        XML_GetParsingStatus(parser, &parsing);
        m_finished = parsing.finalBuffer;
    }
}

std::string_view XmlPullReader::attribute(std::string_view name, XmlSpace space) const
{
    for (size_t i = 0; i < m_attributeCount; ++i) {
        if (m_attributes[i].space == space && m_attributes[i].name == name)
            return m_attributes[i].value;
    }
    return {};
}

bool XmlPullReader::hasAttribute(std::string_view name, XmlSpace space) const
{
    for (size_t i = 0; i < m_attributeCount; ++i) {
        if (m_attributes[i].space == space && m_attributes[i].name == name)
            return true;
    }
    return false;
}

} // namespace masters::tables
