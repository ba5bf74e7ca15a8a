#pragma once

#include "comm/YmThread.h"

#include <QString>

namespace comm {

// Class of a received file by the upper-case extension of its name (with the dot). Names that are
// neither binary nor field definitions are record data, as CSV when CSV receive is on (a job
// settings file always stays fixed-width).
TFileType rxFileType(const QString &ext, bool csvReceive);

bool isRecordData(TFileType type);
bool isBinary(TFileType type);

} // namespace comm
