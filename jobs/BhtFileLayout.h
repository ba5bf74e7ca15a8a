#pragma once

#include "jobs/DataType.h"

// Parts of a job derived from its items: the layout of the record the terminal stores, and the
// screen lines each item takes on the terminal.

// Fills job.BhtFileFld; true when the record has fewer than 24 fields and is under 65536 bytes.
// Counts above the lists' sizes are taken as the sizes.
bool GetBhtFld(TGyData &job);

// The length a string item's KDMax holds: 0 for text that is no number; a number too long for 64
// bits is as long (or, negative, as short) as can be.
qint64 KoLimitLength(const QString &kdMax);

// Screen lines of one item without its name line. totalShown: a data item of a mode B job that
// shows its running total, whose longest case takes 8 lines instead of 9.
int KoScreenLines(const TKoData &item, bool totalShown);

// Fill GrPgKoYn (DaPgKoYn) and return the index of the first item of the screen that ends with
// item kn; -1 for a job without group (data) items, which is then left unchanged.
int GetGrPage(TGyData &job, int kn);
int GetDaPage(TGyData &job, int kn);
