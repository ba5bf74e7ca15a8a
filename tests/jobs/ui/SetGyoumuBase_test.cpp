#include "jobs/ui/SetGyoumu.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/ui/SetBt.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class SetGyoumuBaseTest : public testing::Test {
protected:
    testsupport::RecordingUi ui;
    std::unique_ptr<TSetGyForm> form =
        std::make_unique<TSetGyForm>(QStringLiteral("/nonexistent/"), QStringLiteral("COM1"), 115200);

    void SetUp() override
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        form->NewTBtn->click();
        ASSERT_TRUE(form->APOffTimeNE->isVisible());
    }
    // Replaces the edit's text as the operator does: select all, type.
    static void retype(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    void leave(QWidget *to) { to->setFocus(Qt::TabFocusReason); }
    void choose(QComboBox *box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    QByteArray savedHeader()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_EQ(SaveBnf(buffer, form->Set(), form->basePageValues(), [](const QString &) { return false; }),
                  BnfResult::Ok);
        return buffer.data().left(500);
    }
    std::string focused() const
    {
        QWidget *w = QApplication::focusWidget();
        return w != nullptr ? w->objectName().toStdString() : std::string();
    }
};

} // namespace

TEST_F(SetGyoumuBaseTest, TimesReadOneForZeroAndEveryChangeMarksTheSet)
{
    EXPECT_FALSE(form->ChangeFlag);
    retype(form->APOffTimeNE, QStringLiteral("0"));
    EXPECT_EQ(form->APOffTimeNE->text().toStdString(), "1");
    EXPECT_TRUE(form->ChangeFlag);
    retype(form->DspErrTimeNE, QStringLiteral("0"));
    EXPECT_EQ(form->DspErrTimeNE->text().toStdString(), "1");

    // Controls without a rule of their own mark the set changed too.
    const std::function<void()> edits[] = {
        [&] { retype(form->Bar2ReadNE, QStringLiteral("12")); },
        [&] { choose(form->BarSModeCB, 2); },
        [&] { choose(form->SendDelCB, 1); },
        [&] { choose(form->DataFtpCB, 2); },
        [&] { form->SubMenuChk->click(); },
        [&] { form->EditModeChk->click(); },
    };
    for (const auto &edit : edits) {
        form->ChangeFlag = false;
        edit();
        EXPECT_TRUE(form->ChangeFlag);
    }
    const QByteArray header = savedHeader();
    EXPECT_EQ(header.mid(62, 10).toStdString(), "001012C001");
    EXPECT_EQ(header.mid(96, 7).toStdString(), "B001010");
}

TEST_F(SetGyoumuBaseTest, BuzzerFieldsEditTheSelectedEvent)
{
    form->BzList->setCurrentRow(3);
    EXPECT_EQ(form->BzHzNE->text().toStdString(), "2");
    EXPECT_EQ(form->BzCountNE->text().toStdString(), "3");

    retype(form->BzHzNE, QStringLiteral("30"));
    EXPECT_EQ(form->Set().BzSet[3].Hz, 30);
    leave(form->BzCountNE);
    EXPECT_EQ(form->BzHzNE->text().toStdString(), "62") << "no tone below 62 Hz but the two special ones";
    EXPECT_EQ(form->Set().BzSet[3].Hz, 62);
    retype(form->BzHzNE, QStringLiteral("2"));
    leave(form->BzCountNE);
    EXPECT_EQ(form->BzHzNE->text().toStdString(), "2");
    retype(form->BzCountNE, QStringLiteral("9"));
    retype(form->BzOnTimeNE, QStringLiteral("0"));
    EXPECT_EQ(form->BzOnTimeNE->text().toStdString(), "1");
    retype(form->BzOffTimeNE, QStringLiteral("7"));
    EXPECT_EQ(form->Set().BzSet[3], (BuzzerSetting{2, 9, 1, 7}));
    EXPECT_EQ(form->Set().BzSet[2], (BuzzerSetting{1, 1, 1, 1})) << "other events untouched";
    EXPECT_TRUE(ui.messageBoxes().empty());

    // Another event shows its own values; coming back shows the edited ones.
    form->BzList->setCurrentRow(4);
    EXPECT_EQ(form->BzOnTimeNE->text().toStdString(), "3");
    form->BzList->setCurrentRow(3);
    EXPECT_EQ(form->BzOffTimeNE->text().toStdString(), "7");
}

TEST_F(SetGyoumuBaseTest, LeavingAnEmptyFieldAsksForItAndReturns)
{
    const struct {
        TNEdit *field;
        const char *message;
    } fields[] = {
        {form->APOffTimeNE, "オートパワーオフ時間を入力してください。"},
        {form->Bar2ReadNE, "ﾊﾞｰｺｰﾄﾞ2度読み防止時間を入力してください。"},
        {form->DspErrTimeNE, "エラーメッセージ表示時間を入力してください。"},
        {form->BzHzNE, "ブザー周波数を入力してください。"},
        {form->BzCountNE, "ブザー鳴動回数を入力してください。"},
        {form->BzOnTimeNE, "ブザー鳴動時間を入力してください。"},
        {form->BzOffTimeNE, "ブザー休止時間を入力してください。"},
    };
    for (const auto &f : fields) {
        SCOPED_TRACE(f.message);
        ui.clear();
        const QString before = f.field->text();
        retype(f.field, QString());
        leave(form->SendDelCB);
        ASSERT_EQ(ui.messageBoxes().size(), 1u);
        EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), f.message);
        EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "入力エラー");
        EXPECT_EQ(focused(), f.field->objectName().toStdString());
        f.field->setText(before);
    }

    // From one empty field to another: one box, and the focus back on the first.
    ui.clear();
    form->APOffTimeNE->setText(QString());
    form->DspErrTimeNE->setText(QString());
    form->APOffTimeNE->setFocus();
    leave(form->DspErrTimeNE);
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), "オートパワーオフ時間を入力してください。");
    EXPECT_EQ(focused(), "APOffTimeNE");
    form->DspErrTimeNE->setText(QStringLiteral("20"));

    // A field hidden by a change of page is not being left.
    ui.clear();
    retype(form->APOffTimeNE, QString());
    form->DspList->setCurrentRow(1);
    emit form->DspList->itemClicked(form->DspList->currentItem());
    EXPECT_FALSE(form->APOffTimeNE->isVisible());
    EXPECT_TRUE(ui.messageBoxes().empty());
}

TEST_F(SetGyoumuBaseTest, WavFileNamesTakeOnlyTheWavExtension)
{
    form->BzList->setCurrentRow(5);
    form->WavFileSE->setFocus();
    QTest::keyClicks(form->WavFileSE, QStringLiteral("1alarm.mp3"));
    EXPECT_EQ(form->WavFileSE->text().toStdString(), "ALARM.MP");
    EXPECT_EQ(ui.beepCount(), 2) << "the first digit and the third extension letter";
    EXPECT_EQ(form->WavFileSE->cursorPosition(), 8) << "one left of the refused letter";
    QTest::keyClick(form->WavFileSE, Qt::Key_End);
    QTest::keyClick(form->WavFileSE, Qt::Key_Backspace);
    QTest::keyClick(form->WavFileSE, Qt::Key_Backspace);
    QTest::keyClicks(form->WavFileSE, QStringLiteral("wav"));
    EXPECT_EQ(form->WavFileSE->text().toStdString(), "ALARM.WAV");
    EXPECT_EQ(form->Set().BzWavFile[5].toStdString(), "ALARM.WAV");
    EXPECT_TRUE(form->Set().BzWavFile[4].isEmpty());
    EXPECT_TRUE(form->ChangeFlag);
    EXPECT_EQ(savedHeader().mid(304 + 5 * 12, 12).toStdString(), "ALARM.WAV   ");
}

TEST_F(SetGyoumuBaseTest, CommunicationProgramsFeedTheModeList)
{
    form->ComPrgSE1->setFocus();
    QTest::keyClicks(form->ComPrgSE1, QStringLiteral("ab.pd4"));
    EXPECT_EQ(form->Set().ComPrg1.toStdString(), "AB.PD4");
    ASSERT_EQ(form->DataFtpCB->count(), 4);
    EXPECT_EQ(form->DataFtpCB->itemText(3).toStdString(), "AB.PD4");
    EXPECT_EQ(form->DataFtpCB->currentIndex(), 1) << "the selection stays";
    choose(form->DataFtpCB, 3);

    // Cleared while it was selected: the last item remaining is selected.
    retype(form->ComPrgSE1, QString());
    EXPECT_EQ(form->DataFtpCB->count(), 3);
    EXPECT_EQ(form->DataFtpCB->currentIndex(), 2);

    // Program 2 behind an invalid program 1 is item 3 of the list and goes to the file as Y.
    QTest::keyClicks(form->ComPrgSE1, QStringLiteral("ab.exe"));
    EXPECT_EQ(form->ComPrgSE1->text().toStdString(), "AB.EX");
    form->ComPrgSE2->setFocus();
    QTest::keyClicks(form->ComPrgSE2, QStringLiteral("cd.pd4"));
    ASSERT_EQ(form->DataFtpCB->count(), 4);
    EXPECT_EQ(form->DataFtpCB->itemText(3).toStdString(), "CD.PD4");
    choose(form->DataFtpCB, 3);
    const QByteArray header = savedHeader();
    EXPECT_EQ(header.mid(72, 25).toStdString(), "AB.EX       CD.PD4      Y");

    // Enter leaves a program edit only for a name of a communication program (or none).
    ui.clear();
    form->ComPrgSE1->setFocus();
    QTest::keyClick(form->ComPrgSE1, Qt::Key_Return);
    EXPECT_EQ(focused(), "ComPrgSE1");
    EXPECT_EQ(ui.beepCount(), 1);
    form->ComPrgSE2->setFocus();
    QTest::keyClick(form->ComPrgSE2, Qt::Key_Return);
    EXPECT_EQ(focused(), "DataFtpCB");
}

TEST_F(SetGyoumuBaseTest, EnterFollowsThePagesChain)
{
    const char *const chain[] = {"APOffTimeNE", "DspErrTimeNE", "Bar2ReadNE", "BarSModeCB",  "BzList",
                                 "WavFileSE",   "BzHzNE",       "BzCountNE",  "BzOnTimeNE",  "BzOffTimeNE",
                                 "ComPrgSE1",   "ComPrgSE2",    "DataFtpCB",  "SetBluetooth"};
    form->APOffTimeNE->setFocus();
    for (size_t i = 0; i + 1 < std::size(chain); ++i) {
        QWidget *from = QApplication::focusWidget();
        ASSERT_NE(from, nullptr);
        ASSERT_EQ(from->objectName().toStdString(), chain[i]);
        QTest::keyClick(from, Qt::Key_Return);
    }
    EXPECT_EQ(focused(), "SetBluetooth");
    form->SendDelCB->setFocus();
    QTest::keyClick(form->SendDelCB, Qt::Key_Return);
    EXPECT_EQ(focused(), "SubMenuChk");
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_FALSE(form->ChangeFlag);
}

TEST_F(SetGyoumuBaseTest, TheBluetoothDialogEditsTheSetsSettings)
{
    const TBluetoothDat defaults = form->Set().BtDat;
    // Confirmed: the values reach the set.
    ui.queueForm([](QDialog &dialog) {
        auto &f = static_cast<TSetBtForm &>(dialog);
        EXPECT_EQ(f.DevName->text().toStdString(), "BHT-800");
        EXPECT_TRUE(f.BtAdrSE->isVisible());
        EXPECT_FALSE(f.PassKeySE->isVisible());
        f.DevName->setFocus();
        f.DevName->selectAll();
        QTest::keyClicks(f.DevName, QStringLiteral("term-9"));
        f.BtAdrSE->setFocus();
        QTest::keyClicks(f.BtAdrSE, QStringLiteral("00a0-9fzz"));
        f.SecurityCB->setCurrentIndex(2);
        emit f.SecurityCB->activated(2);
        f.TimeOutNE->setFocus();
        f.TimeOutNE->selectAll();
        QTest::keyClicks(f.TimeOutNE, QStringLiteral("60"));
        f.EndBtn->click();
    });
    QTest::mouseClick(form->SetBluetooth, Qt::LeftButton);
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_EQ(ui.forms()[0].caption.toStdString(), "Bluetooth通信環境設定");
    TBluetoothDat &bt = form->Set().BtDat;
    EXPECT_EQ(bt.DevName.toStdString(), "TERM-9");
    EXPECT_EQ(bt.Adr.toStdString(), "00A09F");
    EXPECT_EQ(bt.TimeOut, 60);
    EXPECT_EQ(bt.Security, 3);
    EXPECT_EQ(bt.PassKey, defaults.PassKey);
    EXPECT_TRUE(form->ChangeFlag);
    form->DataFtpCB->setCurrentIndex(2);
    EXPECT_EQ(savedHeader().mid(243, 49).toStdString(), "TERM-9          006000A09F      35190372846150927");

    // Cancelled: nothing changes; closed with the close box: the edits are kept.
    const struct {
        const char *what;
        bool viaClose;
    } ends[] = {{"取消", false}, {"the close box", true}};
    for (const auto &e : ends) {
        SCOPED_TRACE(e.what);
        const TBluetoothDat before = bt;
        form->ChangeFlag = false;
        ui.queueForm([viaClose = e.viaClose](QDialog &dialog) {
            auto &f = static_cast<TSetBtForm &>(dialog);
            f.ModeCB->setCurrentIndex(1);
            emit f.ModeCB->activated(1);
            EXPECT_FALSE(f.BtAdrSE->isVisible());
            if (viaClose)
                f.close();
            else
                f.CancelBtn->click();
        });
        QTest::mouseClick(form->SetBluetooth, Qt::LeftButton);
        EXPECT_EQ(bt.Mode, e.viaClose ? 1 : 0);
        EXPECT_EQ(bt.DevName, before.DevName);
        EXPECT_EQ(form->ChangeFlag, e.viaClose);
    }
}

TEST_F(SetGyoumuBaseTest, Screenshot)
{
    form->ComPrgSE1->setText(QStringLiteral("COMA.PD4"));
    form->BzList->setCurrentRow(2);
    testsupport::shootDialog(*form, QStringLiteral("base-page.png"));
}
