#include "masters/tables/xls/XlsCodePage.h"

#include "platform/Cp932.h"

#include <QSysInfo>

#include <cerrno>
#include <iconv.h>

namespace masters::tables::xls {

struct CodePage::Converter {
    iconv_t handle = iconv_t(-1);
    ~Converter()
    {
        if (handle != iconv_t(-1))
            iconv_close(handle);
    }
};

CodePage::CodePage()
{
    select(1252);
}

CodePage::~CodePage() = default;

namespace {

QByteArray iconvName(int number)
{
    switch (number) {
    case 367:   // US-ASCII, which code page 1252 holds
    case 1200:  // UTF-16: names a BIFF8 workbook, whose text carries its own width
    case 32769: // Windows Western, as Excel 97 writes it
        return "CP1252";
    case 10000:
    case 32768:
        return "MACINTOSH";
    default:
        return "CP" + QByteArray::number(number);
    }
}

} // namespace

bool CodePage::select(int number)
{
    if (number == 932) {
        m_number = number;
        m_converter.reset();
        return true;
    }
    auto converter = std::make_unique<Converter>();
    converter->handle = iconv_open(QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE",
                                   iconvName(number).constData());
    if (converter->handle == iconv_t(-1))
        return false;
    m_number = number;
    m_converter = std::move(converter);
    return true;
}

QString CodePage::decode(QByteArrayView bytes) const
{
    if (!m_converter)
        return platform::cp932::decode(bytes);
    iconv(m_converter->handle, nullptr, nullptr, nullptr, nullptr);
    QString text;
    // No code page of a workbook gives more than two UTF-16 units for a byte.
    text.resize(bytes.size() * 2);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    while (inLeft > 0) {
        if (iconv(m_converter->handle, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG || outLeft < 2)
            break;
        // An invalid or cut-short sequence: one replacement character for its first byte.
        *reinterpret_cast<char16_t *>(out) = u'\uFFFD';
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    text.resize(qsizetype(reinterpret_cast<QChar *>(out) - text.data()));
    return text;
}

} // namespace masters::tables::xls
