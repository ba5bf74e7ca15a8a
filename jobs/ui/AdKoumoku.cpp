#include "AdKoumoku.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "jobs/JobFieldRules.h"
#include "jobs/LetterCodes.h"
#include "platform/UiService.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TAdKoForm::TAdKoForm(TAddKoDat &add, QWidget *parent) : QDialog(parent), add_(add)
{
    setObjectName(QStringLiteral("AdKoForm"));
    const QString kind = add.KName;
    add_.KName.clear();
    setWindowTitle(kind + QStringLiteral("追加"));
    NameLabel = formkit::named(new QLabel(kind + QStringLiteral("名"), this), "NameLabel");
    AddNameSE = formkit::named(new QLineEdit(this), "AddNameSE");
    AddNameSE->setMaxLength(jobs::KNameBytes);
    AddNameSE->setFixedWidth(170);
    KDTypeCB = formkit::named(new TListCombo(this), "KDTypeCB");
    KDTypeCB->addItems(DataTypeItems());
    KDTypeCB->setCurrentIndex(0);
    EndBtn = formkit::button("EndBtn", QStringLiteral("追加"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    auto *grid = new QGridLayout;
    caption::link(NameLabel, AddNameSE);
    grid->addWidget(NameLabel, 0, 0);
    grid->addWidget(AddNameSE, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("（半角２０文字以内）"), this), 0, 2);
    grid->addWidget(caption::label(QStringLiteral("データ形式"), KDTypeCB, this), 1, 0);
    grid->addWidget(KDTypeCB, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(EndBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    connect(AddNameSE, &QLineEdit::textEdited, this, &TAdKoForm::AddNameSEChange);
    // Enter in the name adds, as "追加" does.
    connect(AddNameSE, &QLineEdit::returnPressed, this, &TAdKoForm::EndBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, &TAdKoForm::EndBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TAdKoForm::AddNameSEChange(const QString &text)
{
    if (const auto refused =
            jobs::byteLimitRefusal(last_, text, AddNameSE->cursorPosition(), jobs::KNameBytes)) {
        AddNameSE->setText(refused->text);
        AddNameSE->setCursorPosition(refused->caret);
        platform::ui().beep();
        return;
    }
    last_ = text;
}

void TAdKoForm::EndBtnClick()
{
    if (AddNameSE->text().isEmpty()) {
        platform::ui().messageBox(QStringLiteral("入力してください"), NameLabel->text(),
                                  formkit::inputErrorStyle());
        formkit::requestFocus(AddNameSE);
        return;
    }
    add_.KName = AddNameSE->text();
    add_.KDType = KDTypeCB->currentIndex();
    accept();
}
