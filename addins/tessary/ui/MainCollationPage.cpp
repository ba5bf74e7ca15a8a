// The page "照合条件": its controls and their handlers.

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

QWidget *TMainForm::buildCollationPage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *top = new QGridLayout;
    DousaCB = list("DousaCB", {QStringLiteral("１対１照合 数量入力"), QStringLiteral("１対Ｎ照合数カウント")},
                   page);
    CmpDatCntCB = list("CmpDatCntCB", {"0", "1", "2", "3", "4", "5"}, page);
    SuryouInputChk = formkit::named(new QCheckBox(QStringLiteral("数量入力"), page), "SuryouInputChk");
    top->addWidget(caption::label(QStringLiteral("動作モード"), DousaCB, page), 0, 0);
    top->addWidget(DousaCB, 0, 1);
    top->addWidget(SuryouInputChk, 0, 2);
    top->addWidget(caption::label(QStringLiteral("部分照合ﾃﾞｰﾀ数"), CmpDatCntCB, page), 1, 0);
    top->addWidget(CmpDatCntCB, 1, 1);
    v->addLayout(top);

    auto *source = new QGroupBox(QStringLiteral("照合元"), page);
    auto *s = new QGridLayout(source);
    MKNameSE = textEdit("MKNameSE", Model->NameMax, {}, source);
    MKBarBtn = formkit::button("MKBarBtn", QStringLiteral("バーコード読取設定"), source);
    MKMstChk = formkit::named(new QCheckBox(QStringLiteral("文字列表示マスターファイルを使用する"), source),
                              "MKMstChk");
    s->addWidget(caption::label(QStringLiteral("項目名"), MKNameSE, source), 0, 0);
    s->addWidget(MKNameSE, 0, 1);
    s->addWidget(MKBarBtn, 0, 2);
    s->addWidget(MKMstChk, 1, 0, 1, 3);
    MKMstPanel = formkit::named(new QFrame(source), "MKMstPanel");
    auto *m = new QGridLayout(MKMstPanel);
    SerchDatTopNE = numberEdit("SerchDatTopNE", 9999, MKMstPanel);
    SerchDatLenNE = numberEdit("SerchDatLenNE", 3500, MKMstPanel);
    MKMstFileSE = formkit::named(new TFileNameEdit(true, MKMstPanel), "MKMstFileSE");
    MKMstFieldSE = textEdit("MKMstFieldSE", 10, addins::FieldListKey, MKMstPanel);
    auto *search = new QHBoxLayout;
    search->addWidget(caption::label(QStringLiteral("検索ﾃﾞｰﾀ選択 ﾊﾞｰｺｰﾄﾞの"), SerchDatTopNE, MKMstPanel));
    search->addWidget(SerchDatTopNE);
    search->addWidget(caption::label(QStringLiteral("桁目から"), SerchDatLenNE, MKMstPanel));
    // The caption reads across the start's unit; read aloud, the length needs the caption's head
    // and its own unit.
    caption::name(SerchDatLenNE, QStringLiteral("検索ﾃﾞｰﾀ選択 桁"));
    search->addWidget(SerchDatLenNE);
    search->addWidget(new QLabel(QStringLiteral("桁"), MKMstPanel));
    search->addStretch();
    m->addLayout(search, 0, 0, 1, 2);
    m->addWidget(caption::label(QStringLiteral("表示用ﾏｽﾀｰﾌｧｲﾙ"), MKMstFileSE, MKMstPanel), 1, 0);
    m->addWidget(MKMstFileSE, 1, 1);
    m->addWidget(caption::label(QStringLiteral("ﾌｨｰﾙﾄﾞ情報"), MKMstFieldSE, MKMstPanel), 2, 0);
    m->addWidget(MKMstFieldSE, 2, 1);
    s->addWidget(MKMstPanel, 2, 0, 1, 3);
    v->addWidget(source);

    auto *target = new QGroupBox(QStringLiteral("照合先"), page);
    auto *t = new QGridLayout(target);
    SK1NameSE = textEdit("SK1NameSE", Model->NameMax, {}, target);
    SK1BarBtn = formkit::button("SK1BarBtn", QStringLiteral("バーコード読取設定"), target);
    t->addWidget(caption::label(QStringLiteral("項目名"), SK1NameSE, target), 0, 0);
    t->addWidget(SK1NameSE, 0, 1);
    t->addWidget(SK1BarBtn, 0, 2);
    v->addWidget(target);
    v->addStretch();

    connect(DousaCB, &QComboBox::activated, this, &TMainForm::DousaCBChange);
    connect(CmpDatCntCB, &QComboBox::activated, this, &TMainForm::DousaCBChange);
    connect(SuryouInputChk, &QCheckBox::clicked, this, &TMainForm::MKMstChkClick);
    connect(MKMstChk, &QCheckBox::clicked, this, &TMainForm::MKMstChkClick);
    connect(MKNameSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(SK1NameSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(MKMstFieldSE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connect(SerchDatTopNE, &QLineEdit::textEdited, this, &TMainForm::SerchDatTopNEChange);
    connect(SerchDatLenNE, &QLineEdit::textEdited, this, &TMainForm::MarkChange);
    connectDigitLimit(SerchDatTopNE, {}, true);
    connect(MKBarBtn, &QPushButton::clicked, this, &TMainForm::MKBarBtnClick);
    connect(SK1BarBtn, &QPushButton::clicked, this, &TMainForm::SK1BarBtnClick);
    connect(MKMstFileSE, &TFileNameEdit::Changed, this, &TMainForm::MarkChange);
    return page;
}

void TMainForm::DousaChangeDsp()
{
    formkit::LoadingGuard loading(SetFlag);
    const int dousa = std::max(0, DousaCB->currentIndex());
    const int chosen = std::max(0, SaveTypeCB->currentIndex());
    SuryouInputChk->setVisible(dousa == OneToOne);
    SaveTypeCB->clear();
    SaveTypeCB->addItems(SaveTypeItems(dousa));
    SaveTypeCB->setCurrentIndex(SaveTypeFor(chosen, dousa));
}

void TMainForm::MKMstChkClick()
{
    MKMstPanel->setVisible(MKMstChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::DousaCBChange()
{
    if (SetFlag)
        return;
    DousaChangeDsp();
    ChangeFlag = true;
}

void TMainForm::SerchDatTopNEChange()
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    if (SerchDatTopNE->text() == QLatin1String("0"))
        SerchDatTopNE->clear();
    ChangeFlag = true;
}

void TMainForm::MKBarBtnClick()
{
    openBarDialog('M');
}

void TMainForm::SK1BarBtnClick()
{
    openBarDialog('C');
}

} // namespace tessary
