#include "comm/CorlissRules.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "comm/ui/SetComPara.h"
#include "platform/Registry.h"
#include "tests/comm/ComPortPty.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using comm::ComConditions;
using commtest::PortHolder;
using commtest::PortOverride;
using commtest::PortPty;
using commtest::RefusingLine;
using testsupport::UiEvent;

namespace {

const QString Caption = QStringLiteral("通信条件設定");

QString portMessage(int port)
{
    return QStringLiteral(
               "COM%1 は既に使用されているか\r\n使用不可の状態です。\r\n通信ポートを変更してください。")
        .arg(port);
}

QString speedMessage(int port)
{
    return QStringLiteral("通信ポートCOM%1の通信スピードは\r\n460.8kbpsの設定ができません。").arg(port);
}

template <typename T> T *child(QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QComboBox *portBox(QWidget &form)
{
    return child<QComboBox>(form, "ComPortCB");
}

QComboBox *speedBox(QWidget &form)
{
    return child<QComboBox>(form, "ComSpeedCB");
}

QComboBox *writeBox(QWidget &form)
{
    return child<QComboBox>(form, "WrModeCB");
}

void click(QWidget &form, const char *button)
{
    child<QPushButton>(form, button)->click();
}

// The operator picks an item from the open list.
void pick(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void press(QWidget *target, int key, const QString &text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &up);
}

std::optional<int> storedInteger(const QString &name)
{
    platform::TRegistry registry;
    if (!registry.OpenKeyReadOnly(comm::commSettingsKey()))
        return std::nullopt;
    return registry.ReadInteger(name);
}

void expectConditions(const ComConditions &got, const ComConditions &expected)
{
    EXPECT_EQ(got.ComP, expected.ComP);
    EXPECT_EQ(got.ComSpeed, expected.ComSpeed);
    EXPECT_EQ(got.RcvMode, expected.RcvMode);
    EXPECT_EQ(got.WrMode, expected.WrMode);
    EXPECT_EQ(got.ComPort, expected.ComPort);
}

// COM1 to COM3 are free ptys; every other port names no device, so no test touches a real one.
class SetComFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (int n = 1; n <= 9; ++n)
            absent_.push_back(std::make_unique<PortOverride>(n, testsupport::caseFolder() +
                                                                    QStringLiteral("/absent-COM%1").arg(n)));
        for (int n = 1; n <= 3; ++n) {
            ptys_.push_back(std::make_unique<PortPty>(n));
            ASSERT_TRUE(ptys_.back()->ok());
        }
    }

    const QString &devicePath(int port) const { return ptys_.at(port - 1)->path(); }

    int run(TSetComForm &form, testsupport::FormScript script)
    {
        ui.queueForm(std::move(script));
        return platform::ui().showModal(form);
    }

    testsupport::RecordingUi ui;

private:
    std::vector<std::unique_ptr<PortOverride>> absent_;
    std::vector<std::unique_ptr<PortPty>> ptys_;
};

TEST_F(SetComFormTest, ShowsTheConditionsWithoutTestingThePort)
{
    const struct {
        ComConditions conditions;
        int port, speed;
        bool continuous;
        int write;
    } cases[] = {
        // COM4 names no device: only the operator's choice tests a port, not the loading.
        {{4, 460800, 0, 0, "COM4"}, 3, 1, false, 0},
        {{2, 115200, 1, 1, "COM2"}, 1, 0, true, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.conditions.ComP);
        ComConditions conditions = c.conditions;
        TSetComForm form(conditions);
        EXPECT_EQ(form.windowTitle(), Caption);
        EXPECT_EQ(portBox(form)->currentIndex(), c.port);
        EXPECT_EQ(speedBox(form)->currentIndex(), c.speed);
        EXPECT_EQ(child<QCheckBox>(form, "RcvModeCheck")->isChecked(), c.continuous);
        EXPECT_EQ(writeBox(form)->currentIndex(), c.write);
        EXPECT_EQ(ui.messageBoxCount(), 0);
    }

    ComConditions conditions;
    TSetComForm form(conditions);
    const auto items = [](QComboBox *box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    };
    EXPECT_EQ(items(portBox(form)).join(','), QStringLiteral("COM1,COM2,COM3,COM4,COM5,COM6,COM7,COM8,COM9"));
    EXPECT_EQ(items(speedBox(form)).join(','), QStringLiteral("115.2kbps,460.8kbps"));
    EXPECT_EQ(items(writeBox(form)).join(','), QStringLiteral("上書き,追加"));
    for (QComboBox *box : {portBox(form), speedBox(form), writeBox(form)})
        EXPECT_FALSE(box->isEditable()) << box->objectName().toStdString();
    EXPECT_EQ(child<QCheckBox>(form, "RcvModeCheck")->text(), QStringLiteral("連続受信"));
    EXPECT_EQ(child<QPushButton>(form, "SetModeBtn")->text(), QStringLiteral("通信モード設定"));
    EXPECT_EQ(child<QPushButton>(form, "SetBtn")->text(), QStringLiteral("更新"));
    EXPECT_EQ(child<QPushButton>(form, "CancelBtn")->text(), QStringLiteral("キャンセル"));
    QStringList labels;
    for (const QLabel *label : form.findChildren<QLabel *>())
        labels << label->text();
    for (const QString &text :
         {QStringLiteral("通信ポート"), QStringLiteral("通信スピード"), QStringLiteral("受信データ書き込み"),
          QStringLiteral("受信データは、通信モード設定の受信デフォルト"),
          QStringLiteral("フォルダに保存します。")})
        EXPECT_TRUE(labels.contains(text)) << text.toStdString();
}

TEST_F(SetComFormTest, AnUnusablePortIsReportedAndTheLastUsablePortSelectedAgain)
{
    const struct {
        const char *what;
        bool held; // else COM4, which names no device
    } cases[] = {{"held by another program", true}, {"no device", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ui.clear();
        const int bad = c.held ? 3 : 4;
        PortHolder holder(devicePath(3));
        ASSERT_TRUE(holder.held());
        if (!c.held)
            holder.release();
        ComConditions conditions{1, 115200, 1, 1, "COM1"};
        TSetComForm form(conditions);
        int afterGood = -1;
        int afterBad = -1;
        QWidget *focused = nullptr;
        run(form, [&](QDialog &f) {
            pick(portBox(f), 1);
            afterGood = portBox(f)->currentIndex();
            child<QPushButton>(f, "SetBtn")->setFocus();
            pick(portBox(f), bad - 1);
            afterBad = portBox(f)->currentIndex();
            focused = f.focusWidget();
            click(f, "CancelBtn");
        });
        EXPECT_EQ(afterGood, 1);
        EXPECT_EQ(afterBad, 1) << "the port that opened last, not the one the dialog started with";
        EXPECT_EQ(focused, portBox(form));
        const std::vector<UiEvent> boxes = ui.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, portMessage(bad));
        EXPECT_EQ(boxes[0].caption, Caption);
        EXPECT_EQ(boxes[0].style.icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(boxes[0].style.modality, platform::MsgModality::Task);
        EXPECT_TRUE(boxes[0].style.foreground);
    }
}

TEST_F(SetComFormTest, ARefusedLineFallsBackTo115k)
{
    const struct {
        const char *what;
        RefusingLine::Refuses refuses;
        ComConditions start;
        std::function<void(QDialog &)> act;
        std::vector<QString> messages;
        int port; // selected afterwards
    } cases[] = {
        {"460.8 chosen",
         RefusingLine::Refuses::FastSpeed,
         {1, 115200, 1, 1, "COM1"},
         [](QDialog &f) { pick(speedBox(f), 1); },
         {speedMessage(1)},
         0},
        // The port itself opened, so it stays, and it is the one to return to after a bad port.
        {"port chosen at 460.8",
         RefusingLine::Refuses::FastSpeed,
         {1, 460800, 1, 1, "COM1"},
         [](QDialog &f) {
             pick(portBox(f), 1);
             pick(portBox(f), 4);
         },
         {speedMessage(2), portMessage(5)},
         1},
        {"no line setting taken",
         RefusingLine::Refuses::Everything,
         {1, 115200, 1, 1, "COM1"},
         [](QDialog &f) { pick(portBox(f), 2); },
         {QStringLiteral("通信設定がエラーになりました。\r\n通信ポートを変更してください。")},
         2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ui.clear();
        RefusingLine line(c.refuses);
        ComConditions conditions = c.start;
        TSetComForm form(conditions, nullptr, &line);
        int speed = -1;
        int port = -1;
        QWidget *focused = nullptr;
        run(form, [&](QDialog &f) {
            child<QPushButton>(f, "SetBtn")->setFocus();
            c.act(f);
            speed = speedBox(f)->currentIndex();
            port = portBox(f)->currentIndex();
            focused = f.focusWidget();
            click(f, "CancelBtn");
        });
        EXPECT_EQ(speed, 0);
        EXPECT_EQ(port, c.port);
        EXPECT_EQ(focused, c.messages.size() == 1 ? static_cast<QWidget *>(speedBox(form)) : portBox(form));
        const std::vector<UiEvent> boxes = ui.messageBoxes();
        ASSERT_EQ(boxes.size(), c.messages.size());
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_EQ(boxes[i].text, c.messages[i]);
            EXPECT_EQ(boxes[i].caption, Caption);
            EXPECT_EQ(boxes[i].style.icon, platform::MsgIcon::Exclamation);
        }
    }
}

TEST_F(SetComFormTest, UpdateStoresAndHandsBackTheConditions)
{
    ComConditions conditions{1, 115200, 1, 1, "COM1"};
    TSetComForm form(conditions);
    const int result = run(form, [](QDialog &f) {
        pick(portBox(f), 2);
        pick(speedBox(f), 1);
        child<QCheckBox>(f, "RcvModeCheck")->click();
        pick(writeBox(f), 0);
        click(f, "SetBtn");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(ui.messageBoxCount(), 0);
    ASSERT_EQ(ui.forms().size(), 1u);
    EXPECT_FALSE(ui.forms()[0].formLeftOpen);
    expectConditions(conditions, {3, 460800, 0, 0, "COM3"});
    EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), 3);
    EXPECT_EQ(storedInteger(QStringLiteral("ComSpeed")), 460800);
    EXPECT_EQ(storedInteger(QStringLiteral("RcvMode")), 0);
    EXPECT_EQ(storedInteger(QStringLiteral("WrMode")), 0);
}

TEST_F(SetComFormTest, UpdateThatFailsStaysOpenAndChangesNothing)
{
    const QString blocker = testsupport::caseFolder() + QStringLiteral("/blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const struct {
        const char *what;
        bool blockStore; // else the chosen port is taken before "更新"
        QString message;
    } cases[] = {
        {"port taken since it was chosen", false, portMessage(2)},
        {"store cannot be written", true, QStringLiteral("通信条件を保存できませんでした。")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ui.clear();
        const QByteArray store = qgetenv("HARBROOK_REGISTRY");
        if (c.blockStore)
            qputenv("HARBROOK_REGISTRY", (blocker + QStringLiteral("/registry.json")).toLocal8Bit());
        std::unique_ptr<PortHolder> holder;
        ComConditions conditions{1, 115200, 1, 1, "COM1"};
        TSetComForm form(conditions);
        bool openAfterUpdate = false;
        const int result = run(form, [&](QDialog &f) {
            pick(portBox(f), 1);
            pick(speedBox(f), 1);
            if (!c.blockStore)
                holder = std::make_unique<PortHolder>(devicePath(2));
            click(f, "SetBtn");
            openAfterUpdate = f.isVisible();
            click(f, "CancelBtn");
        });
        qputenv("HARBROOK_REGISTRY", store);
        EXPECT_TRUE(openAfterUpdate);
        EXPECT_EQ(result, QDialog::Rejected);
        const std::vector<UiEvent> boxes = ui.messageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].caption, Caption);
        expectConditions(conditions, {1, 115200, 1, 1, "COM1"});
        EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), std::nullopt);
    }
}

TEST_F(SetComFormTest, CancelChangesNothing)
{
    ComConditions conditions{2, 460800, 0, 0, "COM2"};
    TSetComForm form(conditions);
    const int result = run(form, [](QDialog &f) {
        pick(portBox(f), 0);
        pick(speedBox(f), 0);
        child<QCheckBox>(f, "RcvModeCheck")->click();
        pick(writeBox(f), 1);
        click(f, "CancelBtn");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    expectConditions(conditions, {2, 460800, 0, 0, "COM2"});
    for (const char *name : {"ComPort", "ComSpeed", "RcvMode", "WrMode"})
        EXPECT_EQ(storedInteger(QString::fromLatin1(name)), std::nullopt) << name;
}

TEST_F(SetComFormTest, TypedCharactersAreDiscardedAndArrowsStillChoose)
{
    ComConditions conditions{1, 115200, 1, 1, "COM1"};
    TSetComForm form(conditions);
    struct Seen {
        int port = -1, speed = -1, write = -1, listRow = -1, listRowBefore = -1;
        int boxesAfterTyping = -1;
        int portAfterArrows = -1, speedAfterArrows = -1, writeAfterArrows = -1;
    } seen;
    run(form, [&](QDialog &f) {
        // Each would pick an item by its first letter: COM2, 460.8kbps, 上書き.
        press(portBox(f), Qt::Key_C, QStringLiteral("C"));
        press(speedBox(f), Qt::Key_4, QStringLiteral("4"));
        press(writeBox(f), 0, QStringLiteral("上"));
        QAbstractItemView *list = speedBox(f)->view();
        seen.listRowBefore = list->currentIndex().row();
        press(list, Qt::Key_4, QStringLiteral("4"));
        seen.listRow = list->currentIndex().row();
        seen.port = portBox(f)->currentIndex();
        seen.speed = speedBox(f)->currentIndex();
        seen.write = writeBox(f)->currentIndex();
        seen.boxesAfterTyping = ui.messageBoxCount();

        press(writeBox(f), Qt::Key_Up);
        press(speedBox(f), Qt::Key_Down);
        press(portBox(f), Qt::Key_Down); // COM2 opens
        press(portBox(f), Qt::Key_Down); // COM3 opens
        press(portBox(f), Qt::Key_Down); // COM4 names no device: back to COM3
        seen.portAfterArrows = portBox(f)->currentIndex();
        seen.speedAfterArrows = speedBox(f)->currentIndex();
        seen.writeAfterArrows = writeBox(f)->currentIndex();
        click(f, "CancelBtn");
    });
    EXPECT_EQ(seen.port, 0);
    EXPECT_EQ(seen.speed, 0);
    EXPECT_EQ(seen.write, 1);
    EXPECT_EQ(seen.listRow, seen.listRowBefore) << "the open list searched by the typed letter";
    EXPECT_EQ(seen.boxesAfterTyping, 0);

    EXPECT_EQ(seen.writeAfterArrows, 0);
    EXPECT_EQ(seen.speedAfterArrows, 1);
    EXPECT_EQ(seen.portAfterArrows, 2);
    const std::vector<UiEvent> boxes = ui.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, portMessage(4));
}

} // namespace

TEST_F(SetComFormTest, ModeButtonOpensTheModeDialogAndLeavesTheConditions)
{
    YmInitialize();
    ui.clear();
    ComConditions conditions{2, 460800, 0, 0, "COM2"};
    TSetComForm form(conditions);
    const int result = run(form, [](QDialog &f) {
        click(f, "SetModeBtn");
        click(f, "CancelBtn");
    });
    EXPECT_EQ(result, QDialog::Rejected);
    const std::vector<UiEvent> forms = ui.forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[1].caption, QStringLiteral("通信モード設定"));
    expectConditions(conditions, {2, 460800, 0, 0, "COM2"});
}

TEST_F(SetComFormTest, EnterPressesTheFocusedButtonAndTheFocusComesBackFromTheModeDialog)
{
    YmInitialize();
    comm::Mode.DefRxFolder = testsupport::caseFolder() + QLatin1Char('/');
    comm::Mode.DefTxFolder = testsupport::caseFolder() + QLatin1Char('/');
    ui.clear();
    ComConditions conditions{2, 115200, 1, 1, "COM2"};
    TSetComForm form(conditions);
    const QWidget *focusedAfterMode = nullptr;
    const int result = run(form, [&](QDialog &f) {
        QApplication::setActiveWindow(&f);
        auto *modeButton = child<QPushButton>(f, "SetModeBtn");
        modeButton->setFocus();
        ui.queueForm([](QDialog &mode) {
            auto *cancel = child<QPushButton>(mode, "CancelBtn");
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return);
        });
        QTest::keyClick(modeButton, Qt::Key_Return);
        // The window manager activates the conditions dialog again once the mode dialog has gone.
        QApplication::setActiveWindow(&f);
        focusedAfterMode = QApplication::focusWidget();
        pick(portBox(f), 0);
        auto *update = child<QPushButton>(f, "SetBtn");
        update->setFocus();
        QTest::keyClick(update, Qt::Key_Enter, Qt::KeypadModifier);
    });
    const std::vector<UiEvent> forms = ui.forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[1].caption, QStringLiteral("通信モード設定"));
    EXPECT_EQ(forms[1].formResult, QDialog::Rejected);
    EXPECT_FALSE(forms[1].formLeftOpen);
    EXPECT_EQ(focusedAfterMode, form.findChild<QPushButton *>(QStringLiteral("SetModeBtn")));
    EXPECT_EQ(result, QDialog::Accepted);
    expectConditions(conditions, {1, 115200, 1, 1, "COM1"});
    EXPECT_EQ(storedInteger(QStringLiteral("ComPort")), 1);

    // キャンセル by Enter leaves the conditions as they were.
    ui.clear();
    TSetComForm again(conditions);
    EXPECT_EQ(run(again,
                  [](QDialog &f) {
                      pick(portBox(f), 2);
                      auto *cancel = child<QPushButton>(f, "CancelBtn");
                      cancel->setFocus();
                      QTest::keyClick(cancel, Qt::Key_Return);
                  }),
              QDialog::Rejected);
    expectConditions(conditions, {1, 115200, 1, 1, "COM1"});
}
