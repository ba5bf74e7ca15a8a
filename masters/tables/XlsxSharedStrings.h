#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QFile;

// The shared strings of a workbook, kept compactly so the reader stays small whatever the workbook
// holds: the texts one after the other in memory up to a bound, past it in a temporary file of the
// user's private folder; only their starts stay in memory.
namespace masters::tables {

class XlsxSharedStrings {
public:
    // The text of all strings, so a hostile table cannot fill the disk either. A million distinct
    // texts of 40 bytes take a third of it.
    static constexpr std::uint64_t MaxBytes = 128u << 20;
    static constexpr size_t MaxInMemory = 16u << 20;
    // The strings (their starts, four bytes each, stay in memory).
    static constexpr size_t MaxCount = 4u << 20;

    XlsxSharedStrings();
    ~XlsxSharedStrings();
    XlsxSharedStrings(const XlsxSharedStrings &) = delete;
    XlsxSharedStrings &operator=(const XlsxSharedStrings &) = delete;

    void clear();
    // Adds the next string. Throws std::runtime_error with the import's text past a bound or when
    // the temporary file cannot be written.
    void append(const std::string &text);
    // Whether text more would still be within the bound on all text.
    void checkRoom(size_t more) const;
    size_t count() const { return m_starts.size() - 1; }
    // The string at index (below count()); a read error of the temporary file throws as above.
    QString at(size_t index) const;

private:
    void spill();

    std::string m_memory;
    std::vector<std::uint32_t> m_starts{0}; // each string's start, then the end of the last
    std::unique_ptr<QFile> m_file;          // once the text is past the memory bound
};

} // namespace masters::tables
