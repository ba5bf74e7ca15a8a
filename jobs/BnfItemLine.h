#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>

#include <span>

#include "jobs/DataType.h"

// One group or data item of a job in mode A, B or J as a 500-byte line of the job settings file.
//
// count is the number of items in the item's list and index its 0-based place there.

// The comparison kind the terminal is sent for the item's comparison target: references to
// earlier items compare as the referenced item's type does.
QChar DeriveKBCmpMode(const TGyData &job, bool groupItem, int index);

// The item line, exactly 500 bytes without the line end.
QByteArray SaveKoDat(const TKoData &item, int count, QChar modeLetter, int index);

// Read one item line into item. Fields the line does not carry keep their values. masters are the
// master definitions the set holds: a reference to one of them is counted in its UseCount, a
// reference to any other number is dropped.
//
// The 800 reader serves every file this program writes. It takes the stored flag and the input
// mode from the line where it carries the writer's letters for them; a line without them gives a
// stored item whose input is keys, or keys and barcode when it has symbology letters.
void GetKoDat800(QByteArrayView line, TKoData &item, int count, int index, std::span<TMstDat> masters);
// The 801 reader takes the stored flag and the input mode from the line.
void GetKoDat801(QByteArrayView line, TKoData &item, int count, int index, std::span<TMstDat> masters);
