#include "SetComMode.h"

#include "comm/SetFolderRules.h"
#include "comm/ui/ComMain.h"
#include "comm/ui/SetFolder.h"
#include "common/ui/Caption.h"
#include "common/ui/FormKit.h"
#include "platform/Registry.h"
#include "platform/UiService.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using formkit::button;
using formkit::named;

// A folder edit with its browse button on one row.
QHBoxLayout *folderRow(QLineEdit *edit, QPushButton *browse)
{
    auto *row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(browse);
    return row;
}

} // namespace

TSetComModeForm::TSetComModeForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetComModeForm"));
    setWindowTitle(QStringLiteral("通信モード設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    DspRG = named(new QGroupBox(QStringLiteral("通信状態表示"), this), "DspRG");
    DspShowRadio = named(new QRadioButton(QStringLiteral("表示する"), DspRG), "DspShowRadio");
    DspHideRadio = named(new QRadioButton(QStringLiteral("表示しない"), DspRG), "DspHideRadio");
    auto *dspItems = new QButtonGroup(DspRG);
    dspItems->addButton(DspShowRadio, 0);
    dspItems->addButton(DspHideRadio, 1);
    auto *dspLayout = new QGridLayout(DspRG);
    dspLayout->addWidget(DspShowRadio, 0, 0);
    dspLayout->addWidget(DspHideRadio, 0, 1);

    CsvCheck = named(new QCheckBox(QStringLiteral("ｶﾝﾏ区切りﾃﾞｰﾀ受信"), this), "CsvCheck");
    DblQuotedChk =
        named(new QCheckBox(QStringLiteral("ｶﾝﾏ区切りﾃﾞｰﾀを引用符（”）で括る"), this), "DblQuotedChk");
    LastSpaceCheck =
        named(new QCheckBox(QStringLiteral("ｶﾝﾏ区切り受信末尾ｽﾍﾟｰｽをﾃﾞｰﾀとする"), this), "LastSpaceCheck");
    AddZeroChk = named(new QCheckBox(QStringLiteral("削除フラグを付加"), this), "AddZeroChk");

    LogGroup = named(new QGroupBox(this), "LogGroup");
    LogCheck = named(new QCheckBox(QStringLiteral("通信履歴を保存する"), LogGroup), "LogCheck");
    LogPanel = named(new QWidget(LogGroup), "LogPanel");
    LogFileFolder = named(new QLineEdit(LogPanel), "LogFileFolder");
    LogSanshouBtn = button("LogSanshouBtn", QStringLiteral("参照"), LogPanel);
    LogFileCombo = named(new QComboBox(LogPanel), "LogFileCombo");
    LogFileCombo->addItems({QStringLiteral("日ごとに別名で保存"), QStringLiteral("月ごとに別名で保存"),
                            QStringLiteral("年ごとに別名で保存")});
    auto *panelLayout = new QGridLayout(LogPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(caption::label(QStringLiteral("保存フォルダ"), LogFileFolder, LogPanel), 0, 0);
    panelLayout->addLayout(folderRow(LogFileFolder, LogSanshouBtn), 0, 1);
    panelLayout->addWidget(caption::label(QStringLiteral("保存ファイル名"), LogFileCombo, LogPanel), 1, 0);
    panelLayout->addWidget(LogFileCombo, 1, 1);
    auto *logLayout = new QVBoxLayout(LogGroup);
    logLayout->addWidget(LogCheck);
    logLayout->addWidget(LogPanel);

    RxFolder = named(new QLineEdit(this), "RxFolder");
    RxSanshouBtn = button("RxSanshouBtn", QStringLiteral("参照"), this);
    TxFolder = named(new QLineEdit(this), "TxFolder");
    TxSanshouBtn = button("TxSanshouBtn", QStringLiteral("参照"), this);
    auto *folders = new QGridLayout;
    folders->addWidget(caption::label(QStringLiteral("受信デフォルトフォルダ"), RxFolder, this), 0, 0);
    folders->addLayout(folderRow(RxFolder, RxSanshouBtn), 0, 1);
    folders->addWidget(caption::label(QStringLiteral("送信デフォルトフォルダ"), TxFolder, this), 1, 0);
    folders->addLayout(folderRow(TxFolder, TxSanshouBtn), 1, 1);

    TekiyouBtn = button("TekiyouBtn", QStringLiteral("適用"), this);
    UpDateBtn = button("UpDateBtn", QStringLiteral("更新"), this);
    CancelBtn = button("CancelBtn", QStringLiteral("キャンセル"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(TekiyouBtn);
    buttons->addWidget(UpDateBtn);
    buttons->addWidget(CancelBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DspRG);
    layout->addWidget(CsvCheck);
    layout->addWidget(DblQuotedChk);
    layout->addWidget(LastSpaceCheck);
    layout->addWidget(AddZeroChk);
    layout->addWidget(LogGroup);
    layout->addLayout(folders);
    layout->addLayout(buttons);
    // A fixed frame, as a dialog border gives; the log panel's rows keep their room when hidden.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    formkit::keepPlaceWhenHidden(LogPanel);

    connect(LogCheck, &QCheckBox::clicked, this, &TSetComModeForm::LogCheckClick);
    connect(TekiyouBtn, &QPushButton::clicked, this, &TSetComModeForm::TekiyouBtnClick);
    connect(UpDateBtn, &QPushButton::clicked, this, &TSetComModeForm::UpDateBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSetComModeForm::CancelBtnClick);
    connect(LogSanshouBtn, &QPushButton::clicked, this, &TSetComModeForm::LogSanshouBtnClick);
    connect(RxSanshouBtn, &QPushButton::clicked, this, &TSetComModeForm::RxSanshouBtnClick);
    connect(TxSanshouBtn, &QPushButton::clicked, this, &TSetComModeForm::TxSanshouBtnClick);

    FormCreate();
}

void TSetComModeForm::FormCreate()
{
    const comm::TComModeControls c = comm::controlsFromSettings(comm::Mode);
    (c.DspIndex == 0 ? DspShowRadio : DspHideRadio)->setChecked(true);
    CsvCheck->setChecked(c.CsvCheck);
    DblQuotedChk->setChecked(c.DblQuotedChk);
    LastSpaceCheck->setChecked(c.LastSpaceCheck);
    AddZeroChk->setChecked(c.AddZeroChk);
    LogCheck->setChecked(c.LogCheck);
    LogFileCombo->setCurrentIndex(c.LogFileIndex);
    LogFileFolder->setText(c.LogFileFolder);
    RxFolder->setText(c.RxFolder);
    TxFolder->setText(c.TxFolder);
    LogPanel->setVisible(c.LogCheck);
    if (comm::modeSettingsIncomplete(comm::Mode)) {
        CancelBtn->setEnabled(false);
        TekiyouBtn->setEnabled(false);
        // The only way out, pressed by Enter as well.
        UpDateBtn->setDefault(true);
    }
}

void TSetComModeForm::FormCloseQuery(bool &CanClose)
{
    CanClose = CancelBtn->isEnabled();
}

void TSetComModeForm::closeEvent(QCloseEvent *event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TSetComModeForm::reject()
{
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        QDialog::reject();
}

void TSetComModeForm::LogCheckClick()
{
    LogPanel->setVisible(LogCheck->isChecked());
}

comm::TComModeControls TSetComModeForm::controlValues() const
{
    comm::TComModeControls c;
    c.DspIndex = DspShowRadio->isChecked() ? 0 : 1;
    c.CsvCheck = CsvCheck->isChecked();
    c.DblQuotedChk = DblQuotedChk->isChecked();
    c.LastSpaceCheck = LastSpaceCheck->isChecked();
    c.AddZeroChk = AddZeroChk->isChecked();
    c.LogCheck = LogCheck->isChecked();
    c.LogFileIndex = LogFileCombo->currentIndex();
    c.LogFileFolder = LogFileFolder->text();
    c.RxFolder = RxFolder->text();
    c.TxFolder = TxFolder->text();
    return c;
}

QLineEdit *TSetComModeForm::editOf(comm::ModeEdit edit) const
{
    switch (edit) {
    case comm::ModeEdit::LogFileFolder:
        return LogFileFolder;
    case comm::ModeEdit::RxFolder:
        return RxFolder;
    case comm::ModeEdit::TxFolder:
        break;
    }
    return TxFolder;
}

bool TSetComModeForm::ChangeData()
{
    const comm::TComModeControls controls = controlValues();
    const auto checked = comm::settingsFromControls(controls);
    std::optional<comm::ModeEntryError> refused;
    if (const auto *entry = std::get_if<comm::ModeEntryError>(&checked))
        refused = *entry;
    else
        refused = comm::unusableFolder(controls, comm::readMountTable());
    if (refused) {
        formkit::showInputError(refused->message);
        formkit::requestFocus(editOf(refused->edit));
        return false;
    }
    comm::Mode = std::get<comm::TComModeSettings>(checked);
    return true;
}

void TSetComModeForm::TekiyouBtnClick()
{
    if (ChangeData())
        accept();
}

void TSetComModeForm::UpDateBtnClick()
{
    if (!ChangeData())
        return;
    platform::TRegistry registry;
    if (!comm::storeModeControls(registry, controlValues())) {
        platform::MsgStyle style = formkit::stopStyle();
        style.modality = platform::MsgModality::Task;
        style.foreground = true;
        platform::ui().messageBox(comm::storeFailureMessage(), comm::storeFailureCaption(), style);
        // The entries are in force for this run all the same; "適用" lets the operator go on with
        // them instead of being held in a dialog that can never store.
        TekiyouBtn->setEnabled(true);
        return;
    }
    CancelBtn->setEnabled(true);
    accept();
}

void TSetComModeForm::CancelBtnClick()
{
    close();
}

void TSetComModeForm::browse(int mode, QLineEdit *edit)
{
    SetFolderMode = mode;
    SetFolderPath = edit->text();
    {
        TSetFolderForm form(this);
        platform::ui().showModal(form);
    }
    if (!SetFolderPath.isEmpty())
        edit->setText(SetFolderPath);
}

void TSetComModeForm::LogSanshouBtnClick()
{
    browse(1, LogFileFolder);
}

void TSetComModeForm::RxSanshouBtnClick()
{
    browse(2, RxFolder);
}

void TSetComModeForm::TxSanshouBtnClick()
{
    browse(3, TxFolder);
}
