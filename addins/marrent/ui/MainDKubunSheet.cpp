// The sheet "データ区分": its controls and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ByteText.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/FerPrgLib.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

using marrent::mainparts::digits;
using marrent::mainparts::row;
using marrent::mainparts::setValue;
using marrent::mainparts::value;

QWidget *TMainForm::buildDKubunSheet()
{
    auto *page = named(new QWidget, "DKubunSheet");
    DKKubunChk = named(new QCheckBox(QStringLiteral("データ区分を使用する"), page), "DKKubunChk");
    DKGroup = named(new QGroupBox(page), "DKGroup");
    DKNameSE = named(new TByteEdit(DKGroup), "DKNameSE");
    DKNameSE->setMaxBytes(16);
    DKTypeCB = named(new TListCombo(DKGroup), "DKTypeCB");
    DKTypeCB->addItems(marrent::DaTypeItems());
    DKFontCB = named(new TListCombo(DKGroup), "DKFontCB");
    DKFontCB->addItems({QStringLiteral("標準"), QStringLiteral("横倍")});
    DKMaxNE = digits("DKMaxNE", 2, DKGroup);
    DKMinNE = digits("DKMinNE", 2, DKGroup);
    setValue(DKMaxNE, 1);
    setValue(DKMinNE, 1);
    DKBarChk = named(new QCheckBox(QStringLiteral("バーコード使用"), DKGroup), "DKBarChk");
    DKBarBtn = formkit::button("DKBarBtn", QStringLiteral("バーコード設定"), DKGroup);
    DKBarBtn->setEnabled(false);
    DKMstChk = named(new QCheckBox(QStringLiteral("表示マスターを使用する"), DKGroup), "DKMstChk");
    DKMstPanel = named(new QWidget(DKGroup), "DKMstPanel");
    DKMstFileSE = named(new TFileNameEdit(true, DKMstPanel), "DKMstFileSE");
    DKMstFieldSE = named(new TByteEdit(DKMstPanel), "DKMstFieldSE");
    DKMstFieldSE->setMaxBytes(10);
    DKMstFieldSE->setKeyFilter(addins::FieldListKey);
    DKMstErrChk = named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀにない場合ｴﾗｰ"), DKMstPanel), "DKMstErrChk");
    auto *mst = new QGridLayout(DKMstPanel);
    mst->addWidget(caption::label(QStringLiteral("マスターファイル名"), DKMstFileSE, DKMstPanel), 0, 0);
    mst->addWidget(DKMstFileSE, 0, 1);
    mst->addWidget(caption::label(QStringLiteral("フィールド情報"), DKMstFieldSE, DKMstPanel), 1, 0);
    mst->addWidget(DKMstFieldSE, 1, 1);
    mst->addWidget(DKMstErrChk, 2, 0, 1, 2, Qt::AlignLeft);
    DKMstPanel->setVisible(false);

    auto *grid = new QGridLayout(DKGroup);
    grid->addWidget(caption::label(QStringLiteral("項目名"), DKNameSE, DKGroup), 0, 0);
    grid->addWidget(DKNameSE, 0, 1);
    grid->addWidget(caption::label(QStringLiteral("データタイプ"), DKTypeCB, DKGroup), 1, 0);
    grid->addWidget(DKTypeCB, 1, 1);
    grid->addWidget(caption::label(QStringLiteral("表示フォント"), DKFontCB, DKGroup), 2, 0);
    grid->addWidget(DKFontCB, 2, 1);
    grid->addWidget(caption::label(QStringLiteral("入力最大桁数"), DKMaxNE, DKGroup), 3, 0);
    grid->addLayout(
        row(DKGroup, {DKMaxNE, caption::label(QStringLiteral("入力最小桁数"), DKMinNE, DKGroup), DKMinNE}), 3,
        1);
    grid->addLayout(row(DKGroup, {DKBarChk, DKBarBtn}), 4, 0, 1, 2);
    grid->addWidget(DKMstChk, 5, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(DKMstPanel, 6, 0, 1, 2);
    DKGroup->setVisible(false);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(DKKubunChk, 0, Qt::AlignLeft);
    layout->addWidget(DKGroup);
    layout->addStretch();

    connect(DKKubunChk, &QCheckBox::clicked, this, &TMainForm::DKKubunChkClick);
    connect(DKTypeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(DKFontCB, &QComboBox::activated, this, &TMainForm::DKFontCBChange);
    connect(DKNameSE, &QLineEdit::textEdited, this, &TMainForm::Mark);
    connect(DKMstFieldSE, &QLineEdit::textEdited, this, &TMainForm::Mark);
    connect(DKMaxNE, &QLineEdit::textEdited, this, &TMainForm::NEditChange);
    connect(DKMinNE, &QLineEdit::textEdited, this, &TMainForm::NEditChange);
    connect(DKBarChk, &QCheckBox::clicked, this, &TMainForm::DKBarChkClick);
    connect(DKBarBtn, &QPushButton::clicked, this, &TMainForm::BarBtnClick);
    connect(DKMstChk, &QCheckBox::clicked, this, &TMainForm::DKMstChkClick);
    connect(DKMstFileSE, &TFileNameEdit::Changed, this, &TMainForm::Mark);
    connect(DKMstErrChk, &QCheckBox::clicked, this, &TMainForm::Mark);
    return page;
}

void TMainForm::DspDKubun()
{
    DKGroup->setVisible(DKKubunChk->isChecked());
    if (!DKKubunChk->isChecked())
        return;
    DKNameSE->setBoundedText(CutToBytes(DKNameSE->text(), load_.limits.NameMax));
    const int type = DKTypeCB->currentIndex();
    const int fixed = marrent::DaTypeFixedDigits(type);
    DKMaxNE->setEnabled(fixed == 0);
    DKMinNE->setEnabled(fixed == 0);
    if (fixed > 0) {
        setValue(DKMaxNE, fixed);
        setValue(DKMinNE, fixed);
    } else if (!DKMaxNE->text().isEmpty() && !DKMinNE->text().isEmpty()) {
        const int max = std::max(value(DKMaxNE), 1);
        setValue(DKMaxNE, max);
        setValue(DKMinNE, std::min(std::max(value(DKMinNE), 1), max));
    }
    // A date or time type has neither barcode nor display master; the boxes keep their ticks.
    DKBarChk->setVisible(fixed == 0);
    DKBarBtn->setVisible(fixed == 0);
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    DKMstChk->setVisible(fixed == 0);
    DKMstPanel->setVisible(fixed == 0 && DKMstChk->isChecked());
}

void TMainForm::DKKubunChkClick()
{
    if (SetFlag)
        return;
    DKGroup->setVisible(DKKubunChk->isChecked());
    ChangeFlag = true;
    DspPage();
}

void TMainForm::DKTypeCBChange()
{
    if (SetFlag)
        return;
    DspPage();
    ChangeFlag = true;
}

void TMainForm::DKFontCBChange()
{
    // The digits a key may make depend on the font.
    const int limit = DKFontCB->currentIndex() == 1 ? load_.limits.DKMaxWide : load_.limits.DKMaxStd;
    DKMaxNE->SetMaxValue(limit > 0 ? limit : 99);
    DKMinNE->SetMaxValue(limit > 0 ? limit : 99);
    Mark();
}

void TMainForm::DKBarChkClick()
{
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DKMstChkClick()
{
    DKMstPanel->setVisible(DKMstChk->isChecked());
    ChangeFlag = true;
}
