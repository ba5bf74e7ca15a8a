#include "comm/YmTxFileType.h"

#include "comm/YmRxFileType.h"

namespace comm {

TxFileClass txFileClass(const QString &ext)
{
    struct Row {
        const char16_t *ext;
        TFileType type;
        const char16_t *label;
    };
    static constexpr Row rows[] = {
        {u".PD4", TFileType::PD4, u" ﾌﾟﾛｸﾞﾗﾑ送信"},    {u".PD3", TFileType::PD3, u" ﾌﾟﾛｸﾞﾗﾑ送信"},
        {u".FN3", TFileType::FN3EX3, u" ﾌﾟﾛｸﾞﾗﾑ送信"}, {u".FN4", TFileType::FN3EX3, u" ﾌﾟﾛｸﾞﾗﾑ送信"},
        {u".EX3", TFileType::FN3EX3, u" ﾌﾟﾛｸﾞﾗﾑ送信"}, {u".LCS", TFileType::LCS, u" LCSﾌｧｲﾙ送信"},
        {u".BMP", TFileType::BMP, u" BMPﾌｧｲﾙ送信"},    {u".JPG", TFileType::JPG, u" JPGﾌｧｲﾙ送信"},
        {u".WAV", TFileType::WAV, u" WAVﾌｧｲﾙ送信"},    {u".ZIP", TFileType::ZIP, u" ZIPﾌｧｲﾙ送信"},
        {u".CSV", TFileType::CSV, u" ﾃﾞｰﾀ送信"},
    };
    for (const Row &row : rows) {
        if (ext == QStringView(row.ext))
            return {row.type, QString::fromUtf16(row.label)};
    }
    return {TFileType::DATA, QStringLiteral(" ﾃﾞｰﾀ送信")};
}

bool sendsAsBinary(const QString &ext)
{
    return isBinary(txFileClass(ext).type);
}

} // namespace comm
