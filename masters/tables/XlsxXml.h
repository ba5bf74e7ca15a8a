#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A pull reader of the XML parts of a workbook, fed in pieces: it holds one tag or one run of text
// at a time, never the part. Elements and attributes are seen by their local names (writers may
// put the main namespace under a prefix). What a workbook part never holds is refused rather than
// guessed at: a document type declaration, an unknown entity, a character reference to no
// character. Errors are thrown as std::runtime_error with a detail text.
namespace masters::tables {

class XmlPullReader {
public:
    // Fills up to size bytes and returns their count, 0 at the end of the part.
    using Source = std::function<size_t(char *data, size_t size)>;
    enum class Token { Start, End, Text, Done };

    explicit XmlPullReader(Source source);

    // The next start tag, end tag or (while keepText is on) run of text. A tag written "<a/>"
    // comes as a Start and an End. The part ends (Done) with its root element.
    Token next();
    // Whether runs of text are decoded and handed over; off, they are skipped unread.
    void keepText(bool keep) { m_keepText = keep; }

    std::string_view name() const { return m_name; }
    const std::string &text() const { return m_text; }
    // An attribute of the current start tag by its local name: one without a prefix, or with one
    // when prefixed is true ("r:id"). Empty when absent.
    std::string_view attribute(std::string_view name, bool prefixed = false) const;
    bool hasAttribute(std::string_view name) const;
    // How deep the current element is; the root is 1.
    size_t depth() const { return m_open.size(); }

private:
    struct Attribute {
        std::string name;
        bool prefixed;
        std::string value;
    };

    int peek();
    int get();
    int getRequired();
    bool refill();
    void skipPast(std::string_view end);
    void skipSpaces();
    std::string readName();
    void readStartTag();
    void readEndTag();
    void readText();
    void readCharacterData();
    void appendReference(std::string &to);
    [[noreturn]] void fail(const char *what) const;

    Source m_source;
    std::vector<char> m_buffer;
    size_t m_at = 0;
    size_t m_size = 0;
    bool m_ended = false;
    unsigned long long m_offset = 0;

    bool m_keepText = false;
    bool m_pendingEnd = false;
    bool m_rootSeen = false;
    std::vector<std::string> m_open;
    std::string m_name;
    std::string m_text;
    std::vector<Attribute> m_attributes;
    size_t m_attributeCount = 0;
};

} // namespace masters::tables
