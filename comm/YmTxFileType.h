#pragma once

#include "comm/YmThread.h"

#include <QString>

// Class of a file to send by the upper-case extension of its terminal-side name (with the dot). The
// library decides by the same class whether a send needs a field list: a binary class goes as one
// file of the batch without one, everything else as a field definition followed by its records.
namespace comm {

struct TxFileClass {
    TFileType type;
    QString label; // the progress label after the name
};

TxFileClass txFileClass(const QString &ext);

// True for the extensions whose files go without a field list.
bool sendsAsBinary(const QString &ext);

} // namespace comm
