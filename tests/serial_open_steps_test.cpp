// Open and Close in their exact order of platform calls, on a port that records every call.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "host_headless/headless_host.h"
#include "resources/control_ids.h"
#include "runtime/format.h"
#include "tests/support/null_platform.h"

namespace {

using namespace varnet;
using varnet::headless::HeadlessHost;

constexpr Handle kPort = 0x300;

// A port that opens, accepts everything and records each call. Its comm-event wait never
// completes: the monitor rests until its stop event comes.
class RecordingPort : public SerialApi {
 public:
  // Every event after the first cannot be made.
  bool failEvents = false;

  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }

  Handle OpenPort(const std::string& path) override { return Record("OpenPort " + path), kPort; }
  bool ClosePort(Handle port) override { return Record(runtime::Format("ClosePort %ld", long(port))), true; }
  bool GetCommState(Handle, Dcb& dcb) override {
    Record("GetCommState");
    dcb = Dcb{};
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.flags = DcbFlag::kBinary | (kControlEnable << DcbFlag::kDtrControlShift) |
                (kControlEnable << DcbFlag::kRtsControlShift) | DcbFlag::kOutX | DcbFlag::kOutxCtsFlow;
    return true;
  }
  bool SetCommState(Handle, const Dcb& dcb) override {
    return Record(runtime::Format("SetCommState baud=%u size=%u parity=%u stop=%u flags=0x%X", dcb.BaudRate,
                                  unsigned(dcb.ByteSize), unsigned(dcb.Parity), unsigned(dcb.StopBits),
                                  dcb.flags)),
           true;
  }
  bool GetCommTimeouts(Handle, CommTimeouts& timeouts) override {
    timeouts = CommTimeouts{1, 2, 3, 4, 5};
    return Record("GetCommTimeouts"), true;
  }
  bool SetCommTimeouts(Handle, const CommTimeouts& t) override {
    return Record(runtime::Format("SetCommTimeouts %u %u %u %u %u", t.ReadIntervalTimeout,
                                  t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                                  t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant)),
           true;
  }
  bool SetCommMask(Handle, DWORD mask) override {
    return Record(runtime::Format("SetCommMask 0x%X", mask)), true;
  }
  bool EscapeCommFunction(Handle, EscapeFunction f) override {
    return Record(runtime::Format("Escape %u", static_cast<unsigned>(f))), true;
  }
  Handle CreateEvent(bool manualReset, bool initialState) override {
    std::lock_guard lock(mutex_);
    const Handle event = failEvents && nextEvent_ > 0x10 ? kInvalidHandle : nextEvent_++;
    calls_.push_back(runtime::Format("CreateEvent manual=%d initial=%d -> %ld", int(manualReset),
                                     int(initialState), long(event)));
    return event;
  }
  bool SetEvent(Handle event) override {
    std::lock_guard lock(mutex_);
    calls_.push_back(runtime::Format("SetEvent %ld", long(event)));
    signalled_ = event;
    changed_.notify_all();
    return true;
  }
  bool CloseEvent(Handle event) override {
    return Record(runtime::Format("CloseEvent %ld", long(event))), true;
  }
  bool WaitCommEvent(Handle port, DWORD*, Overlapped* overlapped) override {
    return Record(runtime::Format("WaitCommEvent %ld event=%ld", long(port), long(overlapped->hEvent))), true;
  }
  DWORD WaitForStopOrPortEvent(Handle stopEvent, Handle) override {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return signalled_ == stopEvent; });
    return kWaitObject0;
  }
  DWORD WriteBlock(Handle, std::span<const std::uint8_t>, DWORD) override { return 0; }
  DWORD ReadBlock(Handle, std::span<std::uint8_t>, DWORD) override { return 0; }

 private:
  void Record(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> calls_;
  Handle nextEvent_ = 0x10;
  Handle signalled_ = kInvalidHandle;
};

class OpenStepsTest : public ::testing::Test {
 protected:
  OpenStepsTest()
      : services{port,
                 null.services.driver,
                 null.services.system,
                 null.services.clock,
                 null.services.files,
                 null.services.shell} {}
  void SetUp() override { host.Open(dialog); }
  void TearDown() override { host.Close(); }

  varnet::testing::NullPlatform null;
  RecordingPort port;
  Platform services;
  CTestApp app;
  HeadlessHost host{app};
  CTestDlg dialog{services};
};

TEST_F(OpenStepsTest, OpenAndCloseMakeTheirCallsInOrder) {
  host.Click(ids::kOpen);
  host.Click(ids::kClose);
  // Flags as the port reports them: binary, DTR and RTS enabled, XON/XOFF out, CTS flow (0x1115).
  // Disabling flow control leaves only binary (0x1); Set Port Status keeps the flags it reads.
  const std::vector<std::string> expected = {
      "OpenPort \\\\.\\COM3",
      "GetCommTimeouts",
      "SetCommTimeouts 4294967295 0 0 5 1000",
      "GetCommState",
      "SetCommState baud=9600 size=8 parity=0 stop=0 flags=0x1",
      "SetCommMask 0x1FA",
      "CreateEvent manual=0 initial=0 -> 16",
      "CreateEvent manual=0 initial=0 -> 17",
      // The monitor's first wait, on the port with the monitor event, comes before Open goes on.
      "WaitCommEvent 768 event=16",
      "GetCommState",
      "SetCommState baud=115200 size=8 parity=0 stop=0 flags=0x1115",
      "Escape 5",
      "Escape 3",
      "Escape 6",
      "Escape 4",
      "ClosePort 768",
      "SetEvent 17",
      "CloseEvent 17",
      "CloseEvent 16",
  };
  EXPECT_EQ(port.Calls(), expected);
  EXPECT_EQ(dialog.m_pMonitorThread, nullptr);
  EXPECT_EQ(dialog.m_hComPort, kInvalidHandle);
  EXPECT_EQ(dialog.m_hDriver, kInvalidHandle);
}

TEST_F(OpenStepsTest, WithoutItsEventsThePortRunsWithoutAMonitor) {
  port.failEvents = true;
  host.Click(ids::kOpen);
  EXPECT_EQ(dialog.m_pMonitorThread, nullptr);
  host.Click(ids::kClose);  // must not wait for a monitor that could never be stopped
  const std::vector<std::string> calls = port.Calls();
  const std::vector<std::string> events(calls.begin() + 6, calls.begin() + 9);
  EXPECT_EQ(events, (std::vector<std::string>{"CreateEvent manual=0 initial=0 -> 16",
                                              "CreateEvent manual=0 initial=0 -> -1", "CloseEvent 16"}));
  const std::vector<std::string> expected = {"OPEN COM3 port Successfully!",
                                             "Disable any flow control successfully!",
                                             "SET port status Successfully!",
                                             "Open USB port successfully!",
                                             "SET DTR",
                                             "SET RTS",
                                             "CLEAR DTR",
                                             "CLEAR RTS",
                                             "Close COM port Successfully!"};
  EXPECT_EQ(host.Lines(ids::kCommandResponseList), expected);
}

TEST_F(OpenStepsTest, LogSwitchStaysOffWhenItsFileCannotBeOpened) {
  host.Click(ids::kOpen);
  host.Enable(ids::kLog, true);
  host.Click(ids::kLog);
  EXPECT_EQ(dialog.m_bLog, 0);
  EXPECT_EQ(dialog.m_pLogFile, nullptr);
  EXPECT_EQ(host.GetCheck(ids::kLog), 0);
  EXPECT_EQ(host.Lines(ids::kCommandResponseList).back(), "Log file cannot be opened.");
  host.Click(ids::kClose);
}

}  // namespace
