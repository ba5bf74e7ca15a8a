// Every window of the job settings editor fits the smallest screen the operators use and shows its
// texts whole, in each state the operator can put it in; the editor keeps one size throughout.

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/DefMaster.h"
#include "jobs/ui/SetBarCode.h"
#include "jobs/ui/SetBt.h"
#include "jobs/ui/SetGyoumu.h"
#include "jobs/ui/SetMaster.h"

#include "common/ui/ListCombo.h"
#include "jobs/BnfFile.h"
#include "jobs/LetterCodes.h"
#include "tests/support/LayoutChecks.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The checks of a window as it stands once its layouts have settled.
void expectWhole(const QWidget &window, const std::string &state)
{
    SCOPED_TRACE(state);
    QApplication::processEvents();
    testsupport::expectTextsWhole(window);
    testsupport::expectFitsScreen(window);
}

void shoot(QWidget &window, const QString &file)
{
    QApplication::processEvents();
    EXPECT_TRUE(window.grab().save(testsupport::screenshotPath(file)));
}

class JobLayoutTest : public testing::Test {
protected:
    void SetUp() override
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        shown = form->size();
    }
    void showPage(int row)
    {
        form->DspList->setCurrentRow(row);
        emit form->DspList->itemClicked(form->DspList->currentItem());
    }
    void expectEditor(const std::string &state)
    {
        expectWhole(*form, state);
        EXPECT_EQ(form->size(), shown) << state << ": the editor changed its size";
    }
    // A new set whose first job has a group item and ten data items, the first read by barcode
    // and looked up in a master of five reference fields.
    void newSetWithEveryOpener()
    {
        form->NewTBtn->click();
        TSetData &set = form->Set();
        TGyData &job = set.GyData[0];
        job.FName = QStringLiteral("NYUKA.DAT");
        job.GrCount = 1;
        InitKoData(job.GrKoDa[0], QStringLiteral("得意先コード"), u'A');
        job.DaCount = MaxKoCount;
        for (int i = 0; i < MaxKoCount; ++i)
            InitKoData(job.DaKoDa[i], QStringLiteral("データ項目%1").arg(i + 1), u'A');
        job.DaKoDa[0].KDInpMode = 2;
        job.DaKoDa[0].KMstFlag = true;
        job.TmpGrFlg = false;
        job.TmpDaNo = 0;
        set.MstNum = 1;
        set.MstDat[0] = {QStringLiteral("SYOHIN.DAT"), 6, 13, {20, 20, 10, 10, 8}, 0};
        showPage(1);
    }

    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
    QSize shown;
};

TEST_F(JobLayoutTest, TheEditorKeepsOneSizeThatFitsWithEveryPageAndMode)
{
    expectEditor("no set open");
    form->NewTBtn->click();
    expectEditor("新規作成, base page");
    shoot(*form, QStringLiteral("job-editor-base.png"));
    showPage(1);
    expectEditor("job page");
    for (int mode = 0; mode < GyModeItems().size(); ++mode) {
        choose(form->GModeCB, mode);
        expectEditor("job mode " + GyModeItems().at(mode).toStdString());
    }
    choose(form->GModeCB, GyModeIndex(u'A'));
    for (int type = 0; type < DataTypeItems().size(); ++type) {
        choose(form->KDTypeCB, type);
        choose(form->DefaultCB, 1);
        expectEditor("data type " + DataTypeItems().at(type).toStdString() + " with a set value");
    }
    choose(form->KDTypeCB, 0);
    choose(form->KDInpCB, 2);
    form->UseMasterChk->click();
    expectEditor("barcode input and a master");
    shoot(*form, QStringLiteral("job-editor-job.png"));

    // A set opened from a file shows its base page, in the same window.
    const QString path = testsupport::caseFolder() + QStringLiteral("/SET.BNF");
    ASSERT_EQ(SaveBnf(path, form->Set(), form->basePageValues(), [](const QString &) { return false; }),
              BnfResult::Ok);
    ui.queueAnswer(platform::MsgResult::Yes);
    form->CloseTBtn->click();
    expectEditor("closed");
    ui.queueFileName(path);
    form->OpenTBtn->click();
    ASSERT_TRUE(form->EditFlag);
    expectEditor("開く");
    showPage(1);
    expectEditor("job page of the opened set");
}

TEST_F(JobLayoutTest, EveryDialogFitsAndShowsItsTextsWhole)
{
    newSetWithEveryOpener();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        const QSize opened = add.size();
        for (int mode = 0; mode < GyModeItems().size(); ++mode) {
            choose(add.GModeCB, mode);
            choose(add.TStampCB, 3);
            expectWhole(add, "業務追加 in mode " + GyModeItems().at(mode).toStdString());
            EXPECT_EQ(add.size(), opened) << "業務追加 changed its size in mode " << mode;
        }
        dialog.reject();
    });
    form->GyNewBtn->click();
    for (QToolButton *opener : {form->GrNewBtn, form->DaDelBtn, form->GrDelBtn, form->SDataTBtn}) {
        ui.queueForm([opener](QDialog &dialog) {
            expectWhole(dialog, opener->text().toStdString());
            dialog.reject();
        });
        opener->click();
    }
    ui.queueForm([this](QDialog &dialog) {
        auto &bar = static_cast<TSetBarCodeForm &>(dialog);
        const QSize opened = bar.size();
        bar.BarDatChk->click();
        bar.BFWDatChk->click();
        choose(bar.FWKNumCB, bar.FWKNumCB->count() - 1);
        for (const int format : {1, 7, 0}) {
            choose(bar.DFormatCB, format);
            expectWhole(bar, "barcode settings, all checks and rows, format " + std::to_string(format));
            EXPECT_EQ(bar.size(), opened) << "the barcode settings changed their size in format " << format;
        }
        shoot(bar, QStringLiteral("job-barcode-settings-full.png"));
        bar.UserBarChk->click();
        expectWhole(bar, "barcode settings, user-defined");
        ui.queueAnswer(platform::MsgResult::Yes);
        bar.CancelBtn->click();
    });
    form->SetBarCode->click();
    ui.queueForm([this](QDialog &dialog) {
        auto &master = static_cast<TSetMasterForm &>(dialog);
        const QSize opened = master.size();
        choose(master.MasterCB, 0);
        choose(master.QDCountCB, master.QDCountCB->count() - 1);
        master.DspStrChk->click();
        expectWhole(master, "master reference with five copies");
        EXPECT_EQ(master.size(), opened) << "the master reference grew with its copies";
        ui.queueForm([](QDialog &definitions) {
            auto &def = static_cast<TDefMasterForm &>(definitions);
            def.MasterLB->setCurrentRow(0);
            emit def.MasterLB->itemClicked(def.MasterLB->item(0));
            expectWhole(def, "master definitions with five lengths");
            definitions.reject();
        });
        master.AddMasterBtn->click();
        ui.queueAnswer(platform::MsgResult::Yes);
        dialog.reject();
    });
    form->SetMasterBtn->click();
    showPage(0);
    ui.queueForm([](QDialog &dialog) {
        auto &bt = static_cast<TSetBtForm &>(dialog);
        const QSize opened = bt.size();
        choose(bt.ModeCB, 0);
        choose(bt.SecurityCB, 2);
        expectWhole(bt, "Bluetooth with the address and the pass key");
        EXPECT_EQ(bt.size(), opened) << "the Bluetooth settings changed their size";
        dialog.reject();
    });
    form->SetBluetooth->click();
    EXPECT_EQ(ui.forms().size(), 9u);
}

} // namespace
