#include "platform_posix/usb_device_files.h"

#include <fstream>
#include <iterator>

namespace varnet::posix {
namespace {

constexpr std::size_t kDeviceDescriptorLength = 18;
constexpr std::size_t kConfigurationHeaderLength = 9;

std::optional<std::vector<std::uint8_t>> ReadBytes(const std::filesystem::path& file) {
  std::ifstream stream(file, std::ios::binary);
  if (!stream) {
    return std::nullopt;
  }
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<std::uint8_t> UsbDeviceFiles::DeviceDescriptor() const {
  const auto bytes = ReadBytes(folder / "descriptors");
  if (!bytes || bytes->size() < kDeviceDescriptorLength || (*bytes)[0] != kDeviceDescriptorLength ||
      (*bytes)[1] != 1) {
    return {};
  }
  return {bytes->begin(), bytes->begin() + kDeviceDescriptorLength};
}

std::vector<std::uint8_t> UsbDeviceFiles::ConfigurationSet() const {
  const auto bytes = ReadBytes(folder / "descriptors");
  if (!bytes || bytes->size() < kDeviceDescriptorLength) {
    return {};
  }
  int active = -1;
  if (const auto value = Text("bConfigurationValue"); value && !value->empty()) {
    try {
      active = std::stoi(*value);
    } catch (...) {
      active = -1;
    }
  }
  std::vector<std::uint8_t> first;
  std::size_t at = kDeviceDescriptorLength;
  while (at + kConfigurationHeaderLength <= bytes->size() && (*bytes)[at + 1] == 2) {
    const std::size_t total = (*bytes)[at + 2] | ((*bytes)[at + 3] << 8);
    if (total < kConfigurationHeaderLength) {
      break;
    }
    const std::size_t end = std::min(at + total, bytes->size());
    std::vector<std::uint8_t> set(bytes->begin() + static_cast<std::ptrdiff_t>(at),
                                  bytes->begin() + static_cast<std::ptrdiff_t>(end));
    if ((*bytes)[at + 5] == active) {
      return set;
    }
    if (first.empty()) {
      first = std::move(set);
    }
    at = end;
  }
  return first;
}

std::optional<std::string> UsbDeviceFiles::Text(const std::string& attribute) const {
  const auto bytes = ReadBytes(folder / attribute);
  if (!bytes) {
    return std::nullopt;
  }
  std::string text(bytes->begin(), bytes->end());
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

std::optional<UsbDeviceFiles> FindUsbDevice(const std::filesystem::path& root, const std::string& ttyName) {
  if (ttyName.empty() || ttyName.find('/') != std::string::npos || ttyName == "." || ttyName == "..") {
    return std::nullopt;
  }
  std::error_code error;
  const std::filesystem::path top = std::filesystem::canonical(root, error);
  if (error) {
    return std::nullopt;
  }
  std::filesystem::path folder =
      std::filesystem::canonical(root / "class" / "tty" / ttyName / "device", error);
  if (error) {
    return std::nullopt;
  }
  // Up from the tty's device (a usb-serial port or a cdc-acm interface) to the USB device.
  for (;;) {
    auto [rootEnd, inside] = std::mismatch(top.begin(), top.end(), folder.begin(), folder.end());
    if (rootEnd != top.end() || folder == top) {
      return std::nullopt;
    }
    if (std::filesystem::is_regular_file(folder / "descriptors", error)) {
      return UsbDeviceFiles{folder};
    }
    folder = folder.parent_path();
  }
}

}  // namespace varnet::posix
