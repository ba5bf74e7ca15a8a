#pragma once

#include "jobs/BarCodeRules.h"
#include "jobs/DataType.h"
#include "jobs/JobFieldRules.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class TNEdit;
class TListCombo;

// The barcode reading settings of one item of a job: symbologies, read length, data format, the
// data check and the distribution of the read data into the later items of its list. Confirming
// writes the item; nothing else of the job changes.
class TSetBarCodeForm : public QDialog {
    Q_OBJECT

public:
    // item index of the job's group list (group) or data list; aiTable: the AI code table's path.
    TSetBarCodeForm(TGyData &job, bool group, int index, const QString &aiTable, QWidget *parent = nullptr);

    bool Confirmed = false; // the item was written

    std::array<QCheckBox *, jobs::SymbologyCount> SymbologyChk{}; // JanChk ... CompositeChk
    std::array<QGroupBox *, 4> CheckDigitGroup{};                 // ItfCD, StfCD, NW7CD, Code39CD
    std::array<QRadioButton *, 4> CheckDigitRead{};               // their "あり"
    std::array<QRadioButton *, 4> CheckDigitNone{};               // their "なし"
    QGroupBox *BarGroup = nullptr;
    QCheckBox *UserBarChk = nullptr;
    QLineEdit *UserBarSE = nullptr;
    TNEdit *BarMaxNE = nullptr;
    TNEdit *BarMinNE = nullptr;
    QCheckBox *GTINChk = nullptr;
    QCheckBox *DelCDChk = nullptr;
    TListCombo *DFormatCB = nullptr;
    QCheckBox *BarDatChk = nullptr;
    QLabel *ChkNoLabel = nullptr;
    TNEdit *ChkFldNoNE = nullptr;
    QLineEdit *ChkAISE = nullptr;
    QLabel *ChkTopLabel = nullptr;
    TNEdit *ChkTopNE = nullptr;
    QLabel *ChkLenLabel = nullptr;
    TNEdit *ChkLenNE = nullptr;
    QLabel *ChkLenUnit = nullptr;
    QLabel *ChkTypeLabel = nullptr;
    TListCombo *ChkDatTypeCB = nullptr;
    QLabel *ChkDataLabel = nullptr;
    QLineEdit *ChkDataSE = nullptr;
    TListCombo *ChkNgCB = nullptr;
    QCheckBox *BFWDatChk = nullptr;
    QLabel *FWKNumLabel = nullptr;
    TListCombo *FWKNumCB = nullptr;
    QWidget *FWGrid = nullptr;
    std::array<TListCombo *, MaxFWCount> FWDstCB{};
    std::array<TNEdit *, MaxFWCount> FWTopNE{};
    std::array<TNEdit *, MaxFWCount> FWLengthNE{};
    std::array<TNEdit *, MaxFWCount> FWDatNoNE{};
    std::array<QLineEdit *, MaxFWCount> FWAiCdSE{};
    std::array<QWidget *, MaxFWCount> FWFixedPart{}; // a row's start and length with their labels
    std::array<QWidget *, MaxFWCount> FWDatNoPart{};
    std::array<QWidget *, MaxFWCount> FWAiCdPart{};
    std::array<QWidget *, MaxFWCount> FWRow{};
    QPushButton *EndBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // What the controls hold now.
    jobs::BarCodeControls controls() const;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void EndBtnClick();
    void changed();
    void CheckDigitSymbologyClick();
    void UserBarChkClick();
    void DFormatCBChange();
    void BarDatChkClick();
    void BFWDatChkClick();
    void ChkDatTypeCBChange();

private:
    void FormCreate();
    void load(const jobs::BarCodeControls &c);
    void userMode();
    void dataCheckDisplay();
    void distributionDisplay();
    bool FormCloseQuery();
    // A numeric edit's text of exactly "0" is cleared.
    void numberChanged(TNEdit *edit);
    // A change of a text edit through its key rule and length.
    void textChanged(QLineEdit *edit, QString &last, const jobs::KeyRule &rule, int maxLength);
    void startKey(TNEdit *edit, QChar &key);

    TGyData &job_;
    jobs::BarCodeTarget target_;
    QString aiTable_;
    bool SetFlag = false;
    bool ChangeFlag = false;
    bool closing_ = false;
    QString CmpDat;
    QString lastUserBar_;
    QString lastChkAi_;
    QString lastChkData_;
    std::array<QString, MaxFWCount> lastAiCd_{};
};
