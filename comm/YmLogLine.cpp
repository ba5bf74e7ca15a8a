#include "YmLogLine.h"

#include "common/FerPrgLib.h"
#include "platform/Cp932.h"

namespace comm {
namespace {

// The first n bytes of the text padded with spaces: a column of the log.
QString column(const QString &text, int n)
{
    return LeftBText(text + QString(30, u' '), n);
}

} // namespace

QString logCodeText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("正常終了");
    case 1:
        return QStringLiteral("取消");
    case 2:
        return QStringLiteral("中断");
    case 6:
        return QStringLiteral("送信ファイルが無い");
    case 10:
        return QStringLiteral("送信データエラー");
    case 11:
        return QStringLiteral("ﾃﾞｨｽｸ空き容量不足");
    case 12:
        return QStringLiteral("ファイルアクセスエラー");
    case 13:
        return QStringLiteral("タイムアウト");
    case 14:
        return QStringLiteral("リトライエラー");
    case 15:
        return QStringLiteral("受信ﾌｨｰﾙﾄﾞﾃﾞｰﾀｴﾗｰ");
    case 16:
        return QStringLiteral("受信データエラー");
    case 17:
        return QStringLiteral("受信ﾊﾞｯﾌｧ読み取りｴﾗｰ");
    case 18:
        return QStringLiteral("送信ﾊﾞｯﾌｧ書き込みｴﾗｰ");
    default:
        return QStringLiteral("想定外のエラー");
    }
}

QByteArray logLine(const LogEntry &entry)
{
    QString line = entry.time.toString(QStringLiteral("MM/dd HH:mm:ss "));
    line += column(entry.bhtName, 14);
    line += entry.recordData ? column(QString::number(entry.records) + QStringLiteral("件"), 12)
                             : column(QString::number(entry.size) + QStringLiteral("ﾊﾞｲﾄ"), 12);
    line += entry.sending ? QStringLiteral("送信  ") : QStringLiteral("受信  ");
    line += column(logCodeText(entry.code), 30);
    return platform::cp932::encode(line) + "\r\n";
}

} // namespace comm
