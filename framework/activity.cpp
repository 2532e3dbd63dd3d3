#include "framework/activity.h"

#include <atomic>

namespace varnet::framework {
namespace {
std::atomic<int> g_busy{0};
std::atomic<std::uint64_t> g_sequence{0};
}  // namespace

void Activity::BeginBusy() {
  g_busy.fetch_add(1);
  g_sequence.fetch_add(1);
}

void Activity::EndBusy() {
  g_sequence.fetch_add(1);
  g_busy.fetch_sub(1);
}

int Activity::BusyCount() { return g_busy.load(); }

void Activity::Touch() { g_sequence.fetch_add(1); }

std::uint64_t Activity::Sequence() { return g_sequence.load(); }

}  // namespace varnet::framework
