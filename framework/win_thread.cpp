#include "framework/win_thread.h"

#include "framework/window_thread_calls.h"

namespace varnet::framework {

std::unique_ptr<CWinThread> CWinThread::Begin(ThreadProc proc, void* param, WindowThreadCalls& calls) {
  std::unique_ptr<CWinThread> thread(new CWinThread());
  CWinThread* self = thread.get();
  self->thread_ = std::thread([self, proc, param, &calls] {
    self->exitCode_ = proc(param);
    self->ended_.store(true);
    calls.Notify();
  });
  return thread;
}

CWinThread::~CWinThread() { Join(); }

void CWinThread::Join() {
  if (thread_.joinable()) {
    thread_.join();
  }
}

}  // namespace varnet::framework
