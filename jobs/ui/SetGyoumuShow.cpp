// What the editor shows: the editing area, the tool buttons, the pages and the lists.

#include "SetGyoumu.h"

#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

jobs::EditorPage TSetGyForm::currentPage() const
{
    return DspList->currentRow() == 1 ? jobs::EditorPage::Job : jobs::EditorPage::Base;
}

void TSetGyForm::DspBnfData(bool show)
{
    const bool jobPage = currentPage() == jobs::EditorPage::Job;
    // The selector marks the page a set opens on, even after the operator cleared its selection.
    if (show)
        DspList->setCurrentRow(jobPage ? 1 : 0, QItemSelectionModel::ClearAndSelect);
    SelectPanel->setVisible(show);
    DspList->setVisible(show);
    PageControl1->setCurrentIndex(jobPage ? 1 : 0);
    PageControl1->setVisible(show);
    for (QWidget *w : std::initializer_list<QWidget *>{GMenuTitleP, GMenuList, GamenTitleP, GamenPanel})
        w->setVisible(show && jobPage);
    // The job page's controls hold the current job even while the base page is shown: validation
    // reads them.
    if (show)
        showCurrentJob();
    DspToolBtn(show);
}

void TSetGyForm::DspToolBtn(bool open)
{
    const QChar mode = GyModeLetter(GModeCB->currentIndex());
    const jobs::ToolButtonStates s = jobs::toolButtonStates(open, currentPage(), mode);
    SaveTBtn->setEnabled(s.SaveTBtn);
    SDataTBtn->setEnabled(s.SDataTBtn);
    SGDatTBtn->setEnabled(s.SGDatTBtn);
    RGDatTBtn->setEnabled(s.RGDatTBtn);
    CloseTBtn->setEnabled(s.CloseTBtn);
    GyNewBtn->setEnabled(s.GyNewBtn);
    GyDelBtn->setEnabled(s.GyDelBtn);
    GrNewBtn->setEnabled(s.GrNewBtn);
    GrDelBtn->setEnabled(s.GrDelBtn);
    DaNewBtn->setEnabled(s.DaNewBtn);
    DaDelBtn->setEnabled(s.DaDelBtn);
}

void TSetGyForm::DspListClick()
{
    const bool jobPage = DspList->currentRow() != 0;
    PageControl1->setCurrentIndex(jobPage ? 1 : 0);
    for (QWidget *w : std::initializer_list<QWidget *>{GMenuTitleP, GMenuList, GamenTitleP, GamenPanel})
        w->setVisible(jobPage);
    if (jobPage)
        showCurrentJob();
    DspToolBtn(true);
}

void TSetGyForm::showBasePage(const BasePageValues &base)
{
    const formkit::LoadingGuard loading(SetFlag);
    APOffTimeNE->setText(base.APOffTime);
    DspErrTimeNE->setText(base.DspErrTime);
    Bar2ReadNE->setText(base.Bar2Read);
    BarSModeCB->setCurrentIndex(base.BarSMode);
    DataFtpCB->clear();
    DataFtpCB->addItems(base.DataFtpItems);
    DataFtpCB->setCurrentIndex(base.DataFtp);
    SendDelCB->setCurrentIndex(base.SendDel);
    SubMenuChk->setChecked(base.SubMenu);
    ShoriMenuChk->setChecked(base.ShoriMenu);
    EditModeChk->setChecked(base.EditMode);
    ComPrgSE1->setText(set_->ComPrg1);
    ComPrgSE2->setText(set_->ComPrg2);
    BzList->setCurrentRow(0);
    DspBzDat(0);
}

BasePageValues TSetGyForm::basePageValues() const
{
    BasePageValues base;
    base.APOffTime = APOffTimeNE->text();
    base.DspErrTime = DspErrTimeNE->text();
    base.Bar2Read = Bar2ReadNE->text();
    base.BarSMode = BarSModeCB->currentIndex();
    base.DataFtpItems.clear();
    for (int i = 0; i < DataFtpCB->count(); ++i)
        base.DataFtpItems << DataFtpCB->itemText(i);
    base.DataFtp = DataFtpCB->currentIndex();
    base.SendDel = SendDelCB->currentIndex();
    base.SubMenu = SubMenuChk->isChecked();
    base.ShoriMenu = ShoriMenuChk->isChecked();
    base.EditMode = EditModeChk->isChecked();
    return base;
}

void TSetGyForm::DspBzDat(int event)
{
    if (event < 0 || event >= BzEventCount)
        return;
    const formkit::LoadingGuard loading(SetFlag);
    const BuzzerSetting &bz = set_->BzSet[event];
    WavFileSE->setText(set_->BzWavFile[event]);
    BzHzNE->setText(QString::number(bz.Hz));
    BzCountNE->setText(QString::number(bz.Count));
    BzOnTimeNE->setText(QString::number(bz.OnTime));
    BzOffTimeNE->setText(QString::number(bz.OffTime));
}

void TSetGyForm::BzListClick()
{
    DspBzDat(BzList->currentRow());
}

namespace {

void fillList(QListWidget *list, const QStringList &items, int row)
{
    list->clear();
    list->addItems(items);
    list->setCurrentRow(row);
}

void fillCombo(QComboBox *box, const QStringList &items, int index)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(index);
}

void configure(TNEdit *edit, const NEditSettings &settings)
{
    edit->SetCanNegative(settings.CanNegative);
    edit->SetCanDot(settings.CanDot);
    edit->SetMaxDegits(settings.MaxDegits);
    edit->SetMaxValue(settings.MaxValue);
    edit->SetMinValue(settings.MinValue);
    edit->setMaxLength(settings.MaxDegits + (settings.CanNegative ? 1 : 0));
}

} // namespace

void TSetGyForm::showCurrentJob()
{
    const formkit::LoadingGuard loading(SetFlag);
    applyJobPage(::DspGyData(*set_));
    DspBhtPanel();
}

void TSetGyForm::applyJobPage(const JobPageView &view)
{
    fillList(GMenuList, view.GMenuItems, view.GMenuRow);
    GNameSE->setText(view.GNameSE);
    GModeCB->setCurrentIndex(view.GModeCB);
    SaveGroup->setVisible(view.SaveGroup);
    FNameSE->setText(view.FNameSE);
    AddIDChkCB->setChecked(view.AddIDChkCB);
    TStampCB->setCurrentIndex(view.TStampCB);
    TSLocCB->setCurrentIndex(view.TSLocCB);
    TSLocCB->setVisible(view.TSLocVisible);
    DspTotalChk->setVisible(view.DspTotalVisible);
    DspTotalChk->setChecked(view.DspTotalChk);
    for (QWidget *w : std::initializer_list<QWidget *>{ProgLabel, PNameSE, AddInSetBtn})
        w->setVisible(view.ProgVisible);
    PNameSE->setText(view.PNameSE);
    RcvProtoPanel->setVisible(view.RcvProtoVisible);
    RNameSE->setText(view.RNameSE);
    RcvProtoCB->setCurrentIndex(view.RcvProtoCB);
    KoNameGroup->setVisible(view.KoNameGroup);
    KoDataGroup->setVisible(view.KoDataGroup);
    KDSaveChk->setVisible(view.KDSaveChkVisible);
    InpDefPanel->setVisible(view.InpDefPanel);
    GrPanel->setVisible(view.GroupPanel);
    GroupList->setVisible(view.GroupPanel);
    DaPanel->setVisible(view.DataPanel);
    DataList->setVisible(view.DataPanel);
    fillList(GroupList, view.GroupItems, view.GroupRow);
    fillList(DataList, view.DataItems, view.DataRow);
    MstGroup->setVisible(view.MstGroup && (!view.HasItem || view.Item.MstGroupVisible));
    if (view.HasItem)
        applyItem(view.Item);
}

void TSetGyForm::applyItem(const ItemView &item)
{
    KNameSE->setText(item.KNameSE);
    KNFColorCB->setCurrentIndex(item.KNFColorCB);
    KNBColorCB->setCurrentIndex(item.KNBColorCB);
    KDSizeCB->setCurrentIndex(item.KDSizeCB);
    KDFColorCB->setCurrentIndex(item.KDFColorCB);
    KDBColorCB->setCurrentIndex(item.KDBColorCB);
    KDSaveChk->setChecked(item.KDSaveChk);
    KDLenLabel->setText(item.KDLenLabel);
    KDInpCB->setCurrentIndex(item.KDInpCB);
    KDInpLabel->setVisible(item.KDInpVisible);
    KDInpCB->setVisible(item.KDInpVisible);
    KDInpCB->setEnabled(item.KDInpEnabled);
    SetBarCode->setVisible(item.SetBarCodeVisible);
    KDTypeCB->setCurrentIndex(item.KDTypeCB);
    KDTypeCB->setEnabled(item.KDTypeEnabled);
    DoubleLabel->setVisible(item.DoubleVisible);
    DoubleChkCB->setVisible(item.DoubleVisible);
    DoubleChkCB->setCurrentIndex(item.DoubleChkCB);
    if (item.KDNextFilled)
        fillCombo(KDNextCB, item.KDNextItems, item.KDNextCB);
    KDNextTmNE->setText(item.KDNextTmNE);
    UseMasterChk->setChecked(item.UseMasterChk);
    SetMasterBtn->setEnabled(item.SetMasterEnabled);

    fillCombo(DefaultCB, item.DefaultItems, item.DefaultCB);
    AddNumChk->setVisible(item.AddNumVisible);
    AddNumChk->setChecked(item.AddNumChk);
    configure(KDLenNE, item.KDLenNE);
    KDLenNE->setText(item.KDLenText);
    KDLenNE->setEnabled(item.KDLenEnabled);
    for (QWidget *w : std::initializer_list<QWidget *>{InpLimitLabel, MaxLabel, KDMaxNE, MinLabel, KDMinNE})
        w->setVisible(item.LimitsVisible);
    MaxLabel->setText(item.MaxLabel);
    MinLabel->setText(item.MinLabel);
    configure(KDMaxNE, item.KDMaxNE);
    configure(KDMinNE, item.KDMinNE);
    KDMaxNE->setText(item.KDMaxText);
    KDMinNE->setText(item.KDMinText);
    DefaultDatSE->setVisible(item.DefaultDatSEVisible);
    DefaultDatSE->setFixedWidth(item.DefaultDatSEWidth);
    DefaultDatSE->setMaxLength(item.DefaultDatSEMaxLength);
    // Kana typed into a string's default value; nothing but digits elsewhere.
    DefaultDatSE->setAttribute(Qt::WA_InputMethodEnabled, item.DefaultDatSEHiragana);
    DefaultDatNE->setVisible(item.DefaultDatNEVisible);
    configure(DefaultDatNE, item.DefaultDatNE);
    (item.DefaultDatNEVisible ? static_cast<QLineEdit *>(DefaultDatNE) : DefaultDatSE)
        ->setText(item.DefaultText);
}

void TSetGyForm::P2KeyDown(QWidget *control)
{
    const TGyData &job = set_->GyData[set_->TmpGyNo];
    ItemView shown;
    shown.KDTypeCB = KDTypeCB->currentIndex();
    shown.DefaultCB = DefaultCB->currentIndex();
    const auto next = [&](const QWidget *from) -> QWidget * {
        const auto *edit = qobject_cast<const QLineEdit *>(from);
        const QString name =
            ::P2KeyDown(from->objectName(), edit != nullptr ? edit->text() : QString(), job, shown);
        return name.isEmpty() ? nullptr : findChild<QWidget *>(name);
    };
    QWidget *target = next(control);
    // A link the job does not show (the stamp's place without a stamp, the duplicate rule of an
    // unsaved item) is passed over as the chain goes on from it; else Enter would go round in a loop.
    for (int passed = 0; target != nullptr && !target->isVisibleTo(this) && passed < 4; ++passed)
        target = next(target);
    if (target != nullptr)
        formkit::requestFocus(target);
}

namespace {

void drawLabel(QLabel *label, const PreviewLabel &shown)
{
    label->setVisible(shown.Visible);
    if (!shown.Visible)
        return;
    label->setText(shown.Text);
    label->setAlignment(Qt::AlignVCenter | (shown.Align == PreviewAlign::Left     ? Qt::AlignLeft
                                            : shown.Align == PreviewAlign::Centre ? Qt::AlignHCenter
                                                                                  : Qt::AlignRight));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     QColor(shown.FontColour.Red, shown.FontColour.Green, shown.FontColour.Blue));
    palette.setColor(QPalette::Window,
                     QColor(shown.BackColour.Red, shown.BackColour.Green, shown.BackColour.Blue));
    label->setPalette(palette);
    label->setGeometry(shown.Left, shown.Top, shown.Width, shown.Height);
}

} // namespace

void TSetGyForm::DspBhtPanel()
{
    const ScreenPreview preview = ::DspBhtPanel(set_->GyData[set_->TmpGyNo]);
    drawLabel(TitleLabel, preview.TitleLabel);
    for (int k = 0; k < PreviewNameLabels; ++k)
        drawLabel(pKLabel[k], preview.KLabel[k]);
    for (int r = 0; r < PreviewDataRows; ++r)
        drawLabel(pDLabel[r], preview.DLabel[r]);
    drawLabel(S1Label, preview.S1Label);
    drawLabel(TotalLabel, preview.TotalLabel);
    for (int g = 0; g < PreviewKeyLabels; ++g)
        drawLabel(pGLabel[g], preview.GLabel[g]);
}

void TSetGyForm::DspSetGyoumu(int job, int item, bool group)
{
    if (DspList->currentRow() != 1) {
        DspList->setCurrentRow(1);
        DspListClick();
    }
    set_->TmpGyNo = std::clamp(job, 0, std::max(0, set_->GyCount - 1));
    TGyData &shown = set_->GyData[set_->TmpGyNo];
    shown.TmpGrFlg = group;
    if (item >= 0)
        (group ? shown.TmpGrNo : shown.TmpDaNo) = std::min(item, MaxKoCount - 1);
    showCurrentJob();
    DspToolBtn(true);
}

bool TSetGyForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *control = qobject_cast<QWidget *>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && control != nullptr &&
            SetGyoumu->isAncestorOf(control)) {
            P2KeyDown(control);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSetGyForm::GMenuListClick()
{
    const int row = GMenuList->currentRow();
    if (row < 0 || row >= set_->GyCount)
        return;
    set_->TmpGyNo = row;
    showCurrentJob();
    DspToolBtn(true);
}

void TSetGyForm::GroupListClick()
{
    TGyData &job = set_->GyData[set_->TmpGyNo];
    const int row = GroupList->currentRow();
    if (row < 0 || row >= BoundedCount(job.GrCount, MaxKoCount))
        return;
    job.TmpGrFlg = true;
    job.TmpGrNo = row;
    showCurrentJob();
}

void TSetGyForm::DataListClick()
{
    TGyData &job = set_->GyData[set_->TmpGyNo];
    const int row = DataList->currentRow();
    if (row < 0 || row >= BoundedCount(job.DaCount, MaxKoCount))
        return;
    job.TmpGrFlg = false;
    job.TmpDaNo = row;
    showCurrentJob();
}
