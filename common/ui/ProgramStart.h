#pragma once

#include <QString>

class QApplication;

namespace programstart {

// What every program does before its first window: it takes applicationTitle as its name (never
// appended to window captions: each window shows its own caption only), and Qt's own texts (the
// buttons of message boxes, the file dialogs) speak Japanese, as on the operators' systems. Its
// windows stay on the screen. A write past a file-size limit fails with an error instead of ending
// the program.
// False when Qt's Japanese translations are not installed; the program still runs.
bool prepareApplication(QApplication &application, const QString &applicationTitle);

} // namespace programstart
