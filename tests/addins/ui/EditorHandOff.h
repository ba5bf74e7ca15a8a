#pragma once

#include "jobs/ui/SetGyoumu.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Test tooling shared by the tests that run a real settings program from the job settings editor:
// the editor with one prepared mode X job, the job page's button pressed with an operator played
// from script inside the started program, and the set saved as a .BNF.
namespace handofftest {

// The editor with one mode X job on its job page. The job holds addInCount and the two strings;
// its program field shows programName in lower case, as an operator may type it.
struct Editor {
    Editor(const QString &gyName, const QString &programName, int addInCount, const QByteArray &para0,
           const QByteArray &para1);

    TSetGyForm form;
    TGyData &job() { return form.Set().GyData[0]; }
};

// Presses the job page's "アドインプログラム設定" button, which starts the program's test build
// played from script (tests/support/programs/OperatorScript.h), and waits for its end. Returns what the
// program logged (one line per message box or beep); disabledMeanwhile tells whether the editor was disabled
// while it ran.
QString pressAddInButton(Editor &editor, const QString &script, bool *disabledMeanwhile);

// The editor's set saved as SET.BNF in the case folder, one entry per line without its line end.
QList<QByteArray> savedLines(Editor &editor);

} // namespace handofftest
