#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// The workbook stream of an .xls file, taken from its compound document by libgsf and read in
// chunks, so only a chunk of it is in memory at any time whatever its size.
namespace masters::tables::xls {

class XlsStream {
public:
    XlsStream();
    ~XlsStream();
    XlsStream(const XlsStream &) = delete;
    XlsStream &operator=(const XlsStream &) = delete;

    // Opens the file's "Workbook" (or, from Excel 5 and 95, "Book") stream. False with the reason
    // in the operator's words: no compound document, a workbook of Excel 4 or older, an encrypted
    // package, a damaged container.
    bool open(const QString &path, QString &detail);

    std::uint64_t size() const { return m_size; }
    std::uint64_t position() const { return m_position; }
    // False past the end.
    bool seek(std::uint64_t position);
    // Up to size bytes; fewer only at the end of the stream (or when the container is damaged).
    size_t read(std::uint8_t *data, size_t size);
    // The next bytes without taking them; fewer than size only at the end.
    size_t peek(std::uint8_t *data, size_t size);

private:
    bool fill(size_t wanted);

    struct Handles;
    std::unique_ptr<Handles> m_handles;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0; // of the next byte handed out
    std::vector<std::uint8_t> m_buffer;
    size_t m_start = 0; // the buffer's bytes not yet handed out are [m_start, m_buffer.size())
    bool m_seeked = false;
};

} // namespace masters::tables::xls
