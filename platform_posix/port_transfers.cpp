// Writes and reads on the non-blocking tty, timed by the port's time-outs as Win32 times an
// overlapped transfer. The caller's own wait (waitMs) is followed on Win32 by a wait for the
// result without a limit, so the time-outs alone decide how long a transfer runs.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

#include "platform_posix/posix_serial.h"

namespace varnet::posix {
namespace {

using SteadyClock = std::chrono::steady_clock;

// A time limit of a transfer, or none.
class Deadline {
 public:
  static Deadline None() { return Deadline(); }
  static Deadline In(std::uint64_t ms) {
    Deadline deadline;
    deadline.limited_ = true;
    deadline.at_ = SteadyClock::now() + std::chrono::milliseconds(ms);
    return deadline;
  }
  // Milliseconds left for poll(): -1 without a limit, 0 once passed.
  int Left() const {
    if (!limited_) {
      return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(at_ - SteadyClock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
  }

 private:
  bool limited_ = false;
  SteadyClock::time_point at_{};
};

// The smaller of two poll() time-outs, -1 being none.
int Sooner(int a, int b) {
  if (a < 0) {
    return b;
  }
  return b < 0 ? a : std::min(a, b);
}

// Waits until fd is ready for `events` or `timeoutMs` has passed: what poll() reports, 0 on a
// time-out or failure.
short WaitReady(int fd, short events, int timeoutMs) {
  for (;;) {
    pollfd ready{fd, events, 0};
    const int result = ::poll(&ready, 1, timeoutMs);
    if (result < 0 && errno == EINTR) {
      continue;
    }
    return result > 0 ? ready.revents : 0;
  }
}

}  // namespace

DWORD PosixSerial::WriteBlock(Handle port, std::span<const std::uint8_t> data, DWORD /*waitMs*/) {
  std::optional<PortUse> use = Use(port);
  if (!use) {
    FailIfDead("write to", port);
    return 0;
  }
  if (data.empty()) {
    return 0;
  }
  const int fd = (*use)->fd;
  CommTimeouts timeouts;
  {
    std::lock_guard lock(mutex_);
    timeouts = (*use)->timeouts;
  }
  // Both write totals 0 means no time limit, as on Win32.
  const bool limited = timeouts.WriteTotalTimeoutMultiplier != 0 || timeouts.WriteTotalTimeoutConstant != 0;
  const Deadline deadline =
      limited ? Deadline::In(std::uint64_t{timeouts.WriteTotalTimeoutConstant} +
                             std::uint64_t{timeouts.WriteTotalTimeoutMultiplier} * data.size())
              : Deadline::None();
  std::size_t written = 0;
  int error = 0;
  while (written < data.size()) {
    const ssize_t count = ::write(fd, data.data() + written, data.size() - written);
    if (count > 0) {
      written += static_cast<std::size_t>(count);
      continue;
    }
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count == 0 || errno != EAGAIN) {
      error = count == 0 ? EIO : errno;
      break;
    }
    // The output buffer is full (flow control holds it, or the line is slow): wait for room.
    const int left = deadline.Left();
    const short ready = left == 0 ? 0 : WaitReady(fd, POLLOUT, left);
    if (ready == 0) {
      break;
    }
    if ((ready & POLLOUT) == 0) {
      error = EIO;  // hung up or failed, with no room to come
      break;
    }
  }
  if (error != 0) {
    Fail("write to", **use, error);
  }
  if (IsGone(error)) {
    std::lock_guard lock(mutex_);
    MarkDeadLocked(**use);
  }
  return static_cast<DWORD>(written);
}

DWORD PosixSerial::ReadBlock(Handle port, std::span<std::uint8_t> buffer, DWORD /*waitMs*/) {
  std::optional<PortUse> use = Use(port);
  if (!use) {
    FailIfDead("read from", port);
    return 0;
  }
  if (buffer.empty()) {
    return 0;
  }
  const int fd = (*use)->fd;
  CommTimeouts t;
  {
    std::lock_guard lock(mutex_);
    t = (*use)->timeouts;
  }
  // The Win32 forms: interval MAXDWORD with both totals 0 returns at once with what is there;
  // interval and multiplier MAXDWORD with a constant below MAXDWORD waits up to the constant for a
  // first byte and returns with what is there then; otherwise the totals limit the whole read
  // (none when both are 0) and the interval limits the gap after a byte (none when 0).
  const bool atOnce = t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == 0 &&
                      t.ReadTotalTimeoutConstant == 0;
  const bool firstByte = t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == kMaxDword &&
                         t.ReadTotalTimeoutConstant != 0 && t.ReadTotalTimeoutConstant != kMaxDword;
  Deadline deadline = Deadline::None();
  if (firstByte) {
    deadline = Deadline::In(t.ReadTotalTimeoutConstant);
  } else if (t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0) {
    deadline = Deadline::In(std::uint64_t{t.ReadTotalTimeoutConstant} +
                            std::uint64_t{t.ReadTotalTimeoutMultiplier} * buffer.size());
  }
  const int interval = t.ReadIntervalTimeout == 0 || t.ReadIntervalTimeout == kMaxDword
                           ? -1
                           : static_cast<int>(std::min<DWORD>(t.ReadIntervalTimeout, INT_MAX));

  std::size_t got = 0;
  int error = 0;
  while (got < buffer.size()) {
    const ssize_t count = ::read(fd, buffer.data() + got, buffer.size() - got);
    if (count > 0) {
      got += static_cast<std::size_t>(count);
      continue;
    }
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count == 0 || errno != EAGAIN) {
      // A tty hung up under us reads 0: the adapter has gone.
      error = count == 0 ? EIO : errno;
      break;
    }
    if (atOnce || (firstByte && got > 0)) {
      break;
    }
    const int left = deadline.Left();
    const int wait = got > 0 ? Sooner(left, interval) : left;
    if (left == 0 || WaitReady(fd, POLLIN, wait) == 0) {
      break;
    }
  }
  if (error != 0) {
    Fail("read from", **use, error);
  }
  if (IsGone(error)) {
    std::lock_guard lock(mutex_);
    MarkDeadLocked(**use);
  }
  return static_cast<DWORD>(got);
}

}  // namespace varnet::posix
