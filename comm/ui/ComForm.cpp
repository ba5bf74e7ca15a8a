#include "ComForm.h"

#include <QFile>

#include "comm/ui/ComMain.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "platform/ui/TitleRoom.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

TComForm::TComForm(platform::SerialPort &port, const QString &portName)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      Port(port), PortKeyName(portName)
{
    setObjectName(QStringLiteral("ComForm"));
    setWindowTitle(QStringLiteral("YModem通信プログラム"));

    LabelFName = new QLabel(QStringLiteral("受信待ち"), this);
    LabelFName->setObjectName(QStringLiteral("LabelFName"));
    // Room for a full terminal file name and the longest step beside it; a longer text widens the
    // window rather than being cut.
    LabelFName->setMinimumWidth(
        qMax(191, LabelFName->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMMMM.MMM ﾌﾟﾛｸﾞﾗﾑ受信"))));

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setMinimumWidth(146);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    // The bar is read aloud by the step or file the label beside it shows.
    caption::link(LabelFName, Gauge1);

    StopButton = formkit::button("StopButton", QStringLiteral("終了"), this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    auto *row = new QHBoxLayout;
    row->addWidget(Gauge1);
    row->addWidget(StopButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(LabelFName);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // The caption names the port and its speed: the window is as wide as the desktop needs to show it.
    platform::keepTitleWhole(*this);

    connect(StopButton, &QPushButton::clicked, this, &TComForm::StopButtonClick);
    connect(Timer1, &QTimer::timeout, this, &TComForm::Timer1Timer);
}

TComForm::~TComForm()
{
    if (YmThread && !WorkerDone)
        YmThread->EndCom();
    YmThread.reset();
    if (comm::Busy)
        comm::Busy = false;
    // The temporary files are this window's own (unique names): nothing else will remove them.
    for (const QString &file : {Tmp1File, Tmp2File}) {
        if (!file.isEmpty())
            QFile::remove(file);
    }
}

TransferStart TComForm::sendStart()
{
    showLabel(BhtFile);
    TransferStart start;
    start.TxFlag = true;
    start.TxFName = TxFile;
    start.BhtFName = BhtFile;
    start.FieldsDat = platform::cp932::encode(comm::FieldList);
    start.LogFlag = comm::Mode.LogEnable;
    return start;
}

void TComForm::Send0()
{
    TransferStart start = sendStart();
    start.CsvFlg = comm::Mode.CsvRcvDat;
    start.LastSpFlg = comm::Mode.LastSpace;
    start.DblQuotFlg = comm::Mode.DblQuoted;
    start.AddZeroFlg = false;
    startThread(start);
}

void TComForm::SendBnf0()
{
    // Job settings go as they are: no CSV options.
    startThread(sendStart());
}

void TComForm::Receive0()
{
    TransferStart start;
    start.TxFlag = false;
    start.RxFolder = RxFolder0;
    start.RcvMode = RMode;
    start.WriteMode = WMode;
    start.CsvFlg = comm::Mode.CsvRcvDat;
    start.LastSpFlg = comm::Mode.LastSpace;
    start.DblQuotFlg = comm::Mode.DblQuoted;
    start.AddZeroFlg = comm::Mode.AddZero;
    start.LogFlag = comm::Mode.LogEnable;
    startThread(start);
}

void TComForm::startThread(const TransferStart &start)
{
    TransferStart full = start;
    full.LogFile = LogFile;
    full.Tmp1File = Tmp1File;
    full.Tmp2File = Tmp2File;
    // The previous transfer's worker has ended (Busy is clear); dropping it joins it.
    YmThread.reset();
    YmThread = std::make_unique<TYmThread>(Port, platform::systemClock(), *this, full);
    WorkerDone = false;
    Receiving = !start.TxFlag;
    comm::Busy = true;
    YmThread->start();
}

void TComForm::closeWindow()
{
    Timer1->stop();
    FormClose();
    hide();
}

void TComForm::FormClose()
{
    platform::TRegistry registry;
    if (registry.OpenKey(comm::portSubkey(PortKeyName), true)) {
        registry.WriteInteger(QStringLiteral("DspX"), pos().x());
        registry.WriteInteger(QStringLiteral("DspY"), pos().y());
        registry.CloseKey();
    }
    comm::Busy = false;
}

bool TComForm::transferRunning() const
{
    return YmThread && !WorkerDone;
}

void TComForm::closeEvent(QCloseEvent *event)
{
    // Only the timer and the library close the window; the desktop's close must not end the wait of
    // a transfer that still runs. During a receive it is the operator's way out, as the stop button.
    if (transferRunning()) {
        if (Receiving)
            StopButtonClick();
        event->ignore();
        return;
    }
    Timer1->stop();
    FormClose();
    event->accept();
}

void TComForm::reject()
{
    // Escape would hide the window in the middle of a transfer; it closes only with the transfer.
    // During a receive Escape stops it, as the stop button does.
    if (transferRunning() && Receiving)
        StopButtonClick();
}

void TComForm::StopButtonClick()
{
    if (transferRunning())
        YmThread->StopCom();
}

void TComForm::Timer1Timer()
{
    Timer1->stop();
    closeWindow();
}

void TComForm::takeResult()
{
    WorkerDone = true;
    if (!YmThread)
        return;
    const TransferResult result = YmThread->result();
    comm::LastResult = result.ErrorNo;
    comm::RcvFileName = result.RcvFileName;
    comm::FieldList = result.FieldList;
}

void TComForm::showLabel(const QString &text)
{
    LabelFName->setText(text);
    emit labelShown(text);
}

void TComForm::setLabel(const QString &text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { showLabel(text); }, Qt::QueuedConnection);
}

namespace {

// As fine as the gauge's percent text; a step of its bar is under two pixels.
constexpr qint64 GaugeSteps = 100;

} // namespace

void TComForm::setGaugeMaximum(int maximum)
{
    postedMaximum_ = qMax(1, maximum);
    postedStep_ = -1;
    QMetaObject::invokeMethod(
        this,
        [this, maximum] {
            Gauge1->setRange(0, qMax(1, maximum));
            emit gaugeShown(Gauge1->value(), Gauge1->maximum());
        },
        Qt::QueuedConnection);
}

void TComForm::setGaugePosition(int position)
{
    const int maximum = postedMaximum_;
    const int step = position >= maximum ? static_cast<int>(GaugeSteps)
                                         : static_cast<int>(qMax(0, position) * GaugeSteps / maximum);
    // The first and the last position are always shown.
    if (step == postedStep_.exchange(step) && position > 0 && position < maximum)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, position] {
            Gauge1->setValue(qBound(Gauge1->minimum(), position, Gauge1->maximum()));
            emit gaugeShown(Gauge1->value(), Gauge1->maximum());
        },
        Qt::QueuedConnection);
}

void TComForm::setStopCaption(const QString &caption)
{
    QMetaObject::invokeMethod(
        this,
        [this, caption] {
            StopButton->setText(caption);
            emit stopCaptionShown(caption);
        },
        Qt::QueuedConnection);
}

void TComForm::hideWindow()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            hide();
            emit hiddenByTransfer();
        },
        Qt::QueuedConnection);
}

void TComForm::finished()
{
    // The worker's last call: its result is complete, so it is taken before the close clears Busy.
    QMetaObject::invokeMethod(
        this,
        [this] {
            takeResult();
            Timer1->start();
        },
        Qt::QueuedConnection);
}
