#pragma once

#include <QLineEdit>

class QMenu;

// A line edit with one change path: what the operator types, pastes (the shortcut, the context
// menu, the middle button) or commits from an input method reaches typeText, which a control
// overrides to filter it; the base inserts it as typed. A read-only control takes none of it. Text
// set by the program is taken as it is. Drops are refused: they would insert text no filter saw.
// Text holding a character code page 932 cannot hold is refused with a message, before any filter.
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit FilteredLineEdit(QWidget *parent = nullptr);

    // The standard edit menu with its paste (object name "edit-paste") running through the change
    // path; the context menu shows it.
    QMenu *createFilteredContextMenu();

protected:
    // The operator's text for the caret, over the selection when there is one.
    virtual void typeText(const QString &text);

    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void enterText(const QString &text);
    void pasteFiltered();
};
