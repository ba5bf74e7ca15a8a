// An operator's day in the job settings editor, through its controls only: a new set, the base
// page, masters, jobs, items, a barcode, a cut and paste across jobs, a master deleted; the saved
// file opens as the same set and saves to the same bytes.

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/DefMaster.h"
#include "jobs/ui/SetBarCode.h"
#include "jobs/ui/SetGyoumu.h"
#include "jobs/ui/SetMaster.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::MsgResult;

namespace {

void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void select(QListWidget *list, int row)
{
    list->setCurrentRow(row);
    emit list->itemClicked(list->item(row));
}

// The popup of list on its current row, and one of its entries.
void popup(TSetGyForm &form, QListWidget *list, QAction *entry)
{
    const QListWidgetItem *row = list->currentItem();
    const QPoint at = row != nullptr ? list->visualItemRect(row).center() : QPoint(5, 5);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, at);
    form.PopupMenu->hide();
    ASSERT_TRUE(entry->isEnabled());
    entry->trigger();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Saves the set through the tool button into name in the case folder; the file's bytes.
QByteArray saveAs(testsupport::RecordingUi &ui, TSetGyForm &form, const QString &name)
{
    const QString path = QDir(testsupport::caseFolder()).filePath(name);
    ui.queueFileName(path);
    form.SaveTBtn->click();
    return readFile(path);
}

} // namespace

TEST(OperatorDay, ASetMadeThroughTheEditorSavesOpensAndSavesTheSame)
{
    testsupport::RecordingUi ui;
    TSetGyForm form(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    form.show();
    QApplication::setActiveWindow(&form);
    form.NewTBtn->click();

    // The base page: times, a buzzer, an add-in communication program chosen for transfers.
    select(form.DspList, 0);
    retype(form.APOffTimeNE, QStringLiteral("10"));
    retype(form.DspErrTimeNE, QStringLiteral("15"));
    form.BzList->setCurrentRow(2);
    retype(form.BzHzNE, QStringLiteral("3000"));
    retype(form.ComPrgSE1, QStringLiteral("comm1.pd4"));
    ASSERT_EQ(form.DataFtpCB->count(), 4);
    choose(form.DataFtpCB, 3);

    // The first job and its items: a group item, the code read from a barcode, a lot.
    select(form.DspList, 1);
    retype(form.GNameSE, QStringLiteral("NYUKA"));
    retype(form.FNameSE, QStringLiteral("nyuka.dat"));
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, QStringLiteral("TANTO"));
        add.EndBtn->click();
    });
    form.GrNewBtn->click();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, QStringLiteral("LOT"));
        add.EndBtn->click();
    });
    form.DaNewBtn->click();
    select(form.DataList, 0);
    retype(form.KNameSE, QStringLiteral("CODE"));
    choose(form.KDInpCB, 3);
    ui.queueForm([](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        bar.SymbologyChk[jobs::SymJan]->click();
        bar.EndBtn->click();
    });
    form.SetBarCode->click();

    // Two masters defined from the code's master reference, the code bound to the second.
    form.UseMasterChk->click();
    ui.queueForm([&ui](QDialog &dialog) {
        auto &reference = static_cast<TSetMasterForm &>(dialog);
        ui.queueForm([](QDialog &inner) {
            auto &definition = static_cast<TDefMasterForm &>(inner);
            for (const char *name : {"shohin.dat", "tokui.dat"}) {
                retype(definition.MFNameSE, QString::fromLatin1(name));
                definition.ChangeBtn->click();
            }
            definition.EndBtn->click();
        });
        reference.AddMasterBtn->click();
        choose(reference.MasterCB, 1);
        if (!reference.MstChk->isChecked())
            reference.MstChk->click(); // the code is checked against the master
        reference.EndBtn->click();
    });
    form.SetMasterBtn->click();
    ASSERT_EQ(form.Set().MstNum, 2);
    EXPECT_EQ(form.Set().GyData[0].DaKoDa[0].KMFNo, 2);
    EXPECT_TRUE(form.Set().GyData[0].DaKoDa[0].KMstChk);

    // Jobs of modes A and X through the add-job dialog.
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("TANA"));
        choose(add.GModeCB, GyModeIndex(u'A'));
        QTest::keyClicks(add.FNameSE, QStringLiteral("tana.dat"));
        add.AddBtn->click();
    });
    form.GyNewBtn->click();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("ADDIN"));
        choose(add.GModeCB, GyModeIndex(u'X'));
        QTest::keyClicks(add.PNameSE, QStringLiteral("abc.pd4"));
        add.AddBtn->click();
    });
    form.GyNewBtn->click();
    ASSERT_EQ(form.Set().GyCount, 3);

    // The lot moves from the first job to the second.
    select(form.GMenuList, 0);
    select(form.DataList, 1);
    popup(form, form.DataList, form.LstCut);
    select(form.GMenuList, 1);
    select(form.DataList, 0);
    popup(form, form.DataList, form.LstInst);
    ASSERT_EQ(form.Set().GyData[1].DaCount, 2);
    EXPECT_EQ(form.DataList->item(0)->text().toStdString(), "LOT");

    // Master 1 was defined by mistake: deleted, the code now refers to the master it meant.
    select(form.GMenuList, 0);
    select(form.DataList, 0);
    ui.queueForm([&ui](QDialog &dialog) {
        auto &reference = static_cast<TSetMasterForm &>(dialog);
        ui.queueForm([&ui](QDialog &inner) {
            auto &definition = static_cast<TDefMasterForm &>(inner);
            definition.MasterLB->setCurrentRow(0);
            emit definition.MasterLB->itemClicked(definition.MasterLB->item(0));
            ui.queueAnswer(MsgResult::Yes);
            definition.DeleteBtn->click();
            definition.EndBtn->click();
        });
        reference.AddMasterBtn->click();
        EXPECT_EQ(reference.MasterCB->currentIndex(), 0);
        reference.EndBtn->click();
    });
    form.SetMasterBtn->click();
    ASSERT_EQ(ui.pendingForms(), 0);
    EXPECT_EQ(ui.messageBoxCount(), 1) << "only the deletion's question";
    EXPECT_TRUE(form.ChangeFlag);

    // Validated and saved; no message.
    ui.clear();
    const QByteArray saved = saveAs(ui, form, QStringLiteral("day.bnf"));
    ASSERT_TRUE(ui.messageBoxes().empty()) << ui.messageBoxes().front().text.toStdString();
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_FALSE(form.ChangeFlag);

    // Opened again: the same set, and the same bytes when saved.
    ui.queueFileName(QDir(testsupport::caseFolder()).filePath(QStringLiteral("day.bnf")));
    form.OpenTBtn->click();
    const TSetData &set = form.Set();
    ASSERT_EQ(set.GyCount, 3);
    ASSERT_EQ(set.MstNum, 1);
    EXPECT_EQ(set.MstDat[0].MFName.toStdString(), "TOKUI.DAT");
    const TKoData &code = set.GyData[0].DaKoDa[0];
    EXPECT_EQ(code.KName.toStdString(), "CODE");
    EXPECT_TRUE(code.KMstFlag);
    EXPECT_EQ(code.KMFNo, 1);
    EXPECT_EQ(code.KDInpMode, 3);
    EXPECT_EQ(set.GyData[0].DaCount, 1);
    EXPECT_EQ(set.GyData[0].GrKoDa[0].KName.toStdString(), "TANTO");
    EXPECT_EQ(set.GyData[1].DaKoDa[0].KName.toStdString(), "LOT");
    EXPECT_EQ(GyModeLetter(set.GyData[2].GyMode), u'X');
    EXPECT_EQ(set.GyData[2].PName.toStdString(), "ABC.PD4");
    EXPECT_EQ(set.ComPrg1.toStdString(), "COMM1.PD4");
    EXPECT_EQ(set.BzSet[2].Hz, 3000);
    EXPECT_EQ(form.APOffTimeNE->text().toStdString(), "10");
    EXPECT_EQ(form.DspErrTimeNE->text().toStdString(), "15");
    EXPECT_EQ(form.DataFtpCB->currentIndex(), 3);
    ui.clear();
    EXPECT_EQ(saveAs(ui, form, QStringLiteral("again.bnf")), saved);
    EXPECT_TRUE(ui.messageBoxes().empty());
}
