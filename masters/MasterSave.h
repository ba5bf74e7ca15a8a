#pragma once

#include <QString>
#include <vector>

namespace masters {

class RecordStore;

// Writes the records of store as the master at masterPath and the widths as its width file beside
// it (beside the file a link at masterPath points to). Both new files are written and synced before
// either replaces the old one, and the two renames follow each other: on any failure, and after a
// crash at any moment once the next open or save has run, the pair on disk is the old one or the
// new one, never one of each. The save holds the master's turn (see MasterLock) from start to end,
// and settles what interrupted saves left before it begins. True exactly when the new pair is the
// one on disk; on failure error says why, and busy tells whether another program kept the master's
// turn for the whole wait.
bool saveMasterFiles(RecordStore &store, const QString &masterPath, const std::vector<int> &widths,
                     QString *error = nullptr, bool *busy = nullptr);

// The points a save passes, in order.
enum class SaveStep {
    MasterWritten,  // the new master is written to its own new file
    MasterSynced,   // ... and synced
    WidthSynced,    // the new width file too
    JournalWritten, // from here a stop means the old pair is put back
    MasterKept,     // the old master has a second name
    WidthKept,
    MasterReplaced,
    WidthReplaced,
    FoldersSynced,
    JournalRemoved, // the journal says done: the new pair holds
    KeptRemoved,    // the second names and the journal are gone
};
// For tests that stop a save at a step, or fail it there as an I/O error would (the hook returns
// false). Nothing else sets it.
using SaveStepHook = bool (*)(SaveStep);
void setSaveStepHook(SaveStepHook hook);

} // namespace masters
