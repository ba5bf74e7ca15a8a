#include "MasterTestSupport.h"

#include "masters/MasterEditModel.h"
#include "masters/MasterSave.h"
#include "masters/RecordStore.h"
#include "masters/SaveJournal.h"
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

namespace {

const std::vector<int> OldWidths{8, 10};
const std::vector<int> NewWidths{5, 3, 4};

// New records of another length, so that one file of each pair cannot pass for the other's.
QByteArray newRecords(int n)
{
    QByteArray all;
    for (int i = 1; i <= n; ++i)
        all += rawRecord({"N" + QByteArray::number(i), "abc", "xyz"}, NewWidths);
    return all;
}

// The step a save stops at in the child, counted from 1; 0 lets it run.
int stopAt = 0;
bool stopAtStep(SaveStep step)
{
    if (static_cast<int>(step) + 1 == stopAt)
        ::raise(SIGKILL);
    return true;
}
bool failAtStep(SaveStep step)
{
    return static_cast<int>(step) + 1 != stopAt;
}

class MasterSaveTest : public testing::Test {
protected:
    void SetUp() override
    {
        master = casePath("m/master.dat");
        widthFile = casePath("m/master.fld");
        ASSERT_TRUE(writeFile(casePath("new.src"), newRecords(30)));
    }
    void TearDown() override { masters::setSaveStepHook(nullptr); }

    void writeOldPair(bool withWidthFile = true)
    {
        ASSERT_TRUE(writeFile(master, numberedRecords(40)));
        if (withWidthFile) {
            ASSERT_TRUE(writeFile(widthFile, "8,10\r\n"));
        }
    }
    // The new records, saved from a store as the editor's save does.
    bool save(QString *error = nullptr)
    {
        masters::RecordStore store;
        return store.create(casePath("work.tmp"), 14) && store.copyIn(casePath("new.src")) &&
               masters::saveMasterFiles(store, master, NewWidths, error);
    }
    // Runs the save in a child that is killed at the step; true when it was.
    bool killedAt(int step)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            stopAt = step;
            masters::setSaveStepHook(stopAtStep);
            ::_exit(save() ? 0 : 1);
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "the save failed";
        }
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }
    QStringList files() const
    {
        return QDir(casePath("m")).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    void expectOldPair(bool withWidthFile = true)
    {
        EXPECT_EQ(readFile(master), numberedRecords(40));
        if (withWidthFile)
            EXPECT_EQ(readFile(widthFile), QByteArray("8,10\r\n"));
        else
            EXPECT_FALSE(QFileInfo::exists(widthFile));
    }
    void expectNewPair()
    {
        EXPECT_EQ(readFile(master), newRecords(30));
        EXPECT_EQ(readFile(widthFile), QByteArray("5,3,4\r\n"));
    }

    QString master;
    QString widthFile;
};

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
                ASSERT_TRUE(masters::recoverInterruptedSave(master));
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
        stopAt = step;
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
            ASSERT_TRUE(masters::recoverInterruptedSave(master));
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

TEST_F(MasterSaveTest, OnlyLeftoversOfOurOwnNamesAreRemoved)
{
    writeOldPair();
    const QStringList leftovers{"master.dat.tmp-Ab12Cd", "master.fld.old-xY98zW", "master.fld.tmp-000000",
                                "master.dat.old-QQQQQQ", "master.dat.saving.tmp-a1b2c3"};
    const QStringList others{"master.dat.tmp-toolong", "master.dat.tmp-ab", "master.dat.bak",
                             "other.dat.tmp-Ab12Cd", "master.dat.tmp-a.b-c"};
    for (const QString &name : leftovers + others)
        ASSERT_TRUE(writeFile(casePath("m/" + name), newRecords(2)));
    // A link of a leftover's name is nobody's leftover, and its target stays.
    ASSERT_TRUE(writeFile(casePath("keep.dat"), "keep"));
    ASSERT_TRUE(QFile::link(casePath("keep.dat"), casePath("m/master.dat.tmp-LiNk00")));
    // A file of the journal's name that is no journal is left alone, and puts nothing back.
    ASSERT_TRUE(writeFile(casePath("m/master.dat.saving"), "notes\n"));

    ASSERT_TRUE(masters::recoverInterruptedSave(master));
    QStringList expected =
        others + QStringList{"master.dat", "master.fld", "master.dat.tmp-LiNk00", "master.dat.saving"};
    expected.sort();
    QStringList present = QDir(casePath("m")).entryList(QDir::Files | QDir::System, QDir::Name);
    EXPECT_EQ(present, expected);
    EXPECT_EQ(readFile(casePath("keep.dat")), QByteArray("keep"));
    expectOldPair();
}

// Saves that kept no journal renamed the new width file first: stopped before the master's rename,
// they left new widths beside the old records, with the old width file kept beside it.
TEST_F(MasterSaveTest, AWidthFileThatDoesNotFitIsReplacedByAKeptOneThatDoes)
{
    const struct {
        const char *what;
        QByteArray kept;
        bool opens;
    } cases[] = {
        {"the kept widths fit", "8,10\r\n", true},
        {"the kept widths do not fit either", "8,11\r\n", false},
        {"the kept file is no width file", "K0001   R0001\r\n", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
        ASSERT_TRUE(writeFile(master, numberedRecords(40)));
        ASSERT_TRUE(writeFile(widthFile, "5,3,4\r\n"));
        ASSERT_TRUE(writeFile(casePath("m/master.dat.tmp-Ab12Cd"), newRecords(30)));
        ASSERT_TRUE(writeFile(casePath("m/master.fld.old-Qw12Er"), c.kept));
        testsupport::RecordingUiService ui;
        masters::MasterEditModel model(ui);
        EXPECT_EQ(model.openFile(master, {}), c.opens);
        EXPECT_EQ(readFile(master), numberedRecords(40));
        EXPECT_EQ(readFile(widthFile), c.opens ? c.kept : QByteArray("5,3,4\r\n"));
        if (c.opens) {
            EXPECT_EQ(model.MstFld, OldWidths);
            EXPECT_EQ(model.recordCount(), 40);
        }
        EXPECT_EQ(files(), (QStringList{"master.dat", "master.fld"}));
    }
    // A pair that fits keeps its width file whatever was kept beside it.
    ASSERT_TRUE(writeFile(widthFile, "8,10\r\n"));
    ASSERT_TRUE(writeFile(casePath("m/master.fld.old-Qw12Er"), "4,4,10\r\n"));
    ASSERT_TRUE(masters::recoverInterruptedSave(master));
    EXPECT_EQ(readFile(widthFile), QByteArray("8,10\r\n"));
    EXPECT_EQ(files(), (QStringList{"master.dat", "master.fld"}));
}

TEST_F(MasterSaveTest, AJournalPutsBackOnlyFilesOfItsOwnNames)
{
    const struct {
        const char *text;
        bool valid;
    } cases[] = {
        {"harbrook master save 1\nmaster Ab12Cd\nwidth -\n", true},
        {"harbrook master save 1\nmaster -\nwidth -\n", true},
        {"harbrook master save 1\nmaster ../../x\nwidth -\n", false},
        {"harbrook master save 1\nmaster Ab12C/\nwidth -\n", false},
        {"harbrook master save 1\nmaster Ab12Cd7\nwidth -\n", false},
        {"harbrook master save 1\nwidth -\nmaster -\n", false},
        {"harbrook master save 2\nmaster -\nwidth -\n", false},
        {"harbrook master save 1\nmaster -\nwidth -", false},
        {"harbrook master save 1\nmaster -\nwidth -\nextra\n", false},
        {"", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<masters::SaveJournal> journal = masters::SaveJournal::parse(c.text);
        EXPECT_EQ(journal.has_value(), c.valid);
        if (journal) {
            EXPECT_EQ(journal->text(), QByteArray(c.text));
        }
    }
}

} // namespace
