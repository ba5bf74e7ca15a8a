// The page "データ区分": its controls and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ByteText.h"
#include "addins/frame/HandOffClient.h"
#include "addins/frame/LetterTables.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/tessary/SaveLayout.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tessary {

using mainparts::list;
using mainparts::numberEdit;
using mainparts::textEdit;
using mainparts::textOf;
using mainparts::valueOf;

namespace {

QStringList dataTypeItems()
{
    QStringList items;
    for (const addins::DataTypeInfo &info : addins::DataTypeTable())
        items << info.caption;
    return items;
}

} // namespace

QWidget *TMainForm::buildDataKindPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    DKubunChk = formkit::named(new QCheckBox(QStringLiteral("データ区分を使用する"), page), "DKubunChk");
    v->addWidget(DKubunChk);
    DKubunGB = formkit::named(new QGroupBox(page), "DKubunGB");
    auto *g = new QGridLayout(DKubunGB);
    DKNameSE = textEdit("DKNameSE", Model->NameMax, {}, DKubunGB);
    DKTypeCB = list("DKTypeCB", dataTypeItems(), DKubunGB);
    DKFontCB = list("DKFontCB", {QStringLiteral("標準"), QStringLiteral("横倍")}, DKubunGB);
    DKMaxNE = numberEdit("DKMaxNE", 4 * Model->NameMax, DKubunGB);
    DKMinNE = numberEdit("DKMinNE", 4 * Model->NameMax, DKubunGB);
    g->addWidget(caption::label(QStringLiteral("項目名"), DKNameSE, DKubunGB), 0, 0);
    g->addWidget(DKNameSE, 0, 1, 1, 4);
    g->addWidget(caption::label(QStringLiteral("データ形式"), DKTypeCB, DKubunGB), 1, 0);
    g->addWidget(DKTypeCB, 1, 1, 1, 4);
    g->addWidget(caption::label(QStringLiteral("データ表示"), DKFontCB, DKubunGB), 2, 0);
    g->addWidget(DKFontCB, 2, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("入力桁数"), DKubunGB), 3, 0);
    auto *digits = new QHBoxLayout;
    digits->addWidget(caption::label(QStringLiteral("最大"), DKMaxNE, DKubunGB));
    digits->addWidget(DKMaxNE);
    digits->addWidget(caption::label(QStringLiteral("最小"), DKMinNE, DKubunGB));
    // The caption of both stands before the row; read aloud, each needs it before its own word.
    caption::name(DKMaxNE, QStringLiteral("入力桁数 最大"));
    caption::name(DKMinNE, QStringLiteral("入力桁数 最小"));
    digits->addWidget(DKMinNE);
    digits->addStretch();
    g->addLayout(digits, 3, 1, 1, 4);
    DKBarChk = formkit::named(new QCheckBox(QStringLiteral("バーコード使用"), DKubunGB), "DKBarChk");
    DKBarBtn = formkit::button("DKBarBtn", QStringLiteral("バーコード読取設定"), DKubunGB);
    g->addWidget(DKBarChk, 4, 0, 1, 2);
    g->addWidget(DKBarBtn, 4, 2, 1, 2);
    DKMstChk = formkit::named(new QCheckBox(QStringLiteral("文字列表示マスターファイルを使用する"), DKubunGB),
                              "DKMstChk");
    g->addWidget(DKMstChk, 5, 0, 1, 5);
    DKMstPanel = formkit::named(new QFrame(DKubunGB), "DKMstPanel");
    auto *m = new QGridLayout(DKMstPanel);
    DKMstFileSE = formkit::named(new TFileNameEdit(true, DKMstPanel), "DKMstFileSE");
    DKMstFieldSE = textEdit("DKMstFieldSE", 10, addins::FieldListKey, DKMstPanel);
    DKMstErrChk =
        formkit::named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾃﾞｰﾀがない場合ｴﾗｰ"), DKMstPanel), "DKMstErrChk");
    m->addWidget(caption::label(QStringLiteral("表示用ﾏｽﾀｰﾌｧｲﾙ"), DKMstFileSE, DKMstPanel), 0, 0);
    m->addWidget(DKMstFileSE, 0, 1);
    m->addWidget(caption::label(QStringLiteral("ﾌｨｰﾙﾄﾞ情報"), DKMstFieldSE, DKMstPanel), 1, 0);
    m->addWidget(DKMstFieldSE, 1, 1);
    m->addWidget(DKMstErrChk, 2, 0, 1, 2);
    g->addWidget(DKMstPanel, 6, 0, 1, 5);
    v->addWidget(DKubunGB);
    v->addStretch();

    connect(DKubunChk, &QCheckBox::clicked, this, &TMainForm::DKubunChkClick);
    connect(DKNameSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(DKMstFieldSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(DKTypeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(DKFontCB, &QComboBox::activated, this, &TMainForm::DKFontCBChange);
    connect(DKMaxNE, &QLineEdit::textEdited, this, &TMainForm::DKMaxNEChange);
    connect(DKMinNE, &QLineEdit::textEdited, this, &TMainForm::DKMinNEChange);
    const auto dataKindLimit = [this] {
        return DKFontCB->currentIndex() == 1 ? Model->DKMaxWide : Model->DKMaxStd;
    };
    connectDigitLimit(DKMaxNE, dataKindLimit, false);
    connectDigitLimit(DKMinNE, dataKindLimit, false);
    connect(DKBarChk, &QCheckBox::clicked, this, &TMainForm::DKBarChkClick);
    connect(DKBarBtn, &QPushButton::clicked, this, &TMainForm::DKBarBtnClick);
    connect(DKMstChk, &QCheckBox::clicked, this, &TMainForm::DKMstChkClick);
    connect(DKMstErrChk, &QCheckBox::clicked, this, &TMainForm::MarkChange);
    connect(DKMstFileSE, &TFileNameEdit::Changed, this, &TMainForm::MarkChange);
    return page;
}

void TMainForm::DspDataKind()
{
    formkit::LoadingGuard loading(SetFlag);
    TTessaryState s = state();
    DKubunGB->setVisible(s.DKubun);
    ApplyDataKindDigits(s, *Model);
    const bool fixed = addins::DataTypeFixedDigits(s.DKType) > 0;
    DKMaxNE->SetMaxValue(4 * Model->NameMax);
    DKMinNE->SetMaxValue(4 * Model->NameMax);
    DKMaxNE->setEnabled(!fixed);
    DKMinNE->setEnabled(!fixed);
    DKMaxNE->setText(textOf(s.DKMax));
    DKMinNE->setText(textOf(s.DKMin));
    DKBarChk->setVisible(!fixed);
    DKBarBtn->setVisible(!fixed);
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    DKMstChk->setVisible(!fixed);
    DKMstPanel->setVisible(!fixed && DKMstChk->isChecked());
}

void TMainForm::DKubunChkClick()
{
    if (SetFlag)
        return;
    DKubunGB->setVisible(DKubunChk->isChecked());
    DspDataKind();
    ChangeFlag = true;
}

void TMainForm::DKTypeCBChange()
{
    if (SetFlag)
        return;
    DspDataKind();
    ChangeFlag = true;
}

void TMainForm::DKFontCBChange()
{
    // Not in the system's handler table, but a change of the display is a change of the job.
    if (SetFlag)
        return;
    ChangeFlag = true;
}

void TMainForm::DKMaxNEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    if (DKMaxNE->text() == QLatin1String("0"))
        DKMaxNE->clear();
    ChangeFlag = true;
}

void TMainForm::DKMinNEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    if (DKMinNE->text() == QLatin1String("0"))
        DKMinNE->clear();
    // With the largest empty there is nothing to compare with: it stays empty for CheckData.
    const std::optional<int> largest = valueOf(DKMaxNE);
    const std::optional<int> smallest = valueOf(DKMinNE);
    if (largest && smallest && *smallest > *largest)
        DKMaxNE->setText(DKMinNE->text());
    ChangeFlag = true;
}

void TMainForm::DKBarChkClick()
{
    DKBarBtn->setEnabled(DKBarChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::DKMstChkClick()
{
    DKMstPanel->setVisible(DKMstChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::DKBarBtnClick()
{
    openBarDialog('K');
}

} // namespace tessary
