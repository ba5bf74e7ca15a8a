// The sheet "検品マスター" ("ピッキングマスター" in picking mode): its controls and refresh.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

using marrent::mainparts::digits;

namespace {

// The field lengths stand under one heading; read aloud, each needs it before its own caption.
void nameFieldLength(QWidget *edit, const QLabel *caption)
{
    caption::name(edit, QStringLiteral("フィールド長 ") + caption->text());
}

} // namespace

QWidget *TMainForm::buildPKMstSheet()
{
    auto *page = named(new QWidget, "PKMstSheet");
    PKMstGroup = named(new QGroupBox(QStringLiteral("検品マスターファイル"), page), "PKMstGroup");
    PKMstFileNameSE = named(new TFileNameEdit(false, PKMstGroup), "PKMstFileNameSE");
    DpLenPanel = named(new QWidget(PKMstGroup), "DpLenPanel");
    DpLenLabel = new QLabel(QStringLiteral("伝票区分"), DpLenPanel);
    DpLenNE = digits("DpLenNE", 2, DpLenPanel);
    auto *dp = new QHBoxLayout(DpLenPanel);
    dp->setContentsMargins(0, 0, 0, 0);
    dp->addWidget(DpLenLabel);
    dp->addWidget(DpLenNE);
    dp->addWidget(new QLabel(QStringLiteral("バイト"), DpLenPanel));
    dp->addStretch();
    SCLenNE = digits("SCLenNE", 2, PKMstGroup);
    SNameLenNE = digits("SNameLenNE", 2, PKMstGroup);
    PKCountLabel = new QLabel(QStringLiteral("検品数"), PKMstGroup);
    PKCountLenNE = digits("PKCountLenNE", 1, PKMstGroup);
    auto *scLenLabel = caption::label(QStringLiteral("商品コード"), SCLenNE, PKMstGroup);
    auto *sNameLenLabel = caption::label(QStringLiteral("商品情報"), SNameLenNE, PKMstGroup);
    caption::link(DpLenLabel, DpLenNE);
    caption::link(PKCountLabel, PKCountLenNE);
    nameFieldLength(DpLenNE, DpLenLabel);
    nameFieldLength(SCLenNE, scLenLabel);
    nameFieldLength(SNameLenNE, sNameLenLabel);
    nameFieldLength(PKCountLenNE, PKCountLabel);
    auto *grid = new QGridLayout(PKMstGroup);
    grid->addWidget(caption::label(QStringLiteral("ファイル名"), PKMstFileNameSE, PKMstGroup), 0, 0);
    grid->addWidget(PKMstFileNameSE, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("フィールド長"), PKMstGroup), 1, 0);
    grid->addWidget(DpLenPanel, 2, 0, 1, 2);
    grid->addWidget(scLenLabel, 3, 0);
    grid->addWidget(SCLenNE, 3, 1);
    grid->addWidget(sNameLenLabel, 4, 0);
    grid->addWidget(SNameLenNE, 4, 1);
    grid->addWidget(PKCountLabel, 5, 0);
    grid->addWidget(PKCountLenNE, 5, 1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(PKMstGroup);
    layout->addStretch();
    connect(PKMstFileNameSE, &TFileNameEdit::Changed, this, &TMainForm::Mark);
    for (TNEdit *edit : {DpLenNE, SCLenNE, SNameLenNE, PKCountLenNE})
        connect(edit, &QLineEdit::textEdited, this, &TMainForm::NEditChange);
    return page;
}

void TMainForm::DspPKMst()
{
    DpLenPanel->setVisible(DpKubunChk->isChecked());
    const QString name = DpNameSE->text();
    DpLenLabel->setText(name.isEmpty() ? QStringLiteral("伝票区分") : name);
    PKCountLabel->setText(ModePicking->isChecked() ? QStringLiteral("ピッキング数")
                                                   : QStringLiteral("検品数"));
    nameFieldLength(DpLenNE, DpLenLabel);
    nameFieldLength(PKCountLenNE, PKCountLabel);
}
