// A set built only through the editor's controls is the set the codec writes for the same records,
// and reads back as it was saved.

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/SetBarCode.h"
#include "jobs/ui/SetGyoumu.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/JobListOps.h"
#include "jobs/JobPageView.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString casePath(const QString &name)
{
    return QDir(testsupport::caseFolder()).filePath(name);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

void queueAddJob(testsupport::RecordingUi &ui, const QString &name, char mode, const QString &file)
{
    ui.queueForm([=](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, name);
        choose(add.GModeCB, GyModeIndex(QLatin1Char(mode)));
        if (!file.isEmpty())
            QTest::keyClicks(add.FNameSE, file);
        add.AddBtn->click();
    });
}

void queueAddItem(testsupport::RecordingUi &ui, const QString &name, int type)
{
    ui.queueForm([=](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, name);
        add.KDTypeCB->setCurrentIndex(type);
        add.EndBtn->click();
    });
}

void select(QListWidget *list, int row)
{
    list->setCurrentRow(row);
    emit list->itemClicked(list->item(row));
}

// The operator looks at every job and item, as before a save; each goes through its display rules.
void showEveryItem(TSetGyForm &form)
{
    for (int j = 0; j < form.GMenuList->count(); ++j) {
        select(form.GMenuList, j);
        for (QListWidget *list : {form.GroupList, form.DataList})
            for (int k = 0; k < list->count(); ++k)
                select(list, k);
    }
}

// The records the operator's steps below make, built with the records' own functions.
std::unique_ptr<TSetData> expectedSet()
{
    auto set = std::make_unique<TSetData>();
    InitSetData(*set);
    TGyData &a = set->GyData[0];
    a.GyName = QStringLiteral("NYUKA");
    a.FName = QStringLiteral("NYUKA.DAT");
    EXPECT_TRUE(jobs::AddItem(a, {true, QStringLiteral("TANTO"), 0}));
    a.GrKoDa[0].KDLen = 5;
    a.GrKoDa[0].KDMax = QStringLiteral("5");
    EXPECT_TRUE(jobs::AddItem(a, {false, QStringLiteral("LOT"), 0}));
    TKoData &code = a.DaKoDa[0];
    code.KName = QStringLiteral("CODE");
    code.KDInpMode = 3;
    code.KBar = QStringLiteral("AK");
    code.KBMax = 30;
    code.FWDatChk = true;
    code.FWCount = 2;
    code.FWDstKo = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    code.FWTop = {1, 14, 1, 1, 1, 1, 1, 1, 1, 1};
    code.FWLength = {13, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    code.FWDatNo = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

    TAddGyDat add = set->AddGyDat;
    jobs::ResetAddInData(add);
    add.GyName = QStringLiteral("SYUKA");
    add.GyMode = GyModeIndex(u'B');
    add.FName = QStringLiteral("SYUKA.DAT");
    add.RcvProto = 0;
    EXPECT_TRUE(jobs::AddJob(*set, add));
    add.GyName = QStringLiteral("KENSA");
    add.GyMode = GyModeIndex(u'J');
    add.FName.clear();
    EXPECT_TRUE(jobs::AddJob(*set, add));
    set->GyData[2].DaKoDa[0].KDInpMode = 2;
    set->GyData[2].DaKoDa[0].KBar = QStringLiteral("Q");
    return set;
}

// The first line where two files differ, for a readable failure.
std::string firstDifference(const QByteArray &a, const QByteArray &b)
{
    const QList<QByteArray> la = a.split('\n');
    const QList<QByteArray> lb = b.split('\n');
    for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i) {
        const QByteArray x = i < la.size() ? la[i] : QByteArray();
        const QByteArray y = i < lb.size() ? lb[i] : QByteArray();
        if (x != y)
            return "line " + std::to_string(i) + ":\n" + x.toStdString() + "\n" + y.toStdString();
    }
    return "the same";
}

QByteArray codecBytes(TSetData &set)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(SaveBnf(buffer, set, BasePageValues(), [](const QString &) { return false; }), BnfResult::Ok);
    return buffer.data();
}

TEST(JobEditEndToEnd, ASetBuiltThroughTheControlsIsWhatTheCodecWrites)
{
    testsupport::RecordingUi ui;
    TSetGyForm form(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    form.show();
    QApplication::setActiveWindow(&form);
    form.NewTBtn->click();
    select(form.DspList, 1);
    emit form.DspList->itemClicked(form.DspList->currentItem());

    // Job A: a group item, two data items, the first read as a barcode and split in two.
    retype(form.GNameSE, QStringLiteral("NYUKA"));
    retype(form.FNameSE, QStringLiteral("nyuka.dat"));
    queueAddItem(ui, QStringLiteral("TANTO"), 0);
    form.GrNewBtn->click();
    retype(form.KDLenNE, QStringLiteral("5"));
    retype(form.KDMaxNE, QStringLiteral("5"));
    queueAddItem(ui, QStringLiteral("LOT"), 0);
    form.DaNewBtn->click();
    select(form.DataList, 0);
    retype(form.KNameSE, QStringLiteral("CODE"));
    choose(form.KDInpCB, 3);
    ui.queueForm([&](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        bar.SymbologyChk[jobs::SymJan]->click();
        bar.SymbologyChk[jobs::SymCode128]->click();
        retype(bar.BarMaxNE, QStringLiteral("30"));
        bar.BFWDatChk->click();
        choose(bar.FWKNumCB, 1);
        retype(bar.FWLengthNE[0], QStringLiteral("13"));
        choose(bar.FWDstCB[1], 1);
        retype(bar.FWTopNE[1], QStringLiteral("14"));
        bar.EndBtn->click();
    });
    form.SetBarCode->click();
    testsupport::shootDialog(form, QStringLiteral("job-page-edited.png"));

    // Job B with its save file; job J reading a QR code.
    queueAddJob(ui, QStringLiteral("SYUKA"), 'B', QStringLiteral("syuka.dat"));
    form.GyNewBtn->click();
    queueAddJob(ui, QStringLiteral("KENSA"), 'J', QString());
    form.GyNewBtn->click();
    ui.queueForm([&](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        bar.SymbologyChk[jobs::SymQr]->click();
        bar.EndBtn->click();
    });
    form.SetBarCode->click();
    ASSERT_EQ(ui.pendingForms(), 0);
    ASSERT_TRUE(ui.messageBoxes().empty()) << ui.messageBoxes().front().text.toStdString();

    showEveryItem(form);
    const QString saved = casePath(QStringLiteral("built.bnf"));
    ui.queueFileName(saved);
    form.SaveTBtn->click();
    ASSERT_TRUE(ui.messageBoxes().empty()) << ui.messageBoxes().front().text.toStdString();
    const QByteArray bytes = readFile(saved);
    ASSERT_FALSE(bytes.isEmpty());

    // The records as the editor shows them: every job and item went through its display rules.
    auto expected = expectedSet();
    for (int j = 0; j < expected->GyCount; ++j) {
        TGyData &job = expected->GyData[j];
        expected->TmpGyNo = j;
        for (bool group : {true, false})
            for (int k = 0; k < (group ? job.GrCount : job.DaCount); ++k) {
                job.TmpGrFlg = group;
                (group ? job.TmpGrNo : job.TmpDaNo) = k;
                DspGyData(*expected);
            }
    }
    const QByteArray written = codecBytes(*expected);
    EXPECT_TRUE(bytes == written) << firstDifference(bytes, written);

    // Opened again, it is the same set.
    ui.queueFileName(saved);
    form.ChangeFlag = false;
    form.OpenTBtn->click();
    ASSERT_EQ(form.Set().GyCount, 3);
    // The file does not keep "barcode only" apart from "keys and barcode"; showing a mode J job
    // gives its first item barcode input again.
    showEveryItem(form);
    EXPECT_EQ(form.Set().GyData[0].DaKoDa[0].KBar.toStdString(), "AK");
    EXPECT_EQ(form.Set().GyData[0].DaKoDa[0].FWDstKo[1], 1);
    EXPECT_EQ(form.Set().GyData[1].GyMode, GyModeIndex(u'B'));
    const QString again = casePath(QStringLiteral("again.bnf"));
    ui.queueFileName(again);
    form.SaveTBtn->click();
    const QByteArray reread = readFile(again);
    EXPECT_TRUE(reread == bytes) << firstDifference(reread, bytes);
}

} // namespace
