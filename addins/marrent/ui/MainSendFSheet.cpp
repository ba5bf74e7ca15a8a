// The sheet "処理結果": the result file, its field rows and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

using marrent::mainparts::row;

QWidget *TMainForm::buildSendFSheet()
{
    auto *page = named(new QWidget, "SendFSheet");
    SendFileChk = named(new QCheckBox(QStringLiteral("処理結果を送信する"), page), "SendFileChk");
    SendGroup = named(new QGroupBox(page), "SendGroup");
    SendFileSE = named(new TFileNameEdit(true, SendGroup), "SendFileSE");
    SendFieldsCB = named(new TListCombo(SendGroup), "SendFieldsCB");
    for (int i = 1; i <= marrent::ResultFieldCount; ++i)
        SendFieldsCB->addItem(QString::number(i));
    SendFTypeCB = named(new TListCombo(SendGroup), "SendFTypeCB");
    SendFTypeCB->addItems({QStringLiteral("終了情報"), QStringLiteral("処理明細")});
    SFieldsSB = named(new QWidget(SendGroup), "SFieldsSB");
    auto *rows = new QVBoxLayout(SFieldsSB);
    rows->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < marrent::ResultFieldCount; ++i) {
        fieldRows[std::size_t(i)] = new QWidget(SFieldsSB);
        auto *line = new QHBoxLayout(fieldRows[std::size_t(i)]);
        line->setContentsMargins(0, 0, 0, 0);
        pSField[std::size_t(i)] = new TListCombo(fieldRows[std::size_t(i)]);
        pSField[std::size_t(i)]->setObjectName(QStringLiteral("SField%1CB").arg(i + 1));
        pSField[std::size_t(i)]->setMinimumWidth(220);
        pFCount[std::size_t(i)] = new QLabel(fieldRows[std::size_t(i)]);
        pFCount[std::size_t(i)]->setObjectName(QStringLiteral("SFieldLabel%1").arg(i + 1));
        line->addWidget(new QLabel(QString::number(i + 1), fieldRows[std::size_t(i)]));
        // The row's number is not linked as its caption: a list announces its label, and a bare
        // number says little read aloud. The field count above names what the rows are.
        caption::name(pSField[std::size_t(i)], QStringLiteral("フィールド%1").arg(i + 1));
        line->addWidget(pSField[std::size_t(i)]);
        line->addWidget(pFCount[std::size_t(i)]);
        line->addStretch();
        rows->addWidget(fieldRows[std::size_t(i)]);
        connect(pSField[std::size_t(i)], &QComboBox::activated, this, &TMainForm::SFieldCBChange);
    }
    SendDelCB = named(new TListCombo(SendGroup), "SendDelCB");
    SendDelCB->addItems(
        {QStringLiteral("消去しない"), QStringLiteral("確認画面表示"), QStringLiteral("消去する")});
    SendDelCB->setCurrentIndex(2);
    auto *grid = new QGridLayout(SendGroup);
    grid->addWidget(caption::label(QStringLiteral("ファイル名"), SendFileSE, SendGroup), 0, 0);
    grid->addWidget(SendFileSE, 0, 1);
    grid->addWidget(caption::label(QStringLiteral("フィールド数"), SendFieldsCB, SendGroup), 1, 0);
    grid->addWidget(SendFieldsCB, 1, 1);
    grid->addWidget(caption::label(QStringLiteral("データタイプ"), SendFTypeCB, SendGroup), 2, 0);
    grid->addWidget(SendFTypeCB, 2, 1);
    grid->addWidget(SFieldsSB, 3, 0, 1, 2);
    SendGroup->setVisible(false);
    auto *del = new QHBoxLayout;
    del->addWidget(caption::label(QStringLiteral("送信完了後のデータ消去"), SendDelCB, page));
    del->addWidget(SendDelCB);
    del->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(SendFileChk, 0, Qt::AlignLeft);
    layout->addWidget(SendGroup);
    layout->addLayout(del);
    layout->addStretch();
    connect(SendFileChk, &QCheckBox::clicked, this, &TMainForm::SendFileChkClick);
    connect(SendFileSE, &TFileNameEdit::Changed, this, &TMainForm::Mark);
    connect(SendFieldsCB, &QComboBox::activated, this, &TMainForm::SendFieldsCBChange);
    connect(SendFTypeCB, &QComboBox::activated, this, &TMainForm::SendFTypeCBChange);
    connect(SendDelCB, &QComboBox::activated, this, &TMainForm::Mark);
    return page;
}

void TMainForm::SetSendField()
{
    MarrentSettings s = settings();
    marrent::SetSendField(s);
    SendDat_ = s.SendDat;
    showSendFields();
}

void TMainForm::showSendFields()
{
    const MarrentSettings s = settings();
    const QStringList names = marrent::GetSDefStr(s, marrent::GetSendFDef(s, s.SendFType));
    for (int i = 0; i < marrent::ResultFieldCount; ++i) {
        TListCombo *list = pSField[std::size_t(i)];
        list->clear();
        list->addItems(names);
        list->setCurrentIndex(marrent::SendFieldListIndex(s, i));
        pFCount[std::size_t(i)]->setText(QString::number(SendDat_[std::size_t(i)].length));
    }
    showFieldRows();
}

void TMainForm::showFieldRows()
{
    for (int i = 0; i < marrent::ResultFieldCount; ++i)
        fieldRows[std::size_t(i)]->setVisible(i <= SendFieldsCB->currentIndex());
}

void TMainForm::SendFileChkClick()
{
    if (SetFlag)
        return;
    if (SendFileChk->isChecked()) {
        const formkit::LoadingGuard guard(SetFlag);
        SetSendField();
    }
    SendGroup->setVisible(SendFileChk->isChecked());
    ChangeFlag = true;
}

void TMainForm::SendFieldsCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    showFieldRows();
}

void TMainForm::SendFTypeCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    const formkit::LoadingGuard guard(SetFlag);
    SetSendField();
}

void TMainForm::SFieldCBChange()
{
    if (SetFlag)
        return;
    for (int i = 0; i < marrent::ResultFieldCount; ++i) {
        if (sender() != pSField[std::size_t(i)])
            continue;
        MarrentSettings s = settings();
        marrent::ChooseSendField(s, i, pSField[std::size_t(i)]->currentIndex());
        SendDat_ = s.SendDat;
        pFCount[std::size_t(i)]->setText(QString::number(SendDat_[std::size_t(i)].length));
    }
    ChangeFlag = true;
}
