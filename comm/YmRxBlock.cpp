#include "comm/YmRxBlock.h"

namespace comm {

RxBlockNumber checkBlockNumber(quint8 block, quint8 complement, quint8 expected)
{
    const auto matches = [&](quint8 number) {
        return block == number && complement == static_cast<quint8>(255 - number);
    };
    if (matches(expected))
        return RxBlockNumber::Expected;
    if (matches(static_cast<quint8>(expected - 1)))
        return RxBlockNumber::Previous;
    return RxBlockNumber::Bad;
}

} // namespace comm
