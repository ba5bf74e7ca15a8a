#pragma once

// The communication library: the one procedural interface every transfer goes through.
// Calling order: YmInitialize once at start; then per transfer YmComOpen, one of YmSendFile /
// YmSendBnf / YmRecvFile, YmErrorMsg with the result, YmComClose.
//
// All operations run on the user-interface thread. The transfer operations wait for the transfer's
// end while the caller's events keep running, so a caller disables its own window first.
// Byte-string arguments are Shift-JIS; paths are decoded from them.
//
// Result codes: 0 normal end, 1 cancelled, 2 interrupted, 3 bad handle, 4 not ready or busy,
// 5 and above the errors of comm/CorlissRules.h (resultText).

#include <QByteArray>
#include <QString>

class QWidget;

// Loads the mode settings; when they are incomplete (YmLoadSetting has said why) the mode dialog
// asks for them, modally, before the library is ready. Always true.
bool YmInitialize();
// Reads the mode settings from the registry into the library (read only; missing values keep their
// defaults); true when they are complete, else shows why and returns false.
bool YmLoadSetting();
// Shows the mode dialog, owned by owner, until it closes: true. False before YmInitialize.
bool YmSetMode(QWidget *owner);
// Opens "COM1" to "COM9" (any case) at one of the supported speeds; the port handle, or -1.
// While a port is open it returns that port's handle whatever the arguments.
int YmComOpen(QWidget *owner, const QByteArray &portName, int speed);
int YmSendFile(int handle, const QByteArray &pcFile, const QByteArray &bhtName, const QByteArray &fieldList);
// As YmSendFile, but the progress window is always shown and the CSV options are not applied.
int YmSendBnf(int handle, const QByteArray &pcFile, const QByteArray &bhtName, const QByteArray &fieldList);
// Receives into folder (DefRxFolder when empty). receivedName and fieldList get the last stored file's
// name and its field list (widths separated by commas), both empty after a failure.
int YmRecvFile(int handle, const QByteArray &folder, int continuous, int append, QByteArray &receivedName,
               QByteArray &fieldList);
// Shows the result code's message under the caption of the operation kind (0 to 6); 1 and 2 show nothing.
void YmErrorMsg(int kind, int code);
// 0 closed, 1 handle -1, 2 the transfer would not end (the port stays open), 3 bad handle or not ready.
int YmComClose(int handle);
// The transfer log path of the open port for the current date and LogFileMode.
QString YmLogFileName();
// First line of the ".fld" file beside pcFile, trimmed; empty when there is none.
QString YmReadFldFile(const QString &pcFile);
