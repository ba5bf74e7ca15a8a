#pragma once

#include "common/ui/ListCombo.h"

#include <QDialog>
#include <array>
#include <vector>

class QLabel;
class QPushButton;
class TNEdit;

// The field information dialog: the key width and one to five reference field widths of a new
// master (or of one without a width file).
class TMasterFldForm : public QDialog {
    Q_OBJECT

public:
    // widths: the widths set before, key first (0: not set).
    explicit TMasterFldForm(const std::vector<int> &widths, QWidget *parent = nullptr);

    TNEdit *KeyFldNE = nullptr;
    TListCombo *FldCntCB = nullptr;
    std::array<QLabel *, 5> FldLB{};
    std::array<TNEdit *, 5> FldNE{};
    // The unit "桁" after each width edit.
    QLabel *KeyFldUnit = nullptr;
    std::array<QLabel *, 5> FldUnit{};
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The confirmed widths, key first (NewMstFld); FldSetOk tells whether they were confirmed.
    bool FldSetOk = false;
    std::vector<int> NewMstFld;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void FldCntCBClick();
    void EndBtnClick();
    void CancelBtnClick();

private:
    void FormCreate(const std::vector<int> &widths);
    // Enter on an edit holding a width: the next control of the chain.
    void moveOn(QWidget *from);
};
