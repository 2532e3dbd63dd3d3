// libFuzzer target: the Linux driver channel's answers from what a USB device shows in sysfs. The
// device on the bus decides the content of its `descriptors` file and of its string attributes,
// so each input lays out a device folder of a fake sysfs tree and the three descriptor requests
// are made on it, each into a heap buffer of exactly the requested length (under ASan, a write
// past the answer stops the run).
//
// Input: one byte of flags (which files exist), the texts of `manufacturer`, `product`, `serial`
// and `bConfigurationValue`, a configuration request length and a string index, then the bytes of
// `descriptors` (FuzzedDataProvider's layout).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform_posix/sysfs_driver.h"
#include "protocol/request_codes.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using varnet::DWORD;
using varnet::fuzz::Check;

constexpr varnet::Handle kPort = 0x101;
constexpr const char* kAttributes[] = {"manufacturer", "product", "serial", "bConfigurationValue"};

struct Tree {
  fs::path root;
  fs::path device;  // the USB device's folder, where the input's files go
};

Tree& Sysfs() {
  static Tree tree;
  return tree;
}

void Write(const fs::path& file, const std::string& content) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(content.data(), static_cast<std::streamsize>(content.size()));
}

void Place(const fs::path& file, bool present, const std::string& content) {
  if (present) {
    Write(file, content);
  } else {
    std::error_code error;
    fs::remove(file, error);
  }
}

// Whether the UTF-16LE units after the two-byte header pair every surrogate.
bool WellFormedUtf16(const Bytes& descriptor, std::size_t length) {
  for (std::size_t at = 2; at + 1 < length; at += 2) {
    const unsigned unit = descriptor[at] | (descriptor[at + 1] << 8);
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return false;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (at + 3 >= length) {
        return false;
      }
      const unsigned low = descriptor[at + 2] | (descriptor[at + 3] << 8);
      if (low < 0xDC00 || low > 0xDFFF) {
        return false;
      }
      at += 2;
    }
  }
  return true;
}

void CheckDeviceDescriptor(varnet::posix::SysfsDriver& channel, const std::optional<Bytes>& file) {
  Bytes out(18);
  DWORD returned = 0xFFFFFFFF;
  const bool ok = channel.DeviceIoControl(kPort, varnet::driver::IOCTL_GET_DEVICE_DESCRIPTOR, out.data(), 18,
                                          out.data(), 18, &returned);
  const bool valid = file && file->size() >= 18 && (*file)[0] == 18 && (*file)[1] == 1;
  Check(ok == valid);
  Check(ok ? returned == 18 && std::equal(out.begin(), out.end(), file->begin()) : returned == 0);
}

void CheckConfiguration(varnet::posix::SysfsDriver& channel, const std::optional<Bytes>& file, DWORD length) {
  Bytes out(length);
  DWORD returned = 0xFFFFFFFF;
  const bool ok = channel.DeviceIoControl(kPort, varnet::driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR,
                                          out.data(), length, out.data(), length, &returned);
  // Nothing for an empty buffer or one beyond the largest set a device may have.
  Check(!ok || (length >= 1 && length <= 4096));
  if (!ok) {
    Check(returned == 0);
    return;
  }
  // A configuration descriptor from the file, after the device descriptor, cut to its own total
  // length and to the buffer.
  Check(file && returned >= 1 && returned <= length);
  const auto answer = out.begin() + returned;
  Check(std::search(file->begin() + 18, file->end(), out.begin(), answer) != file->end());
  if (returned >= 2) {
    Check(out[1] == 2);
  }
  if (returned >= 4) {
    Check(returned <= static_cast<DWORD>(out[2] | (out[3] << 8)));
  }
}

// What a string request must answer: nothing, or a descriptor; exactly `descriptor` where that is
// known (the language list, a plain ASCII text short enough to fit whole). Any other text is only
// checked for well-formed UTF-16.
struct StringExpectation {
  bool answered = false;
  std::optional<Bytes> descriptor;
};

void CheckString(varnet::posix::SysfsDriver& channel, std::uint8_t index, const StringExpectation& expected) {
  // The request's input and output share one buffer, as the dialog passes them.
  Bytes buffer(256, 0xEE);
  buffer[0] = index;
  DWORD returned = 0xFFFFFFFF;
  const bool ok = channel.DeviceIoControl(kPort, varnet::driver::IOCTL_GET_STRING_DESCRIPTOR, buffer.data(),
                                          256, buffer.data(), 256, &returned);
  Check(ok == expected.answered);
  if (!ok) {
    Check(returned == 0);
    return;
  }
  Check(returned >= 2 && returned <= 256 && returned % 2 == 0);
  Check(buffer[0] == returned && buffer[1] == 3);
  Check(WellFormedUtf16(buffer, returned));
  if (expected.descriptor) {
    Check(returned == expected.descriptor->size() &&
          std::equal(expected.descriptor->begin(), expected.descriptor->end(), buffer.begin()));
  }
}

// The attribute texts as the device gave them, for the attributes present.
using Attributes = std::array<std::optional<std::string>, 3>;

StringExpectation ExpectString(std::uint8_t index, const std::optional<Bytes>& file,
                               const Attributes& texts) {
  if (!file) {
    return {};
  }
  if (index == 0) {
    return {true, Bytes{0x04, 0x03, 0x09, 0x04}};  // US English only
  }
  const bool deviceValid = file->size() >= 18 && (*file)[0] == 18 && (*file)[1] == 1;
  if (!deviceValid) {
    return {};
  }
  // The manufacturer's, product's and serial number's indexes, in that order: the first that
  // names the index gives the text.
  for (std::size_t k = 0; k < texts.size(); ++k) {
    if ((*file)[14 + k] != index) {
      continue;
    }
    if (!texts[k]) {
      return {};
    }
    std::string text = *texts[k];
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
      text.pop_back();
    }
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii || text.size() > 126) {
      return {true, std::nullopt};
    }
    Bytes descriptor = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (const char c : text) {
      descriptor.insert(descriptor.end(), {static_cast<std::uint8_t>(c), 0});
    }
    return {true, descriptor};
  }
  return {};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Tree& tree = Sysfs();
  tree.root = varnet::fuzz::ScratchFolder("varnet-sysfs-fuzz");
  // A usb-serial adapter as the kernel lays it out: the tty below its port below the interface.
  tree.device = tree.root / "devices/pci0000:00/0000:00:14.0/usb1/1-1";
  const fs::path port = tree.device / "1-1:1.0/ttyUSB0";
  fs::create_directories(port / "tty/ttyUSB0");
  fs::create_directories(tree.root / "class/tty/ttyUSB0");
  fs::create_directory_symlink(port, tree.root / "class/tty/ttyUSB0/device");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto present = input.ConsumeIntegral<std::uint8_t>();
  const Tree& tree = Sysfs();
  Attributes texts;
  for (std::size_t k = 0; k < std::size(kAttributes); ++k) {
    const bool there = (present >> k) & 1;
    const std::string text = input.ConsumeRandomLengthString(1024);
    Place(tree.device / kAttributes[k], there, text);
    if (k < texts.size() && there) {
      texts[k] = text;
    }
  }
  const DWORD length = input.ConsumeIntegralInRange<DWORD>(0, 4100);
  const auto index = input.ConsumeIntegral<std::uint8_t>();
  const std::string descriptors = input.ConsumeRemainingBytesAsString();
  const bool hasDescriptors = ((present >> 4) & 1) == 0;
  Place(tree.device / "descriptors", hasDescriptors, descriptors);
  const std::optional<Bytes> file =
      hasDescriptors ? std::optional<Bytes>(Bytes(descriptors.begin(), descriptors.end())) : std::nullopt;

  varnet::posix::SysfsDriver channel(
      [](varnet::Handle handle) -> std::optional<std::string> {
        return handle == kPort ? std::optional<std::string>("ttyUSB0") : std::nullopt;
      },
      tree.root);
  CheckDeviceDescriptor(channel, file);
  CheckConfiguration(channel, file, length);
  std::vector<std::uint8_t> indexes = {0, index};
  if (file && file->size() >= 18) {
    indexes.insert(indexes.end(), file->begin() + 14, file->begin() + 17);
  }
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  for (const std::uint8_t i : indexes) {
    CheckString(channel, i, ExpectString(i, file, texts));
  }
  return 0;
}
