#include "ManagerTestSupport.h"

#include "comm/ui/CorlissL.h"
#include "jobs/ui/SetGyoumu.h"
#include "manager/ui/Main.h"
#include "tests/support/RecordingUiService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using managertest::casePath;
using managertest::readFile;

namespace {

// What is left of the editor's temporary files in the case's temporary folder.
std::string texts(const std::vector<testsupport::UiEvent> &boxes)
{
    std::string all;
    for (const testsupport::UiEvent &box : boxes)
        all += box.caption.toStdString() + ": " + box.text.toStdString() + "\n";
    return all;
}

QStringList temporaryFiles()
{
    return QDir(QDir::tempPath())
        .entryList({QStringLiteral("BNF*")}, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
}

class JobSettingsEndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        managertest::storeModeSettings(false);
        YmInitialize();
        form = std::make_unique<TMainForm>();
        MainForm = form.get();
    }
    void TearDown() override { MainForm = nullptr; }

    // Opens the editor from the main menu and plays the operator in it.
    void inEditor(const std::function<void(TSetGyForm &)> &script)
    {
        ui.queueForm([script](QDialog &dialog) {
            auto &editor = static_cast<TSetGyForm &>(dialog);
            EXPECT_FALSE(MainForm->isEnabled());
            EXPECT_TRUE(editor.isEnabled());
            script(editor);
            if (editor.isVisible())
                editor.EndTBtn->click();
        });
        form->findChild<QPushButton *>(QStringLiteral("GyoumuBtn"))->click();
        EXPECT_TRUE(form->isEnabled());
    }

    testsupport::RecordingUi ui;
    std::unique_ptr<TMainForm> form;
};

TEST_F(JobSettingsEndToEnd, ANewSetGoesToTheTerminalAndComesBack)
{
    const QString saved = casePath(QStringLiteral("saved.bnf"));
    ASSERT_TRUE(QDir().mkpath(casePath(QStringLiteral("inbox"))));
    {
        managertest::Simulator sim({QStringLiteral("--inbox"), casePath(QStringLiteral("inbox"))});
        ASSERT_TRUE(sim.ready());
        inEditor([&](TSetGyForm &editor) {
            editor.NewTBtn->click();
            ui.queueFileName(saved);
            editor.SaveTBtn->click();
            editor.SGDatTBtn->click();
            EXPECT_TRUE(editor.isEnabled());
        });
        const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u) << texts(boxes) << sim.log().toStdString();
        EXPECT_EQ(boxes[0].text.toStdString(), "正常終了");
        EXPECT_EQ(boxes[0].caption.toStdString(), "業務設定データ送信");
        const QByteArray file = readFile(saved);
        ASSERT_FALSE(file.isEmpty());
        EXPECT_EQ(readFile(casePath(QStringLiteral("inbox/CNF800.BNF"))), file);
        EXPECT_TRUE(sim.log().contains(
            QStringLiteral("field definition CNF800.BNF %1 records of widths 500").arg(file.size() / 502)))
            << sim.log().toStdString();
        EXPECT_EQ(temporaryFiles(), QStringList());
    }

    ASSERT_TRUE(QDir().mkpath(casePath(QStringLiteral("outbox"))));
    ASSERT_TRUE(QFile::copy(casePath(QStringLiteral("inbox/CNF800.BNF")),
                            casePath(QStringLiteral("outbox/CNF800.BNF"))));
    managertest::Simulator sim({QStringLiteral("--outbox"), casePath(QStringLiteral("outbox")),
                                QStringLiteral("--fields"), QStringLiteral("500")});
    ASSERT_TRUE(sim.ready());
    ui.clear();
    const QString again = casePath(QStringLiteral("again.bnf"));
    inEditor([&](TSetGyForm &editor) {
        editor.RGDatTBtn->click();
        EXPECT_TRUE(editor.EditFlag);
        EXPECT_FALSE(editor.ChangeFlag);
        EXPECT_EQ(editor.windowTitle().toStdString(), "業務設定(業務設定受信ファイル.Bnf)");
        ui.queueFileName(again);
        editor.SaveTBtn->click();
    });
    const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u) << texts(boxes) << sim.log().toStdString();
    EXPECT_EQ(boxes[0].text.toStdString(), "正常終了");
    EXPECT_EQ(boxes[0].caption.toStdString(), "業務設定データ受信");
    // The save dialog offered the received set's name in the folder of the last saved set.
    const auto dialog =
        std::find_if(ui.events().begin(), ui.events().end(), [](const testsupport::UiEvent &e) {
            return e.kind == testsupport::UiEvent::Kind::SaveDialog;
        });
    ASSERT_NE(dialog, ui.events().end());
    EXPECT_EQ(dialog->text, casePath(QStringLiteral("業務設定受信ファイル.Bnf")));
    EXPECT_EQ(readFile(again), readFile(saved));
    EXPECT_EQ(temporaryFiles(), QStringList());
}

TEST_F(JobSettingsEndToEnd, APortThatWillNotOpenEndsTheSendCleanly)
{
    qputenv("HARBROOK_PORT_COM1", QFile::encodeName(casePath(QStringLiteral("no-such-device"))));
    inEditor([&](TSetGyForm &editor) {
        editor.NewTBtn->click();
        editor.SGDatTBtn->click();
        EXPECT_TRUE(editor.isEnabled());
        EXPECT_TRUE(editor.EditFlag);
    });
    qunsetenv("HARBROOK_PORT_COM1");
    const std::vector<testsupport::UiEvent> boxes = ui.messageBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text.toStdString(), "COM1をオープンできません");
    EXPECT_EQ(boxes.back().caption.toStdString(), "通信ポートCOM1");
    EXPECT_EQ(temporaryFiles(), QStringList());
    EXPECT_EQ(YmComClose(-1), 1) << "a port is still open";
}

// A terminal that falls silent: the operator stops the send, and everything is put back.
TEST_F(JobSettingsEndToEnd, AStoppedSendToASilentTerminalEndsCleanly)
{
    managertest::Simulator sim({QStringLiteral("--inbox"), casePath(QStringLiteral("inbox")),
                                QStringLiteral("--stall"), QStringLiteral("1"), QStringLiteral("--stall-ms"),
                                QStringLiteral("60000")});
    ASSERT_TRUE(sim.ready());
    bool stopped = false;
    QTimer stopper;
    stopper.setInterval(300);
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *stop = w->objectName() == QLatin1String("ComForm") && w->isVisible()
                             ? w->findChild<QPushButton *>(QStringLiteral("StopButton"))
                             : nullptr;
            if (stop != nullptr && stop->isEnabled()) {
                stop->click();
                stopped = true;
            }
        }
    });
    QElapsedTimer clock;
    clock.start();
    inEditor([&](TSetGyForm &editor) {
        editor.NewTBtn->click();
        stopper.start();
        editor.SGDatTBtn->click();
        stopper.stop();
        EXPECT_TRUE(editor.isEnabled());
        EXPECT_TRUE(editor.EditFlag);
    });
    EXPECT_TRUE(stopped);
    EXPECT_LT(clock.elapsed(), 20000);
    for (const testsupport::UiEvent &box : ui.messageBoxes())
        EXPECT_NE(box.text.toStdString(), "正常終了");
    EXPECT_EQ(temporaryFiles(), QStringList());
    EXPECT_EQ(YmComClose(-1), 1) << "a port is still open";
}

} // namespace
