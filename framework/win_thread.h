// A worker thread as the dialog framework starts it (AfxBeginThread with auto-delete off): the
// object keeps the thread until it is destroyed, so that the thread's end can be waited for
// after it has happened.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace varnet::framework {

class WindowThreadCalls;

class CWinThread {
 public:
  using ThreadProc = unsigned (*)(void* param);

  // Starts proc(param) at once. `calls` is told when the thread has ended.
  static std::unique_ptr<CWinThread> Begin(ThreadProc proc, void* param, WindowThreadCalls& calls);

  ~CWinThread();  // joins the thread
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  bool HasEnded() const { return ended_.load(); }
  unsigned ExitCode() const { return exitCode_; }
  void Join();

 private:
  CWinThread() = default;

  std::atomic<bool> ended_{false};
  unsigned exitCode_ = 0;
  std::thread thread_;
};

}  // namespace varnet::framework
