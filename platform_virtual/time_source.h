// Where the bench's time comes from. The program runs the bench on the steady clock; unit tests
// run it on a fake clock that only moves when a caller with a time limit waits, so that a model
// of hundreds of milliseconds of line time runs at once and always the same way.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace varnet::bench {

// Nanoseconds on the time source's own scale.
using Nanoseconds = std::int64_t;

inline constexpr Nanoseconds kNanosecondsPerMillisecond = 1'000'000;

class TimeSource {
 public:
  virtual ~TimeSource() = default;

  virtual Nanoseconds Now() const = 0;

  // Called with `lock` held on the mutex of `wake`: returns once `deadline` has come or `wake`
  // has been notified (or spuriously). A fake clock moves itself to the deadline instead.
  virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                         Nanoseconds deadline) = 0;

  // The same with no deadline: returns only once `wake` has been notified (or spuriously).
  virtual void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake) = 0;

  // True when time passes by itself, so that the bench must move its bytes on a thread of its own
  // while nobody calls it.
  virtual bool PassesOnItsOwn() const = 0;
};

// The real time source: std::chrono::steady_clock.
class SteadyTimeSource final : public TimeSource {
 public:
  Nanoseconds Now() const override;
  void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                 Nanoseconds deadline) override;
  void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake) override;
  bool PassesOnItsOwn() const override { return true; }
};

// A clock for tests. It starts at `start` and moves only by Advance() or when a caller waits
// for a deadline (the wait then ends at once, at that deadline). Waits without a deadline still
// block until another thread notifies.
class FakeTimeSource final : public TimeSource {
 public:
  explicit FakeTimeSource(Nanoseconds start = 0) : now_(start) {}

  void Advance(Nanoseconds by) { now_.fetch_add(by); }
  void AdvanceMs(std::int64_t ms) { Advance(ms * kNanosecondsPerMillisecond); }

  Nanoseconds Now() const override { return now_.load(); }
  void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                 Nanoseconds deadline) override;
  void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake) override;
  bool PassesOnItsOwn() const override { return false; }

 private:
  std::atomic<Nanoseconds> now_;
};

}  // namespace varnet::bench
