// The base settings page: its fields' handlers, exit checks and Enter chain, the add-in
// communication programs and the communication mode list, and the Bluetooth dialog.

#include "SetGyoumu.h"

#include "SetBt.h"
#include "SetMaster.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/BaseSettingsRules.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <functional>

namespace {

// Hands Enter and the loss of the focus of the page's controls to the form.
class BaseKeys : public QObject {
public:
    BaseKeys(QObject *parent, std::function<void(QWidget *)> enter, std::function<void(QWidget *)> exit)
        : QObject(parent), enter_(std::move(enter)), exit_(std::move(exit))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *control = qobject_cast<QWidget *>(watched);
        if (control != nullptr && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                enter_(control);
                return true;
            }
        }
        if (control != nullptr && event->type() == QEvent::FocusOut) {
            // A box or another window taking the focus is no move to another field.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                exit_(control);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(QWidget *)> enter_;
    std::function<void(QWidget *)> exit_;
};

} // namespace

void TSetGyForm::connectBasePage()
{
    auto *keys = new BaseKeys(
        SetBase, [this](QWidget *w) { P1KeyDown(w); }, [this](QWidget *w) { baseFieldExit(w); });
    for (QWidget *w : std::initializer_list<QWidget *>{
             APOffTimeNE, DspErrTimeNE, Bar2ReadNE, BarSModeCB, BzList, WavFileSE, BzHzNE, BzCountNE,
             BzOnTimeNE, BzOffTimeNE, ComPrgSE1, ComPrgSE2, DataFtpCB, SendDelCB})
        w->installEventFilter(keys);
    // Pressed, the panel button shows white with blue text; else blue with white text.
    SetBluetooth->setStyleSheet(
        QStringLiteral("QPushButton { background: blue; color: white; padding: 4px 10px; }"
                       "QPushButton:pressed { background: white; color: blue; }"));

    connect(APOffTimeNE, &QLineEdit::textEdited, this, &TSetGyForm::APOffTimeNEChange);
    connect(DspErrTimeNE, &QLineEdit::textEdited, this, &TSetGyForm::DspErrTimeNEChange);
    connect(Bar2ReadNE, &QLineEdit::textEdited, this, &TSetGyForm::Bar2ReadNEChange);
    connect(BarSModeCB, &QComboBox::activated, this, &TSetGyForm::BarSModeCBChange);
    connect(DataFtpCB, &QComboBox::activated, this, &TSetGyForm::DataFtpCBChange);
    connect(SendDelCB, &QComboBox::activated, this, &TSetGyForm::SendDelCBChange);
    for (QCheckBox *box : {SubMenuChk, ShoriMenuChk, EditModeChk})
        connect(box, &QCheckBox::clicked, this, &TSetGyForm::MenuChkClick);
    // Arrow keys choose an event as a click does.
    connect(BzList, &QListWidget::currentRowChanged, this, &TSetGyForm::BzListClick);
    connect(BzHzNE, &QLineEdit::textEdited, this, &TSetGyForm::BzHzNEChange);
    connect(BzCountNE, &QLineEdit::textEdited, this, &TSetGyForm::BzCountNEChange);
    connect(BzOnTimeNE, &QLineEdit::textEdited, this, &TSetGyForm::BzOnTimeNEChange);
    connect(BzOffTimeNE, &QLineEdit::textEdited, this, &TSetGyForm::BzOffTimeNEChange);
    connect(WavFileSE, &QLineEdit::textEdited, this, &TSetGyForm::WavFileSEChange);
    connect(ComPrgSE1, &QLineEdit::textEdited, this, &TSetGyForm::ComPrgSE1Change);
    connect(ComPrgSE2, &QLineEdit::textEdited, this, &TSetGyForm::ComPrgSE2Change);
    connect(SetBluetooth, &QPushButton::clicked, this, &TSetGyForm::SetBluetoothMouseUp);
    connect(SetMasterBtn, &QPushButton::clicked, this, &TSetGyForm::SetMasterBtnClick);
}

namespace {

// "0" becomes "1" in the edit itself.
void zeroToOne(QLineEdit *edit)
{
    const QString fixed = basepage::ZeroToOne(edit->text());
    if (fixed != edit->text())
        edit->setText(fixed);
}

} // namespace

void TSetGyForm::APOffTimeNEChange()
{
    if (SetFlag)
        return;
    zeroToOne(APOffTimeNE);
    ChangeFlag = true;
}

void TSetGyForm::DspErrTimeNEChange()
{
    if (SetFlag)
        return;
    zeroToOne(DspErrTimeNE);
    ChangeFlag = true;
}

void TSetGyForm::Bar2ReadNEChange()
{
    if (!SetFlag)
        ChangeFlag = true;
}

void TSetGyForm::BarSModeCBChange()
{
    if (!SetFlag)
        ChangeFlag = true;
}

void TSetGyForm::DataFtpCBChange()
{
    if (!SetFlag)
        ChangeFlag = true;
}

void TSetGyForm::SendDelCBChange()
{
    if (!SetFlag)
        ChangeFlag = true;
}

void TSetGyForm::MenuChkClick()
{
    if (!SetFlag)
        ChangeFlag = true;
}

void TSetGyForm::baseFieldExit(QWidget *field)
{
    // A field of a page that is not shown (validation switched pages, say) is not being left.
    if (!field->isVisible())
        return;
    auto *edit = qobject_cast<TNEdit *>(field);
    if (edit == nullptr)
        return;
    const QString message = basepage::EmptyFieldMessage(edit->objectName());
    if (message.isEmpty())
        return;
    if (edit->text().isEmpty()) {
        // Taking the focus back leaves the field that was entered: that is no exit to check, or
        // two empty fields would hand the focus back and forth for ever.
        if (exitChecking_)
            return;
        exitChecking_ = true;
        formkit::showInputError(message);
        formkit::requestFocus(edit);
        exitChecking_ = false;
        return;
    }
    const int event = BzList->currentRow();
    if (edit == BzHzNE && event >= 0 && event < BzEventCount) {
        const int hz = basepage::BzHzLeft(edit->text().toInt());
        if (QString::number(hz) != edit->text()) {
            edit->setText(QString::number(hz));
            set_->BzSet[event].Hz = hz;
            ChangeFlag = true;
        }
    }
}

namespace {

void keepCaret(QLineEdit *edit, const QString &text)
{
    const int caret = edit->cursorPosition();
    edit->setText(text);
    edit->setCursorPosition(std::min(caret, int(text.size())));
}

} // namespace

void TSetGyForm::BzHzNEChange()
{
    if (SetFlag)
        return;
    const QString typed = basepage::BzHzTyped(BzHzNE->text());
    if (typed != BzHzNE->text())
        keepCaret(BzHzNE, typed);
    const int event = BzList->currentRow();
    if (event >= 0 && event < BzEventCount)
        basepage::StoreBzField(set_->BzSet[event], basepage::BzField::Hz, BzHzNE->text());
    ChangeFlag = true;
}

void TSetGyForm::BzCountNEChange()
{
    if (SetFlag)
        return;
    const int event = BzList->currentRow();
    if (event >= 0 && event < BzEventCount)
        basepage::StoreBzField(set_->BzSet[event], basepage::BzField::Count, BzCountNE->text());
    ChangeFlag = true;
}

void TSetGyForm::BzOnTimeNEChange()
{
    if (SetFlag)
        return;
    zeroToOne(BzOnTimeNE);
    const int event = BzList->currentRow();
    if (event >= 0 && event < BzEventCount)
        basepage::StoreBzField(set_->BzSet[event], basepage::BzField::OnTime, BzOnTimeNE->text());
    ChangeFlag = true;
}

void TSetGyForm::BzOffTimeNEChange()
{
    if (SetFlag)
        return;
    zeroToOne(BzOffTimeNE);
    const int event = BzList->currentRow();
    if (event >= 0 && event < BzEventCount)
        basepage::StoreBzField(set_->BzSet[event], basepage::BzField::OffTime, BzOffTimeNE->text());
    ChangeFlag = true;
}

void TSetGyForm::WavFileSEChange()
{
    if (SetFlag)
        return;
    const int event = BzList->currentRow();
    if (event < 0 || event >= BzEventCount)
        return;
    QString &stored = set_->BzWavFile[event];
    const basepage::FileNameText typed = basepage::FileNameEdited(stored, WavFileSE->text());
    const basepage::NameChange change = basepage::WavFileChange(typed.text, typed.caret, stored);
    if (change.text != WavFileSE->text()) {
        WavFileSE->setText(change.text);
        WavFileSE->setCursorPosition(change.caret);
    }
    if (typed.beep || !change.accepted)
        platform::ui().beep();
    stored = change.text;
    ChangeFlag = true;
}

void TSetGyForm::comPrgChanged(QLineEdit *edit, QString &stored)
{
    if (SetFlag)
        return;
    const basepage::FileNameText typed = basepage::FileNameEdited(stored, edit->text());
    const basepage::NameChange change = basepage::ComPrgChange(typed.text, typed.caret, stored);
    if (change.text != edit->text()) {
        edit->setText(change.text);
        edit->setCursorPosition(change.caret);
    }
    if (typed.beep || !change.accepted)
        platform::ui().beep();
    stored = change.text;
    const basepage::DataFtpList list =
        basepage::RebuildDataFtp(set_->ComPrg1, set_->ComPrg2, DataFtpCB->currentIndex());
    {
        const formkit::LoadingGuard loading(SetFlag);
        DataFtpCB->clear();
        DataFtpCB->addItems(list.items);
        DataFtpCB->setCurrentIndex(list.index);
    }
    ChangeFlag = true;
}

void TSetGyForm::ComPrgSE1Change()
{
    comPrgChanged(ComPrgSE1, set_->ComPrg1);
}

void TSetGyForm::ComPrgSE2Change()
{
    comPrgChanged(ComPrgSE2, set_->ComPrg2);
}

void TSetGyForm::ComPrgSE1KeyDown(QLineEdit *edit)
{
    const QString next = basepage::ComPrgEnter(edit->objectName(), edit->text());
    if (next.isEmpty()) {
        platform::ui().beep();
        return;
    }
    formkit::requestFocus(findChild<QWidget *>(next));
}

void TSetGyForm::P1KeyDown(QWidget *control)
{
    if (control == ComPrgSE1 || control == ComPrgSE2) {
        ComPrgSE1KeyDown(static_cast<QLineEdit *>(control));
        return;
    }
    const QString next = basepage::P1KeyDown(control->objectName());
    if (!next.isEmpty())
        formkit::requestFocus(findChild<QWidget *>(next));
}

void TSetGyForm::SetBluetoothMouseUp()
{
    TSetBtForm form(this);
    form.fill(basepage::BtFill(set_->BtDat));
    platform::ui().showModal(form);
    if (basepage::BtCopyBack(form.values(), set_->BtDat))
        ChangeFlag = true;
}

// The job page's master button: the master reference of the current item.
void TSetGyForm::SetMasterBtnClick()
{
    const TGyData &job = set_->GyData[set_->TmpGyNo];
    const masterdef::ItemRef item{set_->TmpGyNo, job.TmpGrFlg, job.TmpGrFlg ? job.TmpGrNo : job.TmpDaNo};
    TSetMasterForm form(*set_, item, this);
    platform::ui().showModal(form);
    if (form.SetChanged) {
        // Entries on the cut/copy stacks follow the masters too: a paste must not refer to
        // another master than the one it was cut with.
        TmpKoDa.forEach([&](TKoData &held) { form.copy().follow(held); });
        TmpGyDa.forEach([&](TGyData &held) { form.copy().follow(held); });
        ChangeFlag = true;
    }
    showCurrentJob();
}
