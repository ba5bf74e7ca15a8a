#include "StandIn.h"

namespace programstart {

std::unique_ptr<OperatorStandIn> makeStandIn(platform::UiService &)
{
    return nullptr;
}

} // namespace programstart
