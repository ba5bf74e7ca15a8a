#include "ManagerTestSupport.h"

#include "comm/ui/CorlissL.h"
#include "manager/ui/Main.h"
#include "tests/support/RecordingUiService.h"

#include <QDir>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using managertest::casePath;
using managertest::readFile;
using managertest::writeFile;

namespace {

QByteArray records(int count, int width)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += QByteArray::number(1000000 + i).right(width).rightJustified(width, '0') + "\r\n";
    return bytes;
}

QByteArray binary(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + 7) & 0xff);
    return bytes;
}

} // namespace

// Each transfer button against the terminal simulator, through the real library and its worker.
TEST(EndToEndTest, EveryTransferButtonReachesTheTerminal)
{
    managertest::storeModeSettings(false);
    managertest::storeComValue(QStringLiteral("RcvMode"), 0);
    managertest::storeComValue(QStringLiteral("WrMode"), 0);
    const QByteArray program = binary(3000);
    const QByteArray addin = binary(1500);
    const QByteArray aiTable = records(40, 7);
    const QByteArray sales = records(25, 7);
    // The receipt takes the quick start's own demo outbox, so that a broken sample shows here.
    const QString demo = QStringLiteral(HARBROOK_SOURCE_DIR "/data/demo/");
    const QByteArray scans = readFile(demo + QStringLiteral("outbox/SCAN0001.DAT"));
    const QString demoFields =
        QString::fromLatin1(readFile(demo + QStringLiteral("outbox-fields")).trimmed());
    ASSERT_FALSE(scans.isEmpty());
    const QByteArray stock = readFile(demo + QStringLiteral("send/STOCK.DAT"));
    ASSERT_FALSE(stock.isEmpty());
    AppPath = casePath(QStringLiteral("app/"));
    ASSERT_TRUE(writeFile(AppPath + QStringLiteral("Prog/FerPk800.PD4"), program));
    ASSERT_TRUE(writeFile(AppPath + QStringLiteral("AddInPrg/check.pd4"), addin));
    ASSERT_TRUE(writeFile(AppPath + QStringLiteral("AiCode.Tbl"), aiTable));
    ASSERT_TRUE(writeFile(casePath(QStringLiteral("day/SALES.DAT")), sales));
    ASSERT_TRUE(writeFile(casePath(QStringLiteral("day/SALES.fld")), "4,1,2\r\n"));
    ASSERT_TRUE(QDir().mkpath(casePath(QStringLiteral("inbox"))));

    managertest::Simulator sim({QStringLiteral("--inbox"), casePath(QStringLiteral("inbox")),
                                QStringLiteral("--outbox"), demo + QStringLiteral("outbox"),
                                QStringLiteral("--fields"), demoFields, QStringLiteral("--batches"),
                                QStringLiteral("100")});
    ASSERT_TRUE(sim.ready());

    testsupport::RecordingUi ui;
    YmInitialize();
    const auto form = std::make_unique<TMainForm>();
    MainForm = form.get();

    struct Case {
        const char *button;
        QString chosen;  // answer of the file dialog, empty for none
        QString caption; // of the result box
        QString arrived; // where the file ends up
        QByteArray bytes;
    };
    const Case cases[] = {
        {"FerPrgBtn", QString(), QStringLiteral("プログラム転送"),
         casePath(QStringLiteral("inbox/FERPK800.PD4")), program},
        {"AddinProgBtn", AppPath + QStringLiteral("AddInPrg/check.pd4"), QStringLiteral("プログラム転送"),
         casePath(QStringLiteral("inbox/CHECK.PD4")), addin},
        {"AiCdTblBtn", QString(), QStringLiteral("データ送信"), casePath(QStringLiteral("inbox/AICODE.TBL")),
         aiTable},
        // The quick start's sample goes with the width list beside it.
        {"SendBtn", demo + QStringLiteral("send/STOCK.DAT"), QStringLiteral("データ送信"),
         casePath(QStringLiteral("inbox/STOCK.DAT")), stock},
        {"SendBtn", casePath(QStringLiteral("day/SALES.DAT")), QStringLiteral("データ送信"),
         casePath(QStringLiteral("inbox/SALES.DAT")), sales},
        {"RcvBtn", QString(), QStringLiteral("データ受信"), casePath(QStringLiteral("received/SCAN0001.DAT")),
         scans},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        ui.clear();
        if (!c.chosen.isEmpty())
            ui.queueFileName(c.chosen);
        form->findChild<QPushButton *>(QString::fromLatin1(c.button))->click();

        const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u) << (boxes.empty() ? QString() : boxes[0].text).toStdString() << "\n"
                                    << sim.log().toStdString();
        EXPECT_EQ(boxes[0].text, QStringLiteral("正常終了"));
        EXPECT_EQ(boxes[0].caption, c.caption);
        EXPECT_EQ(boxes[0].style.icon, platform::MsgIcon::Information);
        EXPECT_EQ(readFile(c.arrived), c.bytes);
        EXPECT_TRUE(form->isEnabled());
        EXPECT_EQ(YmComClose(-1), 1) << "the port is still open";
    }
    EXPECT_EQ(form->SendFile, casePath(QStringLiteral("day/SALES.DAT")));
    EXPECT_EQ(form->SendFolder, casePath(QStringLiteral("day/")));
    MainForm = nullptr;
}

// The close box during a send: the main menu stays, the send completes, and afterwards it closes.
TEST(EndToEndTest, TheMainMenuRefusesToCloseWhileATransferRuns)
{
    managertest::storeModeSettings(false);
    // About 1.5 s on the paced line: long enough to try closing while the worker sends.
    const QByteArray sales = records(2400, 6);
    ASSERT_TRUE(writeFile(casePath(QStringLiteral("day/SALES.DAT")), sales));
    ASSERT_TRUE(writeFile(casePath(QStringLiteral("day/SALES.fld")), "6\r\n"));
    ASSERT_TRUE(QDir().mkpath(casePath(QStringLiteral("inbox"))));
    managertest::Simulator sim({QStringLiteral("--inbox"), casePath(QStringLiteral("inbox")),
                                QStringLiteral("--rate"), QStringLiteral("115200")});
    ASSERT_TRUE(sim.ready());

    testsupport::RecordingUi ui;
    YmInitialize();
    const auto form = std::make_unique<TMainForm>();
    MainForm = form.get();
    form->show();

    int attempts = 0;
    bool closedDuringSend = false;
    QTimer closer;
    closer.setInterval(200);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        ++attempts;
        closedDuringSend = closedDuringSend || form->close() || !form->isVisible();
    });
    closer.start();
    ui.queueFileName(casePath(QStringLiteral("day/SALES.DAT")));
    form->findChild<QPushButton *>(QStringLiteral("SendBtn"))->click();
    closer.stop();

    EXPECT_GE(attempts, 2) << "the send ended before the close box was tried";
    EXPECT_FALSE(closedDuringSend);
    ASSERT_EQ(ui.messageBoxes().size(), 1u) << sim.log().toStdString();
    EXPECT_EQ(ui.messageBoxes()[0].text, QStringLiteral("正常終了"));
    EXPECT_EQ(readFile(casePath(QStringLiteral("inbox/SALES.DAT"))), sales);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->close());
    MainForm = nullptr;
}
