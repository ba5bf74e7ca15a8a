#pragma once

#include <QComboBox>

// A drop-down list whose item is chosen from the list only (KeyPress0): a typed character would
// pick an item by its first letters behind the operator's back, so printable keys are dropped.
// Arrows, Tab, Escape and the list's open keys work as usual; Return is left to the form's own
// Return moves (an event filter) and otherwise ignored.
class TListCombo : public QComboBox {
    Q_OBJECT

public:
    explicit TListCombo(QWidget *parent = nullptr);

    // The items of a list text: one item per line ended by CR LF.
    void setItemsText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};
