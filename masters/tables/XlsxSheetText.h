#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// The text cells of an .xlsx sheet that the streaming import of the library in use drops without a
// word: text written inline in the cell (t="inlineStr", rich-text runs joined, phonetic guides left
// out) and plain text cells without a formula (t="str"). They are read from the sheet's part with
// the library's own archive and XML parsers and kept compactly, in document order, for the import
// to merge into its rows.
namespace masters::tables {

class SheetTexts {
public:
    struct Cell {
        qint64 row;
        int column;
        std::uint32_t offset; // into the text pool, UTF-8
        std::uint32_t size;
    };

    const std::vector<Cell> &cells() const { return m_cells; }
    QString text(const Cell &cell) const
    {
        return QString::fromUtf8(m_text.data() + cell.offset, qsizetype(cell.size));
    }
    void add(qint64 row, int column, const std::string &text);
    void clear();

private:
    std::vector<Cell> m_cells;
    std::string m_text;
};

// The archive entry of the sheet's part, found by the sheet's name through the package's links
// (which may start at the archive's root or be relative to the part that links). False with a text
// when the archive or its links cannot be read or the sheet is not there.
bool findSheetPart(const QString &path, const QString &sheet, std::string &entry, QString &error);

// Reads the dropped text cells of the sheet's part into texts. False with a text when the archive or
// the part cannot be read.
bool readSheetTexts(const QString &path, const std::string &entry, SheetTexts &texts, QString &error);

} // namespace masters::tables
