#include "EditorHandOff.h"
#include "addins/olvide/OlvidePara.h"
#include "tests/support/RecordingUiService.h"

#include <gtest/gtest.h>

using handofftest::Editor;
using handofftest::pressAddInButton;
using handofftest::savedLines;

namespace {

// The editor with one mode X job of the GS1 date check add-in on the job page.
Editor olvideJob(int addInCount, const QByteArray &para0)
{
    return Editor(QStringLiteral("賞味期限"), QStringLiteral("GS1DATE.PD4"), addInCount, para0, "stale line");
}

} // namespace

TEST(HandOffTest, ConfirmedOlvideSettingsReachTheJobAndItsFile)
{
    testsupport::RecordingUi ui;
    Editor editor = olvideJob(0, {});
    bool disabled = false;
    const QString log =
        pressAddInButton(editor, QStringLiteral("click RssChk\nclick Code128Chk\nnode 4\n"), &disabled);
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(editor.form.isEnabled());
    EXPECT_EQ(log, QString()) << log.toStdString(); // no box, no beep
    EXPECT_EQ(ui.messageBoxCount(), 0);

    // Exactly the bytes Olvide writes for the defaults with GS1 DataBar and Code128 on model 800.
    olvide::OlvideSettings expected = olvide::DefaultSettings();
    expected.Symbologies.tick(addins::Symbology::Rss);
    expected.Symbologies.tick(addins::Symbology::Code128);
    const QByteArray para0 = olvide::WritePara(expected, 800);
    ASSERT_EQ(para0.left(13), QByteArray("17S000101>RK "));
    EXPECT_EQ(editor.job().AddInCount, 1);
    EXPECT_EQ(editor.job().AddInData[0], para0);
    EXPECT_EQ(editor.job().AddInData[1], QByteArray());
    EXPECT_TRUE(editor.form.ChangeFlag);

    const QList<QByteArray> lines = savedLines(editor);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1].mid(18, 14), QByteArray("XGS1DATE.PD4 1"));
    EXPECT_EQ(lines[1].mid(32), para0 + QByteArray(68, ' '));
    EXPECT_EQ(lines[2], QByteArray(500, ' '));
}

TEST(HandOffTest, CancelledOlvideLeavesTheJobUntouched)
{
    testsupport::RecordingUi ui;
    const QByteArray before = olvide::WritePara(olvide::ReadPara("11=240229<  Q"), 800);
    Editor editor = olvideJob(1, before);
    bool disabled = false;
    const QString log =
        pressAddInButton(editor, QStringLiteral("click RssChk\nanswer Yes\nnode 2\n"), &disabled);
    EXPECT_TRUE(log.contains(QStringLiteral("設定したデータを破棄してもいいですか？"))) << log.toStdString();
    EXPECT_TRUE(log.startsWith(QStringLiteral("賞味期限 設定 (BHT-800)\t"))) << log.toStdString();
    EXPECT_EQ(editor.job().AddInCount, 1);
    EXPECT_EQ(editor.job().AddInData[0], before);
    EXPECT_EQ(editor.job().AddInData[1], QByteArray("stale line"));
    EXPECT_FALSE(editor.form.ChangeFlag);
}
