// The application object of our dialog framework: the one instance of the program, its
// window thread's message queue (kept by the host) and its idle processing.
#pragma once

#include "framework/window_thread_calls.h"

namespace varnet::framework {
class ModalRunner;
}

namespace varnet::framework {

// The window thread's message queue, as a host keeps it.
class MessageQueue {
 public:
  virtual ~MessageQueue() = default;
  // A message is waiting (PeekMessage with PM_NOREMOVE).
  virtual bool PeekMessage() = 0;
  // Retrieves and dispatches one message; false when it was the quit request.
  virtual bool PumpMessage() = 0;
  // PostQuitMessage.
  virtual void PostQuitMessage(int exitCode) = 0;
};

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual bool InitInstance();
  // Idle processing: count is 0, 1, 2 ... while it returns true. None by default.
  virtual bool OnIdle(long count);

  // The host connects its queue before the dialog runs; the calling thread becomes the
  // window's thread.
  void AttachMessageQueue(MessageQueue* queue);

  // The calling thread's queue. Only the window's thread has one: on any other thread it is
  // always empty. Calls handed over by other threads count as messages of the window's thread.
  bool PeekMessage();
  bool PumpMessage();
  void PostQuitMessage(int exitCode);

  WindowThreadCalls& Calls() { return calls_; }

  // The host's way of running a dialog window (CDialog::DoModal).
  void AttachRunner(ModalRunner* runner) { runner_ = runner; }
  ModalRunner* Runner() const { return runner_; }

 private:
  MessageQueue* queue_ = nullptr;
  ModalRunner* runner_ = nullptr;
  WindowThreadCalls calls_;
};

// The one application object of the process (the most recently constructed one still alive).
CWinApp* AfxGetApp();

}  // namespace varnet::framework
