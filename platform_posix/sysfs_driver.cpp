#include "platform_posix/sysfs_driver.h"

#include <algorithm>
#include <cstring>

#include "platform_posix/usb_device_files.h"
#include "platform_posix/usb_string_descriptor.h"
#include "protocol/request_codes.h"

namespace varnet::posix {
namespace {

constexpr DWORD kDeviceDescriptorLength = 18;
constexpr DWORD kStringBufferLength = 256;
constexpr DWORD kMaxConfigurationLength = 4096;

// Offsets of the string indexes in the device descriptor, with the attribute that holds each text.
struct StringSource {
  std::size_t offset;
  const char* attribute;
};
constexpr StringSource kStrings[] = {{14, "manufacturer"}, {15, "product"}, {16, "serial"}};

bool Answer(const std::vector<std::uint8_t>& bytes, void* output, DWORD* returned) {
  if (bytes.empty()) {
    return false;
  }
  std::memcpy(output, bytes.data(), bytes.size());
  if (returned != nullptr) {
    *returned = static_cast<DWORD>(bytes.size());
  }
  return true;
}

std::vector<std::uint8_t> StringFor(const UsbDeviceFiles& device, std::uint8_t index) {
  if (index == 0) {
    return LanguageDescriptor();
  }
  const std::vector<std::uint8_t> descriptor = device.DeviceDescriptor();
  if (descriptor.empty()) {
    return {};
  }
  for (const StringSource& source : kStrings) {
    if (descriptor[source.offset] == index) {
      const std::optional<std::string> text = device.Text(source.attribute);
      return text ? StringDescriptor(*text) : std::vector<std::uint8_t>{};
    }
  }
  return {};
}

}  // namespace

SysfsDriver::SysfsDriver(TtyNames ttyNames, std::filesystem::path sysfsRoot)
    : ttyNames_(std::move(ttyNames)), root_(std::move(sysfsRoot)) {}

Handle SysfsDriver::OpenDriver(const std::string&) { return kInvalidHandle; }

bool SysfsDriver::CloseDriver(Handle) { return false; }

bool SysfsDriver::DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength,
                                  void* output, DWORD outputLength, DWORD* returned) {
  if (returned != nullptr) {
    *returned = 0;
  }
  if ((inputLength != 0 && input == nullptr) || (outputLength != 0 && output == nullptr)) {
    return false;
  }
  const std::optional<std::string> tty = ttyNames_(channel);
  if (!tty) {
    return false;
  }
  const std::optional<UsbDeviceFiles> device = FindUsbDevice(root_, *tty);
  if (!device) {
    return false;
  }
  if (code == driver::IOCTL_GET_DEVICE_DESCRIPTOR) {
    if (inputLength != kDeviceDescriptorLength || outputLength != kDeviceDescriptorLength) {
      return false;
    }
    return Answer(device->DeviceDescriptor(), output, returned);
  }
  if (code == driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR) {
    if (inputLength != outputLength || outputLength == 0 || outputLength > kMaxConfigurationLength) {
      return false;
    }
    std::vector<std::uint8_t> set = device->ConfigurationSet();
    set.resize(std::min<std::size_t>(set.size(), outputLength));
    return Answer(set, output, returned);
  }
  if (code == driver::IOCTL_GET_STRING_DESCRIPTOR) {
    if (inputLength != kStringBufferLength || outputLength != kStringBufferLength) {
      return false;
    }
    // The index is read before the answer is written: input and output may be one buffer.
    const std::uint8_t index = *static_cast<const std::uint8_t*>(input);
    return Answer(StringFor(*device, index), output, returned);
  }
  return false;
}

}  // namespace varnet::posix
