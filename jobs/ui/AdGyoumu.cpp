#include "AdGyoumu.h"

#include "DialogSize.h"

#include "common/FerPrgLib.h"
#include "common/ui/Caption.h"
#include "common/ui/FilteredLineEdit.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "jobs/AddInHandOff.h"
#include "jobs/JobFieldRules.h"
#include "jobs/JobListOps.h"
#include "jobs/LetterCodes.h"
#include "platform/UiService.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;

namespace {

const QString Caption = QStringLiteral("業務追加");

void warn(const QString &text)
{
    platform::ui().messageBox(text, Caption, formkit::inputErrorStyle());
}

QLineEdit *nameEdit(const char *name, int maxLength, QWidget *parent)
{
    auto *edit = named(new FilteredLineEdit(parent), name); // refuses what a job file cannot hold
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(maxLength == jobs::GyNameBytes ? 150 : 110);
    return edit;
}

} // namespace

TAdGyForm::TAdGyForm(TAddGyDat &add, const QString &appPath, QWidget *parent)
    : QDialog(parent), add_(add), appPath_(appPath)
{
    setObjectName(QStringLiteral("AdGyForm"));
    setWindowTitle(Caption);
    add_.GyName.clear();
    jobs::ResetAddInData(add_);

    GNameSE = nameEdit("GNameSE", jobs::GyNameBytes, this);
    GModeCB = named(new TListCombo(this), "GModeCB");
    GModeCB->addItems(GyModeItems());
    ProgLabel = named(new QLabel(QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ名"), this), "ProgLabel");
    PNameSE = nameEdit("PNameSE", jobs::FileNameBytes, this);
    AddInSetBtn = formkit::button("AddInSetBtn", QStringLiteral("アドインプログラム設定"), this);
    SaveGroup = named(new QGroupBox(QStringLiteral("保存ファイル"), this), "SaveGroup");
    FNameSE = nameEdit("FNameSE", jobs::FileNameBytes, SaveGroup);
    TStampCB = named(new TListCombo(SaveGroup), "TStampCB");
    TStampCB->addItems(TStampItems());
    TSLocCB = named(new TListCombo(SaveGroup), "TSLocCB");
    TSLocCB->addItems(TSLocItems());
    TSLocCB->setCurrentIndex(1);
    AddIDChkCB = named(new QCheckBox(QStringLiteral("HtNoをﾃﾞｰﾀに付加"), SaveGroup), "AddIDChkCB");
    RcvProtoPanel = named(new QFrame(this), "RcvProtoPanel");
    RcvProtoCB = named(new TListCombo(RcvProtoPanel), "RcvProtoCB");
    RcvProtoCB->addItems(ComModeNames());
    RcvProtoCB->setCurrentIndex(0);
    RNameSE = nameEdit("RNameSE", jobs::FileNameBytes, RcvProtoPanel);
    DspTotalChk = named(new QCheckBox(QStringLiteral("合計数量表示"), this), "DspTotalChk");
    AddBtn = formkit::button("AddBtn", QStringLiteral("追加"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    for (QWidget *w : std::initializer_list<QWidget *>{GNameSE, GModeCB, FNameSE, AddIDChkCB, TStampCB,
                                                       TSLocCB, PNameSE, RcvProtoCB, RNameSE})
        w->installEventFilter(this);

    auto *head = new QGridLayout;
    head->addWidget(caption::label(QStringLiteral("業務名"), GNameSE, this), 0, 0);
    head->addWidget(GNameSE, 0, 1);
    head->addWidget(new QLabel(QStringLiteral("（半角１５文字以内）"), this), 0, 2);
    head->addWidget(caption::label(QStringLiteral("動作モード"), GModeCB, this), 1, 0);
    head->addWidget(GModeCB, 1, 1, 1, 2, Qt::AlignLeft);
    caption::link(ProgLabel, PNameSE);
    head->addWidget(ProgLabel, 2, 0);
    auto *prgRow = new QHBoxLayout;
    prgRow->addWidget(PNameSE);
    prgRow->addWidget(AddInSetBtn);
    prgRow->addStretch(1);
    head->addLayout(prgRow, 2, 1, 1, 2);
    auto *saveGrid = new QGridLayout(SaveGroup);
    saveGrid->addWidget(caption::label(QStringLiteral("ファイル名"), FNameSE, SaveGroup), 0, 0);
    saveGrid->addWidget(FNameSE, 0, 1);
    saveGrid->addWidget(new QLabel(QStringLiteral("（データ保存をしない場合は空欄）"), SaveGroup), 0, 2);
    saveGrid->addWidget(caption::label(QStringLiteral("ﾀｲﾑｽﾀﾝﾌﾟ"), TStampCB, SaveGroup), 1, 0);
    // Where the stamp goes: the second half of the same caption.
    caption::name(TSLocCB, QStringLiteral("ﾀｲﾑｽﾀﾝﾌﾟ"));
    auto *stampRow = new QHBoxLayout;
    stampRow->addWidget(TStampCB);
    stampRow->addWidget(TSLocCB);
    stampRow->addStretch(1);
    saveGrid->addLayout(stampRow, 1, 1, 1, 2);
    saveGrid->addWidget(AddIDChkCB, 2, 1, 1, 2);
    auto *rcvGrid = new QGridLayout(RcvProtoPanel);
    rcvGrid->setContentsMargins(0, 0, 0, 0);
    rcvGrid->addWidget(caption::label(QStringLiteral("ﾌｧｲﾙ転送ﾌﾟﾛﾄｺﾙ"), RcvProtoCB, RcvProtoPanel), 0, 0);
    rcvGrid->addWidget(RcvProtoCB, 0, 1, Qt::AlignLeft);
    rcvGrid->addWidget(caption::label(QStringLiteral("受信ﾌｧｲﾙ名"), RNameSE, RcvProtoPanel), 1, 0);
    rcvGrid->addWidget(RNameSE, 1, 1, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(SaveGroup);
    layout->addWidget(DspTotalChk);
    layout->addWidget(RcvProtoPanel);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(GModeCB, &QComboBox::activated, this, &TAdGyForm::GModeCBChange);
    connect(TStampCB, &QComboBox::activated, this, &TAdGyForm::TStampCBChange);
    connect(GNameSE, &QLineEdit::textEdited, this, &TAdGyForm::GNameSEChange);
    connect(RNameSE, &QLineEdit::textEdited, this, &TAdGyForm::RNameSEChange);
    connect(FNameSE, &QLineEdit::textEdited, this, &TAdGyForm::FNameSEChange);
    connect(PNameSE, &QLineEdit::textEdited, this, &TAdGyForm::PNameSEChange);
    connect(AddInSetBtn, &QPushButton::clicked, this, &TAdGyForm::AddInSetBtnClick);
    connect(AddBtn, &QPushButton::clicked, this, &TAdGyForm::AddBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    // One size for every mode, with the stamp's place shown.
    TSLocCB->show();
    keepLargestSize(*this, GModeCB->count(), [this](int mode) {
        GModeCB->setCurrentIndex(mode);
        GModeCBChange();
    });
    GModeCB->setCurrentIndex(0);
    GModeCBChange();
    TStampCBChange();
}

void TAdGyForm::GModeCBChange()
{
    const QChar mode = GyModeLetter(GModeCB->currentIndex());
    const bool collects = mode == u'A' || mode == u'B';
    SaveGroup->setVisible(collects);
    DspTotalChk->setVisible(mode == u'B');
    RcvProtoPanel->setVisible(mode == u'R' || mode == u'r');
    for (QWidget *w : std::initializer_list<QWidget *>{ProgLabel, PNameSE, AddInSetBtn})
        w->setVisible(mode == u'X');
    // Settings confirmed for one program would otherwise go with the job of another.
    SetAdinFlg = false;
    jobs::ResetAddInData(add_);
}

void TAdGyForm::TStampCBChange()
{
    TSLocCB->setVisible(TStampCB->currentIndex() != 0);
}

void TAdGyForm::refuse(QLineEdit *edit, const QString &text, int caret)
{
    edit->setText(text);
    edit->setCursorPosition(std::clamp(caret, 0, int(text.size())));
    platform::ui().beep();
}

void TAdGyForm::GNameSEChange(const QString &text)
{
    if (const auto refused =
            jobs::byteLimitRefusal(lastGName_, text, GNameSE->cursorPosition(), jobs::GyNameBytes)) {
        refuse(GNameSE, refused->text, refused->caret);
        return;
    }
    lastGName_ = text;
}

void TAdGyForm::RNameSEChange(const QString &text)
{
    const jobs::TypedChange typed = jobs::typeThrough(TmpFName, text, jobs::AddGyNameKey);
    if (!typed.accepted) {
        refuse(RNameSE, TmpFName, typed.caret);
        return;
    }
    if (const auto caret = jobs::AddGyRNameRefusal(typed.text, RNameSE->cursorPosition(), TmpFName)) {
        refuse(RNameSE, TmpFName, *caret);
        return;
    }
    TmpFName = typed.text.toUpper();
    const int caret = RNameSE->cursorPosition();
    RNameSE->setText(TmpFName);
    RNameSE->setCursorPosition(caret);
}

void TAdGyForm::FNameSEChange(const QString &text)
{
    const jobs::TypedChange typed = jobs::typeThrough(TmpFName, text, jobs::FNameKey);
    if (!typed.accepted) {
        refuse(FNameSE, TmpFName, typed.caret);
        return;
    }
    if (!jobs::AddGyFNameAccepted(typed.text)) {
        refuse(FNameSE, TmpFName, jobs::revertEdit(TmpFName, typed.text, FNameSE->cursorPosition()).caret);
        return;
    }
    TmpFName = typed.text.toUpper();
    const int caret = FNameSE->cursorPosition();
    FNameSE->setText(TmpFName);
    FNameSE->setCursorPosition(caret);
}

void TAdGyForm::PNameSEChange(const QString &text)
{
    const jobs::TypedChange typed = jobs::typeThrough(TmpPName, text, jobs::AddGyNameKey);
    if (!typed.accepted) {
        refuse(PNameSE, TmpPName, typed.caret);
        return;
    }
    if (!jobs::AddGyPNameAccepted(typed.text)) {
        refuse(PNameSE, TmpPName, jobs::revertEdit(TmpPName, typed.text, PNameSE->cursorPosition()).caret);
        return;
    }
    const QString name = typed.text.toUpper();
    if (name != TmpPName) {
        // Settings confirmed for one program would otherwise go with the job of another.
        SetAdinFlg = false;
        jobs::ResetAddInData(add_);
    }
    TmpPName = name;
    const int caret = PNameSE->cursorPosition();
    PNameSE->setText(TmpPName);
    PNameSE->setCursorPosition(caret);
}

int TAdGyForm::AddInSetPrg(const QString &name)
{
    const formkit::WindowLock lock(this);
    jobs::AddInBlocks blocks{add_.AddInCount, add_.AddInData};
    const int result = jobs::AddInSetPrg(appPath_, name, GNameSE->text(), blocks);
    if (result == 1) {
        add_.AddInCount = blocks.AddInCount;
        add_.AddInData = blocks.AddInData;
    }
    return result;
}

void TAdGyForm::AddInSetBtnClick()
{
    if (PNameSE->text().isEmpty()) {
        warn(QStringLiteral("プログラム名を入力してください。"));
        formkit::requestFocus(PNameSE);
        return;
    }
    if (!jobs::AddInNameValid(PNameSE->text())) {
        warn(QStringLiteral("プログラム名を再入力してください。"));
        formkit::requestFocus(PNameSE);
        return;
    }
    const int result = AddInSetPrg(jobs::UpperAddInName(PNameSE->text()));
    if (result == 1)
        SetAdinFlg = true;
    else if (result == 2)
        platform::ui().messageBox(QStringLiteral("設定プログラムはありません。"),
                                  QStringLiteral("アドインプログラム設定"), formkit::inputErrorStyle());
}

void TAdGyForm::AddBtnClick()
{
    jobs::AddGyFields fields{GNameSE->text(), GModeCB->currentIndex(), PNameSE->text(), RNameSE->text()};
    if (const auto fault = jobs::AddGyCheck(fields)) {
        warn(fault->message);
        formkit::requestFocus(findChild<QWidget *>(fault->control));
        return;
    }
    const QChar mode = GyModeLetter(GModeCB->currentIndex());
    if (mode != u'X') {
        PNameSE->clear();
        TmpPName.clear();
        jobs::ResetAddInData(add_);
    } else if (!SetAdinFlg && AddInSetPrg(jobs::UpperAddInName(PNameSE->text())) == 0) {
        // Not confirmed in the settings program: the operator is still adding this job.
        return;
    }
    add_.GyName = GNameSE->text();
    add_.GyMode = GModeCB->currentIndex();
    add_.DspTotal = DspTotalChk->isChecked();
    add_.PName = PNameSE->text().toUpper();
    add_.RName = RNameSE->text();
    add_.RcvProto = RcvProtoCB->currentIndex();
    add_.FName = FNameSE->text();
    add_.AddIDChk = AddIDChkCB->isChecked();
    add_.TStamp = TStampCB->currentIndex();
    add_.TSLoc = TSLocCB->currentIndex();
    accept();
}

void TAdGyForm::PKeyDown(QWidget *control)
{
    const QChar mode = GyModeLetter(GModeCB->currentIndex());
    QWidget *next = nullptr;
    if (control == GNameSE && !GNameSE->text().isEmpty())
        next = GModeCB;
    else if (control == GModeCB)
        next = mode == u'A' || mode == u'B'   ? static_cast<QWidget *>(FNameSE)
               : mode == u'J'                 ? static_cast<QWidget *>(AddBtn)
               : mode == u'R' || mode == u'r' ? static_cast<QWidget *>(RNameSE)
               : mode == u'X'                 ? static_cast<QWidget *>(PNameSE)
                                              : nullptr;
    else if (control == FNameSE && !FNameSE->text().isEmpty())
        next = AddIDChkCB;
    else if (control == AddIDChkCB)
        next = TStampCB;
    else if (control == TStampCB)
        next = TSLocCB;
    else if (control == TSLocCB)
        next = AddBtn;
    else if (control == PNameSE && !PNameSE->text().isEmpty())
        next = AddInSetBtn;
    // Without a time stamp its place is hidden: the chain goes on from it to "追加".
    if (next != nullptr && !next->isVisibleTo(this))
        PKeyDown(next);
    else if (next != nullptr)
        formkit::requestFocus(next);
}

bool TAdGyForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *control = qobject_cast<QWidget *>(watched);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            PKeyDown(control);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
