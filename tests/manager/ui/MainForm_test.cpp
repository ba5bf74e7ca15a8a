#include "ManagerTestSupport.h"

#include "comm/ui/CorlissL.h"
#include "manager/ui/Main.h"
#include "platform/Registry.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using managertest::casePath;
using testsupport::UiEvent;

namespace {

const QString CommKeyPath = QStringLiteral("\\") + manager::CommKey;
const QString AppKeyPath = QStringLiteral("\\") + manager::AppKey;

class MainFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        managertest::storeModeSettings(false);
        YmInitialize();
        ui.clear();
        AppPath = casePath(QStringLiteral("app/"));
        QDir().mkpath(AppPath);
    }

    std::unique_ptr<TMainForm> makeForm()
    {
        auto form = std::make_unique<TMainForm>();
        MainForm = form.get();
        return form;
    }

    void TearDown() override { MainForm = nullptr; }

    static std::optional<int> stored(const QString &name)
    {
        platform::TRegistry registry;
        if (!registry.OpenKeyReadOnly(CommKeyPath))
            return std::nullopt;
        return registry.ReadInteger(name);
    }

    testsupport::RecordingUi ui;
};

void storeSendValues(const QString &folder, const QString &file)
{
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(AppKeyPath, true));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("SendFolder"), folder));
    ASSERT_TRUE(registry.WriteString(QStringLiteral("SendFile"), file));
}

} // namespace

TEST_F(MainFormTest, ButtonsInTabOrderWithTheirCaptions)
{
    const auto form = makeForm();
    struct Button {
        const char *name;
        const char *caption;
        bool enabled;
    };
    const Button expected[] = {
        {"GyoumuBtn", "業務設定データ作成/編集/転送", true},
        {"MasterBtn", "ﾏｽﾀｰﾌｧｲﾙ作成／編集/転送", true},
        {"FerPrgBtn", "Ferrolinプログラム転送", true},
        {"AddinProgBtn", "アドインプログラム転送", true},
        {"AiCdTblBtn", "ＡＩコードテーブル転送", true},
        {"RcvBtn", "データ受信", true},
        {"SendBtn", "データ送信", true},
        {"SetComBtn", "通信条件設定", true},
        {"QueryBtn", "問い合わせ", true},
        {"HPBtn", "ｻﾎﾟｰﾄWebｻｲﾄ", true},
        {"EndBtn", "終了", true},
    };
    QStringList chain;
    for (QWidget *w = form->nextInFocusChain(); w && w != form.get(); w = w->nextInFocusChain()) {
        if (qobject_cast<QPushButton *>(w))
            chain << w->objectName();
    }
    QStringList names;
    for (const Button &b : expected) {
        names << QString::fromLatin1(b.name);
        const auto *button = form->findChild<QPushButton *>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption)) << b.name;
        EXPECT_EQ(button->isEnabled(), b.enabled) << b.name;
    }
    EXPECT_EQ(chain, names);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Ferrolin Pro BHT-800"));
    EXPECT_EQ(form->size(), QSize(330, 300));
    EXPECT_EQ(form->findChild<QWidget *>(QStringLiteral("Image1"))->size(), QSize(100, 255));
}

TEST_F(MainFormTest, FreshStoreGetsTheDefaultsWrittenBack)
{
    const auto form = makeForm();
    EXPECT_EQ(form->ComPort, QStringLiteral("COM1"));
    EXPECT_EQ(form->ComP, 1);
    EXPECT_EQ(form->ComSpeed, 115200);
    EXPECT_EQ(form->RcvMode, 1);
    EXPECT_EQ(form->WrMode, 1);
    EXPECT_EQ(form->SendFolder, QString());
    EXPECT_EQ(form->SendFile, QString());
    EXPECT_EQ(stored(QStringLiteral("ComPort")), 1);
    EXPECT_EQ(stored(QStringLiteral("ComSpeed")), 115200);
    EXPECT_EQ(stored(QStringLiteral("RcvMode")), 1);
    EXPECT_EQ(stored(QStringLiteral("WrMode")), 1);
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST_F(MainFormTest, OutOfRangeValuesAreUsedClampedAndKept)
{
    managertest::storeComValue(QStringLiteral("ComPort"), 12);
    managertest::storeComValue(QStringLiteral("ComSpeed"), 9600);
    const auto form = makeForm();
    EXPECT_EQ(form->ComP, 1);
    EXPECT_EQ(form->ComPort, QStringLiteral("COM1"));
    EXPECT_EQ(form->ComSpeed, 115200);
    EXPECT_EQ(stored(QStringLiteral("ComPort")), 12);
    EXPECT_EQ(stored(QStringLiteral("ComSpeed")), 9600);
}

TEST_F(MainFormTest, EndStoresTheSendValues)
{
    storeSendValues(QStringLiteral("/data/in"), QStringLiteral("/data/in/A.DAT"));
    const auto form = makeForm();
    EXPECT_EQ(form->SendFolder, QStringLiteral("/data/in/"));
    EXPECT_EQ(form->SendFile, QStringLiteral("/data/in/A.DAT"));
    form->show();
    form->SendFolder = QStringLiteral("/other/");
    form->SendFile = QStringLiteral("/other/B.DAT");
    form->EndBtn->click();
    EXPECT_FALSE(form->isVisible());
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(AppKeyPath));
    EXPECT_EQ(registry.ReadString(QStringLiteral("SendFolder")), QStringLiteral("/other/"));
    EXPECT_EQ(registry.ReadString(QStringLiteral("SendFile")), QStringLiteral("/other/B.DAT"));
}

// A cancelled dialog: nothing reaches the terminal, no result is shown, the port is closed again.
TEST_F(MainFormTest, CancelledFileDialogsSendNothingAndClosePort)
{
    const QString kept = casePath(QStringLiteral("day/SCAN.DAT"));
    ASSERT_TRUE(managertest::writeFile(kept, "x"));
    struct Case {
        const char *what;
        const char *button;
        QString sendFile; // remembered before the click
        QString dialogTitle;
        QString dialogStart;
        QString sendFileAfter;
        QString sendFolder = QStringLiteral("/send/here/"); // remembered before the click
    };
    const Case cases[] = {
        {"add-in program", "AddinProgBtn", QString(), QStringLiteral("送信アドインプログラム選択"),
         casePath(QStringLiteral("app/AddInPrg")), QString()},
        {"data file remembered", "SendBtn", kept, QStringLiteral("送信ファイル選択"), kept, kept},
        {"data file gone", "SendBtn", casePath(QStringLiteral("gone/OLD.DAT")),
         QStringLiteral("送信ファイル選択"), QStringLiteral("/send/here/"), QString()},
        {"nothing remembered", "SendBtn", QString(), QStringLiteral("送信ファイル選択"),
         casePath(QStringLiteral("outgoing/")), QString(), QString()},
        {"file gone, no folder", "SendBtn", casePath(QStringLiteral("gone/OLD.DAT")),
         QStringLiteral("送信ファイル選択"), casePath(QStringLiteral("outgoing/")), QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        managertest::PtyPeer peer;
        ASSERT_TRUE(peer.ok());
        storeSendValues(c.sendFolder, c.sendFile);
        const auto form = makeForm();
        ui.clear();
        form->findChild<QPushButton *>(QString::fromLatin1(c.button))->click();

        const std::vector<UiEvent> dialogs = ui.fileDialogs();
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].caption, c.dialogTitle);
        EXPECT_EQ(dialogs[0].text, c.dialogStart);
        EXPECT_EQ(ui.messageBoxCount(), 0);
        EXPECT_EQ(form->SendFile, c.sendFileAfter);
        EXPECT_TRUE(form->isEnabled());
        EXPECT_EQ(peer.takeArrived(), QByteArray());
        EXPECT_EQ(YmComClose(-1), 1) << "the port is still open";
    }
}

TEST_F(MainFormTest, PortThatWillNotOpenIsReported)
{
    const QByteArray previous = qgetenv("HARBROOK_PORT_COM1");
    qputenv("HARBROOK_PORT_COM1", casePath(QStringLiteral("no-such-device")).toLocal8Bit());
    const auto form = makeForm();
    form->FerPrgBtn->click();
    qputenv("HARBROOK_PORT_COM1", previous);

    const std::vector<UiEvent> boxes = ui.messageBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, QStringLiteral("COM1をオープンできません"));
    EXPECT_EQ(boxes.back().caption, QStringLiteral("通信ポートCOM1"));
    EXPECT_EQ(boxes.back().style.icon, platform::MsgIcon::Stop);
    EXPECT_TRUE(boxes.back().style.foreground);
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(MainFormTest, EnquiryOpensTheShippedHelpPage)
{
    AppPath = QDir(testsupport::programFolder()).absolutePath() + QLatin1Char('/');
    const auto form = makeForm();
    form->QueryBtn->click();
    ASSERT_EQ(ui.events().size(), 1u);
    EXPECT_EQ(ui.events()[0].kind, UiEvent::Kind::OpenDocument);
    EXPECT_EQ(ui.events()[0].text, AppPath + QStringLiteral("help/index.html"));
    EXPECT_TRUE(QFileInfo(ui.events()[0].text).isFile());
    EXPECT_TRUE(form->isEnabled());

    form->HPBtn->click();
    EXPECT_EQ(ui.events().size(), 1u);
}

TEST_F(MainFormTest, EnquiryWithoutABrowserShowsWhereTheHelpPageIs)
{
    AppPath = QDir(testsupport::programFolder()).absolutePath() + QLatin1Char('/');
    const auto form = makeForm();
    ui.setOpenDocumentResult(false);
    form->QueryBtn->click();
    const std::vector<UiEvent> boxes = ui.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("ヘルプページを開けませんでした。\n") + AppPath +
                                 QStringLiteral("help/index.html"));
    EXPECT_EQ(boxes[0].caption, form->windowTitle());
    EXPECT_FALSE(boxes[0].caption.isEmpty());
    EXPECT_EQ(boxes[0].style.icon, platform::MsgIcon::Information);
    EXPECT_EQ(boxes[0].style.buttons, platform::MsgButtons::Ok);
    EXPECT_TRUE(form->isEnabled());
}

// Enter presses the focused button, and once what the button opened has closed, the focus is back
// on it.
TEST_F(MainFormTest, EnterPressesTheFocusedButtonAndTheFocusComesBackToIt)
{
    // No transfer gets further than the port: its boxes are what the button shows.
    const QByteArray previousPort = qgetenv("HARBROOK_PORT_COM1");
    qputenv("HARBROOK_PORT_COM1", QFile::encodeName(casePath(QStringLiteral("no-such-device"))));
    const auto form = makeForm();
    form->show();
    QApplication::setActiveWindow(form.get());
    enum class Shows { Form, Box, Document };
    const struct {
        const char *button;
        Shows shows;
    } cases[] = {
        {"GyoumuBtn", Shows::Form},   {"MasterBtn", Shows::Form}, {"FerPrgBtn", Shows::Box},
        {"AddinProgBtn", Shows::Box}, {"AiCdTblBtn", Shows::Box}, {"RcvBtn", Shows::Box},
        {"SendBtn", Shows::Box},      {"SetComBtn", Shows::Form}, {"QueryBtn", Shows::Document},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        auto *button = form->findChild<QPushButton *>(QLatin1String(c.button));
        ASSERT_NE(button, nullptr);
        ui.clear();
        if (c.shows == Shows::Form)
            ui.queueForm([](QDialog &dialog) { dialog.reject(); });
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);

        switch (c.shows) {
        case Shows::Form:
            EXPECT_EQ(ui.forms().size(), 1u);
            break;
        case Shows::Box:
            EXPECT_EQ(ui.messageBoxes().size(), 2u); // the library's, then the menu's own
            break;
        case Shows::Document:
            EXPECT_EQ(ui.openedDocuments().size(), 1u);
            break;
        }
        EXPECT_TRUE(form->isEnabled());
        // The window manager activates the menu again once the dialog or box has gone.
        QApplication::setActiveWindow(form.get());
        const QWidget *focused = QApplication::focusWidget();
        EXPECT_EQ(focused, button) << "the focus is on "
                                   << (focused ? focused->objectName().toStdString() : "nothing");
    }
    qputenv("HARBROOK_PORT_COM1", previousPort);
}
