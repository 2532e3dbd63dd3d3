// The line settings through the kernel's termios2 record. Only this file includes <asm/termbits.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "platform_posix/line_settings.h"

namespace varnet::posix {
namespace {

int Get(int fd, termios2& tio) { return ::ioctl(fd, TCGETS2, &tio) < 0 ? errno : 0; }
int Set(int fd, const termios2& tio) { return ::ioctl(fd, TCSETS2, &tio) < 0 ? errno : 0; }

}  // namespace

int MakeRaw(int fd) {
  termios2 tio{};
  if (int error = Get(fd, tio)) {
    return error;
  }
  tio.c_iflag &= ~static_cast<tcflag_t>(BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                        IXANY | IUCLC | IMAXBEL);
  // A break is an event (the driver counts it), not data: without IGNBRK the tty hands the reader
  // a 0x00 byte for it, which the program would take as received data.
  tio.c_iflag |= IGNBRK;
  tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag |= CLOCAL | CREAD;
  // With VMIN 0 a read of an empty tty returns 0, as a hung-up tty does; with VMIN 1 and the
  // non-blocking open it fails with EAGAIN, and 0 means the adapter has gone.
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  return Set(fd, tio);
}

int ReadLineSettings(int fd, LineSettings& settings) {
  termios2 tio{};
  if (int error = Get(fd, tio)) {
    return error;
  }
  const tcflag_t cflag = tio.c_cflag;
  settings.rate = tio.c_ospeed;
  switch (cflag & CSIZE) {
    case CS5:
      settings.dataBits = 5;
      break;
    case CS6:
      settings.dataBits = 6;
      break;
    case CS7:
      settings.dataBits = 7;
      break;
    default:
      settings.dataBits = 8;
      break;
  }
  if ((cflag & PARENB) == 0) {
    settings.parity = LineParity::None;
  } else if ((cflag & CMSPAR) != 0) {
    settings.parity = (cflag & PARODD) != 0 ? LineParity::Mark : LineParity::Space;
  } else {
    settings.parity = (cflag & PARODD) != 0 ? LineParity::Odd : LineParity::Even;
  }
  settings.extraStopBits = (cflag & CSTOPB) != 0;
  settings.rtsCtsFlow = (cflag & CRTSCTS) != 0;
  settings.xonXoffOut = (tio.c_iflag & IXON) != 0;
  settings.xonXoffIn = (tio.c_iflag & IXOFF) != 0;
  settings.xonChar = static_cast<char>(tio.c_cc[VSTART]);
  settings.xoffChar = static_cast<char>(tio.c_cc[VSTOP]);
  return 0;
}

int WriteLineSettings(int fd, const LineSettings& settings) {
  termios2 tio{};
  if (int error = Get(fd, tio)) {
    return error;
  }
  tcflag_t cflag = tio.c_cflag & ~static_cast<tcflag_t>(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR |
                                                        CSTOPB | CRTSCTS);
  // BOTHER in both halves: input and output run at the same exact rate.
  cflag |= BOTHER | (BOTHER << IBSHIFT);
  switch (settings.dataBits) {
    case 5:
      cflag |= CS5;
      break;
    case 6:
      cflag |= CS6;
      break;
    case 7:
      cflag |= CS7;
      break;
    case 8:
      cflag |= CS8;
      break;
    default:
      return EINVAL;
  }
  switch (settings.parity) {
    case LineParity::None:
      break;
    case LineParity::Odd:
      cflag |= PARENB | PARODD;
      break;
    case LineParity::Even:
      cflag |= PARENB;
      break;
    case LineParity::Mark:
      cflag |= PARENB | CMSPAR | PARODD;
      break;
    case LineParity::Space:
      cflag |= PARENB | CMSPAR;
      break;
  }
  if (settings.extraStopBits) {
    cflag |= CSTOPB;
  }
  if (settings.rtsCtsFlow) {
    cflag |= CRTSCTS;
  }
  tio.c_cflag = cflag;
  tio.c_ispeed = settings.rate;
  tio.c_ospeed = settings.rate;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  if (settings.xonXoffOut) {
    tio.c_iflag |= IXON;
  }
  if (settings.xonXoffIn) {
    tio.c_iflag |= IXOFF;
  }
  tio.c_cc[VSTART] = static_cast<cc_t>(settings.xonChar);
  tio.c_cc[VSTOP] = static_cast<cc_t>(settings.xoffChar);
  return Set(fd, tio);
}

int SuspendOutput(int fd, bool suspended) {
  return ::ioctl(fd, TCXONC, suspended ? TCOOFF : TCOON) < 0 ? errno : 0;
}

}  // namespace varnet::posix
