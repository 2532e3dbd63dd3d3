// The Linux driver channel, answered from a sysfs tree made in a temporary folder as the kernel lays
// it out for a usb-serial adapter (tty below a port below the interface) and a cdc-acm one (tty
// below the interface).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform_posix/sysfs_driver.h"
#include "platform_posix/usb_string_descriptor.h"
#include "protocol/request_codes.h"

namespace varnet::posix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const Bytes kDevice = {0x12, 0x01, 0x10, 0x01, 0x00, 0x00, 0x00, 0x40, 0x09,
                       0x12, 0x01, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x01};
const Bytes kConfig = {0x09, 0x02, 0x20, 0x00, 0x01, 0x01, 0x00, 0x80, 0x32,  // wTotalLength 32
                       0x09, 0x04, 0x00, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x00,  //
                       0x07, 0x05, 0x02, 0x02, 0x40, 0x00, 0x00,              //
                       0x07, 0x05, 0x83, 0x02, 0x40, 0x00, 0x00};
constexpr Handle kUsbSerialPort = 0x101;
constexpr Handle kAcmPort = 0x102;

void Write(const fs::path& file, const Bytes& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
void Write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

class SysfsChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(root_);
    const fs::path usb = root_ / "devices/pci0000:00/0000:00:14.0/usb1";
    AddDevice(usb / "1-1", "1-1:1.0/ttyUSB0", "ttyUSB0");
    AddDevice(usb / "1-2", "1-2:1.0", "ttyACM0");
  }
  void TearDown() override { fs::remove_all(root_); }

  void AddDevice(const fs::path& device, const std::string& ttyParent, const std::string& tty) {
    fs::create_directories(device / ttyParent / "tty" / tty);
    Bytes descriptors = kDevice;
    descriptors.insert(descriptors.end(), kConfig.begin(), kConfig.end());
    Write(device / "descriptors", descriptors);
    Write(device / "manufacturer", std::string("Varnet\n"));
    Write(device / "product", std::string("Bench Adapter\n"));
    Write(device / "serial", std::string("VB000001\n"));
    Write(device / "bConfigurationValue", std::string("1\n"));
    fs::create_directories(root_ / "class/tty" / tty);
    fs::create_directory_symlink(device / ttyParent, root_ / "class/tty" / tty / "device");
  }

  bool Request(Handle channel, DWORD code, DWORD inLength, DWORD outLength, Bytes& out, DWORD& returned) {
    out.assign(std::max<DWORD>(outLength, inLength), 0xEE);
    return driver_.DeviceIoControl(channel, code, out.data(), inLength, out.data(), outLength, &returned);
  }

  const fs::path root_ = fs::temp_directory_path() / ("varnet-sysfs-" + std::to_string(::getpid()));
  SysfsDriver driver_{[](Handle port) -> std::optional<std::string> {
                        if (port == kUsbSerialPort) {
                          return "ttyUSB0";
                        }
                        if (port == kAcmPort) {
                          return "ttyACM0";
                        }
                        return std::nullopt;
                      },
                      root_};
};

TEST_F(SysfsChannel, DeviceAndConfigurationDescriptorsForBothDriverLayouts) {
  for (Handle port : {kUsbSerialPort, kAcmPort}) {
    Bytes out;
    DWORD returned = 0;
    ASSERT_TRUE(Request(port, driver::IOCTL_GET_DEVICE_DESCRIPTOR, 18, 18, out, returned));
    EXPECT_EQ(returned, 18u);
    EXPECT_EQ(out, kDevice);

    ASSERT_TRUE(Request(port, driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR, 9, 9, out, returned));
    EXPECT_EQ(returned, 9u);
    EXPECT_EQ(out, Bytes(kConfig.begin(), kConfig.begin() + 9));
    ASSERT_TRUE(Request(port, driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR, 32, 32, out, returned));
    EXPECT_EQ(out, kConfig);
    // Asked for more than the set holds: the set, and the count says how much.
    ASSERT_TRUE(Request(port, driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR, 64, 64, out, returned));
    EXPECT_EQ(returned, 32u);
  }
}

TEST_F(SysfsChannel, StringDescriptorsByTheDeviceDescriptorsIndexes) {
  struct Case {
    std::uint8_t index;
    Bytes expected;
  } const cases[] = {
      {0, {0x04, 0x03, 0x09, 0x04}},
      {1, StringDescriptor("Varnet")},
      {2, StringDescriptor("Bench Adapter")},
      {3, {0x12, 0x03, 'V', 0, 'B', 0, '0', 0, '0', 0, '0', 0, '0', 0, '0', 0, '1', 0}},
  };
  for (const Case& c : cases) {
    Bytes buffer(256, 0xEE);
    buffer[0] = c.index;
    DWORD returned = 0;
    ASSERT_TRUE(driver_.DeviceIoControl(kUsbSerialPort, driver::IOCTL_GET_STRING_DESCRIPTOR, buffer.data(),
                                        256, buffer.data(), 256, &returned))
        << int{c.index};
    EXPECT_EQ(returned, c.expected.size());
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + c.expected[0]), c.expected) << int{c.index};
  }
  Bytes buffer(256, 0);
  buffer[0] = 4;
  DWORD returned = 0;
  EXPECT_FALSE(driver_.DeviceIoControl(kUsbSerialPort, driver::IOCTL_GET_STRING_DESCRIPTOR, buffer.data(),
                                       256, buffer.data(), 256, &returned))
      << "an index the device does not give";
  fs::remove(root_ / "devices/pci0000:00/0000:00:14.0/usb1/1-1/serial");
  buffer[0] = 3;
  EXPECT_FALSE(driver_.DeviceIoControl(kUsbSerialPort, driver::IOCTL_GET_STRING_DESCRIPTOR, buffer.data(),
                                       256, buffer.data(), 256, &returned))
      << "a device without a serial number text";
}

TEST_F(SysfsChannel, WrongLengthsOtherRequestsAndOtherHandlesFail) {
  struct Case {
    DWORD code, in, out;
  } const cases[] = {
      {driver::IOCTL_GET_DEVICE_DESCRIPTOR, 18, 17},
      {driver::IOCTL_GET_DEVICE_DESCRIPTOR, 0, 18},
      {driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR, 9, 32},
      {driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR, 0, 0},
      {driver::IOCTL_GET_CONFIGURATION_DESCRIPTOR, 5000, 5000},
      {driver::IOCTL_GET_STRING_DESCRIPTOR, 255, 256},
      {driver::IOCTL_GET_STRING_DESCRIPTOR, 256, 4},
      {driver::IOCTL_GET_VENDOR_COMMAND, 4, 4},
      {driver::IOCTL_READ_BULK, 0, 0},
      {driver::IOCTL_GP0_GET_VALUE, 0, 1},
      {0x222040, 0, 0},
  };
  for (const Case& c : cases) {
    Bytes out;
    DWORD returned = 99;
    EXPECT_FALSE(Request(kUsbSerialPort, c.code, c.in, c.out, out, returned))
        << std::hex << c.code << " " << c.in;
    EXPECT_EQ(returned, 0u);
  }
  Bytes out;
  DWORD returned = 0;
  EXPECT_FALSE(Request(0x777, driver::IOCTL_GET_DEVICE_DESCRIPTOR, 18, 18, out, returned));
  EXPECT_EQ(driver_.OpenDriver("\\\\.\\RARUDA-1"), kInvalidHandle);
}

TEST_F(SysfsChannel, AnAdapterGoneFromSysfsFails) {
  fs::remove_all(root_ / "devices/pci0000:00/0000:00:14.0/usb1/1-1");
  Bytes out;
  DWORD returned = 0;
  EXPECT_FALSE(Request(kUsbSerialPort, driver::IOCTL_GET_DEVICE_DESCRIPTOR, 18, 18, out, returned));
}

TEST(UsbStringDescriptor, Utf8BecomesUtf16AndIsCutToOneByteOfLength) {
  EXPECT_EQ(StringDescriptor("A\xC3\xA9"), (Bytes{0x06, 0x03, 'A', 0, 0xE9, 0}));
  // U+1F600 as a surrogate pair; a stray continuation byte as U+FFFD.
  EXPECT_EQ(StringDescriptor("\xF0\x9F\x98\x80\x80"),
            (Bytes{0x08, 0x03, 0x3D, 0xD8, 0x00, 0xDE, 0xFD, 0xFF}));
  EXPECT_EQ(StringDescriptor(std::string(300, 'x')).size(), 254u);
  const Bytes cut = StringDescriptor(std::string(125, 'x') + "\xF0\x9F\x98\x80");
  EXPECT_EQ(cut[0], 252) << "a surrogate pair that does not fit is left out whole";
}

}  // namespace
}  // namespace varnet::posix
