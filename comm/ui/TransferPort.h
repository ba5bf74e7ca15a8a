#pragma once

#include <QString>

class QWidget;

// Opens the port of a transfer the way every caller does: YmComOpen with the port's name and speed,
// and when the port will not open, the port box ("通信ポート" and the port's name). The handle, or -1.
int openTransferPort(QWidget *owner, const QString &comPort, int comSpeed);
