#pragma once

#include <QString>

namespace testsupport {

// The folder of the programs' test builds (olvide-scripted, harbrook-logged, ...) and of the
// AddIn.lst that names them, ending in a separator as AppPath does.
inline QString testProgramFolder()
{
    return QStringLiteral(HARBROOK_TEST_PROGRAM_DIR "/");
}

} // namespace testsupport
