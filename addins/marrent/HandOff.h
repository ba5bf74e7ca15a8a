#pragma once

#include "Settings.h"

#include <QString>
#include <optional>

// Marrent's side of the hand-off with the manager.
namespace marrent {

struct MarrentLoad {
    ModelLimits limits;
    int SetCount = 0;
    std::optional<QString> GyName;
    QString caption; // the window caption
    MarrentSettings settings;
};

// LoadPara: nothing for a model Marrent does not support (the program then writes nothing and
// ends). With SetCount 0 the settings are the model's defaults.
std::optional<MarrentLoad> LoadMarrent();

// SavePara: the strings of the settings as they stand, handed back with SetCount 1. False with
// error set when the store refused them.
bool SaveMarrent(const MarrentSettings &s, const ModelLimits &limits, QString *error = nullptr);

} // namespace marrent
