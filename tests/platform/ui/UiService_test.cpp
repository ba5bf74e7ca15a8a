#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/UiService.h"
#include "platform/ui/TitleRoom.h"
#include "platform/ui/WidgetUiService.h"
#include "tests/support/LayoutChecks.h"
#include "tests/support/RecordingUiService.h"

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;
using platform::MsgStyle;
using testsupport::RecordingUi;
using testsupport::RecordingUiService;
using testsupport::ScopedUiService;
using testsupport::UiEvent;

TEST(UiServiceDefaults, DefaultButtonMapsToItsResult)
{
    struct Case {
        MsgButtons buttons;
        int defaultButton;
        MsgResult expected;
    };
    const Case cases[] = {
        {MsgButtons::Ok, 1, MsgResult::Ok},
        {MsgButtons::Ok, 2, MsgResult::Ok}, // past the last button: the first
        {MsgButtons::OkCancel, 2, MsgResult::Cancel},
        {MsgButtons::YesNo, 1, MsgResult::Yes},
        {MsgButtons::YesNo, 2, MsgResult::No},
        {MsgButtons::YesNo, 3, MsgResult::Yes},
        {MsgButtons::YesNoCancel, 3, MsgResult::Cancel},
        {MsgButtons::RetryCancel, 1, MsgResult::Retry},
        {MsgButtons::AbortRetryIgnore, 2, MsgResult::Retry},
        {MsgButtons::AbortRetryIgnore, 3, MsgResult::Ignore},
        {MsgButtons::OkCancel, 0, MsgResult::Ok},
    };
    for (const Case &c : cases) {
        MsgStyle style;
        style.buttons = c.buttons;
        style.defaultButton = c.defaultButton;
        EXPECT_EQ(platform::defaultAnswer(style), c.expected)
            << "buttons " << static_cast<int>(c.buttons) << " default " << c.defaultButton;
    }
}

TEST(UiServiceDefaults, SilentServiceAnswersDefaultButton)
{
    MsgStyle style;
    style.buttons = MsgButtons::YesNoCancel;
    style.defaultButton = 3;
    EXPECT_EQ(platform::ui().messageBox("t", "c", style), MsgResult::Cancel);
}

TEST(RecordingUiService, RecordsBoxesAndBeepsInOrder)
{
    RecordingUi ui;
    MsgStyle warning;
    warning.icon = MsgIcon::Exclamation;
    warning.foreground = true;
    platform::ui().beep();
    platform::ui().messageBox("first", "cap1", warning);
    platform::ui().beep();

    ASSERT_EQ(ui.events().size(), 3u);
    EXPECT_EQ(ui.events()[0].kind, UiEvent::Kind::Beep);
    EXPECT_EQ(ui.events()[1].kind, UiEvent::Kind::MessageBox);
    EXPECT_EQ(ui.events()[1].text, QString("first"));
    EXPECT_EQ(ui.events()[1].caption, QString("cap1"));
    EXPECT_EQ(ui.events()[1].style.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(ui.events()[1].style.foreground);
    EXPECT_EQ(ui.events()[2].kind, UiEvent::Kind::Beep);
    EXPECT_EQ(ui.beepCount(), 2);
    EXPECT_EQ(ui.messageBoxCount(), 1);
    ASSERT_EQ(ui.messageBoxes().size(), 1u);
    EXPECT_EQ(ui.messageBoxes()[0].text, QString("first"));
}

TEST(RecordingUiService, AnswersFromScriptThenDefaultButton)
{
    RecordingUi ui;
    ui.queueAnswers({MsgResult::No, MsgResult::Cancel});
    MsgStyle question;
    question.buttons = MsgButtons::YesNo;
    question.defaultButton = 1;

    EXPECT_EQ(platform::ui().messageBox("a", "c", question), MsgResult::No);
    EXPECT_EQ(ui.pendingAnswers(), 1);
    EXPECT_EQ(platform::ui().messageBox("b", "c", question), MsgResult::Cancel);
    EXPECT_EQ(platform::ui().messageBox("c", "c", question), MsgResult::Yes);
    question.defaultButton = 2;
    EXPECT_EQ(platform::ui().messageBox("d", "c", question), MsgResult::No);
    ASSERT_EQ(ui.messageBoxCount(), 4);
    EXPECT_EQ(ui.events()[0].answer, MsgResult::No);
    EXPECT_EQ(ui.events()[2].answer, MsgResult::Yes);

    ui.clear();
    EXPECT_EQ(ui.events().size(), 0u);
    EXPECT_EQ(ui.pendingAnswers(), 0);
}

TEST(UiServiceDefaults, SilentServiceCancelsFileDialogsAndOpensNothing)
{
    EXPECT_EQ(platform::ui().openFileName("t", "/tmp", "*"), QString());
    EXPECT_FALSE(platform::ui().openDocument("/tmp/page.html"));
}

TEST(RecordingUiService, FileDialogsAnswerFromScriptThenCancel)
{
    RecordingUi ui;
    ui.queueFileName("/data/a.txt");
    EXPECT_EQ(platform::ui().openFileName("pick", "/data/", "Text (*.txt)"), QString("/data/a.txt"));
    EXPECT_EQ(platform::ui().openFileName("again", "/other/", "*"), QString());
    EXPECT_TRUE(platform::ui().openDocument("/help/index.html"));
    ui.setOpenDocumentResult(false);
    EXPECT_FALSE(platform::ui().openDocument("/help/gone.html"));

    const std::vector<UiEvent> dialogs = ui.fileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].caption, QString("pick"));
    EXPECT_EQ(dialogs[0].text, QString("/data/"));
    EXPECT_EQ(dialogs[0].filter, QString("Text (*.txt)"));
    EXPECT_EQ(dialogs[0].chosen, QString("/data/a.txt"));
    EXPECT_EQ(dialogs[1].chosen, QString());
    ASSERT_EQ(ui.openedDocuments().size(), 2u);
    EXPECT_EQ(ui.openedDocuments()[1].text, QString("/help/gone.html"));
    EXPECT_EQ(ui.messageBoxCount(), 0);
}

TEST(RecordingUiService, FormsRunTheirModalLoopWithTheQueuedScripts)
{
    RecordingUi ui;
    QDialog outer;
    outer.setObjectName("Outer");
    outer.setWindowTitle("outer form");
    QDialog inner;
    inner.setWindowTitle("inner form");
    bool innerWasModal = false;
    ui.queueForm([&](QDialog &form) {
        // A form opened from inside a form takes the next script.
        EXPECT_EQ(platform::ui().showModal(inner), QDialog::Rejected);
        form.accept();
    });
    ui.queueForm([&](QDialog &form) {
        innerWasModal = form.isVisible() && form.isModal();
        form.reject();
    });

    EXPECT_EQ(platform::ui().showModal(outer), QDialog::Accepted);
    EXPECT_TRUE(innerWasModal);
    EXPECT_FALSE(outer.isVisible());

    const std::vector<UiEvent> forms = ui.forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0].text, QString("Outer"));
    EXPECT_EQ(forms[0].caption, QString("outer form"));
    EXPECT_EQ(forms[0].formResult, QDialog::Accepted);
    EXPECT_EQ(forms[1].caption, QString("inner form"));
    EXPECT_EQ(forms[1].formResult, QDialog::Rejected);
    EXPECT_EQ(ui.pendingForms(), 0);
}

TEST(RecordingUiService, FormWithoutScriptIsNotShownAndFormLeftOpenIsEnded)
{
    RecordingUi ui;
    QDialog form;
    EXPECT_EQ(platform::ui().showModal(form), 0);
    EXPECT_EQ(ui.forms().size(), 1u);

    ui.queueForm([](QDialog &) {});
    EXPECT_EQ(platform::ui().showModal(form), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(ui.forms().size(), 2u);
    EXPECT_FALSE(ui.forms()[0].formLeftOpen);
    EXPECT_TRUE(ui.forms()[1].formLeftOpen);
}

TEST(UiServiceDefaults, SilentServiceShowsNoForm)
{
    QDialog form;
    EXPECT_EQ(platform::ui().showModal(form), 0);
    EXPECT_FALSE(form.isVisible());
}

TEST(RecordingUiService, ScopeRestoresPreviousService)
{
    platform::UiService *before = &platform::ui();
    RecordingUiService outer;
    {
        ScopedUiService outerScope(outer);
        {
            RecordingUi inner;
            platform::ui().beep();
            EXPECT_EQ(inner.beepCount(), 1);
        }
        EXPECT_EQ(&platform::ui(), &outer);
        platform::ui().beep();
    }
    EXPECT_EQ(outer.beepCount(), 1);
    EXPECT_EQ(&platform::ui(), before);
}

namespace {

struct ShownBox {
    bool found = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget *parent = nullptr;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButtons buttons;
};

using BoxLook = std::function<void(QMessageBox &)>;

// Waits, from the event loop of the box's exec(), for the modal message box; records it, lets look
// inspect it, and clicks `button`. Gives up after about two seconds and then closes whatever box is up.
void answerNextBox(QMessageBox::StandardButton button, ShownBox &seen, const BoxLook &look = {},
                   int attemptsLeft = 200)
{
    QTimer::singleShot(10, [button, &seen, look, attemptsLeft] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) {
            if (attemptsLeft > 0) {
                answerNextBox(button, seen, look, attemptsLeft - 1);
                return;
            }
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (qobject_cast<QMessageBox *>(widget))
                    widget->close();
            }
            return;
        }
        seen.found = true;
        seen.text = box->text();
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        seen.format = box->textFormat();
        seen.modality = box->windowModality();
        seen.parent = box->parentWidget();
        seen.defaultButton = box->standardButton(box->defaultButton());
        seen.buttons = box->standardButtons();
        if (look)
            look(*box);
        box->button(button)->click();
    });
}

} // namespace

TEST(WidgetUiService, ShowsTheBoxAsAskedAndReturnsThePressedButton)
{
    struct Case {
        MsgIcon icon;
        MsgButtons buttons;
        int defaultButton;
        QMessageBox::StandardButton press;
        MsgResult expected;
        QMessageBox::Icon shownIcon;
        QMessageBox::StandardButtons shownButtons;
        QMessageBox::StandardButton shownDefault;
    };
    const Case cases[] = {
        {MsgIcon::Information, MsgButtons::Ok, 1, QMessageBox::Ok, MsgResult::Ok, QMessageBox::Information,
         QMessageBox::Ok, QMessageBox::Ok},
        {MsgIcon::Exclamation, MsgButtons::OkCancel, 2, QMessageBox::Ok, MsgResult::Ok, QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel},
        {MsgIcon::Question, MsgButtons::YesNo, 1, QMessageBox::No, MsgResult::No, QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes},
        {MsgIcon::Stop, MsgButtons::AbortRetryIgnore, 3, QMessageBox::Retry, MsgResult::Retry,
         QMessageBox::Critical, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
         QMessageBox::Ignore},
        {MsgIcon::None, MsgButtons::YesNoCancel, 3, QMessageBox::Cancel, MsgResult::Cancel,
         QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel},
        {MsgIcon::Exclamation, MsgButtons::RetryCancel, 1, QMessageBox::Retry, MsgResult::Retry,
         QMessageBox::Warning, QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry},
    };
    platform::WidgetUiService service;
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.buttons));
        MsgStyle style;
        style.icon = c.icon;
        style.buttons = c.buttons;
        style.defaultButton = c.defaultButton;
        style.modality = platform::MsgModality::Task;
        style.foreground = true;
        ShownBox seen;
        answerNextBox(c.press, seen);
        const MsgResult result =
            service.messageBox("COM1 は既に使用されているか\r\n使用不可の状態です。", "入力エラー", style);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(seen.text, QString("COM1 は既に使用されているか\n使用不可の状態です。"));
        EXPECT_EQ(seen.title, QString("入力エラー"));
        EXPECT_EQ(seen.icon, c.shownIcon);
        EXPECT_EQ(seen.buttons, c.shownButtons);
        EXPECT_EQ(seen.defaultButton, c.shownDefault);
        EXPECT_EQ(seen.modality, Qt::ApplicationModal);
        EXPECT_EQ(seen.format, Qt::PlainText);
    }
}

TEST(WidgetUiService, BoxIsOwnedByTheActiveWindow)
{
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_EQ(QApplication::activeWindow(), &window);

    platform::WidgetUiService service;
    ShownBox seen;
    answerNextBox(QMessageBox::Ok, seen);
    EXPECT_EQ(service.messageBox("<b>not markup</b>", "Corliss通信", MsgStyle{}), MsgResult::Ok);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.parent, &window);
    EXPECT_EQ(seen.text, QString("<b>not markup</b>"));
    EXPECT_TRUE(window.findChildren<QMessageBox *>().isEmpty()) << "the box is gone after it returns";
}

TEST(WidgetUiService, BoxAskedFromAWorkerThreadIsShownOnTheGuiThread)
{
    platform::WidgetUiService service;
    ShownBox seen;
    answerNextBox(QMessageBox::Ok, seen);
    MsgResult result = MsgResult::Cancel;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        MsgStyle style;
        style.icon = MsgIcon::Stop;
        result = service.messageBox("受信データ読取エラー", "Corliss通信", style);
    }));
    worker->start();
    // The box's own event loop runs here, on the GUI thread, while the worker waits for the answer.
    while (!worker->isFinished())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    worker->wait();
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.text, QString("受信データ読取エラー"));
    EXPECT_EQ(result, MsgResult::Ok);
}

// The desktop cuts a caption wider than the box short ("業務… 信"): a box is as wide as its caption
// needs, whatever its text, and shows its text whole.
TEST(WidgetUiService, TheBoxIsWideEnoughForItsCaptionAndShowsItsTextWhole)
{
    const struct {
        const char *caption;
        const char *text;
    } cases[] = {
        {"業務設定データ送信", "正常終了"},
        {"マスターファイル受信", "タイムアウト"},
        {"プログラム転送", "ﾌｨｰﾙﾄﾞﾌｧｲﾙ(ﾃﾞｰﾀ)ｴﾗｰ"},
        {"Corliss通信", "COM1 は既に使用されているか\r\n使用不可の状態です。"},
        // The enquiry without a browser.
        {"Ferrolin Pro BHT-800", "ヘルプページを開けませんでした。\n/usr/local/lib/harbrook/help/index.html"},
        {"ファイル作成／アクセスエラー",
         "/home/operator/harbrook/log/"
         "CRLCOM1_2026_12.log\r\nの通信履歴保存ファイル作成／アクセスできません。"},
    };
    platform::WidgetUiService service;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        ShownBox seen;
        int width = 0;
        answerNextBox(QMessageBox::Ok, seen, [&width](QMessageBox &box) {
            width = box.frameGeometry().width();
            testsupport::expectTextsWhole(box);
            testsupport::expectFitsScreen(box);
        });
        service.messageBox(QString::fromUtf8(c.text), QString::fromUtf8(c.caption), MsgStyle{MsgIcon::Stop});
        ASSERT_TRUE(seen.found);
        EXPECT_GE(width, platform::titleBarWidth(QString::fromUtf8(c.caption)));
    }
}

namespace {

// The widest text of a column, as the view itself reckons it.
int widest(const QAbstractItemView &view, int column)
{
    return view.sizeHintForColumn(column);
}

} // namespace

TEST(WidgetUiService, TheFileDialogShowsEachDetailOfAFileWhole)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("AddIn.lst")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(QByteArray(136, 'x')), 136);
    file.close();

    struct Seen {
        bool looked = false;
        std::vector<std::string> cut;
    } seen;
    const auto look = [&seen] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        auto *details = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        auto *places = dialog->findChild<QListView *>(QStringLiteral("sidebar"));
        if (!details || !places || !details->model() || details->model()->rowCount(details->rootIndex()) == 0)
            return false;
        // The size and the kind arrive after the name.
        const QModelIndex listed = details->model()->index(0, 0, details->rootIndex());
        for (int column = 1; column <= 2; ++column) {
            if (listed.siblingAtColumn(column).data().toString().isEmpty())
                return false;
        }
        QApplication::processEvents();
        seen.looked = true;
        const QHeaderView *header = details->header();
        for (int column = 0; column < header->count(); ++column) {
            if (!header->isSectionHidden(column) && header->sectionSize(column) < widest(*details, column))
                seen.cut.push_back("column " + std::to_string(column));
        }
        if (places->viewport()->width() < places->sizeHintForColumn(0))
            seen.cut.push_back("places");
        testsupport::expectFitsScreen(*dialog);
        dialog->reject();
        return true;
    };
    // Qt keeps the column widths a dialog last had, as narrow as an operator may have left them: here
    // in this case's own folder, not the user's settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    const auto restoreSettingsPath = qScopeGuard([] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    });
    {
        QFileDialog narrowed;
        narrowed.setOption(QFileDialog::DontUseNativeDialog);
        auto *details = narrowed.findChild<QTreeView *>(QStringLiteral("treeView"));
        ASSERT_NE(details, nullptr);
        for (int column = 1; column < details->header()->count(); ++column)
            details->header()->resizeSection(column, 30);
    }
    // From the dialog's own event loop, once it lists the folder.
    std::function<void(int)> poll = [&](int attemptsLeft) {
        QTimer::singleShot(20, [&, attemptsLeft] {
            if (!look() && attemptsLeft > 0)
                poll(attemptsLeft - 1);
            else if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
    };
    poll(200);
    // Qt's texts in Japanese, as the programs show them.
    QTranslator japanese;
    ASSERT_TRUE(japanese.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                              QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&japanese);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    platform::WidgetUiService service;
    EXPECT_EQ(service.openFileName(QStringLiteral("業務設定ファイルを開く"), folder.path() + QLatin1Char('/'),
                                   QStringLiteral("すべて (*)")),
              QString());
    QCoreApplication::removeTranslator(&japanese);
    QLocale::setDefault(before);
    ASSERT_TRUE(seen.looked) << "the dialog never listed the folder";
    for (const std::string &cut : seen.cut)
        ADD_FAILURE() << "cut: " << cut;
}
