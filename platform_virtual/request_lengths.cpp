#include "platform_virtual/request_lengths.h"

#include <array>

#include "protocol/request_codes.h"

namespace varnet::bench {
namespace {

struct Range {
  std::uint32_t min;
  std::uint32_t max;
  bool Holds(std::uint32_t length) const { return length >= min && length <= max; }
};

constexpr Range Exactly(std::uint32_t length) { return {length, length}; }

struct Lengths {
  std::uint32_t code;
  Range in;
  Range out;
  bool inEqualsOut = false;  // the caller's buffer serves as both
};

using namespace varnet::driver;

constexpr std::array<Lengths, 21> kLengths = {{
    {IOCTL_GET_DEVICE_DESCRIPTOR, Exactly(18), Exactly(18)},
    {IOCTL_GET_CONFIGURATION_DESCRIPTOR, {1, 4096}, {1, 4096}, true},
    {IOCTL_GET_STRING_DESCRIPTOR, Exactly(256), Exactly(256)},
    {IOCTL_SET_VENDOR_COMMAND, Exactly(4), Exactly(0)},
    {IOCTL_GET_VENDOR_COMMAND, Exactly(4), Exactly(4)},
    {IOCTL_READ_INTERRUPT, Exactly(0), Exactly(10)},
    {IOCTL_WRITE_BULK, {0, 4096}, Exactly(0)},
    {IOCTL_READ_BULK, Exactly(0), {0, 4096}},
    {IOCTL_SEND_CONTROL_STATE, Exactly(4), Exactly(0)},
    {IOCTL_SET_FEATURE, Exactly(2), Exactly(0)},
    {IOCTL_EEPROM_WRITE, Exactly(2), Exactly(0)},
    {IOCTL_EEPROM_READ_DATA, Exactly(2), Exactly(1)},
    {IOCTL_EEPROM_READ_STATUS, Exactly(0), Exactly(1)},
    {IOCTL_GET_FEATURE, Exactly(0), Exactly(2)},
    {IOCTL_CLEAR_FEATURE, Exactly(0), Exactly(0)},
    {IOCTL_GP0_OUTPUT_ENABLE, Exactly(1), Exactly(0)},
    {IOCTL_GP1_OUTPUT_ENABLE, Exactly(1), Exactly(0)},
    {IOCTL_GP0_SET_VALUE, Exactly(1), Exactly(0)},
    {IOCTL_GP1_SET_VALUE, Exactly(1), Exactly(0)},
    {IOCTL_GP0_GET_VALUE, Exactly(0), Exactly(1)},
    {IOCTL_GP1_GET_VALUE, Exactly(0), Exactly(1)},
}};

}  // namespace

bool RequestLengthsAccepted(std::uint32_t code, std::uint32_t inLength, std::uint32_t outLength) {
  for (const Lengths& entry : kLengths) {
    if (entry.code == code) {
      return entry.in.Holds(inLength) && entry.out.Holds(outLength) &&
             (!entry.inEqualsOut || inLength == outLength);
    }
  }
  return false;
}

}  // namespace varnet::bench
