#pragma once

#include <QComboBox>

// A drop-down list that is chosen from, never typed into (KeyPress0): a printable key would pick an
// item by its first letters behind the operator's back, so it is dropped. Arrows, Tab, Enter and
// the list's open keys go on. Connect handlers to `activated`, which only the operator fires.
class TChoiceList : public QComboBox {
    Q_OBJECT

public:
    explicit TChoiceList(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
