// The page "照合条件": the search key, the collation data and the result signals, and
// their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "SetBz.h"
#include "addins/frame/ui/ByteEdit.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/frame/ui/ReturnMoves.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
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

QWidget *TMainForm::buildCollationPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *key = named(new QGroupBox(QStringLiteral("検索キー入力")), "Cmp1CodeGB");
    auto *keyForm = new QFormLayout(key);
    KKNameSE = named(new TByteEdit, "KKNameSE");
    KKNameSE->setFixedWidth(200);
    KKBarBtn = formkit::button("KKBarBtn", QStringLiteral("バーコード読取設定"), this);
    KKMstFileSE = fileEdit("KKMstFileSE");
    KKMaxNE = numberEdit("KKMaxNE", 4, 180, QStringLiteral("20"));
    KKMinNE = numberEdit("KKMinNE", 4, 180, QStringLiteral("1"));
    QWidget *keyName = row({KKNameSE, KKBarBtn});
    keyForm->addRow(caption::label(QStringLiteral("項目名"), KKNameSE, key), keyName);
    keyForm->addRow(caption::label(QStringLiteral("照合ﾏｽﾀｰﾌｧｲﾙ"), KKMstFileSE, key), KKMstFileSE);
    keyForm->addRow(QStringLiteral("キー入力桁数"),
                    row({caption::label(QStringLiteral("最大"), KKMaxNE, nullptr), KKMaxNE,
                         caption::label(QStringLiteral("最小"), KKMinNE, nullptr), KKMinNE}));
    caption::name(KKMaxNE, QStringLiteral("キー入力桁数 最大"));
    caption::name(KKMinNE, QStringLiteral("キー入力桁数 最小"));

    auto *data = named(new QGroupBox(QStringLiteral("照合データ入力")), "CmpMasterGB");
    auto *dataForm = new QFormLayout(data);
    SKNameSE = named(new TByteEdit, "SKNameSE");
    SKNameSE->setFixedWidth(200);
    CmpModeCB = named(new TListCombo, "CmpModeCB");
    CmpModeCB->addItems({QStringLiteral("登録順"), QStringLiteral("順不同")});
    SKBarBtn = formkit::button("SKBarBtn", QStringLiteral("バーコード読取設定"), this);
    SKMstUseChk = checkBox("SKMstUseChk", QStringLiteral("情報表示ﾏｽﾀｰﾌｧｲﾙを使用"));
    SKMstFileSE = fileEdit("SKMstFileSE");
    SKMstFilePanel =
        named(row({caption::label(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙ"), SKMstFileSE, nullptr), SKMstFileSE}),
              "SKMstFilePanel");
    SKMstFilePanel->setVisible(false);
    formkit::keepPlaceWhenHidden(SKMstFilePanel);
    QWidget *dataName = row({SKNameSE, SKBarBtn});
    dataForm->addRow(caption::label(QStringLiteral("項目名"), SKNameSE, data), dataName);
    dataForm->addRow(caption::label(QStringLiteral("照合順番"), CmpModeCB, data), CmpModeCB);
    dataForm->addRow(row({SKMstUseChk, SKMstFilePanel}));

    auto *result = named(new QGroupBox(QStringLiteral("照合結果")), "GroupBox1");
    auto *grid = new QGridLayout(result);
    OkBzBtn = formkit::button("OkBzBtn", QStringLiteral("ＯＫブザー設定"), this);
    NgBzBtn = formkit::button("NgBzBtn", QStringLiteral("ＮＧブザー設定"), this);
    OkDspTimeNE = numberEdit("OkDspTimeNE", 2, 99, QStringLiteral("30"));
    NgDspTimeNE = numberEdit("NgDspTimeNE", 2, 99, QStringLiteral("30"));
    grid->addWidget(caption::label(QStringLiteral("OK表示時間"), OkDspTimeNE, result), 0, 0);
    grid->addWidget(OkDspTimeNE, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("1/10秒")), 0, 2);
    grid->addWidget(OkBzBtn, 0, 3);
    grid->addWidget(caption::label(QStringLiteral("NG表示時間"), NgDspTimeNE, result), 1, 0);
    grid->addWidget(NgDspTimeNE, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("1/10秒")), 1, 2);
    grid->addWidget(NgBzBtn, 1, 3);
    grid->setColumnStretch(4, 1);

    layout->addWidget(key);
    layout->addWidget(data);
    layout->addWidget(result);
    layout->addStretch();

    for (QLineEdit *edit : std::initializer_list<QLineEdit *>{KKNameSE, SKNameSE, OkDspTimeNE, NgDspTimeNE})
        connect(edit, &QLineEdit::textEdited, this, &TMainForm::NESEChange);
    connect(KKMaxNE, &QLineEdit::textEdited, this, &TMainForm::NEChange);
    connect(KKMinNE, &QLineEdit::textEdited, this, &TMainForm::KKMinNEChange);
    connect(KKMinNE, &TNEdit::KeyPress, this, [this](QChar &key) {
        if (!key.isNull() && key != u'\b' && NumberOf(KKMinNE->text() + key).value_or(0) > limits.DKMaxStd)
            key = QChar();
    });
    connect(CmpModeCB, &QComboBox::activated, this, &TMainForm::DKTypeCBChange);
    connect(KKBarBtn, &QPushButton::clicked, this, &TMainForm::KKBarBtnClick);
    connect(SKBarBtn, &QPushButton::clicked, this, &TMainForm::SKBarBtnClick);
    connect(SKMstUseChk, &QCheckBox::clicked, this, &TMainForm::SKMstUseChkClick);
    connect(OkBzBtn, &QPushButton::clicked, this, &TMainForm::OkBzBtnClick);
    connect(NgBzBtn, &QPushButton::clicked, this, &TMainForm::NgBzBtnClick);
    return page;
}

void TMainForm::KKMinNEChange()
{
    MinNEChange(KKMinNE, KKMaxNE);
}

void TMainForm::SKMstUseChkClick()
{
    SKMstFilePanel->setVisible(SKMstUseChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::KKBarBtnClick()
{
    openBarDialog(u'K');
}

void TMainForm::SKBarBtnClick()
{
    openBarDialog(u'S');
}

void TMainForm::openBzDialog(QChar type)
{
    SetBzType = type;
    TSetBzForm dialog(type == u'O' ? OkBz : NgBz, ChangeFlag, type, BhtType, this);
    platform::ui().showModal(dialog);
}

void TMainForm::OkBzBtnClick()
{
    openBzDialog(u'O');
}

void TMainForm::NgBzBtnClick()
{
    openBzDialog(u'N');
}
