// Tells an observer (the script runner's idle rule) whether the program's background work has
// settled: threads mark the stretches in which they work on their own, and every change bumps a
// sequence number, so that an observer can tell that nothing moved while it looked.
#pragma once

#include <chrono>
#include <cstdint>

namespace varnet::framework {

class Activity {
 public:
  // A thread starts or stops working on its own (it is not blocked waiting for an event).
  static void BeginBusy();
  static void EndBusy();
  static int BusyCount();

  // Something changed that an observer may need to look at again.
  static void Touch();
  static std::uint64_t Sequence();

  // Blocks until the sequence number is no longer `seen` (something changed since the observer
  // took it) or `deadline` has come, so that an observer sleeps instead of polling.
  static void WaitForChange(std::uint64_t seen, std::chrono::steady_clock::time_point deadline);
};

// Marks the enclosing scope as busy.
class BusyScope {
 public:
  BusyScope() { Activity::BeginBusy(); }
  ~BusyScope() { Activity::EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// Marks the enclosing scope as not busy, inside a busy stretch (a blocking wait).
class IdleScope {
 public:
  IdleScope() { Activity::EndBusy(); }
  ~IdleScope() { Activity::BeginBusy(); }
  IdleScope(const IdleScope&) = delete;
  IdleScope& operator=(const IdleScope&) = delete;
};

}  // namespace varnet::framework
