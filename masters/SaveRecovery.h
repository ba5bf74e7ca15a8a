#pragma once

#include "masters/SaveJournal.h"

#include <QString>

namespace masters {

class MasterLock;

// What an open or a save found of interrupted saves of the master.
struct Recovery {
    enum class Status {
        Done,    // every journal of ours was settled; the pair on disk is the one to use
        Busy,    // another program kept the master's turn for the whole wait
        Refused, // a journal that proves nothing lies beside a pair that does not fit together
        Failed,  // a file could not be put back or read; error says why
    };
    Status status = Status::Done;
    QString path; // Busy: the master; Refused: the journal
    QString error;

    bool ok() const { return status == Status::Done; }
    // The operator's message for Busy and Refused, naming what path names; empty otherwise.
    QString refusalText(bool saving) const;
};

// Settles the journals of interrupted saves beside the master the lock is for, which it holds: each
// journal of ours that names the files on disk is carried out (the old pair put back, or for a done
// one its kept files removed) and goes. A journal that is a link, does not parse, belongs to another
// folder or does not match the files stays, and so does everything it names; the pair on disk is
// then used only when it fits together. No file is ever removed for its name alone.
Recovery recoverInterruptedSaves(const MasterLock &lock);
// The same with a lock of its own, for the master at masterPath (its links followed).
Recovery recoverInterruptedSave(const QString &masterPath);

// Carries out one journal (done: one that says the new pair holds) for the pair masterTarget and
// widthTarget: each file is renamed or removed only when it is the one the journal describes, and
// the journal file, while it is still the file journalIdentity describes, goes last. NotProved:
// nothing was touched.
enum class Settled { Done, NotProved, Failed };
Settled settleJournal(const QString &journalFile, const FileIdentity &journalIdentity,
                      const SaveJournal &journal, bool done, const QString &masterTarget,
                      const QString &widthTarget, QString *error);

// For tests that stop a recovery after each of its renames and removals. Nothing else sets it.
using RecoveryStepHook = void (*)();
void setRecoveryStepHook(RecoveryStepHook hook);

// Whether the master is a whole number of records of the widths in its width file.
bool pairFits(const QString &masterTarget, const QString &widthTarget);

} // namespace masters
