#pragma once

#include "YmToolArgs.h"

#include <QString>

// Writes the command line's transfer options into the settings store as the communication settings
// the library reads: the CSV options, the log (into logFolder), the progress window shown, and
// defaultFolder as the default send and receive folder. Into the store HARBROOK_REGISTRY names.
bool writeCommSettings(const YmToolArgs &args, const QString &logFolder, const QString &defaultFolder,
                       QString &error);
