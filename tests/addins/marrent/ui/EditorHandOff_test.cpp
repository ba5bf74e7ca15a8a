#include "addins/marrent/Settings.h"
#include "platform/Cp932.h"
#include "tests/addins/ui/EditorHandOff.h"
#include "tests/support/RecordingUiService.h"

#include <gtest/gtest.h>

using handofftest::Editor;
using handofftest::pressAddInButton;
using handofftest::savedLines;
using namespace marrent;

namespace {

const ModelLimits &model800()
{
    static const ModelLimits limits = *LimitsOf(800); // the model the manager hands over
    return limits;
}

// Settings Marrent confirmed for this job before: a master file and a product code barcode, which
// the script cannot set, since the barcode dialog is a nested form it does not drive.
MarrentSettings earlier()
{
    MarrentSettings s = DefaultSettings(model800());
    s.PKMstFile = QStringLiteral("PICK.DAT");
    s.SCBarDat.BarType = QStringLiteral("A");
    s.SCBarDat.BMax = s.SCBarDat.BMin = 13;
    s.SCBarDat.DTop = 1;
    s.SCBarDat.DLen = 13;
    return s;
}

// The editor with one mode X job of the picking and inspection add-in on the job page.
Editor marrentJob(const ParaStrings &paras)
{
    return Editor(QStringLiteral("出荷検品"), QStringLiteral("PICKINSP.PD4"), 1, paras.Para0, paras.Para1);
}

} // namespace

TEST(MarrentEditorHandOffTest, ConfirmedSettingsReachTheJobAndItsFile)
{
    testsupport::RecordingUi ui;
    const ParaStrings before = EncodeParas(earlier(), model800());
    Editor editor = marrentJob(before);
    bool disabled = false;
    const QString log =
        pressAddInButton(editor,
                         QStringLiteral("click ModePicking\n"
                                        "node 2\nclick DpKubunChk\ntype DpNameSE 伝票\n"
                                        "node 5\nclick SendFileChk\ntype SendFileSE result.dat\n"
                                        "node 9\n"),
                         &disabled);
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(editor.form.isEnabled());
    EXPECT_EQ(log, QString()) << log.toStdString(); // no box, no beep
    EXPECT_EQ(ui.messageBoxCount(), 0);

    // Exactly the bytes Marrent writes for those edits on model 800.
    MarrentSettings edited = DecodeParas(before, model800());
    edited.picking = true;
    edited.DpUsed = true;
    edited.DpName = QStringLiteral("伝票");
    edited.SendUsed = true;
    edited.SendFile = QStringLiteral("RESULT.DAT");
    PrepareForSave(edited);
    const ParaStrings expected = EncodeParas(edited, model800());
    ASSERT_EQ(expected.Para0.size(), 468);
    ASSERT_EQ(expected.Para1.size(), 468);
    ASSERT_EQ(expected.Para0.left(16), QByteArray("1RESULT.DAT    P"));
    ASSERT_EQ(expected.Para0.mid(188, 23),
              "1" + platform::cp932::encode(QStringLiteral("伝票")) + QByteArray(18, ' '));
    ASSERT_EQ(expected.Para0.right(2), QByteArray("P0"));
    // One result field of type "終了情報", the first default; the later fields are written as unused.
    ASSERT_EQ(expected.Para1.mid(130, 26), QByteArray("10a10X01X01X01X01X01X01X01"));
    EXPECT_EQ(editor.job().AddInCount, 1);
    EXPECT_EQ(editor.job().AddInData[0], expected.Para0);
    EXPECT_EQ(editor.job().AddInData[1], expected.Para1);
    EXPECT_TRUE(editor.form.ChangeFlag);

    const QList<QByteArray> lines = savedLines(editor);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[1].mid(18, 14), QByteArray("XPICKINSP.PD41"));
    EXPECT_EQ(lines[1].mid(32), expected.Para0);
    EXPECT_EQ(lines[2], expected.Para1 + QByteArray(32, ' '));
}

TEST(MarrentEditorHandOffTest, CancelledMarrentLeavesTheJobUntouched)
{
    testsupport::RecordingUi ui;
    const ParaStrings before = EncodeParas(earlier(), model800());
    Editor editor = marrentJob(before);
    bool disabled = false;
    // A confirm that fails its checks hands nothing back either.
    const QString log = pressAddInButton(
        editor, QStringLiteral("click ModePicking\nnode 5\nclick SendFileChk\nnode 9\nanswer Yes\nnode 7\n"),
        &disabled);
    EXPECT_EQ(log, QStringLiteral("入力エラー\t送信ファイル名を入力してください。\n"
                                  "アドインピッキング／検品設定\t設定したデータを破棄してもいいですか？\n"));
    EXPECT_TRUE(disabled);
    EXPECT_EQ(editor.job().AddInCount, 1);
    EXPECT_EQ(editor.job().AddInData[0], before.Para0);
    EXPECT_EQ(editor.job().AddInData[1], before.Para1);
    EXPECT_FALSE(editor.form.ChangeFlag);
}
