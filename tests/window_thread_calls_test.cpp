// Lines handed from a worker thread to the window's thread: delivered synchronously and in order,
// and the window's thread can wait for the worker to end while the worker is still handing lines
// over, without either waiting for the other.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/activity.h"
#include "framework/win_app.h"
#include "framework/win_thread.h"
#include "framework/window_thread_calls.h"

namespace {

using varnet::framework::CWinApp;
using varnet::framework::CWinThread;
using varnet::framework::WindowThreadCalls;

// Ends the test program if the test it guards hangs: a deadlock must fail, not stall the suite.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            std::fprintf(stderr, "deadlock: the test did not finish in time\n");
            std::_Exit(1);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

struct Worker {
  WindowThreadCalls* calls = nullptr;
  std::vector<int>* list = nullptr;  // touched only on the window's thread
  std::atomic<int> delivered{0};
  std::atomic<bool> stop{false};
  std::atomic<bool> outOfStep{false};
  int count = 0;  // lines to hand over, or 0: until stopped

  void Append(int value) {
    const std::function<void()> append = [&] {
      list->push_back(value);
      delivered.store(static_cast<int>(list->size()));
    };
    calls->Call(append);
    // Synchronous: the line is in the list once the call returns.
    if (delivered.load() < value + 1) {
      outOfStep.store(true);
    }
  }

  static unsigned Run(void* param) {
    auto* self = static_cast<Worker*>(param);
    int value = 0;
    while (self->count == 0 ? !self->stop.load() : value < self->count) {
      self->Append(value++);
    }
    if (self->count == 0) {
      self->Append(value);  // one more line after the stop was seen
    }
    return 7;
  }
};

TEST(WindowThreadCalls, LinesFromAWorkerArriveSynchronouslyAndInOrder) {
  Watchdog watchdog(std::chrono::seconds(30));
  CWinApp app;
  std::vector<int> list;
  Worker worker;
  worker.calls = &app.Calls();
  worker.list = &list;
  worker.count = 2000;
  auto thread = CWinThread::Begin(&Worker::Run, &worker, app.Calls());
  while (!thread->HasEnded()) {
    app.PumpMessage();  // the window thread's message loop
    std::this_thread::yield();
  }
  thread->Join();
  ASSERT_EQ(list.size(), 2000u);
  for (int i = 0; i < 2000; ++i) {
    ASSERT_EQ(list[static_cast<std::size_t>(i)], i);
  }
  EXPECT_FALSE(worker.outOfStep.load());
  EXPECT_EQ(thread->ExitCode(), 7u);
}

TEST(WindowThreadCalls, WaitingForAWorkerThatIsStillHandingLinesOverCannotDeadlock) {
  Watchdog watchdog(std::chrono::seconds(30));
  for (int round = 0; round < 50; ++round) {
    CWinApp app;
    std::vector<int> list;
    Worker worker;
    worker.calls = &app.Calls();
    worker.list = &list;
    auto thread = CWinThread::Begin(&Worker::Run, &worker, app.Calls());
    // Let some lines through, then stop while the worker is handing one over.
    while (worker.delivered.load() < round) {
      app.PumpMessage();
    }
    worker.stop.store(true);
    app.Calls().WaitForThreadEnd(*thread);
    thread->Join();
    ASSERT_FALSE(list.empty());
    for (std::size_t i = 0; i < list.size(); ++i) {
      ASSERT_EQ(list[i], static_cast<int>(i));
    }
  }
}

// A host queue that records whether the window thread took one of its messages.
class RecordingQueue : public varnet::framework::MessageQueue {
 public:
  bool PeekMessage() override { return true; }
  bool PumpMessage() override {
    ++pumped;
    return true;
  }
  void PostQuitMessage(int) override {}
  int pumped = 0;
};

TEST(WindowThreadCalls, TheStopWaitDeliversLinesAndRunsNothingElse) {
  Watchdog watchdog(std::chrono::seconds(30));
  CWinApp app;
  RecordingQueue queue;
  app.AttachMessageQueue(&queue);
  std::vector<int> list;
  Worker worker;
  worker.calls = &app.Calls();
  worker.list = &list;
  worker.count = 100;
  auto thread = CWinThread::Begin(&Worker::Run, &worker, app.Calls());
  app.Calls().WaitForThreadEnd(*thread);
  thread->Join();
  EXPECT_EQ(list.size(), 100u);
  EXPECT_EQ(queue.pumped, 0);
  app.AttachMessageQueue(nullptr);
}

TEST(WindowThreadCalls, OtherThreadsHaveAnEmptyQueue) {
  CWinApp app;
  RecordingQueue queue;
  app.AttachMessageQueue(&queue);
  bool peeked = true;
  std::thread other([&] { peeked = app.PeekMessage(); });
  other.join();
  EXPECT_FALSE(peeked);
  EXPECT_TRUE(app.PeekMessage());
  app.AttachMessageQueue(nullptr);
}

// An observer sleeps until something happens: a call handed over, or a thread that stops
// working on its own, wakes it. Without the wake these waits would last until the watchdog ends
// the test program.
TEST(WindowThreadCalls, AWaitForACallEndsWhenOneIsHandedOver) {
  Watchdog watchdog(std::chrono::seconds(30));
  CWinApp app;
  int ran = 0;
  std::thread worker([&] { app.Calls().Call([&] { ++ran; }); });
  app.Calls().WaitForCall(std::chrono::steady_clock::time_point::max());
  app.Calls().RunAll();
  worker.join();
  EXPECT_EQ(ran, 1);
}

TEST(Activity, AWaitForAChangeEndsWhenAThreadStopsWorking) {
  Watchdog watchdog(std::chrono::seconds(30));
  using varnet::framework::Activity;
  const int idle = Activity::BusyCount();
  std::atomic<bool> started{false};
  std::atomic<bool> finish{false};
  std::thread worker([&] {
    Activity::BeginBusy();
    started.store(true);
    while (!finish.load()) {
      std::this_thread::yield();
    }
    Activity::EndBusy();
  });
  while (!started.load()) {
    std::this_thread::yield();
  }
  const std::uint64_t seen = Activity::Sequence();
  EXPECT_EQ(Activity::BusyCount(), idle + 1);
  finish.store(true);
  Activity::WaitForChange(seen, std::chrono::steady_clock::time_point::max());
  EXPECT_EQ(Activity::BusyCount(), idle);
  worker.join();
}

}  // namespace
