#pragma once

// TComForm: the small stay-on-top window of a transfer in progress (file label, gauge, stop button).
// Its start operations start the transfer worker; when the worker has finished, Timer1 closes the
// window 50 ms later, and that close is what tells the waiting library operation that the transfer
// is over. The window remembers its place per port.

#include "comm/YmThread.h"

#include <QDialog>
#include <QString>
#include <atomic>
#include <memory>

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace platform {
class SerialPort;
}

class TComForm final : public QDialog, public TransferProgress {
    Q_OBJECT
public:
    // portName: the subkey the window's place is stored under.
    TComForm(platform::SerialPort &port, const QString &portName);
    ~TComForm() override; // ends a transfer that still runs and waits for its worker

    std::unique_ptr<TYmThread> YmThread;
    QString Tmp1File;
    QString Tmp2File;
    QString LogFile;
    QString RxFolder0;
    QString TxFile;
    QString BhtFile;
    int RMode = 0;
    int WMode = 0;

    // Start a transfer with the library's settings and field list; Busy is set.
    void Send0();
    void SendBnf0();
    void Receive0();

    // Closes the window the way every closing path does: stores the place and clears Busy.
    void closeWindow();

    // The engine's calls: on the worker thread, so each is posted to the window's own thread.
    void setLabel(const QString &text) override;
    void setGaugeMaximum(int maximum) override;
    void setGaugePosition(int position) override;
    void setStopCaption(const QString &caption) override;
    void hideWindow() override;
    void finished() override;

signals:
    // What the window shows, as it changes: for watchers without a screen (the command-line tool).
    void labelShown(const QString &text);
    void gaugeShown(int position, int maximum);
    void stopCaptionShown(const QString &caption);
    void hiddenByTransfer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private slots:
    void StopButtonClick();
    void Timer1Timer();

private:
    // The label and the start fields every send shares.
    TransferStart sendStart();
    void startThread(const TransferStart &start);
    void FormClose();
    void takeResult();
    bool transferRunning() const;
    void showLabel(const QString &text);

    platform::SerialPort &Port;
    QString PortKeyName;
    bool WorkerDone = true;
    bool Receiving = false; // the running transfer is a receive

    QLabel *LabelFName = nullptr;
    QProgressBar *Gauge1 = nullptr;
    QPushButton *StopButton = nullptr;
    QTimer *Timer1 = nullptr;

    // The gauge is posted only when its shown step changes: a fast line would otherwise wake the
    // window's thread for every block. Written by the engine's calls only.
    std::atomic<int> postedMaximum_{1};
    std::atomic<int> postedStep_{-1};
};
