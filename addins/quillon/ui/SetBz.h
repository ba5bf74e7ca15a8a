#pragma once

#include "addins/quillon/DataType.h"

#include <QDialog>

class QPushButton;
class QWidget;
class TByteEdit;
class TListCombo;
class TNEdit;

// The OK or NG result signal: a WAV file (models 800 and 1300), buzzer frequency, number of
// sounds, sound and pause times and the device. It edits the record given to it only on a passed
// "確定", and then marks the settings changed.
class TSetBzForm final : public QDialog {
    Q_OBJECT

public:
    // type: "O" for the OK signal, else NG.
    TSetBzForm(quillon::TBzDat &target, bool &mainChangeFlag, QChar type, int model,
               QWidget *parent = nullptr);

    bool SetFlag = false;
    QString OldWavFile;
    quillon::TBzDat BzDat;

    QWidget *WavPanel = nullptr;
    TByteEdit *WavFileSE = nullptr;
    TNEdit *BzHzNE = nullptr;
    TNEdit *BzCountNE = nullptr;
    TNEdit *BzOnTimeNE = nullptr;
    TNEdit *BzOffTimeNE = nullptr;
    TListCombo *BpVibCB = nullptr;
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

private slots:
    void EndBtnClick();
    void CancelBtnClick();
    void WavFileSEChange();
    void DataChange();

private:
    quillon::TBzDat &target_;
    bool &mainChangeFlag_;
    bool changed_ = false;
};
