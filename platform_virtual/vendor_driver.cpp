// The adapter's vendor driver: its device paths and the 21 device-control requests.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform_virtual/bench_session.h"
#include "platform_virtual/request_lengths.h"
#include "protocol/request_codes.h"

namespace varnet::bench {
namespace {

using namespace varnet::driver;

bool SameDriverPath(const std::string& path) {
  const std::string expected = kDriverPath;
  return path.size() == expected.size() &&
         std::equal(path.begin(), path.end(), expected.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

DWORD Answer(std::span<const std::uint8_t> bytes, std::span<std::uint8_t> out) {
  const std::size_t count = std::min(bytes.size(), out.size());
  std::copy_n(bytes.begin(), count, out.begin());
  return static_cast<DWORD>(count);
}

int GpPinOf(std::uint32_t code) {
  return code == IOCTL_GP1_OUTPUT_ENABLE || code == IOCTL_GP1_SET_VALUE || code == IOCTL_GP1_GET_VALUE ? 1
                                                                                                       : 0;
}

constexpr Nanoseconds kEepromWriteTime = 5 * kNanosecondsPerMillisecond;
constexpr std::uint16_t kRemoteWakeup = 1u << 1;

}  // namespace

Handle VirtualBench::OpenDriver(const std::string& path) {
  Session session(*this, true);
  if (!plugged_ || !SameDriverPath(path)) {
    return kInvalidHandle;
  }
  const Handle handle = NewHandle();
  drivers_[handle].generation = generation_;
  return handle;
}

bool VirtualBench::CloseDriver(Handle driver) {
  Session session(*this, true);
  return drivers_.erase(driver) > 0;
}

bool VirtualBench::DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength,
                                   void* output, DWORD outputLength, DWORD* returned) {
  Session session(*this, true);
  if (returned != nullptr) {
    *returned = 0;
  }
  if (!ports_.contains(channel) && !drivers_.contains(channel)) {
    return false;  // reaches no driver at all
  }
  if ((input == nullptr && inputLength > 0) || (output == nullptr && outputLength > 0)) {
    return false;
  }
  // The input is taken before anything is answered: the caller may pass one buffer as both.
  std::vector<std::uint8_t> in(inputLength);
  if (inputLength > 0) {
    std::memcpy(in.data(), input, inputLength);
  }
  RecordRequest(code, in, outputLength);
  if (!IsLiveChannel(channel)) {
    return false;
  }
  if (const auto mark = failNext_.find(code); mark != failNext_.end()) {
    if (--mark->second == 0) {
      failNext_.erase(mark);
    }
    return false;
  }
  if (!RequestLengthsAccepted(code, inputLength, outputLength)) {
    return false;
  }
  // Bytes the driver does not write keep what the caller left there.
  std::vector<std::uint8_t> out(outputLength);
  if (outputLength > 0) {
    std::memcpy(out.data(), output, outputLength);
  }
  DWORD count = 0;
  if (!Serve(code, in, out, count, session.Lock())) {
    return false;
  }
  if (count > 0) {
    std::memcpy(output, out.data(), count);
  }
  if (returned != nullptr) {
    *returned = count;
  }
  return true;
}

void VirtualBench::RecordRequest(std::uint32_t code, std::span<const std::uint8_t> in, DWORD outLength) {
  std::string line;
  if (const std::string_view name = RequestNameOf(code); !name.empty()) {
    line = name;
  } else {
    char unknown[16];
    std::snprintf(unknown, sizeof unknown, "0x%08X", static_cast<unsigned>(code));
    line = unknown;
  }
  line += " in=" + std::to_string(in.size()) + " out=" + std::to_string(outLength);
  // The descriptor requests pass their answer buffer as input without setting it, and a string
  // request sets only the index.
  std::span<const std::uint8_t> shown = in;
  if (code == IOCTL_GET_DEVICE_DESCRIPTOR || code == IOCTL_GET_CONFIGURATION_DESCRIPTOR) {
    shown = {};
  } else if (code == IOCTL_GET_STRING_DESCRIPTOR) {
    shown = in.first(std::min<std::size_t>(1, in.size()));
  }
  if (!shown.empty()) {
    line += " data=";
    for (std::size_t i = 0; i < shown.size(); ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", shown[i]);
      line += hex;
    }
  }
  requestLines_.push_back(std::move(line));
}

std::uint8_t VirtualBench::GpLevel(int pin) const {
  const GpPin& self = adapter_.gp[static_cast<std::size_t>(pin)];
  if (self.output) {
    return self.latch;
  }
  const GpPin& other = adapter_.gp[static_cast<std::size_t>(1 - pin)];
  if (other.output && plug_ == PlugKind::Loopback) {
    return other.latch;
  }
  if (const std::optional<int> driven = gpDriven_[static_cast<std::size_t>(pin)]) {
    return static_cast<std::uint8_t>(*driven);
  }
  return 1;  // pull-up
}

bool VirtualBench::Serve(std::uint32_t code, std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                         DWORD& returned, std::unique_lock<std::mutex>& lock) {
  switch (code) {
    case IOCTL_GET_DEVICE_DESCRIPTOR:
      returned = Answer(deviceDescriptor_, out);
      return true;
    case IOCTL_GET_CONFIGURATION_DESCRIPTOR:
      returned = Answer(configurationSet_, out);
      return true;
    case IOCTL_GET_STRING_DESCRIPTOR: {
      const auto string = strings_.find(in[0]);
      if (string == strings_.end()) {
        return false;
      }
      returned = Answer(string->second, out);
      return true;
    }
    case IOCTL_SET_VENDOR_COMMAND:
      adapter_.registers[Word(in, 0)] = Word(in, 2);
      return true;
    case IOCTL_GET_VENDOR_COMMAND: {
      const std::uint16_t value = adapter_.registers[Word(in, 0)];
      const std::uint8_t answer[4] = {static_cast<std::uint8_t>(value & 0xFF),
                                      static_cast<std::uint8_t>(value >> 8), 0, 0};
      returned = Answer(answer, out);
      return true;
    }
    case IOCTL_READ_INTERRUPT: {
      const InputLevels inputs = Inputs();
      const std::uint16_t state = static_cast<std::uint16_t>(
          (inputs.dcd ? 1u : 0u) | (inputs.dsr ? 2u : 0u) | (inputs.ri ? 8u : 0u) | adapter_.interruptEvents);
      adapter_.interruptEvents = 0;
      const std::uint8_t answer[10] = {0xA1,
                                       0x20,
                                       0x00,
                                       0x00,
                                       0x00,
                                       0x00,
                                       0x02,
                                       0x00,
                                       static_cast<std::uint8_t>(state & 0xFF),
                                       static_cast<std::uint8_t>(state >> 8)};
      returned = Answer(answer, out);
      return true;
    }
    case IOCTL_WRITE_BULK: {
      const Nanoseconds timeout = static_cast<Nanoseconds>(1000 + 5 * in.size()) * kNanosecondsPerMillisecond;
      return RunWrite(lock, in, timeout) == in.size();
    }
    case IOCTL_READ_BULK:
      returned = static_cast<DWORD>(TakeReceived(out));
      return true;
    case IOCTL_SEND_CONTROL_STATE: {
      if (DtrControl(adapter_.dcb) == kControlHandshake || RtsControl(adapter_.dcb) == kControlHandshake) {
        return false;
      }
      const InputLevels before = Inputs();
      adapter_.dtr = (in[0] & 0x01) != 0;
      adapter_.rts = (in[0] & 0x02) != 0;
      InputsChangedFrom(before);
      return true;
    }
    case IOCTL_SET_FEATURE:
      if (Word(in, 0) != 1) {
        return false;
      }
      adapter_.deviceStatus |= kRemoteWakeup;
      return true;
    case IOCTL_GET_FEATURE: {
      const std::uint8_t answer[2] = {static_cast<std::uint8_t>(adapter_.deviceStatus & 0xFF),
                                      static_cast<std::uint8_t>(adapter_.deviceStatus >> 8)};
      returned = Answer(answer, out);
      return true;
    }
    case IOCTL_CLEAR_FEATURE:
      adapter_.deviceStatus &= static_cast<std::uint16_t>(~kRemoteWakeup);
      return true;
    case IOCTL_EEPROM_WRITE:
      if (adapter_.eepromBusyUntil) {
        return false;
      }
      eeprom_[in[0]] = in[1];
      adapter_.eepromBusyUntil = now_ + kEepromWriteTime;
      return true;
    case IOCTL_EEPROM_READ_DATA: {
      const std::uint16_t offset = Word(in, 0);
      if (offset > 0xFF) {
        return false;
      }
      out[0] = eeprom_[offset];
      returned = 1;
      return true;
    }
    case IOCTL_EEPROM_READ_STATUS:
      out[0] = adapter_.eepromBusyUntil ? 0x01 : 0x00;
      returned = 1;
      return true;
    case IOCTL_GP0_OUTPUT_ENABLE:
    case IOCTL_GP1_OUTPUT_ENABLE:
      if (in[0] > 1) {
        return false;
      }
      adapter_.gp[static_cast<std::size_t>(GpPinOf(code))].output = in[0] == 1;
      return true;
    case IOCTL_GP0_SET_VALUE:
    case IOCTL_GP1_SET_VALUE:
      if (in[0] > 1) {
        return false;
      }
      adapter_.gp[static_cast<std::size_t>(GpPinOf(code))].latch = in[0];
      return true;
    case IOCTL_GP0_GET_VALUE:
    case IOCTL_GP1_GET_VALUE:
      out[0] = GpLevel(GpPinOf(code));
      returned = 1;
      return true;
    default:
      return false;
  }
}

}  // namespace varnet::bench
