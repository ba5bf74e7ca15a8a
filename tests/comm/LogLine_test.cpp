#include "comm/YmLogLine.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

using namespace comm;

namespace {

const QDateTime When(QDate(2026, 3, 4), QTime(5, 6, 7));

TEST(LogLine, BinarySendLine)
{
    LogEntry e{When, QStringLiteral("PRG.PD4"), false, 0, 1234, true, 0};
    const QByteArray expected = "03/04 05:06:07 " + QByteArray("PRG.PD4") + QByteArray(7, ' ') +
                                platform::cp932::encode(u"1234ﾊﾞｲﾄ") + QByteArray(4, ' ') +
                                platform::cp932::encode(u"送信  ") + platform::cp932::encode(u"正常終了") +
                                QByteArray(22, ' ') + "\r\n";
    EXPECT_EQ(logLine(e), expected);
}

TEST(LogLine, RecordDataCountsRecordsAndLongTextsAreCut)
{
    LogEntry e{When, QStringLiteral("ABCDEFGHIJKLMNOP.DAT"), true, 42, 999, false, 17};
    const QByteArray line = logLine(e);
    ASSERT_EQ(line.size(), 15 + 14 + 12 + 6 + 30 + 2);
    EXPECT_EQ(line.mid(15, 14), QByteArray("ABCDEFGHIJKLMN"));
    EXPECT_EQ(line.mid(29, 12), platform::cp932::encode(u"42件") + QByteArray(8, ' '));
    EXPECT_EQ(line.mid(41, 6), platform::cp932::encode(u"受信  "));

    // A double-byte character cut at the column's edge leaves one byte, not a longer line.
    e.bhtName = QStringLiteral("Aあいうえおかきくけ"); // 19 bytes, byte 14 a lead byte
    EXPECT_EQ(logLine(e).size(), line.size());
}

TEST(LogLine, CodeTexts)
{
    const std::pair<int, const char16_t *> texts[] = {
        {0, u"正常終了"},
        {1, u"取消"},
        {2, u"中断"},
        {6, u"送信ファイルが無い"},
        {7, u"想定外のエラー"},
        {9, u"想定外のエラー"},
        {10, u"送信データエラー"},
        {11, u"ﾃﾞｨｽｸ空き容量不足"},
        {12, u"ファイルアクセスエラー"},
        {13, u"タイムアウト"},
        {14, u"リトライエラー"},
        {15, u"受信ﾌｨｰﾙﾄﾞﾃﾞｰﾀｴﾗｰ"},
        {16, u"受信データエラー"},
        {17, u"受信ﾊﾞｯﾌｧ読み取りｴﾗｰ"},
        {18, u"送信ﾊﾞｯﾌｧ書き込みｴﾗｰ"},
        {-1, u"想定外のエラー"},
    };
    for (const auto &[code, text] : texts)
        EXPECT_EQ(logCodeText(code), QString::fromUtf16(text)) << code;
}

} // namespace
