#pragma once

#include "platform/UiService.h"

namespace platform {

// Message boxes as QMessageBox, owned by the window that asks, centred over it and modal to the
// application; the beep is the desktop's; file dialogs are QFileDialog; documents open through
// QDesktopServices; forms run their own modal loop.
// Install with setUi() once the QApplication exists.
class WidgetUiService final : public UiService {
public:
    MsgResult messageBox(const QString &text, const QString &caption, const MsgStyle &style) override;
    void beep() override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &start, const QString &filter) override;
    bool openDocument(const QString &path) override;
    int showModal(QDialog &dialog) override;

private:
    // mode: QFileDialog::AcceptMode.
    static QString runFileDialog(int mode, const QString &title, const QString &start, const QString &filter);
};

} // namespace platform
