#include "masters/tables/XlsxXml.h"

#include <cstring>
#include <stdexcept>

namespace masters::tables {
namespace {

// Bounds on what one tag or run of text may hold: far above what any workbook writes, and what
// keeps a hostile part from growing the reader without end.
constexpr size_t MaxName = 256;
constexpr size_t MaxAttributes = 512;
constexpr size_t MaxAttributeValue = 64 * 1024;
constexpr size_t MaxText = 4 * 1024 * 1024;
constexpr size_t MaxDepth = 256;
constexpr size_t BufferSize = 256 * 1024;

bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool endsName(int c)
{
    return c < 0 || isSpace(c) || c == '/' || c == '>' || c == '=' || c == '<' || c == '"' || c == '\'';
}

std::string_view localName(std::string_view qualified)
{
    const size_t colon = qualified.rfind(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
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

XmlPullReader::XmlPullReader(Source source) : m_source(std::move(source)), m_buffer(BufferSize) {}

void XmlPullReader::fail(const char *what) const
{
    throw std::runtime_error(std::string("XML: ") + what + " at byte " + std::to_string(m_offset + m_at));
}

bool XmlPullReader::refill()
{
    if (m_ended)
        return false;
    m_offset += m_size;
    m_at = 0;
    m_size = m_source(m_buffer.data(), m_buffer.size());
    if (m_size == 0) {
        m_ended = true;
        return false;
    }
    return true;
}

int XmlPullReader::peek()
{
    if (m_at == m_size && !refill())
        return -1;
    return std::uint8_t(m_buffer[m_at]);
}

int XmlPullReader::get()
{
    const int c = peek();
    if (c >= 0)
        ++m_at;
    return c;
}

int XmlPullReader::getRequired()
{
    const int c = get();
    if (c < 0)
        fail("the part ends inside a tag");
    return c;
}

void XmlPullReader::skipSpaces()
{
    while (isSpace(peek()))
        ++m_at;
}

// Up to and past the end marker of a comment or processing instruction.
void XmlPullReader::skipPast(std::string_view end)
{
    std::string window;
    while (window.size() < end.size() || window.compare(window.size() - end.size(), end.size(), end) != 0) {
        window += char(getRequired());
        if (window.size() > end.size())
            window.erase(0, 1);
    }
}

std::string XmlPullReader::readName()
{
    std::string name;
    while (!endsName(peek())) {
        name += char(get());
        if (name.size() > MaxName)
            fail("name too long");
    }
    if (name.empty())
        fail("name expected");
    return name;
}

void XmlPullReader::appendReference(std::string &to)
{
    std::string name;
    for (int c = getRequired(); c != ';'; c = getRequired()) {
        name += char(c);
        if (name.size() > 10)
            fail("malformed entity reference");
    }
    if (name == "amp")
        to += '&';
    else if (name == "lt")
        to += '<';
    else if (name == "gt")
        to += '>';
    else if (name == "quot")
        to += '"';
    else if (name == "apos")
        to += '\'';
    else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        size_t i = hex ? 2 : 1;
        if (i == name.size())
            fail("malformed character reference");
        std::uint32_t value = 0;
        for (; i < name.size(); ++i) {
            const char c = name[i];
            const int digit = c >= '0' && c <= '9'                            ? c - '0'
                              : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                                              : -1;
            if (digit < 0)
                fail("malformed character reference");
            value = value * (hex ? 16 : 10) + std::uint32_t(digit);
            if (value > 0x10FFFF)
                fail("character reference to no character");
        }
        if (value == 0 || (value >= 0xD800 && value <= 0xDFFF))
            fail("character reference to no character");
        appendUtf8(to, value);
    } else {
        fail("unknown entity");
    }
}

void XmlPullReader::readStartTag()
{
    const std::string qualified = readName();
    m_attributeCount = 0;
    for (;;) {
        const bool spaced = isSpace(peek());
        skipSpaces();
        const int c = peek();
        if (c < 0)
            fail("the part ends inside a tag");
        if (c == '>') {
            ++m_at;
            break;
        }
        if (c == '/') {
            ++m_at;
            if (getRequired() != '>')
                fail("'>' expected");
            m_pendingEnd = true;
            break;
        }
        if (!spaced)
            fail("space expected between attributes");
        if (m_attributeCount == MaxAttributes)
            fail("too many attributes");
        if (m_attributes.size() == m_attributeCount)
            m_attributes.emplace_back();
        Attribute &attribute = m_attributes[m_attributeCount++];
        const std::string name = readName();
        attribute.prefixed = name.find(':') != std::string::npos;
        attribute.name = localName(name);
        skipSpaces();
        if (getRequired() != '=')
            fail("'=' expected");
        skipSpaces();
        const int quote = getRequired();
        if (quote != '"' && quote != '\'')
            fail("quoted value expected");
        attribute.value.clear();
        for (int v = getRequired(); v != quote; v = getRequired()) {
            if (v == '<')
                fail("'<' in an attribute value");
            if (v == '&')
                appendReference(attribute.value);
            else
                attribute.value += char(v);
            if (attribute.value.size() > MaxAttributeValue)
                fail("attribute value too long");
        }
    }
    if (m_open.size() == MaxDepth)
        fail("elements nested too deep");
    m_open.push_back(qualified);
    m_name = localName(qualified);
    m_rootSeen = true;
}

void XmlPullReader::readEndTag()
{
    const std::string qualified = readName();
    skipSpaces();
    if (getRequired() != '>')
        fail("'>' expected");
    if (m_open.empty() || m_open.back() != qualified)
        fail("end tag does not match");
    m_name = localName(qualified);
    m_open.pop_back();
}

void XmlPullReader::readText()
{
    m_text.clear();
    for (int c = peek(); c >= 0 && c != '<'; c = peek()) {
        if (c == '&') {
            ++m_at;
            appendReference(m_text);
        } else {
            // The bytes up to the next markup at once.
            const char *from = m_buffer.data() + m_at;
            size_t n = 0;
            while (m_at + n < m_size && from[n] != '<' && from[n] != '&')
                ++n;
            m_text.append(from, n);
            m_at += n;
        }
        if (m_text.size() > MaxText)
            fail("text too long");
    }
}

void XmlPullReader::readCharacterData()
{
    for (const char c : std::string_view("CDATA[")) {
        if (getRequired() != c)
            fail("malformed declaration");
    }
    m_text.clear();
    while (m_text.size() < 3 || m_text.compare(m_text.size() - 3, 3, "]]>") != 0) {
        m_text += char(getRequired());
        if (m_text.size() > MaxText)
            fail("text too long");
    }
    m_text.resize(m_text.size() - 3);
}

XmlPullReader::Token XmlPullReader::next()
{
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_open.pop_back();
        return Token::End;
    }
    if (m_offset == 0 && m_at == 0 && peek() == 0xEF) {
        for (const int byte : {0xEF, 0xBB, 0xBF}) {
            if (get() != byte)
                fail("malformed byte order mark");
        }
    }
    for (;;) {
        if (m_rootSeen && m_open.empty())
            return Token::Done;
        const int c = peek();
        if (c < 0) {
            if (!m_open.empty())
                fail("the part ends inside an element");
            fail("no root element");
        }
        if (c == '<') {
            ++m_at;
            const int d = peek();
            if (d == '?') {
                skipPast("?>");
                continue;
            }
            if (d == '!') {
                ++m_at;
                const int e = getRequired();
                if (e == '-') {
                    if (getRequired() != '-')
                        fail("malformed comment");
                    skipPast("-->");
                    continue;
                }
                if (e == '[' && !m_open.empty()) {
                    readCharacterData();
                    if (m_keepText && !m_text.empty())
                        return Token::Text;
                    continue;
                }
                fail("document type declarations are not read");
            }
            if (d == '/') {
                ++m_at;
                readEndTag();
                return Token::End;
            }
            readStartTag();
            return Token::Start;
        }
        if (m_open.empty()) {
            if (!isSpace(c))
                fail("text outside the root element");
            ++m_at;
            continue;
        }
        if (m_keepText) {
            readText();
            if (!m_text.empty())
                return Token::Text;
            continue;
        }
        // Skipped text: straight to the next markup.
        const void *found = std::memchr(m_buffer.data() + m_at, '<', m_size - m_at);
        m_at = found ? size_t(static_cast<const char *>(found) - m_buffer.data()) : m_size;
    }
}

std::string_view XmlPullReader::attribute(std::string_view name, bool prefixed) const
{
    for (size_t i = 0; i < m_attributeCount; ++i) {
        if (m_attributes[i].prefixed == prefixed && m_attributes[i].name == name)
            return m_attributes[i].value;
    }
    return {};
}

bool XmlPullReader::hasAttribute(std::string_view name) const
{
    for (size_t i = 0; i < m_attributeCount; ++i) {
        if (!m_attributes[i].prefixed && m_attributes[i].name == name)
            return true;
    }
    return false;
}

} // namespace masters::tables
