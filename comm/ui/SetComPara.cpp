#include "SetComPara.h"

#include "comm/ui/CorlissL.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "common/ui/ListCombo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TSetComForm::TSetComForm(comm::ComConditions &conditions, QWidget *parent, platform::LineControl *lineControl)
    : QDialog(parent), conditions_(conditions), lineControl_(lineControl)
{
    setObjectName(QStringLiteral("SetComForm"));
    setWindowTitle(QStringLiteral("通信条件設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    const auto combo = [this](const char *name, const QStringList &items) {
        auto *box = formkit::named(new TListCombo(this), name);
        box->addItems(items);
        return box;
    };
    ComPortCB = combo("ComPortCB", comm::comPortItems());
    ComSpeedCB = combo("ComSpeedCB", comm::comSpeedItems());
    WrModeCB = combo("WrModeCB", comm::writeModeItems());
    RcvModeCheck = formkit::named(new QCheckBox(QStringLiteral("連続受信"), this), "RcvModeCheck");

    SetModeBtn = formkit::button("SetModeBtn", QStringLiteral("通信モード設定"), this);
    SetBtn = formkit::button("SetBtn", QStringLiteral("更新"), this);
    CancelBtn = formkit::button("CancelBtn", QStringLiteral("キャンセル"), this);

    auto *grid = new QGridLayout;
    const auto labelled = [&](int row, const QString &text, QWidget *field) {
        auto *label = caption::label(text, field, this);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    };
    labelled(0, QStringLiteral("通信ポート"), ComPortCB);
    labelled(1, QStringLiteral("通信スピード"), ComSpeedCB);
    grid->addWidget(RcvModeCheck, 2, 1);
    labelled(3, QStringLiteral("受信データ書き込み"), WrModeCB);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(SetModeBtn);
    buttons->addStretch(1);
    buttons->addWidget(SetBtn);
    buttons->addWidget(CancelBtn);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("受信データは、通信モード設定の受信デフォルト"), this));
    layout->addWidget(new QLabel(QStringLiteral("フォルダに保存します。"), this));
    layout->addLayout(buttons);

    setTabOrder(ComPortCB, ComSpeedCB);
    setTabOrder(ComSpeedCB, RcvModeCheck);
    setTabOrder(RcvModeCheck, WrModeCB);
    setTabOrder(WrModeCB, SetModeBtn);
    setTabOrder(SetModeBtn, SetBtn);
    setTabOrder(SetBtn, CancelBtn);

    // Only the operator's choices test the port: the indexes set while loading or after a failed
    // check must not open it again.
    connect(ComPortCB, &TListCombo::activated, this, &TSetComForm::ComPortCBChange);
    connect(ComSpeedCB, &TListCombo::activated, this, &TSetComForm::ComSpeedCBChange);
    connect(SetModeBtn, &QPushButton::clicked, this, &TSetComForm::SetModeBtnClick);
    connect(SetBtn, &QPushButton::clicked, this, &TSetComForm::SetBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetComForm::CancelBtnClick);

    FormCreate();
}

void TSetComForm::FormCreate()
{
    const comm::ComControlState controls = comm::controlsFor(conditions_);
    TmpPortNo = controls.portIndex + 1;
    ComPortCB->setCurrentIndex(controls.portIndex);
    ComSpeedCB->setCurrentIndex(controls.speedIndex);
    RcvModeCheck->setChecked(controls.continuous);
    WrModeCB->setCurrentIndex(controls.writeModeIndex);
}

void TSetComForm::warn(const QString &text)
{
    platform::ui().messageBox(text, windowTitle(), comm::conditionsMessageStyle());
}

bool TSetComForm::ChkPort()
{
    const int portNumber = ComPortCB->currentIndex() + 1;
    const int speed = comm::speedOfIndex(ComSpeedCB->currentIndex());
    const comm::PortCheck result = comm::checkPort(portNumber, speed, lineControl_);
    if (result == comm::PortCheck::PortUnusable) {
        warn(comm::portCheckMessage(result, portNumber, speed));
        ComPortCB->setCurrentIndex(TmpPortNo - 1);
        formkit::requestFocus(ComPortCB);
        return false;
    }
    // The port itself opened: it is the one to fall back to, whatever its speed did.
    TmpPortNo = portNumber;
    if (result == comm::PortCheck::LineRefused) {
        warn(comm::portCheckMessage(result, portNumber, speed));
        ComSpeedCB->setCurrentIndex(0);
        formkit::requestFocus(ComSpeedCB);
        return false;
    }
    return true;
}

void TSetComForm::ComPortCBChange()
{
    ChkPort();
}

void TSetComForm::ComSpeedCBChange()
{
    ChkPort();
}

void TSetComForm::SetModeBtnClick()
{
    YmSetMode(this);
}

void TSetComForm::SetBtnClick()
{
    if (!ChkPort())
        return;
    comm::ComControlState controls;
    controls.portIndex = ComPortCB->currentIndex();
    controls.speedIndex = ComSpeedCB->currentIndex();
    controls.continuous = RcvModeCheck->isChecked();
    controls.writeModeIndex = WrModeCB->currentIndex();
    const comm::ComConditions chosen = comm::conditionsFor(controls);
    // The caller's values change only together with the store, so that a failed store followed
    // by "キャンセル" leaves everything as it was.
    if (!comm::storeConditions(Reg, chosen)) {
        warn(comm::storeFailedMessage());
        return;
    }
    conditions_ = chosen;
    accept();
}

void TSetComForm::CancelBtnClick()
{
    reject();
}
