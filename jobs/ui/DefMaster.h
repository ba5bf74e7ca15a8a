#pragma once

#include "jobs/MasterDefinitions.h"

#include <QDialog>
#include <array>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TNEdit;
class TListCombo;

// Adds, overwrites and deletes the master definitions of the reference dialog's working copy. A
// master that items other than the one being edited use cannot be deleted.
class TDefMasterForm : public QDialog {
    Q_OBJECT

public:
    // copy: the reference dialog's masters; set and editing: the items that count as users.
    TDefMasterForm(masterdef::MasterCopy &copy, const TSetData &set, masterdef::ItemRef editing,
                   QWidget *parent = nullptr);

    bool SetFlag = false;
    bool ChangeFlag = false;
    int Sel = -1;
    QString TmpName;
    // A definition was stored or deleted: the reference dialog and the editor have changed.
    bool Stored = false;
    // The indexes deleted, in order, for the reference dialog's selection to follow.
    std::vector<int> Deleted;

    QListWidget *MasterLB = nullptr;
    QLineEdit *MFNameSE = nullptr;
    TNEdit *KeySizeNE = nullptr;
    TListCombo *QDefNCB = nullptr;
    std::array<TNEdit *, MaxQDCount> QDSizeNE{};
    std::array<QLabel *, MaxQDCount> QDLabel{};
    std::array<QLabel *, MaxQDCount> QDSLabel{};
    QPushButton *ChangeBtn = nullptr;
    QPushButton *DeleteBtn = nullptr;
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

protected:
    void reject() override;

private slots:
    void MasterLBClick();
    void MFNameSEChange();
    void KeySizeNEChange();
    void QDefNCBChange();
    void ChangeBtnClick();
    void DeleteBtnClick();

private:
    void DspFieldDat(int n);
    void edited();
    bool FormCloseQuery();
    std::array<QString, MaxQDCount> sizeTexts() const;

    masterdef::MasterCopy &copy_;
    const TSetData &set_;
    masterdef::ItemRef editing_;
};
