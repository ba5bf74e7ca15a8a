// Two programs on one master: a save in one and an open or save in the other take turns, and each
// save's result says which pair the disk holds.
#include "SaveFixture.h"

#include "masters/MasterEditModel.h"
#include "masters/MasterLock.h"
#include "tests/support/RecordingUiService.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using masters::SaveStep;
using namespace masterstest;
using namespace savetest;

namespace {

class SaveLockTest : public SaveFixture {
protected:
    void restart()
    {
        ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
        writeOldPair();
    }
    // What the last save, of the third pair, wrote, and nothing else.
    void expectThirdPairOnly();
};

const std::vector<int> ThirdWidths{6, 6};

QByteArray thirdRecords()
{
    QByteArray all;
    for (int i = 1; i <= 25; ++i)
        all += rawRecord({"T" + QByteArray::number(i), "third"}, ThirdWidths);
    return all;
}

// A pipe the two processes signal each other through, a byte at a time.
struct Signal {
    int fds[2] = {-1, -1};
    Signal() { EXPECT_EQ(::pipe(fds), 0); }
    ~Signal()
    {
        closeEnd(0);
        closeEnd(1);
    }
    void give() const { EXPECT_EQ(::write(fds[1], "x", 1), 1); }
    // False when the other end is gone.
    bool take() const
    {
        char byte = 0;
        return ::read(fds[0], &byte, 1) == 1;
    }
    // After the fork each process keeps one end, so that a process that ends (or a test that stops
    // early) lets the other one go on.
    void onlyGive() { closeEnd(0); }
    void onlyTake() { closeEnd(1); }

private:
    void closeEnd(int end)
    {
        if (fds[end] >= 0)
            ::close(fds[end]);
        fds[end] = -1;
    }
};

int pauseStep = 0;
const Signal *paused = nullptr;
const Signal *goOn = nullptr;
bool pauseAtStep(SaveStep step)
{
    if (static_cast<int>(step) + 1 == pauseStep) {
        paused->give();
        goOn->take();
    }
    return true;
}

// The saves of this process stop at the step (counted from 1), say so, and wait for goOnSignal.
void pauseSavesAt(int step, const Signal &pausedSignal, const Signal &goOnSignal)
{
    pauseStep = step;
    paused = &pausedSignal;
    goOn = &goOnSignal;
    masters::setSaveStepHook(pauseAtStep);
}

// Lets the paused save go on the first time the waiting program looks at the lock, which shows that
// it waits; once it is through in any case.
struct Release {
    const Signal &signal;
    bool given = false;
    void operator()()
    {
        if (!given)
            signal.give();
        given = true;
    }
};

int exitCode(pid_t child)
{
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

void SaveLockTest::expectThirdPairOnly()
{
    EXPECT_EQ(readFile(master), thirdRecords());
    EXPECT_EQ(readFile(widthFile), QByteArray("6,6\r\n"));
    EXPECT_EQ(files(), (QStringList{"master.dat", "master.fld"}));
}

constexpr int Steps = static_cast<int>(SaveStep::KeptRemoved) + 1;

TEST_F(SaveLockTest, AnOpenAndASaveWaitForASaveInAnotherProgram)
{
    for (int step = 1; step <= Steps; ++step) {
        SCOPED_TRACE("the other program's save paused at step " + std::to_string(step));
        restart();
        Signal pausedSignal;
        Signal goOnSignal;
        const pid_t child = ::fork();
        if (child == 0) {
            pausedSignal.onlyGive();
            goOnSignal.onlyTake();
            pauseSavesAt(step, pausedSignal, goOnSignal);
            ::_exit(save() ? 0 : 1);
        }
        pausedSignal.onlyTake();
        goOnSignal.onlyGive();
        ASSERT_TRUE(pausedSignal.take());
        auto release = std::make_shared<Release>(Release{goOnSignal});
        masters::setMasterLockWait(std::chrono::seconds(20), [release] { (*release)(); });
        testsupport::RecordingUiService ui;
        masters::MasterEditModel model(ui);
        const bool opened = model.openFile(master, {});
        const bool waited = release->given;
        (*release)();
        EXPECT_TRUE(waited) << "the open did not wait for the save";
        EXPECT_EQ(exitCode(child), 0) << "the other program's save failed";
        // That save succeeded: the open saw its pair, and the disk holds it.
        ASSERT_TRUE(opened);
        EXPECT_EQ(model.MstFld, NewWidths);
        EXPECT_EQ(model.recordCount(), 30);
        expectNewPair();
        QString error;
        ASSERT_TRUE(saveRecords(thirdRecords(), ThirdWidths, &error)) << error.toStdString();
        expectThirdPairOnly();
    }
}

TEST_F(SaveLockTest, ASavePausedAtAnyStepIsWaitedForByAnotherProgramsOpenAndSave)
{
    for (int step = 1; step <= Steps; ++step) {
        SCOPED_TRACE("this program's save paused at step " + std::to_string(step));
        restart();
        Signal pausedSignal;
        Signal goOnSignal;
        const pid_t child = ::fork();
        if (child == 0) {
            // The other program: opens once this one's save paused, then saves a pair of its own.
            pausedSignal.onlyTake();
            goOnSignal.onlyGive();
            if (!pausedSignal.take())
                ::_exit(10);
            Release release{goOnSignal};
            masters::setMasterLockWait(std::chrono::seconds(20), [&release] { release(); });
            testsupport::RecordingUiService ui;
            masters::MasterEditModel model(ui);
            const bool opened = model.openFile(master, {});
            const bool waited = release.given;
            release();
            const bool sawNewPair = opened && model.MstFld == NewWidths && model.recordCount() == 30;
            const bool saved = saveRecords(thirdRecords(), ThirdWidths);
            ::_exit((waited ? 0 : 1) | (sawNewPair ? 0 : 2) | (saved ? 0 : 4));
        }
        pausedSignal.onlyGive();
        goOnSignal.onlyTake();
        pauseSavesAt(step, pausedSignal, goOnSignal);
        QString error;
        const bool saved = save(&error);
        masters::setSaveStepHook(nullptr);
        EXPECT_TRUE(saved) << error.toStdString();
        const int code = exitCode(child);
        EXPECT_EQ(code & 1, 0) << "the other program's open did not wait";
        EXPECT_EQ(code & 2, 0) << "the other program's open did not see the pair saved here";
        EXPECT_EQ(code & 4, 0) << "the other program's save failed";
        EXPECT_LT(code, 8);
        expectThirdPairOnly();
    }
}

TEST_F(SaveLockTest, AMasterHeldForTheWholeWaitIsRefusedWithItsNameAndLeftAlone)
{
    writeOldPair();
    Signal pausedSignal;
    Signal goOnSignal;
    const pid_t child = ::fork();
    if (child == 0) {
        pausedSignal.onlyGive();
        goOnSignal.onlyTake();
        pauseSavesAt(static_cast<int>(SaveStep::MasterReplaced) + 1, pausedSignal, goOnSignal);
        ::_exit(save() ? 0 : 1);
    }
    pausedSignal.onlyTake();
    goOnSignal.onlyGive();
    ASSERT_TRUE(pausedSignal.take());
    const auto during = snapshot(casePath("m"));
    int looks = 0;
    masters::setMasterLockWait(std::chrono::milliseconds(300), [&looks] { ++looks; });
    testsupport::RecordingUiService ui;
    masters::MasterEditModel model(ui);
    EXPECT_FALSE(model.openFile(master, {}));
    EXPECT_GT(looks, 3) << "the wait did not let the windows paint";
    ASSERT_TRUE(model.newFile(ThirdWidths));
    EXPECT_FALSE(model.saveFile(master));
    ASSERT_EQ(ui.messageBoxCount(), 2);
    EXPECT_EQ(ui.messageBoxes()[0].text,
              master + QStringLiteral("\r\nは他のプログラムが使用中のため、開けません。"));
    EXPECT_EQ(ui.messageBoxes()[1].text,
              master + QStringLiteral("\r\nは他のプログラムが使用中のため、保存できません。"));
    EXPECT_EQ(snapshot(casePath("m")), during);

    // The save goes on and says so; the next open finds its pair.
    goOnSignal.give();
    EXPECT_EQ(exitCode(child), 0);
    ASSERT_TRUE(model.openFile(master, {}));
    EXPECT_EQ(model.recordCount(), 30);
    expectNewPair();
}

} // namespace
