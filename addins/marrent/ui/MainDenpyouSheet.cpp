// The sheet "伝票区分": its controls and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

using marrent::mainparts::row;

QWidget *TMainForm::buildDenpyouSheet()
{
    auto *page = named(new QWidget, "DenpyouSheet");
    DpKubunChk = named(new QCheckBox(QStringLiteral("伝票区分を使用する"), page), "DpKubunChk");
    DpGroup = named(new QGroupBox(page), "DpGroup");
    DpNameSE = named(new TByteEdit(DpGroup), "DpNameSE");
    DpNameSE->setMaxBytes(16);
    DpBarChk = named(new QCheckBox(QStringLiteral("バーコード使用"), DpGroup), "DpBarChk");
    DpBarBtn = formkit::button("DpBarBtn", QStringLiteral("バーコード設定"), DpGroup);
    DpBarBtn->setEnabled(false);
    auto *grid = new QGridLayout(DpGroup);
    grid->addWidget(caption::label(QStringLiteral("項目名"), DpNameSE, DpGroup), 0, 0);
    grid->addWidget(DpNameSE, 0, 1);
    grid->addLayout(row(DpGroup, {DpBarChk, DpBarBtn}), 1, 0, 1, 2);
    DpGroup->setVisible(false);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(DpKubunChk, 0, Qt::AlignLeft);
    layout->addWidget(DpGroup);
    layout->addStretch();
    connect(DpKubunChk, &QCheckBox::clicked, this, &TMainForm::DpKubunChkClick);
    connect(DpNameSE, &QLineEdit::textEdited, this, &TMainForm::Mark);
    connect(DpBarChk, &QCheckBox::clicked, this, &TMainForm::DpBarChkClick);
    connect(DpBarBtn, &QPushButton::clicked, this, &TMainForm::BarBtnClick);
    return page;
}

void TMainForm::DpKubunChkClick()
{
    DpGroup->setVisible(DpKubunChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DpBarChkClick()
{
    DpBarBtn->setEnabled(DpBarChk->isChecked());
    ChangeFlag = true;
}
