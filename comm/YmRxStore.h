#pragma once

#include <QDate>
#include <QString>

// Moving a received file from its temporary file into the receive folder. The operator's old file
// stays untouched until the new content is complete; then one rename puts the new file in place.
namespace comm {

// The stored name of a record data file: every "YYMMDD" becomes the given day as yymmdd.
QString withReceiveDate(const QString &name, const QDate &today);

// Replaces target by a copy of source. False on any read or write error; target is then as before.
bool replaceWithReceived(const QString &source, const QString &target);

// Replaces target by its own bytes followed by the bytes of source (a missing target counts as
// empty). False on any read or write error; target is then as before.
bool appendReceived(const QString &source, const QString &target);

} // namespace comm
