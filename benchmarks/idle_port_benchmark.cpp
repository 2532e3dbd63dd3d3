// The CPU time of an open, idle serial port on Linux: the monitor's comm-event wait blocked in the
// driver's line change wait, woken every 200 ms by its ticker to look at the counters. The port is
// a pseudo-terminal and the driver calls go to a stand-in that answers like a usb-serial driver
// (counters that never move, a line change wait that only a signal ends), so the figure is this
// layer's own cost on this machine; the guest tests measure the same on real drivers, on an
// emulated processor. Usage: idle_port_benchmark [SECONDS] (default 10; goal: under 20 ms in 10 s).
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform_posix/posix_serial.h"

namespace {

using namespace varnet;
using namespace varnet::posix;

class QuietDriver : public TtyControl {
 public:
  int GetModemLines(int, int& lines) override {
    lines = ModemLine::kDtr | ModemLine::kRts | ModemLine::kCts | ModemLine::kDsr | ModemLine::kCd;
    return 0;
  }
  int ChangeModemLines(int, int, bool) override { return 0; }
  int SetBreak(int, bool) override { return 0; }
  int GetCounters(int, LineCounters& counters) override {
    counters = {};
    return 0;
  }
  // Blocks until a signal, as TIOCMIWAIT on a line that never changes.
  int WaitModemChange(int, int) override {
    const int result = ::poll(nullptr, 0, -1);
    return result < 0 ? errno : 0;
  }
};

double CpuMilliseconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    std::perror("posix_openpt");
    return 1;
  }
  ComDeviceMap::Paths paths;
  paths[2] = ::ptsname(master);
  QuietDriver driver;
  PosixSerial serial(ComDeviceMap(paths), driver);
  const Handle port = serial.OpenPort("\\\\.\\COM3");
  if (port == kInvalidHandle) {
    std::fprintf(stderr, "cannot open %s\n", paths[2].c_str());
    return 1;
  }
  serial.SetCommMask(port, 0x1FA);
  const Handle portEvent = serial.CreateEvent(false, false);
  const Handle stopEvent = serial.CreateEvent(false, false);
  std::thread monitor([&] {
    DWORD mask = 0;
    Overlapped overlapped{};
    overlapped.hEvent = portEvent;
    for (;;) {
      serial.WaitCommEvent(port, &mask, &overlapped);
      if (serial.WaitForStopOrPortEvent(stopEvent, portEvent) == kWaitObject0) {
        return;
      }
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the monitor settles in its wait

  const double before = CpuMilliseconds();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double used = CpuMilliseconds() - before;

  serial.ClosePort(port);
  serial.SetEvent(stopEvent);
  monitor.join();
  serial.CloseEvent(stopEvent);
  serial.CloseEvent(portEvent);
  ::close(master);
  std::printf("an open idle port: %.2f ms of CPU time in %d s (goal: under 20 ms in 10 s)\n", used, seconds);
  return 0;
}
