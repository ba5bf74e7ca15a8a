// The page "データ保存": its controls, the save field rows and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
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
#include <QScrollArea>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tessary {

using mainparts::list;
using mainparts::numberEdit;
using mainparts::valueOf;

namespace {

QString fullWidthNumber(int n)
{
    static const QString digits = QStringLiteral("０１２３４５６７８９");
    QString out;
    for (QChar c : QString::number(n))
        out += digits.at(c.digitValue());
    return out;
}

} // namespace

QWidget *TMainForm::buildSavePage()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    DSaveChk = formkit::named(new QCheckBox(QStringLiteral("照合結果を保存する"), page), "DSaveChk");
    v->addWidget(DSaveChk);
    DSaveGB = formkit::named(new QGroupBox(page), "DSaveGB");
    auto *g = new QVBoxLayout(DSaveGB);
    auto *head = new QGridLayout;
    SaveFileSE = formkit::named(new TFileNameEdit(true, DSaveGB), "SaveFileSE");
    QStringList counts;
    for (int i = 1; i <= SaveFieldMax; ++i)
        counts << (i <= 8 ? QString::number(i) : fullWidthNumber(i));
    SaveFieldsCB = list("SaveFieldsCB", counts, DSaveGB);
    SaveTypeCB = list("SaveTypeCB", SaveTypeItems(OneToOne), DSaveGB);
    QStringList stamps;
    for (const QString &item : TimeStampItems())
        stamps << item;
    TStampCB = list("TStampCB", stamps, DSaveGB);
    head->addWidget(caption::label(QStringLiteral("保存ファイル"), SaveFileSE, DSaveGB), 0, 0);
    head->addWidget(SaveFileSE, 0, 1);
    head->addWidget(caption::label(QStringLiteral("保存フィールド数"), SaveFieldsCB, DSaveGB), 0, 2);
    head->addWidget(SaveFieldsCB, 0, 3);
    head->addWidget(caption::label(QStringLiteral("保存条件"), SaveTypeCB, DSaveGB), 1, 0);
    head->addWidget(SaveTypeCB, 1, 1);
    head->addWidget(caption::label(QStringLiteral("タイムスタンプ"), TStampCB, DSaveGB), 1, 2);
    head->addWidget(TStampCB, 1, 3);
    g->addLayout(head);

    auto *scroll = formkit::named(new QScrollArea(DSaveGB), "FieldScrollBox");
    auto *rows = new QWidget;
    auto *r = new QGridLayout(rows);
    for (int i = 0; i < SaveFieldMax; ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        pFLabel[std::size_t(i)] = new QLabel(QStringLiteral("フィールド") + fullWidthNumber(i + 1), rows);
        pSField[std::size_t(i)] = list(("SField" + n + "CB").constData(), {}, rows);
        pSField[std::size_t(i)]->setMinimumContentsLength(14);
        pPanel[std::size_t(i)] = formkit::named(new QFrame(rows), ("SFPanel" + n).constData());
        auto *p = new QHBoxLayout(pPanel[std::size_t(i)]);
        p->setContentsMargins(0, 0, 0, 0);
        pSFTopNE[std::size_t(i)] = numberEdit(("SFTop" + n + "NE").constData(), 9999, pPanel[std::size_t(i)]);
        pLenLabel[std::size_t(i)] = new QLabel(QStringLiteral("桁目から"), pPanel[std::size_t(i)]);
        pSFLenNE[std::size_t(i)] = numberEdit(("SFLen" + n + "NE").constData(), 3500, pPanel[std::size_t(i)]);
        p->addWidget(pSFTopNE[std::size_t(i)]);
        p->addWidget(pLenLabel[std::size_t(i)]);
        p->addWidget(pSFLenNE[std::size_t(i)]);
        p->addWidget(new QLabel(QStringLiteral("桁"), pPanel[std::size_t(i)]));
        p->addStretch();
        // A row's start and length are read by its caption and the unit after each.
        caption::link(pFLabel[std::size_t(i)], pSField[std::size_t(i)]);
        caption::link(pLenLabel[std::size_t(i)], pSFLenNE[std::size_t(i)]);
        caption::name(pSFTopNE[std::size_t(i)],
                      pFLabel[std::size_t(i)]->text() + QStringLiteral(" 桁目から"));
        caption::name(pSFLenNE[std::size_t(i)], pFLabel[std::size_t(i)]->text() + QStringLiteral(" 桁"));
        r->addWidget(pFLabel[std::size_t(i)], i, 0);
        r->addWidget(pSField[std::size_t(i)], i, 1);
        r->addWidget(pPanel[std::size_t(i)], i, 2);
        connect(pSField[std::size_t(i)], &QComboBox::activated, this, [this, i] { SFieldCBChange(i); });
        connect(pSFTopNE[std::size_t(i)], &QLineEdit::textEdited, this, [this, i] { FTopChange(i); });
        connect(pSFLenNE[std::size_t(i)], &QLineEdit::textEdited, this, [this, i] { FLenChange(i); });
        connectDigitLimit(pSFTopNE[std::size_t(i)], {}, true);
    }
    r->setRowStretch(SaveFieldMax, 1);
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    g->addWidget(scroll, 1);
    ListView1 = formkit::named(new QTreeWidget(DSaveGB), "ListView1");
    g->addWidget(caption::label(QStringLiteral("送信データレイアウト"), ListView1, DSaveGB));
    ListView1->setColumnCount(SaveFieldMax);
    ListView1->setRootIsDecorated(false);
    ListView1->setFixedHeight(56);
    ListView1->setHeaderLabels(QStringList(SaveFieldMax, QString()));
    g->addWidget(ListView1);
    v->addWidget(DSaveGB, 1);
    // Takes the page's height while the group is hidden, so the box stays at the top.
    v->addStretch();

    connect(DSaveChk, &QCheckBox::clicked, this, &TMainForm::DSaveChkClick);
    connect(SaveFieldsCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(SaveTypeCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(TStampCB, &QComboBox::activated, this, &TMainForm::SaveFieldsCBChange);
    connect(SaveFileSE, &TFileNameEdit::Changed, this, &TMainForm::MarkChange);
    return page;
}

void TMainForm::refreshSavePage()
{
    formkit::LoadingGuard loading(SetFlag);
    SaveDatDef = GetSaveDef(state());
    CheckSaveDat(SaveDat, SaveDatDef, *Model);
    SetSaveDat();
    DspDataLayout();
}

void TMainForm::SetSaveDat()
{
    formkit::LoadingGuard loading(SetFlag);
    const QStringList items = GetSDefStr(SaveDatDef);
    const int used = std::max(0, SaveFieldsCB->currentIndex()) + 1;
    for (int i = 0; i < SaveFieldMax; ++i) {
        const std::size_t k = std::size_t(i);
        const bool shown = i < used;
        pFLabel[k]->setVisible(shown);
        pSField[k]->setVisible(shown);
        const TSaveDat &f = SaveDat[k];
        pSField[k]->clear();
        pSField[k]->addItems(items);
        pSField[k]->setCurrentIndex(std::max(0, int(SaveDatDef.indexOf(QLatin1Char(f.code)))));
        const RowPanel panel = PanelOf(f.code);
        pPanel[k]->setVisible(shown && panel != RowPanel::Hidden);
        pSFTopNE[k]->setVisible(panel == RowPanel::StartAndLength);
        pLenLabel[k]->setVisible(panel == RowPanel::StartAndLength);
        pSFTopNE[k]->setText(f.top > 0 ? QString::number(f.top) : QString());
        pSFLenNE[k]->setText(f.len > 0 ? QString::number(f.len) : QString());
    }
}

void TMainForm::DspDataLayout()
{
    ListView1->clear();
    auto *row = new QTreeWidgetItem(ListView1);
    const QList<PreviewColumn> columns = tessary::DspDataLayout(state());
    QTreeWidgetItem *header = ListView1->headerItem();
    for (int c = 0; c < SaveFieldMax; ++c) {
        if (c < columns.size()) {
            if (columns[c].width > 0) {
                header->setText(c, columns[c].caption);
                ListView1->setColumnWidth(c, columns[c].width);
            }
            row->setText(c, columns[c].cell);
        } else {
            header->setText(c, QString());
        }
    }
}

void TMainForm::CheckSDTLen(int row)
{
    const std::size_t k = std::size_t(row);
    SaveDat[k] = tessary::CheckSDTLen(SaveDat[k].code, valueOf(pSFTopNE[k]), valueOf(pSFLenNE[k]), *Model);
    formkit::LoadingGuard loading(SetFlag);
    pSFLenNE[k]->setText(QString::number(SaveDat[k].len));
}

void TMainForm::DSaveChkClick()
{
    DSaveGB->setVisible(DSaveChk->isChecked());
    if (!SetFlag)
        ChangeFlag = true;
}

void TMainForm::SaveFieldsCBChange()
{
    if (SetFlag)
        return;
    refreshSavePage();
    ChangeFlag = true;
}

void TMainForm::SFieldCBChange(int row)
{
    if (SetFlag)
        return;
    const std::size_t k = std::size_t(row);
    const int index = pSField[k]->currentIndex();
    if (!SaveDatDef.isEmpty())
        SaveDat[k].code = char(SaveDatDef.at(std::clamp(index, 0, int(SaveDatDef.size()) - 1)).unicode());
    CheckSDTLen(row);
    refreshSavePage();
    ChangeFlag = true;
}

void TMainForm::FTopChange(int row)
{
    if (SetFlag)
        return;
    const std::size_t k = std::size_t(row);
    {
        formkit::LoadingGuard loading(SetFlag);
        if (pSFTopNE[k]->text() == QLatin1String("0"))
            pSFTopNE[k]->clear();
    }
    if (pSFTopNE[k]->text().isEmpty())
        SaveDat[k].top = 0;
    else
        CheckSDTLen(row);
    ChangeFlag = true;
}

void TMainForm::FLenChange(int row)
{
    if (SetFlag)
        return;
    const std::size_t k = std::size_t(row);
    {
        formkit::LoadingGuard loading(SetFlag);
        if (pSFLenNE[k]->text() == QLatin1String("0"))
            pSFLenNE[k]->clear();
    }
    if (pSFLenNE[k]->text().isEmpty())
        SaveDat[k].len = 0;
    else
        CheckSDTLen(row);
    DspDataLayout();
    ChangeFlag = true;
}

} // namespace tessary
