// The job page's field handlers: each writes its value into the current job or item, with its
// limits, and refreshes what depends on it.

#include "SetBarCode.h"
#include "SetGyoumu.h"

#include "common/FerPrgLib.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/BaseSettingsRules.h"
#include "jobs/JobFieldRules.h"
#include "jobs/LetterCodes.h"
#include "platform/Cp932.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <functional>

namespace {

// Calls back when a control loses the focus or takes Enter; the control still gets the event.
class FocusWatcher : public QObject {
public:
    FocusWatcher(QObject *parent, std::function<void()> onLeave, std::function<void()> onEnter = {})
        : QObject(parent), onLeave_(std::move(onLeave)), onEnter_(std::move(onEnter))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut && onLeave_)
            onLeave_();
        if (event->type() == QEvent::KeyPress && onEnter_) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                onEnter_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onLeave_;
    std::function<void()> onEnter_;
};

void warn(const jobs::FieldMessage &message)
{
    platform::ui().messageBox(message.text, message.caption, formkit::inputErrorStyle());
}

int bytes(const QString &text)
{
    return int(platform::cp932::byteLength(text));
}

// A sign or point alone is no number yet; the limit reads as 0 while it is typed.
bool lonelyNumber(const QString &text)
{
    return text.isEmpty() || text == QLatin1String(".") || text == QLatin1String("+") ||
           text == QLatin1String("-");
}

} // namespace

TGyData &TSetGyForm::currentJob()
{
    return set_->GyData[BoundedCount(set_->TmpGyNo, MaxGyCount - 1)];
}

TKoData *TSetGyForm::editedItem(bool *group, int *index)
{
    TGyData &job = currentJob();
    TKoData *item = jobs::currentItem(job);
    const bool inGroup = job.TmpGrFlg && job.GrCount > 0;
    if (group != nullptr)
        *group = inGroup;
    if (index != nullptr)
        *index = inGroup ? job.TmpGrNo : job.TmpDaNo;
    return item;
}

void TSetGyForm::refuseText(QLineEdit *edit, const QString &text, int caret, bool beep)
{
    const formkit::LoadingGuard loading(SetFlag);
    edit->setText(text);
    edit->setCursorPosition(std::clamp(caret, 0, int(text.size())));
    if (beep)
        platform::ui().beep();
}

void TSetGyForm::showItemAgain()
{
    // Refilling the controls may move the focus; the operator stays where they were.
    QWidget *focused = focusWidget();
    showCurrentJob();
    if (focused != nullptr && focused != focusWidget())
        focused->setFocus();
}

void TSetGyForm::storeJob(const std::function<void(TGyData &)> &store)
{
    if (SetFlag)
        return;
    store(currentJob());
    ChangeFlag = true;
}

TKoData *TSetGyForm::editableItem()
{
    return SetFlag ? nullptr : editedItem();
}

void TSetGyForm::storeItem(const std::function<void(TKoData &)> &store)
{
    if (TKoData *item = editableItem()) {
        store(*item);
        ChangeFlag = true;
    }
}

void TSetGyForm::refuseFault(QLineEdit *edit, const jobs::FieldMessage &fault, const QString &stored)
{
    const int caret = edit->cursorPosition();
    warn(fault);
    refuseText(edit, stored, std::min(caret, bytes(stored)), false);
}

void TSetGyForm::connectJobEdit()
{
    connect(GNameSE, &QLineEdit::textEdited, this, &TSetGyForm::GNameSEChange);
    connect(GModeCB, &QComboBox::activated, this, &TSetGyForm::GModeCBChange);
    connect(DspTotalChk, &QCheckBox::clicked, this, &TSetGyForm::DspTotalChkClick);
    connect(RcvProtoCB, &QComboBox::activated, this, &TSetGyForm::RcvProtoCBChange);
    connect(AddIDChkCB, &QCheckBox::clicked, this, &TSetGyForm::AddIDChkCBClick);
    connect(TStampCB, &QComboBox::activated, this, &TSetGyForm::TStampCBChange);
    connect(TSLocCB, &QComboBox::activated, this, &TSetGyForm::TSLocCBChange);
    connect(AddNumChk, &QCheckBox::clicked, this, &TSetGyForm::AddNumChkClick);
    connect(PNameSE, &QLineEdit::textEdited, this, &TSetGyForm::PNameSEChange);
    connect(RNameSE, &QLineEdit::textEdited, this, &TSetGyForm::RNameSEChange);
    connect(FNameSE, &QLineEdit::textEdited, this, &TSetGyForm::FNameSEChange);
    connect(KNameSE, &QLineEdit::textEdited, this, &TSetGyForm::KNameSEChange);
    connect(KNFColorCB, &QComboBox::activated, this, &TSetGyForm::KNFColorCBChange);
    connect(KNBColorCB, &QComboBox::activated, this, &TSetGyForm::KNBColorCBChange);
    connect(KDFColorCB, &QComboBox::activated, this, &TSetGyForm::KDFColorCBChange);
    connect(KDBColorCB, &QComboBox::activated, this, &TSetGyForm::KDBColorCBChange);
    connect(KDSizeCB, &QComboBox::activated, this, &TSetGyForm::KDSizeCBChange);
    connect(KDTypeCB, &QComboBox::activated, this, &TSetGyForm::KDTypeCBChange);
    connect(KDLenNE, &QLineEdit::textEdited, this, &TSetGyForm::KDLenNEChange);
    connect(KDInpCB, &QComboBox::activated, this, &TSetGyForm::KDInpCBChange);
    connect(KDSaveChk, &QCheckBox::clicked, this, &TSetGyForm::KDSaveChkClick);
    connect(SetBarCode, &QPushButton::clicked, this, &TSetGyForm::SetBarCodeClick);
    // The panel's pressed look; it opens the dialog when released.
    SetBarCode->setStyleSheet(QStringLiteral("QPushButton { background: #008000; color: #ffffff; }"
                                             "QPushButton:pressed { background: #ffffff; color: #008000; }"));
    connect(DefaultCB, &QComboBox::activated, this, &TSetGyForm::DefaultCBChange);
    connect(DefaultDatSE, &QLineEdit::textEdited, this, &TSetGyForm::DefaultDatSEChange);
    DefaultDatSE->installEventFilter(new FocusWatcher(this, [this] { DefaultDatSEExit(); }));
    connect(DefaultDatNE, &QLineEdit::textEdited, this, &TSetGyForm::DefaultDatNEChange);
    connect(DoubleChkCB, &QComboBox::activated, this, &TSetGyForm::DoubleChkCBChange);
    connect(KDNextCB, &QComboBox::activated, this, &TSetGyForm::KDNextCBChange);
    connect(KDNextTmNE, &QLineEdit::textEdited, this, &TSetGyForm::KDNextTmNEChange);
    KDNextTmNE->installEventFilter(new FocusWatcher(this, {}, [this] {
        if (KDNextTmNE->text().isEmpty()) {
            KDNextTmNE->setText(QStringLiteral("0"));
            KDNextTmNEChange(KDNextTmNE->text());
        }
    }));
    connect(KDMaxNE, &QLineEdit::textEdited, this, &TSetGyForm::KDMaxNEChange);
    connect(KDMinNE, &QLineEdit::textEdited, this, &TSetGyForm::KDMinNEChange);
    connect(UseMasterChk, &QCheckBox::clicked, this, &TSetGyForm::UseMasterChkClick);

    connect(GyNewBtn, &QToolButton::clicked, this, &TSetGyForm::GyNewBtnClick);
    connect(GyDelBtn, &QToolButton::clicked, this, &TSetGyForm::GyDelBtnClick);
    connect(GrNewBtn, &QToolButton::clicked, this, &TSetGyForm::GrNewBtnClick);
    connect(GrDelBtn, &QToolButton::clicked, this, &TSetGyForm::GrDelBtnClick);
    connect(DaNewBtn, &QToolButton::clicked, this, &TSetGyForm::DaNewBtnClick);
    connect(DaDelBtn, &QToolButton::clicked, this, &TSetGyForm::DaDelBtnClick);
    buildPopup();
}

void TSetGyForm::GNameSEChange(const QString &text)
{
    if (SetFlag)
        return;
    TGyData &job = currentJob();
    if (const auto refused =
            jobs::byteLimitRefusal(job.GyName, text, GNameSE->cursorPosition(), jobs::GyNameBytes)) {
        refuseText(GNameSE, refused->text, refused->caret);
        return;
    }
    job.GyName = text;
    if (QListWidgetItem *row = GMenuList->item(set_->TmpGyNo))
        row->setText(text);
    DspBhtPanel();
    ChangeFlag = true;
}

void TSetGyForm::GModeCBChange(int index)
{
    if (SetFlag || index < 0)
        return;
    currentJob().GyMode = index;
    DspToolBtn(true);
    showItemAgain();
    ChangeFlag = true;
}

void TSetGyForm::DspTotalChkClick()
{
    storeJob([this](TGyData &job) {
        job.DspTotal = DspTotalChk->isChecked();
        DspBhtPanel();
    });
}

void TSetGyForm::RcvProtoCBChange(int index)
{
    storeJob([this, index](TGyData &job) {
        job.RcvProto = index;
        DspBhtPanel();
    });
}

void TSetGyForm::AddIDChkCBClick()
{
    storeJob([this](TGyData &job) { job.AddIDChk = AddIDChkCB->isChecked(); });
}

void TSetGyForm::TStampCBChange(int index)
{
    storeJob([this, index](TGyData &job) {
        job.TStamp = index;
        TSLocCB->setVisible(index != 0);
    });
}

void TSetGyForm::TSLocCBChange(int index)
{
    storeJob([index](TGyData &job) { job.TSLoc = index; });
}

void TSetGyForm::AddNumChkClick()
{
    storeJob([this](TGyData &job) { job.DaAddNum = AddNumChk->isChecked(); });
}

namespace {

// A file name edit's change: typed through key (when given), then accepted by the name rule.
// Nothing when refused; the accepted, upper-cased text otherwise.
struct NameEdit {
    std::optional<QString> accepted;
    QString revertText;
    int revertCaret = 0;
};

NameEdit nameChange(const QString &stored, const QString &text, int caret, const jobs::KeyRule &key,
                    bool (*accepts)(const QString &))
{
    QString candidate = text;
    if (key) {
        const jobs::TypedChange typed = jobs::typeThrough(stored, text, key);
        if (!typed.accepted)
            return {std::nullopt, stored, typed.caret};
        candidate = typed.text;
    }
    if (!accepts(candidate)) {
        const jobs::EditRevert back = jobs::revertEdit(stored, candidate, caret);
        return {std::nullopt, back.text, back.caret};
    }
    return {candidate.toUpper(), QString(), 0};
}

} // namespace

bool TSetGyForm::storeJobName(QLineEdit *edit, const QString &text, QString TGyData::*name, NameKey key,
                              bool (*accepts)(const QString &))
{
    if (SetFlag)
        return false;
    TGyData &job = currentJob();
    const int caret = edit->cursorPosition();
    const NameEdit change = nameChange(job.*name, text, caret, key, accepts);
    if (!change.accepted) {
        refuseText(edit, change.revertText, change.revertCaret);
        return false;
    }
    job.*name = *change.accepted;
    refuseText(edit, job.*name, caret, false);
    ChangeFlag = true;
    return true;
}

void TSetGyForm::PNameSEChange(const QString &text)
{
    storeJobName(PNameSE, text, &TGyData::PName, jobs::AddGyNameKey, jobs::PNameAccepted);
}

void TSetGyForm::RNameSEChange(const QString &text)
{
    if (storeJobName(RNameSE, text, &TGyData::RName, jobs::AddGyNameKey, jobs::RNameAccepted))
        DspBhtPanel();
}

void TSetGyForm::FNameSEChange(const QString &text)
{
    if (!storeJobName(FNameSE, text, &TGyData::FName, jobs::FNameKey, jobs::FNameAccepted))
        return;
    const TGyData &job = currentJob();
    if (GyModeLetter(job.GyMode) == u'B')
        DspTotalChk->setVisible(!job.FName.isEmpty());
    DspBhtPanel();
}

void TSetGyForm::KNameSEChange(const QString &text)
{
    if (SetFlag)
        return;
    bool group = false;
    int index = 0;
    TKoData *item = editedItem(&group, &index);
    if (item == nullptr)
        return;
    if (const auto refused =
            jobs::byteLimitRefusal(item->KName, text, KNameSE->cursorPosition(), jobs::KNameBytes)) {
        refuseText(KNameSE, refused->text, refused->caret);
        return;
    }
    QListWidget *list = group ? GroupList : DataList;
    if (QListWidgetItem *row = list->currentRow() >= 0 ? list->item(list->currentRow()) : nullptr) {
        row->setText(text);
        item->KName = text;
        ChangeFlag = true;
    }
    DspBhtPanel();
}

// A colour choice only changes what the preview draws.
void TSetGyForm::storeItemColour(int TKoData::*colour, int index)
{
    storeItem([this, colour, index](TKoData &item) {
        item.*colour = index;
        DspBhtPanel();
    });
}

void TSetGyForm::KNFColorCBChange(int index)
{
    storeItemColour(&TKoData::KNfColor, index);
}

void TSetGyForm::KNBColorCBChange(int index)
{
    storeItemColour(&TKoData::KNbColor, index);
}

void TSetGyForm::KDFColorCBChange(int index)
{
    storeItemColour(&TKoData::KDfColor, index);
}

void TSetGyForm::KDBColorCBChange(int index)
{
    storeItemColour(&TKoData::KDbColor, index);
}

void TSetGyForm::KDSizeCBChange(int index)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    const QChar type = DataTypeLetter(item->KDType);
    if (index == 1) {
        const bool modeJ = GyModeLetter(currentJob().GyMode) == u'J';
        if (const auto fault = jobs::DoubleWidthFault(type, modeJ, KDMaxNE->text(), KDLenNE->text())) {
            warn(*fault);
            formkit::requestFocus(KDLenNE);
            {
                const formkit::LoadingGuard loading(SetFlag);
                KDSizeCB->setCurrentIndex(0);
            }
            item->KDSize = 0;
            DspBhtPanel();
            return;
        }
    }
    item->KDSize = index;
    // Double width lowers the length of a number to what the terminal shows.
    showItemAgain();
    ChangeFlag = true;
}

void TSetGyForm::KDTypeCBChange(int index)
{
    if (SetFlag || index < 0)
        return;
    bool group = false;
    int at = 0;
    TKoData *item = editedItem(&group, &at);
    if (item == nullptr)
        return;
    TGyData &job = currentJob();
    {
        const formkit::LoadingGuard loading(SetFlag);
        if (const auto change =
                jobs::TypeInputConsequence(GyModeLetter(job.GyMode), index, item->KDInpMode)) {
            warn(change->message);
            item->KDInpMode = change->inputMode;
            KDInpCB->setCurrentIndex(change->inputMode);
            SetBarCode->hide();
        }
        item->KDType = index;
        // A default that is no number of the new type would be refused by the terminal.
        const QChar type = DataTypeLetter(index);
        if (QStringLiteral("BCabc").contains(type) && !jobs::isNumberFor(type, item->KDefDat))
            item->KDefDat.clear();
        ItemView view;
        ChangeType(*item, false, job, group, at, view);
    }
    showItemAgain();
    ChangeFlag = true;
}

void TSetGyForm::KDLenNEChange(const QString &text)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    const QChar type = DataTypeLetter(item->KDType);
    const int value = jobs::KDLenValue(text, type, item->KDSize != 0);
    if (!text.isEmpty() && QString::number(value) != text)
        refuseText(KDLenNE, QString::number(value), KDLenNE->cursorPosition(), false);
    item->KDLen = value;
    const TGyData &job = currentJob();
    if (GyModeLetter(job.GyMode) == u'J' && !job.TmpGrFlg && QStringLiteral("ABC").contains(type))
        item->KDMax = KDLenNE->text();
    DspBhtPanel();
    ChangeFlag = true;
}

void TSetGyForm::KDInpCBChange(int index)
{
    if (SetFlag || index < 0)
        return;
    TKoData *item = editedItem();
    if (item == nullptr)
        return;
    const QChar mode = GyModeLetter(currentJob().GyMode);
    if (mode == u'J') {
        item->KDInpMode = index;
        ChangeFlag = true;
        return;
    }
    if (const auto fault = jobs::InputModeFault(mode, item->KDType, index)) {
        warn(*fault);
        const formkit::LoadingGuard loading(SetFlag);
        KDInpCB->setCurrentIndex(item->KDInpMode);
        return;
    }
    SetBarCode->setVisible(index == 2 || index == 3);
    InpDefPanel->show();
    item->KDInpMode = index;
    ChangeFlag = true;
}

void TSetGyForm::KDSaveChkClick()
{
    if (TKoData *item = editedItem()) {
        item->KDSaveFlg = KDSaveChk->isChecked();
        showItemAgain();
        ChangeFlag = true;
    }
}

void TSetGyForm::SetBarCodeClick()
{
    bool group = false;
    int index = 0;
    if (editedItem(&group, &index) == nullptr)
        return;
    TSetBarCodeForm form(currentJob(), group, index, AppPath + QStringLiteral("AiCode.Tbl"), this);
    platform::ui().showModal(form);
    if (form.Confirmed)
        ChangeFlag = true;
}

void TSetGyForm::DefaultCBChange(int index)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    item->KDefType = index >= 1 && index <= 3 ? QChar(u'0' + index) : QChar(u'0');
    const bool number = QStringLiteral("abc").contains(DataTypeLetter(item->KDType));
    DefaultDatNE->setVisible(index == 1 && number);
    DefaultDatSE->setVisible(index == 1 && !number);
    ChangeFlag = true;
}

void TSetGyForm::DefaultDatSEChange(const QString &text)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    const QChar type = DataTypeLetter(item->KDType);
    const jobs::TypedChange typed =
        jobs::typeThrough(item->KDefDat, text,
                          [type](const QString &, int, QChar key) { return jobs::DefaultDatKey(type, key); });
    const int limit = std::min(DefaultDatSE->maxLength(), jobs::DefaultDatBytes);
    if (!typed.accepted) {
        refuseText(DefaultDatSE, item->KDefDat, typed.caret);
        return;
    }
    if (const auto refused =
            jobs::byteLimitRefusal(item->KDefDat, text, DefaultDatSE->cursorPosition(), limit)) {
        refuseText(DefaultDatSE, refused->text, refused->caret);
        return;
    }
    item->KDefDat = text;
    ChangeFlag = true;
}

void TSetGyForm::DefaultDatSEExit()
{
    TKoData *item = editedItem();
    if (item == nullptr || DefaultDatChecking || !DefaultDatSE->isVisible() || DefaultDatSE->text().isEmpty())
        return;
    if (jobs::DefaultDatAccepted(DataTypeLetter(item->KDType), DefaultDatSE->text()))
        return;
    DefaultDatChecking = true;
    platform::ui().messageBox(QStringLiteral("デフォルト値を再入力してください。"),
                              QStringLiteral("デフォルト値入力エラー"), formkit::inputErrorStyle());
    formkit::requestFocus(DefaultDatSE);
    DefaultDatChecking = false;
}

void TSetGyForm::DefaultDatNEChange(const QString &text)
{
    storeItem([&text](TKoData &item) { item.KDefDat = text; });
}

void TSetGyForm::DoubleChkCBChange(int index)
{
    storeItem([index](TKoData &item) { item.KDouble = index; });
}

void TSetGyForm::KDNextCBChange(int index)
{
    storeItem([index](TKoData &item) { item.KDNext = index; });
}

void TSetGyForm::KDNextTmNEChange(const QString &text)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    int value = text.isEmpty() ? 0 : text.toInt();
    if (value > 99) {
        value = 99;
        refuseText(KDNextTmNE, QStringLiteral("99"), 2, false);
    }
    item->KDNextTm = value;
    ChangeFlag = true;
}

void TSetGyForm::KDMaxNEChange(const QString &text)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    const QChar type = DataTypeLetter(item->KDType);
    const bool textType = QStringLiteral("ABC").contains(type);
    if (lonelyNumber(text)) {
        item->KDMax = QStringLiteral("0");
    } else {
        if (const auto fault =
                jobs::KDMaxFault(type, item->KDSize != 0, text, KDLenNE->text(), item->KDSaveFlg)) {
            refuseFault(KDMaxNE, *fault, item->KDMax);
            return;
        }
        if (textType) {
            const int length = int(std::min<qint64>(text.toLongLong(), jobs::DefaultDatBytes));
            DefaultDatSE->setMaxLength(std::max(length, 1));
            const QString cut = CutToBytes(DefaultDatSE->text(), length);
            if (cut != DefaultDatSE->text()) {
                const formkit::LoadingGuard loading(SetFlag);
                DefaultDatSE->setText(cut);
            }
        }
        item->KDMax = text;
        if (textType)
            item->KDefDat = DefaultDatSE->text();
    }
    if (QStringLiteral("ABCabc").contains(type))
        DspBhtPanel();
    ChangeFlag = true;
}

void TSetGyForm::KDMinNEChange(const QString &text)
{
    TKoData *item = editableItem();
    if (item == nullptr)
        return;
    if (lonelyNumber(text)) {
        item->KDMin = QStringLiteral("0");
    } else if (const auto fault = jobs::KDMinFault(DataTypeLetter(item->KDType), text, KDMaxNE->text())) {
        refuseFault(KDMinNE, *fault, item->KDMin);
        ChangeFlag = true;
        return;
    } else {
        item->KDMin = text;
    }
    ChangeFlag = true;
}

void TSetGyForm::UseMasterChkClick()
{
    TKoData *item = editedItem();
    if (item == nullptr)
        return;
    if (!UseMasterChk->isChecked() && item->KMFNo > 0 &&
        !formkit::askYes(QStringLiteral("設定したデータを破棄してもいいですか？"),
                         QStringLiteral("マスター参照設定"))) {
        UseMasterChk->setChecked(true);
        return;
    }
    if (UseMasterChk->isChecked())
        item->KMstFlag = true;
    else
        jobs::ReleaseMaster(*item, *set_);
    SetMasterBtn->setEnabled(UseMasterChk->isChecked());
    ChangeFlag = true;
}
