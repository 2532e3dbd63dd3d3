// A tty's line settings in plain terms, and the calls that read and write them. The calls live in a
// file of their own because they need the kernel's termios2 record (any rate, through BOTHER),
// whose header cannot be included together with <termios.h>.
#pragma once

#include <cstdint>

namespace varnet::posix {

enum class LineParity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };

struct LineSettings {
  std::uint32_t rate = 9600;  // bits per second, output and input alike
  std::uint8_t dataBits = 8;  // 5 to 8
  LineParity parity = LineParity::None;
  bool extraStopBits = false;  // CSTOPB: two stop bits, or one and a half with 5 data bits
  bool rtsCtsFlow = false;     // CRTSCTS
  bool xonXoffOut = false;     // IXON: a received XOFF holds transmission until XON
  bool xonXoffIn = false;      // IXOFF: XOFF and XON are sent as the input buffer fills and drains
  char xonChar = 0x11;
  char xoffChar = 0x13;
  bool operator==(const LineSettings&) const = default;
};

// Each returns 0 or the errno value of the failure.

// Puts a freshly opened tty into raw mode: no echo, no line editing, no character translation, no
// software flow control, reads that return at once (the port is non-blocking), modem lines ignored for
// hang-up (CLOCAL) and the receiver on. Rate, character size, parity, stop bits and CRTSCTS stay as they
// were.
int MakeRaw(int fd);

int ReadLineSettings(int fd, LineSettings& settings);

// Applies every field at once (TCSETS2), the rate as BOTHER with the exact number.
int WriteLineSettings(int fd, const LineSettings& settings);

// Transmission held as if XOFF had been received (true), or released (false).
int SuspendOutput(int fd, bool suspended);

}  // namespace varnet::posix
