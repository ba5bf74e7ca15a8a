#include "YmThread.h"

#include "comm/YmFld.h"
#include "platform/Cp932.h"

#include <vector>

int TYmThread::SetFields(const QByteArray &list)
{
    std::vector<int> widths;
    const int recordSize = comm::parseSendFieldList(list, widths);
    iNFields = static_cast<int>(widths.size());
    int start = 0;
    for (int i = 0; i < iNFields; ++i) {
        Field[static_cast<size_t>(i)] = TFieldEntry{start, widths[static_cast<size_t>(i)]};
        start += widths[static_cast<size_t>(i)];
    }
    return recordSize;
}

QByteArray TYmThread::GetFldItem(const QByteArray &key)
{
    return comm::takeFldItem(sBuf, key);
}

void TYmThread::ForgetLayout()
{
    ChkFName.clear();
    FieldsDat.clear();
    ChkSize = 0;
    iRecords = 0;
    iNFields = 0;
    iRecSize = 0;
    iRecSize0 = 0;
}

int TYmThread::ChkFldFile()
{
    comm::FldLayout layout;
    const bool valid = comm::checkFldText(sBuf, layout);
    sBuf.clear();
    if (!valid) {
        // Nothing of a refused text may let the data file after it in.
        ForgetLayout();
        return 0;
    }
    ChkFName = platform::cp932::decode(layout.file);
    ChkSize = layout.size;
    iRecords = layout.records;
    FieldsDat = layout.fields;
    iNFields = static_cast<int>(layout.widths.size());
    int start = 0;
    for (int i = 0; i < iNFields; ++i) {
        Field[static_cast<size_t>(i)] = TFieldEntry{start, layout.widths[static_cast<size_t>(i)]};
        start += layout.widths[static_cast<size_t>(i)];
    }
    iRecSize = layout.recordSize;
    iRecSize0 = layout.wireSize;
    return 1;
}
