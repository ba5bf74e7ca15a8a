#pragma once

#include "jobs/DataType.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace jobsuitest {

struct Field {
    const char *name;
    int length;
};

// A mode A job that stores its data, with its collected-data layout computed as the editor does
// before it opens a viewer.
TGyData storingJob(int tStamp, int tsLoc, bool htNo, const std::vector<Field> &group,
                   const std::vector<Field> &data);

// A program folder of this test case whose add-in list names a settings program for TEST.PD4: a
// shell script of body. The folder ends in "/".
QString folderWithSettingsProgram(const QByteArray &body);

} // namespace jobsuitest
