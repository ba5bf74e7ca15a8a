#pragma once

#include "addins/frame/ui/AddInMainForm.h"
#include "addins/olvide/OlvidePara.h"

#include <QByteArray>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class TByteEdit;
class TNEdit;

namespace olvide {

// Olvide's one page "検査条件": the AI, the date compared with, the set date, the comparison and the
// symbologies read.
class TMainForm final : public TAddInMainForm {
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);

    int SetCount = 0;
    QByteArray Para;
    QString GyName;
    int BhtType = 0;

    QComboBox *AICB = nullptr;
    QComboBox *CmpDateCB = nullptr;
    QFrame *SetDatePanel = nullptr;
    TByteEdit *CmpYearSE = nullptr;
    TNEdit *CmpMonthNE = nullptr;
    TNEdit *CmpDayNE = nullptr;
    QComboBox *CmpModeCB = nullptr;
    QCheckBox *RssChk = nullptr;
    QCheckBox *Code128Chk = nullptr;
    QCheckBox *QrChk = nullptr;
    QCheckBox *iQrChk = nullptr;
    QCheckBox *PDF417Chk = nullptr;
    QCheckBox *DataMatrixChk = nullptr;
    QCheckBox *MaxiCodeChk = nullptr;
    QCheckBox *CompositeChk = nullptr;
    QCheckBox *UserBarChk = nullptr;
    TByteEdit *UserBarSE = nullptr;

    // The settings as the controls hold them.
    OlvideSettings settings() const;

protected:
    bool LoadPara() override;
    bool CheckData() override;
    bool SavePara() override;

private slots:
    void MarkChange();
    void CmpDateCBChange();
    void CmpMonthNEChange();
    void CmpDayNEChange();
    void UserBarChkClick();

private:
    void showSettings(const OlvideSettings &s);
    void setPanelState(bool setDate);
    void setUserBarState(bool user);
    QCheckBox *boxOf(addins::Symbology s) const;
    QWidget *control(Field field) const;

    QList<QLabel *> panelLabels_;
};

} // namespace olvide
