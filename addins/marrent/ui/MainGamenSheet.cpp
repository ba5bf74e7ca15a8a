// The sheet "画面設定": its controls, the terminal screen preview and their handlers.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"
#include "common/ui/NEdit.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

using marrent::mainparts::digits;
using marrent::mainparts::setValue;
using marrent::mainparts::value;

namespace {

const char *const PreviewLineNames[] = {"Title",    "DpName",       "DpData",  "SCCaption", "SCData",
                                        "Quantity", "SNameCaption", "SName1",  "SName2",    "CountCaption",
                                        "Remain",   "Count",        "M1Label", "M2Label",   "M2Caption"};

} // namespace

QFrame *TMainForm::buildPreviewPanel(const char *name, const char *prefix)
{
    auto *panel = named(new QFrame, name);
    panel->setFrameShape(QFrame::Box);
    panel->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: #c8d8b0; } QLabel { font-family: monospace; }")
            .arg(QString::fromLatin1(name)));
    auto *layout = new QVBoxLayout(panel);
    layout->setSpacing(1);
    const int key = name[3] == '5' ? 500 : name[3] == '6' ? 600 : 900;
    for (const char *line : PreviewLineNames) {
        auto *label = new QLabel(panel);
        label->setObjectName(
            QStringLiteral("%1%2Label").arg(QString::fromLatin1(prefix), QString::fromLatin1(line)));
        layout->addWidget(label);
        previewLabels_[key][QString::fromLatin1(line)] = label;
    }
    layout->addStretch();
    return panel;
}

QWidget *TMainForm::buildGamenSheet()
{
    auto *page = named(new QWidget, "GamenSheet");
    SCBarBtn = formkit::button("SCBarBtn", QStringLiteral("商品コード バーコード設定"), page);
    InpCountChk = named(new QCheckBox(QStringLiteral("数量入力"), page), "InpCountChk");
    InpCountGroup = named(new QGroupBox(page), "InpCountGroup");
    InpCountNE = digits("InpCountNE", 2, InpCountGroup);
    auto *inp = new QHBoxLayout(InpCountGroup);
    inp->addWidget(caption::label(QStringLiteral("入力桁数"), InpCountNE, InpCountGroup));
    inp->addWidget(InpCountNE);
    inp->addStretch();
    setValue(InpCountNE, 1);
    InpCountGroup->setVisible(false);
    formkit::keepPlaceWhenHidden(InpCountGroup);
    BHT500Panel = buildPreviewPanel("BHT500Panel", "B500");
    BHT600Panel = buildPreviewPanel("BHT600Panel", "B600");
    BHT900Panel = buildPreviewPanel("BHT900Panel", "B900");
    auto *left = new QVBoxLayout;
    left->addWidget(SCBarBtn);
    left->addWidget(InpCountChk, 0, Qt::AlignLeft);
    left->addWidget(InpCountGroup);
    left->addStretch();
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addWidget(BHT500Panel);
    layout->addWidget(BHT600Panel);
    layout->addWidget(BHT900Panel);
    // The spare width goes right of the preview: a group shown on the left must not shift it.
    layout->addStretch();
    connect(SCBarBtn, &QPushButton::clicked, this, &TMainForm::BarBtnClick);
    connect(InpCountChk, &QCheckBox::clicked, this, &TMainForm::InpCountChkClick);
    connect(InpCountNE, &QLineEdit::textEdited, this, &TMainForm::InpCountNEChange);
    return page;
}

void TMainForm::DspBhtGamen()
{
    InpCountGroup->setVisible(InpCountChk->isChecked());
    const marrent::PreviewScreen screen = marrent::BuildPreview(settings(), load_.limits, load_.GyName);
    for (QLabel *label : previewLabels_[screen.panel])
        label->setVisible(false);
    for (const marrent::PreviewLine &line : screen.lines) {
        if (QLabel *label = previewLabels_[screen.panel].value(line.name)) {
            label->setText(line.text);
            label->setVisible(true);
        }
    }
}

void TMainForm::InpCountChkClick()
{
    ChangeFlag = true;
    DspBhtGamen();
}

void TMainForm::InpCountNEChange()
{
    if (SetFlag)
        return;
    ChangeFlag = true;
    if (InpCountNE->text() == QStringLiteral("0"))
        InpCountNE->clear();
    const int count = std::max(value(PKCountLenNE), 1);
    if (!InpCountNE->text().isEmpty() && value(InpCountNE) > count)
        setValue(InpCountNE, count);
    DspPage();
}
