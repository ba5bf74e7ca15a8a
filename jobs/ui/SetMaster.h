#pragma once

#include "jobs/MasterDefinitions.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class TNEdit;
class TListCombo;

// The master reference of one item: its master, the partial key, the field shown as display text
// and the fields copied into later items. The masters are edited on a copy that reaches the set,
// with the item references that follow it, only when the dialog is confirmed.
class TSetMasterForm : public QDialog {
    Q_OBJECT

public:
    // edited: the item being edited (its KMstFlag is set), within set.
    TSetMasterForm(TSetData &set, masterdef::ItemRef edited, QWidget *parent = nullptr);

    bool SetFlag = false;
    bool ChangeFlag = false;
    bool KMFKeySet0 = false;
    // Confirmed: the masters and the item references of the set were replaced from copy().
    bool SetChanged = false;

    TListCombo *MasterCB = nullptr;
    QPushButton *AddMasterBtn = nullptr;
    QCheckBox *MstChk = nullptr;
    QCheckBox *SetMKeyCheck = nullptr;
    QLabel *SetMKeyLabel = nullptr;
    TNEdit *MKeyTopNE = nullptr;
    TNEdit *MKeyLenNE = nullptr;
    QCheckBox *DspStrChk = nullptr;
    QLabel *DspStrLabel = nullptr;
    TListCombo *QD00CB = nullptr;
    TListCombo *QDCountCB = nullptr;
    QFrame *DQFPanel = nullptr;
    std::array<TListCombo *, MaxQDCount> QDCB{};
    std::array<TListCombo *, MaxQDCount> SaveCB{};
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    const masterdef::MasterCopy &copy() const { return copy_; }

protected:
    void reject() override;

private slots:
    void DataChange();
    void DspStrChkClick();
    void QDCountCBChange();
    void MasterCBChange();
    void MKeyTopNEChange();
    void MKeyLenNEChange();
    void SetMKeyCheckClick();
    void MKeyTopNEKeyPress(QChar &key);
    void AddMasterBtnClick();
    void EndBtnClick();

private:
    TKoData &item();
    void changed();
    void showView(const masterdef::MasterRefView &view);
    masterdef::MasterRefView shown() const;
    void DspSaveField(int n);
    void enableKey(bool on);

    TSetData &set_;
    masterdef::ItemRef item_;
    masterdef::MasterCopy copy_;
    QStringList receivers_; // the item and the later items of its list
    QLabel *keyFromLabel_ = nullptr;
    QLabel *keyLenLabel_ = nullptr;
};
