#include "manager/Startup.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"
#include "tests/support/programs/MessageLog.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::MsgIcon;
using platform::OsVersion;

TEST(StartupTest, VersionRefusals)
{
    struct Case {
        OsVersion version;
        const char *text; // empty: accepted
        bool foreground;
    };
    const Case cases[] = {
        {{false, 2, 6, 1}, "Windowsﾊﾞｰｼﾞｮﾝ情報を取得できません！！", false},
        {{true, 1, 6, 1}, "お使いのOSでは本ソフトウェアはご利用できません。", true},
        {{true, 2, 5, 0}, "お使いのOSでは本ソフトウェアはご利用できません。", true},
        {{true, 2, 4, 9}, "お使いのOSでは本ソフトウェアはご利用できません。", true},
        {{true, 2, 5, 1}, "", false},
        {{true, 2, 6, 0}, "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.version.ok << " " << c.version.platformId << " "
                                        << c.version.major << "." << c.version.minor);
        const auto refusal = manager::versionRefusal(c.version);
        if (!*c.text) {
            EXPECT_FALSE(refusal.has_value());
            continue;
        }
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->text, QString::fromUtf8(c.text));
        EXPECT_EQ(refusal->style.icon, MsgIcon::Stop);
        EXPECT_EQ(refusal->style.foreground, c.foreground);
    }
    const manager::StartRefusal second = manager::secondInstanceRefusal();
    EXPECT_EQ(second.text, QStringLiteral("既にこのプログラムは起動しています。"));
    EXPECT_EQ(second.style.icon, MsgIcon::Stop);
    EXPECT_TRUE(second.style.foreground);
}

TEST(MessageLogTest, LogsEachBoxAndAnswersItWithItsDefault)
{
    testsupport::RecordingUiService inner;
    const QString path = QDir(testsupport::caseFolder()).filePath(QStringLiteral("boxes.log"));
    testsupport::MessageLogUiService logging(inner, path);

    platform::MsgStyle question;
    question.buttons = platform::MsgButtons::YesNo;
    question.defaultButton = 2;
    EXPECT_EQ(
        logging.messageBox(QStringLiteral("上書きしますか？\r\n次の行"), QStringLiteral("確認"), question),
        platform::MsgResult::No);
    EXPECT_EQ(logging.messageBox(QStringLiteral("正常終了"), QStringLiteral("データ送信"), {}),
              platform::MsgResult::Ok);
    logging.beep();
    EXPECT_TRUE(logging.openDocument(QStringLiteral("/x/help/index.html")));

    EXPECT_EQ(inner.messageBoxCount(), 0);
    EXPECT_EQ(inner.beepCount(), 1);
    ASSERT_EQ(inner.events().size(), 2u);
    EXPECT_EQ(inner.events()[1].text, QStringLiteral("/x/help/index.html"));
    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(log.readAll()),
              QStringLiteral("確認\t上書きしますか？\\r\\n次の行\nデータ送信\t正常終了\n"));
}

TEST(StartupTest, AppPathIsTheProgramFolder)
{
    EXPECT_EQ(manager::appPathOf(QStringLiteral("/opt/h/bin/harbrook")), QStringLiteral("/opt/h/bin/"));
}
