// The seam's real side: the ioctls themselves.
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "platform_posix/tty_control.h"

namespace varnet::posix {
namespace {

int Result(int rc) { return rc < 0 ? errno : 0; }

class KernelTtyControl : public TtyControl {
 public:
  int GetModemLines(int fd, int& lines) override { return Result(::ioctl(fd, TIOCMGET, &lines)); }

  int ChangeModemLines(int fd, int lines, bool raise) override {
    return Result(::ioctl(fd, raise ? TIOCMBIS : TIOCMBIC, &lines));
  }

  int SetBreak(int fd, bool on) override { return Result(::ioctl(fd, on ? TIOCSBRK : TIOCCBRK)); }

  int GetCounters(int fd, LineCounters& counters) override {
    serial_icounter_struct icount{};
    if (::ioctl(fd, TIOCGICOUNT, &icount) < 0) {
      return errno;
    }
    auto count = [](int value) { return static_cast<std::uint32_t>(value); };
    counters = {count(icount.cts),    count(icount.dsr),   count(icount.rng),
                count(icount.dcd),    count(icount.frame), count(icount.overrun),
                count(icount.parity), count(icount.brk),   count(icount.buf_overrun)};
    return 0;
  }

  int WaitModemChange(int fd, int lines) override {
    return Result(::ioctl(fd, TIOCMIWAIT, static_cast<unsigned long>(lines)));
  }
};

}  // namespace

TtyControl& SystemTtyControl() {
  static KernelTtyControl control;
  return control;
}

}  // namespace varnet::posix
