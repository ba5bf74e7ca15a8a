#include "WidgetUiService.h"

#include "TitleRoom.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QSplitter>
#include <QThread>
#include <QTreeView>
#include <QUrl>
#include <vector>

namespace platform {
namespace {

struct ButtonMap {
    QMessageBox::StandardButton button;
    MsgResult result;
};

std::vector<ButtonMap> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return {{QMessageBox::Ok, MsgResult::Ok}};
    case MsgButtons::OkCancel:
        return {{QMessageBox::Ok, MsgResult::Ok}, {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::YesNo:
        return {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}};
    case MsgButtons::YesNoCancel:
        return {{QMessageBox::Yes, MsgResult::Yes},
                {QMessageBox::No, MsgResult::No},
                {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::RetryCancel:
        return {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{QMessageBox::Abort, MsgResult::Abort},
                {QMessageBox::Retry, MsgResult::Retry},
                {QMessageBox::Ignore, MsgResult::Ignore}};
    }
    return {{QMessageBox::Ok, MsgResult::Ok}};
}

QMessageBox::Icon iconOf(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

namespace {

// The window a box or dialog belongs to. Between one box closing and the next opening no window
// may be active (the window that asked is disabled while it waits): the modal window then, else the
// program's shown window.
QWidget *ownerWindow()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        const Qt::WindowType kind = window->windowType();
        if (window->isVisible() && (kind == Qt::Window || kind == Qt::Dialog))
            return window;
    }
    return nullptr;
}

bool onGuiThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

MsgResult WidgetUiService::messageBox(const QString &text, const QString &caption, const MsgStyle &style)
{
    // The transfer worker reports its failures through this service too: widgets live on the GUI
    // thread only, so such a box is shown there while the worker waits for the answer.
    if (!onGuiThread()) {
        MsgResult result = defaultAnswer(style);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { result = messageBox(text, caption, style); },
            Qt::BlockingQueuedConnection);
        return result;
    }

    // The programs' texts break lines with CR LF; a label would show the CR.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    QPointer<QMessageBox> box = new QMessageBox(ownerWindow());
    box->setTextFormat(Qt::PlainText); // file names and messages are never markup
    box->setText(shown);
    box->setWindowTitle(caption);
    box->setIcon(iconOf(style.icon));
    // Task- and system-modal boxes alike block every window of the program.
    box->setWindowModality(Qt::ApplicationModal);

    const std::vector<ButtonMap> buttons = buttonsOf(style.buttons);
    QMessageBox::StandardButtons set;
    for (const ButtonMap &entry : buttons)
        set |= entry.button;
    box->setStandardButtons(set);
    const int defaultIndex =
        style.defaultButton >= 1 && style.defaultButton <= static_cast<int>(buttons.size())
            ? style.defaultButton - 1
            : 0;
    box->setDefaultButton(buttons[static_cast<std::size_t>(defaultIndex)].button);
    // The box sizes itself to its text; its caption, as the desktop draws it, needs more room.
    keepTitleWhole(*box);

    if (style.foreground) {
        box->show();
        box->raise();
        box->activateWindow();
    }
    box->exec();

    MsgResult result = defaultAnswer(style);
    if (box) {
        const QMessageBox::StandardButton pressed = box->standardButton(box->clickedButton());
        for (const ButtonMap &entry : buttons) {
            if (entry.button == pressed)
                result = entry.result;
        }
        delete box;
    }
    return result;
}

void WidgetUiService::beep()
{
    if (!onGuiThread()) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QApplication::beep(); });
        return;
    }
    QApplication::beep();
}

QString WidgetUiService::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    if (!onGuiThread()) {
        QString chosen;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { chosen = openFileName(title, folder, filter); },
            Qt::BlockingQueuedConnection);
        return chosen;
    }
    return runFileDialog(QFileDialog::AcceptOpen, title, folder, filter);
}

QString WidgetUiService::saveFileName(const QString &title, const QString &start, const QString &filter)
{
    if (!onGuiThread()) {
        QString chosen;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&] { chosen = saveFileName(title, start, filter); },
            Qt::BlockingQueuedConnection);
        return chosen;
    }
    return runFileDialog(QFileDialog::AcceptSave, title, start, filter);
}

namespace {

// Qt's own file dialog sizes its columns for short English texts: sizes, kinds and dates in Japanese
// were cut ("136…tes", "平…ト"), and so was the place list's "コンピュータ".
void showDetailsWhole(QFileDialog &dialog)
{
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    dialog.resize(860, 480);
    if (auto *places = dialog.findChild<QSplitter *>(QStringLiteral("splitter")))
        places->setSizes({150, 700});
}

} // namespace

QString WidgetUiService::runFileDialog(int mode, const QString &title, const QString &start,
                                       const QString &filter)
{
    QFileDialog dialog(ownerWindow(), title, start, filter);
    const bool save = mode == QFileDialog::AcceptSave;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The programs' filters name extensions in upper case, which their files often are not.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    showDetailsWhole(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool WidgetUiService::openDocument(const QString &path)
{
    const QUrl url = QUrl::fromUserInput(path, QString(), QUrl::AssumeLocalFile);
    if (!onGuiThread()) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [url] { QDesktopServices::openUrl(url); });
        return url.isValid();
    }
    return QDesktopServices::openUrl(url);
}

int WidgetUiService::showModal(QDialog &dialog)
{
    return dialog.exec();
}

} // namespace platform
