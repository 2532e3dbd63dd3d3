// Modem lines, comm events, handles and the adapter going away.
#include <gtest/gtest.h>

#include <atomic>
#include <semaphore>
#include <thread>
#include <utility>
#include <vector>

#include "framework/activity.h"
#include "protocol/request_codes.h"
#include "tests/support/bench_fixture.h"

namespace varnet::bench::testing {
namespace {

constexpr DWORD kUntouched = 0xDEAD;

class EventsTest : public BenchFixture {
 protected:
  // Starts a comm-event wait; `mask` keeps kUntouched until the wait completes.
  void StartWait(Handle port) {
    mask = kUntouched;
    overlapped.hEvent = portEvent;
    ASSERT_TRUE(bench.WaitCommEvent(port, &mask, &overlapped));
  }

  Handle portEvent = bench.CreateEvent(false, false);
  Handle stopEvent = bench.CreateEvent(false, false);
  Overlapped overlapped;
  DWORD mask = kUntouched;
};

TEST_F(EventsTest, RaisingDtrOnTheLoopbackPlugIsOneEventWithDsrAndDcd) {
  const Handle port = OpenPort();
  StartWait(port);
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetDtr));
  EXPECT_EQ(mask, CommEvent::kDsr | CommEvent::kRlsd);
  EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0 + 1);

  StartWait(port);
  EXPECT_EQ(mask, kUntouched) << "nothing else was kept";
}

TEST_F(EventsTest, AnEventWithNoWaitPendingIsReportedByTheNextWaitAtOnce) {
  const Handle port = OpenPort();
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetRts));
  ASSERT_TRUE(bench.DriveLine(InputLine::Ri, true));
  StartWait(port);
  EXPECT_EQ(mask, CommEvent::kCts | CommEvent::kRing);
  EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0 + 1);
}

TEST_F(EventsTest, EventsOutsideTheMaskAreNotKept) {
  const Handle port = OpenPort();
  ASSERT_TRUE(bench.SetCommMask(port, CommEvent::kCts));
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetDtr));
  StartWait(port);
  EXPECT_EQ(mask, kUntouched);
}

TEST_F(EventsTest, ChangingThePlugIsOneEventWithEveryInputThatChanged) {
  const Handle port = OpenPort();
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetDtr));
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetRts));
  EXPECT_FALSE(bench.DriveLine(InputLine::Cts, false)) << "the loop-back plug drives CTS";
  StartWait(port);  // takes the kept changes
  StartWait(port);
  bench.SetPlug(PlugKind::None);
  EXPECT_EQ(mask, CommEvent::kCts | CommEvent::kDsr | CommEvent::kRlsd);
  EXPECT_TRUE(bench.DriveLine(InputLine::Cts, true)) << "with no plug the far end drives CTS";
}

TEST_F(EventsTest, SettingsWriteAppliesDtrAndRtsControl) {
  const Handle port = OpenPort();
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetDtr));
  SetBaud(port, 19200);  // fDtrControl DISABLE: the write lowers DTR again
  EXPECT_NE(bench.PortLine().find(" dtr=0 rts=0 "), std::string::npos) << bench.PortLine();

  SetFlow(port, (kControlHandshake << DcbFlag::kDtrControlShift), DcbFlag::kDtrControlMask);
  EXPECT_NE(bench.PortLine().find(" dtr=1 rts=0 "), std::string::npos) << bench.PortLine();
  EXPECT_FALSE(bench.EscapeCommFunction(port, EscapeFunction::ClrDtr));
  EXPECT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetRts));
}

TEST_F(EventsTest, SettingsOutsideTheAdaptersRangeAreRefused) {
  const Handle port = OpenPort();
  struct Case {
    DWORD baud;
    std::uint8_t size;
    std::uint8_t parity;
    std::uint8_t stop;
    bool accepted;
  };
  const Case cases[] = {
      {75, 8, 0, 0, true},    {74, 8, 0, 0, false},   {6'000'000, 8, 4, 2, true}, {6'000'001, 8, 0, 0, false},
      {9600, 4, 0, 0, false}, {9600, 9, 0, 0, false}, {9600, 8, 5, 0, false},     {9600, 8, 0, 3, false},
      {9600, 8, 0, 1, false}, {9600, 6, 0, 1, false}, {9600, 5, 0, 1, true},      {9600, 5, 0, 2, true},
  };
  for (const Case& c : cases) {
    Dcb dcb;
    ASSERT_TRUE(bench.GetCommState(port, dcb));
    dcb.BaudRate = c.baud;
    dcb.ByteSize = c.size;
    dcb.Parity = c.parity;
    dcb.StopBits = c.stop;
    EXPECT_EQ(bench.SetCommState(port, dcb), c.accepted)
        << c.baud << " " << int{c.size} << " " << int{c.parity} << " " << int{c.stop};
    Dcb after;
    ASSERT_TRUE(bench.GetCommState(port, after));
    const bool applied = after.BaudRate == c.baud && after.ByteSize == c.size && after.Parity == c.parity &&
                         after.StopBits == c.stop;
    EXPECT_EQ(applied, c.accepted) << "a refused write changes nothing";
    SetBaud(port, 9600);
  }
}

TEST_F(EventsTest, OpenIsExclusiveAndStartsFromPowerOnSettings) {
  const Handle port = OpenPort(115200);
  EXPECT_EQ(bench.OpenPort("\\\\.\\COM3"), kInvalidHandle);
  EXPECT_EQ(bench.OpenPort("\\\\.\\COM4"), kInvalidHandle);
  ASSERT_TRUE(bench.ClosePort(port));
  EXPECT_EQ(bench.PortLine(), "port open=0");

  const Handle again = bench.OpenPort("\\\\.\\COM3");
  ASSERT_NE(again, kInvalidHandle);
  EXPECT_EQ(bench.PortLine(),
            "port open=1 baud=9600 size=8 parity=0 stop=0 dtr=1 rts=1 cts=1 dsr=1 dcd=1 ri=0 "
            "ctsflow=0 dsrflow=0 dtrcontrol=1 rtscontrol=1 outx=0 inx=0");
  Dcb dcb;
  ASSERT_TRUE(bench.GetCommState(again, dcb));
  EXPECT_EQ(dcb.XonLim, 2048);
  EXPECT_EQ(dcb.XoffLim, 512);
  EXPECT_EQ(dcb.XonChar, 0x11);
  EXPECT_EQ(dcb.XoffChar, 0x13);
  EXPECT_EQ(dcb.flags, DcbFlag::kBinary | 0x1010u);
}

TEST_F(EventsTest, ClosingEndsAPendingWaitWithNoBits) {
  const Handle port = OpenPort();
  StartWait(port);
  ASSERT_TRUE(bench.ClosePort(port));
  EXPECT_EQ(mask, 0u);
  EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0 + 1);
  EXPECT_FALSE(bench.WaitCommEvent(port, &mask, &overlapped));
}

TEST_F(EventsTest, TheStopEventWinsWhenBothAreSignalled) {
  const Handle port = OpenPort();
  StartWait(port);
  ASSERT_TRUE(bench.ClosePort(port));
  ASSERT_TRUE(bench.SetEvent(stopEvent));
  EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0);
  EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0 + 1)
      << "the port event stays signalled, the stop event was consumed";
}

TEST_F(EventsTest, UnpluggingEndsTheWaitAndFailsEverythingButTheClose) {
  const Handle port = OpenPort();
  ASSERT_TRUE(Request(port, driver::IOCTL_SET_VENDOR_COMMAND, {0x10, 0, 0x34, 0x12}, 0).ok);
  ASSERT_TRUE(Request(port, driver::IOCTL_EEPROM_WRITE, {0x05, 0xA5}, 0).ok);
  AdvanceMs(5);
  bench.Drop(1);
  StartWait(port);

  bench.Unplug();
  EXPECT_EQ(mask, 0u);
  EXPECT_EQ(bench.PortLine(), "port open=0");
  EXPECT_EQ(bench.WriteBlock(port, Counting(4), 10000), 0u);
  Dcb dcb;
  EXPECT_FALSE(bench.GetCommState(port, dcb));
  EXPECT_FALSE(bench.EscapeCommFunction(port, EscapeFunction::SetDtr));
  EXPECT_FALSE(bench.WaitCommEvent(port, &mask, &overlapped));
  EXPECT_FALSE(Request(port, driver::IOCTL_EEPROM_READ_STATUS, {}, 1).ok);
  EXPECT_EQ(bench.OpenPort("\\\\.\\COM3"), kInvalidHandle);
  EXPECT_EQ(bench.OpenDriver("\\\\.\\RARUDA-1"), kInvalidHandle);

  bench.Plug();
  EXPECT_FALSE(bench.GetCommState(port, dcb)) << "plugging in again revives no handle";
  EXPECT_TRUE(bench.ClosePort(port));
  const Handle fresh = bench.OpenPort("\\\\.\\COM3");
  ASSERT_NE(fresh, kInvalidHandle);
  ASSERT_TRUE(bench.SetCommTimeouts(fresh, CommTimeouts{kMaxDword, 0, 0, 5, 1000}));
  EXPECT_EQ(Request(fresh, driver::IOCTL_GET_VENDOR_COMMAND, {0x10, 0, 0, 0}, 4).out,
            (std::vector<std::uint8_t>{0, 0, 0, 0}))
      << "registers start from power-on";
  EXPECT_EQ(Request(fresh, driver::IOCTL_EEPROM_READ_DATA, {0x05, 0}, 1).out, std::vector<std::uint8_t>{0xA5})
      << "the EEPROM keeps its content";
  ASSERT_EQ(bench.WriteBlock(fresh, std::vector<std::uint8_t>{1, 2}, 10000), 2u);
  AdvanceMs(5);
  std::vector<std::uint8_t> buffer(4);
  EXPECT_EQ(bench.ReadBlock(fresh, buffer, 3000), 1u) << "the bench's drop mark stays";
}

TEST_F(EventsTest, BreakSentComesBackOnTheLoop) {
  const Handle port = OpenPort();
  StartWait(port);
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetBreak));
  EXPECT_EQ(mask, CommEvent::kBreak);
  ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::ClrBreak));
}

TEST_F(EventsTest, IdleWaitsForSignalsAThreadHasNotTaken) {
  const Handle port = OpenPort();
  StartWait(port);
  std::atomic<bool> woke{false};
  std::thread monitor([&] {
    EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0);
    woke = true;
  });
  // The signal may or may not have been taken yet, but once the monitor is back it is gone.
  ASSERT_TRUE(bench.SetEvent(stopEvent));
  monitor.join();
  EXPECT_TRUE(woke);
  EXPECT_TRUE(bench.IsQuiet());
}

// As with a Win32 wait, a blocked wait is satisfied the moment its event is signalled: a stop
// event set right after cannot take a port event from a thread that has not run yet.
TEST_F(EventsTest, ABlockedWaitIsSatisfiedWhenItsEventIsSignalled) {
  for (int round = 0; round < 20; ++round) {
    const Handle port = OpenPort();
    StartWait(port);
    const int busyBefore = framework::Activity::BusyCount();
    framework::Activity::BeginBusy();  // the monitor thread, as the program starts it
    std::atomic<DWORD> result{kUntouched};
    std::thread monitor([&] { result = bench.WaitForStopOrPortEvent(stopEvent, portEvent); });
    while (framework::Activity::BusyCount() != busyBefore) {
      std::this_thread::yield();  // until the monitor is blocked
    }
    ASSERT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::SetDtr));
    ASSERT_TRUE(bench.SetEvent(stopEvent));
    monitor.join();
    framework::Activity::EndBusy();
    EXPECT_EQ(result.load(), kWaitObject0 + 1);
    EXPECT_EQ(mask, CommEvent::kDsr | CommEvent::kRlsd);
    EXPECT_EQ(bench.WaitForStopOrPortEvent(stopEvent, portEvent), kWaitObject0) << "the stop is still set";
    ASSERT_TRUE(bench.ClosePort(port));
  }
}

// The program's two threads on one handle: the window's thread writes, toggles DTR and sends
// driver requests while the monitor thread waits for comm events, as on the NT family.
TEST_F(EventsTest, WindowThreadAndMonitorThreadShareOneHandle) {
  const Handle port = OpenPort(115200);
  std::vector<DWORD> seen;
  std::atomic<int> reported{0};
  std::binary_semaphore armed{0};
  std::thread monitor([&] {
    Overlapped own;
    own.hEvent = portEvent;
    DWORD bits = 0;
    bool first = true;
    for (;;) {
      bits = 0;
      bench.WaitCommEvent(port, &bits, &own);
      if (std::exchange(first, false)) {
        armed.release();  // go on only once a wait is pending, as the program's Open does
      }
      const DWORD result = bench.WaitForStopOrPortEvent(stopEvent, portEvent);
      if (result == kWaitObject0) {
        return;
      }
      if (result == kWaitObject0 + 1) {
        seen.push_back(bits);
        ++reported;
      }
    }
  });

  armed.acquire();
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(bench.EscapeCommFunction(port, i % 2 == 0 ? EscapeFunction::SetDtr : EscapeFunction::ClrDtr));
    EXPECT_EQ(bench.WriteBlock(port, Counting(8), 10000), 8u);
    EXPECT_TRUE(Request(port, driver::IOCTL_EEPROM_READ_STATUS, {}, 1).ok);
    std::vector<std::uint8_t> buffer(16);
    bench.ReadBlock(port, buffer, 3000);
  }
  // The stop event wins over a port event not yet taken: let the monitor report first.
  while (reported.load() == 0) {
    std::this_thread::yield();
  }
  ASSERT_TRUE(bench.ClosePort(port));
  ASSERT_TRUE(bench.SetEvent(stopEvent));
  monitor.join();

  for (std::size_t i = 0; i < seen.size(); ++i) {
    // Simultaneous changes stay one event, and a closed handle ends the wait with nothing.
    EXPECT_TRUE(seen[i] == (CommEvent::kDsr | CommEvent::kRlsd) || seen[i] == 0) << seen[i];
  }
}

}  // namespace
}  // namespace varnet::bench::testing
