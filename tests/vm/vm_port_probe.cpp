// Probes of the Linux serial layer (PosixSerial) on real kernel drivers, run in the QEMU guest
// where a bench script cannot show the point. Each probe prints fixed lines on standard output
// (compared with the scenario's expected output) and its figures on standard error.
//   lines COMn                      DTR and RTS as the driver reports them after each change, and
//                                   the input changes it counted
//   uart-loop DEVICE                put a 16550 into its internal loop-back mode
//   close-in-wait COMn              Close while the monitor is blocked in TIOCMIWAIT, timed
//   unplug-in-wait COMn UDC_FILE    unbind the gadget while the monitor is blocked in the driver
//   unplug-in-write COMn UDC_FILE FAR_DEVICE   ... while a write is held by a far end that reads nothing
//   cycles COMn COUNT FAR_DEVICE    open and close COUNT times, the far end's lines toggled in each
//   idle-cpu COMn SECONDS           the process's CPU time while a port is open and idle
//   calibrate                       the CPU time of a fixed piece of work (run on the host too)
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform_posix/com_device_map.h"
#include "platform_posix/posix_serial.h"

namespace {

using varnet::DWORD;
using varnet::EscapeFunction;
using varnet::Handle;
using varnet::kInvalidHandle;
using varnet::kWaitObject0;
using varnet::Overlapped;
using varnet::posix::PosixSerial;
namespace CommEvent = varnet::CommEvent;
using Clock = std::chrono::steady_clock;

constexpr DWORD kMonitorMask = 0x1FA;  // the mask the dialog arms
constexpr auto kPatience = std::chrono::seconds(10);

std::string PortPath(const std::string& name) { return "\\\\.\\" + name; }

std::string DevicePath(const std::string& name) {
  return varnet::posix::ComDeviceMap::Default().DeviceFor(PortPath(name)).value_or("");
}

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// True once `condition` holds, looking every 10 ms for at most kPatience.
bool Eventually(const std::function<bool()>& condition) {
  const auto end = Clock::now() + kPatience;
  while (!condition()) {
    if (Clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The system call a thread of this process is blocked in, as /proc shows it: its number and
// first two arguments ("16 0x3 0x545c" is ioctl(3, TIOCMIWAIT)).
std::string CurrentSyscall(pid_t thread) {
  std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/syscall");
  std::string number, fd, request;
  file >> number >> fd >> request;
  return number + " " + request;
}

bool InIoctl(pid_t thread, unsigned long request) {
  std::ostringstream expected;
  expected << SYS_ioctl << " 0x" << std::hex << request;
  return CurrentSyscall(thread) == expected.str();
}

// The dialog's monitor thread: arms the comm-event wait and waits for the stop event or the port
// event, keeping every completed wait's bits.
class Monitor {
 public:
  Monitor(PosixSerial& serial, Handle port) : serial_(serial), port_(port) {
    portEvent_ = serial_.CreateEvent(false, false);
    stopEvent_ = serial_.CreateEvent(false, false);
    overlapped_.hEvent = portEvent_;
    thread_ = std::thread([this] { Run(); });
  }
  ~Monitor() {
    Stop();
    serial_.CloseEvent(stopEvent_);
    serial_.CloseEvent(portEvent_);
  }
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;

  void Stop() {
    if (thread_.joinable()) {
      serial_.SetEvent(stopEvent_);
      thread_.join();
    }
  }
  pid_t ThreadId() const { return tid_.load(); }
  // The bits of the next completed wait, or nothing within kPatience.
  std::optional<DWORD> NextEvent() {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, kPatience, [&] { return !events_.empty(); })) {
      return std::nullopt;
    }
    const DWORD bits = events_.front();
    events_.pop_front();
    return bits;
  }
  std::size_t Pending() {
    std::lock_guard lock(mutex_);
    return events_.size();
  }

 private:
  void Run() {
    tid_ = static_cast<pid_t>(::syscall(SYS_gettid));
    for (;;) {
      mask_ = 0;
      serial_.WaitCommEvent(port_, &mask_, &overlapped_);
      const DWORD result = serial_.WaitForStopOrPortEvent(stopEvent_, portEvent_);
      if (result == kWaitObject0) {
        return;
      }
      if (result == kWaitObject0 + 1) {
        std::lock_guard lock(mutex_);
        events_.push_back(mask_);
        arrived_.notify_all();
      }
    }
  }

  PosixSerial& serial_;
  Handle port_;
  Handle portEvent_;
  Handle stopEvent_;
  Overlapped overlapped_{};
  DWORD mask_ = 0;
  std::atomic<pid_t> tid_{0};
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<DWORD> events_;
  std::thread thread_;
};

// Opens a port as the dialog does: the event mask armed, the monitor started, DTR and RTS raised.
struct OpenPort {
  OpenPort(PosixSerial& serial, const std::string& name) : serial(serial) {
    handle = serial.OpenPort(PortPath(name));
    if (handle != kInvalidHandle) {
      serial.SetCommMask(handle, kMonitorMask);
      monitor.emplace(serial, handle);
      serial.EscapeCommFunction(handle, EscapeFunction::SetDtr);
      serial.EscapeCommFunction(handle, EscapeFunction::SetRts);
    }
  }
  ~OpenPort() { Close(); }
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;
  // The dialog's Close: lines down, the port closed, then the monitor stopped.
  bool Close() {
    if (handle == kInvalidHandle) {
      return true;
    }
    serial.EscapeCommFunction(handle, EscapeFunction::ClrDtr);
    serial.EscapeCommFunction(handle, EscapeFunction::ClrRts);
    const auto closing = Clock::now();
    const bool closed = serial.ClosePort(handle);
    closeCallMs = MillisecondsSince(closing);
    handle = kInvalidHandle;
    monitor.reset();
    return closed;
  }
  bool MonitorInDriverWait() const {
    return Eventually([&] { return InIoctl(monitor->ThreadId(), TIOCMIWAIT); });
  }

  PosixSerial& serial;
  Handle handle = kInvalidHandle;
  std::optional<Monitor> monitor;
  double closeCallMs = 0;  // the ClosePort call alone, in the last Close
};

std::string Bits(DWORD bits) {
  static constexpr std::pair<DWORD, const char*> kNames[] = {
      {CommEvent::kErr, "ERR"},     {CommEvent::kCts, "CTS"},   {CommEvent::kDsr, "DSR"},
      {CommEvent::kBreak, "BREAK"}, {CommEvent::kRing, "RING"}, {CommEvent::kRlsd, "RLSD"}};
  std::string text;
  for (const auto& [bit, name] : kNames) {
    if (bits & bit) {
      text += text.empty() ? name : std::string(" ") + name;
    }
  }
  return text.empty() ? "none" : text;
}

int Fail(const std::string& what) {
  std::cout << "FAILED: " << what << "\n";
  return 1;
}

// A tty opened beside the port under test, for the driver's own view of the lines.
class SideFd {
 public:
  explicit SideFd(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {}
  ~SideFd() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  SideFd(const SideFd&) = delete;
  SideFd& operator=(const SideFd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

std::string Lines(int fd) {
  int lines = 0;
  if (::ioctl(fd, TIOCMGET, &lines) != 0) {
    return "TIOCMGET failed";
  }
  std::ostringstream text;
  text << "dtr=" << ((lines & TIOCM_DTR) ? 1 : 0) << " rts=" << ((lines & TIOCM_RTS) ? 1 : 0)
       << " cts=" << ((lines & TIOCM_CTS) ? 1 : 0) << " dsr=" << ((lines & TIOCM_DSR) ? 1 : 0)
       << " dcd=" << ((lines & TIOCM_CD) ? 1 : 0) << " ri=" << ((lines & TIOCM_RI) ? 1 : 0);
  return text.str();
}

int ProbeLines(const std::string& name) {
  PosixSerial serial;
  const Handle port = serial.OpenPort(PortPath(name));
  SideFd side(DevicePath(name));
  if (port == kInvalidHandle || side.Get() < 0) {
    return Fail("open " + name);
  }
  std::cout << "open: " << Lines(side.Get()) << "\n";
  static constexpr std::pair<EscapeFunction, const char*> kSteps[] = {
      {EscapeFunction::ClrDtr, "CLRDTR"}, {EscapeFunction::ClrRts, "CLRRTS"},
      {EscapeFunction::SetDtr, "SETDTR"}, {EscapeFunction::ClrDtr, "CLRDTR"},
      {EscapeFunction::SetRts, "SETRTS"}, {EscapeFunction::SetDtr, "SETDTR"}};
  for (const auto& [function, label] : kSteps) {
    const bool done = serial.EscapeCommFunction(port, function);
    std::cout << label << (done ? "" : " failed") << ": " << Lines(side.Get()) << "\n";
  }
  // Whether the driver saw those input changes as events: it counts what it can wait for.
  serial_icounter_struct counts{};
  if (::ioctl(side.Get(), TIOCGICOUNT, &counts) == 0) {
    std::cout << "counted changes: cts=" << counts.cts << " dsr=" << counts.dsr << " dcd=" << counts.dcd
              << " ri=" << counts.rng << "\n";
  }
  serial.ClosePort(port);
  return 0;
}

int ProbeUartLoop(const std::string& device) {
  SideFd fd(device);
  int loop = 0x8000;  // TIOCM_LOOP, which the C library's headers leave out
  if (fd.Get() < 0 || ::ioctl(fd.Get(), TIOCMBIS, &loop) != 0) {
    return Fail("TIOCM_LOOP on " + device);
  }
  return 0;
}

int ProbeCloseInWait(const std::string& name) {
  PosixSerial serial;
  OpenPort port(serial, name);
  if (port.handle == kInvalidHandle) {
    return Fail("open " + name);
  }
  if (!port.MonitorInDriverWait()) {
    return Fail("the monitor never blocked in TIOCMIWAIT");
  }
  const auto start = Clock::now();
  const bool closed = port.Close();
  const double ms = MillisecondsSince(start);
  std::cout << "close while the monitor waits in TIOCMIWAIT: " << (closed ? "closed" : "FAILED")
            << ", monitor ended\n";
  std::cerr << "close-in-wait " << name << ": " << ms
            << " ms (lines down, close, monitor stopped; the close call alone " << port.closeCallMs
            << " ms)\n";
  return closed ? 0 : 1;
}

bool WriteText(const std::string& file, const std::string& text) {
  std::ofstream out(file);
  out << text << "\n";
  out.close();
  return static_cast<bool>(out);
}

// After the adapter has gone: its wait ended, every further call fails, Close succeeds.
void ReportGone(PosixSerial& serial, OpenPort& port) {
  DWORD mask = 0;
  Overlapped overlapped{};
  overlapped.hEvent = serial.CreateEvent(false, false);
  std::cout << "  wait again: " << (serial.WaitCommEvent(port.handle, &mask, &overlapped) ? "armed" : "fails")
            << "\n";
  std::uint8_t byte = 0x55;
  std::cout << "  write: " << serial.WriteBlock(port.handle, {&byte, 1}, 1000) << " bytes\n";
  std::cout << "  read: " << serial.ReadBlock(port.handle, {&byte, 1}, 1000) << " bytes\n";
  varnet::Dcb dcb;
  std::cout << "  settings: " << (serial.GetCommState(port.handle, dcb) ? "read" : "fail") << "\n";
  const auto start = Clock::now();
  std::cout << "  close: " << (port.Close() ? "succeeds" : "FAILS") << "\n";
  std::cerr << "close after unplug: " << MillisecondsSince(start) << " ms\n";
  serial.CloseEvent(overlapped.hEvent);
}

int ProbeUnplugInWait(const std::string& name, const std::string& udcFile) {
  std::string udc;
  std::getline(std::ifstream(udcFile), udc);
  PosixSerial serial;
  OpenPort port(serial, name);
  if (port.handle == kInvalidHandle) {
    return Fail("open " + name);
  }
  if (!port.MonitorInDriverWait()) {
    return Fail("the monitor never blocked in TIOCMIWAIT");
  }
  const auto start = Clock::now();
  if (!WriteText(udcFile, "")) {
    return Fail("unbind the gadget");
  }
  // The gadget may report its lines down before it goes; the wait then ends with those bits,
  // and the next one with none.
  std::optional<DWORD> bits = port.monitor->NextEvent();
  while (bits && *bits != 0) {
    if ((*bits & ~(CommEvent::kDsr | CommEvent::kRlsd)) != 0) {
      return Fail("unplug reported " + Bits(*bits));
    }
    bits = port.monitor->NextEvent();
  }
  std::cout << "unplug while the monitor waits: " << (bits ? "the wait ended with no bits" : "the wait HANGS")
            << "\n";
  std::cerr << "unplug-in-wait: the wait ended after " << MillisecondsSince(start) << " ms\n";
  ReportGone(serial, port);
  WriteText(udcFile, udc);
  return bits ? 0 : 1;
}

int ProbeUnplugInWrite(const std::string& name, const std::string& udcFile, const std::string& farDevice) {
  std::string udc;
  std::getline(std::ifstream(udcFile), udc);
  SideFd far(farDevice);  // opened and never read: the gadget stops taking data once its buffers are full
  PosixSerial serial;
  OpenPort port(serial, name);
  if (far.Get() < 0 || port.handle == kInvalidHandle) {
    return Fail("open " + name + " and " + farDevice);
  }
  varnet::CommTimeouts timeouts{0xFFFFFFFF, 0, 0, 5, 1000};
  serial.SetCommTimeouts(port.handle, timeouts);
  std::atomic<pid_t> writer{0};
  std::atomic<bool> done{false};
  DWORD written = 0;
  const std::vector<std::uint8_t> block(1 << 20, 0x5A);  // far more than every buffer on the way
  std::thread transfer([&] {
    writer = static_cast<pid_t>(::syscall(SYS_gettid));
    written = serial.WriteBlock(port.handle, block, 10000);
    done = true;
  });
  // Held: the writer waits for room in poll.
  auto inPoll = [&] {
    const std::string call = writer == 0 ? "" : CurrentSyscall(writer);
    return call.rfind(std::to_string(SYS_poll) + " ", 0) == 0 ||
           call.rfind(std::to_string(SYS_ppoll) + " ", 0) == 0;
  };
  const bool held = Eventually(inPoll);
  const auto start = Clock::now();
  WriteText(udcFile, "");
  const bool ended = Eventually([&] { return done.load(); });
  if (ended) {
    transfer.join();
  } else {
    transfer.detach();
  }
  std::cout << "unplug during a held write: " << (held ? "" : "(never held) ")
            << (ended ? "the write ended" : "the write HANGS") << ", "
            << (written < block.size() ? "short" : "complete") << "\n";
  std::cerr << "unplug-in-write: " << written << " of " << block.size() << " bytes, ended after "
            << MillisecondsSince(start) << " ms\n";
  ReportGone(serial, port);
  WriteText(udcFile, udc);
  return held && ended ? 0 : 1;
}

int ProbeCycles(const std::string& name, int count, const std::string& farDevice) {
  PosixSerial serial;
  std::unique_ptr<SideFd> far;
  int wrong = 0;
  int hung = 0;
  double slowestClose = 0;
  double slowestCloseCall = 0;
  const auto start = Clock::now();
  for (int cycle = 0; cycle < count && hung == 0; ++cycle) {
    OpenPort port(serial, name);
    if (port.handle == kInvalidHandle) {
      return Fail("open " + name + " in cycle " + std::to_string(cycle));
    }
    // The far end opens or closes its tty: DSR and DCD change together, once.
    if (far) {
      far.reset();
    } else {
      far = std::make_unique<SideFd>(farDevice);
    }
    const std::optional<DWORD> bits = port.monitor->NextEvent();
    if (!bits) {
      ++hung;
    } else if (*bits != (CommEvent::kDsr | CommEvent::kRlsd)) {
      ++wrong;
      std::cerr << "cycle " << cycle << ": " << Bits(*bits) << "\n";
    }
    const auto closing = Clock::now();
    port.Close();
    slowestClose = std::max(slowestClose, MillisecondsSince(closing));
    slowestCloseCall = std::max(slowestCloseCall, port.closeCallMs);
    if (port.monitor || port.handle != kInvalidHandle) {
      ++hung;
    }
  }
  std::cout << count << " open/close cycles, the far end's lines toggled in each: " << wrong
            << " wrong events, " << hung << " lost\n";
  std::cerr << "cycles: " << count << " in " << MillisecondsSince(start) << " ms, slowest close "
            << slowestClose << " ms (the close call alone " << slowestCloseCall << " ms)\n";
  return wrong == 0 && hung == 0 ? 0 : 1;
}

double CpuMilliseconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// A fixed piece of work (arithmetic and system calls), whose CPU time in the guest against the
// same on the host shows how much slower the emulated processor is.
double CalibrationMilliseconds() {
  const double before = CpuMilliseconds();
  std::uint64_t value = 1;
  for (int i = 0; i < 20'000'000; ++i) {
    value = value * 6364136223846793005u + 1442695040888963407u;
  }
  for (int i = 0; i < 20'000; ++i) {
    value += static_cast<std::uint64_t>(::getppid());
  }
  const double used = CpuMilliseconds() - before;
  return value == 0 ? -1 : used;
}

int ProbeCalibrate() {
  std::cout << "calibration work: " << CalibrationMilliseconds() << " ms of CPU time\n";
  return 0;
}

int ProbeIdleCpu(const std::string& name, int seconds) {
  PosixSerial serial;
  OpenPort port(serial, name);
  if (port.handle == kInvalidHandle || !port.MonitorInDriverWait()) {
    return Fail("open " + name);
  }
  const double before = CpuMilliseconds();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double used = CpuMilliseconds() - before;
  std::cout << "an open idle port: " << port.monitor->Pending() << " events\n";
  std::cerr << "idle-cpu " << name << ": " << used << " ms of CPU time in " << seconds
            << " s (goal: under 20 ms in 10 s); calibration work " << CalibrationMilliseconds() << " ms\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  auto arity = [&](std::size_t n) { return args.size() == n; };
  if (arity(2) && args[0] == "lines") {
    return ProbeLines(args[1]);
  }
  if (arity(2) && args[0] == "uart-loop") {
    return ProbeUartLoop(args[1]);
  }
  if (arity(2) && args[0] == "close-in-wait") {
    return ProbeCloseInWait(args[1]);
  }
  if (arity(3) && args[0] == "unplug-in-wait") {
    return ProbeUnplugInWait(args[1], args[2]);
  }
  if (arity(4) && args[0] == "unplug-in-write") {
    return ProbeUnplugInWrite(args[1], args[2], args[3]);
  }
  if (arity(4) && args[0] == "cycles") {
    return ProbeCycles(args[1], std::atoi(args[2].c_str()), args[3]);
  }
  if (arity(1) && args[0] == "calibrate") {
    return ProbeCalibrate();
  }
  if (arity(3) && args[0] == "idle-cpu") {
    return ProbeIdleCpu(args[1], std::atoi(args[2].c_str()));
  }
  std::cerr << "usage: vm_port_probe "
               "lines|uart-loop|close-in-wait|unplug-in-wait|unplug-in-write|cycles|idle-cpu|calibrate ...\n";
  return 2;
}
