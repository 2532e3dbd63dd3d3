// What each request hands the driver: code, lengths and bytes, and what is taken from the answer
// when the driver writes less than it was given room for.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "protocol/request_codes.h"
#include "protocol/request_layouts.h"

namespace {

using namespace varnet;
using namespace varnet::driver;
using Bytes = std::vector<std::uint8_t>;

// Records the one request it is given and answers with `answer` (at most the room given),
// reporting `returned` as the count.
class RecordingDriver : public DriverApi {
 public:
  Handle OpenDriver(const std::string&) override { return kInvalidHandle; }
  bool CloseDriver(Handle) override { return true; }
  bool DeviceIoControl(Handle channel, DWORD code, const void* input, DWORD inputLength, void* output,
                       DWORD outputLength, DWORD* returned) override {
    ++calls;
    this->channel = channel;
    this->code = code;
    this->inputLength = inputLength;
    this->outputLength = outputLength;
    inputIsNull = input == nullptr;
    outputIsNull = output == nullptr;
    sameBuffer = input != nullptr && input == output;
    const auto* in = static_cast<const std::uint8_t*>(input);
    this->input = in == nullptr ? Bytes() : Bytes(in, in + inputLength);
    if (output != nullptr && !answer.empty()) {
      std::memcpy(output, answer.data(), std::min<std::size_t>(answer.size(), outputLength));
    }
    *returned = count;
    return result;
  }

  // The answer.
  bool result = true;
  Bytes answer;
  DWORD count = 0;
  // What came in.
  int calls = 0;
  Handle channel = kInvalidHandle;
  DWORD code = 0;
  DWORD inputLength = 0;
  DWORD outputLength = 0;
  bool inputIsNull = false;
  bool outputIsNull = false;
  bool sameBuffer = false;
  Bytes input;
};

constexpr Handle kChannel = 7;

struct Sent {
  const char* what;
  std::function<void(DriverRequests&)> call;
  std::uint32_t code;
  Bytes input;  // empty: a null input of length 0
  DWORD outputLength;
};

TEST(RequestLayouts, EachRequestSendsExactlyItsBytesAndLengths) {
  const Sent cases[] = {
      {"Set command 80, no parameter",
       [](DriverRequests& r) { r.SetVendorCommand(0x80, 0); },
       IOCTL_SET_VENDOR_COMMAND,
       {0x80, 0x00, 0x00, 0x00},
       0},
      {"Set command -1 with 2",
       [](DriverRequests& r) { r.SetVendorCommand(-1, 2); },
       IOCTL_SET_VENDOR_COMMAND,
       {0xFF, 0xFF, 0x02, 0x00},
       0},
      {"Set command of five digits keeps the low word",
       [](DriverRequests& r) { r.SetVendorCommand(0x12345, 0x1A); },
       IOCTL_SET_VENDOR_COMMAND,
       {0x45, 0x23, 0x1A, 0x00},
       0},
      {"Get command",
       [](DriverRequests& r) { r.GetVendorCommand(0x1ABCD); },
       IOCTL_GET_VENDOR_COMMAND,
       {0xCD, 0xAB, 0x00, 0x00},
       4},
      {"Set Line clamped",
       [](DriverRequests& r) { r.SendControlState(0x7FFFFFFF); },
       IOCTL_SEND_CONTROL_STATE,
       {0xFF, 0xFF, 0xFF, 0x7F},
       0},
      {"Set Line -1",
       [](DriverRequests& r) { r.SendControlState(-1); },
       IOCTL_SEND_CONTROL_STATE,
       {0xFF, 0xFF, 0xFF, 0xFF},
       0},
      {"Set feature sends two bytes",
       [](DriverRequests& r) { r.SetFeature(0x12345); },
       IOCTL_SET_FEATURE,
       {0x45, 0x23},
       0},
      {"Get feature", [](DriverRequests& r) { r.GetFeature(); }, IOCTL_GET_FEATURE, {}, 2},
      {"Clear feature", [](DriverRequests& r) { r.ClearFeature(); }, IOCTL_CLEAR_FEATURE, {}, 0},
      {"EEPROM write: 8-bit offset",
       [](DriverRequests& r) { r.EepromWrite(0x1FF, 0x5A); },
       IOCTL_EEPROM_WRITE,
       {0xFF, 0x5A},
       0},
      {"EEPROM read data: 16-bit offset",
       [](DriverRequests& r) { r.EepromReadData(0x1FF); },
       IOCTL_EEPROM_READ_DATA,
       {0xFF, 0x01},
       1},
      {"EEPROM read status: no input",
       [](DriverRequests& r) { r.EepromReadStatus(); },
       IOCTL_EEPROM_READ_STATUS,
       {},
       1},
      {"Int", [](DriverRequests& r) { r.ReadInterrupt(); }, IOCTL_READ_INTERRUPT, {}, 10},
      {"Write bulk",
       [](DriverRequests& r) {
         r.WriteBulk(Bytes{0xFE, 0xFF, 0x00});
       },
       IOCTL_WRITE_BULK,
       {0xFE, 0xFF, 0x00},
       0},
      {"Write bulk of nothing", [](DriverRequests& r) { r.WriteBulk({}); }, IOCTL_WRITE_BULK, {}, 0},
      {"GP1 output enable",
       [](DriverRequests& r) { r.GpOutputEnable(IOCTL_GP1_OUTPUT_ENABLE, true); },
       IOCTL_GP1_OUTPUT_ENABLE,
       {0x01},
       0},
      {"GP0 output disable",
       [](DriverRequests& r) { r.GpOutputEnable(IOCTL_GP0_OUTPUT_ENABLE, false); },
       IOCTL_GP0_OUTPUT_ENABLE,
       {0x00},
       0},
      {"GP0 set",
       [](DriverRequests& r) { r.GpSetValue(IOCTL_GP0_SET_VALUE, 2); },
       IOCTL_GP0_SET_VALUE,
       {0x02},
       0},
      {"GP1 get", [](DriverRequests& r) { r.GpGetValue(IOCTL_GP1_GET_VALUE); }, IOCTL_GP1_GET_VALUE, {}, 1},
  };
  for (const Sent& c : cases) {
    RecordingDriver api;
    DriverRequests requests(api, kChannel);
    c.call(requests);
    EXPECT_EQ(api.calls, 1) << c.what;
    EXPECT_EQ(api.channel, kChannel) << c.what;
    EXPECT_EQ(api.code, c.code) << c.what;
    EXPECT_EQ(api.input, c.input) << c.what;
    EXPECT_EQ(api.inputLength, c.input.size()) << c.what;
    EXPECT_EQ(api.inputIsNull, c.input.empty()) << c.what;
    EXPECT_EQ(api.outputLength, c.outputLength) << c.what;
    EXPECT_EQ(api.outputIsNull, c.outputLength == 0) << c.what;
  }
}

TEST(RequestLayouts, DescriptorRequestsUseOneBufferBothWays) {
  RecordingDriver api;
  DriverRequests requests(api, kChannel);
  requests.GetDeviceDescriptor();
  EXPECT_EQ(api.code, IOCTL_GET_DEVICE_DESCRIPTOR);
  EXPECT_TRUE(api.sameBuffer);
  EXPECT_EQ(api.inputLength, 18u);
  EXPECT_EQ(api.outputLength, 18u);

  for (std::size_t n : {std::size_t{9}, std::size_t{58}}) {
    requests.GetConfigurationDescriptor(n);
    EXPECT_EQ(api.code, IOCTL_GET_CONFIGURATION_DESCRIPTOR);
    EXPECT_TRUE(api.sameBuffer);
    EXPECT_EQ(api.inputLength, n);
    EXPECT_EQ(api.outputLength, n);
  }
}

TEST(RequestLayouts, UnwrittenAnswerBytesAreZeroOrWhatTheBufferHeld) {
  RecordingDriver api;
  DriverRequests requests(api, kChannel);

  // A driver that writes three bytes of the interrupt report leaves zeros, not stale memory.
  api.answer = {0xA1, 0x20, 0x00};
  EXPECT_EQ(requests.ReadInterrupt(), (InterruptReport{0xA1, 0x20, 0, 0, 0, 0, 0, 0, 0, 0}));

  // Get command: a driver that writes nothing leaves the command value's low byte as the response.
  api.answer = {};
  EXPECT_EQ(requests.GetVendorCommand(0x15A), std::optional<std::uint8_t>(0x5A));
  api.answer = {0x7E};
  EXPECT_EQ(requests.GetVendorCommand(0x15A), std::optional<std::uint8_t>(0x7E));

  api.answer = {};
  EXPECT_EQ(requests.GetFeature(), std::optional<std::uint16_t>(0));
  EXPECT_EQ(requests.GpGetValue(IOCTL_GP0_GET_VALUE), std::optional<std::uint8_t>(0));
  EXPECT_EQ(requests.EepromReadStatus(), std::optional<std::uint8_t>(0));
  api.answer = {0x01, 0x02};
  EXPECT_EQ(requests.GetFeature(), std::optional<std::uint16_t>(0x0201));

  api.answer = {};
  const auto device = requests.GetDeviceDescriptor();
  ASSERT_TRUE(device);
  EXPECT_EQ(*device, DeviceDescriptor{});
}

TEST(RequestLayouts, StringBufferKeepsThePreviousAnswerBehindTheIndex) {
  RecordingDriver api;
  DriverRequests requests(api, kChannel);
  StringBuffer buffer{};
  api.answer = {0x04, 0x03, 0x09, 0x04};
  ASSERT_TRUE(requests.GetStringDescriptor(0, buffer));
  EXPECT_EQ(api.inputLength, 256u);
  EXPECT_EQ(api.outputLength, 256u);
  EXPECT_TRUE(api.sameBuffer);

  api.answer = {};
  ASSERT_TRUE(requests.GetStringDescriptor(2, buffer));
  EXPECT_EQ(api.input[0], 2);
  EXPECT_EQ((Bytes(api.input.begin() + 1, api.input.begin() + 5)), (Bytes{0x03, 0x09, 0x04, 0x00}));
}

TEST(RequestLayouts, ReadBulkNeverTrustsACountBeyondTheBlock) {
  struct Count {
    DWORD returned;
    std::size_t taken;
  };
  for (const Count c : {Count{0, 0}, Count{3, 3}, Count{64, 64}, Count{65, 64}, Count{0xFFFFFFFF, 64}}) {
    RecordingDriver api;
    api.count = c.returned;
    DriverRequests requests(api, kChannel);
    Bytes block(64);
    EXPECT_EQ(requests.ReadBulk(block), std::optional<std::size_t>(c.taken)) << c.returned;
    EXPECT_EQ(api.code, IOCTL_READ_BULK);
    EXPECT_TRUE(api.inputIsNull);
    EXPECT_EQ(api.outputLength, 64u);
  }
}

TEST(RequestLayouts, AFailedRequestGivesNoAnswer) {
  RecordingDriver api;
  api.result = false;
  api.answer = {0x12, 0x34};
  DriverRequests requests(api, kChannel);
  EXPECT_FALSE(requests.GetDeviceDescriptor());
  EXPECT_FALSE(requests.GetConfigurationDescriptor(9));
  EXPECT_FALSE(requests.GetVendorCommand(1));
  EXPECT_FALSE(requests.GetFeature());
  Bytes block(4);
  EXPECT_FALSE(requests.ReadBulk(block));
  EXPECT_FALSE(requests.EepromReadData(0));
  EXPECT_FALSE(requests.SetVendorCommand(0x80, 0));
  EXPECT_FALSE(requests.ClearFeature());
}

}  // namespace
