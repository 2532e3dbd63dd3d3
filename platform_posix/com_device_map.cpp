#include "platform_posix/com_device_map.h"

namespace varnet::posix {

ComDeviceMap ComDeviceMap::Default() {
  Paths paths;
  for (int n = 1; n <= kPorts; ++n) {
    paths[n - 1] = n <= 8 ? "/dev/ttyUSB" + std::to_string(n - 1) : "/dev/ttyACM" + std::to_string(n - 9);
  }
  return ComDeviceMap(std::move(paths));
}

std::optional<int> ComDeviceMap::NumberOfName(std::string_view name) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  if (name.size() < 4 || upper(name[0]) != 'C' || upper(name[1]) != 'O' || upper(name[2]) != 'M') {
    return std::nullopt;
  }
  // Decimal digits only, without a leading zero: "COM03" is no port name.
  const std::string_view digits = name.substr(3);
  if (digits.size() > 3 || digits[0] == '0') {
    return std::nullopt;
  }
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    number = number * 10 + (c - '0');
  }
  return number;
}

std::optional<std::string> ComDeviceMap::DeviceFor(const std::string& win32Path) const {
  static constexpr std::string_view kPrefix = "\\\\.\\";
  if (!win32Path.starts_with(kPrefix)) {
    return std::nullopt;
  }
  const std::optional<int> number = NumberOfName(std::string_view(win32Path).substr(kPrefix.size()));
  if (!number || *number < 1 || *number > kPorts || paths_[*number - 1].empty()) {
    return std::nullopt;
  }
  return paths_[*number - 1];
}

}  // namespace varnet::posix
