// Which device file stands for each COM port name the dialog offers.
//
// The fixed map of this layer: COM1 to COM8 are /dev/ttyUSB0 to /dev/ttyUSB7 (adapters served by a
// usb-serial driver), COM9 to COM15 are /dev/ttyACM0 to /dev/ttyACM6 (adapters served by cdc-acm).
// So the dialog's default, COM3, is /dev/ttyUSB2. The COM name is matched without regard to case, as
// Windows matches device names; any other name ("\\.\" alone, "COM0", "COM16", "LPT1") has no device
// and fails to open, as an absent port does on Windows.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace varnet::posix {

class ComDeviceMap {
 public:
  static constexpr int kPorts = 15;
  using Paths = std::array<std::string, kPorts>;  // [0] is COM1

  // The fixed map described above.
  static ComDeviceMap Default();

  // Any other map, for tests (a pseudo-terminal standing for COM3). An empty entry has no device.
  explicit ComDeviceMap(Paths paths) : paths_(std::move(paths)) {}

  // The device file for a Win32 device path ("\\.\COM3"); empty when the name names no port.
  std::optional<std::string> DeviceFor(const std::string& win32Path) const;

 private:
  Paths paths_;
};

}  // namespace varnet::posix
