#include "masters/tables/XlsxXml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

using masters::tables::XmlPullReader;
using masters::tables::XmlSpace;

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

const char *spaceMark(XmlSpace space)
{
    switch (space) {
    case XmlSpace::None:
        return "";
    case XmlSpace::Spreadsheet:
        return "S:";
    case XmlSpace::Relationships:
        return "R:";
    case XmlSpace::Package:
        return "P:";
    case XmlSpace::Other:
        break;
    }
    return "?:";
}

// The tags and texts of the part as one line (names marked by their namespace, the attribute "v"
// of no namespace and "id" of the relationships shown), or the reader's error.
std::string readAll(const std::string &part, size_t piece)
{
    XmlPullReader xml(inPieces(part, piece), "xl/part.xml");
    xml.keepText(true);
    std::string seen;
    try {
        for (XmlPullReader::Token token = xml.next(); token != XmlPullReader::Token::Done;
             token = xml.next()) {
            if (token == XmlPullReader::Token::Start)
                seen += "<" + std::string(spaceMark(xml.space())) + std::string(xml.name()) +
                        (xml.hasAttribute("v") ? " v=" + std::string(xml.attribute("v")) : "") +
                        (xml.hasAttribute("id", XmlSpace::Relationships)
                             ? " r:id=" + std::string(xml.attribute("id", XmlSpace::Relationships))
                             : "") +
                        ">";
            else if (token == XmlPullReader::Token::End)
                seen += "</" + std::string(spaceMark(xml.space())) + std::string(xml.name()) + ">";
            else
                seen += xml.text();
        }
    } catch (const std::runtime_error &e) {
        return e.what();
    }
    return seen;
}

const std::string Main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const std::string Strict = "http://purl.oclc.org/ooxml/spreadsheetml/main";

std::string utf16(const std::string &ascii, bool bigEndian)
{
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

struct Case {
    std::string part;
    std::string read;
};

// What XML says a part holds, however the part arrives: line ends as LF, references and CDATA
// decoded, comments and instructions no part of the text, names by their namespace (transitional
// and strict alike), UTF-16 and declared encodings decoded to UTF-8, an attribute of any length.
TEST(XmlPullReader, ReadsWhatXmlSaysThePartHolds)
{
    const std::string longRange = [] {
        std::string ranges;
        while (ranges.size() < 90 * 1024)
            ranges += "A1:B2 ";
        return ranges;
    }();
    const Case cases[] = {
        {"<t>a\r\nb\rc\n\r\nd</t>", "<t>a\nb\nc\n\nd</t>"},
        {"<t>a&#13;&#10;b</t>", "<t>a\r\nb</t>"},
        {"<c v=\"x\r\ny\"/>", "<c v=x y></c>"},
        {"<t>&#x10FFFF;&#65;&#x6a;&amp;&lt;&gt;&quot;&apos;</t>", "<t>\xF4\x8F\xBF\xBF"
                                                                  "Aj&<>\"'</t>"},
        {"<c v=\"&#x3042;&amp;\"><t>x</t></c>", "<c v=\xE3\x81\x82&><t>x</t></c>"},
        {"<t>a<!-- <x> -->b<?pi <y>?>c<![CDATA[<z>&amp;]]></t>", "<t>abc<z>&amp;</t>"},
        {"<?xml version=\"1.0\"?><!-- before --><a/><!-- after --><?pi?>\n", "<a></a>"},
        {"<x:sst xmlns:x=\"" + Main + "\"><x:si><t xmlns=\"urn:other\">no</t><x:t>yes</x:t></x:si></x:sst>",
         "<S:sst><S:si><?:t>no</?:t><S:t>yes</S:t></S:si></S:sst>"},
        {"<sheet xmlns=\"" + Strict +
             "\" xmlns:r=\"http://purl.oclc.org/ooxml/officeDocument/relationships\" r:id=\"rId1\" v=\"1\"/>",
         "<S:sheet v=1 r:id=rId1></S:sheet>"},
        {"<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>",
         "<P:Relationships></P:Relationships>"},
        {utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><t>a\r\nb</t>", false), "<t>a\nb</t>"},
        {utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><t>a\r\nb</t>", true), "<t>a\nb</t>"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><t>caf\xE9</t>", "<t>caf\xC3\xA9</t>"},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><t>\x80 5</t>", "<t>\xE2\x82\xAC 5</t>"},
        {"<c v=\"" + longRange + "\"/>", "<c v=" + longRange + "></c>"},
    };
    for (const Case &c : cases) {
        for (const size_t piece : {size_t(1), size_t(3), size_t(1) << 20}) {
            SCOPED_TRACE(c.part.substr(0, 80) + " in pieces of " + std::to_string(piece));
            EXPECT_EQ(readAll(c.part, piece), c.read);
        }
    }
}

// What a workbook part never holds is refused, the part named: bytes that are not the part's
// encoding (never read as U+FFFD), a document type declaration (so no entity is ever expanded or
// loaded), references to no character, a part cut short, a tag past the parser's memory.
TEST(XmlPullReader, RefusesWhatNoWorkbookPartHolds)
{
    const Case cases[] = {
        {"<t>caf\xE9</t>", "xl/part.xml: XML: not well-formed (invalid token) at byte 6"},
        {"<t>\xED\xA0\x80</t>", "xl/part.xml: XML: not well-formed (invalid token) at byte 3"},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><t>\x81</t>",
         "xl/part.xml: XML: not well-formed (invalid token) at byte 48"},
        {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><t/>",
         "xl/part.xml: XML: unknown encoding at byte 30"},
        {"<!DOCTYPE t [<!ENTITY a \"aaaa\">]><t>&a;</t>",
         "xl/part.xml: XML: document type declarations are not read at byte 12"},
        {"<!DOCTYPE t SYSTEM \"file:///etc/passwd\"><t>&x;</t>",
         "xl/part.xml: XML: document type declarations are not read at byte 39"},
        {"<t>&nbsp;</t>", "xl/part.xml: XML: undefined entity at byte 3"},
        {"<t>&#x110000;</t>", "xl/part.xml: XML: reference to invalid character number at byte 3"},
        {"<t>&#xD800;</t>", "xl/part.xml: XML: reference to invalid character number at byte 3"},
        {"<t>&#0;</t>", "xl/part.xml: XML: reference to invalid character number at byte 3"},
        {"<row r=\"1\"><c r=\"A1", "xl/part.xml: XML: unclosed token at byte 11"},
        {"<a><b>x</b>", "xl/part.xml: XML: no element found at byte 11"},
        {"<a/>junk", "xl/part.xml: XML: junk after document element at byte 4"},
        {"<c v=\"" + std::string(20u << 20, 'A') + "\"/>",
         "xl/part.xml: XML: the part needs more memory than 16 MiB (a tag or comment too long) at byte 0"},
        {[] {
             std::string open;
             for (int i = 0; i < 300; ++i)
                 open += "<a>";
             return open;
         }(),
         "xl/part.xml: XML: elements nested too deep at byte 771"},
    };
    for (const Case &c : cases) {
        for (const size_t piece : {size_t(7), size_t(1) << 20}) {
            if (piece < 1000 && c.part.size() > 1000)
                continue; // long enough to cross pieces anyway
            SCOPED_TRACE(c.part.substr(0, 60) + " in pieces of " + std::to_string(piece));
            const std::string read = readAll(c.part, piece);
            EXPECT_EQ(read.substr(0, read.find(" at byte ")), c.read.substr(0, c.read.find(" at byte ")));
            if (piece > 1000) {
                EXPECT_EQ(read, c.read);
            }
        }
    }
}

double secondsToRead(const std::string &part)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        XmlPullReader xml(inPieces(part, 64 * 1024), "xl/part.xml");
        while (xml.next() != XmlPullReader::Token::Done) {
        }
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Comments and instructions are skipped as fast as text that is not asked for, so a large one
// costs no more than its bytes.
TEST(XmlPullReader, SkipsCommentsAndInstructionsAtTheSpeedOfText)
{
    const std::string filler(2000, 'x');
    std::string text = "<a>", comments = "<a>", instructions = "<a>";
    for (int i = 0; i < 4000; ++i) {
        text += "<b>" + filler + "</b>";
        comments += "<b><!--" + filler + "--></b>";
        instructions += "<b><?pi " + filler + "?></b>";
    }
    text += "</a>";
    comments += "</a>";
    instructions += "</a>";
    const double textSeconds = secondsToRead(text);
    EXPECT_LT(secondsToRead(comments), 3 * textSeconds + 0.02);
    EXPECT_LT(secondsToRead(instructions), 3 * textSeconds + 0.02);
}

} // namespace
