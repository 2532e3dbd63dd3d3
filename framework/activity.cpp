#include "framework/activity.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace varnet::framework {
namespace {

std::atomic<int> g_busy{0};
std::atomic<std::uint64_t> g_sequence{0};
std::mutex g_mutex;
std::condition_variable g_changed;

// The sequence moves under the lock that WaitForChange checks it under, so that an observer
// between its check and its sleep cannot miss the change.
void Changed() {
  {
    std::lock_guard lock(g_mutex);
    g_sequence.fetch_add(1);
  }
  g_changed.notify_all();
}

}  // namespace

void Activity::BeginBusy() {
  g_busy.fetch_add(1);
  Changed();
}

void Activity::EndBusy() {
  // The count drops before the sequence moves: an observer woken by the change sees the count
  // that it announces.
  g_busy.fetch_sub(1);
  Changed();
}

int Activity::BusyCount() { return g_busy.load(); }

void Activity::Touch() { Changed(); }

std::uint64_t Activity::Sequence() { return g_sequence.load(); }

void Activity::WaitForChange(std::uint64_t seen, std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(g_mutex);
  g_changed.wait_until(lock, deadline, [seen] { return g_sequence.load() != seen; });
}

}  // namespace varnet::framework
