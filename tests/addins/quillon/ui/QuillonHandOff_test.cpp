#include "addins/quillon/Settings.h"
#include "jobs/ui/SetGyoumu.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"
#include "tests/support/programs/TestPrograms.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

// Valid parameters of a collation job: search key, collation data and their barcodes.
QuillonSettings jobSettings()
{
    QuillonSettings s;
    s.KKNameSE = QStringLiteral("品番");
    s.KKBarDat.BarType = QStringLiteral("A");
    s.KKMstFileSE = QStringLiteral("MASTER.DAT");
    s.SKNameSE = QStringLiteral("照合");
    s.SKBarDat.BarType = QStringLiteral("K");
    s.NgBz.BzHz = 2000;
    s.showSaveDat();
    return s;
}

// The editor with one mode X job of the collation add-in on the job page.
struct Editor {
    TSetGyForm form{testsupport::testProgramFolder(), QStringLiteral("COM1"), 115200};

    Editor(const QByteArray &para0, const QByteArray &para1)
    {
        TSetData &set = form.Set();
        InitSetData(set);
        set.GyCount = 1;
        set.TmpGyNo = 0;
        TGyData &job = set.GyData[0];
        job.GyName = QStringLiteral("照合業務");
        job.GyMode = 7;
        job.PName = QStringLiteral("COLLATE.PD4");
        job.AddInCount = 2;
        job.AddInData[0] = para0;
        job.AddInData[1] = para1;
        form.GNameSE->setText(job.GyName);
        form.PNameSE->setText(QStringLiteral("collate.pd4"));
    }
    TGyData &job() { return form.Set().GyData[0]; }
};

// Runs the job page's button with Quillon played from script; returns what Quillon logged.
QString handOff(Editor &editor, const QString &script)
{
    const QString scriptFile = testsupport::caseFolder() + QStringLiteral("/operator.txt");
    const QString logFile = testsupport::caseFolder() + QStringLiteral("/quillon.log");
    QFile file(scriptFile);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();
    qputenv("HARBROOK_OPERATOR_SCRIPT", scriptFile.toLocal8Bit());
    qputenv("HARBROOK_MESSAGE_LOG", logFile.toLocal8Bit());
    editor.form.AddInSetBtn->click();
    qunsetenv("HARBROOK_OPERATOR_SCRIPT");
    qunsetenv("HARBROOK_MESSAGE_LOG");
    QFile log(logFile);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

} // namespace

TEST(QuillonHandOffTest, ConfirmedParametersComeBackIntoTheJob)
{
    testsupport::RecordingUi ui;
    QuillonSettings s = jobSettings();
    // The first confirm fails on the unnamed collation master; the operator names it and confirms.
    s.KKMstFileSE.clear();
    Editor editor(BuildPara0(s), BuildPara1(s, *LimitsOf(800)));
    const QString log = handOff(editor, QStringLiteral("node 1\ntype KKNameSE 2\nanswer Ok\nnode 6\n"
                                                       "type KKMstFileSE mst.dat\nnode 6\n"));
    EXPECT_TRUE(log.contains(QStringLiteral("入力エラー\tマスターファイル名を入力してください。")))
        << log.toStdString();
    EXPECT_EQ(ui.messageBoxCount(), 0);

    s.KKNameSE = QStringLiteral("品番2");
    s.KKMstFileSE = QStringLiteral("MST.DAT");
    EXPECT_EQ(editor.job().AddInCount, 1);
    EXPECT_EQ(editor.job().AddInData[0], BuildPara0(s));
    EXPECT_EQ(editor.job().AddInData[1], BuildPara1(s, *LimitsOf(800)));
    EXPECT_TRUE(editor.form.ChangeFlag);
}

TEST(QuillonHandOffTest, CancelledQuillonLeavesTheJobUntouched)
{
    testsupport::RecordingUi ui;
    QuillonSettings s = jobSettings();
    const QByteArray para0 = BuildPara0(s), para1 = BuildPara1(s, *LimitsOf(800));
    Editor editor(para0, para1);
    const QString log = handOff(editor, QStringLiteral("node 1\ntype SKNameSE X\nanswer Yes\nnode 4\n"));
    EXPECT_TRUE(log.contains(QStringLiteral("アドイン照合設定\t設定したデータを破棄してもいいですか？")))
        << log.toStdString();
    EXPECT_EQ(editor.job().AddInCount, 2);
    EXPECT_EQ(editor.job().AddInData[0], para0);
    EXPECT_EQ(editor.job().AddInData[1], para1);
}
