#pragma once

#include "masters/tables/xls/XlsCodePage.h"
#include "masters/tables/xls/XlsRecords.h"
#include "masters/tables/xls/XlsStream.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// What the workbook globals of an .xls file (Excel 5 to 2003) say about its sheets' cells: the
// worksheets and where their records begin, the date system, which cell formats show dates, the
// code page of Excel 5 and 95 text, and the shared strings of Excel 97 and later, kept compactly.
// Chart, macro, dialog and module sheets are no tables and are left out.
namespace masters::tables::xls {

struct XlsSheet {
    QString name;
    // The stream position of the sheet's BOF record.
    std::uint32_t offset = 0;
};

class XlsWorkbook {
public:
    // The shared strings are refused past this many bytes of text and index, as the .xlsx reader
    // refuses them, so a hostile table cannot grow the reader without end.
    static constexpr size_t MaxSharedStringBytes = 128u << 20;

    // Reads the workbook globals. False with the import's message when the file cannot be read:
    // no workbook of Excel 5 to 2003, encrypted, or damaged.
    bool open(const QString &path, QString &error);

    XlsStream &stream() { return m_stream; }
    bool biff8() const { return m_biff8; }
    const CodePage &codePage() const { return m_codePage; }
    const std::vector<XlsSheet> &sheets() const { return m_sheets; }
    bool dates1904() const { return m_dates1904; }
    bool isDateXf(int xf) const
    {
        return xf >= 0 && size_t(xf) < m_xfIsDate.size() && m_xfIsDate[size_t(xf)];
    }
    size_t sharedStringCount() const { return m_stringStarts.empty() ? 0 : m_stringStarts.size() - 1; }
    QString sharedString(size_t index) const;

    // "Excelファイル「book.xls」を読み込めません。(detail)"
    QString readError(const QString &detail) const;

private:
    void readGlobals();
    void readSharedStrings(RecordReader &reader);
    XlsSheet readSheetEntry(const RecordReader &reader) const;
    // Whether the records at offset begin a worksheet (not a dialog sheet, which a BOUNDSHEET
    // record lists as one). A sheet whose records cannot be found counts as one, so that reading it
    // tells the operator why.
    bool isWorksheet(std::uint32_t offset);

    QString m_path;
    XlsStream m_stream;
    bool m_biff8 = false;
    CodePage m_codePage;
    std::vector<XlsSheet> m_sheets;
    bool m_dates1904 = false;
    std::vector<bool> m_xfIsDate;
    std::u16string m_strings;                  // one after the other
    std::vector<std::uint32_t> m_stringStarts; // each string's start, then the end of the last
};

} // namespace masters::tables::xls
