#include "YmThread.h"

#include "comm/YmCsvRecord.h"
#include "comm/YmFrames.h"
#include "platform/Cp932.h"
#include "platform/UiService.h"

#include <QFileInfo>

TYmThread::TYmThread(platform::SerialPort &port, platform::Clock &clock, TransferProgress &progress,
                     const TransferStart &start)
    : Port(port), Clk(clock), Progress(progress), TxFlag(start.TxFlag), RxFolder(start.RxFolder),
      BhtFName(start.BhtFName), TxFName(start.TxFName), FieldsDat(start.FieldsDat), RcvMode(start.RcvMode),
      WriteMode(start.WriteMode), CsvFlg(start.CsvFlg), LastSpFlg(start.LastSpFlg),
      DblQuotFlg(start.DblQuotFlg), AddZeroFlg(start.AddZeroFlg), LogFlag(start.LogFlag),
      LogFile(start.LogFile), Tmp1File(start.Tmp1File), Tmp2File(start.Tmp2File)
{
}

TYmThread::~TYmThread()
{
    wait();
}

void TYmThread::start()
{
    if (!Worker.joinable())
        Worker = std::thread([this] { Execute(); });
}

void TYmThread::wait()
{
    if (Worker.joinable() && Worker.get_id() != std::this_thread::get_id())
        Worker.join();
}

void TYmThread::StopCom()
{
    StopRequested = true;
}

void TYmThread::EndCom()
{
    EndRequested = true;
}

TransferResult TYmThread::result() const
{
    std::lock_guard lock(ResultMutex);
    return Result;
}

void TYmThread::Execute()
{
    try {
        if (TxFlag)
            DspTxStart();
        else
            DspRxWait();
        MakeCrcTable();
        Port.purge();

        bool run = true;
        if (LogFlag && !OpenLog())
            run = false;
        if (run && TxFlag) {
            FieldsDat.replace(',', ' ');
            FdatOpen = Ftmp1Open = Ftmp2Open = false;
            try {
                ErrorNo = TxOpen();
            } catch (const std::exception &e) {
                ShowError(QString::fromStdString(e.what()));
                if (ErrorNo == 0)
                    ErrorNo = 12;
            }
            if (ErrorNo > 0) {
                WriteLog(ErrorNo);
                run = false;
            }
        } else if (run) {
            Ftmp1.setFileName(Tmp1File);
            Ftmp2.setFileName(Tmp2File);
            FdatOpen = Ftmp1Open = Ftmp2Open = false;
            iRecords = 0;
            YmComStat = TYmComStat::SS0;
        }
        if (run) {
            fStop = false;
            EndProg = false;
            RcvFile.clear();
            tw = TickNow();
            RunPasses();
        }
    } catch (const ECommError &e) {
        ShowError(e.message());
    } catch (const std::exception &e) {
        ShowError(QString::fromStdString(e.what()));
    } catch (...) {
        ShowError(QString());
    }
    FinishTransfer();
}

bool TYmThread::OpenLog()
{
    Flog.setFileName(LogFile);
    FlogOpen = !LogFile.isEmpty() && Flog.open(QIODevice::WriteOnly | QIODevice::Append);
    if (FlogOpen)
        return true;
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Stop;
    platform::ui().messageBox(LogFile +
                                  QStringLiteral("\r\nの通信履歴保存ファイル作成／アクセスできません。"),
                              QStringLiteral("ファイル作成／アクセスエラー"), style);
    // Without this the transfer would end with whatever code it started with, which reads as success.
    ErrorNo = 12;
    return false;
}

void TYmThread::RunPasses()
{
    while (true) {
        TakeRequests();
        if (EndProg)
            return;
        Pass();
        if (EndProg)
            return;
    }
}

void TYmThread::TakeRequests()
{
    if (EndRequested.exchange(false)) {
        ErrorNo = 1;
        if (YmComStat != TYmComStat::S00) {
            SendCanCan();
            WriteLog(1);
        }
        EndProg = true;
        return;
    }
    if (StopRequested.exchange(false)) {
        if (BetweenFiles()) {
            ErrorNo = 1;
            // Continuous receive has no other end: the log shows that the operator ended it.
            if (!TxFlag && RcvMode != 0) {
                BhtFName.clear();
                FileType = TFileType::Null;
                fSize = 0;
                WriteLog(1);
            }
            EndProg = true;
        } else {
            fStop = true;
        }
    }
}

bool TYmThread::BetweenFiles() const
{
    // SS0 and SS1 come right after a file or a batch ended and before the next invitation: a stop
    // there interrupts no file, as in S00.
    return !TxFlag &&
           (YmComStat == TYmComStat::S00 || YmComStat == TYmComStat::SS0 || YmComStat == TYmComStat::SS1);
}

void TYmThread::Pass()
{
    if (fStop) {
        fStop = false;
        if (ErrorNo == 0) {
            ErrorNo = 2;
            WriteLog(2);
            SendCanCan();
        }
        // Also in continuous receive: a terminal that keeps sending would start its next batch at
        // once, and the operator could never end the receive.
        EndProg = true;
        return;
    }
    if (YmComStat == TYmComStat::SS0)
        RestartReceive(true);
    else if (YmComStat == TYmComStat::SS1)
        RestartReceive(false);
    if (TxFlag)
        TxProc();
    else
        RxProc();
}

void TYmThread::RestartReceive(bool fullRestart)
{
    if (fullRestart) {
        Port.purge();
        // A field definition describes the data file of its own batch only.
        ForgetLayout();
        InBatch = false;
    }
    CloseFiles();
    C1 = 0;
    Tmr = 1000;
    BhtFName.clear();
    FileType = TFileType::Null;
    ErrorNo = 0;
    YmComStat = TYmComStat::S00;
    if (fullRestart)
        DspRxWait();
    ComWriteByte(comm::CRC_C);
}

void TYmThread::FinishTransfer()
{
    TransferResult result;
    try {
        if (ErrorNo != 0)
            RcvFile.clear();
        CloseFiles();
        if (FlogOpen) {
            CloseOne(Flog, FlogOpen);
        }
        Port.purge();
        Progress.hideWindow();
        result.ErrorNo = ErrorNo;
        if (!TxFlag && ErrorNo == 0) {
            result.RcvFileName = RcvFile;
            result.FieldList = platform::cp932::decode(FieldsDat).replace(u' ', u',');
        }
    } catch (...) {
        result = TransferResult{};
        result.ErrorNo = ErrorNo;
    }
    {
        std::lock_guard lock(ResultMutex);
        Result = result;
    }
    SleepMs(10);
    Progress.finished();
}

void TYmThread::EndWith(int code)
{
    ErrorNo = code;
    WriteLog(code);
    EndProg = true;
}

bool TYmThread::CloseOne(QFile &file, bool &open)
{
    if (!open)
        return true;
    open = false;
    bool ok = file.flush();
    if (!ok) {
        // A device that was momentarily busy gets one more chance before the data counts as lost.
        SleepMs(100);
        ok = file.flush();
    }
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool TYmThread::CloseFiles()
{
    bool ok = CloseOne(Fdat, FdatOpen);
    ok = CloseOne(Ftmp1, Ftmp1Open) && ok;
    ok = CloseOne(Ftmp2, Ftmp2Open) && ok;
    CsvLines.reset();
    return ok;
}

quint32 TYmThread::TickNow()
{
    return Clk.tickMs();
}

void TYmThread::SleepMs(int ms)
{
    Clk.sleepMs(ms);
}

void TYmThread::ShowError(const QString &text)
{
    platform::MsgStyle style;
    style.icon = platform::MsgIcon::Stop;
    platform::ui().messageBox(text, QString(), style);
}

void TYmThread::DspTxStart()
{
    Progress.setLabel(QStringLiteral("送信"));
    Progress.setStopCaption(QStringLiteral("中断"));
    iBlockNo = 0;
    iEndBlock = 100;
    Progress.setGaugeMaximum(100);
    Progress.setGaugePosition(0);
}

void TYmThread::DspRxWait()
{
    Progress.setLabel(QStringLiteral("受信待ち"));
    Progress.setStopCaption(QStringLiteral("終了"));
    iBlockNo = 0;
    iEndBlock = 100;
    Progress.setGaugeMaximum(100);
    Progress.setGaugePosition(0);
}

void TYmThread::DspFName()
{
    Progress.setLabel(FNameCaption);
}

void TYmThread::DspRxFile()
{
    const QString suffix = QFileInfo(BhtFName).suffix().toUpper();
    if (suffix == u"PD4" || suffix == u"FN3" || suffix == u"FN4")
        Progress.setLabel(BhtFName + QStringLiteral(" ﾌﾟﾛｸﾞﾗﾑ受信"));
    else if (suffix == u"BNF")
        Progress.setLabel(QStringLiteral("業務設定受信"));
    else
        Progress.setLabel(BhtFName + QStringLiteral(" ﾃﾞｰﾀ受信"));
    Progress.setGaugeMaximum(iEndBlock);
}

void TYmThread::DspGaugeInit()
{
    Progress.setGaugeMaximum(GaugeMaxValue);
    Progress.setGaugePosition(0);
}

void TYmThread::DspGauge()
{
    Progress.setGaugePosition(iBlockNo);
}

void TYmThread::DspGaugeEnd()
{
    Progress.setGaugePosition(iEndBlock);
}

void TYmThread::DspStopBtn()
{
    Progress.setStopCaption(QStringLiteral("中断"));
}

void TYmThread::DspLabel(const QString &text)
{
    Progress.setLabel(text);
}
