// The vendor driver's device-control requests: FILE_DEVICE_UNKNOWN (0x22), FILE_ANY_ACCESS,
// METHOD_BUFFERED, with function numbers 0x800 to 0x80E and 0x814 to 0x819.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace varnet::driver {

constexpr std::uint32_t DeviceControlCode(std::uint32_t function) {
  return (0x22u << 16) | (0u << 14) | (function << 2) | 0u;
}

inline constexpr std::uint32_t IOCTL_GET_DEVICE_DESCRIPTOR = DeviceControlCode(0x800);
inline constexpr std::uint32_t IOCTL_GET_CONFIGURATION_DESCRIPTOR = DeviceControlCode(0x801);
inline constexpr std::uint32_t IOCTL_GET_STRING_DESCRIPTOR = DeviceControlCode(0x802);
inline constexpr std::uint32_t IOCTL_SET_VENDOR_COMMAND = DeviceControlCode(0x803);
inline constexpr std::uint32_t IOCTL_GET_VENDOR_COMMAND = DeviceControlCode(0x804);
inline constexpr std::uint32_t IOCTL_READ_INTERRUPT = DeviceControlCode(0x805);
inline constexpr std::uint32_t IOCTL_WRITE_BULK = DeviceControlCode(0x806);
inline constexpr std::uint32_t IOCTL_READ_BULK = DeviceControlCode(0x807);
inline constexpr std::uint32_t IOCTL_SEND_CONTROL_STATE = DeviceControlCode(0x808);
inline constexpr std::uint32_t IOCTL_SET_FEATURE = DeviceControlCode(0x809);
inline constexpr std::uint32_t IOCTL_EEPROM_WRITE = DeviceControlCode(0x80A);
inline constexpr std::uint32_t IOCTL_EEPROM_READ_DATA = DeviceControlCode(0x80B);
inline constexpr std::uint32_t IOCTL_EEPROM_READ_STATUS = DeviceControlCode(0x80C);
inline constexpr std::uint32_t IOCTL_GET_FEATURE = DeviceControlCode(0x80D);
inline constexpr std::uint32_t IOCTL_CLEAR_FEATURE = DeviceControlCode(0x80E);
inline constexpr std::uint32_t IOCTL_GP0_OUTPUT_ENABLE = DeviceControlCode(0x814);
inline constexpr std::uint32_t IOCTL_GP1_OUTPUT_ENABLE = DeviceControlCode(0x815);
inline constexpr std::uint32_t IOCTL_GP0_SET_VALUE = DeviceControlCode(0x816);
inline constexpr std::uint32_t IOCTL_GP1_SET_VALUE = DeviceControlCode(0x817);
inline constexpr std::uint32_t IOCTL_GP0_GET_VALUE = DeviceControlCode(0x818);
inline constexpr std::uint32_t IOCTL_GP1_GET_VALUE = DeviceControlCode(0x819);

static_assert(IOCTL_GET_DEVICE_DESCRIPTOR == 0x222000);
static_assert(IOCTL_CLEAR_FEATURE == 0x222038);
static_assert(IOCTL_GP0_OUTPUT_ENABLE == 0x222050);
static_assert(IOCTL_GP1_GET_VALUE == 0x222064);

struct RequestName {
  std::uint32_t code;
  std::string_view name;
};

inline constexpr std::array<RequestName, 21> kRequestNames = {{
    {IOCTL_GET_DEVICE_DESCRIPTOR, "IOCTL_GET_DEVICE_DESCRIPTOR"},
    {IOCTL_GET_CONFIGURATION_DESCRIPTOR, "IOCTL_GET_CONFIGURATION_DESCRIPTOR"},
    {IOCTL_GET_STRING_DESCRIPTOR, "IOCTL_GET_STRING_DESCRIPTOR"},
    {IOCTL_SET_VENDOR_COMMAND, "IOCTL_SET_VENDOR_COMMAND"},
    {IOCTL_GET_VENDOR_COMMAND, "IOCTL_GET_VENDOR_COMMAND"},
    {IOCTL_READ_INTERRUPT, "IOCTL_READ_INTERRUPT"},
    {IOCTL_WRITE_BULK, "IOCTL_WRITE_BULK"},
    {IOCTL_READ_BULK, "IOCTL_READ_BULK"},
    {IOCTL_SEND_CONTROL_STATE, "IOCTL_SEND_CONTROL_STATE"},
    {IOCTL_SET_FEATURE, "IOCTL_SET_FEATURE"},
    {IOCTL_EEPROM_WRITE, "IOCTL_EEPROM_WRITE"},
    {IOCTL_EEPROM_READ_DATA, "IOCTL_EEPROM_READ_DATA"},
    {IOCTL_EEPROM_READ_STATUS, "IOCTL_EEPROM_READ_STATUS"},
    {IOCTL_GET_FEATURE, "IOCTL_GET_FEATURE"},
    {IOCTL_CLEAR_FEATURE, "IOCTL_CLEAR_FEATURE"},
    {IOCTL_GP0_OUTPUT_ENABLE, "IOCTL_GP0_OUTPUT_ENABLE"},
    {IOCTL_GP1_OUTPUT_ENABLE, "IOCTL_GP1_OUTPUT_ENABLE"},
    {IOCTL_GP0_SET_VALUE, "IOCTL_GP0_SET_VALUE"},
    {IOCTL_GP1_SET_VALUE, "IOCTL_GP1_SET_VALUE"},
    {IOCTL_GP0_GET_VALUE, "IOCTL_GP0_GET_VALUE"},
    {IOCTL_GP1_GET_VALUE, "IOCTL_GP1_GET_VALUE"},
}};

// The name of a request code, or an empty view.
constexpr std::string_view RequestNameOf(std::uint32_t code) {
  for (const RequestName& entry : kRequestNames) {
    if (entry.code == code) {
      return entry.name;
    }
  }
  return {};
}

}  // namespace varnet::driver
