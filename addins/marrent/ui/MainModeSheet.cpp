// The sheet "動作モード": the operating mode, and the captions that follow it.

#include "Main.h"

#include "MainParts.h"
#include "SetBarCode.h"
#include "addins/marrent/CheckData.h"
#include "addins/marrent/ResultFields.h"
#include "addins/marrent/ScreenPreview.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using formkit::named;
using marrent::MarrentSettings;

QWidget *TMainForm::buildModeSheet()
{
    auto *page = named(new QWidget, "ModeSheet");
    auto *mode = named(new QGroupBox(QStringLiteral("動作モード"), page), "ModeRG");
    ModeInspect = named(new QRadioButton(QStringLiteral("検品"), mode), "ModeInspect");
    ModePicking = named(new QRadioButton(QStringLiteral("ピッキング"), mode), "ModePicking");
    ModeInspect->setChecked(true);
    auto *modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(ModeInspect, 0, Qt::AlignLeft);
    modeLayout->addWidget(ModePicking, 0, Qt::AlignLeft);
    RemoteChk =
        named(new QCheckBox(QStringLiteral("ﾏｽﾀｰﾌｧｲﾙをﾘﾓｰﾄ受信（Quenbrix.exeから受信）"), page), "RemoteChk");
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(mode);
    layout->addWidget(RemoteChk, 0, Qt::AlignLeft);
    layout->addStretch();
    connect(ModeInspect, &QRadioButton::clicked, this, &TMainForm::ModeRGClick);
    connect(ModePicking, &QRadioButton::clicked, this, &TMainForm::ModeRGClick);
    connect(RemoteChk, &QCheckBox::clicked, this, &TMainForm::Mark);
    return page;
}

void TMainForm::SetPKDsp()
{
    const bool picking = ModePicking->isChecked();
    TreeView1->topLevelItem(3)->setText(0, picking ? QStringLiteral("ピッキングマスター")
                                                   : QStringLiteral("検品マスター"));
    TreeView1->topLevelItem(4)->setText(0, picking ? QStringLiteral("ピッキング画面")
                                                   : QStringLiteral("検品画面"));
    PKMstGroup->setTitle(picking ? QStringLiteral("ピッキングマスターファイル")
                                 : QStringLiteral("検品マスターファイル"));
}

void TMainForm::ModeRGClick()
{
    ChangeFlag = true;
    SetPKDsp();
}
