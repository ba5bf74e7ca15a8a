// The editor's file commands: new, open, save, close, end, and the last set in the settings store.

#include "SetGyoumu.h"

#include "common/FerPrgLib.h"
#include "common/FileDialogStart.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/BhtFileLayout.h"
#include "jobs/ui/DspSendData.h"
#include "platform/Registry.h"
#include "platform/UiService.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>

namespace {

const QString DiscardQuestion = QStringLiteral("現在のデータを破棄してもいいですか？");
const QString ChangedQuestion =
    QStringLiteral("業務設定が変更されています。\r\n現在のデータを破棄してもいいですか？");

platform::MsgStyle taskQuestionStyle()
{
    platform::MsgStyle style = formkit::questionStyle();
    style.modality = platform::MsgModality::Task;
    style.foreground = true;
    return style;
}

platform::MsgStyle warningStyle()
{
    platform::MsgStyle style = formkit::inputErrorStyle();
    return style;
}

} // namespace

void TSetGyForm::FormCreate()
{
    EditFlag = false;
    DefaultCB->addItems({QStringLiteral("未入力"), QStringLiteral("設定値"), QStringLiteral("前回の入力")});
    setWindowTitle(jobs::EditorCaption);
    InitSetData(*set_);
    showBasePage(BasePageValues());
    DspBnfData(false);

    platform::TRegistry registry;
    const jobs::BnfLocation location = jobs::readBnfLocation(registry);
    BnfFolder = location.BnfFolder;
    BnfFile = location.BnfFile;
}

bool TSetGyForm::discardQuestion(const QString &caption)
{
    return platform::ui().messageBox(DiscardQuestion, caption, taskQuestionStyle()) ==
           platform::MsgResult::Yes;
}

bool TSetGyForm::bnfSucceeded(BnfResult result)
{
    if (result == BnfResult::Ok)
        return true;
    // A file counting more jobs than it holds is no set the editor can take; the operator must hear so.
    const BnfMessage message =
        BnfResultMessage(result == BnfResult::MissingJobs ? BnfResult::Corrupt : result);
    if (!message.text.isEmpty()) {
        platform::MsgStyle style;
        style.icon = message.icon;
        platform::ui().messageBox(message.text, message.caption, style);
    }
    return false;
}

void TSetGyForm::SaveRegistry()
{
    platform::TRegistry registry;
    jobs::writeBnfLocation(registry, {BnfFolder, BnfFile});
}

void TSetGyForm::NewTBtnClick()
{
    if (EditFlag && !discardQuestion(QStringLiteral("新規作成")))
        return;
    setWindowTitle(jobs::NewSetCaption);
    {
        const formkit::LoadingGuard loading(SetFlag);
        InitSetData(*set_);
        showBasePage(BasePageValues());
    }
    TmpGyDa.clear();
    TmpKoDa.clear();
    ChangeFlag = false;
    // The page selector stays where the operator left it.
    DspBnfData(true);
    EditFlag = true;
}

void TSetGyForm::OpenTBtnClick()
{
    if (EditFlag && !discardQuestion(QStringLiteral("業務設定を開く")))
        return;
    DspBnfData(false);
    EditFlag = false;
    ChangeFlag = false;

    bool forget = false;
    const filedialog::DialogStart start = filedialog::openDialogStart(
        BnfFolder, BnfFile, !BnfFile.isEmpty() && QFileInfo(BnfFile).isFile(), &forget);
    if (forget)
        BnfFile.clear();
    const QString chosen = platform::ui().openFileName(jobs::OpenDialogTitle, filedialog::dialogPath(start),
                                                       jobs::BnfDialogFilter);
    if (chosen.isEmpty())
        return;
    if (!jobs::isBnfName(chosen)) {
        platform::ui().messageBox(QStringLiteral("業務データではありません。"),
                                  QStringLiteral("ファイル エラー"), warningStyle());
        return;
    }
    BasePageValues base;
    auto opened = std::make_unique<TSetData>();
    InitSetData(*opened);
    if (!bnfSucceeded(OpenBnf(chosen, *opened, base)))
        return;
    takeReadSet(std::move(opened), base);
    BnfFolder = filedialog::folderOf(chosen);
    BnfFile = chosen;
    SaveRegistry();
    setWindowTitle(jobs::setCaption(chosen));
    DspBnfData(true);
    EditFlag = true;
    ChangeFlag = false;
}

void TSetGyForm::takeReadSet(std::unique_ptr<TSetData> read, const BasePageValues &base)
{
    set_ = std::move(read);
    TmpGyDa.clear();
    TmpKoDa.clear();
    {
        const formkit::LoadingGuard loading(SetFlag);
        showBasePage(base);
    }
    // A set read in starts on the base page, whichever page the operator had chosen before; only a
    // new set keeps that page.
    DspList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
}

AddInKnown TSetGyForm::addInKnown() const
{
    // A job's add-in program counts when the add-in list names a settings program for it.
    return [appPath = AppPath](const QString &pName) { return !GetAddInSetPrg(appPath, pName).isEmpty(); };
}

BnfResult TSetGyForm::saveSetTo(const QString &path)
{
    return SaveBnf(path, *set_, basePageValues(), addInKnown());
}

BnfShownControls TSetGyForm::shownControls() const
{
    BnfShownControls shown;
    shown.APOffTimeNE = APOffTimeNE->text();
    shown.Bar2ReadNE = Bar2ReadNE->text();
    shown.DspErrTimeNE = DspErrTimeNE->text();
    shown.BzHzNE = BzHzNE->text();
    shown.BzCountNE = BzCountNE->text();
    shown.BzOnTimeNE = BzOnTimeNE->text();
    shown.BzOffTimeNE = BzOffTimeNE->text();
    shown.GNameSE = GNameSE->text();
    shown.GModeCB = GModeCB->currentIndex();
    shown.KNameSE = KNameSE->text();
    shown.KDLenNE = KDLenNE->text();
    shown.KDTypeCB = KDTypeCB->currentIndex();
    shown.KDMaxNE = KDMaxNE->text();
    shown.KDMinNE = KDMinNE->text();
    return shown;
}

bool TSetGyForm::checkBeforeWrite()
{
    if (KDNextTmNE->text().isEmpty())
        KDNextTmNE->setText(QStringLiteral("0"));
    const std::optional<BnfInputError> failure = CheckBnfDat(*set_, shownControls(), addInKnown());
    if (!failure)
        return true;
    if (failure->page == JobPage && failure->job >= 0 && failure->job < set_->GyCount) {
        DspSetGyoumu(failure->job, failure->item, failure->group);
    } else {
        DspList->setCurrentRow(0);
        DspListClick();
    }
    platform::ui().messageBox(failure->message, failure->caption, formkit::inputErrorStyle());
    formkit::requestFocus(findChild<QWidget *>(failure->control));
    return false;
}

void TSetGyForm::SaveTBtnClick()
{
    if (!checkBeforeWrite())
        return;
    const filedialog::DialogStart start = filedialog::saveDialogStart(BnfFolder, BnfFile);
    const QString chosen = platform::ui().saveFileName(jobs::SaveDialogTitle, filedialog::dialogPath(start),
                                                       jobs::BnfDialogFilter);
    if (chosen.isEmpty())
        return;
    const QString name = jobs::bnfSaveName(chosen);
    // The dialog asked about the name it was given; the name written may be another one.
    if (name != chosen && QFileInfo::exists(name) &&
        platform::ui().messageBox(QFileInfo(name).fileName() +
                                      QStringLiteral(" は既に存在します。\r\n上書きしますか？"),
                                  jobs::SaveDialogTitle, taskQuestionStyle()) != platform::MsgResult::Yes)
        return;
    if (!bnfSucceeded(saveSetTo(name)))
        return;
    BnfFile = name;
    BnfFolder = filedialog::folderOf(name);
    SaveRegistry();
    setWindowTitle(jobs::setCaption(BnfFile));
    ChangeFlag = false;
}

void TSetGyForm::SDataTBtnClick()
{
    TGyData &job = set_->GyData[set_->TmpGyNo];
    // The record, not the edit: the edit may still show another job's name.
    if (job.FName.isEmpty()) {
        platform::ui().messageBox(
            QStringLiteral("この業務のファイル名が未入力なので\r\nデータ登録/送信ができません。"),
            QStringLiteral("送信データレイアウト表示"), warningStyle());
        return;
    }
    GetBhtFld(job);
    TSendDataForm form(job, this);
    platform::ui().showModal(form);
}

void TSetGyForm::CloseTBtnClick()
{
    if (ChangeFlag && platform::ui().messageBox(ChangedQuestion, jobs::EditorCaption, taskQuestionStyle()) !=
                          platform::MsgResult::Yes)
        return;
    setWindowTitle(jobs::EditorCaption);
    DspBnfData(false);
    EditFlag = false;
    ChangeFlag = false;
}

void TSetGyForm::EndTBtnClick()
{
    close();
}

bool TSetGyForm::FormCloseQuery()
{
    return !ChangeFlag || platform::ui().messageBox(ChangedQuestion, jobs::EditorCaption,
                                                    taskQuestionStyle()) == platform::MsgResult::Yes;
}

void TSetGyForm::reject()
{
    // The close box, Escape and "終了" all end here, through the same question.
    if (FormCloseQuery())
        QDialog::reject();
}
