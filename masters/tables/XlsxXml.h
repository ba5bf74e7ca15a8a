#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A pull reader of the XML parts of a workbook over expat, fed in pieces: it hands over one tag or
// one run of text at a time, never the part. The parser does what XML asks (line ends read as LF,
// UTF-16 and declared encodings decoded, names by namespace, comments and instructions skipped
// unread); what a workbook part never holds is refused rather than guessed at: a document type
// declaration (so no entity beyond the five of XML and character references, and none loaded from
// anywhere), bytes that are not the part's encoding, a part that needs more of the parser's memory
// than MaxParserMemory. Errors are thrown as std::runtime_error with a detail text naming the part.
namespace masters::tables {

// The namespaces the workbook code asks for, each in its transitional and its strict form.
enum class XmlSpace {
    None,          // no namespace
    Spreadsheet,   // the workbook's main namespace
    Relationships, // the links' ids in the main parts ("r:id")
    Package,       // the package's link parts
    Other,
};

class XmlPullReader {
public:
    // Fills up to size bytes and returns their count, 0 at the end of the part.
    using Source = std::function<size_t(char *data, size_t size)>;
    enum class Token { Start, End, Text, Done };

    // What the parser may allocate for one part: its input buffer (so one tag, comment or
    // instruction, whatever its attributes hold), its names and open elements. Far above any
    // workbook's tag (a conditional format's range list runs to a few hundred KB).
    static constexpr size_t MaxParserMemory = 16u << 20;
    // One run of text handed over; a cell holds at most 32,767 characters.
    static constexpr size_t MaxText = 4u << 20;

    // part names the archive entry in error texts.
    XmlPullReader(Source source, std::string part);
    ~XmlPullReader();
    XmlPullReader(const XmlPullReader &) = delete;
    XmlPullReader &operator=(const XmlPullReader &) = delete;

    // The next start tag, end tag or (while keepText is on) run of text. A tag written "<a/>"
    // comes as a Start and an End. Done comes once the whole part is read, past its root element,
    // so the archive checks every byte of it.
    Token next();
    // Whether runs of text are decoded and handed over; off, they are skipped unread.
    void keepText(bool keep);

    // The current element: its local name and namespace.
    std::string_view name() const { return m_name; }
    XmlSpace space() const { return m_space; }
    bool is(XmlSpace space, std::string_view name) const { return m_space == space && m_name == name; }
    const std::string &text() const { return m_text; }
    // An attribute of the current start tag by its namespace and local name ("r" of no namespace,
    // "id" of the relationships). Empty when absent.
    std::string_view attribute(std::string_view name, XmlSpace space = XmlSpace::None) const;
    bool hasAttribute(std::string_view name, XmlSpace space = XmlSpace::None) const;
    // How deep the current element is; the root is 1. At an End, the depth of its parent.
    size_t depth() const { return m_depth; }

    struct Parser;

private:
    struct Attribute {
        XmlSpace space = XmlSpace::None;
        std::string name;
        std::string value;
    };
    struct Tag {
        XmlSpace space = XmlSpace::None;
        std::string name;
    };
    friend struct Parser;

    void onStart(const char *name, const char **attributes);
    void onEnd(const char *name);
    void onText(const char *data, int size);
    void setTag(Tag &tag, std::string_view expanded);
    [[noreturn]] void fail(const std::string &what) const;
    void stop(const std::string &why);

    Source m_source;
    std::string m_part;
    std::unique_ptr<Parser> m_parser;
    bool m_suspended = false;
    bool m_finished = false;
    bool m_keepText = false;

    // What the handlers left for next() to hand over, in this order.
    bool m_textReady = false;
    bool m_startReady = false;
    bool m_endReady = false;
    bool m_clearText = false;
    Tag m_start;
    Tag m_end;
    std::string m_stopReason;

    size_t m_depth = 0;
    size_t m_openDepth = 0;
    XmlSpace m_space = XmlSpace::None;
    std::string m_name;
    std::string m_text;
    std::vector<Attribute> m_attributes;
    size_t m_attributeCount = 0;
};

} // namespace masters::tables
