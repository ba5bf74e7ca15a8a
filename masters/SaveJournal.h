#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The record a save of a master and its width file keeps beside the master while it replaces them.
//
// Before the first of the two files is replaced, the save writes (and syncs) the journal
// "<master>.saving": for each of the two files, whether there was one, and the name of the second
// link (or, where the file system has no hard links, the new name) under which the old file is kept,
// "<file>.old-XXXXXX". While the journal exists, the old pair is what holds: a save that stops for
// any reason is undone by putting the kept files back and removing what had none. The journal goes
// once both new files are in place; the kept files after it.
namespace masters {

struct SaveJournal {
    // The suffix of "<file>.old-" under which the old file is kept; nothing when there was none.
    std::optional<QString> master;
    std::optional<QString> width;

    QByteArray text() const;
    static std::optional<SaveJournal> parse(const QByteArray &text);
};

QString journalPath(const QString &masterTarget);
// The name under which the old target is kept, for a suffix of the journal.
QString keptPath(const QString &target, const QString &suffix);
// A suffix for which keptPath(target, ...) names nothing yet.
QString freeKeptSuffix(const QString &target);

// Puts the old pair back as the journal says: each kept file over its target, and a target the
// journal says was not there removed. False (error says why) when a file could not be put back.
bool rollBack(const SaveJournal &journal, const QString &masterTarget, const QString &widthTarget,
              QString *error);
// Without a journal: a width file that does not fit its master's records, beside a kept old width
// file that does, is what a save that stopped between its two renames left before saves kept a
// journal. The kept one is put back; true when it was.
bool restoreFittingWidthFile(const QString &masterTarget, const QString &widthTarget);
// Removes the temporary files and kept old files that saves of target left beside it.
void removeSaveLeftovers(const QString &target);

} // namespace masters
