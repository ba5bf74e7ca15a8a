// What the editor shows: the editing area, the tool buttons, the pages and the lists.

#include "SetGyoumu.h"

#include "common/ui/FormKit.h"
#include "common/ui/NEdit.h"
#include "jobs/LetterCodes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
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

void TSetGyForm::DspListItem(int list)
{
    const formkit::LoadingGuard loading(SetFlag);
    TSetData &s = *set_;
    if (list == 0) {
        GMenuList->clear();
        for (int i = 0; i < s.GyCount; ++i)
            GMenuList->addItem(s.GyData[i].GyName);
        s.TmpGyNo = std::clamp(s.TmpGyNo, 0, std::max(0, s.GyCount - 1));
        GMenuList->setCurrentRow(s.TmpGyNo);
        return;
    }
    const TGyData &job = s.GyData[s.TmpGyNo];
    QListWidget *target = list == 1 ? GroupList : DataList;
    const int count =
        list == 1 ? BoundedCount(job.GrCount, MaxKoCount) : BoundedCount(job.DaCount, MaxKoCount);
    target->clear();
    for (int i = 0; i < count; ++i)
        target->addItem(list == 1 ? job.GrKoDa[i].KName : job.DaKoDa[i].KName);
}

void TSetGyForm::showCurrentJob()
{
    const formkit::LoadingGuard loading(SetFlag);
    DspListItem(0);
    DspListItem(1);
    DspListItem(2);
    const TGyData &job = set_->GyData[set_->TmpGyNo];
    GNameSE->setText(job.GyName);
    GModeCB->setCurrentIndex(job.GyMode);
    GroupList->setCurrentRow(job.TmpGrFlg ? job.TmpGrNo : -1);
    DataList->setCurrentRow(job.TmpGrFlg ? -1 : job.TmpDaNo);
    const TKoData &item = job.TmpGrFlg ? job.GrKoDa[std::clamp(job.TmpGrNo, 0, MaxKoCount - 1)]
                                       : job.DaKoDa[std::clamp(job.TmpDaNo, 0, MaxKoCount - 1)];
    KNameSE->setText(item.KName);
    KDTypeCB->setCurrentIndex(item.KDType);
    KDLenNE->setText(QString::number(item.KDLen));
    KDMaxNE->setText(item.KDMax);
    KDMinNE->setText(item.KDMin);
    DspBhtPanel();
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
