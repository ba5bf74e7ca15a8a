// The set to and from the terminal.

#include "SetGyoumu.h"

#include "comm/ui/CorlissL.h"
#include "comm/ui/TransferPort.h"
#include "common/ui/FormKit.h"
#include "platform/Cp932.h"
#include "platform/UiService.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>

namespace {

constexpr int SendOperation = 1;
constexpr int ReceiveOperation = 2;

} // namespace

void TSetGyForm::SGDatTBtnClick()
{
    if (!checkBeforeWrite())
        return;
    const formkit::WindowLock lock(this);
    const int handle = openTransferPort(this, ComPort, ComSpeed);
    if (handle == -1)
        return;
    // A unique file of our own: never a fixed name another program could plant or share. It is
    // removed on every way out.
    QTemporaryFile temp(QDir::tempPath() + QStringLiteral("/BNFXXXXXX.tmp"));
    if (!temp.open()) {
        bnfSucceeded(BnfResult::CannotCreate);
        YmComClose(handle);
        return;
    }
    temp.close();
    if (bnfSucceeded(saveSetTo(temp.fileName()))) {
        QThread::msleep(50);
        QCoreApplication::processEvents();
        const int result = YmSendBnf(handle, platform::cp932::encode(temp.fileName()), jobs::TerminalBnfName,
                                     jobs::TerminalBnfFields);
        YmErrorMsg(SendOperation, result);
    }
    YmComClose(handle);
}

void TSetGyForm::RGDatTBtnClick()
{
    if (EditFlag && !discardQuestion(QStringLiteral("業務設定を開く")))
        return;
    DspBnfData(false);
    EditFlag = false;
    ChangeFlag = false;
    // A private folder: the terminal names the file, and nothing else may lie where it lands.
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/BNFXXXXXX"));
    if (!folder.isValid()) {
        bnfSucceeded(BnfResult::CannotCreate);
        return;
    }
    const formkit::WindowLock lock(this);
    const int handle = openTransferPort(this, ComPort, ComSpeed);
    if (handle == -1)
        return;
    QByteArray receivedName;
    QByteArray fieldList;
    const int result = YmRecvFile(handle, platform::cp932::encode(folder.path() + QLatin1Char('/')), 0, 0,
                                  receivedName, fieldList);
    YmComClose(handle);
    YmErrorMsg(ReceiveOperation, result);
    if (result != 0)
        return;
    const std::optional<QString> path =
        jobs::receivedFilePath(folder.path(), platform::cp932::decode(receivedName));
    if (!path) {
        bnfSucceeded(BnfResult::CannotOpen);
        return;
    }
    BasePageValues base;
    auto received = std::make_unique<TSetData>();
    InitSetData(*received);
    if (!bnfSucceeded(OpenBnf(*path, *received, base)))
        return;
    takeReadSet(std::move(received), base);
    BnfFile = BnfFolder + jobs::ReceivedSetName;
    setWindowTitle(jobs::setCaption(BnfFile));
    DspBnfData(true);
    EditFlag = true;
    ChangeFlag = false;
}
