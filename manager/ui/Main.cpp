#include "Main.h"

#include "comm/ui/ComMain.h"
#include "comm/ui/CorlissL.h"
#include "comm/ui/SetComPara.h"
#include "comm/ui/TransferPort.h"
#include "common/ui/FormKit.h"
#include "jobs/ui/SetGyoumu.h"
#include "masters/ui/MasterEdit.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"
#include "platform/UiService.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

QString AppPath;
TMainForm *MainForm = nullptr;

namespace {

const QString AddinDialogTitle = QStringLiteral("送信アドインプログラム選択");
const QString AddinDialogFilter = QStringLiteral("*.PD4,*.FN3 (*.PD4 *.FN3)");
const QString SendDialogTitle = QStringLiteral("送信ファイル選択");
const QString SendDialogFilter = QStringLiteral("*.* (*)");

// The library takes paths as the bytes of the terminal's code page.
QByteArray pcPath(const QString &path)
{
    return platform::cp932::encode(path);
}

QPixmap terminalPicture(QSize size)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, size.height());
    body.setColorAt(0, QColor(0x2b, 0x4c, 0x7e));
    body.setColorAt(1, QColor(0x10, 0x20, 0x40));
    const QRectF outline(16, 8, size.width() - 32, size.height() - 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawRoundedRect(outline, 14, 14);
    painter.setBrush(QColor(0xcf, 0xe8, 0xd0));
    painter.drawRect(QRectF(outline.left() + 8, outline.top() + 24, outline.width() - 16, 70));
    painter.setPen(Qt::white);
    painter.drawText(QRectF(outline.left(), outline.top() + 110, outline.width(), 24), Qt::AlignCenter,
                     QStringLiteral("BHT-800"));
    return picture;
}

} // namespace

TMainForm::TMainForm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(330, 300);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(100, 255);
    Image1->setScaledContents(true);
    Image1->setPixmap(terminalPicture(Image1->size()));

    GyoumuBtn = addButton("GyoumuBtn", QStringLiteral("業務設定データ作成/編集/転送"));
    MasterBtn = addButton("MasterBtn", QStringLiteral("ﾏｽﾀｰﾌｧｲﾙ作成／編集/転送"));
    FerPrgBtn = addButton("FerPrgBtn", QStringLiteral("Ferrolinプログラム転送"));
    AddinProgBtn = addButton("AddinProgBtn", QStringLiteral("アドインプログラム転送"));
    AiCdTblBtn = addButton("AiCdTblBtn", QStringLiteral("ＡＩコードテーブル転送"));
    RcvBtn = addButton("RcvBtn", QStringLiteral("データ受信"));
    SendBtn = addButton("SendBtn", QStringLiteral("データ送信"));
    SetComBtn = addButton("SetComBtn", QStringLiteral("通信条件設定"));
    QueryBtn = addButton("QueryBtn", QStringLiteral("問い合わせ"));
    HPBtn = addButton("HPBtn", QStringLiteral("ｻﾎﾟｰﾄWebｻｲﾄ"));
    EndBtn = addButton("EndBtn", QStringLiteral("終了"));

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(2);
    const QList<QPushButton *> order = {GyoumuBtn, MasterBtn, FerPrgBtn, AddinProgBtn, AiCdTblBtn, RcvBtn,
                                        SendBtn,   SetComBtn, QueryBtn,  HPBtn,        EndBtn};
    for (QPushButton *button : order)
        buttons->addWidget(button);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(buttons, 1);

    connect(GyoumuBtn, &QPushButton::clicked, this, &TMainForm::GyoumuBtnClick);
    connect(MasterBtn, &QPushButton::clicked, this, &TMainForm::MasterBtnClick);
    connect(FerPrgBtn, &QPushButton::clicked, this, &TMainForm::FerPrgBtnClick);
    connect(AddinProgBtn, &QPushButton::clicked, this, &TMainForm::AddinProgBtnClick);
    connect(AiCdTblBtn, &QPushButton::clicked, this, &TMainForm::AiCdTblBtnClick);
    connect(RcvBtn, &QPushButton::clicked, this, &TMainForm::RcvBtnClick);
    connect(SendBtn, &QPushButton::clicked, this, &TMainForm::SendBtnClick);
    connect(SetComBtn, &QPushButton::clicked, this, &TMainForm::SetComBtnClick);
    connect(QueryBtn, &QPushButton::clicked, this, &TMainForm::QueryBtnClick);
    connect(HPBtn, &QPushButton::clicked, this, &TMainForm::HPBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, &TMainForm::EndBtnClick);

    FormCreate();
}

QPushButton *TMainForm::addButton(const char *name, const QString &caption)
{
    return formkit::button(name, caption, this);
}

void TMainForm::FormCreate()
{
    setWindowTitle(manager::AppTitle);

    platform::TRegistry registry;
    const manager::ComValues com = manager::readComValues(registry);
    ComP = com.ComP;
    ComSpeed = com.ComSpeed;
    RcvMode = com.RcvMode;
    WrMode = com.WrMode;
    const manager::SendValues send = manager::readSendValues(registry);
    SendFolder = send.SendFolder;
    SendFile = send.SendFile;
    ComPort = manager::comPortName(ComP);
}

void TMainForm::FormClose()
{
    platform::TRegistry registry;
    manager::writeSendValues(registry, {SendFolder, SendFile});
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TMainForm::runTransfer(int kind, const std::function<std::optional<int>(int handle)> &operation)
{
    const formkit::WindowLock lock(this);
    const int handle = openTransferPort(this, ComPort, ComSpeed);
    if (handle != -1) {
        if (const std::optional<int> result = operation(handle))
            YmErrorMsg(kind, *result);
        YmComClose(handle);
    }
}

void TMainForm::GyoumuBtnClick()
{
    // The main menu stays disabled, and cannot be closed, while the editor is open.
    const formkit::WindowLock lock(this);
    TSetGyForm form(AppPath, ComPort, ComSpeed, this);
    // A window of its own: the disabled main menu must not disable it.
    form.setEnabled(true);
    platform::ui().showModal(form);
}

void TMainForm::MasterBtnClick()
{
    const formkit::WindowLock lock(this);
    TMasterForm form(ComPort, ComSpeed, this);
    form.setEnabled(true);
    platform::ui().showModal(form);
}

void TMainForm::FerPrgBtnClick()
{
    runTransfer(0, [](int handle) {
        return std::optional<int>(YmSendFile(handle, pcPath(AppPath + QStringLiteral("Prog/FerPk800.PD4")),
                                             QByteArrayLiteral("FERPK800.PD4"), QByteArray()));
    });
}

void TMainForm::AddinProgBtnClick()
{
    runTransfer(0, [](int handle) -> std::optional<int> {
        const QString chosen = platform::ui().openFileName(
            AddinDialogTitle, AppPath + QStringLiteral("AddInPrg"), AddinDialogFilter);
        if (chosen.isEmpty())
            return std::nullopt;
        return YmSendFile(handle, pcPath(chosen), QByteArray(), QByteArray());
    });
}

void TMainForm::AiCdTblBtnClick()
{
    runTransfer(5, [](int handle) {
        return std::optional<int>(YmSendFile(handle, pcPath(AppPath + QStringLiteral("AiCode.Tbl")),
                                             QByteArrayLiteral("AICODE.TBL"), QByteArrayLiteral("4,1,2")));
    });
}

void TMainForm::RcvBtnClick()
{
    runTransfer(6, [this](int handle) {
        QByteArray receivedName;
        QByteArray fieldList;
        return std::optional<int>(YmRecvFile(handle, QByteArray(), RcvMode, WrMode, receivedName, fieldList));
    });
}

void TMainForm::SendBtnClick()
{
    runTransfer(5, [this](int handle) -> std::optional<int> {
        manager::SendDialogStart start =
            manager::prepareSendDialog({SendFolder, SendFile}, QFileInfo::exists(SendFile));
        if (start.forgetSendFile)
            SendFile.clear();
        // With no folder remembered, start where the library takes bare file names from.
        if (start.folder.isEmpty())
            start.folder = comm::Mode.DefTxFolder;
        const QString chosen =
            platform::ui().openFileName(SendDialogTitle, manager::dialogStartPath(start), SendDialogFilter);
        if (chosen.isEmpty())
            return std::nullopt;
        SendFolder = manager::folderOf(chosen);
        SendFile = chosen;
        return YmSendFile(handle, pcPath(SendFile), QByteArray(), QByteArray());
    });
}

void TMainForm::SetComBtnClick()
{
    comm::ComConditions conditions{
        .ComP = ComP, .ComSpeed = ComSpeed, .RcvMode = RcvMode, .WrMode = WrMode, .ComPort = ComPort};
    TSetComForm form(conditions, this);
    if (platform::ui().showModal(form) != QDialog::Accepted)
        return;
    ComP = conditions.ComP;
    ComSpeed = conditions.ComSpeed;
    RcvMode = conditions.RcvMode;
    WrMode = conditions.WrMode;
    ComPort = conditions.ComPort;
}

void TMainForm::QueryBtnClick()
{
    const formkit::WindowLock lock(this);
    const QString page = AppPath + QStringLiteral("help/index.html");
    // Without a browser the shell open fails silently; tell the operator where the page is instead.
    if (!platform::ui().openDocument(page))
        platform::ui().messageBox(QStringLiteral("ヘルプページを開けませんでした。\n") + page, windowTitle(),
                                  {.icon = platform::MsgIcon::Information});
}

void TMainForm::HPBtnClick() {}

void TMainForm::EndBtnClick()
{
    close();
}
