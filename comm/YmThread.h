#pragma once

// TYmThread: the worker that carries out one transfer (one file sent, or one or more batches received)
// over an open serial port, as a state machine fed by port bytes and clock ticks.
//
// Where each part lives:
//   YmThread.cpp          construction, start/wait, Execute, StopCom, EndCom, CloseFiles, the progress
//                         helpers Dsp*, EndWith, the result hand-over
//   YmThreadLog.cpp       WriteLog (the line itself: YmLogLine.h)
//   YmThreadLink.cpp      ComRead, ComWrite, ComWriteByte, SendCanCan, MakeCrcTable, CalcCrc16
//                         (frame layout and CRC: YmFrames.h; port exceptions: YmCommError.h)
//   YmThreadFld.cpp       SetFields, GetFldItem, ChkFldFile (the text rules: YmFld.h)
//   YmThreadSender.cpp    TxOpen, TxProc, TxRetry, TxTimeOut, SetFldBlock, SetBinBlock, SetCsvBlock
//                         (CSV line to record: YmCsvRecord.h)
//   YmThreadReceiver.cpp  RxProc, RxTimeOut, ChkHeader, ChkDatBlock, StopWith, BatchEnd, storing files
//                         (with helpers of its own in YmRx*.cpp, through the friend YmRxSupport)
//
// Threads: Execute runs on one thread (the worker started by start(), or the caller's own in tests).
// Every working field below belongs to that thread alone. StopCom and EndCom may be called from any
// thread: they only raise atomic requests that Execute acts on at the start of its next pass. The
// result is read with result() once the progress interface got finished().

#include "comm/YmCommError.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace comm {
class TextLineReader;
}

// Class of the file in transfer. Null: no file in transfer yet (NULL itself is taken by the language).
enum class TFileType { DATA, CSV, PD3, PD4, FLD, FN3EX3, LCS, BMP, JPG, WAV, ZIP, REQFILE, ERROR, Null, etc };

// SS0, SS1: receiver restart points; S00-S07 receiver header block; S10-S16 receiver data blocks;
// S20-S24 sender FLD text; S30-S33 sender file; S40-S42 sender end of batch.
enum class TYmComStat {
    SS0,
    SS1,
    S00,
    S01,
    S02,
    S03,
    S04,
    S05,
    S06,
    S07,
    S10,
    S11,
    S12,
    S13,
    S14,
    S15,
    S16,
    S20,
    S21,
    S22,
    S23,
    S24,
    S30,
    S31,
    S32,
    S33,
    S40,
    S41,
    S42,
};

// What the engine shows while it runs. Called on the engine's thread; a window implements it by posting
// the updates to its own thread. finished() is the very last call of a transfer: the result is ready.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    virtual void setLabel(const QString &text) = 0;
    virtual void setGaugeMaximum(int maximum) = 0;
    virtual void setGaugePosition(int position) = 0;
    virtual void setStopCaption(const QString &caption) = 0;
    virtual void hideWindow() = 0;
    virtual void finished() = 0;
};

// Start fields of one transfer, filled by the progress window's Send0 / SendBnf0 / Receive0.
struct TransferStart {
    bool TxFlag = false;  // true: send; false: receive
    QString TxFName;      // send: full path of the PC file
    QString BhtFName;     // send: terminal-side file name
    QByteArray FieldsDat; // send: field widths separated by commas (Shift-JIS bytes)
    QString RxFolder;     // receive: target folder, ending in a separator
    int RcvMode = 0;      // receive: 0 one batch, else continuous receive
    int WriteMode = 0;    // receive: 0 replace an existing target, else append to it
    bool CsvFlg = false;
    bool LastSpFlg = false;
    bool DblQuotFlg = false;
    bool AddZeroFlg = false;
    bool LogFlag = false;
    QString LogFile;
    QString Tmp1File;
    QString Tmp2File;
};

// Handed back once the transfer has ended.
struct TransferResult {
    int ErrorNo = 0;
    QString RcvFileName; // receive: name of the last file stored; empty after a failure and on send
    QString FieldList;   // receive: widths of the last FLD text, separated by commas
};

// One entry of the record layout: 0-based byte offset in the record and width in bytes.
struct TFieldEntry {
    int Start = 0;
    int Width = 0;
};

class TYmThread {
public:
    static constexpr int MaxFields = 256;
    static constexpr int BufSize = 2048;

    // The port, clock and progress interface must outlive the object.
    TYmThread(platform::SerialPort &port, platform::Clock &clock, TransferProgress &progress,
              const TransferStart &start);
    ~TYmThread(); // waits for a started worker
    TYmThread(const TYmThread &) = delete;
    TYmThread &operator=(const TYmThread &) = delete;

    // Runs Execute on a new worker thread; wait() joins it.
    void start();
    void wait();

    // The whole transfer, on the calling thread. Never throws.
    void Execute();

    // Stop button: ends a receiver between files (waiting for a header) with 1; otherwise interrupts
    // the file in transfer with 2. Either ends the transfer, continuous receive included.
    void StopCom();
    // Forced end (closing the port while the transfer runs): ends with 1.
    void EndCom();

    TransferResult result() const;

private:
    friend struct YmRxSupport;      // helpers of the receiver in YmRx*.cpp
    friend struct YmThreadTestPeer; // unit tests

    // --- thread, passes, log (YmThread.cpp, YmThreadLog.cpp)
    bool OpenLog();
    void RunPasses();
    void Pass();
    void RestartReceive(bool fullRestart); // SS0 (fullRestart) and SS1
    void TakeRequests();
    bool BetweenFiles() const;
    void FinishTransfer();
    void WriteLog(int code);
    bool CloseFiles(); // false when a file reported an error on flush or close
    bool CloseOne(QFile &file, bool &open);
    void EndWith(int code); // ErrorNo := code, log line, EndProg
    quint32 TickNow();
    void SleepMs(int ms);
    void ShowError(const QString &text);

    void DspTxStart();
    void DspRxWait();
    void DspFName();
    void DspRxFile();
    void DspGaugeInit();
    void DspGauge();
    void DspGaugeEnd();
    void DspStopBtn();
    void DspLabel(const QString &text);

    // --- serial link (YmThreadLink.cpp)
    int ComRead(); // into RxBuf; count read, 0 when nothing came
    void ComWrite(const char *data, qint64 count);
    void ComWriteByte(char byte);
    void SendCanCan(); // CAN, 100 ms, CAN
    void MakeCrcTable();
    quint16 CalcCrc16(const char *data, qint64 length) const;
    int ReadWaitMs();

    // --- field definitions (YmThreadFld.cpp)
    int SetFields(const QByteArray &list); // widths separated by spaces; record length or 0
    QByteArray GetFldItem(const QByteArray &key);
    int ChkFldFile();    // 1 valid, 0 invalid
    void ForgetLayout(); // no data file is taken until the next valid FLD text

    // --- sender (YmThreadSender.cpp)
    int TxOpen();
    void TxProc();
    void TxRetry();
    void TxTimeOut();
    void SetFldBlock();
    bool SetBinBlock(); // false after a read failure, which ended the transfer
    bool SetCsvBlock();
    bool TxByte(char byte); // acts on one byte read; true when the state listed it
    void TxSend();          // ComWrite of TxBuf with TxSize bytes
    bool IsBnf() const;
    QString TxLabel(const QString &what) const;

    // --- receiver (YmThreadReceiver.cpp)
    void RxProc();
    void RxTimeOut();
    int ChkHeader();
    int ChkDatBlock();
    void StopWith(int code);       // CAN, 100 ms, CAN, ErrorNo := code, log line
    void BatchEnd();               // continuous receive: SS0; else EndProg
    bool FileDataComplete() const; // in the data states: every byte the header announced is in

    // Injected services.
    platform::SerialPort &Port;
    platform::Clock &Clk;
    TransferProgress &Progress;

    // Start fields (and the receive-side values that replace them as the transfer goes on).
    bool TxFlag;
    QString RxFolder;
    QString BhtFName;
    QString TxFName;
    QByteArray FieldsDat;
    int RcvMode;
    int WriteMode;
    QString RcvFile;
    bool CsvFlg;
    bool LastSpFlg;
    bool DblQuotFlg;
    bool AddZeroFlg;
    bool LogFlag;
    int ErrorNo = 0;
    QString LogFile;
    QString Tmp1File;
    QString Tmp2File;

    // Working fields.
    QFile Fdat;  // send: the CSV file being read; receive: append target
    QFile Ftmp1; // receive: converted records or CSV lines
    QFile Ftmp2; // send: the file being sent as bytes; receive: binary temporary file
    QFile Flog;
    QString Ext; // upper-case extension of BhtFName, with the dot
    bool FlogOpen = false;
    bool FdatOpen = false;
    bool Ftmp1Open = false;
    bool Ftmp2Open = false;
    QString ChkFName;
    bool InBatch = false; // receive: a file of this batch was taken; S00 awaits the batch's next header
    qint64 fSize = 0;     // 64 bits so that sizes from the wire are checked, not wrapped
    qint64 ChkSize = 0;
    qint64 TmpRcvSize = 0;
    int iBlockNo = 0;
    int iEndBlock = 0;
    int iBlockSize = 0;
    qint64 iRecords = 0;
    qint64 TmpRecordNo = 0;
    int iRecSize = 0;
    int iRecSize0 = 0;
    int iNFields = 0;
    std::array<TFieldEntry, MaxFields> Field{};
    TFileType FileType = TFileType::Null;
    std::array<quint8, 2> Blk{};
    std::array<quint8, 2> ChkBlk{};
    std::array<char, 151> DatBuf{};
    std::array<char, BufSize> RxBuf{};
    std::array<char, BufSize> TxBuf{};
    int iRxN = 0;
    quint32 TxSize = 0;
    QByteArray wBuf;
    QByteArray sBuf;
    std::array<char, BufSize> pBuf{};
    std::array<quint8, 2> pCRC16{};
    std::array<quint16, 256> crctable{};
    quint16 CRC16 = 0;
    TYmComStat YmComStat = TYmComStat::SS0;
    bool fStop = false;
    bool EndProg = false;
    quint32 Tmr = 0;
    quint32 tw = 0;
    int C1 = 0;
    int C2 = 0;
    QString FNameCaption;
    int GaugeMaxValue = 0;

    std::unique_ptr<comm::TextLineReader> CsvLines; // send: the CSV file's lines

    // Requests from other threads, taken by the worker at the start of a pass.
    std::atomic<bool> StopRequested{false};
    std::atomic<bool> EndRequested{false};

    mutable std::mutex ResultMutex;
    TransferResult Result;
    std::thread Worker;
};
