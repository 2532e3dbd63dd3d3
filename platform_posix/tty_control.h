// The driver calls behind the modem lines, breaks and line errors of a tty, as a small interface,
// so that the code above them can be run against a stand-in: a pseudo-terminal has no modem lines
// and answers every one of these calls with ENOTTY.
#pragma once

#include <cstdint>

namespace varnet::posix {

// Modem line bits, with the values of TIOCM_DTR ... TIOCM_DSR.
namespace ModemLine {
inline constexpr int kDtr = 0x002;
inline constexpr int kRts = 0x004;
inline constexpr int kCts = 0x020;
inline constexpr int kCd = 0x040;
inline constexpr int kRi = 0x080;
inline constexpr int kDsr = 0x100;
}  // namespace ModemLine

// The driver's counts of input line changes and of receive errors (TIOCGICOUNT).
struct LineCounters {
  std::uint32_t cts = 0;
  std::uint32_t dsr = 0;
  std::uint32_t rng = 0;
  std::uint32_t dcd = 0;
  std::uint32_t frame = 0;
  std::uint32_t overrun = 0;
  std::uint32_t parity = 0;
  std::uint32_t brk = 0;
  std::uint32_t bufOverrun = 0;
  bool operator==(const LineCounters&) const = default;
};

// Every call returns 0 on success or the errno value of its failure.
class TtyControl {
 public:
  virtual ~TtyControl() = default;
  virtual int GetModemLines(int fd, int& lines) = 0;                // TIOCMGET
  virtual int ChangeModemLines(int fd, int lines, bool raise) = 0;  // TIOCMBIS / TIOCMBIC
  virtual int SetBreak(int fd, bool on) = 0;                        // TIOCSBRK / TIOCCBRK
  virtual int GetCounters(int fd, LineCounters& counters) = 0;      // TIOCGICOUNT
  // Blocks until one of the input lines in `lines` changes (TIOCMIWAIT). A signal taken by the
  // calling thread ends it with EINTR; an adapter that has gone away with EIO.
  virtual int WaitModemChange(int fd, int lines) = 0;
};

// The kernel's own calls.
TtyControl& SystemTtyControl();

}  // namespace varnet::posix
