// Recovery acts only on proof: journals and kept files that are not what a save of ours left, and
// files that only look like a save's, stay as they are, byte for byte and where they are.
#include "SaveFixture.h"

#include "masters/MasterEditModel.h"
#include "tests/support/RecordingUiService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

using masters::SaveStep;
using namespace masterstest;
using namespace savetest;

namespace {

using SaveProofTest = SaveFixture;

int afterStep(SaveStep step)
{
    return static_cast<int>(step) + 1; // killed as the save reports the step done
}

// The save's journal in folder, under the name this version of the save gives it.
QString journalIn(const QString &folder)
{
    QStringList names = entriesWith(folder, QStringLiteral(".harbrook-save-"));
    names += entriesWith(folder, QStringLiteral("master.dat.saving"));
    return names.size() == 1 ? folder + QLatin1Char('/') + names[0] : QString();
}

QString keptMasterIn(const QString &folder)
{
    QStringList names = entriesWith(folder, QStringLiteral("master.dat.harbrook-old-"));
    names += entriesWith(folder, QStringLiteral("master.dat.old-"));
    return names.size() == 1 ? folder + QLatin1Char('/') + names[0] : QString();
}

// Puts a file in place by a rename, as a copy received from elsewhere arrives.
bool arrive(const QString &path, const QByteArray &bytes)
{
    const QString incoming = casePath("incoming.tmp");
    return writeFile(incoming, bytes) &&
           ::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(path).constData()) == 0;
}

struct Opened {
    bool opened = false;
    QStringList messages;
    qint64 records = -1;
    std::vector<int> widths;
};

Opened openMaster(const QString &path)
{
    testsupport::RecordingUiService ui;
    masters::MasterEditModel model(ui);
    Opened result;
    result.opened = model.openFile(path, {});
    for (const auto &box : ui.messageBoxes())
        result.messages << box.text;
    if (result.opened) {
        result.records = model.recordCount();
        result.widths = model.MstFld;
    }
    return result;
}

TEST_F(SaveProofTest, AStaleJournalOfANewMasterRemovesNoPairThatCameLater)
{
    for (const SaveStep step :
         {SaveStep::JournalWritten, SaveStep::MasterReplaced, SaveStep::WidthReplaced}) {
        for (const bool inPlace : {false, true}) {
            SCOPED_TRACE(testing::Message() << "killed after step " << static_cast<int>(step)
                                            << (inPlace ? ", written over" : ", renamed in"));
            ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
            ASSERT_TRUE(QDir().mkpath(casePath("m")));
            ASSERT_TRUE(killedAt(afterStep(step)));
            // A pair arrives under the master's name: copied over what is there, or renamed in.
            if (inPlace) {
                ASSERT_TRUE(writeFile(master, numberedRecords(40)));
                ASSERT_TRUE(writeFile(widthFile, "8,10\r\n"));
            } else {
                ASSERT_TRUE(arrive(master, numberedRecords(40)));
                ASSERT_TRUE(arrive(widthFile, "8,10\r\n"));
            }
            const auto before = snapshot(casePath("m"));
            const Opened opened = openMaster(master);
            EXPECT_TRUE(opened.opened) << opened.messages.join(u'|').toStdString();
            EXPECT_EQ(opened.records, 40);
            EXPECT_EQ(opened.widths, OldWidths);
            EXPECT_EQ(snapshot(casePath("m")), before);
            // And a save of it works beside the journal that stays.
            QString error;
            ASSERT_TRUE(save(&error)) << error.toStdString();
            expectNewPair();
        }
    }
}

TEST_F(SaveProofTest, AJournalThatIsALinkIsNotObeyed)
{
    // Another folder's save of a master of the same name that had no width file yet, cut short
    // between its renames.
    master = casePath("other/master.dat");
    widthFile = casePath("other/master.fld");
    writeOldPair(false);
    ASSERT_TRUE(killedAt(afterStep(SaveStep::MasterReplaced)));
    const QString otherJournal = journalIn(casePath("other"));
    ASSERT_FALSE(otherJournal.isEmpty());

    // Here: a pair whose width file is a link out of the folder, and the other journal linked in
    // under every name a journal of this master has.
    master = casePath("m/master.dat");
    widthFile = casePath("m/master.fld");
    ASSERT_TRUE(writeFile(master, numberedRecords(40)));
    ASSERT_TRUE(writeFile(casePath("outside/victim.fld"), "8,10\r\n"));
    ASSERT_TRUE(QFile::link(casePath("outside/victim.fld"), widthFile));
    ASSERT_TRUE(QFile::link(otherJournal, casePath("m/master.dat.saving")));
    ASSERT_TRUE(QFile::link(otherJournal, casePath("m/.master.dat.harbrook-save-") +
                                              QFileInfo(otherJournal).fileName().right(6)));
    const auto here = snapshot(casePath("m"));
    const auto other = snapshot(casePath("other"));
    const auto outside = snapshot(casePath("outside"));

    const Opened opened = openMaster(master);
    EXPECT_TRUE(opened.opened) << opened.messages.join(u'|').toStdString();
    EXPECT_EQ(opened.records, 40);
    EXPECT_EQ(snapshot(casePath("m")), here);
    EXPECT_EQ(snapshot(casePath("other")), other);
    EXPECT_EQ(snapshot(casePath("outside")), outside);
}

TEST_F(SaveProofTest, AKeptFileThatIsALinkIsNotPutBack)
{
    writeOldPair();
    ASSERT_TRUE(killedAt(afterStep(SaveStep::MasterReplaced)));
    const QString kept = keptMasterIn(casePath("m"));
    ASSERT_FALSE(kept.isEmpty());
    ASSERT_TRUE(writeFile(casePath("outside/victim.dat"), "not a master\r\n"));
    ASSERT_TRUE(QFile::remove(kept));
    ASSERT_TRUE(QFile::link(casePath("outside/victim.dat"), kept));
    const auto here = snapshot(casePath("m"));
    const auto outside = snapshot(casePath("outside"));

    // The new master beside the old width file does not fit: the open refuses, naming the journal.
    const Opened opened = openMaster(master);
    EXPECT_FALSE(opened.opened);
    ASSERT_EQ(opened.messages.size(), 1);
    EXPECT_TRUE(opened.messages[0].startsWith(journalIn(casePath("m")) + QStringLiteral("\r\n")))
        << opened.messages[0].toStdString();
    EXPECT_EQ(snapshot(casePath("m")), here);
    EXPECT_EQ(snapshot(casePath("outside")), outside);
    EXPECT_FALSE(QFileInfo(master).isSymLink());
}

TEST_F(SaveProofTest, AJournalThatDoesNotParseIsLeftWithEverythingItNames)
{
    const struct {
        const char *what;
        std::function<QByteArray(const QByteArray &)> spoil;
    } spoilings[] = {
        {"another version", [](QByteArray t) { return t.replace("master save", "master save 9"); }},
        {"CR LF lines", [](QByteArray t) { return t.replace("\n", "\r\n"); }},
        {"empty", [](const QByteArray &) { return QByteArray(); }},
        {"10 MB", [](const QByteArray &t) { return t + QByteArray(10 * 1024 * 1024, ' '); }},
        {"a NUL", [](QByteArray t) { return t.insert(t.size() / 2, '\0'); }},
    };
    for (const auto &s : spoilings) {
        // Cut short with the old pair still in place, and between the two renames.
        for (const SaveStep step : {SaveStep::WidthKept, SaveStep::MasterReplaced}) {
            SCOPED_TRACE(testing::Message() << s.what << ", killed after step " << static_cast<int>(step));
            ASSERT_TRUE(QDir(casePath("m")).removeRecursively());
            writeOldPair();
            ASSERT_TRUE(killedAt(afterStep(step)));
            const QString journal = journalIn(casePath("m"));
            ASSERT_FALSE(journal.isEmpty());
            ASSERT_TRUE(writeFile(journal, s.spoil(readFile(journal))));
            const auto before = snapshot(casePath("m"));
            const Opened opened = openMaster(master);
            if (step == SaveStep::WidthKept) {
                EXPECT_TRUE(opened.opened) << opened.messages.join(u'|').toStdString();
                EXPECT_EQ(opened.records, 40);
            } else {
                EXPECT_FALSE(opened.opened);
                ASSERT_EQ(opened.messages.size(), 1);
                EXPECT_TRUE(opened.messages[0].startsWith(journal + QStringLiteral("\r\n")))
                    << opened.messages[0].toStdString();
            }
            EXPECT_EQ(snapshot(casePath("m")), before);
        }
    }
}

TEST_F(SaveProofTest, AJournalOfAnotherFolderIsNotObeyed)
{
    // A save cut short in another folder, its journal and kept file copied here beside a pair.
    master = casePath("other/master.dat");
    widthFile = casePath("other/master.fld");
    ASSERT_TRUE(writeFile(master, numberedRecords(40, 500)));
    ASSERT_TRUE(writeFile(widthFile, "8,10\r\n"));
    ASSERT_TRUE(killedAt(afterStep(SaveStep::MasterReplaced)));
    master = casePath("m/master.dat");
    widthFile = casePath("m/master.fld");
    writeOldPair();
    for (const QString &name :
         QDir(casePath("other")).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (name != QStringLiteral("master.dat") && name != QStringLiteral("master.fld")) {
            ASSERT_TRUE(QFile::copy(casePath("other/") + name, casePath("m/") + name));
        }
    }
    const auto before = snapshot(casePath("m"));
    const Opened opened = openMaster(master);
    EXPECT_TRUE(opened.opened) << opened.messages.join(u'|').toStdString();
    EXPECT_EQ(opened.records, 40);
    EXPECT_EQ(snapshot(casePath("m")), before);
}

TEST_F(SaveProofTest, FilesNamedLikeASavesOwnSurviveTenOpensAndSaves)
{
    master = casePath("m/ITEM");
    widthFile = casePath("m/ITEM.fld");
    writeOldPair();
    const QStringList theirs{"ITEM.saving",
                             "ITEM.tmp-201912",
                             "ITEM.old-BACKUP",
                             "ITEM.fld.old-BACKUP",
                             "ITEM.fld.tmp-201912",
                             "ITEM.fld.saving",
                             ".ITEM.harbrook-old-Ab12Cd",
                             ".ITEM.harbrook-new-Ab12Cd",
                             ".ITEM.fld.harbrook-old-Ab12Cd"};
    for (const QString &name : theirs)
        ASSERT_TRUE(writeFile(casePath("m/") + name, "the operator's " + name.toUtf8() + "\r\n"));
    // A link of such a name, too, and what it points to.
    ASSERT_TRUE(writeFile(casePath("outside/keep.dat"), "keep"));
    ASSERT_TRUE(QFile::link(casePath("outside/keep.dat"), casePath("m/ITEM.tmp-LiNk00")));
    QMap<QString, QByteArray> expected = snapshot(casePath("m"));
    expected.remove(QStringLiteral("ITEM"));
    expected.remove(QStringLiteral("ITEM.fld"));

    for (int round = 1; round <= 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        testsupport::RecordingUiService ui;
        masters::MasterEditModel model(ui);
        ASSERT_TRUE(model.openFile(master, {}));
        ASSERT_TRUE(model.saveFile(master));
        QMap<QString, QByteArray> now = snapshot(casePath("m"));
        EXPECT_EQ(now.take(QStringLiteral("ITEM")), "file:" + numberedRecords(40));
        EXPECT_EQ(now.take(QStringLiteral("ITEM.fld")), QByteArray("file:8,10\r\n"));
        EXPECT_EQ(now, expected);
    }
    EXPECT_EQ(readFile(casePath("outside/keep.dat")), QByteArray("keep"));
}

// Saves that kept no journal renamed the new width file first: stopped before the master's rename,
// they left new widths beside the old records, with the old width file kept beside it. Nothing
// proves those files a save's, so they stay, and the records that do not fit are not opened.
TEST_F(SaveProofTest, WhatSavesWithoutAJournalLeftStays)
{
    ASSERT_TRUE(writeFile(master, numberedRecords(40)));
    ASSERT_TRUE(writeFile(widthFile, "5,3,4\r\n"));
    ASSERT_TRUE(writeFile(casePath("m/master.dat.tmp-Ab12Cd"), newRecords(30)));
    ASSERT_TRUE(writeFile(casePath("m/master.fld.old-Qw12Er"), "8,10\r\n"));
    const auto before = snapshot(casePath("m"));
    const Opened opened = openMaster(master);
    EXPECT_FALSE(opened.opened);
    EXPECT_EQ(snapshot(casePath("m")), before);
}

} // namespace
