#include "YmThread.h"

#include "comm/YmCsvRecord.h"
#include "comm/YmFld.h"
#include "comm/YmFrames.h"
#include "comm/YmTxFileType.h"
#include "platform/Cp932.h"

#include <QFileInfo>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr quint32 FirstAnswerMs = 60000;
constexpr quint32 AnswerMs = 3000;
constexpr int MaxRetries = 10;

// Upper-case extension with its dot, empty when the name has none.
QString upperExt(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

// The states that wait for the terminal's 'C'; all other sender states wait for an ACK.
bool awaitsInvitation(TYmComStat state)
{
    return state == TYmComStat::S20 || state == TYmComStat::S22 || state == TYmComStat::S30 ||
           state == TYmComStat::S32 || state == TYmComStat::S41;
}

QString withFldExt(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot < 0 ? name : name.left(dot)) + QStringLiteral(".FLD");
}

} // namespace

bool TYmThread::IsBnf() const
{
    return Ext == u".BNF";
}

QString TYmThread::TxLabel(const QString &what) const
{
    return IsBnf() ? QStringLiteral("業務設定 ") + what : BhtFName + u' ' + what;
}

int TYmThread::TxOpen()
{
    if (!QFileInfo::exists(TxFName))
        return 6;
    Ext = upperExt(BhtFName);
    const comm::TxFileClass cls = comm::txFileClass(Ext);
    FileType = cls.type;
    FNameCaption = IsBnf() ? QStringLiteral("業務設定 送信") : BhtFName + cls.label;
    DspFName();
    const bool recordData = FileType == TFileType::DATA || FileType == TFileType::CSV;
    if (recordData) {
        iRecSize = SetFields(FieldsDat);
        if (iRecSize == 0)
            return 7;
    }

    if (FileType == TFileType::CSV) {
        Fdat.setFileName(TxFName);
        if (!Fdat.open(QIODevice::ReadOnly))
            return 12;
        FdatOpen = true;
        comm::TextLineReader counter(Fdat);
        QByteArray line;
        qint64 lines = 0;
        while (counter.readLine(line))
            ++lines;
        if (counter.failed() || !Fdat.seek(0))
            return 12;
        iRecords = lines;
        fSize = (static_cast<qint64>(iRecSize) + 2) * lines;
        CsvLines = std::make_unique<comm::TextLineReader>(Fdat);
    } else {
        Ftmp2.setFileName(TxFName);
        if (!Ftmp2.open(QIODevice::ReadOnly))
            return 12;
        Ftmp2Open = true;
        fSize = Ftmp2.size();
        if (FileType == TFileType::DATA) {
            const qint64 line = static_cast<qint64>(iRecSize) + 2;
            iRecords = fSize / line + (fSize % line > 2 ? 1 : 0);
        }
    }
    // The header and the FLD text announce sizes the terminal reads as 32-bit numbers.
    if (fSize > std::numeric_limits<qint32>::max())
        return 12;
    iEndBlock = static_cast<int>((fSize + comm::LongData - 1) / comm::LongData);
    if (iEndBlock == 0)
        return 9;

    const QByteArray name = platform::cp932::encode(BhtFName);
    if (!recordData) {
        TxSize = static_cast<quint32>(comm::buildHeaderFrame(TxBuf.data(), crctable, name, fSize));
        GaugeMaxValue = iEndBlock;
        YmComStat = TYmComStat::S30;
    } else {
        FieldsDat = comm::buildFldText(name, fSize, iRecords, FieldsDat, iNFields);
        GaugeMaxValue = FieldsDat.size() > comm::LongData ? 2 : 1;
        comm::buildHeaderFrame(TxBuf.data(), crctable, platform::cp932::encode(withFldExt(BhtFName)),
                               FieldsDat.size());
        std::array<char, comm::LongFrame> header{};
        comm::buildHeaderFrame(header.data(), crctable, name, fSize);
        std::memcpy(DatBuf.data(), header.data(), comm::ShortFrame);
        YmComStat = TYmComStat::S20;
    }
    DspGaugeInit();
    sBuf.clear();
    TxSize = comm::ShortFrame;
    C1 = 0;
    C2 = 0;
    Tmr = FirstAnswerMs;
    return 0;
}

void TYmThread::TxSend()
{
    ComWrite(TxBuf.data(), TxSize);
}

void TYmThread::TxProc()
{
    if (EndProg)
        return;
    const int count = ComRead();
    if (count == 0) {
        TxTimeOut();
        return;
    }
    for (int i = 0; i < count && !EndProg; ++i) {
        const char byte = RxBuf[static_cast<size_t>(i)];
        // A receiver may send its 'C' right behind the ACK of a header or an EOT; dropping it
        // would stall the batch until the time-out.
        if (TxByte(byte) && !(byte == comm::ACK && awaitsInvitation(YmComStat)))
            return;
    }
}

bool TYmThread::TxByte(char byte)
{
    using S = TYmComStat;
    const bool ack = byte == comm::ACK;
    const bool nak = byte == comm::NAK;
    const bool crc = byte == comm::CRC_C;
    if (byte == comm::CAN) {
        if (YmComStat == S::S20 || YmComStat == S::S30) {
            iBlockNo = 0;
            DspGauge();
        }
        EndWith(2);
        return true;
    }
    // Every step forward (a 'C' where one is awaited, else an ACK) restarts the answer time and the
    // count of NAKs and time-outs.
    if (crc ? awaitsInvitation(YmComStat) : ack && !awaitsInvitation(YmComStat)) {
        C2 = 0;
        Tmr = AnswerMs;
    }

    switch (YmComStat) {
    case S::S20:
    case S::S30:
        iBlockNo = 0;
        DspGauge();
        if (!crc)
            return false;
        DspLabel(TxLabel(QStringLiteral("送信開始")));
        TxSend();
        YmComStat = YmComStat == S::S20 ? S::S21 : S::S31;
        return true;
    case S::S21:
        if (ack) {
            SetFldBlock();
            tw = TickNow();
            YmComStat = S::S22;
        } else if (nak) {
            TxRetry();
        }
        return ack || nak;
    case S::S22:
    case S::S32:
        if (nak) {
            EndWith(16);
            return true;
        }
        if (!crc)
            return false;
        DspLabel(TxLabel(QStringLiteral("送信中")));
        if (YmComStat == S::S22) {
            TxSend();
            YmComStat = S::S23;
            return true;
        }
        if (!(FileType == TFileType::CSV ? SetCsvBlock() : SetBinBlock()))
            return true;
        TxSend();
        YmComStat = S::S33;
        return true;
    case S::S23:
        if (nak) {
            TxRetry();
            return true;
        }
        if (!ack)
            return false;
        if (!FieldsDat.isEmpty()) {
            SetFldBlock();
            TxSend();
        } else {
            TxBuf[0] = comm::EOT;
            TxSize = 1;
            TxSend();
            YmComStat = S::S24;
        }
        DspGauge();
        return true;
    case S::S24:
        if (nak) {
            TxRetry();
            return true;
        }
        if (!ack)
            return false;
        std::memcpy(TxBuf.data(), DatBuf.data(), comm::ShortFrame);
        TxSize = comm::ShortFrame;
        Progress.setGaugeMaximum(iEndBlock);
        Progress.setGaugePosition(0);
        tw = TickNow();
        YmComStat = S::S30;
        return true;
    case S::S31:
        if (ack) {
            tw = TickNow();
            YmComStat = S::S32;
        } else if (nak) {
            TxRetry();
        }
        return ack || nak;
    case S::S33:
        if (nak) {
            TxRetry();
            return true;
        }
        if (!ack)
            return false;
        if (iBlockNo < iEndBlock) {
            if (!(FileType == TFileType::CSV ? SetCsvBlock() : SetBinBlock()))
                return true;
            TxSend();
        } else {
            TxBuf[0] = comm::EOT;
            TxSize = 1;
            TxSend();
            YmComStat = S::S40;
        }
        DspGauge();
        return true;
    case S::S40:
        if (nak) {
            TxRetry();
            return true;
        }
        if (!ack)
            return false;
        DspGaugeEnd();
        TxSize = static_cast<quint32>(comm::buildNullHeader(TxBuf.data(), crctable));
        tw = TickNow();
        YmComStat = S::S41;
        return true;
    case S::S41:
        if (!crc)
            return false;
        TxSend();
        YmComStat = S::S42;
        return true;
    case S::S42:
        if (nak) {
            TxRetry();
            return true;
        }
        if (!ack)
            return false;
        DspLabel(TxLabel(QStringLiteral("送信終了")));
        EndWith(0);
        return true;
    default:
        return false;
    }
}

void TYmThread::TxRetry()
{
    ++C2;
    if (C2 >= MaxRetries) {
        SendCanCan();
        EndWith(14);
        return;
    }
    TxSend();
    Tmr = AnswerMs;
}

void TYmThread::TxTimeOut()
{
    // Unsigned difference: the interval stays right across the wrap of the tick count.
    if (TickNow() - tw < Tmr)
        return;
    if (YmComStat == TYmComStat::S20) {
        SendCanCan();
        EndWith(13);
        return;
    }
    ++C2;
    if (C2 < MaxRetries) {
        TxSend();
        Tmr = AnswerMs;
        return;
    }
    SendCanCan();
    EndWith(13);
}

void TYmThread::SetFldBlock()
{
    ++iBlockNo;
    const auto block = static_cast<quint8>(iBlockNo);
    const qsizetype left = FieldsDat.size();
    if (left <= comm::ShortData) {
        TxSize = static_cast<quint32>(comm::buildFrame(TxBuf.data(), crctable, block, FieldsDat.constData(),
                                                       static_cast<int>(left), comm::ShortData));
        FieldsDat.clear();
    } else if (left >= comm::LongData) {
        TxSize = static_cast<quint32>(comm::buildFrame(TxBuf.data(), crctable, block, FieldsDat.constData(),
                                                       comm::LongData, comm::LongData));
        FieldsDat.remove(0, comm::LongData);
    } else {
        TxSize = static_cast<quint32>(comm::buildFrame(TxBuf.data(), crctable, block, FieldsDat.constData(),
                                                       static_cast<int>(left), comm::LongData));
        FieldsDat.clear();
    }
}

bool TYmThread::SetBinBlock()
{
    std::array<char, comm::LongData> data{};
    qint64 got = 0;
    while (got < comm::LongData) {
        const qint64 n = Ftmp2.read(data.data() + got, comm::LongData - got);
        if (n < 0) {
            // Sending NUL blocks in place of unreadable data would be reported as a good transfer.
            SendCanCan();
            EndWith(12);
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    ++iBlockNo;
    TxSize = static_cast<quint32>(comm::buildFrame(TxBuf.data(), crctable, static_cast<quint8>(iBlockNo),
                                                   data.data(), static_cast<int>(got), comm::LongData));
    return true;
}

bool TYmThread::SetCsvBlock()
{
    std::vector<int> widths;
    widths.reserve(static_cast<size_t>(iNFields));
    for (int i = 0; i < iNFields; ++i)
        widths.push_back(Field[static_cast<size_t>(i)].Width);
    QByteArray line;
    while (sBuf.size() < comm::LongData && CsvLines && CsvLines->readLine(line)) {
        sBuf += comm::csvLineToRecord(line, widths, DblQuotFlg);
        sBuf += "\r\n";
    }
    if (CsvLines && CsvLines->failed()) {
        SendCanCan();
        EndWith(12);
        return false;
    }
    ++iBlockNo;
    const auto block = static_cast<quint8>(iBlockNo);
    if (sBuf.size() >= comm::LongData) {
        TxSize = static_cast<quint32>(comm::buildFrame(TxBuf.data(), crctable, block, sBuf.constData(),
                                                       comm::LongData, comm::LongData));
        sBuf.remove(0, comm::LongData);
    } else {
        TxSize = static_cast<quint32>(comm::buildFrame(TxBuf.data(), crctable, block, sBuf.constData(),
                                                       static_cast<int>(sBuf.size()), comm::LongData));
        sBuf.clear();
    }
    return true;
}
