#pragma once

#include <QComboBox>

// A drop-down list whose item is chosen from the list only: typed characters are discarded (no
// search by initial letter either); arrow keys, Page Up/Down, Home/End and Alt+Down still work.
class TFixedList : public QComboBox {
    Q_OBJECT

public:
    explicit TFixedList(QWidget *parent = nullptr);

signals:
    // Enter was pressed on the list (the next field of the page takes the focus).
    void EnterPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
