// The USB device behind a tty, as sysfs shows it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace varnet::posix {

struct UsbDeviceFiles {
  std::filesystem::path folder;  // the USB device's folder in sysfs

  // The 18-byte device descriptor; empty when the file is missing or malformed.
  std::vector<std::uint8_t> DeviceDescriptor() const;
  // The active configuration's descriptor set (the first one when sysfs names none active), as
  // long as its wTotalLength says or as the file has; empty when there is none.
  std::vector<std::uint8_t> ConfigurationSet() const;
  // An attribute's text without its line end; empty when missing.
  std::optional<std::string> Text(const std::string& attribute) const;
};

// Follows <root>/class/tty/<ttyName>/device and walks up, within the root, to the folder that
// holds `descriptors`.
std::optional<UsbDeviceFiles> FindUsbDevice(const std::filesystem::path& root, const std::string& ttyName);

}  // namespace varnet::posix
