// The buffer lengths each driver request takes. The driver refuses a request whose lengths differ,
// so that a caller passing the wrong size sees a failure rather than a half-written answer.
#pragma once

#include <cstdint>

namespace varnet::bench {

// False for an unknown code too.
bool RequestLengthsAccepted(std::uint32_t code, std::uint32_t inLength, std::uint32_t outLength);

}  // namespace varnet::bench
