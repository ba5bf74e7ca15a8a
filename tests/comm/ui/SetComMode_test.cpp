#include "comm/ui/ComMain.h"
#include "comm/ui/SetComMode.h"
#include "comm/ui/SetFolder.h"
#include "platform/Registry.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using comm::TComModeSettings;
using platform::MsgIcon;
using platform::MsgModality;

namespace {

TComModeSettings completeSettings()
{
    TComModeSettings s;
    s.LogFolder = QStringLiteral("/l/");
    s.DefRxFolder = QStringLiteral("/r/");
    s.DefTxFolder = QStringLiteral("/t/");
    return s;
}

template <typename T> T *control(QWidget &form, const char *name)
{
    T *found = form.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QWidget &form, const char *name)
{
    QPushButton *button = control<QPushButton>(form, name);
    ASSERT_NE(button, nullptr);
    button->click();
}

void type(QWidget &form, const char *name, const QString &text)
{
    QLineEdit *edit = control<QLineEdit>(form, name);
    ASSERT_NE(edit, nullptr);
    edit->setText(text);
}

// A folder of the running case that exists, as the dialog only takes existing folders.
QString existing(const char *name)
{
    const QString path = QDir(testsupport::caseFolder()).filePath(QString::fromLatin1(name));
    EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
    return path;
}

std::optional<QString> storedString(const QString &name)
{
    platform::TRegistry registry;
    if (!registry.OpenKeyReadOnly(comm::commSettingsKey()))
        return std::nullopt;
    return registry.ReadString(name);
}

class SetComModeTest : public testing::Test {
protected:
    void SetUp() override { comm::resetLibraryState(); }
    void TearDown() override { comm::resetLibraryState(); }

    // Shows the form modally with the script as the operator; what showModal returned.
    int run(TSetComModeForm &form, testsupport::FormScript script)
    {
        ui.queueForm(std::move(script));
        return platform::ui().showModal(form);
    }

    // Complete settings with the log panel shown, so every browse button is there; nothing recorded.
    void startWithTheLogOn()
    {
        ui.clear();
        comm::Mode = completeSettings();
        comm::Mode.LogEnable = true;
    }

    testsupport::RecordingUi ui;
};

TEST_F(SetComModeTest, ControlsCarryTheirNamesAndCaptions)
{
    comm::Mode = completeSettings();
    TSetComModeForm form;
    EXPECT_EQ(form.windowTitle(), QString("通信モード設定"));
    const struct {
        const char *name;
        QString caption;
    } captions[] = {
        {"DspShowRadio", "表示する"},
        {"DspHideRadio", "表示しない"},
        {"CsvCheck", "ｶﾝﾏ区切りﾃﾞｰﾀ受信"},
        {"DblQuotedChk", "ｶﾝﾏ区切りﾃﾞｰﾀを引用符（”）で括る"},
        {"LastSpaceCheck", "ｶﾝﾏ区切り受信末尾ｽﾍﾟｰｽをﾃﾞｰﾀとする"},
        {"AddZeroChk", "削除フラグを付加"},
        {"LogCheck", "通信履歴を保存する"},
        {"LogSanshouBtn", "参照"},
        {"RxSanshouBtn", "参照"},
        {"TxSanshouBtn", "参照"},
        {"TekiyouBtn", "適用"},
        {"UpDateBtn", "更新"},
        {"CancelBtn", "キャンセル"},
    };
    for (const auto &c : captions) {
        const QAbstractButton *b = control<QAbstractButton>(form, c.name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), c.caption) << c.name;
    }
    const QGroupBox *dsp = control<QGroupBox>(form, "DspRG");
    ASSERT_NE(dsp, nullptr);
    EXPECT_EQ(dsp->title(), QString("通信状態表示"));
    // The two items side by side, in the group.
    EXPECT_EQ(form.DspShowRadio->parentWidget(), dsp);
    EXPECT_EQ(form.DspHideRadio->parentWidget(), dsp);
    const auto *grid = qobject_cast<QGridLayout *>(dsp->layout());
    ASSERT_NE(grid, nullptr);
    int row[2] = {}, column[2] = {}, span = 0;
    grid->getItemPosition(grid->indexOf(form.DspShowRadio), &row[0], &column[0], &span, &span);
    grid->getItemPosition(grid->indexOf(form.DspHideRadio), &row[1], &column[1], &span, &span);
    EXPECT_EQ(row[0], row[1]);
    EXPECT_EQ(column[0], 0);
    EXPECT_EQ(column[1], 1);

    const QWidget *logGroup = control<QGroupBox>(form, "LogGroup");
    const QWidget *logPanel = control<QWidget>(form, "LogPanel");
    EXPECT_EQ(form.LogCheck->parentWidget(), logGroup);
    EXPECT_EQ(logPanel->parentWidget(), logGroup);
    for (const char *name : {"LogFileFolder", "LogSanshouBtn", "LogFileCombo"})
        EXPECT_TRUE(logPanel->isAncestorOf(control<QWidget>(form, name))) << name;
    const QComboBox *combo = control<QComboBox>(form, "LogFileCombo");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QString("日ごとに別名で保存"));
    EXPECT_EQ(combo->itemText(1), QString("月ごとに別名で保存"));
    EXPECT_EQ(combo->itemText(2), QString("年ごとに別名で保存"));
    QStringList labels;
    for (const QLabel *label : form.findChildren<QLabel *>())
        labels << label->text();
    for (const QString &label : {QString("保存フォルダ"), QString("保存ファイル名"),
                                 QString("受信デフォルトフォルダ"), QString("送信デフォルトフォルダ")})
        EXPECT_TRUE(labels.contains(label)) << label.toStdString();
}

TEST_F(SetComModeTest, FormCreateFillsEveryControlFromTheLibrary)
{
    TComModeSettings on = completeSettings();
    on.DspMode = false;
    on.CsvRcvDat = on.LastSpace = on.DblQuoted = on.AddZero = on.LogEnable = true;
    on.LogFileMode = 2;
    TComModeSettings off = completeSettings();
    off.DspMode = true;
    off.CsvRcvDat = off.LastSpace = off.DblQuoted = off.AddZero = off.LogEnable = false;
    off.LogFileMode = 0;
    off.LogFolder = QStringLiteral("/other/");
    for (const TComModeSettings &s : {on, off}) {
        SCOPED_TRACE(s.LogEnable ? "flags on" : "flags off");
        comm::Mode = s;
        TSetComModeForm form;
        EXPECT_EQ(form.DspShowRadio->isChecked(), s.DspMode);
        EXPECT_EQ(form.DspHideRadio->isChecked(), !s.DspMode);
        EXPECT_EQ(form.CsvCheck->isChecked(), s.CsvRcvDat);
        EXPECT_EQ(form.DblQuotedChk->isChecked(), s.DblQuoted);
        EXPECT_EQ(form.LastSpaceCheck->isChecked(), s.LastSpace);
        EXPECT_EQ(form.AddZeroChk->isChecked(), s.AddZero);
        EXPECT_EQ(form.LogCheck->isChecked(), s.LogEnable);
        EXPECT_EQ(form.LogPanel->isHidden(), !s.LogEnable);
        EXPECT_EQ(form.LogFileCombo->currentIndex(), s.LogFileMode);
        EXPECT_EQ(form.LogFileFolder->text(), s.LogFolder);
        EXPECT_EQ(form.RxFolder->text(), s.DefRxFolder);
        EXPECT_EQ(form.TxFolder->text(), s.DefTxFolder);
        // Complete settings: every way out is open.
        EXPECT_TRUE(form.CancelBtn->isEnabled());
        EXPECT_TRUE(form.TekiyouBtn->isEnabled());
        EXPECT_TRUE(form.UpDateBtn->isEnabled());
    }
}

TEST_F(SetComModeTest, LogPanelFollowsLogCheck)
{
    comm::Mode = completeSettings();
    TSetComModeForm form;
    bool shownAfterTick = false;
    bool hiddenAfterUntick = false;
    run(form, [&](QDialog &) {
        EXPECT_FALSE(form.LogPanel->isVisible());
        form.LogCheck->click();
        shownAfterTick = form.LogPanel->isVisible();
        form.LogCheck->click();
        hiddenAfterUntick = !form.LogPanel->isVisible();
        form.CancelBtn->click();
    });
    EXPECT_TRUE(shownAfterTick);
    EXPECT_TRUE(hiddenAfterUntick);
}

TEST_F(SetComModeTest, IncompleteSettingsCanOnlyBeLeftByStoring)
{
    const QString rx = existing("rx");
    const QString tx = existing("tx");
    const struct {
        const char *name;
        TComModeSettings settings;
    } cases[] = {
        {"fresh machine", TComModeSettings{}},
        {"log on without folder",
         [] {
             TComModeSettings s = completeSettings();
             s.LogEnable = true;
             s.LogFolder.clear();
             return s;
         }()},
        {"no send folder",
         [] {
             TComModeSettings s = completeSettings();
             s.DefTxFolder.clear();
             return s;
         }()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        comm::Mode = c.settings;
        TSetComModeForm form;
        EXPECT_FALSE(form.CancelBtn->isEnabled());
        EXPECT_FALSE(form.TekiyouBtn->isEnabled());
        EXPECT_TRUE(form.UpDateBtn->isEnabled());
        bool openAfterClose = false;
        bool openAfterEscape = false;
        bool openAfterReject = false;
        const int result = run(form, [&](QDialog &) {
            form.close();
            openAfterClose = form.isVisible();
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(&form, &escape);
            openAfterEscape = form.isVisible();
            form.reject();
            openAfterReject = form.isVisible();
            form.LogCheck->setChecked(false);
            type(form, "RxFolder", rx);
            type(form, "TxFolder", tx);
            // Enter in the last edit presses 更新, the dialog's default button.
            QTest::keyClick(form.TxFolder, Qt::Key_Return);
        });
        EXPECT_TRUE(openAfterClose);
        EXPECT_TRUE(openAfterEscape);
        EXPECT_TRUE(openAfterReject);
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(ui.forms().back().formLeftOpen);
        EXPECT_TRUE(form.CancelBtn->isEnabled());
        EXPECT_EQ(ui.messageBoxCount(), 0);
        EXPECT_EQ(storedString("DefRxFolder"), rx);
        EXPECT_EQ(storedString("DefTxFolder"), tx);
        EXPECT_EQ(comm::Mode.DefRxFolder, rx + "/");
    }
}

TEST_F(SetComModeTest, CompleteSettingsCloseOnRequest)
{
    const struct {
        const char *name;
        std::function<void(TSetComModeForm &)> leave;
    } ways[] = {
        {"close", [](TSetComModeForm &f) { f.close(); }},
        {"escape",
         [](TSetComModeForm &f) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&f, &escape);
         }},
        {"cancel", [](TSetComModeForm &f) { f.CancelBtn->click(); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.name);
        comm::Mode = completeSettings();
        TSetComModeForm form;
        run(form, [&](QDialog &) {
            // What cancel leaves behind is not applied.
            form.CsvCheck->setChecked(true);
            type(form, "RxFolder", "/elsewhere");
            way.leave(form);
        });
        EXPECT_FALSE(ui.forms().back().formLeftOpen);
        EXPECT_FALSE(comm::Mode.CsvRcvDat);
        EXPECT_EQ(comm::Mode.DefRxFolder, QString("/r/"));
    }
    EXPECT_FALSE(storedString("DefRxFolder").has_value());
}

TEST_F(SetComModeTest, RefusedEntryShowsItsMessageFocusesTheEditAndStaysOpen)
{
    const struct {
        const char *edit;
        bool logOn;
        const char *button;
        QString message;
        QString typed;
    } cases[] = {
        {"LogFileFolder", true, "TekiyouBtn", "通信履歴保存フォルダ名を入力してください。", "\\"},
        {"RxFolder", false, "UpDateBtn", "受信デフォルトフォルダ名を入力してください。", "\\"},
        {"TxFolder", false, "TekiyouBtn", "送信デフォルトフォルダ名を入力してください。", "\\"},
        {"RxFolder", true, "TekiyouBtn", "受信デフォルトフォルダ名を入力してください。", "\\"},
        // The next start would drop these and ask again.
        {"RxFolder", false, "UpDateBtn", "受信デフォルトフォルダが存在しません。", "/no/such/folder"},
        {"TxFolder", false, "TekiyouBtn", "送信デフォルトフォルダが存在しません。", "/no/such/folder"},
        {"TxFolder", false, "UpDateBtn", "ﾈｯﾄﾜｰｸ上のPCのﾌｫﾙﾀﾞは設定できません。", "//server/share"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " " + c.button);
        ui.clear();
        comm::Mode = completeSettings();
        TSetComModeForm form;
        bool stayedOpen = false;
        QWidget *focused = nullptr;
        run(form, [&](QDialog &) {
            if (form.LogCheck->isChecked() != c.logOn)
                form.LogCheck->click();
            form.CsvCheck->setChecked(true);
            form.DspHideRadio->setChecked(true);
            // The other folders exist, so only the typed entry can be refused.
            type(form, "LogFileFolder", existing("logs"));
            type(form, "RxFolder", existing("rx"));
            type(form, "TxFolder", existing("tx"));
            type(form, c.edit, c.typed);
            click(form, c.button);
            stayedOpen = form.isVisible();
            focused = form.focusWidget();
            form.CancelBtn->click();
        });
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(focused, form.findChild<QWidget *>(c.edit));
        ASSERT_EQ(ui.messageBoxCount(), 1);
        const testsupport::UiEvent box = ui.messageBoxes()[0];
        EXPECT_EQ(box.text, c.message);
        EXPECT_EQ(box.caption, QString("入力エラー"));
        EXPECT_EQ(box.style.icon, MsgIcon::Exclamation);
        EXPECT_EQ(box.style.modality, MsgModality::Task);
        EXPECT_TRUE(box.style.foreground);
        // Nothing of a refused entry is applied or stored.
        EXPECT_FALSE(comm::Mode.CsvRcvDat);
        EXPECT_TRUE(comm::Mode.DspMode);
        EXPECT_FALSE(storedString("DefRxFolder").has_value());
    }
}

TEST_F(SetComModeTest, ApplyChangesTheLibraryButNotTheStore)
{
    const QString logs = existing("logs");
    const QString in = existing("in");
    const QString out = existing("out");
    comm::Mode = completeSettings();
    TSetComModeForm form;
    const int result = run(form, [&](QDialog &) {
        form.DspHideRadio->setChecked(true);
        form.AddZeroChk->setChecked(true);
        form.LogCheck->click();
        form.LogFileCombo->setCurrentIndex(0);
        type(form, "LogFileFolder", logs);
        type(form, "RxFolder", in);
        type(form, "TxFolder", out + "/");
        click(form, "TekiyouBtn");
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(comm::Mode.DspMode);
    EXPECT_TRUE(comm::Mode.AddZero);
    EXPECT_TRUE(comm::Mode.LogEnable);
    EXPECT_EQ(comm::Mode.LogFileMode, 0);
    EXPECT_EQ(comm::Mode.LogFolder, logs + "/");
    EXPECT_EQ(comm::Mode.DefRxFolder, in + "/");
    EXPECT_EQ(comm::Mode.DefTxFolder, out + "/");
    platform::TRegistry registry;
    EXPECT_FALSE(registry.KeyExists(comm::commSettingsKey()));
}

TEST_F(SetComModeTest, UpdateStoresTheTypedTextsAndApplies)
{
    const QString logs = existing("logs");
    const QString in = existing("in");
    const QString out = existing("out");
    comm::Mode = completeSettings();
    TSetComModeForm form;
    run(form, [&](QDialog &) {
        form.DspHideRadio->setChecked(true);
        form.LastSpaceCheck->setChecked(true);
        form.LogCheck->click();
        form.LogFileCombo->setCurrentIndex(2);
        type(form, "LogFileFolder", logs);
        type(form, "RxFolder", in);
        type(form, "TxFolder", out + "/");
        click(form, "UpDateBtn");
    });
    EXPECT_FALSE(ui.forms().back().formLeftOpen);
    platform::TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(comm::commSettingsKey()));
    EXPECT_EQ(registry.ReadBool("DspMode"), false);
    EXPECT_EQ(registry.ReadBool("LastSpace"), true);
    EXPECT_EQ(registry.ReadBool("LogEnable"), true);
    EXPECT_EQ(registry.ReadInteger("LogFileMode"), 2);
    EXPECT_EQ(registry.ReadString("LogFolder"), logs);
    EXPECT_EQ(registry.ReadString("DefRxFolder"), in);
    EXPECT_EQ(registry.ReadString("DefTxFolder"), out + "/");
    EXPECT_EQ(comm::Mode.DefRxFolder, in + "/");
    EXPECT_TRUE(comm::Mode.LastSpace);
}

TEST_F(SetComModeTest, UnwritableStoreIsReportedAndTheDialogStaysOpen)
{
    const QString in = existing("in");
    const QString out = existing("out");
    const QString blocker = QDir(testsupport::caseFolder()).filePath("blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray previous = qgetenv("HARBROOK_REGISTRY");
    qputenv("HARBROOK_REGISTRY", QFile::encodeName(blocker + "/registry.json"));
    comm::Mode = TComModeSettings{}; // a first start: no way out but storing
    TSetComModeForm form;
    bool stayedOpen = false;
    bool cancelEnabled = true;
    const int result = run(form, [&](QDialog &) {
        type(form, "RxFolder", in);
        type(form, "TxFolder", out);
        click(form, "UpDateBtn");
        stayedOpen = form.isVisible();
        cancelEnabled = form.CancelBtn->isEnabled();
        // The entries hold for this run; the operator may go on with them.
        click(form, "TekiyouBtn");
    });
    qputenv("HARBROOK_REGISTRY", previous);
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(ui.forms().back().formLeftOpen);
    ASSERT_EQ(ui.messageBoxCount(), 1);
    EXPECT_EQ(ui.messageBoxes()[0].text, QString("通信モード設定を保存できませんでした。"));
    EXPECT_EQ(ui.messageBoxes()[0].caption, QString("通信モード設定"));
    EXPECT_EQ(ui.messageBoxes()[0].style.icon, MsgIcon::Stop);
    EXPECT_EQ(comm::Mode.DefRxFolder, in + "/");
}

TEST_F(SetComModeTest, BrowseButtonsHandTheEditToThePickerAndTakeItsAnswer)
{
    const struct {
        const char *button;
        const char *edit;
        int mode;
    } cases[] = {
        {"LogSanshouBtn", "LogFileFolder", 1},
        {"RxSanshouBtn", "RxFolder", 2},
        {"TxSanshouBtn", "TxFolder", 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        startWithTheLogOn();
        TSetComModeForm form;
        int modeSeen = 0;
        QString pathSeen;
        QWidget *pickerParent = nullptr;
        bool pickerIsFolderForm = false;
        QString afterChoice;
        QString afterCancel;
        run(form, [&](QDialog &) {
            type(form, c.edit, "/typed");
            ui.queueForm([&](QDialog &picker) {
                modeSeen = SetFolderMode;
                pathSeen = SetFolderPath;
                pickerParent = picker.parentWidget();
                pickerIsFolderForm = qobject_cast<TSetFolderForm *>(&picker) != nullptr;
                SetFolderPath = QStringLiteral("/chosen/");
                picker.accept();
            });
            click(form, c.button);
            afterChoice = form.findChild<QLineEdit *>(c.edit)->text();
            ui.queueForm([&](QDialog &picker) {
                SetFolderPath.clear();
                picker.reject();
            });
            click(form, c.button);
            afterCancel = form.findChild<QLineEdit *>(c.edit)->text();
            form.CancelBtn->click();
        });
        EXPECT_EQ(modeSeen, c.mode);
        EXPECT_EQ(pathSeen, QString("/typed"));
        EXPECT_EQ(pickerParent, &form);
        EXPECT_EQ(afterChoice, QString("/chosen/"));
        EXPECT_EQ(afterCancel, QString("/chosen/"));
        EXPECT_TRUE(pickerIsFolderForm);
        EXPECT_EQ(ui.forms().size(), 3u);
        EXPECT_EQ(ui.pendingForms(), 0);
    }
}

TEST_F(SetComModeTest, TheFocusComesBackToTheBrowseButtonAndEnterPressesThePickersButtons)
{
    const QString folder = existing("picked");
    const struct {
        const char *button;
        const char *edit;
        const char *pickerButton;
        QString edited; // the edit's text after the picker
    } cases[] = {
        {"RxSanshouBtn", "RxFolder", "OkButton", folder + QLatin1Char('/')},
        {"TxSanshouBtn", "TxFolder", "CancellButton", folder},
        {"LogSanshouBtn", "LogFileFolder", "OkButton", folder + QLatin1Char('/')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.button);
        startWithTheLogOn();
        TSetComModeForm form;
        auto *browse = control<QPushButton>(form, c.button);
        const QWidget *focused = nullptr;
        run(form, [&](QDialog &) {
            QApplication::setActiveWindow(&form);
            control<QLineEdit>(form, c.edit)->setText(folder);
            browse->setFocus();
            ui.queueForm([&](QDialog &picker) {
                QApplication::setActiveWindow(&picker);
                auto *button = control<QPushButton>(picker, c.pickerButton);
                button->setFocus();
                QTest::keyClick(button, Qt::Key_Return);
            });
            QTest::keyClick(browse, Qt::Key_Return);
            QApplication::setActiveWindow(&form);
            focused = QApplication::focusWidget();
            form.CancelBtn->click();
        });
        ASSERT_EQ(ui.forms().size(), 2u);
        EXPECT_FALSE(ui.forms()[1].formLeftOpen);
        EXPECT_EQ(focused, browse) << "the focus is on "
                                   << (focused ? focused->objectName().toStdString() : "nothing");
        EXPECT_EQ(control<QLineEdit>(form, c.edit)->text(), c.edited);
    }
}

} // namespace
