#include "comm/YmRxFileType.h"

namespace comm {

TFileType rxFileType(const QString &ext, bool csvReceive)
{
    struct Row {
        const char16_t *ext;
        TFileType type;
    };
    static constexpr Row rows[] = {
        {u".PD3", TFileType::PD3},    {u".PD4", TFileType::PD4},    {u".FN3", TFileType::FN3EX3},
        {u".FN4", TFileType::FN3EX3}, {u".EX3", TFileType::FN3EX3}, {u".LCS", TFileType::LCS},
        {u".BMP", TFileType::BMP},    {u".JPG", TFileType::JPG},    {u".WAV", TFileType::WAV},
        {u".ZIP", TFileType::ZIP},    {u".FLD", TFileType::FLD},    {u".CSV", TFileType::CSV},
    };
    for (const Row &row : rows) {
        if (ext == QStringView(row.ext))
            return row.type;
    }
    return csvReceive && ext != u".BNF" ? TFileType::CSV : TFileType::DATA;
}

bool isRecordData(TFileType type)
{
    return type == TFileType::DATA || type == TFileType::CSV;
}

bool isBinary(TFileType type)
{
    switch (type) {
    case TFileType::PD3:
    case TFileType::PD4:
    case TFileType::FN3EX3:
    case TFileType::LCS:
    case TFileType::BMP:
    case TFileType::JPG:
    case TFileType::WAV:
    case TFileType::ZIP:
        return true;
    default:
        return false;
    }
}

} // namespace comm
