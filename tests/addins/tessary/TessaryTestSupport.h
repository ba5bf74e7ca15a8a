#pragma once

#include "addins/tessary/TessaryPara.h"

#include <ostream>

// Readable failure output for Tessary's records: gtest finds these through the argument's namespace.
namespace tessary {

void PrintTo(const TBarDat &bar, std::ostream *os);
void PrintTo(const TSaveDat &field, std::ostream *os);
void PrintTo(const TTessaryState &state, std::ostream *os);

} // namespace tessary
