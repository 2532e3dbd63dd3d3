// The Linux layer's modem lines and comm-event wait, through the seam: a pseudo-terminal carries
// the port, a stand-in answers the modem-line, break and counter calls as a usb-serial driver does.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <future>
#include <mutex>

#include "framework/activity.h"
#include "platform_posix/posix_serial.h"
#include "tests/posix_pty_pair.h"

namespace varnet::posix {
namespace {

using testing::PtyPair;

// A driver with modem lines and counters. Its line change wait blocks in poll() on a pipe, so that
// a signal ends it with EINTR as it ends TIOCMIWAIT; a change of an input line wakes it, a counter
// change does not (the driver's wait knows only the four lines).
class FakeDriver : public TtyControl {
 public:
  FakeDriver() {
    if (::pipe(wake_) != 0) {
      wake_[0] = wake_[1] = -1;
    }
  }
  ~FakeDriver() override {
    ::close(wake_[0]);
    ::close(wake_[1]);
  }

  // The far end's wiring of a loop-back plug: DTR to DSR and DCD, RTS to CTS.
  void LoopBack(bool on) {
    std::lock_guard lock(mutex_);
    loopBack_ = on;
  }
  void SetInput(int line, bool high) {
    {
      std::lock_guard lock(mutex_);
      Move(line, high);
    }
    Wake();
  }
  template <typename Change>
  void Count(Change change) {
    std::lock_guard lock(mutex_);
    change(counters_);
  }
  void Unplug() {
    {
      std::lock_guard lock(mutex_);
      gone_ = true;
    }
    Wake();
  }
  int Lines() {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  int Breaks() {
    std::lock_guard lock(mutex_);
    return breaksSent_;
  }
  // Waits until a thread is blocked in the line change wait.
  void AwaitWaiter() {
    std::unique_lock lock(mutex_);
    waiterCame_.wait(lock, [&] { return waiting_ > 0; });
  }

  int GetModemLines(int, int& lines) override {
    std::lock_guard lock(mutex_);
    lines = lines_;
    return gone_ ? EIO : 0;
  }
  int ChangeModemLines(int, int lines, bool raise) override {
    {
      std::lock_guard lock(mutex_);
      if (gone_) {
        return EIO;
      }
      if ((lines & ModemLine::kDtr) != 0) {
        Move(ModemLine::kDtr, raise);
        if (loopBack_) {
          Move(ModemLine::kDsr, raise);
          Move(ModemLine::kCd, raise);
        }
      }
      if ((lines & ModemLine::kRts) != 0) {
        Move(ModemLine::kRts, raise);
        if (loopBack_) {
          Move(ModemLine::kCts, raise);
        }
      }
    }
    Wake();
    return 0;
  }
  int SetBreak(int, bool on) override {
    std::lock_guard lock(mutex_);
    breaksSent_ += on ? 1 : 0;
    return gone_ ? EIO : 0;
  }
  int GetCounters(int, LineCounters& counters) override {
    std::lock_guard lock(mutex_);
    counters = counters_;
    return gone_ ? EIO : 0;
  }
  int WaitModemChange(int, int) override {
    {
      std::lock_guard lock(mutex_);
      if (gone_) {
        return EIO;
      }
      ++waiting_;
    }
    waiterCame_.notify_all();
    pollfd ready{wake_[0], POLLIN, 0};
    const int result = ::poll(&ready, 1, -1);
    const int error = result < 0 ? errno : 0;
    if (result > 0) {
      char drained[64];
      [[maybe_unused]] ssize_t n = ::read(wake_[0], drained, sizeof drained);
    }
    std::lock_guard lock(mutex_);
    --waiting_;
    return gone_ ? EIO : error;
  }

 private:
  void Move(int line, bool high) {
    const bool was = (lines_ & line) != 0;
    lines_ = high ? lines_ | line : lines_ & ~line;
    if (was != high) {
      counters_.cts += line == ModemLine::kCts ? 1 : 0;
      counters_.dsr += line == ModemLine::kDsr ? 1 : 0;
      counters_.dcd += line == ModemLine::kCd ? 1 : 0;
      counters_.rng += line == ModemLine::kRi ? 1 : 0;
    }
  }
  void Wake() { [[maybe_unused]] ssize_t n = ::write(wake_[1], "x", 1); }

  std::mutex mutex_;
  std::condition_variable waiterCame_;
  int wake_[2];
  int lines_ = 0;
  LineCounters counters_;
  bool loopBack_ = false;
  bool gone_ = false;
  int waiting_ = 0;
  int breaksSent_ = 0;
};

struct WaitResult {
  DWORD result = kWaitFailed;
  DWORD mask = 0xDEAD;
  int busyAfter = -1;  // the busy count the monitor sees once it has taken its signal
};

class LineMonitor : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    port_ = serial_.OpenPort("\\\\.\\COM3");
    ASSERT_NE(port_, kInvalidHandle);
    ASSERT_TRUE(serial_.SetCommMask(port_, 0x1FA));
    portEvent_ = serial_.CreateEvent(false, false);
    stopEvent_ = serial_.CreateEvent(false, false);
    overlapped_.hEvent = portEvent_;
  }
  void TearDown() override {
    if (port_ != kInvalidHandle) {
      serial_.ClosePort(port_);
    }
    serial_.CloseEvent(portEvent_);
    serial_.CloseEvent(stopEvent_);
  }

  // One turn of the monitor's loop on a thread of its own, counted busy as the monitor is.
  std::future<WaitResult> Turn() {
    return std::async(std::launch::async, [this] {
      framework::BusyScope busy;
      WaitResult turn;
      mask_ = 0;
      serial_.WaitCommEvent(port_, &mask_, &overlapped_);
      turn.result = serial_.WaitForStopOrPortEvent(stopEvent_, portEvent_);
      turn.mask = mask_;
      turn.busyAfter = framework::Activity::BusyCount();
      return turn;
    });
  }

  bool Escape(EscapeFunction function) { return serial_.EscapeCommFunction(port_, function); }

  PtyPair pty_;
  FakeDriver driver_;
  PosixSerial serial_{pty_.Map(), driver_};
  Handle port_ = kInvalidHandle;
  Handle portEvent_ = kInvalidHandle;
  Handle stopEvent_ = kInvalidHandle;
  Overlapped overlapped_;
  DWORD mask_ = 0;
};

TEST_F(LineMonitor, EscapeFunctionsMoveTheOutputLines) {
  struct Step {
    EscapeFunction function;
    int lines;
  } const steps[] = {
      {EscapeFunction::SetDtr, ModemLine::kDtr},
      {EscapeFunction::SetRts, ModemLine::kDtr | ModemLine::kRts},
      {EscapeFunction::ClrDtr, ModemLine::kRts},
      {EscapeFunction::ClrRts, 0},
  };
  for (const Step& step : steps) {
    EXPECT_TRUE(Escape(step.function));
    EXPECT_EQ(driver_.Lines(), step.lines) << static_cast<int>(step.function);
  }
  EXPECT_TRUE(Escape(EscapeFunction::SetBreak));
  EXPECT_TRUE(Escape(EscapeFunction::ClrBreak));
  EXPECT_EQ(driver_.Breaks(), 1);
}

// The record's DTR and RTS control moves the lines at every settings write; a line under
// handshake control refuses the escape functions.
TEST_F(LineMonitor, SettingsWritesApplyLineControl) {
  Dcb dcb;
  ASSERT_TRUE(serial_.GetCommState(port_, dcb));
  dcb.BaudRate = 115200;
  dcb.flags &= ~(DcbFlag::kDtrControlMask | DcbFlag::kRtsControlMask);
  dcb.flags |= (kControlEnable << DcbFlag::kDtrControlShift) | (kControlEnable << DcbFlag::kRtsControlShift);
  ASSERT_TRUE(serial_.SetCommState(port_, dcb));
  EXPECT_EQ(driver_.Lines(), ModemLine::kDtr | ModemLine::kRts);

  dcb.flags &= ~(DcbFlag::kDtrControlMask | DcbFlag::kRtsControlMask);
  ASSERT_TRUE(serial_.SetCommState(port_, dcb));
  EXPECT_EQ(driver_.Lines(), 0) << "DISABLE lowers both lines";

  dcb.flags |=
      (kControlHandshake << DcbFlag::kDtrControlShift) | (kControlHandshake << DcbFlag::kRtsControlShift);
  ASSERT_TRUE(serial_.SetCommState(port_, dcb));
  EXPECT_FALSE(Escape(EscapeFunction::ClrDtr));
  EXPECT_FALSE(Escape(EscapeFunction::SetRts));
}

TEST_F(LineMonitor, RaisingDtrOnALoopBackIsOneEventWithDsrAndDcd) {
  driver_.LoopBack(true);
  std::future<WaitResult> turn = Turn();
  driver_.AwaitWaiter();
  EXPECT_EQ(framework::Activity::BusyCount(), 0) << "a blocked monitor counts as not busy";
  ASSERT_TRUE(Escape(EscapeFunction::SetDtr));
  const WaitResult result = turn.get();
  EXPECT_EQ(result.result, kWaitObject0 + 1);
  EXPECT_EQ(result.mask, CommEvent::kDsr | CommEvent::kRlsd);
  EXPECT_EQ(result.busyAfter, 1);
}

TEST_F(LineMonitor, EachKindOfChangeGivesItsBit) {
  struct Case {
    const char* what;
    std::function<void(FakeDriver&)> happen;
    DWORD bits;
  } const cases[] = {
      {"CTS", [](FakeDriver& d) { d.SetInput(ModemLine::kCts, true); }, CommEvent::kCts},
      {"RI", [](FakeDriver& d) { d.SetInput(ModemLine::kRi, true); }, CommEvent::kRing},
      // Counters alone do not end the driver's wait: the layer's own look at them finds these.
      {"break", [](FakeDriver& d) { d.Count([](LineCounters& c) { ++c.brk; }); }, CommEvent::kBreak},
      {"framing", [](FakeDriver& d) { d.Count([](LineCounters& c) { ++c.frame; }); }, CommEvent::kErr},
      {"overrun", [](FakeDriver& d) { d.Count([](LineCounters& c) { ++c.overrun; }); }, CommEvent::kErr},
      // A CTS pulse too short to be seen as a level shows in the counter.
      {"CTS pulse", [](FakeDriver& d) { d.Count([](LineCounters& c) { c.cts += 2; }); }, CommEvent::kCts},
  };
  for (const Case& c : cases) {
    std::future<WaitResult> turn = Turn();
    driver_.AwaitWaiter();
    c.happen(driver_);
    const WaitResult result = turn.get();
    EXPECT_EQ(result.result, kWaitObject0 + 1) << c.what;
    EXPECT_EQ(result.mask, c.bits) << c.what;
  }
}

TEST_F(LineMonitor, ChangesWhileNoWaitIsPendingCompleteTheNextWaitAtOnce) {
  ASSERT_TRUE(serial_.SetCommMask(port_, CommEvent::kCts | CommEvent::kBreak));
  driver_.SetInput(ModemLine::kDsr, true);  // not in the mask: not kept
  driver_.SetInput(ModemLine::kCts, true);
  driver_.Count([](LineCounters& c) { ++c.brk; });
  const WaitResult kept = Turn().get();
  EXPECT_EQ(kept.result, kWaitObject0 + 1);
  EXPECT_EQ(kept.mask, CommEvent::kCts | CommEvent::kBreak);

  std::future<WaitResult> turn = Turn();
  driver_.AwaitWaiter();
  driver_.SetInput(ModemLine::kDsr, false);
  driver_.SetInput(ModemLine::kCts, false);
  EXPECT_EQ(turn.get().mask, CommEvent::kCts);
}

TEST_F(LineMonitor, TheStopEventEndsAWaitBlockedInTheDriver) {
  std::future<WaitResult> turn = Turn();
  driver_.AwaitWaiter();
  ASSERT_TRUE(serial_.SetEvent(stopEvent_));
  const WaitResult result = turn.get();
  EXPECT_EQ(result.result, kWaitObject0);
  EXPECT_EQ(result.busyAfter, 1);
}

TEST_F(LineMonitor, TheStopEventWinsOverAPortEvent) {
  driver_.SetInput(ModemLine::kCts, true);
  ASSERT_TRUE(serial_.SetEvent(stopEvent_));
  EXPECT_EQ(Turn().get().result, kWaitObject0);
}

TEST_F(LineMonitor, ClosingThePortEndsAWaitBlockedInTheDriverWithNoBits) {
  std::future<WaitResult> turn = Turn();
  driver_.AwaitWaiter();
  ASSERT_TRUE(serial_.ClosePort(port_));
  const Handle closed = port_;
  port_ = kInvalidHandle;
  const WaitResult result = turn.get();
  EXPECT_EQ(result.result, kWaitObject0 + 1);
  EXPECT_EQ(result.mask, 0u);
  DWORD mask = 0;
  EXPECT_FALSE(serial_.WaitCommEvent(closed, &mask, &overlapped_));
}

TEST_F(LineMonitor, AnUnpluggedAdapterEndsTheWaitWithNoBitsAndFailsTheNext) {
  std::future<WaitResult> turn = Turn();
  driver_.AwaitWaiter();
  driver_.Unplug();
  const WaitResult result = turn.get();
  EXPECT_EQ(result.result, kWaitObject0 + 1);
  EXPECT_EQ(result.mask, 0u);
  DWORD mask = 0;
  EXPECT_FALSE(serial_.WaitCommEvent(port_, &mask, &overlapped_));
  EXPECT_FALSE(Escape(EscapeFunction::SetDtr));
  EXPECT_TRUE(serial_.ClosePort(port_));
  port_ = kInvalidHandle;
}

TEST_F(LineMonitor, ANewMaskEndsAPendingWaitWithNoBits) {
  std::future<WaitResult> turn = Turn();
  driver_.AwaitWaiter();
  ASSERT_TRUE(serial_.SetCommMask(port_, 0x1FA));
  const WaitResult result = turn.get();
  EXPECT_EQ(result.result, kWaitObject0 + 1);
  EXPECT_EQ(result.mask, 0u);
}

}  // namespace
}  // namespace varnet::posix
