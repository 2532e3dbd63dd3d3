#include "framework/window_thread_calls.h"

#include "framework/activity.h"
#include "framework/win_thread.h"

namespace varnet::framework {

void WindowThreadCalls::BindToCurrentThread() {
  std::lock_guard lock(mutex_);
  windowThread_ = std::this_thread::get_id();
}

bool WindowThreadCalls::OnWindowThread() const {
  std::lock_guard lock(mutex_);
  return windowThread_ == std::this_thread::get_id();
}

void WindowThreadCalls::SetWake(std::function<void()> wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
}

void WindowThreadCalls::Call(const std::function<void()>& fn) {
  std::function<void()> wake;
  Pending pending{&fn};
  {
    std::unique_lock lock(mutex_);
    if (windowThread_ == std::this_thread::get_id()) {
      lock.unlock();
      fn();
      return;
    }
    queue_.push_back(&pending);
    wake = wake_;
  }
  Activity::Touch();
  changed_.notify_all();
  if (wake) {
    wake();
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return pending.done; });
}

bool WindowThreadCalls::HasPending() const {
  std::lock_guard lock(mutex_);
  return !queue_.empty();
}

void WindowThreadCalls::WaitForCall(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  changed_.wait_until(lock, deadline, [this] { return !queue_.empty(); });
}

bool WindowThreadCalls::RunOne() {
  Pending* pending = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) {
      return false;
    }
    pending = queue_.front();
    queue_.pop_front();
  }
  (*pending->fn)();
  {
    std::lock_guard lock(mutex_);
    pending->done = true;
  }
  Activity::Touch();
  changed_.notify_all();
  return true;
}

void WindowThreadCalls::RunAll() {
  while (RunOne()) {
  }
}

void WindowThreadCalls::WaitForThreadEnd(CWinThread& thread) {
  for (;;) {
    RunAll();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty() || thread.HasEnded(); });
    if (queue_.empty() && thread.HasEnded()) {
      return;
    }
  }
}

void WindowThreadCalls::Notify() {
  { std::lock_guard lock(mutex_); }
  changed_.notify_all();
}

}  // namespace varnet::framework
