// The virtual adapter's vendor driver: request lengths, answers, and what the bench records.
#include <gtest/gtest.h>

#include "protocol/request_codes.h"
#include "tests/support/bench_fixture.h"

namespace varnet::bench::testing {
namespace {

using namespace varnet::driver;

class DriverTest : public BenchFixture {
 protected:
  // The 9x family's own channel, with no COM port open.
  Handle channel = bench.OpenDriver("\\\\.\\RARUDA-1");
};

struct LengthCase {
  std::uint32_t code;
  DWORD in;
  DWORD out;
  bool accepted;
};

class RequestLengthTest : public DriverTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(RequestLengthTest, OnlyTheTakenLengthsAreAccepted) {
  const LengthCase c = GetParam();
  std::vector<std::uint8_t> in(c.in, 0x00);
  if (c.code == IOCTL_SET_FEATURE && c.in >= 1) {
    in[0] = 0x01;
  }
  const Reply reply = Request(channel, c.code, in, c.out);
  EXPECT_EQ(reply.ok, c.accepted);
  if (!c.accepted) {
    EXPECT_EQ(reply.returned, 0u);
    EXPECT_EQ(reply.out, std::vector<std::uint8_t>(c.out, 0xEE)) << "a failed request writes nothing";
  }
  EXPECT_EQ(bench.TakeRequestLines().size(), 1u) << "failed requests are listed too";
}

INSTANTIATE_TEST_SUITE_P(
    Table, RequestLengthTest,
    ::testing::Values(
        LengthCase{IOCTL_GET_DEVICE_DESCRIPTOR, 18, 18, true},
        LengthCase{IOCTL_GET_DEVICE_DESCRIPTOR, 18, 17, false},
        LengthCase{IOCTL_GET_DEVICE_DESCRIPTOR, 0, 18, false},
        LengthCase{IOCTL_GET_CONFIGURATION_DESCRIPTOR, 1, 1, true},
        LengthCase{IOCTL_GET_CONFIGURATION_DESCRIPTOR, 4096, 4096, true},
        LengthCase{IOCTL_GET_CONFIGURATION_DESCRIPTOR, 0, 0, false},
        LengthCase{IOCTL_GET_CONFIGURATION_DESCRIPTOR, 4097, 4097, false},
        LengthCase{IOCTL_GET_CONFIGURATION_DESCRIPTOR, 9, 58, false},
        LengthCase{IOCTL_GET_STRING_DESCRIPTOR, 256, 256, true},
        LengthCase{IOCTL_GET_STRING_DESCRIPTOR, 1, 256, false},
        LengthCase{IOCTL_GET_STRING_DESCRIPTOR, 256, 255, false},
        LengthCase{IOCTL_SET_VENDOR_COMMAND, 4, 0, true}, LengthCase{IOCTL_SET_VENDOR_COMMAND, 4, 4, false},
        LengthCase{IOCTL_SET_VENDOR_COMMAND, 2, 0, false}, LengthCase{IOCTL_GET_VENDOR_COMMAND, 4, 4, true},
        LengthCase{IOCTL_GET_VENDOR_COMMAND, 4, 1, false}, LengthCase{IOCTL_READ_INTERRUPT, 0, 10, true},
        LengthCase{IOCTL_READ_INTERRUPT, 0, 8, false}, LengthCase{IOCTL_READ_INTERRUPT, 1, 10, false},
        LengthCase{IOCTL_WRITE_BULK, 0, 0, true}, LengthCase{IOCTL_WRITE_BULK, 4096, 0, true},
        LengthCase{IOCTL_WRITE_BULK, 4097, 0, false}, LengthCase{IOCTL_WRITE_BULK, 1, 1, false},
        LengthCase{IOCTL_READ_BULK, 0, 0, true}, LengthCase{IOCTL_READ_BULK, 0, 4096, true},
        LengthCase{IOCTL_READ_BULK, 0, 4097, false}, LengthCase{IOCTL_READ_BULK, 1, 64, false},
        LengthCase{IOCTL_SEND_CONTROL_STATE, 4, 0, true}, LengthCase{IOCTL_SEND_CONTROL_STATE, 1, 0, false},
        LengthCase{IOCTL_SET_FEATURE, 2, 0, true}, LengthCase{IOCTL_SET_FEATURE, 4, 0, false},
        LengthCase{IOCTL_EEPROM_WRITE, 2, 0, true}, LengthCase{IOCTL_EEPROM_WRITE, 3, 0, false},
        LengthCase{IOCTL_EEPROM_READ_DATA, 2, 1, true}, LengthCase{IOCTL_EEPROM_READ_DATA, 1, 1, false},
        LengthCase{IOCTL_EEPROM_READ_DATA, 2, 2, false}, LengthCase{IOCTL_EEPROM_READ_STATUS, 0, 1, true},
        LengthCase{IOCTL_EEPROM_READ_STATUS, 1, 1, false}, LengthCase{IOCTL_GET_FEATURE, 0, 2, true},
        LengthCase{IOCTL_GET_FEATURE, 0, 4, false}, LengthCase{IOCTL_CLEAR_FEATURE, 0, 0, true},
        LengthCase{IOCTL_CLEAR_FEATURE, 2, 0, false}, LengthCase{IOCTL_GP0_OUTPUT_ENABLE, 1, 0, true},
        LengthCase{IOCTL_GP1_OUTPUT_ENABLE, 4, 0, false}, LengthCase{IOCTL_GP0_SET_VALUE, 1, 0, true},
        LengthCase{IOCTL_GP1_SET_VALUE, 0, 0, false}, LengthCase{IOCTL_GP0_GET_VALUE, 0, 1, true},
        LengthCase{IOCTL_GP1_GET_VALUE, 0, 4, false}, LengthCase{0x222040, 0, 0, false}));

TEST_F(DriverTest, ConfigurationSetIsTheFiftyEightBytes) {
  const std::vector<std::uint8_t> expected = {
      0x09, 0x02, 0x3A, 0x00, 0x01, 0x01, 0x00, 0x80, 0x32, 0x09, 0x04, 0x00, 0x00, 0x03, 0xFF,
      0x00, 0x00, 0x00, 0x07, 0x05, 0x81, 0x03, 0x0A, 0x00, 0x01, 0x07, 0x05, 0x02, 0x02, 0x40,
      0x00, 0x00, 0x07, 0x05, 0x83, 0x02, 0x40, 0x00, 0x00, 0x05, 0x24, 0x00, 0x10, 0x01, 0x04,
      0x24, 0x02, 0x06, 0x05, 0x24, 0x06, 0x00, 0x00, 0x05, 0x24, 0x01, 0x00, 0x00};
  const Reply head = Request(channel, IOCTL_GET_CONFIGURATION_DESCRIPTOR, std::vector<std::uint8_t>(9), 9);
  ASSERT_TRUE(head.ok);
  EXPECT_EQ(head.out, std::vector<std::uint8_t>(expected.begin(), expected.begin() + 9));

  const Reply all = Request(channel, IOCTL_GET_CONFIGURATION_DESCRIPTOR, std::vector<std::uint8_t>(100), 100);
  ASSERT_TRUE(all.ok);
  EXPECT_EQ(all.returned, 58u);
  EXPECT_EQ(std::vector<std::uint8_t>(all.out.begin(), all.out.begin() + 58), expected);
  EXPECT_EQ(all.out[58], 0xEE) << "bytes past the set are left alone";
}

TEST_F(DriverTest, DescriptorsAndTheirReplacements) {
  const Reply device = Request(channel, IOCTL_GET_DEVICE_DESCRIPTOR, std::vector<std::uint8_t>(18), 18);
  ASSERT_TRUE(device.ok);
  EXPECT_EQ(device.out, (std::vector<std::uint8_t>{0x12, 0x01, 0x10, 0x01, 0x00, 0x00, 0x00, 0x40, 0x09, 0x12,
                                                   0x01, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x01}));
  std::vector<std::uint8_t> in(256);
  in[0] = 2;
  const Reply product = Request(channel, IOCTL_GET_STRING_DESCRIPTOR, in, 256);
  ASSERT_TRUE(product.ok);
  EXPECT_EQ(product.out[0], 2 + 2 * 21);
  EXPECT_EQ(product.out[1], 0x03);
  EXPECT_EQ(product.out[2], 'V');
  EXPECT_EQ(product.out[3], 0x00);
  in[0] = 4;
  EXPECT_FALSE(Request(channel, IOCTL_GET_STRING_DESCRIPTOR, in, 256).ok);

  bench.SetDeviceDescriptor({0x04, 0x01});
  const Reply shortDevice = Request(channel, IOCTL_GET_DEVICE_DESCRIPTOR, std::vector<std::uint8_t>(18), 18);
  ASSERT_TRUE(shortDevice.ok);
  EXPECT_EQ(shortDevice.returned, 2u);
  bench.SetConfigurationSet({});
  const Reply empty = Request(channel, IOCTL_GET_CONFIGURATION_DESCRIPTOR, std::vector<std::uint8_t>(9), 9);
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(empty.returned, 0u);
}

TEST_F(DriverTest, RequestLinesShowWhatReachedTheDriver) {
  std::vector<std::uint8_t> in(256, 0x77);
  in[0] = 1;
  Request(channel, IOCTL_GET_DEVICE_DESCRIPTOR, std::vector<std::uint8_t>(18, 0x55), 18);
  Request(channel, IOCTL_GET_STRING_DESCRIPTOR, in, 256);
  Request(channel, IOCTL_SET_VENDOR_COMMAND, {0x81, 0x00, 0xAB, 0x0C}, 0);
  bench.FailNext(IOCTL_GET_FEATURE);
  EXPECT_FALSE(Request(channel, IOCTL_GET_FEATURE, {}, 2).ok);
  EXPECT_TRUE(Request(channel, IOCTL_GET_FEATURE, {}, 2).ok) << "only the next one fails";
  ASSERT_TRUE(bench.CloseDriver(channel));
  EXPECT_FALSE(Request(channel, IOCTL_CLEAR_FEATURE, {}, 0).ok);
  EXPECT_FALSE(Request(kInvalidHandle, IOCTL_CLEAR_FEATURE, {}, 0).ok);

  EXPECT_EQ(bench.TakeRequestLines(),
            (std::vector<std::string>{"IOCTL_GET_DEVICE_DESCRIPTOR in=18 out=18",
                                      "IOCTL_GET_STRING_DESCRIPTOR in=256 out=256 data=01",
                                      "IOCTL_SET_VENDOR_COMMAND in=4 out=0 data=81 00 AB 0C",
                                      "IOCTL_GET_FEATURE in=0 out=2", "IOCTL_GET_FEATURE in=0 out=2"}));
  EXPECT_TRUE(bench.TakeRequestLines().empty());
}

TEST_F(DriverTest, VendorRegistersAndFeatures) {
  ASSERT_TRUE(Request(channel, IOCTL_SET_VENDOR_COMMAND, {0x34, 0x12, 0xCD, 0xAB}, 0).ok);
  EXPECT_EQ(Request(channel, IOCTL_GET_VENDOR_COMMAND, {0x34, 0x12, 0, 0}, 4).out,
            (std::vector<std::uint8_t>{0xCD, 0xAB, 0x00, 0x00}));
  EXPECT_FALSE(Request(channel, IOCTL_SET_FEATURE, {0x02, 0x00}, 0).ok);
  ASSERT_TRUE(Request(channel, IOCTL_SET_FEATURE, {0x01, 0x00}, 0).ok);
  EXPECT_EQ(Request(channel, IOCTL_GET_FEATURE, {}, 2).out, (std::vector<std::uint8_t>{0x02, 0x00}));
  ASSERT_TRUE(Request(channel, IOCTL_CLEAR_FEATURE, {}, 0).ok);
  EXPECT_EQ(Request(channel, IOCTL_GET_FEATURE, {}, 2).out, (std::vector<std::uint8_t>{0x00, 0x00}));
}

TEST_F(DriverTest, EepromIsBusyForFiveMillisecondsAfterAWrite) {
  EXPECT_EQ(Request(channel, IOCTL_EEPROM_READ_DATA, {0x10, 0x00}, 1).out, std::vector<std::uint8_t>{0xFF});
  ASSERT_TRUE(Request(channel, IOCTL_EEPROM_WRITE, {0x10, 0x5A}, 0).ok);
  EXPECT_FALSE(bench.IsQuiet());
  EXPECT_EQ(Request(channel, IOCTL_EEPROM_READ_STATUS, {}, 1).out, std::vector<std::uint8_t>{0x01});
  EXPECT_FALSE(Request(channel, IOCTL_EEPROM_WRITE, {0x11, 0x00}, 0).ok);
  AdvanceMs(4.99);
  EXPECT_EQ(Request(channel, IOCTL_EEPROM_READ_STATUS, {}, 1).out, std::vector<std::uint8_t>{0x01});
  AdvanceMs(0.01);
  EXPECT_EQ(Request(channel, IOCTL_EEPROM_READ_STATUS, {}, 1).out, std::vector<std::uint8_t>{0x00});
  EXPECT_TRUE(bench.IsQuiet());
  EXPECT_EQ(Request(channel, IOCTL_EEPROM_READ_DATA, {0x10, 0x00}, 1).out, std::vector<std::uint8_t>{0x5A});
  EXPECT_EQ(Request(channel, IOCTL_EEPROM_READ_DATA, {0x11, 0x00}, 1).out, std::vector<std::uint8_t>{0xFF});
  EXPECT_FALSE(Request(channel, IOCTL_EEPROM_READ_DATA, {0x00, 0x01}, 1).ok);
}

TEST_F(DriverTest, GpPinsReadLatchesTheLoopAndPullUps) {
  EXPECT_EQ(Request(channel, IOCTL_GP1_GET_VALUE, {}, 1).out, std::vector<std::uint8_t>{1});
  ASSERT_TRUE(Request(channel, IOCTL_GP0_OUTPUT_ENABLE, {1}, 0).ok);
  ASSERT_TRUE(Request(channel, IOCTL_GP0_SET_VALUE, {0}, 0).ok);
  EXPECT_EQ(Request(channel, IOCTL_GP1_GET_VALUE, {}, 1).out, std::vector<std::uint8_t>{0})
      << "the loop-back plug wires GP0 to GP1";
  bench.SetPlug(PlugKind::None);
  EXPECT_EQ(Request(channel, IOCTL_GP1_GET_VALUE, {}, 1).out, std::vector<std::uint8_t>{1});
  bench.DriveGpio(1, 0);
  EXPECT_EQ(Request(channel, IOCTL_GP1_GET_VALUE, {}, 1).out, std::vector<std::uint8_t>{0});
  EXPECT_EQ(Request(channel, IOCTL_GP0_GET_VALUE, {}, 1).out, std::vector<std::uint8_t>{0});
  EXPECT_FALSE(Request(channel, IOCTL_GP0_SET_VALUE, {2}, 0).ok);
  EXPECT_FALSE(Request(channel, IOCTL_GP1_OUTPUT_ENABLE, {2}, 0).ok);
}

TEST_F(DriverTest, InterruptReadReportsLinesAndEventsSinceTheLastRead) {
  const std::vector<std::uint8_t> header{0xA1, 0x20, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00};
  bench.SetPlug(PlugKind::None);
  ASSERT_TRUE(bench.DriveLine(InputLine::Dsr, true));
  bench.SendBreak();
  bench.RaiseLineError(LineError::Parity);
  Reply first = Request(channel, IOCTL_READ_INTERRUPT, {}, 10);
  ASSERT_TRUE(first.ok);
  EXPECT_EQ(first.returned, 10u);
  EXPECT_EQ(std::vector<std::uint8_t>(first.out.begin(), first.out.begin() + 8), header);
  EXPECT_EQ(first.out[8], 0x02 | 0x04 | 0x20);
  EXPECT_EQ(first.out[9], 0x00);
  EXPECT_EQ(Request(channel, IOCTL_READ_INTERRUPT, {}, 10).out[8], 0x02);
}

TEST_F(DriverTest, BulkTransfersGoThroughTheFifoWithoutAnOpenPort) {
  ASSERT_TRUE(Request(channel, IOCTL_WRITE_BULK, Counting(300), 0).ok);
  AdvanceMs(400);
  EXPECT_EQ(bench.TakeTransmitted(), Counting(300));
  const Reply read = Request(channel, IOCTL_READ_BULK, {}, 200);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.returned, 200u);
  EXPECT_EQ(Request(channel, IOCTL_READ_BULK, {}, 200).returned, 100u);
  EXPECT_TRUE(Request(channel, IOCTL_READ_BULK, {}, 200).ok) << "nothing left is still a success";
}

TEST_F(DriverTest, BulkWriteFailsWhenFlowControlHoldsItPastItsTimeOut) {
  bench.SetPlug(PlugKind::None);
  const Handle port = OpenPort(9600);
  SetFlow(port, DcbFlag::kOutxCtsFlow);
  const Nanoseconds start = clock.Now();
  EXPECT_FALSE(Request(port, IOCTL_WRITE_BULK, Counting(300), 0).ok);
  EXPECT_NEAR(MillisecondsSince(start), 1000.0 + 5 * 300, 0.01);
}

TEST_F(DriverTest, ControlStateMovesBothLinesUnlessOneIsHandshaking) {
  const Handle port = OpenPort();
  ASSERT_TRUE(Request(port, IOCTL_SEND_CONTROL_STATE, {0x01, 0, 0, 0}, 0).ok);
  EXPECT_NE(bench.PortLine().find(" dtr=1 rts=0 cts=0 dsr=1 dcd=1 "), std::string::npos);
  SetFlow(port, kControlHandshake << DcbFlag::kRtsControlShift, DcbFlag::kRtsControlMask);
  // The settings write lowered DTR (DISABLE) and raised RTS (handshake, buffer empty).
  EXPECT_FALSE(Request(port, IOCTL_SEND_CONTROL_STATE, {0x01, 0, 0, 0}, 0).ok);
  EXPECT_NE(bench.PortLine().find(" dtr=0 rts=1 "), std::string::npos) << bench.PortLine();
}

}  // namespace
}  // namespace varnet::bench::testing
