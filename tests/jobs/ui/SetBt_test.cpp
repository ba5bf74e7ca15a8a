#include "jobs/ui/SetBt.h"

#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/Screenshot.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const basepage::BtFormValues shownValues{QStringLiteral("HT-LINE2"), 0, QStringLiteral("0012AB34CD56"),
                                         QStringLiteral("999"),      1, QStringLiteral("1234567890123456")};

} // namespace

TEST(SetBtForm, ConfirmChecksTheNameThenTheTimeOut)
{
    testsupport::RecordingUi ui;
    TSetBtForm form;
    form.fill(shownValues);
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(form.values(), shownValues) << "a file's time-out above 255 is shown as it is";
    EXPECT_TRUE(form.PassKeySE->isVisible());
    EXPECT_TRUE(form.BtAdrSE->isVisible());

    const struct {
        const char *devName;
        const char *timeOut;
        const char *message;
        QWidget *focus;
    } cases[] = {
        {"", "5", "デバイス名を入力してください。", form.DevName},
        {"", "", "デバイス名を入力してください。", form.DevName},
        {"HT", "", "タイムアウトを入力してください。", form.TimeOutNE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        ui.clear();
        form.DevName->setText(QString::fromLatin1(c.devName));
        form.TimeOutNE->setText(QString::fromLatin1(c.timeOut));
        form.EndBtn->setFocus();
        form.EndBtn->click();
        ASSERT_EQ(ui.messageBoxes().size(), 1u);
        EXPECT_EQ(ui.messageBoxes()[0].text.toStdString(), c.message);
        EXPECT_EQ(ui.messageBoxes()[0].caption.toStdString(), "Bluetooth設定");
        EXPECT_EQ(ui.messageBoxes()[0].style.icon, platform::MsgIcon::Exclamation);
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(c.focus->hasFocus());
    }

    // Lists are chosen from, never typed into; the pass key hides with "なし".
    form.SecurityCB->setFocus();
    QTest::keyClicks(form.SecurityCB, QStringLiteral("l"));
    EXPECT_EQ(form.SecurityCB->currentIndex(), 1);
    form.SecurityCB->setCurrentIndex(0);
    emit form.SecurityCB->activated(0);
    EXPECT_FALSE(form.PassKeySE->isVisible());
    EXPECT_FALSE(form.PassKeyLabel->isVisible());

    ui.clear();
    form.DevName->setText(QStringLiteral("HT"));
    form.TimeOutNE->setText(QStringLiteral("30"));
    form.EndBtn->click();
    EXPECT_TRUE(ui.messageBoxes().empty());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(SetBtForm, CancelEmptiesTheName)
{
    testsupport::RecordingUi ui;
    TSetBtForm form;
    form.fill(shownValues);
    form.show();
    form.CancelBtn->click();
    EXPECT_FALSE(form.isVisible());
    TBluetoothDat bt{QStringLiteral("HT-LINE2"), 0, QString(), 9, 1, QString()};
    EXPECT_FALSE(basepage::BtCopyBack(form.values(), bt)) << "the caller keeps its settings";
    EXPECT_EQ(bt.TimeOut, 9);
}

TEST(SetBtForm, Screenshot)
{
    TSetBtForm form;
    form.fill(shownValues);
    testsupport::shootDialog(form, QStringLiteral("bluetooth-settings.png"));
}
