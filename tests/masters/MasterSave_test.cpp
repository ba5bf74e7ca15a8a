#include "SaveFixture.h"

#include "masters/MasterEditModel.h"
#include "masters/MasterSave.h"
#include "masters/RecordStore.h"
#include "masters/SaveJournal.h"
#include "masters/SaveRecovery.h"
#include "tests/support/FileSystemFaults.h"
#include "tests/support/RecordingUiService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using masters::SaveStep;
using namespace masterstest;
using namespace savetest;

namespace {

int failingStep = 0;
bool failAtStep(SaveStep step)
{
    return static_cast<int>(step) + 1 != failingStep;
}

using MasterSaveTest = SaveFixture;

TEST_F(MasterSaveTest, AKillAtAnyStepLeavesTheOldOrTheNewPairOnceTheNextOpenRan)
{
    const QStringList pair{"master.dat", "master.fld"};
    int killed = 0;
    for (int step = 1;; ++step) {
        SCOPED_TRACE("killed at step " + std::to_string(step));
        ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
        writeOldPair();
        if (!killedAt(step))
            break;
        ++killed;
        testsupport::RecordingUiService ui;
        masters::MasterEditModel model(ui);
        const bool opened = model.openFile(master, {});
        ASSERT_TRUE(opened) << (ui.messageBoxes().empty() ? std::string()
                                                          : ui.messageBoxes()[0].text.toStdString());
        // Until the journal is gone the old pair holds; after it, the new one.
        if (step <= static_cast<int>(SaveStep::FoldersSynced) + 1) {
            expectOldPair();
            EXPECT_EQ(model.MstFld, OldWidths);
            EXPECT_EQ(model.recordCount(), 40);
        } else {
            expectNewPair();
            EXPECT_EQ(model.MstFld, NewWidths);
            EXPECT_EQ(model.recordCount(), 30);
        }
        EXPECT_EQ(files(), pair);
    }
    EXPECT_EQ(killed, static_cast<int>(SaveStep::KeptRemoved) + 1);
    expectNewPair(); // the run that was not stopped
    EXPECT_EQ(files(), pair);
}

int recoveryStopAt = 0;
int recoverySteps = 0;
void stopRecoveryAtStep()
{
    if (++recoverySteps == recoveryStopAt)
        ::raise(SIGKILL);
}

// A recovery killed after any of its renames and removals is finished by the next open.
TEST_F(MasterSaveTest, ARecoveryKilledAtAnyStepIsFinishedByTheNextOpen)
{
    const QStringList pair{"master.dat", "master.fld"};
    int recoveriesKilled = 0;
    for (int step = static_cast<int>(SaveStep::JournalWritten) + 1;
         step <= static_cast<int>(SaveStep::KeptRemoved); ++step) {
        for (int recoveryStep = 1;; ++recoveryStep) {
            SCOPED_TRACE(testing::Message()
                         << "save killed at step " << step << ", recovery at step " << recoveryStep);
            ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
            writeOldPair();
            ASSERT_TRUE(killedAt(step));
            const pid_t child = ::fork();
            if (child == 0) {
                recoveryStopAt = recoveryStep;
                masters::setRecoveryStepHook(stopRecoveryAtStep);
                ::_exit(masters::recoverInterruptedSave(master).ok() ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
            if (!killed) {
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            }
            testsupport::RecordingUiService ui;
            masters::MasterEditModel model(ui);
            ASSERT_TRUE(model.openFile(master, {}));
            if (step <= static_cast<int>(SaveStep::FoldersSynced) + 1) {
                expectOldPair();
            } else {
                expectNewPair();
            }
            EXPECT_EQ(files(), pair);
            if (!killed)
                break;
            ++recoveriesKilled;
        }
    }
    EXPECT_GT(recoveriesKilled, 10);
}

TEST_F(MasterSaveTest, TheNextSaveAfterAKillCleansUpAndWrites)
{
    const struct {
        bool oldMaster;
        bool oldWidthFile;
    } starts[] = {{true, true}, {true, false}, {false, false}};
    for (const auto &start : starts) {
        for (const SaveStep step :
             {SaveStep::MasterWritten, SaveStep::JournalWritten, SaveStep::MasterReplaced,
              SaveStep::WidthReplaced, SaveStep::JournalRemoved}) {
            SCOPED_TRACE(testing::Message() << "old master " << start.oldMaster << ", old width file "
                                            << start.oldWidthFile << ", step " << static_cast<int>(step));
            ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
            ASSERT_TRUE(QDir().mkpath(casePath("m")));
            if (start.oldMaster)
                writeOldPair(start.oldWidthFile);
            ASSERT_TRUE(killedAt(static_cast<int>(step) + 1));
            // Before the next save the old pair (or none) is put back.
            if (step < SaveStep::JournalRemoved) {
                ASSERT_TRUE(masters::recoverInterruptedSave(master).ok());
                if (start.oldMaster)
                    expectOldPair(start.oldWidthFile);
                else
                    EXPECT_EQ(files(), QStringList());
            }
            QString error;
            ASSERT_TRUE(save(&error)) << error.toStdString();
            expectNewPair();
            EXPECT_EQ(files(), (QStringList{"master.dat", "master.fld"}));
        }
    }
}

TEST_F(MasterSaveTest, AFailureAtAnyStepKeepsTheOldPairAndLeavesNothing)
{
    const QStringList pair{"master.dat", "master.fld"};
    for (int step = 1; step <= static_cast<int>(SaveStep::KeptRemoved) + 1; ++step) {
        SCOPED_TRACE("failed at step " + std::to_string(step));
        ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
        writeOldPair();
        failingStep = step;
        masters::setSaveStepHook(failAtStep);
        QString error;
        const bool saved = save(&error);
        masters::setSaveStepHook(nullptr);
        if (step <= static_cast<int>(SaveStep::FoldersSynced) + 1) {
            EXPECT_FALSE(saved);
            EXPECT_FALSE(error.isEmpty());
            expectOldPair();
            EXPECT_EQ(files(), pair);
        } else {
            // The new pair holds once the journal is gone; what is left goes with the next open.
            EXPECT_TRUE(saved) << error.toStdString();
            expectNewPair();
            ASSERT_TRUE(masters::recoverInterruptedSave(master).ok());
            expectNewPair();
            EXPECT_EQ(files(), pair);
        }
    }
}

TEST_F(MasterSaveTest, AFullDiskAtAnyPointOfTheSaveKeepsTheOldPairAndLeavesNothing)
{
    int saved = 0;
    int refused = 0;
    for (const int freePages : {0, 1, 2, 3, 4, 6, 16}) {
        for (const int records : {30, 600, 3000}) {
            SCOPED_TRACE(testing::Message() << freePages << " pages free, " << records << " new records");
            ASSERT_TRUE(writeFile(casePath("new.src"), newRecords(records)));
            testsupport::SmallFileSystem small(64 * 1024);
            if (!small.mounted())
                GTEST_SKIP() << small.why().toStdString();
            master = small.filePath("master.dat");
            widthFile = small.filePath("master.fld");
            writeOldPair();
            // Fill the rest, a page at a time, then give back the pages wanted.
            QFile filler(small.filePath("filler"));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray page(4096, 'f');
            while (filler.write(page) == page.size()) {
            }
            filler.close();
            ASSERT_TRUE(filler.resize(std::max<qint64>(0, filler.size() - freePages * 4096)));
            QString error;
            if (save(&error)) {
                ++saved;
                EXPECT_EQ(readFile(master), newRecords(records));
                EXPECT_EQ(readFile(widthFile), QByteArray("5,3,4\r\n"));
            } else {
                ++refused;
                EXPECT_FALSE(error.isEmpty());
                expectOldPair();
            }
            EXPECT_EQ(QDir(small.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name),
                      (QStringList{"filler", "master.dat", "master.fld"}));
        }
    }
    EXPECT_GT(saved, 0);
    EXPECT_GT(refused, 0);
}

TEST_F(MasterSaveTest, AMasterThatIsALinkHasItsWidthFileBesideItsTarget)
{
    const QString target = casePath("real/target.dat");
    ASSERT_TRUE(writeFile(target, numberedRecords(40)));
    ASSERT_TRUE(writeFile(casePath("real/target.fld"), "8,10\r\n"));
    // A width file beside the link that does not belong to the records.
    ASSERT_TRUE(writeFile(widthFile, "4,4\r\n"));
    ASSERT_TRUE(QFile::link(target, master));

    testsupport::RecordingUiService ui;
    masters::MasterEditModel model(ui);
    ASSERT_TRUE(model.openFile(master, {}));
    EXPECT_EQ(model.MstFld, OldWidths);
    EXPECT_EQ(model.recordCount(), 40);
    EXPECT_EQ(model.cell(2, 2), QStringLiteral("R0002"));

    ASSERT_TRUE(save());
    EXPECT_TRUE(QFileInfo(master).isSymLink());
    EXPECT_EQ(readFile(target), newRecords(30));
    EXPECT_EQ(readFile(casePath("real/target.fld")), QByteArray("5,3,4\r\n"));
    EXPECT_EQ(readFile(widthFile), QByteArray("4,4\r\n"));
    EXPECT_EQ(QDir(casePath("real")).entryList(QDir::Files), (QStringList{"target.dat", "target.fld"}));

    // A link whose target bears a width file's name is refused like that name.
    ASSERT_TRUE(QFile::link(casePath("real/target.fld"), casePath("m/widths.dat")));
    EXPECT_FALSE(model.saveFile(casePath("m/widths.dat")));
    EXPECT_FALSE(model.openFile(casePath("m/widths.dat"), {}));
    ASSERT_EQ(ui.messageBoxCount(), 2);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("target.fld\r\nのファイル名は指定できません。"));
    EXPECT_EQ(ui.messageBoxes()[1].text, QStringLiteral("target.fld\r\nのファイルは指定できません。"));
    EXPECT_EQ(readFile(casePath("real/target.fld")), QByteArray("5,3,4\r\n"));
}

} // namespace

namespace {

masters::SaveJournal sampleJournal()
{
    masters::SaveJournal journal;
    journal.suffix = QStringLiteral("Ab12Cd");
    journal.folderDevice = 2049;
    journal.folderInode = 131;
    journal.masterName = QByteArray("マスター 1.dat").toLower();
    journal.widthPath = "/data/masters/m 1.fld";
    journal.widthFolderDevice = 2049;
    journal.widthFolderInode = 132;
    journal.oldMaster = masters::FileIdentity{2049, 140, 800, 1700000000123456789, {}};
    journal.newMaster = masters::FileIdentity{2049, 141, 420, 1700000001000000000, {}};
    journal.newWidth = masters::FileIdentity{2049, 142, 7, 1700000001000000001, QByteArray(64, 'a')};
    return journal;
}

TEST(SaveJournal, OnlyTheWholeTextOfAJournalParses)
{
    const QByteArray text = sampleJournal().text();
    const std::optional<masters::SaveJournal> parsed = masters::SaveJournal::parse(text);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->text(), text);
    EXPECT_EQ(parsed->masterName, sampleJournal().masterName);
    EXPECT_FALSE(parsed->oldWidth.has_value());

    QByteArray changedDigit = text;
    changedDigit[changedDigit.indexOf("141")] = '7';
    QByteArray withNul = text;
    withNul.insert(text.size() / 2, '\0');
    QByteArray crlf = text;
    crlf.replace("\n", "\r\n");
    QByteArray huge = text;
    huge += QByteArray(10 * 1024 * 1024, 'x');
    const struct {
        const char *what;
        QByteArray text;
    } broken[] = {
        {"another version", QByteArray(text).replace("master save 2", "master save 3")},
        {"the version before", "harbrook master save 1\nmaster Ab12Cd\nwidth -\n"},
        {"CR LF lines", crlf},
        {"empty", ""},
        {"10 MB", huge},
        {"a NUL", withNul},
        {"a changed number", changedDigit},
        {"no last line end", text.chopped(1)},
        {"a line more", text + "extra\n"},
    };
    for (const auto &b : broken) {
        SCOPED_TRACE(b.what);
        EXPECT_FALSE(masters::SaveJournal::parse(b.text).has_value());
    }
}

} // namespace
