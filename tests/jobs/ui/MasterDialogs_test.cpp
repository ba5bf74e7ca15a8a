#include "jobs/ui/DefMaster.h"
#include "jobs/ui/SetGyoumu.h"
#include "jobs/ui/SetMaster.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using platform::MsgResult;

namespace {

TMstDat master(const char *name, int refs)
{
    TMstDat m;
    m.MFName = QString::fromLatin1(name);
    m.QDNum = refs + 1;
    m.KeySize = 13;
    m.QDSize.fill(10);
    return m;
}

void refer(TKoData &item, int number)
{
    item.KMstFlag = true;
    item.KMFNo = number;
    item.KMstChk = true;
}

// Three masters. Job 1 (mode A): data items "商品", "得意先" (master 2, the one edited) and
// "数量" (master 3); job 2 (mode B): its first data item on master 3; job 1's group item on master 1.
void fillSet(TSetData &set)
{
    InitSetData(set);
    set.MstDat[0] = master("SHOHIN.DAT", 2);
    set.MstDat[1] = master("TOKUI.DAT", 1);
    set.MstDat[2] = master("TANTO.DAT", 3);
    set.MstNum = 3;
    TGyData &a = set.GyData[0];
    a.GrCount = 1;
    InitKoData(a.GrKoDa[0], QStringLiteral("店"), u'A');
    refer(a.GrKoDa[0], 1);
    a.DaCount = 3;
    InitKoData(a.DaKoDa[0], QStringLiteral("商品"), u'A');
    InitKoData(a.DaKoDa[1], QStringLiteral("得意先"), u'A');
    InitKoData(a.DaKoDa[2], QStringLiteral("数量"), u'b');
    refer(a.DaKoDa[1], 2);
    refer(a.DaKoDa[2], 3);
    TAddGyDat add = set.AddGyDat;
    add.GyMode = GyModeIndex(u'B');
    InitGyData(set.GyData[1], add);
    refer(set.GyData[1].DaKoDa[0], 3);
    set.GyCount = 2;
}

const masterdef::ItemRef edited{0, false, 1};

void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void pick(QListWidget *list, int row)
{
    list->setCurrentRow(row);
    emit list->itemClicked(list->item(row));
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

class MasterDialogsTest : public testing::Test {
protected:
    testsupport::RecordingUi ui;
    std::unique_ptr<TSetData> set = std::make_unique<TSetData>();
    void SetUp() override { fillSet(*set); }
};

} // namespace

TEST_F(MasterDialogsTest, DefinitionDialogAddsAndOverwrites)
{
    masterdef::MasterCopy copy(*set);
    TDefMasterForm form(copy, *set, edited);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_EQ(form.MasterLB->count(), 3);
    EXPECT_FALSE(form.DeleteBtn->isEnabled());
    EXPECT_FALSE(form.EndBtn->isEnabled());
    EXPECT_FALSE(form.QDSizeNE[1]->isVisible());

    pick(form.MasterLB, 2);
    EXPECT_EQ(form.MFNameSE->text().toStdString(), "TANTO.DAT");
    EXPECT_EQ(form.QDefNCB->currentIndex(), 2);
    EXPECT_TRUE(form.QDSizeNE[2]->isVisible());
    EXPECT_FALSE(form.QDSizeNE[3]->isVisible());
    EXPECT_TRUE(form.DeleteBtn->isEnabled());
    EXPECT_TRUE(form.EndBtn->isEnabled());

    // A reserved extension cannot be typed: the edit keeps the last name it took.
    retype(form.MFNameSE, QStringLiteral("new.bnf"));
    EXPECT_EQ(form.MFNameSE->text().toStdString(), "NEW.BN");
    EXPECT_GE(ui.beepCount(), 1);
    EXPECT_FALSE(form.EndBtn->isEnabled());
    QTest::keyClick(form.MFNameSE, Qt::Key_End);
    QTest::keyClick(form.MFNameSE, Qt::Key_Backspace);
    QTest::keyClick(form.MFNameSE, Qt::Key_Backspace);
    QTest::keyClicks(form.MFNameSE, QStringLiteral("dat"));
    EXPECT_EQ(form.MFNameSE->text().toStdString(), "NEW.DAT");

    // Checks first: a shown width that is empty.
    choose(form.QDefNCB, 3);
    EXPECT_TRUE(form.QDSizeNE[3]->isVisible());
    form.QDSizeNE[3]->clear();
    form.ChangeBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "参照データ桁数を入力してください。");
    EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "入力エラー");
    EXPECT_TRUE(form.QDSizeNE[3]->hasFocus());

    // A new master with four reference fields.
    retype(form.QDSizeNE[3], QStringLiteral("12"));
    form.ChangeBtn->click();
    ASSERT_EQ(copy.MstNum0(), 4);
    EXPECT_EQ(copy.MstDat0()[3].MFName.toStdString(), "NEW.DAT");
    EXPECT_EQ(copy.MstDat0()[3].QDNum, 5);
    EXPECT_EQ(copy.MstDat0()[3].QDSize, (std::array<int, 5>{10, 10, 10, 12, 10}));
    EXPECT_EQ(form.MasterLB->count(), 4);
    EXPECT_EQ(form.MasterLB->currentRow(), 3);
    EXPECT_TRUE(form.Stored);
    EXPECT_TRUE(form.EndBtn->isEnabled());
    EXPECT_EQ(set->MstNum, 3) << "the set waits for the reference dialog";

    // The same name again asks before it overwrites; No leaves the master as it was.
    ui.clear();
    retype(form.KeySizeNE, QStringLiteral("8"));
    ui.queueAnswer(MsgResult::No);
    form.ChangeBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(),
              "同一ファイル名のマスターが存在します。\r\nフィールドデータを上書きしますか？");
    EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "マスター変更");
    EXPECT_EQ(copy.MstDat0()[3].KeySize, 13);
    ui.queueAnswer(MsgResult::Yes);
    form.ChangeBtn->click();
    EXPECT_EQ(copy.MstDat0()[3].KeySize, 8);
    EXPECT_EQ(copy.MstNum0(), 4);

    // Changed and not stored: closing asks.
    ui.clear();
    retype(form.KeySizeNE, QStringLiteral("9"));
    ui.queueAnswer(MsgResult::No);
    form.CancelBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "変更したデータを破棄してもいいですか？");
    EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "マスター追加/変更");
    EXPECT_TRUE(form.isVisible());
    ui.queueAnswer(MsgResult::Yes);
    form.CancelBtn->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MasterDialogsTest, DefinitionDialogRefusesTheTwentyFirstAndAUsedMaster)
{
    masterdef::MasterCopy copy(*set);
    TDefMasterForm form(copy, *set, edited);
    form.show();

    // Master 3 is used by items other than the edited one.
    pick(form.MasterLB, 2);
    form.DeleteBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "他の項目で使用していますので、削除できません。");
    EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "マスター削除");
    EXPECT_EQ(copy.MstNum0(), 3);

    // Master 2 only by the edited item: it may go, after a question.
    ui.clear();
    pick(form.MasterLB, 1);
    ui.queueAnswer(MsgResult::No);
    form.DeleteBtn->click();
    EXPECT_EQ(copy.MstNum0(), 3);
    ui.queueAnswer(MsgResult::Yes);
    form.DeleteBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 2u);
    EXPECT_EQ(ui.messageBoxes()[1].text.toStdString(), "削除してもいいですか？");
    EXPECT_EQ(copy.MstNum0(), 2);
    EXPECT_EQ(form.MasterLB->count(), 2);
    EXPECT_EQ(form.MasterLB->item(1)->text().toStdString(), "TANTO.DAT");
    EXPECT_EQ(form.Sel, -1);
    EXPECT_FALSE(form.DeleteBtn->isEnabled());
    EXPECT_EQ(form.Deleted, std::vector<int>{1});

    for (int i = copy.MstNum0(); i < MaxMstCount; ++i) {
        masterdef::MasterFields f;
        f.MFName = QStringLiteral("M%1.DAT").arg(i);
        ASSERT_GE(copy.add(f), 0);
    }
    ui.clear();
    retype(form.MFNameSE, QStringLiteral("LAST.DAT"));
    form.ChangeBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "これ以上マスターファイルを追加できません。");
    EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "入力エラー");
    EXPECT_EQ(copy.MstNum0(), MaxMstCount);
}

TEST_F(MasterDialogsTest, ReferenceDialogChecksAndConfirms)
{
    TSetMasterForm form(*set, edited);
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(itemsOf(form.MasterCB), (QStringList{"SHOHIN.DAT", "TOKUI.DAT", "TANTO.DAT"}));
    EXPECT_EQ(form.MasterCB->currentIndex(), 1);
    EXPECT_EQ(itemsOf(form.QD00CB), (QStringList{"参照データ1"}));
    EXPECT_FALSE(form.DQFPanel->isVisible());
    EXPECT_FALSE(form.EndBtn->isEnabled());
    EXPECT_FALSE(form.MKeyTopNE->isEnabled());

    choose(form.MasterCB, 2);
    EXPECT_EQ(itemsOf(form.QD00CB), (QStringList{"参照データ1", "参照データ2", "参照データ3"}));
    EXPECT_EQ(itemsOf(form.QDCountCB), (QStringList{"0", "1", "2", "3"}));
    EXPECT_TRUE(form.EndBtn->isEnabled());
    choose(form.QDCountCB, 2);
    EXPECT_TRUE(form.DQFPanel->isVisible());
    EXPECT_TRUE(form.QDCB[1]->isVisible());
    EXPECT_FALSE(form.QDCB[2]->isVisible());
    EXPECT_EQ(itemsOf(form.SaveCB[0]), (QStringList{"得意先", "数量"}));
    choose(form.QDCB[0], 2);
    choose(form.SaveCB[0], 1);
    choose(form.SaveCB[1], 0);

    // The partial key: its start takes up to 3500, and 9999.
    form.SetMKeyCheck->click();
    EXPECT_TRUE(form.MKeyTopNE->isEnabled());
    form.MKeyTopNE->setFocus();
    QTest::keyClicks(form.MKeyTopNE, QStringLiteral("3600"));
    EXPECT_EQ(form.MKeyTopNE->text().toStdString(), "360");

    const struct {
        std::function<void()> before;
        const char *message;
        QWidget *focus;
    } failures[] = {
        {[] {}, "部分検索キーを設定してください。", form.MKeyLenNE},
        {[&] { QTest::keyClicks(form.MKeyLenNE, QStringLiteral("4")); },
         "データ参照の参照データを設定してください。", form.QDCB[1]},
    };
    for (const auto &f : failures) {
        SCOPED_TRACE(f.message);
        ui.clear();
        f.before();
        form.EndBtn->click();
        ASSERT_EQ(ui.messageBoxes().size(), 1u);
        EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), f.message);
        EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "入力エラー");
        EXPECT_TRUE(f.focus->hasFocus());
        EXPECT_TRUE(form.isVisible());
    }
    choose(form.QDCB[1], 0);
    form.DspStrChk->click();
    choose(form.QD00CB, 1);
    ui.clear();
    form.EndBtn->click();
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(form.SetChanged);

    const TKoData &item = set->GyData[0].DaKoDa[1];
    EXPECT_EQ(item.KMFNo, 3);
    EXPECT_TRUE(item.KMFKeySet);
    EXPECT_EQ(item.KMFKeyTop, 360);
    EXPECT_EQ(item.KMFKeyLen, 4);
    EXPECT_EQ(item.DspQDNo, 2);
    EXPECT_EQ(item.SaveQDNum, 2);
    EXPECT_EQ(item.QDNo[0], 3);
    EXPECT_EQ(item.QDNo[1], 1);
    EXPECT_EQ(item.SDNo[0], 2) << "the list index of the receiving item";
    EXPECT_EQ(item.SDNo[1], 1);
    EXPECT_EQ(set->MstDat[2].UseCount, 3);
    EXPECT_EQ(set->MstDat[1].UseCount, 0);
}

// Deleting the edited item's own master in the definition dialog: the selection goes, the later
// master's items follow it on confirm; cancel leaves the set as it was.
TEST_F(MasterDialogsTest, ADeletedMasterReachesTheSetOnlyOnConfirm)
{
    const auto deleteMaster2 = [](QDialog &dialog) {
        auto &def = static_cast<TDefMasterForm &>(dialog);
        pick(def.MasterLB, 1);
        def.DeleteBtn->click();
        def.EndBtn->click();
    };
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
        fillSet(*set);
        ui.clear();
        TSetMasterForm form(*set, edited);
        form.show();
        ui.queueAnswer(MsgResult::Yes); // delete
        ui.queueForm(deleteMaster2);
        form.AddMasterBtn->click();
        ASSERT_EQ(ui.forms().size(), 1u);
        EXPECT_EQ(ui.forms()[0].caption.toStdString(), "マスターファイル追加/変更");
        EXPECT_EQ(itemsOf(form.MasterCB), (QStringList{"SHOHIN.DAT", "TANTO.DAT"}));
        EXPECT_EQ(form.MasterCB->currentIndex(), -1) << "its own master went";
        EXPECT_TRUE(form.EndBtn->isEnabled());
        EXPECT_EQ(set->MstNum, 3);
        if (confirm) {
            choose(form.MasterCB, 0);
            form.EndBtn->click();
            EXPECT_EQ(form.result(), QDialog::Accepted);
            EXPECT_EQ(set->MstNum, 2);
            EXPECT_EQ(set->MstDat[1].MFName.toStdString(), "TANTO.DAT");
            EXPECT_EQ(set->GyData[0].DaKoDa[1].KMFNo, 1);
            EXPECT_EQ(set->GyData[0].DaKoDa[2].KMFNo, 2);
            EXPECT_EQ(set->GyData[1].DaKoDa[0].KMFNo, 2);
            EXPECT_EQ(set->GyData[0].GrKoDa[0].KMFNo, 1);
        } else {
            ui.queueAnswer(MsgResult::Yes); // discard
            form.CancelBtn->click();
            EXPECT_EQ(ui.messageBoxes().back().caption.toStdString(), "マスター参照設定");
            EXPECT_EQ(set->MstNum, 3);
            EXPECT_EQ(set->MstDat[1].MFName.toStdString(), "TOKUI.DAT");
            EXPECT_EQ(set->GyData[0].DaKoDa[1].KMFNo, 2);
            EXPECT_EQ(set->GyData[0].DaKoDa[2].KMFNo, 3);
        }
        EXPECT_FALSE(form.isVisible());
    }
}

TEST_F(MasterDialogsTest, TheJobPagesButtonOpensTheReferenceOfTheCurrentItem)
{
    TSetGyForm editor(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    editor.show();
    editor.NewTBtn->click();
    fillSet(editor.Set());
    editor.Set().GyData[0].TmpDaNo = 1;
    editor.DspList->setCurrentRow(1);
    emit editor.DspList->itemClicked(editor.DspList->currentItem());
    ASSERT_TRUE(editor.SetMasterBtn->isEnabled());
    ui.queueForm([](QDialog &dialog) {
        auto &form = static_cast<TSetMasterForm &>(dialog);
        EXPECT_EQ(form.MasterCB->currentIndex(), 1);
        form.MstChk->click();
        form.EndBtn->click();
    });
    editor.SetMasterBtn->click();
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_EQ(ui.forms()[0].caption.toStdString(), "マスター参照設定");
    EXPECT_FALSE(editor.Set().GyData[0].DaKoDa[1].KMstChk);
    EXPECT_TRUE(editor.ChangeFlag);
}

namespace {

// The editor on the job page with fillSet's records, job 1 current.
struct EditorOnSet {
    TSetGyForm editor{QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200};
    EditorOnSet()
    {
        editor.show();
        QApplication::setActiveWindow(&editor);
        editor.NewTBtn->click();
        fillSet(editor.Set());
        editor.DspList->setCurrentRow(1);
        emit editor.DspList->itemClicked(editor.DspList->currentItem());
    }
    // The popup of list opened on row with a right click, then entry triggered.
    void popup(QListWidget *list, int row, QAction *entry)
    {
        QPoint at(5, 5); // empty space of an empty list
        if (list->item(row) != nullptr) {
            pick(list, row); // refills the list
            at = list->visualItemRect(list->item(row)).center();
        }
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
        editor.PopupMenu->hide();
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
    }
};

// The reference dialog of the current item: master 1 deleted in the definition dialog, then the
// reference dialog confirmed or cancelled.
void queueDeleteFirstMaster(testsupport::RecordingUi &ui, bool confirm)
{
    ui.queueForm([&ui, confirm](QDialog &dialog) {
        auto &reference = static_cast<TSetMasterForm &>(dialog);
        ui.queueForm([&ui](QDialog &inner) {
            auto &definition = static_cast<TDefMasterForm &>(inner);
            pick(definition.MasterLB, 0);
            ui.queueAnswer(MsgResult::Yes);
            definition.DeleteBtn->click();
            EXPECT_EQ(definition.MasterLB->count(), 2);
            definition.EndBtn->click();
        });
        reference.AddMasterBtn->click();
        if (confirm) {
            reference.EndBtn->click();
        } else {
            ui.queueAnswer(MsgResult::Yes); // discard the changes
            reference.CancelBtn->click();
        }
    });
}

} // namespace

TEST_F(MasterDialogsTest, ADeletedMasterIsFollowedOnTheCutAndCopyStacks)
{
    for (const bool confirm : {true, false}) {
        SCOPED_TRACE(confirm ? "confirmed" : "cancelled");
        EditorOnSet e;
        TSetGyForm &editor = e.editor;
        // The group item on master 1 is cut, so master 1 is used by no item of the set; job 2 with
        // its item on master 3 is copied.
        e.popup(editor.GroupList, 0, editor.LstCut);
        ASSERT_EQ(editor.TmpKoDa.size(), 1);
        e.popup(editor.GMenuList, 1, editor.LstCopy);
        pick(editor.GMenuList, 0);
        pick(editor.DataList, 1);
        editor.ChangeFlag = false;

        queueDeleteFirstMaster(ui, confirm);
        editor.SetMasterBtn->click();
        EXPECT_EQ(ui.pendingForms(), 0);
        EXPECT_EQ(editor.Set().MstNum, confirm ? 2 : 3);
        EXPECT_EQ(editor.ChangeFlag, confirm) << "a cancelled dialog leaves the set as it was";

        // Pasted back, the entries refer to the masters they were taken with, or to none.
        e.popup(editor.GroupList, 0, editor.LstInst);
        const TKoData &pasted = editor.Set().GyData[0].GrKoDa[0];
        EXPECT_EQ(pasted.KName.toStdString(), "店");
        EXPECT_TRUE(pasted.KMstFlag);
        EXPECT_EQ(pasted.KMFNo, confirm ? 0 : 1);
        e.popup(editor.GMenuList, 0, editor.LstInst);
        EXPECT_EQ(editor.Set().GyData[0].DaKoDa[0].KMFNo, confirm ? 2 : 3);
        EXPECT_EQ(editor.Set().GyData[2].DaKoDa[0].KMFNo, confirm ? 2 : 3) << "the job it was copied from";
        ui.clear();
        editor.ChangeFlag = false;
    }
}

TEST_F(MasterDialogsTest, Screenshots)
{
    set->GyData[0].DaKoDa[1].SaveQDNum = 1;
    set->GyData[0].DaKoDa[1].QDNo[0] = 1;
    set->GyData[0].DaKoDa[1].SDNo[0] = 2;
    set->GyData[0].DaKoDa[1].DspQDNo = 1;
    TSetMasterForm reference(*set, edited);
    testsupport::shootDialog(reference, QStringLiteral("master-reference.png"));
    masterdef::MasterCopy copy(*set);
    TDefMasterForm definition(copy, *set, edited);
    definition.show();
    pick(definition.MasterLB, 2);
    testsupport::shootDialog(definition, QStringLiteral("master-definition.png"));
}
