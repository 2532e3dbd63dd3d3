// Comm event bits from two looks at a tty: its input lines and the driver's counters.
#pragma once

#include "platform/win_types.h"
#include "platform_posix/tty_control.h"

namespace varnet::posix {

struct LineSnapshot {
  int lines = 0;  // ModemLine bits
  LineCounters counters;
};

// EV_CTS, EV_DSR, EV_RLSD and EV_RING for an input line whose level or change counter moved (a
// pulse shorter than the time between two looks shows only in the counter; cdc-acm does not count
// CTS changes, so the level is compared too); EV_BREAK for a break received; EV_ERR for a framing,
// parity or overrun error.
DWORD LineEventBits(const LineSnapshot& before, const LineSnapshot& after);

}  // namespace varnet::posix
