// The far end of the gadget's serial port (/dev/ttyGS0) in the guest: the loop-back plug of the
// bench, on a real driver. It echoes what it reads, and takes three-byte orders 13 11 X from the
// data (no test pattern holds 0x13 followed by 0x11: the random one has neither byte, the
// position pattern has 0x12 after 0x11 and 0x14 after 0x13):
//   'B'  send a break (the host's driver counts it and, with IGNBRK clear, reads a 0x00 byte),
//        then rest for a second
//   'C'  close the tty, which drops DSR and DCD at the host, and open it again after 1.5 s,
//        which raises them
//   'U'  unplug the adapter: an empty line into UDC_FILE unbinds the gadget
// Usage: vm_far_end DEVICE READY_FILE [UDC_FILE]. READY_FILE is made once DEVICE is open (the
// host sees DSR and DCD on from then on). SIGTERM, or the tty hung up by an unplug, ends it.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnTerm(int) { stopRequested = 1; }

int OpenRaw(const char* device) {
  const int fd = ::open(device, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    std::perror(device);
    return -1;
  }
  termios raw{};
  if (::tcgetattr(fd, &raw) == 0) {
    ::cfmakeraw(&raw);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &raw);
  }
  return fd;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: vm_far_end DEVICE READY_FILE [UDC_FILE]\n");
    return 2;
  }
  struct sigaction action {};
  action.sa_handler = OnTerm;  // no SA_RESTART: a blocked read ends with EINTR
  ::sigaction(SIGTERM, &action, nullptr);

  int fd = OpenRaw(argv[1]);
  if (fd < 0) {
    return 1;
  }
  if (FILE* ready = std::fopen(argv[2], "w")) {
    std::fclose(ready);
  }
  int matched = 0;  // how much of 13 11 has just been read
  std::array<std::uint8_t, 4096> buffer{};
  while (!stopRequested) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;  // hung up: the gadget has gone
    }
    std::vector<std::uint8_t> echo;
    for (ssize_t i = 0; i < n; ++i) {
      const std::uint8_t byte = buffer[static_cast<std::size_t>(i)];
      if (matched == 2) {
        matched = 0;
        if (!WriteAll(fd, echo)) {
          return 1;
        }
        echo.clear();
        if (byte == 'B') {
          ::tcsendbreak(fd, 0);
          // Whatever follows comes a second later, so the host does not see it in the same event.
          std::this_thread::sleep_for(std::chrono::seconds(1));
        } else if (byte == 'U' && argc == 4) {
          if (FILE* udc = std::fopen(argv[3], "w")) {
            std::fputs("\n", udc);
            std::fclose(udc);
          }
        } else if (byte == 'C') {
          ::close(fd);
          std::this_thread::sleep_for(std::chrono::milliseconds(1500));
          fd = OpenRaw(argv[1]);
          if (fd < 0) {
            return 1;
          }
        }
        continue;
      }
      if (byte == 0x13 && matched == 0) {
        matched = 1;
      } else if (byte == 0x11 && matched == 1) {
        matched = 2;
      } else {
        if (matched == 1) {
          echo.push_back(0x13);
        }
        matched = byte == 0x13 ? 1 : 0;
        if (matched == 0) {
          echo.push_back(byte);
        }
      }
    }
    if (!WriteAll(fd, echo)) {
      return 1;
    }
  }
  ::close(fd);
  return 0;
}
