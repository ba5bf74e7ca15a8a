// The receiving side of TYmThread: one pass of the state machine, its time-outs, the checks of the
// header and data frames, and the storing of each received file.

#include "comm/YmFrames.h"
#include "comm/YmRxBlock.h"
#include "comm/YmRxFileType.h"
#include "comm/YmRxHeader.h"
#include "comm/YmRxRecords.h"
#include "comm/YmRxStore.h"
#include "comm/YmThread.h"

#include <cstring>

namespace {

// Results of ChkHeader.
constexpr int HeaderBad = 0;
constexpr int HeaderAccepted = 1;
constexpr int HeaderNull = 2;
constexpr int HeaderNoTempFile = 3;
constexpr int HeaderFieldMismatch = 4; // record data whose size is not the one its FLD text gave

// Results of ChkDatBlock.
constexpr int BlockBad = 0;
constexpr int BlockStored = 1;
constexpr int BlockRepeated = 2;
constexpr int BlockWriteFailed = 3;

constexpr int MaxBadFrames = 9; // the tenth bad frame in a row ends the transfer
constexpr int MaxTimeOuts = 10; // so does the tenth time-out
constexpr quint32 FrameMs = 500;
constexpr quint32 AnswerMs = 3000;

bool isFrameStart(char byte)
{
    return byte == comm::SOH || byte == comm::STX;
}

bool isEot(char byte)
{
    return byte == comm::EOT || byte == comm::EOT_ALT;
}

bool inHeaderFrame(TYmComStat state)
{
    return state >= TYmComStat::S01 && state <= TYmComStat::S06;
}

bool inDataFrame(TYmComStat state)
{
    return state >= TYmComStat::S10 && state <= TYmComStat::S15;
}

} // namespace

// The receiver's steps that the state table names only by their effect.
struct YmRxSupport {
    static void headerDone(TYmThread &t, int result);
    static void blockDone(TYmThread &t, int result);
    static void refuseFrame(TYmThread &t, TYmComStat retryState);
    static void refuseFieldDefinition(TYmThread &t);
    static void storeFile(TYmThread &t);
    static void eotAgain(TYmThread &t);
    static bool storeRecordData(TYmThread &t, const QString &name, QString *error);
    static bool openTemp(QFile &file, const QString &path, bool &isOpen);
};

void TYmThread::RxProc()
{
    if (EndProg)
        return;
    const int count = ComRead();
    if (count == 0) {
        RxTimeOut();
        return;
    }
    const char *bytes = RxBuf.data();
    int i = 0;
    while (i < count) {
        const char byte = bytes[i];
        switch (YmComStat) {
        case TYmComStat::S00:
        case TYmComStat::S01:
        case TYmComStat::S07:
        case TYmComStat::S10:
        case TYmComStat::S16: {
            const bool forHeader = YmComStat == TYmComStat::S00 || YmComStat == TYmComStat::S01;
            if (isFrameStart(byte)) {
                // In S16 this is the last frame again (the terminal missed our ACK): it is read as
                // a frame, so its data bytes are never taken for an EOT.
                iBlockSize = byte == comm::SOH ? comm::ShortData : comm::LongData;
                tw = TickNow();
                Tmr = FrameMs;
                if (YmComStat == TYmComStat::S00)
                    C1 = 0;
                YmComStat = forHeader ? TYmComStat::S02 : TYmComStat::S11;
            } else if (byte == comm::CAN) {
                ErrorNo = 2;
                WriteLog(2);
                BatchEnd();
                return;
            } else if (YmComStat == TYmComStat::S16 && isEot(byte)) {
                YmRxSupport::storeFile(*this);
                return;
            } else if (YmComStat == TYmComStat::S00 && InBatch && isEot(byte)) {
                YmRxSupport::eotAgain(*this);
                return;
            } else if (!forHeader && YmComStat != TYmComStat::S16 && byte == comm::EOT) {
                // The file ended before the bytes its header announced: it is dropped, and the
                // transfer fails rather than end as if all had come.
                StopWith(16);
                BatchEnd();
                return;
            }
            ++i;
            break;
        }
        case TYmComStat::S02:
        case TYmComStat::S11:
            if (YmComStat == TYmComStat::S11 && FileDataComplete() &&
                static_cast<quint8>(byte) != static_cast<quint8>(ChkBlk[0] - 1)) {
                // After the last frame only that frame may come again: this lead byte was stray
                // (the tail of a frame given up, say), and the byte after it may be the EOT.
                YmComStat = TYmComStat::S16;
                break;
            }
            Blk[0] = static_cast<quint8>(byte);
            if (YmComStat == TYmComStat::S02) {
                DspStopBtn();
                YmComStat = TYmComStat::S03;
            } else {
                YmComStat = TYmComStat::S12;
            }
            ++i;
            break;
        case TYmComStat::S03:
        case TYmComStat::S12:
            Blk[1] = static_cast<quint8>(byte);
            iRxN = 0;
            YmComStat = YmComStat == TYmComStat::S03 ? TYmComStat::S04 : TYmComStat::S13;
            ++i;
            break;
        case TYmComStat::S04:
        case TYmComStat::S13: {
            const int take = qMin(count - i, iBlockSize - iRxN);
            std::memcpy(pBuf.data() + iRxN, bytes + i, static_cast<size_t>(take));
            iRxN += take;
            i += take;
            if (iRxN == iBlockSize)
                YmComStat = YmComStat == TYmComStat::S04 ? TYmComStat::S05 : TYmComStat::S14;
            break;
        }
        case TYmComStat::S05:
        case TYmComStat::S14:
            pCRC16[0] = static_cast<quint8>(byte);
            if (YmComStat == TYmComStat::S05) {
                ChkBlk = {0, 255};
                YmComStat = TYmComStat::S06;
            } else {
                YmComStat = TYmComStat::S15;
            }
            ++i;
            break;
        case TYmComStat::S06:
            pCRC16[1] = static_cast<quint8>(byte);
            YmRxSupport::headerDone(*this, ChkHeader());
            return;
        case TYmComStat::S15:
            pCRC16[1] = static_cast<quint8>(byte);
            YmRxSupport::blockDone(*this, ChkDatBlock());
            return;
        default:
            // The restart and sender states never reach this pass.
            return;
        }
    }
}

void TYmThread::RxTimeOut()
{
    const quint32 now = TickNow();
    if (now < tw)
        tw = 0;
    if (now - tw < Tmr)
        return;
    if (YmComStat == TYmComStat::S00 && (!InBatch || RcvMode != 0)) {
        // No limit here: the terminal is invited until a header comes or the operator stops.
        tw = now;
        ComWriteByte(comm::CRC_C);
        return;
    }
    // Silence in every other state, and before the next header of the one batch received, is
    // counted, and the tenth time-out ends the transfer.
    ++C1;
    if (C1 >= MaxTimeOuts) {
        StopWith(13);
        BatchEnd();
        return;
    }
    if (YmComStat == TYmComStat::S00) {
        ComWriteByte(comm::CRC_C);
    } else if (YmComStat == TYmComStat::S07) {
        ComWriteByte(comm::ACK);
        SleepMs(100);
        ComWriteByte(comm::CRC_C);
    } else {
        ComWriteByte(comm::NAK);
    }
    Tmr = AnswerMs;
    if (inHeaderFrame(YmComStat))
        YmComStat = TYmComStat::S01;
    else if (inDataFrame(YmComStat))
        YmComStat = FileDataComplete() ? TYmComStat::S16 : TYmComStat::S10;
}

int TYmThread::ChkHeader()
{
    CRC16 = static_cast<quint16>((pCRC16[0] << 8) | pCRC16[1]);
    if (Blk[0] != ChkBlk[0] || Blk[1] != ChkBlk[1] || CalcCrc16(pBuf.data(), iBlockSize) != CRC16)
        return HeaderBad;
    const comm::RxHeaderData header = comm::parseHeaderData(QByteArrayView(pBuf.data(), iBlockSize));
    if (header.kind == comm::RxHeaderData::Kind::Null) {
        FileType = TFileType::Null;
        return HeaderNull;
    }
    if (header.kind == comm::RxHeaderData::Kind::BadName)
        return HeaderBad;
    BhtFName = header.name;
    Ext = header.ext;
    DspLabel(comm::receiveLabel(BhtFName, Ext));
    fSize = header.size;
    if (header.kind != comm::RxHeaderData::Kind::File)
        return HeaderBad;

    const TFileType type = comm::rxFileType(Ext, CsvFlg);
    if (comm::isBinary(type)) {
        FieldsDat.clear();
        if (!YmRxSupport::openTemp(Ftmp2, Tmp2File, Ftmp2Open))
            return HeaderNoTempFile;
        FileType = type;
        return HeaderAccepted;
    }
    if (type == TFileType::FLD) {
        FieldsDat.clear();
        iRecords = 0;
        iNFields = 0;
        ChkFName.clear();
        FileType = TFileType::FLD;
        return HeaderAccepted;
    }
    FileType = type;
    if (BhtFName != ChkFName || iNFields <= 0 || iNFields > MaxFields || iRecords <= 0 || iRecSize0 <= 0) {
        ChkFName.clear();
        return HeaderBad;
    }
    // Records are cut by the field definition's count and size: both must describe this file.
    if (fSize != ChkSize)
        return HeaderFieldMismatch;
    if (!YmRxSupport::openTemp(Ftmp1, Tmp1File, Ftmp1Open))
        return HeaderNoTempFile;
    TmpRecordNo = 0;
    return HeaderAccepted;
}

int TYmThread::ChkDatBlock()
{
    switch (comm::checkBlockNumber(Blk[0], Blk[1], ChkBlk[0])) {
    case comm::RxBlockNumber::Previous:
        return BlockRepeated;
    case comm::RxBlockNumber::Bad:
        return BlockBad;
    case comm::RxBlockNumber::Expected:
        break;
    }
    CRC16 = static_cast<quint16>((pCRC16[0] << 8) | pCRC16[1]);
    if (CalcCrc16(pBuf.data(), iBlockSize) != CRC16)
        return BlockBad;

    const QByteArrayView data(pBuf.data(), iBlockSize);
    // The frame filling after the announced size is no part of the file.
    const qint64 fileBytes = qMin<qint64>(iBlockSize, qMax<qint64>(fSize - TmpRcvSize, 0));
    if (comm::isRecordData(FileType)) {
        sBuf += data.first(fileBytes);
        std::array<comm::RxField, MaxFields> fields{};
        for (size_t f = 0; f < static_cast<size_t>(iNFields); ++f)
            fields[f] = comm::RxField{Field[f].Start, Field[f].Width};
        const comm::RxRecordLayout layout{
            std::span<const comm::RxField>(fields.data(), static_cast<size_t>(iNFields)), iRecSize, iRecSize0,
            iRecords};
        const comm::RxRecordFormat format{FileType == TFileType::CSV, LastSpFlg, DblQuotFlg, AddZeroFlg};
        const QByteArray lines = comm::takeRecords(sBuf, TmpRecordNo, layout, format);
        if (!lines.isEmpty() && Ftmp1.write(lines) != lines.size())
            return BlockWriteFailed;
    } else if (FileType == TFileType::FLD) {
        sBuf += data;
    } else if (fileBytes > 0 && Ftmp2.write(pBuf.data(), fileBytes) != fileBytes) {
        return BlockWriteFailed;
    }
    return BlockStored;
}

void TYmThread::StopWith(int code)
{
    SendCanCan();
    ErrorNo = code;
    WriteLog(code);
}

bool TYmThread::FileDataComplete() const
{
    return TmpRcvSize >= fSize;
}

void TYmThread::BatchEnd()
{
    if (RcvMode != 0)
        YmComStat = TYmComStat::SS0;
    else
        EndProg = true;
}

void YmRxSupport::headerDone(TYmThread &t, int result)
{
    switch (result) {
    case HeaderBad:
        refuseFrame(t, TYmComStat::S01);
        break;
    case HeaderAccepted:
        // An existing target is kept: it is replaced only once the new file is complete.
        t.iEndBlock = static_cast<int>((t.fSize + comm::LongData - 1) / comm::LongData);
        t.DspRxFile();
        t.ChkBlk = {1, 254};
        t.TmpRcvSize = 0;
        t.iBlockNo = 0;
        t.ComWriteByte(comm::ACK);
        t.SleepMs(100);
        t.ComWriteByte(comm::CRC_C);
        t.sBuf.clear();
        t.C1 = 0;
        t.Tmr = AnswerMs;
        t.YmComStat = TYmComStat::S07;
        break;
    case HeaderNull:
        t.ComWriteByte(comm::ACK);
        t.BatchEnd();
        break;
    case HeaderFieldMismatch:
        refuseFieldDefinition(t);
        break;
    case HeaderNoTempFile:
    default:
        t.StopWith(12);
        t.EndProg = true;
        break;
    }
}

void YmRxSupport::blockDone(TYmThread &t, int result)
{
    switch (result) {
    case BlockBad:
        refuseFrame(t, t.FileDataComplete() ? TYmComStat::S16 : TYmComStat::S10);
        break;
    case BlockStored: {
        t.ComWriteByte(comm::ACK);
        t.C1 = 0;
        t.Tmr = AnswerMs;
        t.TmpRcvSize = qMin<qint64>(t.TmpRcvSize + t.iBlockSize, t.fSize);
        ++t.iBlockNo;
        // Also after the last frame, so that this frame sent again counts as the previous one.
        const auto next = static_cast<quint8>(t.ChkBlk[0] + 1);
        t.ChkBlk = {next, static_cast<quint8>(255 - next)};
        if (t.TmpRcvSize < t.fSize) {
            t.DspGauge();
            t.YmComStat = TYmComStat::S10;
        } else {
            t.YmComStat = TYmComStat::S16;
        }
        break;
    }
    case BlockRepeated:
        t.ComWriteByte(comm::ACK);
        t.C1 = 0;
        t.Tmr = AnswerMs;
        t.YmComStat = t.FileDataComplete() ? TYmComStat::S16 : TYmComStat::S10;
        break;
    case BlockWriteFailed:
    default:
        // A lost write would leave a short file that looks complete: the transfer fails instead.
        t.StopWith(12);
        t.EndProg = true;
        break;
    }
}

void YmRxSupport::refuseFrame(TYmThread &t, TYmComStat retryState)
{
    ++t.C1;
    if (t.C1 > MaxBadFrames) {
        t.StopWith(14);
        t.BatchEnd();
        return;
    }
    t.ComWriteByte(comm::NAK);
    t.Tmr = AnswerMs;
    t.YmComStat = retryState;
}

void YmRxSupport::refuseFieldDefinition(TYmThread &t)
{
    t.StopWith(15);
    t.ForgetLayout();
    if (t.RcvMode == 0) {
        t.EndProg = true;
        return;
    }
    t.SleepMs(50);
    t.YmComStat = TYmComStat::SS1;
}

void YmRxSupport::storeFile(TYmThread &t)
{
    if (t.FileType == TFileType::FLD) {
        if (t.ChkFldFile() != 1) {
            refuseFieldDefinition(t);
            return;
        }
        t.ComWriteByte(comm::ACK);
        t.DspGaugeEnd();
    } else {
        QString name = t.BhtFName;
        bool stored = false;
        QString error = QStringLiteral("cannot write the temporary file");
        if (comm::isRecordData(t.FileType)) {
            name = comm::withReceiveDate(t.BhtFName, t.Clk.localNow().date());
            stored = storeRecordData(t, name, &error);
        } else {
            stored = t.CloseOne(t.Ftmp2, t.Ftmp2Open) &&
                     comm::replaceWithReceived(t.Tmp2File, t.RxFolder + name, &error);
        }
        if (!stored) {
            // The log line holds only the code; the reason goes to the program's own output.
            qWarning("receive: %s not stored: %s", qPrintable(name), qPrintable(error));
            t.StopWith(12);
            t.EndProg = true;
            return;
        }
        t.ComWriteByte(comm::ACK);
        t.RcvFile = name;
        t.DspGaugeEnd();
        t.ErrorNo = 0;
        t.WriteLog(0);
    }
    t.InBatch = true;
    t.SleepMs(50);
    t.YmComStat = TYmComStat::SS1;
}

void YmRxSupport::eotAgain(TYmThread &t)
{
    // The terminal missed the ACK of the EOT of the file just taken and sends the EOT again. The
    // file is in place already: it is acknowledged again, and the next header asked for.
    t.ComWriteByte(comm::ACK);
    t.C1 = 0;
    t.SleepMs(50);
    t.ComWriteByte(comm::CRC_C);
    t.Tmr = 1000;
}

bool YmRxSupport::storeRecordData(TYmThread &t, const QString &name, QString *error)
{
    if (!t.CloseOne(t.Ftmp1, t.Ftmp1Open))
        return false;
    const QString target = t.RxFolder + name;
    return t.WriteMode != 0 ? comm::appendReceived(t.Tmp1File, target, error)
                            : comm::replaceWithReceived(t.Tmp1File, target, error);
}

bool YmRxSupport::openTemp(QFile &file, const QString &path, bool &isOpen)
{
    if (isOpen) {
        file.close();
        isOpen = false;
    }
    if (path.isEmpty())
        return false;
    file.setFileName(path);
    // Buffered: a failing write shows when the buffer is written out, at the latest when the file is
    // closed before it is stored, so the terminal still gets CAN CAN instead of the last ACK.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    isOpen = true;
    return true;
}
