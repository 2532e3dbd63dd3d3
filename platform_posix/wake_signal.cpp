#include "platform_posix/wake_signal.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <mutex>

namespace varnet::posix {
namespace {

constexpr int kWakeSignal = SIGUSR2;

void OnWake(int) {}

}  // namespace

void InstallWakeSignal() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = OnWake;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the interrupted call must return
    ::sigaction(kWakeSignal, &action, nullptr);
  });
}

void WakeThread(pthread_t thread) { ::pthread_kill(thread, kWakeSignal); }

void WaitForSignal() { ::ppoll(nullptr, 0, nullptr, nullptr); }

WakeTicker::WakeTicker(int periodMs) {
  sigevent event{};
  event.sigev_notify = SIGEV_THREAD_ID;
  event.sigev_signo = kWakeSignal;
  event._sigev_un._tid = ::gettid();
  if (::timer_create(CLOCK_MONOTONIC, &event, &timer_) != 0) {
    return;
  }
  armed_ = true;
  itimerspec period{};
  period.it_interval.tv_sec = periodMs / 1000;
  period.it_interval.tv_nsec = static_cast<long>(periodMs % 1000) * 1000000L;
  period.it_value = period.it_interval;
  ::timer_settime(timer_, 0, &period, nullptr);
}

WakeTicker::~WakeTicker() {
  if (armed_) {
    ::timer_delete(timer_);
  }
}

}  // namespace varnet::posix
