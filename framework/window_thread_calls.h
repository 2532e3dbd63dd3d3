// Calls handed from other threads to the window's thread, each carried out there while the
// caller waits: the synchronous cross-thread delivery that the monitor's lines travel by.
//
// The window's thread runs the handed-over calls in its message loop and in PumpMessages
// (CWinApp::PumpMessage takes them before the host's own messages), and while it waits for a
// thread to end (WaitForThreadEnd) it runs them and nothing else. A thread that hands over a
// call while the window's thread waits for it to end therefore always gets its call carried out,
// so the stop sequence cannot deadlock; and since each caller waits for its call, the calls of
// one thread keep their order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace varnet::framework {

class CWinThread;

class WindowThreadCalls {
 public:
  // The calling thread becomes the window's thread.
  void BindToCurrentThread();
  bool OnWindowThread() const;

  // The host's way to wake its message loop when a call has been handed over (for example a
  // posted message). Called from the handing thread, without the lock held.
  void SetWake(std::function<void()> wake);

  // On the window's thread: runs fn at once. On any other thread: hands fn to the window's thread
  // and returns once it has run there.
  void Call(const std::function<void()>& fn);

  bool HasPending() const;
  // Window's thread: blocks until a call has been handed over or `deadline` has come.
  void WaitForCall(std::chrono::steady_clock::time_point deadline);

  // Window's thread: runs the oldest handed-over call, if any. Returns whether one ran.
  bool RunOne();
  // Window's thread: runs every handed-over call, including ones handed over meanwhile.
  void RunAll();

  // Window's thread: waits until `thread` has ended, carrying out handed-over calls meanwhile
  // and nothing else.
  void WaitForThreadEnd(CWinThread& thread);

  // Wakes WaitForThreadEnd to look again (a thread has ended).
  void Notify();

 private:
  struct Pending {
    const std::function<void()>* fn;
    bool done = false;
  };

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Pending*> queue_;
  std::thread::id windowThread_;
  std::function<void()> wake_;
};

}  // namespace varnet::framework
