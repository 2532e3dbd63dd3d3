// Which device file stands for each COM port name the dialog offers.
//
// The fixed map of this layer: COM1 to COM8 are /dev/ttyUSB0 to /dev/ttyUSB7 (adapters served by a
// usb-serial driver), COM9 to COM15 are /dev/ttyACM0 to /dev/ttyACM6 (adapters served by cdc-acm).
// So the dialog's default, COM3, is /dev/ttyUSB2. The COM name is matched without regard to case, as
// Windows matches device names; any other name ("\\.\" alone, "COM0", "COM16", "LPT1") has no device
// and fails to open, as an absent port does on Windows. The user's own file may put any device file
// behind any of the fifteen names (user_port_map.h).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

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

  // The number of a COM name ("COM3", "com12": 3, 12), whatever the number; empty for anything
  // else ("COM03", "COM", "LPT1").
  static std::optional<int> NumberOfName(std::string_view name);

  // Puts a device file behind COMn (1 to kPorts).
  void Set(int number, std::string device) {
    paths_.at(static_cast<std::size_t>(number - 1)) = std::move(device);
  }
  const Paths& Devices() const { return paths_; }

 private:
  Paths paths_;
};

}  // namespace varnet::posix
