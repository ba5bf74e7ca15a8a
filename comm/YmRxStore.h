#pragma once

#include <QDate>
#include <QString>

// Moving a received file from its temporary file into the receive folder. The operator's old file
// stays untouched until the new content is complete and on disk; then one rename puts the new file
// in place (platform/AtomicFile.h).
namespace comm {

// The stored name of a record data file: every "YYMMDD" becomes the given day as yymmdd.
QString withReceiveDate(const QString &name, const QDate &today);

// Replaces target by a copy of source. False on any read or write error, the last flush included
// (a full disk); target is then byte for byte as before and error (when given) says why.
bool replaceWithReceived(const QString &source, const QString &target, QString *error = nullptr);

// Replaces target by its own bytes followed by the bytes of source (a missing target counts as
// empty): the new records are all added or none is. Failures as for replaceWithReceived.
bool appendReceived(const QString &source, const QString &target, QString *error = nullptr);

} // namespace comm
