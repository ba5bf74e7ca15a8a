#include "addins/olvide/OlvidePara.h"
#include "common/FerPrgLib.h"
#include "jobs/BnfFile.h"
#include "jobs/ui/SetGyoumu.h"
#include "tests/support/RecordingUiService.h"
#include "tests/support/TestIsolation.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The editor with one mode X job of the GS1 date check add-in on the job page.
struct Editor {
    TSetGyForm form{testsupport::programFolder() + QStringLiteral("/"), QStringLiteral("COM1"), 115200};

    explicit Editor(int addInCount, const QByteArray &para0)
    {
        TSetData &set = form.Set();
        InitSetData(set);
        set.GyCount = 1;
        set.TmpGyNo = 0;
        TGyData &job = set.GyData[0];
        job.GyName = QStringLiteral("賞味期限");
        job.GyMode = 7;
        job.PName = QStringLiteral("GS1DATE.PD4");
        job.AddInCount = addInCount;
        job.AddInData[0] = para0;
        job.AddInData[1] = "stale line";
        form.GNameSE->setText(job.GyName);
        form.PNameSE->setText(QStringLiteral("gs1date.pd4"));
    }
    TGyData &job() { return form.Set().GyData[0]; }
};

// Runs the job page's button with Olvide played from script; returns what Olvide logged.
QString handOff(Editor &editor, const QString &script, bool *disabledMeanwhile)
{
    const QString scriptFile = testsupport::caseFolder() + QStringLiteral("/operator.txt");
    const QString logFile = testsupport::caseFolder() + QStringLiteral("/olvide.log");
    QFile file(scriptFile);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(script.toUtf8());
    file.close();
    qputenv("HARBROOK_OPERATOR_SCRIPT", scriptFile.toLocal8Bit());
    qputenv("HARBROOK_MESSAGE_LOG", logFile.toLocal8Bit());
    QTimer probe;
    probe.setSingleShot(true);
    QObject::connect(&probe, &QTimer::timeout, [&] { *disabledMeanwhile = !editor.form.isEnabled(); });
    probe.start(30);
    editor.form.AddInSetBtn->click();
    qunsetenv("HARBROOK_OPERATOR_SCRIPT");
    qunsetenv("HARBROOK_MESSAGE_LOG");
    QFile log(logFile);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

QList<QByteArray> savedLines(Editor &editor)
{
    const QString path = testsupport::caseFolder() + QStringLiteral("/SET.BNF");
    const AddInKnown known = [](const QString &name) {
        return !GetAddInSetPrg(testsupport::programFolder() + QStringLiteral("/"), name).isEmpty();
    };
    EXPECT_EQ(SaveBnf(path, editor.form.Set(), editor.form.basePageValues(), known), BnfResult::Ok);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray &line : lines)
        line.chop(1);
    return lines;
}

} // namespace

TEST(HandOffTest, ConfirmedOlvideSettingsReachTheJobAndItsFile)
{
    testsupport::RecordingUi ui;
    Editor editor(0, {});
    bool disabled = false;
    const QString log =
        handOff(editor, QStringLiteral("click RssChk\nclick Code128Chk\nnode 4\n"), &disabled);
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
    Editor editor(1, before);
    bool disabled = false;
    const QString log = handOff(editor, QStringLiteral("click RssChk\nanswer Yes\nnode 2\n"), &disabled);
    EXPECT_TRUE(log.contains(QStringLiteral("設定したデータを破棄してもいいですか？"))) << log.toStdString();
    EXPECT_TRUE(log.startsWith(QStringLiteral("賞味期限 設定 (BHT-800)\t"))) << log.toStdString();
    EXPECT_EQ(editor.job().AddInCount, 1);
    EXPECT_EQ(editor.job().AddInData[0], before);
    EXPECT_EQ(editor.job().AddInData[1], QByteArray("stale line"));
    EXPECT_FALSE(editor.form.ChangeFlag);
}
