#include "platform_posix/line_events.h"

namespace varnet::posix {

DWORD LineEventBits(const LineSnapshot& before, const LineSnapshot& after) {
  const LineCounters& a = before.counters;
  const LineCounters& b = after.counters;
  const int moved = before.lines ^ after.lines;
  DWORD bits = 0;
  if ((moved & ModemLine::kCts) != 0 || a.cts != b.cts) {
    bits |= CommEvent::kCts;
  }
  if ((moved & ModemLine::kDsr) != 0 || a.dsr != b.dsr) {
    bits |= CommEvent::kDsr;
  }
  if ((moved & ModemLine::kCd) != 0 || a.dcd != b.dcd) {
    bits |= CommEvent::kRlsd;
  }
  if ((moved & ModemLine::kRi) != 0 || a.rng != b.rng) {
    bits |= CommEvent::kRing;
  }
  if (a.brk != b.brk) {
    bits |= CommEvent::kBreak;
  }
  if (a.frame != b.frame || a.parity != b.parity || a.overrun != b.overrun || a.bufOverrun != b.bufOverrun) {
    bits |= CommEvent::kErr;
  }
  return bits;
}

}  // namespace varnet::posix
