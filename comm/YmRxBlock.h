#pragma once

#include <QtGlobal>

namespace comm {

enum class RxBlockNumber {
    Bad,      // neither the expected block nor the one before it
    Expected, // the block due next
    Previous, // the block before it again: the terminal missed our ACK
};

// Judges a data frame's block number and complement against the block number due next.
// Block numbers count modulo 256, so block 0 is preceded by block 255.
RxBlockNumber checkBlockNumber(quint8 block, quint8 complement, quint8 expected);

} // namespace comm
