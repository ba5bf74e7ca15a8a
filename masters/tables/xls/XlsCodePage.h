#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>

// The text of an Excel 5 or 95 workbook, written in the code page its CODEPAGE record names (932
// for a Japanese Excel, 1252 for a Western one): decoded with glibc's iconv, code page 932 by the
// project's own converter as everywhere else.
namespace masters::tables::xls {

class CodePage {
public:
    CodePage();
    ~CodePage();
    CodePage(const CodePage &) = delete;
    CodePage &operator=(const CodePage &) = delete;

    // The CODEPAGE record's number; false when the code page is none iconv knows. A workbook
    // without the record is in code page 1252.
    bool select(int number);
    int number() const { return m_number; }
    // A byte that starts no valid sequence decodes to U+FFFD.
    QString decode(QByteArrayView bytes) const;

private:
    struct Converter;
    int m_number = 1252;
    std::unique_ptr<Converter> m_converter;
};

} // namespace masters::tables::xls
