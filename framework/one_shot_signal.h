// A signal that one thread gives once and another waits for.
//
// Made of a mutex and a condition variable rather than std::binary_semaphore: the semaphore of
// GCC 12's library on systems without futexes (MinGW-w64) checks its count before taking its lock
// and can sleep through a release that comes in between, which hung Open on Windows now and then.
#pragma once

#include <condition_variable>
#include <mutex>

namespace varnet::framework {

class OneShotSignal {
 public:
  // Notifies under the lock: the waiter may destroy the signal as soon as it sees it set, so
  // nothing of it may be touched once the lock is released.
  void Set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
  }

  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

}  // namespace varnet::framework
