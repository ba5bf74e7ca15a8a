// The page "データ区分": its controls and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "SetBz.h"
#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/frame/ui/ReturnMoves.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace quillon;
using formkit::named;

using quillon::mainparts::checkBox;
using quillon::mainparts::numberEdit;
using quillon::mainparts::row;

QWidget *TMainForm::buildDataKindPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    DKubunChk = checkBox("DKubunChk", QStringLiteral("データ区分を使用する"));
    DKubunGB = named(new QGroupBox, "DKubunGB");
    layout->addWidget(DKubunChk);
    layout->addWidget(DKubunGB);
    layout->addStretch();

    auto *form = new QFormLayout(DKubunGB);
    DKNameSE = named(new TByteEdit, "DKNameSE");
    DKNameSE->setFixedWidth(200);
    DKTypeCB = named(new TListCombo, "DKTypeCB");
    for (const addins::DataTypeInfo &info : addins::DataTypeTable())
        DKTypeCB->addItem(info.caption);
    DKFontCB = named(new TListCombo, "DKFontCB");
    DKFontCB->addItems({QStringLiteral("標準"), QStringLiteral("横倍")});
    DKMaxNE = numberEdit("DKMaxNE", 4, 180, QStringLiteral("20"));
    DKMinNE = numberEdit("DKMinNE", 4, 180, QStringLiteral("1"));
    DKMaxMinPanel = named(row({caption::label(QStringLiteral("最大"), DKMaxNE, nullptr), DKMaxNE,
                               caption::label(QStringLiteral("最小"), DKMinNE, nullptr), DKMinNE}),
                          "DKMaxMinPanel");
    // The caption of both stands before the row; read aloud, each needs it before its own word.
    caption::name(DKMaxNE, QStringLiteral("入力桁数 最大"));
    caption::name(DKMinNE, QStringLiteral("入力桁数 最小"));
    DKBarChk = checkBox("DKBarChk", QStringLiteral("バーコード使用"));
    DKBarBtn = formkit::button("DKBarBtn", QStringLiteral("バーコード読取設定"), this);
    DKBarBtn->setEnabled(false);
    DKMstUseChk = checkBox("DKMstUseChk", QStringLiteral("マスター参照表示を使用する"));
    DKMstFileSE = fileEdit("DKMstFileSE");
    DKMstErrChk = checkBox("DKMstErrChk", QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀがない場合入力ｴﾗｰ"));
    DKMstErrChk->setChecked(true);
    DKMstPanel = named(
        row({caption::label(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙ"), DKMstFileSE, nullptr), DKMstFileSE, DKMstErrChk}),
        "DKMstPanel");
    DKMstPanel->setVisible(false);
    form->addRow(caption::label(QStringLiteral("項目名"), DKNameSE, DKubunGB), DKNameSE);
    form->addRow(caption::label(QStringLiteral("データ形式"), DKTypeCB, DKubunGB), DKTypeCB);
    form->addRow(caption::label(QStringLiteral("データ表示"), DKFontCB, DKubunGB), DKFontCB);
    form->addRow(QStringLiteral("入力桁数"), DKMaxMinPanel);
    form->addRow(row({DKBarChk, DKBarBtn}));
    form->addRow(DKMstUseChk);
    form->addRow(DKMstPanel);
    DKubunGB->setVisible(false);

    connect(DKubunChk, &QCheckBox::clicked, this, &TMainForm::DKubunChkClick);
    connect(DKNameSE, &QLineEdit::textEdited, this, &TMainForm::NESEChange);
    connect(DKTypeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(DKFontCB, &QComboBox::activated, this, &TMainForm::DKFontCBChange);
    connect(DKMaxNE, &QLineEdit::textEdited, this, &TMainForm::NEChange);
    connect(DKMinNE, &QLineEdit::textEdited, this, &TMainForm::DKMinNEChange);
    connect(DKMinNE, &TNEdit::KeyPress, this, [this](QChar &key) {
        const int limit = DKFontCB->currentIndex() == 1 ? limits.DKMaxWide : limits.DKMaxStd;
        if (!key.isNull() && key != u'\b' && NumberOf(DKMinNE->text() + key).value_or(0) > limit)
            key = QChar();
    });
    connect(DKBarChk, &QCheckBox::clicked, this, &TMainForm::DKBarChkClick);
    connect(DKBarBtn, &QPushButton::clicked, this, &TMainForm::DKBarBtnClick);
    connect(DKMstUseChk, &QCheckBox::clicked, this, &TMainForm::DKMstUseChkClick);
    connect(DKMstErrChk, &QCheckBox::clicked, this, &TMainForm::NESEChange);
    return page;
}

void TMainForm::applyDataTypeRule()
{
    const int fixed = FixedDigits(settings());
    const bool free = fixed == 0;
    DKMaxNE->setEnabled(free);
    DKMinNE->setEnabled(free);
    if (!free) {
        formkit::LoadingGuard loading(SetFlag);
        DKMaxNE->setText(QString::number(fixed));
        DKMinNE->setText(QString::number(fixed));
    }
    DKBarChk->setVisible(free);
    DKBarBtn->setVisible(free);
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    DKMstUseChk->setVisible(free);
    DKMstPanel->setVisible(free && DKMstUseChk->isChecked());
}

void TMainForm::DKubunChkClick()
{
    DKubunGB->setVisible(DKubunChk->isChecked());
    if (DKubunChk->isChecked())
        applyDataTypeRule();
    ChangeFlag = true;
}

void TMainForm::DKTypeCBChange()
{
    if (SetFlag)
        return;
    applyDataTypeRule();
    ChangeFlag = true;
}

void TMainForm::DKFontCBChange()
{
    const int limit = DisplayLimit(settings(), limits);
    DKMaxNE->SetMaxValue(limit);
    DKMinNE->SetMaxValue(limit);
    {
        formkit::LoadingGuard loading(SetFlag);
        // An empty edit stays empty: the check then asks for it.
        const std::optional<qint64> max = NumberOf(DKMaxNE->text());
        const std::optional<qint64> min = NumberOf(DKMinNE->text());
        if (max)
            DKMaxNE->setText(QString::number(std::min<qint64>(*max, limit)));
        if (min)
            DKMinNE->setText(QString::number(std::min<qint64>({*min, limit, max.value_or(limit)})));
    }
    ChangeFlag = true;
}

void TMainForm::DKMinNEChange()
{
    MinNEChange(DKMinNE, DKMaxNE);
}

void TMainForm::DKBarChkClick()
{
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DKMstUseChkClick()
{
    DKMstPanel->setVisible(DKMstUseChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::DKBarBtnClick()
{
    openBarDialog(u'D');
}
