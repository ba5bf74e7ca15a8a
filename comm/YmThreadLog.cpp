#include "YmThread.h"

#include "comm/YmLogLine.h"

void TYmThread::WriteLog(int code)
{
    if (!LogFlag || !FlogOpen)
        return;
    comm::LogEntry entry;
    entry.time = Clk.localNow();
    entry.bhtName = BhtFName;
    entry.recordData = FileType == TFileType::DATA || FileType == TFileType::CSV;
    entry.records = iRecords;
    entry.size = fSize;
    entry.sending = TxFlag;
    entry.code = code;
    const QByteArray line = comm::logLine(entry);
    if (Flog.write(line) != line.size() || !Flog.flush()) {
        // A log that cannot be written must not stop the transfer; it is given up, not retried
        // with every line.
        Flog.close();
        FlogOpen = false;
    }
}
