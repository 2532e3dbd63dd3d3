// A pseudo-terminal pair for the Linux platform layer's tests: the slave stands for an adapter's
// tty, opened through the layer as COM3; the test works on the master side as the far end.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform_posix/com_device_map.h"

namespace varnet::posix::testing {

class PtyPair {
 public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      char name[128] = {};
      if (::ptsname_r(master_, name, sizeof name) == 0) {
        slave_ = name;
      }
    }
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool Ok() const { return master_ >= 0 && !slave_.empty(); }
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slave_; }

  // COM3 is the slave; every other name has no device.
  ComDeviceMap Map() const {
    ComDeviceMap::Paths paths;
    paths[2] = slave_;
    return ComDeviceMap(paths);
  }

  // Pulls the adapter out: the slave then reads 0 and fails to write.
  void CloseMaster() {
    if (master_ >= 0) {
      ::close(master_);
      master_ = -1;
    }
  }

  void Send(const std::vector<std::uint8_t>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t count = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (count <= 0) {
        return;
      }
      done += static_cast<std::size_t>(count);
    }
  }

  // Reads until `count` bytes have come (or nothing more comes for a long while).
  std::vector<std::uint8_t> Receive(std::size_t count) const {
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count) {
      pollfd ready{master_, POLLIN, 0};
      if (::poll(&ready, 1, 10000) <= 0) {
        break;
      }
      std::uint8_t chunk[4096];
      const ssize_t got = ::read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
      if (got <= 0) {
        break;
      }
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
  }

  // Waits until the slave side's received bytes are readable on it (the pty hands them over
  // from a worker of the kernel).
  static bool WaitReadable(int fd) {
    pollfd ready{fd, POLLIN, 0};
    return ::poll(&ready, 1, 10000) > 0;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

}  // namespace varnet::posix::testing
