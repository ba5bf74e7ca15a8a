#include "TransferPort.h"

#include "comm/ui/CorlissL.h"
#include "common/ui/FormKit.h"
#include "platform/Cp932.h"
#include "platform/UiService.h"

int openTransferPort(QWidget *owner, const QString &comPort, int comSpeed)
{
    const int handle = YmComOpen(owner, platform::cp932::encode(comPort), comSpeed);
    if (handle == -1) {
        platform::MsgStyle style = formkit::stopStyle();
        style.foreground = true;
        platform::ui().messageBox(comPort + QStringLiteral("をオープンできません"),
                                  QStringLiteral("通信ポート") + comPort, style);
    }
    return handle;
}
