#pragma once

#include "addins/frame/KeyRules.h"

#include <QLineEdit>

class QMenu;

// A text field held to a budget of code page 932 bytes, with an optional key filter of KeyRules.h.
// Typed keys, pastes (shortcut, context menu, middle button) and committed input-method text all go
// through the filter and the budget character by character; refused characters beep. Text set by
// the program is cut to the budget at a character boundary. Drops are refused. Enter never reaches
// the dialog's default button: it is given to the filter and then signalled as EnterPressed.
class TByteEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TByteEdit(QWidget *parent = nullptr);

    // 0 or less: no budget.
    void setMaxBytes(int maxBytes);
    int maxBytes() const { return maxBytes_; }
    void setKeyFilter(addins::KeyFilter filter) { filter_ = std::move(filter); }
    // The program's own fill: cut to the budget, no filter, no textEdited.
    void setBoundedText(const QString &text);

    QMenu *createFilteredContextMenu();

signals:
    // Enter was pressed in the field (the next field of the page takes the focus, where a program
    // has such a chain).
    void EnterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void typeText(const QString &text);
    void pasteFiltered();

    addins::KeyFilter filter_;
    int maxBytes_ = 0;
};
