#include "masters/tables/XlsxXml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

using masters::tables::XmlPullReader;

namespace {

// The part handed over in pieces of at most `piece` bytes, as an archive entry is inflated.
XmlPullReader::Source inPieces(const std::string &part, size_t piece)
{
    auto at = std::make_shared<size_t>(0);
    return [part, piece, at](char *data, size_t size) {
        const size_t n = std::min({piece, size, part.size() - *at});
        std::memcpy(data, part.data() + *at, n);
        *at += n;
        return n;
    };
}

// The tags and texts of the part as one line, or the reader's error.
std::string readAll(const std::string &part, size_t piece)
{
    XmlPullReader xml(inPieces(part, piece));
    xml.keepText(true);
    std::string seen;
    try {
        for (XmlPullReader::Token token = xml.next(); token != XmlPullReader::Token::Done;
             token = xml.next()) {
            if (token == XmlPullReader::Token::Start)
                seen += "<" + std::string(xml.name()) +
                        (xml.hasAttribute("v") ? " v=" + std::string(xml.attribute("v")) : "") + ">";
            else if (token == XmlPullReader::Token::End)
                seen += "</" + std::string(xml.name()) + ">";
            else
                seen += xml.text();
        }
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return seen;
}

// A part cut off inside a tag, and character references that name no character or are no number,
// in text and in attribute values: each is refused at the same byte however the part arrives.
TEST(XmlPullReader, RefusesAPartEndingInATagAndReferencesToNoCharacter)
{
    const struct {
        const char *part;
        const char *read;
    } cases[] = {
        {"<WWWWWW", "XML: the part ends inside a tag at byte 7"},
        {"<row r=\"1\"><c r=\"A1", "XML: the part ends inside a tag at byte 19"},
        {"<a><b>x</b>", "XML: the part ends inside an element at byte 11"},
        {"<t>&#x-0BB7;野家</t>", "XML: malformed character reference at byte 12"},
        {"<t>&#x110000;</t>", "XML: character reference to no character at byte 13"},
        // Past any character long before a 32-bit count could wrap round; a reference longer than any
        // character's is refused before it is counted.
        {"<t>&#xFFFFFFFF;</t>", "XML: character reference to no character at byte 15"},
        {"<t>&#4294967361;</t>", "XML: malformed entity reference at byte 15"},
        {"<t>&#xD800;</t>", "XML: character reference to no character at byte 11"},
        {"<t>&#0;</t>", "XML: character reference to no character at byte 7"},
        {"<t>&#x;</t>", "XML: malformed character reference at byte 7"},
        {"<t>&#x41", "XML: the part ends inside a tag at byte 8"},
        {"<c v=\"&#x110000;\"/>", "XML: character reference to no character at byte 16"},
        {"<t>&nbsp;</t>", "XML: unknown entity at byte 9"},
        // What a workbook writes comes through decoded.
        {"<t>&#x10FFFF;&#65;&#x6a;&amp;&lt;&gt;&quot;&apos;</t>", "<t>\xF4\x8F\xBF\xBF"
                                                                  "Aj&<>\"'</t>"},
        {"<c v=\"&#x3042;&amp;\"><t>x</t></c>", "<c v=\xE3\x81\x82&><t>x</t></c>"},
    };
    for (const auto &c : cases) {
        for (const size_t piece : {size_t(1), size_t(3), size_t(1) << 20}) {
            SCOPED_TRACE(std::string(c.part) + " in pieces of " + std::to_string(piece));
            EXPECT_EQ(readAll(c.part, piece), c.read);
        }
    }
}

} // namespace
