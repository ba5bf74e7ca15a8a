#include "CorlissLHarness.h"
#include "comm/CorlissRules.h"
#include "comm/ui/ComForm.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "platform/Registry.h"
#include "platform/ui/ScreenFit.h"
#include "tests/comm/FakeClock.h"
#include "tests/comm/FakeSerialPort.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace commtest;

namespace {

testing::AssertionResult centredOver(const QRect &outer, const QRect &inner)
{
    const QPoint offset = outer.center() - inner.center();
    if (offset.manhattanLength() <= 2)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "window at " << inner.x() << "," << inner.y() << " size " << inner.width() << "x"
           << inner.height() << ", centre off by " << offset.x() << "," << offset.y();
}

std::optional<int> storedInteger(const QString &port, const QString &name)
{
    platform::TRegistry registry;
    if (!registry.OpenKeyReadOnly(comm::portSubkey(port)))
        return std::nullopt;
    return registry.ReadInteger(name);
}

void storePosition(const QString &port, int x, int y)
{
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(comm::portSubkey(port), true));
    ASSERT_TRUE(registry.WriteInteger("DspX", x));
    ASSERT_TRUE(registry.WriteInteger("DspY", y));
}

// What the window looked like while the transfer ran.
struct Seen {
    bool taken = false;
    bool visible = false;
    QPoint pos;
    QString label;
    QString stopCaption;
    bool busy = false;
};

Seen look()
{
    Seen s;
    if (!comm::ComForm)
        return s;
    s.taken = true;
    s.visible = comm::ComForm->isVisible();
    s.pos = comm::ComForm->pos();
    s.label = comm::ComForm->findChild<QLabel *>("LabelFName")->text();
    s.stopCaption = comm::ComForm->findChild<QPushButton *>("StopButton")->text();
    s.busy = comm::Busy;
    return s;
}

TEST(ComFormShape, ControlsCaptionAndFlags)
{
    FakeClock clock;
    FakeSerialPort port(clock);
    TComForm form(port, "COM1");
    EXPECT_EQ(form.windowTitle(), QString("YModem通信プログラム"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    auto *label = form.findChild<QLabel *>("LabelFName");
    auto *gauge = form.findChild<QProgressBar *>("Gauge1");
    auto *stop = form.findChild<QPushButton *>("StopButton");
    auto *timer = form.findChild<QTimer *>("Timer1");
    ASSERT_NE(label, nullptr);
    ASSERT_NE(gauge, nullptr);
    ASSERT_NE(stop, nullptr);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(label->text(), QString("受信待ち"));
    EXPECT_EQ(gauge->value(), 0);
    EXPECT_EQ(stop->text(), QString("終了"));
    EXPECT_EQ(timer->interval(), 50);
    EXPECT_FALSE(timer->isActive());
    // Without a transfer the stop button has nothing to stop.
    stop->click();
    EXPECT_FALSE(form.YmThread);
}

class ProgressWindow : public LibraryTest {
protected:
    void open(int number, std::vector<std::pair<QString, int>> settings = {}, QWidget *owner = nullptr)
    {
        pty = std::make_unique<Pty>();
        ASSERT_TRUE(pty->ok());
        pointPort(number, pty->path());
        storeSettings(settings);
        ASSERT_TRUE(YmInitialize());
        handle = YmComOpen(owner, "COM" + QByteArray::number(number), 115200);
        ASSERT_GT(handle, 0);
    }
    // Looks at the window once the transfer runs, then presses its stop button.
    void lookThenStop(Seen &seen, std::function<void()> before = {})
    {
        after(300, [&seen, before] {
            if (before)
                before();
            seen = look();
            clickStop();
        });
    }

    std::unique_ptr<Pty> pty;
    int handle = -1;
};

TEST_F(ProgressWindow, StopDuringASendEndsWith2AndClosesTheWindow)
{
    open(1);
    ASSERT_TRUE(writeFile(txFolder + "prg.pd4", QByteArray(3000, 'p')));
    Seen seen;
    lookThenStop(seen);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(YmSendFile(handle, "prg.pd4", "", ""), 2);
    EXPECT_LT(timer.elapsed(), 5000);
    ASSERT_TRUE(seen.taken);
    EXPECT_TRUE(seen.visible);
    EXPECT_TRUE(seen.busy);
    EXPECT_EQ(seen.stopCaption, QString("中断")); // the worker's updates reached the widgets
    EXPECT_TRUE(seen.label.contains("PRG.PD4") || seen.label == QString("送信")) << seen.label.toStdString();
    EXPECT_FALSE(comm::Busy);
    EXPECT_FALSE(comm::ComForm->isVisible());
    EXPECT_EQ(YmComClose(handle), 0);
}

TEST_F(ProgressWindow, FirstOpensOverTheWindowThatStartedTheTransfer)
{
    QWidget starter;
    // With room around it on the smallest offscreen screen (800x600) for the window to lie over it.
    starter.setGeometry(200, 150, 330, 300);
    starter.show();
    open(4, {}, &starter);
    // Framed as a transfer shows it.
    comm::ComForm->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(comm::ComForm.get()));
    EXPECT_TRUE(centredOver(starter.frameGeometry(), comm::ComForm->frameGeometry()));
    EXPECT_EQ(YmComClose(handle), 0);
}

TEST_F(ProgressWindow, PositionIsKeptPerPort)
{
    storePosition("COM1", 40, 50);
    open(3);
    // Nothing stored for COM3 yet, and no window started it: the middle of the screen, with the frame
    // the window will have once it is shown.
    const QRect frame(comm::ComForm->pos(),
                      comm::ComForm->size().grownBy(screenfit::expectedFrameMargins(*comm::ComForm)));
    EXPECT_TRUE(centredOver(QGuiApplication::primaryScreen()->availableGeometry(), frame));
    Seen seen;
    lookThenStop(seen, [] { comm::ComForm->move(300, 200); });
    QByteArray name;
    QByteArray fields;
    EXPECT_EQ(YmRecvFile(handle, "", 1, 1, name, fields), 1); // stopped while waiting for a header
    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(storedInteger("COM3", "DspX"), 300);
    EXPECT_EQ(storedInteger("COM3", "DspY"), 200);
    EXPECT_EQ(YmComClose(handle), 0);

    handle = YmComOpen(nullptr, "com3", 115200); // the subkey's name ignores letter case
    ASSERT_GT(handle, 0);
    EXPECT_EQ(comm::ComForm->pos(), QPoint(300, 200));
    EXPECT_EQ(YmComClose(handle), 0);

    Pty other;
    ASSERT_TRUE(other.ok());
    pointPort(1, other.path());
    handle = YmComOpen(nullptr, "COM1", 115200);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(comm::ComForm->pos(), QPoint(40, 50));
    EXPECT_EQ(YmComClose(handle), 0);
    EXPECT_EQ(storedInteger("COM1", "DspX"), 40);
    EXPECT_EQ(storedInteger("COM1", "DspY"), 50);
}

// A place stored on a larger screen: the window is shown on this one, and that place is kept.
TEST_F(ProgressWindow, AStoredPlaceOffThisScreenIsShownOnIt)
{
    screenfit::install(*qApp); // as every program does at start
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    storePosition("COM2", area.right() + 400, area.bottom() + 300);
    open(2);
    Seen seen;
    QRect shown;
    lookThenStop(seen, [&shown] { shown = comm::ComForm->frameGeometry(); });
    QByteArray name;
    QByteArray fields;
    EXPECT_EQ(YmRecvFile(handle, "", 1, 1, name, fields), 1);
    ASSERT_TRUE(seen.visible);
    EXPECT_TRUE(area.contains(shown))
        << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
    EXPECT_EQ(storedInteger("COM2", "DspX"), shown.x());
    EXPECT_EQ(storedInteger("COM2", "DspY"), shown.y());
    EXPECT_EQ(YmComClose(handle), 0);
}

TEST_F(ProgressWindow, DisplayModeOffHidesAllButTheJobSettingsSend)
{
    ASSERT_TRUE(writeFile(txFolder + "prg.pd4", QByteArray(100, 'p')));
    ASSERT_TRUE(writeFile(txFolder + "set.bnf", QByteArray(500, ' ') + "\r\n"));
    enum class Op { Send, Bnf, Receive };
    const struct {
        int dspMode;
        Op op;
        bool visible;
        int result;
    } cases[] = {
        {0, Op::Send, false, 2}, {0, Op::Receive, false, 1}, {0, Op::Bnf, true, 2},
        {1, Op::Send, true, 2},  {1, Op::Receive, true, 1},  {1, Op::Bnf, true, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.dspMode) + " " + std::to_string(int(c.op)));
        comm::resetLibraryState();
        storePosition("COM2", 120, 90);
        open(2, {{"DspMode", c.dspMode}});
        Seen seen;
        lookThenStop(seen);
        QByteArray name;
        QByteArray fields;
        const int result = c.op == Op::Send  ? YmSendFile(handle, "prg.pd4", "", "")
                           : c.op == Op::Bnf ? YmSendBnf(handle, "set.bnf", "CNF800.BNF", "500")
                                             : YmRecvFile(handle, "", 0, 0, name, fields);
        EXPECT_EQ(result, c.result);
        ASSERT_TRUE(seen.taken);
        EXPECT_EQ(seen.visible, c.visible);
        // The stored place is read only while the window is to be shown.
        if (c.dspMode)
            EXPECT_EQ(seen.pos, QPoint(120, 90));
        else
            EXPECT_NE(seen.pos, QPoint(120, 90));
        EXPECT_FALSE(comm::Busy);
        EXPECT_EQ(YmComClose(handle), 0);
    }
}

TEST_F(ProgressWindow, ClosingThePortDuringATransferEndsItWithACancel)
{
    open(1);
    int closed = -1;
    bool busyBefore = false;
    after(300, [&] {
        busyBefore = comm::Busy;
        closed = YmComClose(handle);
    });
    QByteArray name = "stale";
    QByteArray fields = "stale";
    EXPECT_EQ(YmRecvFile(handle, "", 1, 0, name, fields), 1);
    EXPECT_TRUE(busyBefore);
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(name, QByteArray());
    EXPECT_EQ(fields, QByteArray());
    EXPECT_EQ(comm::YmHandle, -1);
    EXPECT_FALSE(comm::ComForm);
}

TEST_F(ProgressWindow, TheCloseBoxAndEscapeEndAContinuousReceiveAsTheStopButtonDoes)
{
    const struct {
        const char *way;
        std::function<void()> press;
    } ways[] = {
        {"stop button", [] { clickStop(); }},
        {"close box", [] { comm::ComForm->close(); }},
        {"Escape",
         [] {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(comm::ComForm.get(), &escape);
         }},
    };
    open(1);
    for (const auto &w : ways) {
        SCOPED_TRACE(w.way);
        after(300, w.press);
        // Without an answer to the press the receive would wait for ever: the stop button ends it late.
        QTimer late;
        late.setSingleShot(true);
        QObject::connect(&late, &QTimer::timeout, [] { clickStop(); });
        late.start(3000);
        QElapsedTimer timer;
        timer.start();
        QByteArray name;
        QByteArray fields;
        EXPECT_EQ(YmRecvFile(handle, "", 1, 1, name, fields), 1);
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_FALSE(comm::Busy);
        EXPECT_FALSE(comm::ComForm->isVisible());
    }
    EXPECT_EQ(YmComClose(handle), 0);
}

TEST_F(ProgressWindow, AQuitDuringATransferStillLetsTheWaitServeEvents)
{
    open(1);
    ASSERT_TRUE(writeFile(txFolder + "prg.pd4", QByteArray(3000, 'p')));
    // Once the application quits no event loop runs: the wait must go on serving events itself, or
    // the stop below would never arrive and the call would not return.
    after(200, [] { QCoreApplication::exit(0); });
    after(400, [] { clickStop(); });
    EXPECT_EQ(YmSendFile(handle, "prg.pd4", "", ""), 2);
    EXPECT_FALSE(comm::Busy);

    // Running the application's loop once more ends the quit; its end drops the window and the port.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_FALSE(comm::ComForm);
    EXPECT_EQ(comm::YmHandle, -1);
    EXPECT_FALSE(comm::YmReady);
}

} // namespace
