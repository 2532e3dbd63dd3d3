// Faults at every step: the adapter pulled out at each platform call of every handler that talks
// to the port or the driver, each such call refused once, the port closed or the adapter pulled
// out inside every pause of the loop check, and many opens and closes while the far end toggles
// a line. Whatever happens, the handler returns, the dialog keeps to its rules, and once the
// adapter is back the port opens and closes with exactly its usual lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/test_app.h"
#include "app/test_dlg.h"
#include "framework/activity.h"
#include "host_headless/headless_host.h"
#include "platform/drive_c_folder.h"
#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"
#include "resources/control_ids.h"
#include "tests/support/faulty_ports.h"
#include "tests/support/null_platform.h"
#include "tests/support/port_cycle_lines.h"

namespace varnet::bench::testing {
namespace {

using headless::HeadlessHost;

constexpr DWORD kWindowsNt = 0x1DB10106u;
constexpr DWORD kWindows98 = 0xC0000A04u;

// The fake clock moves one millisecond each time the program reads the tick count, so that the
// program's timed pauses end without anybody advancing it.
class TickingClock final : public Clock {
 public:
  TickingClock(FakeTimeSource& time, VirtualBench& bench) : time_(time), bench_(bench) {}
  DWORD GetTickCount() override {
    time_.AdvanceMs(1);
    return bench_.GetTickCount();
  }

 private:
  FakeTimeSource& time_;
  VirtualBench& bench_;
};

// The dialog on the virtual bench (loop-back plug) behind the fault layer.
struct Rig {
  explicit Rig(DWORD version = kWindowsNt)
      : null(version), files(driveC), services{ports, ports, null.services.system,
                                               clock, files, null.services.shell} {
    host.Open(dialog);
  }
  ~Rig() {
    host.Close();
    std::error_code error;
    std::filesystem::remove_all(driveC, error);
  }

  // The lines once the monitor has handed over everything it has (the script runner's idle rule).
  std::vector<std::string> Responses() {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      host.RunPendingMessages();
      const std::uint64_t before = framework::Activity::Sequence();
      const bool benchQuiet = bench.IsQuiet();
      if (framework::Activity::BusyCount() == 0 && !app.Calls().HasPending() && benchQuiet &&
          framework::Activity::Sequence() == before) {
        break;
      }
      if (!benchQuiet) {
        time.AdvanceMs(1);  // bytes still on the line
      }
      if (std::chrono::steady_clock::now() > limit) {
        ADD_FAILURE() << "the dialog did not become idle";
        break;
      }
      std::this_thread::yield();
    }
    return host.Lines(ids::kCommandResponseList);
  }

  FakeTimeSource time;
  VirtualBench bench{time};
  FaultyPorts ports{bench};
  TickingClock clock{time, bench};
  varnet::testing::NullPlatform null;
  // Test processes run side by side: each has a drive c: of its own, or one's data file would be
  // rewritten under another's Send TXT.
  const std::filesystem::path driveC = std::filesystem::path(::testing::TempDir()) /
                                       ("fault_steps_drive_c_" + std::to_string(std::random_device{}()));
  DriveCFolder files;
  Platform services;
  CTestApp app;
  HeadlessHost host{app};
  CTestDlg dialog{services};
};

using varnet::testing::kCloseLines;
using varnet::testing::kOpenLines;

// With the adapter back, whatever state the fault left: Close, then Open and Close list exactly
// their usual lines, so nothing of the earlier monitor or port is left over.
void ExpectRecovers(Rig& rig) {
  rig.ports.Arm(Fault::None, Caller::Window, 0);
  rig.bench.Unplug();  // frees COM3 even from a handle whose close was refused
  rig.bench.Plug();
  rig.host.Click(ids::kClose);
  rig.host.Click(ids::kCloseDrv);
  rig.host.Click(ids::kClearAll);
  rig.host.Click(ids::kOpen);
  EXPECT_EQ(rig.Responses(), kOpenLines);
  rig.host.Click(ids::kClearAll);
  rig.host.Click(ids::kClose);
  EXPECT_EQ(rig.Responses(), kCloseLines);
}

struct Handler {
  const char* name;
  std::function<void(Rig&)> prepare;  // not struck at
  std::function<void(Rig&)> act;      // every platform call of this is struck at in turn
  DWORD version = kWindowsNt;
};

void OpenPort(Rig& rig) { rig.host.Click(ids::kOpen); }
std::function<void(Rig&)> Click(int id) {
  return [id](Rig& rig) { rig.host.Click(id); };
}

std::vector<Handler> Handlers() {
  std::vector<Handler> handlers = {
      {"Open", nullptr, Click(ids::kOpen)},
      {"OpenTwice", OpenPort, Click(ids::kOpen)},
      {"Close", OpenPort, Click(ids::kClose)},
      {"SetPortStatus", OpenPort, Click(ids::kSetPortStatus)},
      {"GetPortStatus", OpenPort, Click(ids::kGetPortStatus)},
      {"Dtr", OpenPort, Click(ids::kDtr)},
      {"Rts", OpenPort, Click(ids::kRts)},
      {"HardwareFlow", OpenPort, Click(ids::kHardwareFlow)},
      {"SoftwareFlow", OpenPort, Click(ids::kSoftwareFlow)},
      {"NoFlow", OpenPort, Click(ids::kNoFlow)},
      {"WriteData",
       [](Rig& rig) {
         OpenPort(rig);
         rig.host.Type(ids::kLen, "300");
       },
       Click(ids::kWriteData)},
      {"ReadData",
       [](Rig& rig) {
         OpenPort(rig);
         rig.host.Type(ids::kLen, "40");
         rig.bench.Receive(std::vector<std::uint8_t>(20, 0x55));
         rig.time.AdvanceMs(100);
       },
       Click(ids::kReadData)},
      {"SendTxt",
       [](Rig& rig) {
         OpenPort(rig);
         std::filesystem::create_directories(rig.files.Resolve("c:\\data.txt").parent_path());
         std::ofstream(rig.files.Resolve("c:\\data.txt")) << "01 02 03\n04 05\n06\n";
       },
       Click(ids::kSendTxt)},
      {"LoopCheck",
       [](Rig& rig) {
         OpenPort(rig);
         rig.host.Type(ids::kLen, "16");
         rig.host.Type(ids::kLoopTimes, "3");
       },
       Click(ids::kLoopCheck)},
      {"OpenDriver98", nullptr, Click(ids::kOpenDrv), kWindows98},
      {"CloseDriver98", Click(ids::kOpenDrv), Click(ids::kCloseDrv), kWindows98},
      {"DeviceDescriptor98", Click(ids::kOpenDrv), Click(ids::kDeviceDesc), kWindows98},
      {"ReadBulk98",
       [](Rig& rig) {
         rig.host.Click(ids::kOpenDrv);
         rig.host.Type(ids::kBulkLen, "4");
       },
       Click(ids::kReadBulk), kWindows98},
  };
  // Every driver request on the NT family, on the COM port's handle.
  const std::vector<std::pair<const char*, int>> requests = {
      {"DeviceDescriptor", ids::kDeviceDesc},
      {"ConfigDescriptor", ids::kConfigDesc},
      {"StringDescriptor", ids::kStringDesc},
      {"SetCommand", ids::kSetCommand},
      {"GetCommand", ids::kGetCommand},
      {"ReadInterrupt", ids::kReadInterrupt},
      {"WriteBulk", ids::kWriteBulk},
      {"ReadBulk", ids::kReadBulk},
      {"SetLineState", ids::kSetLineState},
      {"SetFeature", ids::kSetFeature},
      {"GetFeature", ids::kGetFeature},
      {"ClearFeature", ids::kClearFeature},
      {"EepromWrite", ids::kEepromWrite},
      {"EepromReadData", ids::kEepromReadData},
      {"EepromReadStatus", ids::kEepromReadStatus},
      {"Gp0OutputEnable", ids::kGp0OutputEnable},
      {"Gp0Get", ids::kGp0Get},
      {"Gp0Set", ids::kGp0Set},
      {"Gp1OutputEnable", ids::kGp1OutputEnable},
      {"Gp1Get", ids::kGp1Get},
      {"Gp1Set", ids::kGp1Set},
  };
  // Every field a request reads, filled in with a value it accepts.
  const auto openAndFill = [](Rig& rig) {
    OpenPort(rig);
    for (const auto& [id, text] : std::vector<std::pair<int, const char*>>{{ids::kCommand, "7F"},
                                                                           {ids::kParameters, "5A"},
                                                                           {ids::kBulkData, "41"},
                                                                           {ids::kBulkLen, "4"},
                                                                           {ids::kSetLine, "3"},
                                                                           {ids::kFeature, "1"},
                                                                           {ids::kEepromOffset, "10"},
                                                                           {ids::kEepromData, "5A"},
                                                                           {ids::kGp0Value, "1"},
                                                                           {ids::kGp1Value, "1"}}) {
      rig.host.Enable(id, true);
      rig.host.Type(id, text);
    }
  };
  for (const auto& [name, id] : requests) {
    // Some of these buttons wait for another step to enable them.
    handlers.push_back({name, openAndFill, [id = id](Rig& rig) {
                          rig.host.Enable(id, true);
                          rig.host.Click(id);
                        }});
  }
  return handlers;
}

struct FaultCase {
  Handler handler;
  Fault fault;
  Caller caller;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.handler.name; }

class FaultStepsTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultStepsTest, EveryCallStruckInTurnLeavesADialogThatRecovers) {
  const FaultCase& c = GetParam();
  // A run with no fault counts the calls to strike at.
  int calls = 0;
  {
    Rig rig(c.handler.version);
    if (c.handler.prepare) {
      c.handler.prepare(rig);
    }
    rig.ports.Arm(Fault::None, c.caller, 0);
    c.handler.act(rig);
    rig.Responses();  // the monitor's calls go on until it has handed over its lines
    calls = rig.ports.Calls(c.caller);
  }
  if (c.caller == Caller::Window) {
    ASSERT_GT(calls, 0) << "the handler talks to the port or the driver";
  }
  for (int call = 1; call <= calls; ++call) {
    SCOPED_TRACE("call " + std::to_string(call) + " of " + std::to_string(calls));
    Rig rig(c.handler.version);
    if (c.handler.prepare) {
      c.handler.prepare(rig);
    }
    rig.ports.Arm(c.fault, c.caller, call);
    c.handler.act(rig);
    rig.Responses();
    if (c.caller == Caller::Window) {
      EXPECT_TRUE(rig.ports.Struck());
    }
    if (c.handler.version == kWindowsNt) {
      ExpectRecovers(rig);
    }
  }
}

std::vector<FaultCase> FaultCases() {
  std::vector<FaultCase> cases;
  for (const Handler& handler : Handlers()) {
    for (const Fault fault : {Fault::Unplug, Fault::Refuse}) {
      for (const Caller caller : {Caller::Window, Caller::Monitor}) {
        cases.push_back({handler, fault, caller});
      }
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Handlers, FaultStepsTest, ::testing::ValuesIn(FaultCases()),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                           return std::string(info.param.handler.name) +
                                  (info.param.fault == Fault::Unplug ? "Unplugged" : "Refused") +
                                  (info.param.caller == Caller::Window ? "ByWindow" : "ByMonitor");
                         });

// The loop check pumps messages while the echo comes back: the port is closed, or the adapter
// pulled out, inside each of its pauses in turn. The iterations after that find no port or a
// dead one and report a failed read, and the check ends as it would with a broken cable.
struct PauseCase {
  const char* what;
  int pause;  // from 1
  bool unplug;
};

class LoopCheckPauseTest : public ::testing::TestWithParam<PauseCase> {};

TEST_P(LoopCheckPauseTest, TheCheckEndsAndThePortRecovers) {
  const PauseCase& c = GetParam();
  Rig rig;
  rig.host.Click(ids::kOpen);
  rig.host.Type(ids::kLen, "16");
  rig.host.Type(ids::kLoopTimes, "3");
  rig.Responses();
  rig.host.Click(ids::kClearAll);
  rig.ports.afterWrite = [&rig, &c](int write) {
    if (write == c.pause) {
      rig.host.Post([&rig, &c] {
        if (c.unplug) {
          rig.bench.Unplug();
        } else {
          rig.host.Click(ids::kClose);
        }
      });
    }
  };
  rig.host.Click(ids::kLoopCheck);
  const std::vector<std::string> lines = rig.Responses();
  rig.ports.afterWrite = nullptr;

  // Every pause before the struck one read its block back in full.
  for (int pause = 1; pause < c.pause; ++pause) {
    EXPECT_EQ(lines.at(static_cast<std::size_t>(pause) - 1), "Test times: " + std::to_string(pause));
  }
  const std::string failedRead = "Read FAILED! expected read 16 bytes, only read 0 bytes";
  EXPECT_EQ(std::count(lines.begin(), lines.end(), failedRead), 1) << "the check stops at the first failure";
  if (!c.unplug) {
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Close COM port Successfully!"), 1);
  }
  EXPECT_EQ(rig.dialog.m_hComPort == kInvalidHandle, !c.unplug);
  ExpectRecovers(rig);
}

INSTANTIATE_TEST_SUITE_P(
    Pauses, LoopCheckPauseTest,
    ::testing::Values(PauseCase{"CloseInPause1", 1, false}, PauseCase{"CloseInPause2", 2, false},
                      PauseCase{"CloseInPause3", 3, false}, PauseCase{"UnplugInPause1", 1, true},
                      PauseCase{"UnplugInPause2", 2, true}, PauseCase{"UnplugInPause3", 3, true}),
    [](const ::testing::TestParamInfo<PauseCase>& info) { return std::string(info.param.what); });

// The far end toggles RI as fast as it can while the port opens and closes 1,000 times. Every
// cycle lists its usual lines: the open's three line changes each once (in the monitor's order
// of bits when a busy monitor finds them kept together), and the close's changes at most once
// each (a change still kept when the port closes is discarded with it; the CTS change, usually
// discarded so, is reported when a monitor busy with RI takes the kept changes together while
// the port is still open). "RI Changed!"
// comes only while the port is open, never more often than the far end changed the line.
TEST(OpenCloseUnderToggling, EveryCycleKeepsItsLines) {
  constexpr int kCycles = 1000;
  Rig rig;
  std::atomic<bool> stop{false};
  std::atomic<long> toggles{0};
  std::thread farEnd([&] {
    bool on = false;
    while (!stop.load()) {
      on = !on;
      rig.bench.DriveLine(InputLine::Ri, on);
      toggles.fetch_add(1);
      std::this_thread::yield();  // the bench's lock is not fair: let the dialog's threads in
    }
  });
  const auto withoutRings = [](std::vector<std::string> lines) {
    std::erase(lines, "RI Changed!");
    return lines;
  };
  // The idle rule may never hold while the far end keeps changing a line: the open's lines are
  // waited for instead, as a person waits to see them before clicking Close.
  const auto pumpUntil = [&](std::size_t count) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (withoutRings(rig.host.Lines(ids::kCommandResponseList)).size() < count &&
           std::chrono::steady_clock::now() < limit) {
      rig.host.RunPendingMessages();
      std::this_thread::yield();
    }
  };
  const std::vector<std::string> opened(kOpenLines.begin(), kOpenLines.begin() + 6);
  const std::vector<std::string> closing = {"CLEAR DTR", "CLEAR RTS"};
  long rings = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    rig.host.Click(ids::kOpen);
    pumpUntil(kOpenLines.size());
    rig.host.Click(ids::kClose);
    const std::vector<std::string> all = rig.host.Lines(ids::kCommandResponseList);
    rig.host.Click(ids::kClearAll);
    rings += static_cast<long>(std::count(all.begin(), all.end(), "RI Changed!"));
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), "OPEN COM3 port Successfully!")
        << "a change is reported only while the port is open";
    EXPECT_EQ(all.back(), "Close COM port Successfully!");

    const std::vector<std::string> lines = withoutRings(all);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6), opened);
    std::vector<std::string> changes(lines.begin() + 6, lines.begin() + 9);
    std::sort(changes.begin(), changes.end());
    EXPECT_EQ(changes, (std::vector<std::string>{"CTS Changed!", "DCD Changed!", "DSR Changed!"}));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 9, lines.begin() + 11), closing);
    std::vector<std::string> lastChanges(lines.begin() + 11, lines.end() - 1);
    std::sort(lastChanges.begin(), lastChanges.end());
    EXPECT_TRUE(std::includes(changes.begin(), changes.end(), lastChanges.begin(), lastChanges.end()) &&
                std::adjacent_find(lastChanges.begin(), lastChanges.end()) == lastChanges.end())
        << "at most one change of each line at the close: " << ::testing::PrintToString(lastChanges);
  }
  stop.store(true);
  farEnd.join();
  EXPECT_LE(rings, toggles.load());
}

}  // namespace
}  // namespace varnet::bench::testing
