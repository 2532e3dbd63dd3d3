#include "protocol/request_layouts.h"

#include <algorithm>

#include "protocol/request_codes.h"

namespace varnet::driver {

namespace {

void PutWord(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFFu);
  at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFFu);
}

void PutDword(std::uint8_t* at, std::uint32_t value) {
  PutWord(at, value & 0xFFFFu);
  PutWord(at + 2, value >> 16);
}

// Two's complement of a typed value: a negative one goes out as its low bits.
std::uint32_t Bits(std::int32_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

bool DriverRequests::Issue(std::uint32_t code, const void* input, std::size_t inputLength, void* output,
                           std::size_t outputLength, DWORD* returned) {
  DWORD ignored = 0;
  // A zero length always goes with a null pointer, as Win32 callers pass "no buffer".
  return m_api.DeviceIoControl(m_channel, code, inputLength == 0 ? nullptr : input,
                               static_cast<DWORD>(inputLength), outputLength == 0 ? nullptr : output,
                               static_cast<DWORD>(outputLength), returned != nullptr ? returned : &ignored);
}

std::optional<DeviceDescriptor> DriverRequests::GetDeviceDescriptor() {
  DeviceDescriptor buffer{};
  // METHOD_BUFFERED: the driver has read the input before it writes the answer, so one buffer
  // serves both ways.
  if (!Issue(IOCTL_GET_DEVICE_DESCRIPTOR, buffer.data(), buffer.size(), buffer.data(), buffer.size())) {
    return std::nullopt;
  }
  return buffer;
}

std::optional<std::vector<std::uint8_t>> DriverRequests::GetConfigurationDescriptor(std::size_t length) {
  std::vector<std::uint8_t> buffer(length);
  if (!Issue(IOCTL_GET_CONFIGURATION_DESCRIPTOR, buffer.data(), buffer.size(), buffer.data(),
             buffer.size())) {
    return std::nullopt;
  }
  return buffer;
}

bool DriverRequests::GetStringDescriptor(std::uint8_t index, StringBuffer& buffer) {
  buffer[0] = index;
  return Issue(IOCTL_GET_STRING_DESCRIPTOR, buffer.data(), buffer.size(), buffer.data(), buffer.size());
}

bool DriverRequests::SetVendorCommand(std::int32_t command, std::int32_t parameter) {
  std::array<std::uint8_t, 4> input{};
  PutWord(&input[0], Bits(command));
  PutWord(&input[2], Bits(parameter));
  return Issue(IOCTL_SET_VENDOR_COMMAND, input.data(), input.size(), nullptr, 0);
}

std::optional<std::uint8_t> DriverRequests::GetVendorCommand(std::int32_t command) {
  std::array<std::uint8_t, 4> buffer{};
  PutWord(&buffer[0], Bits(command));
  if (!Issue(IOCTL_GET_VENDOR_COMMAND, buffer.data(), buffer.size(), buffer.data(), buffer.size())) {
    return std::nullopt;
  }
  return buffer[0];
}

std::optional<InterruptReport> DriverRequests::ReadInterrupt() {
  InterruptReport report{};
  if (!Issue(IOCTL_READ_INTERRUPT, nullptr, 0, report.data(), report.size())) {
    return std::nullopt;
  }
  return report;
}

bool DriverRequests::WriteBulk(std::span<const std::uint8_t> block) {
  return Issue(IOCTL_WRITE_BULK, block.data(), block.size(), nullptr, 0);
}

std::optional<std::size_t> DriverRequests::ReadBulk(std::span<std::uint8_t> block) {
  DWORD received = 0;
  if (!Issue(IOCTL_READ_BULK, nullptr, 0, block.data(), block.size(), &received)) {
    return std::nullopt;
  }
  // The count comes from outside the program: listing more bytes than the block holds would
  // read past it.
  return std::min<std::size_t>(received, block.size());
}

bool DriverRequests::SendControlState(std::int32_t state) {
  std::array<std::uint8_t, 4> input{};
  PutDword(input.data(), Bits(state));
  return Issue(IOCTL_SEND_CONTROL_STATE, input.data(), input.size(), nullptr, 0);
}

bool DriverRequests::SetFeature(std::int32_t feature) {
  std::array<std::uint8_t, 2> input{};
  PutWord(input.data(), Bits(feature));
  return Issue(IOCTL_SET_FEATURE, input.data(), input.size(), nullptr, 0);
}

std::optional<std::uint16_t> DriverRequests::GetFeature() {
  std::array<std::uint8_t, 2> output{};
  if (!Issue(IOCTL_GET_FEATURE, nullptr, 0, output.data(), output.size())) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(output[0] | (output[1] << 8));
}

bool DriverRequests::ClearFeature() { return Issue(IOCTL_CLEAR_FEATURE, nullptr, 0, nullptr, 0); }

bool DriverRequests::EepromWrite(std::int32_t offset, std::int32_t data) {
  const std::array<std::uint8_t, 2> input = {static_cast<std::uint8_t>(Bits(offset) & 0xFFu),
                                             static_cast<std::uint8_t>(Bits(data) & 0xFFu)};
  return Issue(IOCTL_EEPROM_WRITE, input.data(), input.size(), nullptr, 0);
}

std::optional<std::uint8_t> DriverRequests::EepromReadData(std::int32_t offset) {
  std::array<std::uint8_t, 2> input{};
  PutWord(input.data(), Bits(offset));
  std::uint8_t data = 0;
  if (!Issue(IOCTL_EEPROM_READ_DATA, input.data(), input.size(), &data, 1)) {
    return std::nullopt;
  }
  return data;
}

std::optional<std::uint8_t> DriverRequests::EepromReadStatus() {
  std::uint8_t status = 0;
  if (!Issue(IOCTL_EEPROM_READ_STATUS, nullptr, 0, &status, 1)) {
    return std::nullopt;
  }
  return status;
}

bool DriverRequests::GpOutputEnable(std::uint32_t code, bool enable) {
  const std::uint8_t flag = enable ? 1 : 0;
  return Issue(code, &flag, 1, nullptr, 0);
}

bool DriverRequests::GpSetValue(std::uint32_t code, std::uint8_t value) {
  return Issue(code, &value, 1, nullptr, 0);
}

std::optional<std::uint8_t> DriverRequests::GpGetValue(std::uint32_t code) {
  std::uint8_t value = 0;
  if (!Issue(code, nullptr, 0, &value, 1)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace varnet::driver
