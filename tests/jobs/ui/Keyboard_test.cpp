// The keyboard in the job settings editor and its dialogs: Enter on a focused button presses it,
// and the focus is back on the control that opened a dialog once the dialog has closed.

#include "JobsUiTestSupport.h"

#include "jobs/ui/AdGyoumu.h"
#include "jobs/ui/AdKoumoku.h"
#include "jobs/ui/SetGyoumu.h"
#include "jobs/ui/SetMaster.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

class JobKeyboardTest : public testing::Test {
protected:
    void SetUp() override
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        form->NewTBtn->click();
        showPage(1);
    }
    void showPage(int row)
    {
        form->DspList->setCurrentRow(row);
        emit form->DspList->itemClicked(form->DspList->currentItem());
    }
    static void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);
};

// Where the focus is once the editor is active again, for a failure's text.
std::string focusName()
{
    const QWidget *focused = QApplication::focusWidget();
    return focused != nullptr ? focused->objectName().toStdString() : "nothing";
}

// A settings program that ends at once without confirming.
QString folderWithSettingsProgram()
{
    return jobsuitest::folderWithSettingsProgram("exit 0\n");
}

TEST_F(JobKeyboardTest, FocusIsBackOnTheControlThatOpenedADialog)
{
    form = std::make_unique<TSetGyForm>(folderWithSettingsProgram(), QStringLiteral("COM1"), 115200);
    SetUp();
    // A first job with a group item, two data items, barcode input, a master reference and a save
    // file, so that every opener of the job page is there; a second job runs an add-in program.
    TSetData &set = form->Set();
    TGyData &first = set.GyData[0];
    first.FName = QStringLiteral("DATA.TXT");
    first.GrCount = 1;
    InitKoData(first.GrKoDa[0], QStringLiteral("GROUP"), u'A');
    first.DaCount = 2;
    InitKoData(first.DaKoDa[1], QStringLiteral("QTY"), u'A');
    // Valid as a whole, so that the send gets as far as the port.
    TKoData &scanned = first.DaKoDa[0];
    scanned.KDInpMode = 3;
    scanned.KBar = QStringLiteral("A");
    scanned.KMstFlag = true;
    scanned.KMFNo = 1;
    scanned.KMstChk = true;
    set.MstNum = 1;
    set.MstDat[0].MFName = QStringLiteral("MASTER.DAT");
    set.MstDat[0].UseCount = 1;
    first.TmpGrFlg = false;
    first.TmpDaNo = 0;
    TGyData &second = set.GyData[1];
    second = first;
    second.GyName = QStringLiteral("ADDIN");
    second.GyMode = GyModeIndex(u'X');
    second.PName = QStringLiteral("TEST.PD4");
    second.AddInCount = 1;
    set.GyCount = 2;
    const auto showJob = [this](int job) {
        form->GMenuList->setCurrentRow(job);
        emit form->GMenuList->itemClicked(form->GMenuList->currentItem());
    };

    struct Case {
        const char *opener;
        int page; // row of 設定画面選択
        int job;
        std::function<void(QDialog &)> script; // nullptr: the opener shows no dialog of its own
    };
    const auto addJob = [](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("SYUKA"));
        add.AddBtn->click();
    };
    const auto addItem = [](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, QStringLiteral("ITEM"));
        add.EndBtn->click();
    };
    const auto cancel = [](QDialog &dialog) { dialog.reject(); };
    const Case cases[] = {
        {"SetBluetooth", 0, 0, cancel}, {"GyNewBtn", 1, 0, cancel},  {"GyDelBtn", 1, 0, cancel},
        {"GrDelBtn", 1, 0, cancel},     {"DaDelBtn", 1, 0, cancel},  {"SetBarCode", 1, 0, cancel},
        {"SetMasterBtn", 1, 0, cancel}, {"SDataTBtn", 1, 0, cancel}, {"AddInSetBtn", 1, 1, nullptr},
        {"SGDatTBtn", 1, 0, nullptr},   {"GrNewBtn", 1, 0, addItem}, {"DaNewBtn", 1, 0, addItem},
        {"GyNewBtn", 1, 0, addJob},
    };
    // The send finds no port: the editor is locked and unlocked around the attempt all the same.
    struct MissingPort {
        MissingPort()
        {
            qputenv("HARBROOK_PORT_COM1", (testsupport::caseFolder() + "/no-port").toLocal8Bit());
        }
        ~MissingPort() { qunsetenv("HARBROOK_PORT_COM1"); }
    } missingPort;
    for (const Case &c : cases) {
        showPage(c.page);
        if (c.page == 1)
            showJob(c.job);
        auto *opener = form->findChild<QAbstractButton *>(QLatin1String(c.opener));
        ASSERT_NE(opener, nullptr) << c.opener;
        ASSERT_TRUE(opener->isVisible() && opener->isEnabled()) << c.opener;
        const int formsBefore = static_cast<int>(ui.forms().size());
        if (c.script)
            ui.queueForm(c.script);
        QTest::mouseClick(opener, Qt::LeftButton);
        if (c.script) {
            ASSERT_EQ(static_cast<int>(ui.forms().size()), formsBefore + 1)
                << c.opener << " opened no dialog";
        }
        // The window manager activates the editor again once the dialog has gone.
        QApplication::setActiveWindow(form.get());
        EXPECT_EQ(QApplication::focusWidget(), opener) << c.opener << ": the focus is on " << focusName();
    }
    const auto &boxes = ui.messageBoxes();
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [](const auto &box) {
        return box.text == QStringLiteral("COM1をオープンできません");
    })) << "the send did not get as far as the port";
}

TEST_F(JobKeyboardTest, FocusIsBackOnTheButtonsOfTheDialogsThatOpenOthers)
{
    form = std::make_unique<TSetGyForm>(folderWithSettingsProgram(), QStringLiteral("COM1"), 115200);
    SetUp();
    form->UseMasterChk->click();
    // The master reference dialog's own dialog.
    ui.queueForm([this](QDialog &dialog) {
        auto &master = static_cast<TSetMasterForm &>(dialog);
        ui.queueForm([](QDialog &definitions) { definitions.reject(); });
        QTest::mouseClick(master.AddMasterBtn, Qt::LeftButton);
        QApplication::setActiveWindow(&master);
        EXPECT_EQ(QApplication::focusWidget(), master.AddMasterBtn) << "the focus is on " << focusName();
        dialog.reject();
    });
    form->SetMasterBtn->click();
    // The add-job dialog's settings program, from its button and from 追加 when it is not confirmed.
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("ADDIN"));
        choose(add.GModeCB, GyModeIndex(u'X'));
        QTest::keyClicks(add.PNameSE, QStringLiteral("TEST.PD4"));
        for (QPushButton *opener : {add.AddInSetBtn, add.AddBtn}) {
            QTest::mouseClick(opener, Qt::LeftButton);
            ASSERT_TRUE(add.isVisible()) << "the settings were not confirmed";
            QApplication::setActiveWindow(&add);
            EXPECT_EQ(QApplication::focusWidget(), opener)
                << opener->objectName().toStdString() << ": the focus is on " << focusName();
        }
        dialog.reject();
    });
    form->GyNewBtn->click();
    EXPECT_EQ(ui.forms().size(), 3u);
}

// The names of the controls Enter moves the focus through, from start, until it stays put or after
// the given number of presses.
std::vector<std::string> enterWalk(QWidget *start, std::size_t presses = 30)
{
    std::vector<std::string> walk;
    start->setFocus();
    for (QWidget *at = start; at != nullptr && walk.size() <= presses;) {
        walk.push_back(at->objectName().toStdString());
        if (walk.size() > presses)
            break;
        QTest::keyClick(at, Qt::Key_Return);
        // Stays put, or the window closed (a pressed button ended its dialog).
        QWidget *next = QApplication::focusWidget();
        at = next != at && next != nullptr && next->window() == start->window() ? next : nullptr;
    }
    return walk;
}

using Walk = std::vector<std::string>;

TEST_F(JobKeyboardTest, EnterWalksEachChainToItsEnd)
{
    // The job page of a new set: a collecting job without a time stamp, its first data item saved.
    form->FNameSE->setText(QStringLiteral("DATA.TXT"));
    EXPECT_EQ(enterWalk(form->GNameSE),
              (Walk{"GNameSE", "GModeCB", "FNameSE", "AddIDChkCB", "TStampCB", "KNameSE", "KNFColorCB",
                    "KNBColorCB", "KDSizeCB", "KDFColorCB", "KDBColorCB", "KDTypeCB", "KDLenNE", "KDMaxNE",
                    "KDMinNE", "DefaultCB", "DoubleChkCB", "KDNextCB"}));
    // With a stamp its place follows it; an unsaved first item has no duplicate rule to set.
    choose(form->TStampCB, 1);
    form->KDSaveChk->click();
    EXPECT_EQ(enterWalk(form->TStampCB, 2), (Walk{"TStampCB", "TSLocCB", "KNameSE"}));
    EXPECT_EQ(enterWalk(form->DefaultCB, 1), (Walk{"DefaultCB", "KDNextCB"}));

    // The base page ends on the Bluetooth button, which Enter then presses.
    showPage(0);
    EXPECT_EQ(enterWalk(form->APOffTimeNE),
              (Walk{"APOffTimeNE", "DspErrTimeNE", "Bar2ReadNE", "BarSModeCB", "BzList", "WavFileSE",
                    "BzHzNE", "BzCountNE", "BzOnTimeNE", "BzOffTimeNE", "ComPrgSE1", "ComPrgSE2", "DataFtpCB",
                    "SetBluetooth"}));
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_EQ(ui.forms()[0].caption.toStdString(), "Bluetooth通信環境設定");

    // The add-job dialog ends on 追加, with or without a time stamp.
    showPage(1);
    for (const int stamp : {0, 1}) {
        ui.queueForm([stamp](QDialog &dialog) {
            auto &add = static_cast<TAdGyForm &>(dialog);
            QTest::keyClicks(add.GNameSE, QStringLiteral("J%1").arg(stamp));
            QTest::keyClicks(add.FNameSE, QStringLiteral("F%1").arg(stamp));
            choose(add.TStampCB, stamp);
            QApplication::setActiveWindow(&add);
            const Walk walk = enterWalk(add.GNameSE);
            const Walk through =
                stamp == 0 ? Walk{"TStampCB", "AddBtn"} : Walk{"TStampCB", "TSLocCB", "AddBtn"};
            Walk expected{"GNameSE", "GModeCB", "FNameSE", "AddIDChkCB"};
            expected.insert(expected.end(), through.begin(), through.end());
            EXPECT_EQ(walk, expected) << "time stamp " << stamp;
        });
        const int jobs = form->Set().GyCount;
        form->GyNewBtn->click();
        EXPECT_EQ(form->Set().GyCount, jobs + 1) << "Enter on 追加 added no job (time stamp " << stamp << ")";
    }
}

TEST_F(JobKeyboardTest, EnterOnTheAddInButtonOfTheJobPageChecksTheName)
{
    TGyData &job = form->Set().GyData[0];
    job.GyMode = GyModeIndex(u'X');
    showPage(1);
    EXPECT_EQ(enterWalk(form->GModeCB), (Walk{"GModeCB", "PNameSE"}));
    form->AddInSetBtn->setFocus();
    QTest::keyClick(form->AddInSetBtn, Qt::Key_Return);
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "プログラム名を入力してください。");
    EXPECT_EQ(QApplication::focusWidget(), form->PNameSE) << "the focus is on " << focusName();
}

TEST_F(JobKeyboardTest, EnterOnTheFocusedButtonOfTheAddJobDialogPressesIt)
{
    // 追加 at the end of the chain: the job is added.
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("NYUKA"));
        add.AddBtn->setFocus();
        QTest::keyClick(add.AddBtn, Qt::Key_Return);
    });
    const int jobs = form->Set().GyCount;
    form->GyNewBtn->click();
    EXPECT_EQ(form->Set().GyCount, jobs + 1);
    EXPECT_EQ(form->Set().GyData[jobs].GyName.toStdString(), "NYUKA");

    // アドインプログラム設定 with no program name: its own check answers.
    ui.clear();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdGyForm &>(dialog);
        QTest::keyClicks(add.GNameSE, QStringLiteral("ADDIN"));
        choose(add.GModeCB, GyModeIndex(u'X'));
        add.AddInSetBtn->setFocus();
        QTest::keyClick(add.AddInSetBtn, Qt::Key_Enter, Qt::KeypadModifier);
        dialog.reject();
    });
    form->GyNewBtn->click();
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "プログラム名を入力してください。");
}

TEST_F(JobKeyboardTest, EnterInTheNameOfTheAddItemDialogAdds)
{
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClicks(add.AddNameSE, QStringLiteral("TANKA"));
        QTest::keyClick(add.AddNameSE, Qt::Key_Return);
    });
    TGyData &job = form->Set().GyData[form->Set().TmpGyNo];
    const int items = job.DaCount;
    form->DaNewBtn->click();
    ASSERT_EQ(job.DaCount, items + 1);
    EXPECT_EQ(job.DaKoDa[items].KName.toStdString(), "TANKA");
    EXPECT_EQ(ui.forms().at(0).formResult, QDialog::Accepted);

    // An empty name is refused as by 追加, and the dialog stays.
    ui.clear();
    ui.queueForm([](QDialog &dialog) {
        auto &add = static_cast<TAdKoForm &>(dialog);
        QTest::keyClick(add.AddNameSE, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    form->DaNewBtn->click();
    EXPECT_EQ(job.DaCount, items + 1);
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "入力してください");
}

} // namespace
