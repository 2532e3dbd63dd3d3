// Waking a thread out of a driver call that has no time limit of its own (TIOCMIWAIT): a signal
// whose handler does nothing, installed without SA_RESTART, so that the call ends with EINTR.
// The signal is SIGUSR2; this layer installs its handler for the whole process, once.
#pragma once

#include <pthread.h>

#include <ctime>

namespace varnet::posix {

void InstallWakeSignal();

// Sends the wake signal to a thread of this process.
void WakeThread(pthread_t thread);

// Blocks the calling thread until it takes a signal.
void WaitForSignal();

// While it lives, the wake signal comes to the thread that made it every periodMs. A wake sent
// just before a thread enters its blocking call is lost; the next tick makes up for it.
class WakeTicker {
 public:
  explicit WakeTicker(int periodMs);
  ~WakeTicker();
  WakeTicker(const WakeTicker&) = delete;
  WakeTicker& operator=(const WakeTicker&) = delete;

 private:
  timer_t timer_{};
  bool armed_ = false;
};

}  // namespace varnet::posix
