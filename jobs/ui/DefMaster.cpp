#include "DefMaster.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"
#include "jobs/BaseSettingsRules.h"
#include "platform/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;

namespace {

const QString CloseCaption = QStringLiteral("マスター追加/変更");
const QString DeleteCaption = QStringLiteral("マスター削除");

TNEdit *numberEdit(const char *name, int digits, int maximum, QWidget *parent)
{
    auto *edit = named(new TNEdit(parent), name);
    edit->SetMaxDegits(digits);
    edit->SetMinValue(1);
    edit->SetMaxValue(maximum);
    edit->setMaxLength(digits);
    edit->setFixedWidth(16 + 9 * digits);
    return edit;
}

} // namespace

TDefMasterForm::TDefMasterForm(masterdef::MasterCopy &copy, const TSetData &set, masterdef::ItemRef editing,
                               QWidget *parent)
    : QDialog(parent), copy_(copy), set_(set), editing_(editing)
{
    setObjectName(QStringLiteral("DefMasterForm"));
    setWindowTitle(QStringLiteral("マスターファイル追加/変更"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    MasterLB = named(new QListWidget(this), "MasterLB");
    MasterLB->setFixedWidth(140);
    MFNameSE = named(new QLineEdit(this), "MFNameSE");
    MFNameSE->setMaxLength(12);
    MFNameSE->setFixedWidth(110);
    MFNameSE->setAttribute(Qt::WA_InputMethodEnabled, false);
    KeySizeNE = numberEdit("KeySizeNE", 2, 99, this);
    QDefNCB = named(new TListCombo(this), "QDefNCB");
    QDefNCB->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                       QStringLiteral("5")});
    static const char *const sizeNames[] = {"QDSize1NE", "QDSize2NE", "QDSize3NE", "QDSize4NE", "QDSize5NE"};
    static const char16_t *const sizeLabels[] = {u"参照データ１桁数", u"参照データ２桁数",
                                                 u"参照データ３桁数", u"参照データ４桁数",
                                                 u"参照データ５桁数"};
    auto *grid = new QGridLayout;
    grid->addWidget(caption::label(QStringLiteral("マスターファイル名"), MFNameSE, this), 0, 0);
    grid->addWidget(MFNameSE, 0, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(caption::label(QStringLiteral("検索キー桁数"), KeySizeNE, this), 1, 0);
    grid->addWidget(KeySizeNE, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("桁"), this), 1, 2);
    grid->addWidget(caption::label(QStringLiteral("参照データ数"), QDefNCB, this), 2, 0);
    grid->addWidget(QDefNCB, 2, 1, Qt::AlignLeft);
    for (int i = 0; i < MaxQDCount; ++i) {
        QDLabel[i] = new QLabel(QString::fromUtf16(sizeLabels[i]), this);
        // The file keeps two digits per width.
        QDSizeNE[i] = numberEdit(sizeNames[i], 2, 99, this);
        caption::link(QDLabel[i], QDSizeNE[i]);
        QDSLabel[i] = new QLabel(QStringLiteral("桁"), this);
        grid->addWidget(QDLabel[i], 3 + i, 0);
        grid->addWidget(QDSizeNE[i], 3 + i, 1, Qt::AlignLeft);
        grid->addWidget(QDSLabel[i], 3 + i, 2);
    }
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(3, 1);

    ChangeBtn = formkit::button("ChangeBtn", QStringLiteral("追加／変更"), this);
    DeleteBtn = formkit::button("DeleteBtn", QStringLiteral("削除"), this);
    EndBtn = formkit::button("EndBtn", QStringLiteral("終了"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    DeleteBtn->setEnabled(false);
    EndBtn->setEnabled(false);

    auto *left = new QVBoxLayout;
    left->addWidget(caption::label(QStringLiteral("マスターファイル"), MasterLB, this));
    left->addWidget(MasterLB, 1);
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(grid, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ChangeBtn);
    buttons->addWidget(DeleteBtn);
    buttons->addStretch(1);
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setMinimumSize(460, 300);

    connect(MasterLB, &QListWidget::itemClicked, this, &TDefMasterForm::MasterLBClick);
    connect(MFNameSE, &QLineEdit::textEdited, this, &TDefMasterForm::MFNameSEChange);
    connect(KeySizeNE, &QLineEdit::textEdited, this, &TDefMasterForm::KeySizeNEChange);
    for (TNEdit *edit : QDSizeNE)
        connect(edit, &QLineEdit::textEdited, this, &TDefMasterForm::KeySizeNEChange);
    connect(QDefNCB, &QComboBox::activated, this, &TDefMasterForm::QDefNCBChange);
    connect(ChangeBtn, &QPushButton::clicked, this, &TDefMasterForm::ChangeBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TDefMasterForm::DeleteBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, &QDialog::close);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::close);

    // FormCreate
    for (int i = 0; i < copy_.MstNum0(); ++i)
        MasterLB->addItem(copy_.MstDat0()[i].MFName);
    Sel = -1;
    TmpName.clear();
    const formkit::LoadingGuard loading(SetFlag);
    KeySizeNE->setText(QStringLiteral("13"));
    QDefNCB->setCurrentIndex(0);
    for (TNEdit *edit : QDSizeNE)
        edit->setText(QStringLiteral("10"));
    DspFieldDat(0);
    ChangeFlag = false;
}

void TDefMasterForm::DspFieldDat(int n)
{
    for (int i = 0; i < MaxQDCount; ++i) {
        QDLabel[i]->setVisible(i <= n);
        QDSizeNE[i]->setVisible(i <= n);
        QDSLabel[i]->setVisible(i <= n);
    }
}

std::array<QString, MaxQDCount> TDefMasterForm::sizeTexts() const
{
    std::array<QString, MaxQDCount> texts;
    for (int i = 0; i < MaxQDCount; ++i)
        texts[i] = QDSizeNE[i]->text();
    return texts;
}

void TDefMasterForm::MasterLBClick()
{
    const int row = MasterLB->currentRow();
    if (row < 0 || row >= copy_.MstNum0())
        return;
    const formkit::LoadingGuard loading(SetFlag);
    Sel = row;
    const masterdef::MasterFields f = masterdef::MasterFieldsOf(copy_.MstDat0()[row]);
    MFNameSE->setText(f.MFName);
    TmpName = f.MFName;
    KeySizeNE->setText(QString::number(f.KeySize));
    QDefNCB->setCurrentIndex(f.QDefNCB);
    for (int i = 0; i <= f.QDefNCB; ++i)
        QDSizeNE[i]->setText(QString::number(f.QDSize[i]));
    DspFieldDat(f.QDefNCB);
    ChangeFlag = false;
    EndBtn->setEnabled(true);
    DeleteBtn->setEnabled(true);
}

void TDefMasterForm::edited()
{
    EndBtn->setEnabled(false);
    ChangeFlag = true;
}

void TDefMasterForm::MFNameSEChange()
{
    if (SetFlag)
        return;
    const basepage::FileNameText typed = basepage::FileNameEdited(TmpName, MFNameSE->text());
    const bool refused = masterdef::ReservedMasterName(typed.text);
    const QString text = refused ? TmpName : typed.text;
    const int caret = refused ? std::clamp(typed.caret - 1, 0, int(TmpName.size())) : typed.caret;
    if (text != MFNameSE->text()) {
        MFNameSE->setText(text);
        MFNameSE->setCursorPosition(caret);
    }
    if (refused || typed.beep)
        platform::ui().beep();
    TmpName = text;
    edited();
}

void TDefMasterForm::KeySizeNEChange()
{
    if (!SetFlag)
        edited();
}

void TDefMasterForm::QDefNCBChange()
{
    if (SetFlag)
        return;
    DspFieldDat(QDefNCB->currentIndex());
    edited();
}

void TDefMasterForm::ChangeBtnClick()
{
    const int shown = QDefNCB->currentIndex();
    if (const auto fault =
            masterdef::CheckMasterFields(MFNameSE->text(), KeySizeNE->text(), shown, sizeTexts())) {
        formkit::showInputError(fault->message);
        formkit::requestFocus(findChild<QWidget *>(fault->control));
        return;
    }
    const masterdef::MasterFields fields =
        masterdef::MasterFieldsFrom(MFNameSE->text(), KeySizeNE->text(), shown, sizeTexts());
    const formkit::LoadingGuard loading(SetFlag);
    const int found = copy_.find(fields.MFName);
    if (found >= 0) {
        if (!formkit::askYes(
                QStringLiteral(
                    "同一ファイル名のマスターが存在します。\r\nフィールドデータを上書きしますか？"),
                QStringLiteral("マスター変更")))
            return;
        Sel = found;
        MasterLB->setCurrentRow(found);
        copy_.store(found, fields);
    } else {
        const int added = copy_.add(fields);
        if (added < 0) {
            formkit::showInputError(QStringLiteral("これ以上マスターファイルを追加できません。"));
            return;
        }
        MasterLB->addItem(fields.MFName);
        MasterLB->setCurrentRow(added);
        Sel = added;
    }
    ChangeFlag = false;
    Stored = true;
    DeleteBtn->setEnabled(true);
    EndBtn->setEnabled(true);
}

void TDefMasterForm::DeleteBtnClick()
{
    if (copy_.MstNum0() <= 0) {
        MasterLB->clear();
        Sel = -1;
        return;
    }
    if (Sel < 0 || Sel >= copy_.MstNum0())
        return;
    if (copy_.useCount(set_, Sel, editing_) > 0) {
        platform::ui().messageBox(QStringLiteral("他の項目で使用していますので、削除できません。"),
                                  DeleteCaption, formkit::inputErrorStyle());
        return;
    }
    if (!formkit::askYes(QStringLiteral("削除してもいいですか？"), DeleteCaption))
        return;
    copy_.remove(Sel);
    Deleted.push_back(Sel);
    delete MasterLB->takeItem(Sel);
    MasterLB->setCurrentRow(-1);
    MasterLB->clearSelection();
    Sel = -1;
    DeleteBtn->setEnabled(false);
    ChangeFlag = false;
    Stored = true;
}

bool TDefMasterForm::FormCloseQuery()
{
    return !ChangeFlag ||
           formkit::askYes(QStringLiteral("変更したデータを破棄してもいいですか？"), CloseCaption);
}

void TDefMasterForm::reject()
{
    // The close box, Escape, "終了" and "キャンセル" all end here.
    if (FormCloseQuery())
        QDialog::reject();
}
