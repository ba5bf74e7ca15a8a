#pragma once

#include <QString>
#include <vector>

namespace masters {

class RecordStore;

// Writes the records of store as the master at masterPath and the widths as its width file beside
// it. Both files are replaced whole: on any failure the master and the width file that were there
// stay byte for byte as they were, and error says why.
bool saveMasterFiles(RecordStore &store, const QString &masterPath, const std::vector<int> &widths,
                     QString *error = nullptr);

} // namespace masters
