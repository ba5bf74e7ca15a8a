#include "DelName.h"

#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TDelNameForm::TDelNameForm(const QString &caption, const QStringList &names, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DelNameForm"));
    setWindowTitle(caption);
    DelList = formkit::named(new QListWidget(this), "DelList");
    DelList->addItems(names);
    DelList->setCurrentRow(-1);
    // The list is the whole dialog: what it deletes is the title's.
    caption::name(DelList, caption);
    DelBtn = formkit::button("DelBtn", QStringLiteral("削除"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(DelBtn);
    buttons->addWidget(CancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DelList);
    layout->addLayout(buttons);
    connect(DelBtn, &QPushButton::clicked, this, &TDelNameForm::DelBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDelNameForm::CancelBtnClick);
}

void TDelNameForm::DelBtnClick()
{
    const int row = DelList->currentRow();
    if (row < 0 || DelList->selectedItems().isEmpty())
        return;
    DelNo = row;
    accept();
}

void TDelNameForm::CancelBtnClick()
{
    DelNo = -1;
    reject();
}
