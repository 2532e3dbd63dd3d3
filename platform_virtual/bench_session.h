// What the bench's own source files share: the scope of one call into the bench, and a write in
// progress. Not for use outside this folder.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

#include "framework/activity.h"
#include "platform_virtual/virtual_bench.h"

namespace varnet::bench {

// One call into the bench: takes the lock and brings the adapter up to now; on leaving, delivers
// the comm events of this instant as one, tells an idle observer to look again when the call
// changed something and wakes the threads that wait on the bench, so that they look again.
class VirtualBench::Session {
 public:
  Session(VirtualBench& bench, bool changes) : bench_(bench), lock_(bench.mutex_), changes_(changes) {
    bench_.AdvanceTo(bench_.time_.Now());
  }
  ~Session() {
    bench_.FlushEvents();
    if (changes_) {
      framework::Activity::Touch();
      bench_.wake_.notify_all();
    }
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  std::unique_lock<std::mutex>& Lock() { return lock_; }

 private:
  VirtualBench& bench_;
  std::unique_lock<std::mutex> lock_;
  bool changes_;
};

// A write waiting for its bytes to enter the transmit FIFO.
struct VirtualBench::WriteOperation {
  std::vector<std::uint8_t> data;
  std::size_t entered = 0;
  std::optional<Nanoseconds> deadline;
  bool done = false;
};

}  // namespace varnet::bench
