// The page "データ保存": its controls, the save field rows and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "SetBz.h"
#include "addins/frame/ui/FileNameEdit.h"
#include "addins/frame/ui/ReturnMoves.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace quillon;
using formkit::named;

using quillon::mainparts::checkBox;
using quillon::mainparts::row;

QWidget *TMainForm::buildSavePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    DSaveChk = checkBox("DSaveChk", QStringLiteral("照合結果を保存する"));
    DSaveGB = named(new QGroupBox, "DSaveGB");
    DSaveGB->setVisible(false);
    layout->addWidget(DSaveChk);
    layout->addWidget(DSaveGB, 1);
    // Takes the page's height while the group is hidden, so the box stays at the top.
    layout->addStretch();

    auto *box = new QVBoxLayout(DSaveGB);
    SaveFileSE = fileEdit("SaveFileSE");
    SaveFieldsCB = named(new TListCombo, "SaveFieldsCB");
    SaveFieldsCB->addItems({"  1", "  2", "  3", "  4", "  5", "  6", "  7", "  8", QStringLiteral("  ９"),
                            QStringLiteral("１０"), QStringLiteral("１１"), QStringLiteral("１２"),
                            QStringLiteral("１３"), QStringLiteral("１４"), QStringLiteral("１５"),
                            QStringLiteral("１６")});
    SaveTypeCB = named(new TListCombo, "SaveTypeCB");
    SaveTypeCB->addItems(
        {QStringLiteral("照合ＯＫ"), QStringLiteral("照合ＮＧ"), QStringLiteral("照合OK/NG")});
    box->addWidget(row({caption::label(QStringLiteral("保存ﾌｧｲﾙ名"), SaveFileSE, nullptr), SaveFileSE,
                        caption::label(QStringLiteral("保存ﾌｨｰﾙﾄﾞ数"), SaveFieldsCB, nullptr), SaveFieldsCB,
                        caption::label(QStringLiteral("保存条件"), SaveTypeCB, nullptr), SaveTypeCB}));

    auto *scroll = new QScrollArea;
    auto *rows = new QWidget;
    auto *grid = new QGridLayout(rows);
    static const QStringList rowLabels = {
        QStringLiteral("F１"),    QStringLiteral("Ｆ２"),   QStringLiteral("Ｆ３"),
        QStringLiteral("Ｆ４"),   QStringLiteral("Ｆ５"),   QStringLiteral("Ｆ６"),
        QStringLiteral("Ｆ７"),   QStringLiteral("Ｆ８"),   QStringLiteral("Ｆ９"),
        QStringLiteral("Ｆ１０"), QStringLiteral("Ｆ１１"), QStringLiteral("Ｆ１２"),
        QStringLiteral("Ｆ１３"), QStringLiteral("Ｆ１４"), QStringLiteral("Ｆ１５"),
        QStringLiteral("Ｆ１６")};
    for (int k = 0; k < SaveRowCount; ++k) {
        const std::size_t i = std::size_t(k);
        const QString n = QString::number(k + 1);
        pFLabel[i] = new QLabel(rowLabels.at(k));
        pFLabel[i]->setObjectName(QStringLiteral("F%1Label").arg(n));
        pSField[i] = new TListCombo;
        pSField[i]->setObjectName(QStringLiteral("SField%1CB").arg(n));
        pSField[i]->setMinimumWidth(190);
        pSFTopNE[i] = new TNEdit;
        pSFTopNE[i]->setObjectName(QStringLiteral("F%1TopNE").arg(n));
        pSFTopNE[i]->setFixedWidth(60);
        pSFLenNE[i] = new TNEdit;
        pSFLenNE[i]->setObjectName(QStringLiteral("F%1LenNE").arg(n));
        pSFLenNE[i]->setFixedWidth(60);
        pLenLabel[i] = new QLabel(QStringLiteral("桁目から"));
        pLenLabel[i]->setObjectName(QStringLiteral("N%1Label").arg(n));
        pPanel[i] = row({pSFTopNE[i], pLenLabel[i], pSFLenNE[i], new QLabel(QStringLiteral("桁"))});
        pPanel[i]->setObjectName(QStringLiteral("F%1Panel").arg(n));
        grid->addWidget(pFLabel[i], k, 0);
        grid->addWidget(pSField[i], k, 1);
        grid->addWidget(pPanel[i], k, 2);
        // A row's start and length are read by its caption and the unit after each.
        caption::link(pFLabel[i], pSField[i]);
        caption::link(pLenLabel[i], pSFLenNE[i]);
        caption::name(pSFTopNE[i], rowLabels.at(k) + QStringLiteral(" 桁目から"));
        caption::name(pSFLenNE[i], rowLabels.at(k) + QStringLiteral(" 桁"));

        connect(pSField[i], &QComboBox::activated, this, [this, k] { SFieldCBChange(k); });
        connect(pSFTopNE[i], &QLineEdit::textEdited, this, [this, k] { FTopChange(k); });
        connect(pSFLenNE[i], &QLineEdit::textEdited, this, [this, k] { FLenChange(k); });
        connect(pSFTopNE[i], &TNEdit::KeyPress, this, [this, i](QChar &key) {
            if (key.isDigit() && !StartDigitKept(pSFTopNE[i]->text() + key, limits))
                key = QChar();
        });
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(SaveRowCount, 1);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    box->addWidget(scroll, 1);

    ListView1 = named(new QTableWidget(1, SaveRowCount), "ListView1");
    box->addWidget(caption::label(QStringLiteral("送信データレイアウト"), ListView1, nullptr));
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(true);
    ListView1->verticalHeader()->setVisible(false);
    ListView1->setFixedHeight(60);
    box->addWidget(ListView1);

    connect(DSaveChk, &QCheckBox::clicked, this, &TMainForm::DSaveChkClick);
    connect(SaveFieldsCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(SaveTypeCB, &QComboBox::activated, this, &TMainForm::SaveTypeCBChange);
    return page;
}

int TMainForm::saveCount() const
{
    return SaveFieldsCB->currentIndex() + 1;
}

void TMainForm::refreshSavePage()
{
    formkit::LoadingGuard loading(SetFlag);
    DSaveGB->setVisible(DSaveChk->isChecked());
    SaveDatDef = GetSaveDef(DKubunChk->isChecked());
    SaveDatStr = GetSDefStr(SaveDatDef);
    CheckSaveDat(SaveDat, SaveDatDef, limits);
    SetSaveDat();
    DspDataLayout();
}

void TMainForm::SetSaveDat()
{
    const int count = saveCount();
    for (int k = 0; k < SaveRowCount; ++k) {
        const std::size_t i = std::size_t(k);
        const bool shown = k < count;
        pFLabel[i]->setVisible(shown);
        pSField[i]->setVisible(shown);
        if (!shown) {
            pPanel[i]->setVisible(false);
            continue;
        }
        pSField[i]->setItemsText(SaveDatStr);
        pSField[i]->setCurrentIndex(ChoiceOfCode(SaveDatDef, SaveDat[i].code));
        const RowEdits edits = RowEditsOf(SaveDat[i].code);
        pPanel[i]->setVisible(edits != RowEdits::None);
        pSFTopNE[i]->setVisible(edits == RowEdits::StartAndLength);
        pLenLabel[i]->setVisible(edits == RowEdits::StartAndLength);
        const RowMaxima maxima = RowMaximaOf(SaveDat[i].code, limits);
        pSFTopNE[i]->SetMaxValue(maxima.top);
        pSFLenNE[i]->SetMaxValue(maxima.len);
        pSFTopNE[i]->setText(QString::number(SaveDat[i].top));
        pSFLenNE[i]->setText(QString::number(SaveDat[i].len));
    }
}

void TMainForm::DspDataLayout()
{
    const auto cells = quillon::DspDataLayout(SaveDat, saveCount());
    ListView1->clearContents();
    for (int c = 0; c < SaveRowCount; ++c) {
        const LayoutCell &cell = cells[std::size_t(c)];
        ListView1->setHorizontalHeaderItem(c, new QTableWidgetItem(cell.caption));
        if (cell.width > 0)
            ListView1->setColumnWidth(c, cell.width);
        auto *item = new QTableWidgetItem(cell.value);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ListView1->setItem(0, c, item);
    }
}

void TMainForm::DSaveChkClick()
{
    DSaveGB->setVisible(DSaveChk->isChecked());
    if (DSaveChk->isChecked())
        refreshSavePage();
    ChangeFlag = true;
}

void TMainForm::SaveFieldsCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    refreshSavePage();
}

void TMainForm::SaveTypeCBChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    refreshSavePage();
}

void TMainForm::SFieldCBChange(int k)
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    const std::size_t i = std::size_t(k);
    {
        formkit::LoadingGuard loading(SetFlag);
        const char code = CodeAtChoice(SaveDatDef, pSField[i]->currentIndex());
        SaveDat[i] = CheckSDTLen(code, pSFTopNE[i]->text(), pSFLenNE[i]->text(), limits);
    }
    refreshSavePage();
}

void TMainForm::FTopChange(int k)
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    const std::size_t i = std::size_t(k);
    if (pSFTopNE[i]->text() == QStringLiteral("0"))
        pSFTopNE[i]->setText(QString());
    if (pSFTopNE[i]->text().isEmpty()) {
        SaveDat[i].top = 0;
    } else {
        SaveDat[i] = CheckSDTLen(SaveDat[i].code, pSFTopNE[i]->text(), pSFLenNE[i]->text(), limits);
        if (pSFLenNE[i]->text().isEmpty())
            SaveDat[i].len = 0; // still empty: the check asks for it
        const int caret = pSFTopNE[i]->cursorPosition();
        pSFTopNE[i]->setText(QString::number(SaveDat[i].top));
        pSFTopNE[i]->setCursorPosition(caret);
        if (!pSFLenNE[i]->text().isEmpty())
            pSFLenNE[i]->setText(QString::number(SaveDat[i].len));
    }
    ChangeFlag = true;
}

void TMainForm::FLenChange(int k)
{
    if (SetFlag)
        return;
    formkit::LoadingGuard loading(SetFlag);
    ChangeFlag = true;
    const std::size_t i = std::size_t(k);
    if (pSFLenNE[i]->text() == QStringLiteral("0"))
        pSFLenNE[i]->setText(QString());
    if (pSFLenNE[i]->text().isEmpty()) {
        SaveDat[i].len = 0;
    } else {
        SaveDat[i] = CheckSDTLen(SaveDat[i].code, pSFTopNE[i]->text(), pSFLenNE[i]->text(), limits);
        if (pSFTopNE[i]->text().isEmpty())
            SaveDat[i].top = 0;
        const int caret = pSFLenNE[i]->cursorPosition();
        pSFLenNE[i]->setText(QString::number(SaveDat[i].len));
        pSFLenNE[i]->setCursorPosition(caret);
        if (!pSFTopNE[i]->text().isEmpty())
            pSFTopNE[i]->setText(QString::number(SaveDat[i].top));
    }
    DspDataLayout();
}
