// How long the serial tests wait on a transfer's completion event. The port's own time-outs
// (set at open) end a transfer sooner: a write after 1 s plus 5 ms a byte, a read at once.
#pragma once

#include "platform/win_types.h"

namespace varnet {

inline constexpr DWORD kWriteWaitMs = 10000;
inline constexpr DWORD kReadWaitMs = 3000;

}  // namespace varnet
