#pragma once

#include <QComboBox>

class QString;

// A drop-down list chosen from the list only (KeyPress0): a typed or input-method character would
// pick an item by its first letters behind the operator's back, so printable text is dropped, on
// the box and on its open list alike. Arrows, Page Up/Down, Home/End, Alt+Down/F4, Tab and Escape
// work as usual. Return never reaches the dialog: a form's own Return moves (an event filter) see
// it first; otherwise it is signalled as EnterPressed. Connect handlers to `activated`, which only
// the operator fires.
class TListCombo : public QComboBox {
    Q_OBJECT

public:
    explicit TListCombo(QWidget *parent = nullptr);

    // The items of a list text: one item per line ended by CR LF. The current index is kept where
    // the new list still has it.
    void setItemsText(const QString &text);

signals:
    void EnterPressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};
