// Adding, deleting and moving jobs and items through the editor's buttons, dialogs, lists and
// popup, under the offscreen platform.

#include "JobsUiTestSupport.h"

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/DelName.h"
#include "jobs/ui/SetGyoumu.h"

#include "common/ui/ListCombo.h"
#include "jobs/AddInHandOff.h"
#include "jobs/LetterCodes.h"
#include "platform/Registry.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

using platform::MsgResult;

namespace {

class JobListsTest : public testing::Test {
protected:
    void SetUp() override
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        form->NewTBtn->click();
        form->DspList->setCurrentRow(1);
        emit form->DspList->itemClicked(form->DspList->currentItem());
    }

    TSetData &set() { return form->Set(); }
    TGyData &job() { return set().GyData[set().TmpGyNo]; }
    static void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // The add-job dialog filled and confirmed.
    void queueAddJob(const QString &name, char mode, const QString &file = QString())
    {
        ui.queueForm([=](QDialog &dialog) {
            auto &add = static_cast<TAdGyForm &>(dialog);
            EXPECT_EQ(add.windowTitle().toStdString(), "業務追加");
            QTest::keyClicks(add.GNameSE, name);
            choose(add.GModeCB, GyModeIndex(QLatin1Char(mode)));
            if (!file.isEmpty())
                QTest::keyClicks(mode == 'X' ? add.PNameSE : add.FNameSE, file);
            add.AddBtn->click();
        });
    }
    void queueAddItem(const QString &name, int type)
    {
        ui.queueForm([=](QDialog &dialog) {
            auto &add = static_cast<TAdKoForm &>(dialog);
            QTest::keyClicks(add.AddNameSE, name);
            add.KDTypeCB->setCurrentIndex(type);
            add.EndBtn->click();
        });
    }
    void queuePick(int row)
    {
        ui.queueForm([row](QDialog &dialog) {
            auto &del = static_cast<TDelNameForm &>(dialog);
            del.DelList->setCurrentRow(row);
            del.DelBtn->click();
        });
    }
    // Opens the popup of list with a right click on row.
    void rightClick(QListWidget *list, int row)
    {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, rect.center());
    }
    int rows(QListWidget *list) const { return list->count(); }
    static void select(QListWidget *list, int row)
    {
        list->setCurrentRow(row);
        emit list->itemClicked(list->item(row));
    }

    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
};

TEST_F(JobListsTest, AddingAJobAppendsItAndShowsIt)
{
    form->ChangeFlag = false;
    queueAddJob(QStringLiteral("SYUKA"), 'B', QStringLiteral("syuka.dat"));
    form->GyNewBtn->click();
    ASSERT_EQ(set().GyCount, 2);
    EXPECT_EQ(set().TmpGyNo, 1);
    EXPECT_EQ(rows(form->GMenuList), 2);
    EXPECT_EQ(form->GMenuList->currentRow(), 1);
    EXPECT_EQ(job().GyName.toStdString(), "SYUKA");
    EXPECT_EQ(job().FName.toStdString(), "SYUKA.DAT");
    EXPECT_EQ(job().DaCount, 2);
    EXPECT_EQ(form->GModeCB->currentIndex(), GyModeIndex(u'B'));
    EXPECT_TRUE(form->ChangeFlag);

    // Closed with its close box, also right after an add: nothing is added.
    ui.queueForm([](QDialog &dialog) {
        QTest::keyClicks(static_cast<TAdGyForm &>(dialog).GNameSE, QStringLiteral("X"));
        dialog.close();
    });
    form->GyNewBtn->click();
    EXPECT_EQ(set().GyCount, 2);

    // Mode r needs a receive file name; the dialog stays open.
    ui.queueForm([&](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("RCV"));
        choose(add.GModeCB, GyModeIndex(u'r'));
        EXPECT_TRUE(add.RcvProtoPanel->isVisibleTo(&add));
        EXPECT_FALSE(add.SaveGroup->isVisibleTo(&add));
        add.AddBtn->click();
        EXPECT_TRUE(add.isVisible());
        EXPECT_EQ(ui.messageBoxes().back().text.toStdString(), "受信ファイル名を入力してください");
        EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "業務追加");
        QTest::keyClicks(add.RNameSE, QStringLiteral("ferpk600.pd4")); // the terminal's own program
        EXPECT_EQ(add.RNameSE->text().toStdString(), "FERPK600.PD");
        QTest::keyClick(add.RNameSE, Qt::Key_Backspace);
        QTest::keyClicks(add.RNameSE, QStringLiteral("D"));
        add.AddBtn->click();
    });
    form->GyNewBtn->click();
    ASSERT_EQ(set().GyCount, 3);
    EXPECT_EQ(job().RName.toStdString(), "FERPK600.PD");
    EXPECT_EQ(job().GyMode, GyModeIndex(u'r'));
}

TEST_F(JobListsTest, AnAddInJobKeepsItsUpperCasedProgramName)
{
    queueAddJob(QStringLiteral("ADDIN"), 'X', QStringLiteral("abc.pd4"));
    form->GyNewBtn->click();
    ASSERT_EQ(set().GyCount, 2);
    EXPECT_EQ(job().PName.toStdString(), "ABC.PD4");
    EXPECT_EQ(job().AddInCount, 0);
    EXPECT_EQ(job().AddInData[0].size(), AddInFirstLength);
}

// The new job's settings program is run from "追加" until its settings are confirmed: one that
// ends without confirming keeps the dialog open; without a settings program the job is added.
TEST_F(JobListsTest, AnAddInJobRunsItsSettingsProgramBeforeItIsAdded)
{
    // A settings program that ends without confirming.
    const QString folder = jobsuitest::folderWithSettingsProgram("exit 0\n");
    form = std::make_unique<TSetGyForm>(folder, QStringLiteral("COM1"), 115200);
    SetUp();

    ui.queueForm([&](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("ADDIN"));
        choose(add.GModeCB, GyModeIndex(u'X'));
        EXPECT_TRUE(add.PNameSE->isVisibleTo(&add));
        EXPECT_FALSE(add.SaveGroup->isVisibleTo(&add));
        QTest::keyClicks(add.PNameSE, QStringLiteral("none.pd4"));
        add.AddInSetBtn->click();
        EXPECT_EQ(ui.messageBoxes().back().text.toStdString(), "設定プログラムはありません。");
        EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "アドインプログラム設定");
        EXPECT_FALSE(add.SetAdinFlg);
        add.PNameSE->clear();
        QTest::keyClicks(add.PNameSE, QStringLiteral("test.pd4"));
        EXPECT_EQ(add.PNameSE->text().toStdString(), "TEST.PD4");
        add.AddBtn->click();
        EXPECT_TRUE(add.isVisible()) << "not confirmed in its settings program";
        add.PNameSE->clear();
        QTest::keyClicks(add.PNameSE, QStringLiteral("none.pd4"));
        add.AddBtn->click();
    });
    form->GyNewBtn->click();
    ASSERT_EQ(set().GyCount, 2);
    EXPECT_EQ(job().PName.toStdString(), "NONE.PD4");
    EXPECT_EQ(job().AddInCount, 0);
}

// Settings confirmed in one program's settings program are not added with a job of another
// program: changing the name takes them back.
TEST_F(JobListsTest, AnotherProgramNameDropsTheConfirmedSettings)
{
    const QString released = testsupport::caseFolder() + QStringLiteral("/answered");
    // The settings program ends once the test has written its confirmed answer.
    const QString folder = jobsuitest::folderWithSettingsProgram(
        QStringLiteral("while [ ! -e '%1' ]; do sleep 0.05; done\n").arg(released).toUtf8());
    form = std::make_unique<TSetGyForm>(folder, QStringLiteral("COM1"), 115200);
    SetUp();
    const auto answer = [released] {
        platform::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(jobs::AddInHandOffKey, true));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("SetCount"), 1));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para0"), QStringLiteral("CONFIRMED")));
        ASSERT_TRUE(reg.WriteString(QStringLiteral("Para1"), QStringLiteral("P1")));
        ASSERT_TRUE(reg.WriteInteger(QStringLiteral("Result"), 1));
        reg.CloseKey();
        QFile(released).open(QIODevice::WriteOnly);
    };

    ui.queueForm([&](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("ADDIN"));
        choose(add.GModeCB, GyModeIndex(u'X'));
        QTest::keyClicks(add.PNameSE, QStringLiteral("test.pd4"));
        QTimer::singleShot(50, answer);
        add.AddInSetBtn->click();
        ASSERT_TRUE(add.SetAdinFlg);
        // One character more and back again is another name for a moment: the answer goes.
        QTest::keyClick(add.PNameSE, Qt::Key_Backspace);
        QTest::keyClicks(add.PNameSE, QStringLiteral("4"));
        EXPECT_EQ(add.PNameSE->text().toStdString(), "TEST.PD4");
        EXPECT_FALSE(add.SetAdinFlg);
        add.PNameSE->selectAll();
        QTest::keyClicks(add.PNameSE, QStringLiteral("none.pd4"));
        add.AddBtn->click();
    });
    form->GyNewBtn->click();
    ASSERT_EQ(set().GyCount, 2);
    EXPECT_EQ(job().PName.toStdString(), "NONE.PD4");
    EXPECT_EQ(job().AddInCount, 0);
    EXPECT_EQ(job().AddInData[0].left(1).toStdString(), "0");
}

TEST_F(JobListsTest, TheLimitsMakeTheButtonsDoNothing)
{
    // One job cannot be deleted.
    form->GyDelBtn->click();
    EXPECT_TRUE(ui.forms().empty());
    for (int i = 1; i < MaxGyCount; ++i) {
        queueAddJob(QStringLiteral("J%1").arg(i), 'A');
        form->GyNewBtn->click();
    }
    ASSERT_EQ(set().GyCount, MaxGyCount);
    ui.clear();
    ui.queueForm([](QDialog &dialog) { dialog.close(); });
    form->GyNewBtn->click();
    EXPECT_EQ(ui.pendingForms(), 1) << "the add-job dialog was shown at 20 jobs";
    ui.clear();

    // Deleting the current last job makes the new last one current.
    queuePick(19);
    ui.queueAnswer(MsgResult::Yes);
    form->GyDelBtn->click();
    EXPECT_EQ(ui.messageBoxes().back().text.toStdString(), "「J19」の業務を\r\n削除してもいいですか？");
    EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "業務削除");
    EXPECT_EQ(set().GyCount, 19);
    EXPECT_EQ(set().TmpGyNo, 18);
    EXPECT_EQ(form->GMenuList->currentRow(), 18);
    // "No" keeps it.
    queuePick(0);
    ui.queueAnswer(MsgResult::No);
    form->GyDelBtn->click();
    EXPECT_EQ(set().GyCount, 19);

    for (int i = 0; i < MaxKoCount; ++i) {
        queueAddItem(QStringLiteral("G%1").arg(i), 0);
        form->GrNewBtn->click();
    }
    EXPECT_EQ(job().GrCount, MaxKoCount);
    ui.queueForm([](QDialog &dialog) { dialog.close(); });
    form->GrNewBtn->click();
    EXPECT_EQ(ui.pendingForms(), 1);
}

TEST_F(JobListsTest, ItemsAreAddedAndTheOnlyGroupItemDeleted)
{
    ui.queueForm([&](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        EXPECT_EQ(add.windowTitle().toStdString(), "ｸﾞﾙｰﾌﾟ項目追加");
        add.EndBtn->click();
        EXPECT_EQ(ui.messageBoxes().back().text.toStdString(), "入力してください");
        EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "ｸﾞﾙｰﾌﾟ項目名");
        EXPECT_TRUE(add.isVisible());
        QTest::keyClicks(add.AddNameSE, QStringLiteral("TANTO"));
        add.EndBtn->click();
    });
    form->GrNewBtn->click();
    ASSERT_EQ(job().GrCount, 1);
    EXPECT_TRUE(job().TmpGrFlg);
    EXPECT_EQ(form->GroupList->currentRow(), 0);
    EXPECT_TRUE(form->DataList->selectedItems().isEmpty());
    EXPECT_EQ(form->KNameSE->text().toStdString(), "TANTO");

    queueAddItem(QStringLiteral("DATE"), DataTypeIndex(u'X'));
    form->DaNewBtn->click();
    ASSERT_EQ(job().DaCount, 2);
    EXPECT_FALSE(job().TmpGrFlg);
    EXPECT_EQ(job().TmpDaNo, 1);
    EXPECT_EQ(job().DaKoDa[1].KDType, DataTypeIndex(u'X'));
    EXPECT_EQ(form->KDTypeCB->currentIndex(), DataTypeIndex(u'X'));
    EXPECT_TRUE(form->GroupList->selectedItems().isEmpty());

    form->GroupList->setCurrentRow(0);
    emit form->GroupList->itemClicked(form->GroupList->item(0));
    queuePick(0);
    ui.queueAnswer(MsgResult::Yes);
    form->GrDelBtn->click();
    EXPECT_EQ(job().GrCount, 0);
    EXPECT_FALSE(job().TmpGrFlg);
    EXPECT_EQ(form->DataList->currentRow(), 1);
    EXPECT_EQ(form->KNameSE->text().toStdString(), "DATE");
}

TEST_F(JobListsTest, ThePopupCutsAndPastesItemsAcrossJobs)
{
    queueAddItem(QStringLiteral("G0"), 0);
    form->GrNewBtn->click();
    queueAddItem(QStringLiteral("G1"), 0);
    form->GrNewBtn->click();
    queueAddJob(QStringLiteral("SECOND"), 'A');
    form->GyNewBtn->click();
    form->GMenuList->setCurrentRow(0);
    emit form->GMenuList->itemClicked(form->GMenuList->item(0));
    ASSERT_EQ(set().TmpGyNo, 0);

    // A right click on the group list acts on the current item and keeps the selection.
    form->GroupList->setCurrentRow(0);
    emit form->GroupList->itemClicked(form->GroupList->item(0));
    rightClick(form->GroupList, 1);
    EXPECT_EQ(form->GroupList->currentRow(), 0);
    EXPECT_EQ(form->TmpList, 1);
    EXPECT_TRUE(form->LstCut->isEnabled());
    EXPECT_FALSE(form->LstInst->isEnabled());
    form->PopupMenu->hide();
    form->LstCut->trigger();
    EXPECT_EQ(job().GrCount, 1);
    EXPECT_EQ(job().GrKoDa[0].KName.toStdString(), "G1");
    EXPECT_EQ(form->TmpKoDa.size(), 1);
    EXPECT_TRUE(ui.messageBoxes().empty()) << "a cut asks nothing";

    // Into the data list of the other job, before its current item.
    form->GMenuList->setCurrentRow(1);
    emit form->GMenuList->itemClicked(form->GMenuList->item(1));
    rightClick(form->DataList, 0);
    EXPECT_EQ(form->TmpList, 2);
    EXPECT_TRUE(form->LstInst->isEnabled());
    EXPECT_FALSE(form->LstDel->isEnabled()); // one data item
    form->PopupMenu->hide();
    form->LstInst->trigger();
    ASSERT_EQ(job().DaCount, 2);
    EXPECT_EQ(job().DaKoDa[0].KName.toStdString(), "G0");
    EXPECT_EQ(job().TmpDaNo, 0);
    EXPECT_EQ(form->DataList->item(0)->text().toStdString(), "G0");
    EXPECT_EQ(form->KNameSE->text().toStdString(), "G0");
    EXPECT_TRUE(form->TmpKoDa.empty());

    // Deleting from the popup asks with the list's caption.
    rightClick(form->DataList, 0);
    form->PopupMenu->hide();
    ui.queueAnswer(MsgResult::Yes);
    form->LstDel->trigger();
    EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "データ項目削除");
    EXPECT_EQ(job().DaCount, 1);
}

TEST_F(JobListsTest, TwentyOneCopiesKeepTheLastTwenty)
{
    rightClick(form->GMenuList, 0);
    form->PopupMenu->hide();
    EXPECT_FALSE(form->LstDel->isEnabled());
    EXPECT_FALSE(form->LstCut->isEnabled());
    EXPECT_FALSE(form->LstPast->isEnabled());
    EXPECT_TRUE(form->LstCopy->isEnabled());
    for (int i = 0; i < 21; ++i)
        form->LstCopy->trigger();
    EXPECT_EQ(form->TmpGyDa.size(), 20);
    // The popup is opened for each insert, as the operator does.
    for (int i = 0; i < 25; ++i) {
        rightClick(form->GMenuList, 0);
        form->PopupMenu->hide();
        form->LstInst->trigger();
    }
    EXPECT_EQ(set().GyCount, MaxGyCount);
    EXPECT_EQ(form->TmpGyDa.size(), 1);
    EXPECT_EQ(rows(form->GMenuList), MaxGyCount);
}

TEST_F(JobListsTest, ArrowKeysSelectAndEmptySpaceKeepsTheSelection)
{
    queueAddJob(QStringLiteral("SECOND"), 'A');
    form->GyNewBtn->click();
    select(form->GMenuList, 0);
    ASSERT_EQ(set().TmpGyNo, 0);
    form->GMenuList->setFocus();
    QTest::keyClick(form->GMenuList, Qt::Key_Down);
    EXPECT_EQ(set().TmpGyNo, 1);
    EXPECT_EQ(form->GNameSE->text().toStdString(), "SECOND");

    // Below the last row: nothing is chosen and nothing is lost.
    const QPoint empty(5, form->GMenuList->viewport()->height() - 3);
    QTest::mouseClick(form->GMenuList->viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(form->GMenuList->currentRow(), 1);
    EXPECT_EQ(form->GMenuList->selectedItems().size(), 1);
    EXPECT_EQ(set().TmpGyNo, 1);

    queueAddItem(QStringLiteral("D2"), 0);
    form->DaNewBtn->click();
    select(form->DataList, 0);
    form->DataList->setFocus();
    QTest::keyClick(form->DataList, Qt::Key_Down);
    EXPECT_EQ(job().TmpDaNo, 1);
    EXPECT_EQ(form->KNameSE->text().toStdString(), "D2");
}

// A left click beside the rows takes the list's current entry again: the group list gives the
// current item back to its group item, the data list to its data item.
TEST_F(JobListsTest, ALeftClickBesideTheRowsReselectsTheCurrentEntry)
{
    queueAddItem(QStringLiteral("G1"), 0);
    form->GrNewBtn->click();
    queueAddItem(QStringLiteral("G2"), 0);
    form->GrNewBtn->click();
    select(form->GroupList, 1);
    select(form->DataList, 0);
    ASSERT_FALSE(job().TmpGrFlg);
    ASSERT_EQ(form->GroupList->currentRow(), -1);

    const struct {
        QListWidget *list;
        bool group;
        const char *shown;
    } cases[] = {
        {form->GroupList, true, "G2"},
        {form->DataList, false, "新しいデータ項目"},
        {form->GroupList, true, "G2"},
        {form->GMenuList, true, "G2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list->objectName().toStdString());
        QWidget *viewport = c.list->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 3));
        EXPECT_EQ(job().TmpGrFlg, c.group);
        EXPECT_EQ(form->KNameSE->text().toStdString(), c.shown);
        EXPECT_EQ(form->GroupList->currentRow(), c.group ? 1 : -1);
        EXPECT_EQ(form->DataList->currentRow(), c.group ? -1 : 0);
        EXPECT_EQ(form->GMenuList->currentRow(), 0);
    }
}

// A mode J job reads its first data item by barcode: a fresh one is refused at the save until
// its barcode reading is set, and then written with it; its other items are keyed.
TEST_F(JobListsTest, AFreshModeJJobAsksForItsBarcodeSettingsBeforeSave)
{
    queueAddJob(QStringLiteral("JOB J"), 'J');
    form->GyNewBtn->click();
    ASSERT_EQ(set().TmpGyNo, 1);
    ASSERT_EQ(GyModeLetter(job().GyMode), u'J');
    queueAddItem(QStringLiteral("D2"), 0);
    form->DaNewBtn->click();
    select(form->DataList, 0);
    EXPECT_EQ(form->KDInpCB->currentText().toStdString(), "バーコード");
    EXPECT_FALSE(form->KDInpCB->isEnabled());
    EXPECT_TRUE(form->SetBarCode->isVisible());

    const QString path = testsupport::caseFolder() + QStringLiteral("/j.bnf");
    ui.queueFileName(path);
    form->SaveTBtn->click();
    const auto boxes = ui.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.toStdString(), "バーコード読取を設定してください。");
    EXPECT_EQ(form->focusWidget(), form->SetBarCode);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(job().DaKoDa[0].KDInpMode, 2);
    EXPECT_EQ(job().DaKoDa[1].KDInpMode, 1);

    // With a symbology the set is saved, the first item lettered as barcode input with its block.
    ui.clear();
    job().DaKoDa[0].KBar = QStringLiteral("A");
    ui.queueFileName(path);
    form->SaveTBtn->click();
    EXPECT_TRUE(ui.messageBoxes().empty());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_GE(lines.size(), 6);
    const struct {
        int line;
        char input;
        char symbology;
    } cases[] = {{4, 'B', 'A'}, {5, 'K', ' '}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(lines[c.line].at(30), c.input);
        EXPECT_EQ(lines[c.line].at(132), c.symbology);
    }
}

// Only a drag from the same list is taken: a drop from another application (no source in this
// one) is refused and moves nothing. (The offscreen platform runs no drag of its own, so the moves
// themselves are tested on the records.)
TEST_F(JobListsTest, ADropFromElsewhereMovesNothing)
{
    queueAddItem(QStringLiteral("B"), 0);
    form->DaNewBtn->click();
    form->ChangeFlag = false;
    QWidget *viewport = form->DataList->viewport();
    const QPoint at = form->DataList->visualItemRect(form->DataList->item(1)).center();
    QMimeData mime;
    mime.setText(QStringLiteral("B"));
    QDragMoveEvent over(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &over);
    EXPECT_FALSE(over.isAccepted());
    QDropEvent drop(QPointF(at), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    EXPECT_EQ(job().DaKoDa[0].KName.toStdString(), "新しいデータ項目");
    EXPECT_EQ(job().DaKoDa[1].KName.toStdString(), "B");
    EXPECT_EQ(form->DataList->count(), 2);
    EXPECT_FALSE(form->ChangeFlag);
}

} // namespace
