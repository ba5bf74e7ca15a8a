#include "EditorHandOff.h"

#include "common/FerPrgLib.h"
#include "jobs/BnfFile.h"
#include "tests/support/TestIsolation.h"
#include "tests/support/programs/TestPrograms.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace handofftest {

Editor::Editor(const QString &gyName, const QString &programName, int addInCount, const QByteArray &para0,
               const QByteArray &para1)
    : form(testsupport::testProgramFolder(), QStringLiteral("COM1"), 115200)
{
    TSetData &set = form.Set();
    InitSetData(set);
    set.GyCount = 1;
    set.TmpGyNo = 0;
    TGyData &shown = set.GyData[0];
    shown.GyName = gyName;
    shown.GyMode = 7; // "X": an add-in job
    shown.PName = programName;
    shown.AddInCount = addInCount;
    shown.AddInData[0] = para0;
    shown.AddInData[1] = para1;
    form.GNameSE->setText(gyName);
    form.PNameSE->setText(programName.toLower());
}

QString pressAddInButton(Editor &editor, const QString &script, bool *disabledMeanwhile)
{
    const QString scriptFile = testsupport::caseFolder() + QStringLiteral("/operator.txt");
    const QString logFile = testsupport::caseFolder() + QStringLiteral("/program.log");
    QFile::remove(logFile);
    QFile file(scriptFile);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(file.write(script.toUtf8()), script.toUtf8().size());
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
        return !GetAddInSetPrg(testsupport::testProgramFolder(), name).isEmpty();
    };
    EXPECT_EQ(SaveBnf(path, editor.form.Set(), editor.form.basePageValues(), known), BnfResult::Ok);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray &line : lines)
        line.chop(1);
    return lines;
}

} // namespace handofftest
