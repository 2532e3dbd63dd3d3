#include "platform_virtual/time_source.h"

#include <chrono>

namespace varnet::bench {

Nanoseconds SteadyTimeSource::Now() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SteadyTimeSource::WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                                 Nanoseconds deadline) {
  const std::chrono::steady_clock::time_point until{std::chrono::nanoseconds(deadline)};
  wake.wait_until(lock, until);
}

void SteadyTimeSource::Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake) {
  wake.wait(lock);
}

void FakeTimeSource::WaitUntil(std::unique_lock<std::mutex>& /*lock*/, std::condition_variable& /*wake*/,
                               Nanoseconds deadline) {
  Nanoseconds now = now_.load();
  while (now < deadline && !now_.compare_exchange_weak(now, deadline)) {
  }
}

void FakeTimeSource::Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake) {
  wake.wait(lock);
}

}  // namespace varnet::bench
