#pragma once

#include "masters/tables/XlsxPackage.h"
#include "masters/tables/XlsxSharedStrings.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// What an .xlsx workbook says about its sheets' cells: the sheets and their parts (found through
// the package's links, which may start at the archive's root or be relative to the part that
// links), the date system, which cell formats show dates, and the shared strings. Read part by
// part with the streaming XML reader; only the shared strings are kept, compactly.
namespace masters::tables {

struct XlsxSheet {
    QString name;
    // The archive entry of the sheet's part; empty when its link is missing.
    std::string part;
    // The link is a worksheet's (not a chart sheet's or any other part's).
    bool worksheet = false;
};

class XlsxWorkbook {
public:
    // Reads the sheets and the date system. False with the import's message when the file cannot
    // be read.
    bool open(const QString &path, QString &error);
    // Reads the cell formats and the shared strings, once. False with the import's message.
    bool loadCellData(QString &error);

    const XlsxPackage &package() const { return m_package; }
    const std::vector<XlsxSheet> &sheets() const { return m_sheets; }
    bool dates1904() const { return m_dates1904; }
    bool isDateXf(int xf) const
    {
        return xf >= 0 && size_t(xf) < m_xfIsDate.size() && m_xfIsDate[size_t(xf)];
    }
    size_t sharedStringCount() const { return m_strings.count(); }
    // Throws std::runtime_error when the strings' temporary file cannot be read.
    QString sharedString(size_t index) const;

    // "Excelファイル「book.xlsx」を読み込めません。(detail)"
    QString readError(const QString &detail) const;

private:
    void readStyles(const std::string &part);
    void readSharedStrings(const std::string &part);

    XlsxPackage m_package;
    std::vector<XlsxSheet> m_sheets;
    std::string m_stylesPart;
    std::string m_stringsPart;
    bool m_dates1904 = false;
    bool m_cellDataLoaded = false;
    std::vector<bool> m_xfIsDate;
    XlsxSharedStrings m_strings;
};

// A link's target as an archive entry: from the root when it starts with '/', else from the folder
// of the part that links; "." and ".." steps resolved.
std::string resolveTarget(const std::string &fromFolder, std::string_view target);

// A text of the package as it reads: each "_xHHHH_" is the UTF-16 code unit HHHH (a pair of them
// one character), so "_x005F_" is an underscore and "_x005F_x000A_" the text "_x000A_". An escape
// of half a pair stays as it is written.
void decodeEscapes(std::string &text);

} // namespace masters::tables
