#pragma once

#include "jobs/BnfFile.h"
#include "jobs/CheckBnfDat.h"
#include "jobs/DataType.h"
#include "jobs/JobListOps.h"
#include "jobs/JobPageView.h"
#include "jobs/ScreenPreview.h"
#include "jobs/SetGyoumuRules.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QStackedWidget;
class QToolBar;
class QToolButton;
class TNEdit;
class TListCombo;
namespace jobs {
struct FieldMessage;
}

// The job settings editor: one settings set of the terminal (base settings, up to 20 jobs with
// their items, masters, Bluetooth) with its file commands and its transfer to and from the
// terminal. The set and the rules live apart from the widgets; this form moves values between them.
class TSetGyForm : public QDialog {
    Q_OBJECT

public:
    // appPath: the program folder (with its trailing "/"), where the add-in list is; comPort and
    // comSpeed: the main menu's port ("COM1") and speed, copied at creation.
    TSetGyForm(const QString &appPath, const QString &comPort, int comSpeed, QWidget *parent = nullptr);
    ~TSetGyForm() override;

    bool EditFlag = false;
    bool ChangeFlag = false;
    bool SetFlag = false;
    QString AppPath;
    QString ComPort;
    int ComSpeed = 115200;
    QString BnfFolder;
    QString BnfFile;

    // The set being edited (GyData, GyCount, TmpGyNo, masters, buzzer, Bluetooth, ComPrg1/2).
    TSetData &Set() { return *set_; }
    const TSetData &Set() const { return *set_; }

    // Tool bar 1 and 2.
    QToolBar *ToolBar1 = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QToolButton *NewTBtn = nullptr;
    QToolButton *OpenTBtn = nullptr;
    QToolButton *SaveTBtn = nullptr;
    QToolButton *SDataTBtn = nullptr;
    QToolButton *SGDatTBtn = nullptr;
    QToolButton *RGDatTBtn = nullptr;
    QToolButton *CloseTBtn = nullptr;
    QToolButton *EndTBtn = nullptr;
    QToolButton *GyNewBtn = nullptr;
    QToolButton *GyDelBtn = nullptr;
    QToolButton *GrNewBtn = nullptr;
    QToolButton *GrDelBtn = nullptr;
    QToolButton *DaNewBtn = nullptr;
    QToolButton *DaDelBtn = nullptr;

    // The page selector, the job menu and the preview beside the pages.
    QLabel *SelectPanel = nullptr;
    QListWidget *DspList = nullptr;
    QLabel *GMenuTitleP = nullptr;
    QListWidget *GMenuList = nullptr;
    QLabel *GamenTitleP = nullptr;
    QFrame *GamenPanel = nullptr;
    QStackedWidget *PageControl1 = nullptr;
    QWidget *SetBase = nullptr;
    QWidget *SetGyoumu = nullptr;

    // The preview's labels.
    QLabel *TitleLabel = nullptr;
    std::array<QLabel *, PreviewNameLabels> pKLabel{};
    std::array<QLabel *, PreviewDataRows> pDLabel{};
    QLabel *S1Label = nullptr;
    QLabel *TotalLabel = nullptr;
    std::array<QLabel *, PreviewKeyLabels> pGLabel{};

    // The base page.
    TNEdit *APOffTimeNE = nullptr;
    TNEdit *DspErrTimeNE = nullptr;
    TNEdit *Bar2ReadNE = nullptr;
    TListCombo *BarSModeCB = nullptr;
    QListWidget *BzList = nullptr;
    QLineEdit *WavFileSE = nullptr;
    TNEdit *BzHzNE = nullptr;
    TNEdit *BzCountNE = nullptr;
    TNEdit *BzOnTimeNE = nullptr;
    TNEdit *BzOffTimeNE = nullptr;
    QLineEdit *ComPrgSE1 = nullptr;
    QLineEdit *ComPrgSE2 = nullptr;
    TListCombo *DataFtpCB = nullptr;
    QPushButton *SetBluetooth = nullptr;
    TListCombo *SendDelCB = nullptr;
    QCheckBox *SubMenuChk = nullptr;
    QCheckBox *ShoriMenuChk = nullptr;
    QCheckBox *EditModeChk = nullptr;

    // The job page.
    QLineEdit *GNameSE = nullptr;
    TListCombo *GModeCB = nullptr;
    QLabel *ProgLabel = nullptr;
    QLineEdit *PNameSE = nullptr;
    QPushButton *AddInSetBtn = nullptr;
    QGroupBox *SaveGroup = nullptr;
    QLineEdit *FNameSE = nullptr;
    TListCombo *TStampCB = nullptr;
    TListCombo *TSLocCB = nullptr;
    QCheckBox *AddIDChkCB = nullptr;
    QCheckBox *DspTotalChk = nullptr;
    QFrame *RcvProtoPanel = nullptr;
    TListCombo *RcvProtoCB = nullptr;
    QLineEdit *RNameSE = nullptr;
    QLabel *GrPanel = nullptr;
    QListWidget *GroupList = nullptr;
    QLabel *DaPanel = nullptr;
    QListWidget *DataList = nullptr;
    QGroupBox *KoNameGroup = nullptr;
    QLineEdit *KNameSE = nullptr;
    TListCombo *KNFColorCB = nullptr;
    TListCombo *KNBColorCB = nullptr;
    QGroupBox *KoDataGroup = nullptr;
    TListCombo *KDSizeCB = nullptr;
    TListCombo *KDFColorCB = nullptr;
    TListCombo *KDBColorCB = nullptr;
    TListCombo *KDTypeCB = nullptr;
    QLabel *KDLenLabel = nullptr;
    TNEdit *KDLenNE = nullptr;
    QLabel *KDInpLabel = nullptr;
    TListCombo *KDInpCB = nullptr;
    QCheckBox *KDSaveChk = nullptr;
    QPushButton *SetBarCode = nullptr;
    QFrame *InpDefPanel = nullptr;
    QLabel *DefaultLabel = nullptr;
    TListCombo *DefaultCB = nullptr;
    QLineEdit *DefaultDatSE = nullptr;
    TNEdit *DefaultDatNE = nullptr;
    QLabel *DoubleLabel = nullptr;
    TListCombo *DoubleChkCB = nullptr;
    TListCombo *KDNextCB = nullptr;
    TNEdit *KDNextTmNE = nullptr;
    QLabel *InpLimitLabel = nullptr;
    QLabel *MaxLabel = nullptr;
    TNEdit *KDMaxNE = nullptr;
    QLabel *MinLabel = nullptr;
    TNEdit *KDMinNE = nullptr;
    QCheckBox *AddNumChk = nullptr;
    QGroupBox *MstGroup = nullptr;
    QCheckBox *UseMasterChk = nullptr;
    QPushButton *SetMasterBtn = nullptr;

    // The base page's plain values as the controls hold them.
    BasePageValues basePageValues() const;

    // Shows or hides the editing area and sets the tool buttons.
    void DspBnfData(bool show);
    void DspToolBtn(bool open);

protected:
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void NewTBtnClick();
    void OpenTBtnClick();
    void SaveTBtnClick();
    void SDataTBtnClick();
    void SGDatTBtnClick();
    void RGDatTBtnClick();
    void CloseTBtnClick();
    void EndTBtnClick();
    void DspListClick();
    void GMenuListClick();
    void GroupListClick();
    void DataListClick();
    void BzListClick();
    void AddInSetBtnClick();
    // The base page's handlers.
    void APOffTimeNEChange();
    void DspErrTimeNEChange();
    void Bar2ReadNEChange();
    void BarSModeCBChange();
    void DataFtpCBChange();
    void SendDelCBChange();
    void MenuChkClick();
    void BzHzNEChange();
    void BzCountNEChange();
    void BzOnTimeNEChange();
    void BzOffTimeNEChange();
    void WavFileSEChange();
    void ComPrgSE1Change();
    void ComPrgSE2Change();
    void SetBluetoothMouseUp();
    void SetMasterBtnClick();

private:
    void buildToolBars();
    QWidget *buildBasePage();
    QWidget *buildJobPage();
    QWidget *buildPreview();
    void FormCreate();
    bool FormCloseQuery();
    void SaveRegistry();
    bool discardQuestion(const QString &caption);
    // Shows the codec's message for result; true for a result the editor goes on with.
    bool bnfSucceeded(BnfResult result);
    jobs::EditorPage currentPage() const;
    // Fills the controls from the set and the base page values.
    void showBasePage(const BasePageValues &base);
    // Makes a set read from a file or the terminal the editor's, shown from the base page.
    void takeReadSet(std::unique_ptr<TSetData> read, const BasePageValues &base);
    void DspBzDat(int event);
    // DspGyData: the current job and item on the job page (and in its controls while the base page
    // is shown), then the preview.
    void showCurrentJob();
    void applyJobPage(const JobPageView &view);
    void applyItem(const ItemView &item);
    // Enter on a control of the job page: the next control of the chain.
    void P2KeyDown(QWidget *control);
    // Draws the terminal screen preview of the current job.
    void DspBhtPanel();
    BnfResult saveSetTo(const QString &path);
    AddInKnown addInKnown() const;
    // What the validation reads of the controls.
    BnfShownControls shownControls() const;
    // Shows job on the job page with its item (group or data; item -1 keeps the current one).
    void DspSetGyoumu(int job, int item, bool group);
    // Fills KDNextTmNE with "0" when empty, then validates; false after showing the failure.
    bool checkBeforeWrite();

    // The base page: its handlers' connections, the exit checks, Enter, the add-in program edits.
    void connectBasePage();
    void baseFieldExit(QWidget *field);
    void P1KeyDown(QWidget *control);
    void ComPrgSE1KeyDown(QLineEdit *edit);
    void comPrgChanged(QLineEdit *edit, QString &stored);
    bool exitChecking_ = false; // the focus goes back to a field that failed its exit check

    std::unique_ptr<TSetData> set_;

    // Job editing: the cut/copy stacks (jobs; items of both lists), the list the popup was
    // opened on, and the popup with its entries.
public:
    jobs::EntryStack<TGyData> TmpGyDa;
    jobs::EntryStack<TKoData> TmpKoDa;
    int TmpList = 0;
    QMenu *PopupMenu = nullptr;
    // The lists' event filter calls into this form, so it goes before the form's widgets do.
    QObject *listEvents_ = nullptr;
    QAction *LstNew = nullptr;
    QAction *LstDel = nullptr;
    QAction *LstCut = nullptr;
    QAction *LstInst = nullptr;
    QAction *LstCopy = nullptr;
    QAction *LstPast = nullptr;

private slots:
    // The job page's fields.
    void GNameSEChange(const QString &text);
    void GModeCBChange(int index);
    void DspTotalChkClick();
    void RcvProtoCBChange(int index);
    void AddIDChkCBClick();
    void TStampCBChange(int index);
    void TSLocCBChange(int index);
    void AddNumChkClick();
    void PNameSEChange(const QString &text);
    void RNameSEChange(const QString &text);
    void FNameSEChange(const QString &text);
    void KNameSEChange(const QString &text);
    void KNFColorCBChange(int index);
    void KNBColorCBChange(int index);
    void KDFColorCBChange(int index);
    void KDBColorCBChange(int index);
    void KDSizeCBChange(int index);
    void KDTypeCBChange(int index);
    void KDLenNEChange(const QString &text);
    void KDInpCBChange(int index);
    void KDSaveChkClick();
    void SetBarCodeClick();
    void DefaultCBChange(int index);
    void DefaultDatSEChange(const QString &text);
    void DefaultDatSEExit();
    void DefaultDatNEChange(const QString &text);
    void DoubleChkCBChange(int index);
    void KDNextCBChange(int index);
    void KDNextTmNEChange(const QString &text);
    void KDMaxNEChange(const QString &text);
    void KDMinNEChange(const QString &text);
    void UseMasterChkClick();
    // Adding and deleting.
    void GyNewBtnClick();
    void GyDelBtnClick();
    void GrNewBtnClick();
    void GrDelBtnClick();
    void DaNewBtnClick();
    void DaDelBtnClick();
    // The popup of the three lists.
    void LstNewClick();
    void LstDelClick();
    void LstCutClick();
    void LstInstClick();
    void LstCopyClick();
    void LstPastClick();

private:
    void connectJobEdit();
    void buildPopup();
    TGyData &currentJob();
    // The current item with its list and index; nullptr without one.
    TKoData *editedItem(bool *group = nullptr, int *index = nullptr);
    // The field handlers' common steps: nothing while the controls are being filled; the change
    // flag once a value is stored.
    void storeJob(const std::function<void(TGyData &)> &store);
    // The edited item unless the controls are being filled; nullptr otherwise or without one.
    TKoData *editableItem();
    void storeItem(const std::function<void(TKoData &)> &store);
    void storeItemColour(int TKoData::*colour, int index);
    // A file name of the job typed through key and accepted by accepts, upper-cased; false when
    // nothing was stored (the edit then shows the stored name again).
    using NameKey = std::optional<QChar> (*)(const QString &text, int caret, QChar key);
    bool storeJobName(QLineEdit *edit, const QString &text, QString TGyData::*name, NameKey key,
                      bool (*accepts)(const QString &));
    // Shows fault and puts the stored text back without a beep.
    void refuseFault(QLineEdit *edit, const jobs::FieldMessage &fault, const QString &stored);
    // Puts a refused text back with the caret at caret and beeps.
    void refuseText(QLineEdit *edit, const QString &text, int caret, bool beep = true);
    // The item's controls again after a change of what they show.
    void showItemAgain();
    void GyNew();
    void GrKoNew();
    void DaKoNew();
    // Shows the list after an add, delete, insert, overwrite or drop: the job list (0), the group
    // list (1) or the data list (2).
    void showAfterListChange(int list);
    // Deleting from the popup or the delete buttons; ask: the confirmation first.
    void deleteEntry(int list, int at, bool ask, const QString &caption);
    void DspPopup(int list);
    bool listDragDrop(QObject *list, QEvent *event);
    bool listMouseDown(QObject *list, QEvent *event);
    // A left click beside the rows of list: its current entry again.
    void reselectCurrent(QListWidget *list);
    bool listKeyUp(QObject *list, QEvent *event);
    bool DefaultDatChecking = false;
};
