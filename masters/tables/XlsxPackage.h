#pragma once

#include <QFile>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The archive of an .xlsx workbook, read an entry at a time and streamed: an entry is inflated in
// small pieces as its reader asks for them, so no part is ever held whole, however far it inflates.
namespace masters::tables {

class XlsxPackage {
public:
    struct Entry {
        std::uint64_t headerOffset = 0;
        std::uint64_t compressedSize = 0;
        std::uint64_t size = 0;
        std::uint32_t crc = 0;
        int method = 0;
    };

    // Reads the archive's directory. False with a detail text when the file is no archive this
    // reader can read (a damaged directory, encrypted entries).
    bool open(const QString &path, QString &detail);
    // Part names are matched without regard to the letter case of their ASCII letters.
    bool contains(const std::string &name) const { return entry(name) != nullptr; }
    const Entry *entry(const std::string &name) const;
    const QString &path() const { return m_path; }

private:
    QString m_path;
    qint64 m_fileSize = 0;
    std::map<std::string, Entry> m_entries;
};

// The bytes of one entry, inflated as they are read; its checksum and size are checked at its end.
// Errors are thrown as std::runtime_error with a detail text.
class XlsxEntryStream {
public:
    XlsxEntryStream(const XlsxPackage &package, const std::string &name);
    ~XlsxEntryStream();
    XlsxEntryStream(const XlsxEntryStream &) = delete;
    XlsxEntryStream &operator=(const XlsxEntryStream &) = delete;

    // Up to size bytes into data; 0 at the entry's end.
    size_t read(char *data, size_t size);

private:
    size_t fill();
    void finish();

    QFile m_file;
    XlsxPackage::Entry m_entry;
    std::uint64_t m_compressedLeft = 0;
    std::uint64_t m_produced = 0;
    std::uint32_t m_crc = 0;
    std::vector<char> m_input;
    struct Inflater;
    std::unique_ptr<Inflater> m_inflater;
    bool m_done = false;
};

} // namespace masters::tables
