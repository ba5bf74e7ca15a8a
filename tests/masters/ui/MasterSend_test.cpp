#include "masters/ui/MasterEdit.h"

#include "comm/ui/CorlissL.h"
#include "masters/ui/SendMst.h"
#include "tests/manager/ui/ManagerTestSupport.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

using managertest::casePath;
using managertest::readFile;
using managertest::writeFile;

namespace {

std::string texts(const std::vector<testsupport::UiEvent> &boxes)
{
    std::string all;
    for (const testsupport::UiEvent &box : boxes)
        all += box.caption.toStdString() + ": " + box.text.toStdString() + "\n";
    return all;
}

class MasterSend : public testing::Test {
protected:
    void SetUp() override
    {
        managertest::storeModeSettings(false);
        YmInitialize();
        master = casePath("m/master.dat");
        for (int i = 1; i <= 40; ++i)
            data += "ITEM" + QByteArray::number(i).rightJustified(6, '0') + "\x8f\xa4\x95\x69" +
                    QByteArray::number(i).rightJustified(16, ' ') +
                    QByteArray::number(i * 10).rightJustified(8, '0') + "\r\n";
        ASSERT_TRUE(writeFile(master, data));
        ASSERT_TRUE(writeFile(casePath("m/MASTER.FLD"), "10,20,8\r\n"));
        form.show();
        ui.queueFileName(master);
        form.OpenBtn->click();
        ASSERT_TRUE(form.Model().EditFlag) << texts(ui.messageBoxes());
    }

    testsupport::RecordingUi ui;
    TMasterForm form{QStringLiteral("COM1"), 115200};
    QString master;
    QByteArray data;
};

TEST_F(MasterSend, TheTerminalGetsTheRecordsCutByTheWidthFile)
{
    ASSERT_TRUE(QDir().mkpath(casePath("inbox")));
    managertest::Simulator sim({QStringLiteral("--inbox"), casePath("inbox")});
    ASSERT_TRUE(sim.ready());
    QString proposed;
    ui.queueForm([&](QDialog &dialog) {
        auto &send = static_cast<TSendMstForm &>(dialog);
        proposed = send.MfNameSE->text();
        EXPECT_TRUE(send.SendBtn->isEnabled());
        send.SendBtn->click();
        EXPECT_TRUE(send.isEnabled());
    });
    form.SendBtn->click();
    EXPECT_EQ(proposed, QStringLiteral("MASTER.DAT"));
    const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << texts(boxes) << sim.log().toStdString();
    EXPECT_EQ(boxes[0].text, QStringLiteral("正常終了"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("マスターファイル送信"));
    EXPECT_EQ(readFile(casePath("inbox/MASTER.DAT")), data);
    EXPECT_TRUE(
        sim.log().contains(QStringLiteral("field definition MASTER.DAT 40 records of widths 10,20,8")))
        << sim.log().toStdString();
    EXPECT_EQ(form.Model().BhtName, QStringLiteral("MASTER.DAT"));
    // The working copy is still open for editing.
    EXPECT_TRUE(form.Model().EditFlag);
    EXPECT_EQ(form.Model().recordCount(), 40);
    EXPECT_EQ(YmComClose(-1), 1) << "a port is still open";
}

TEST_F(MasterSend, APortThatWillNotOpenSendsNothing)
{
    qputenv("HARBROOK_PORT_COM1", QFile::encodeName(casePath("no-such-device")));
    ui.queueForm([](QDialog &dialog) { static_cast<TSendMstForm &>(dialog).SendBtn->click(); });
    form.SendBtn->click();
    qunsetenv("HARBROOK_PORT_COM1");
    const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, QStringLiteral("COM1をオープンできません"));
    EXPECT_EQ(boxes.back().caption, QStringLiteral("通信ポートCOM1"));
    EXPECT_EQ(YmComClose(-1), 1) << "a port is still open";
    EXPECT_TRUE(form.Model().EditFlag);
}

TEST_F(MasterSend, APartlyFilledEntryRowStopsTheSend)
{
    form.NextPageBtn->click();
    form.NextBtn->click(); // records 22 to 40 and the entry row
    form.MasterGridSetEditText(20, 2, QStringLiteral("名前だけ"));
    form.SendBtn->click();
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("No41の参照キーを入力してください。"));
    EXPECT_EQ(ui.pendingForms(), 0);
    EXPECT_TRUE(ui.forms().empty());
}

} // namespace
