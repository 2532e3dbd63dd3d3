// The vendor driver's requests with their exact buffers: the one place that knows how many bytes
// each request carries each way and where its values sit. The driver fails a request whose
// lengths differ from these, so the handlers never lay out bytes themselves.
//
// Buffers whose content the driver may leave unwritten are zeroed before the request, so that a
// driver writing less than it was given room for never shows stale memory in a line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/driver_api.h"
#include "platform/win_types.h"

namespace varnet::driver {

inline constexpr std::size_t kDeviceDescriptorLength = 18;
inline constexpr std::size_t kConfigurationHeadLength = 9;
inline constexpr std::size_t kStringBufferLength = 256;
inline constexpr std::size_t kInterruptReportLength = 10;

using DeviceDescriptor = std::array<std::uint8_t, kDeviceDescriptorLength>;
using StringBuffer = std::array<std::uint8_t, kStringBufferLength>;
using InterruptReport = std::array<std::uint8_t, kInterruptReportLength>;

// Bits of the interrupt report's event word: a break, and the line errors since the last read.
inline constexpr std::uint16_t kInterruptBreak = 1u << 2;
inline constexpr std::uint16_t kInterruptFraming = 1u << 4;
inline constexpr std::uint16_t kInterruptParity = 1u << 5;
inline constexpr std::uint16_t kInterruptOverrun = 1u << 6;

// One channel's requests. Each call is one DeviceIoControl, judged by its result alone (but
// ReadBulk, which also takes the count returned).
class DriverRequests {
 public:
  DriverRequests(DriverApi& api, Handle channel) : m_api(api), m_channel(channel) {}

  // 18 bytes each way, in the same buffer.
  std::optional<DeviceDescriptor> GetDeviceDescriptor();

  // n bytes each way of the configuration set, in the same fresh buffer of n bytes: the first
  // issue with n = 9 to learn wTotalLength, the second with n = wTotalLength.
  std::optional<std::vector<std::uint8_t>> GetConfigurationDescriptor(std::size_t length);

  // 256 bytes each way. Byte 0 takes the index; bytes 1-255 go out as the buffer holds them (the
  // previous answer, when one buffer serves several indexes) and the answer replaces them.
  bool GetStringDescriptor(std::uint8_t index, StringBuffer& buffer);

  // 4 bytes in: the low 16 bits of the command value, then of the parameter.
  bool SetVendorCommand(std::int32_t command, std::int32_t parameter);

  // 4 bytes each way in one buffer: the low 16 bits of the command value and a zero word. The
  // response byte is byte 0 of the answer; a driver that writes nothing leaves the command
  // value's low byte there.
  std::optional<std::uint8_t> GetVendorCommand(std::int32_t command);

  // No input; 10 bytes out.
  std::optional<InterruptReport> ReadInterrupt();

  // The block as input (its length as chosen by the user); no output.
  bool WriteBulk(std::span<const std::uint8_t> block);

  // No input; the block as output. The count of bytes received, never more than the block holds
  // whatever the driver claims.
  std::optional<std::size_t> ReadBulk(std::span<std::uint8_t> block);

  // 4 bytes in: the 32-bit state value.
  bool SendControlState(std::int32_t state);

  // 2 bytes in: the low 16 bits of the feature value.
  bool SetFeature(std::int32_t feature);

  // No input; 2 bytes out.
  std::optional<std::uint16_t> GetFeature();

  // No buffers at all.
  bool ClearFeature();

  // 2 bytes in: the offset's low 8 bits, then the data's low 8 bits.
  bool EepromWrite(std::int32_t offset, std::int32_t data);

  // 2 bytes in: the offset's low 16 bits; 1 byte out.
  std::optional<std::uint8_t> EepromReadData(std::int32_t offset);

  // No input; 1 byte out.
  std::optional<std::uint8_t> EepromReadStatus();

  // The pin requests take their code (GP0 or GP1): 1 byte in, the flag or the value.
  bool GpOutputEnable(std::uint32_t code, bool enable);
  bool GpSetValue(std::uint32_t code, std::uint8_t value);
  // No input; 1 byte out.
  std::optional<std::uint8_t> GpGetValue(std::uint32_t code);

 private:
  bool Issue(std::uint32_t code, const void* input, std::size_t inputLength, void* output,
             std::size_t outputLength, DWORD* returned = nullptr);

  DriverApi& m_api;
  Handle m_channel;
};

}  // namespace varnet::driver
