// The Linux serial port on a pseudo-terminal: opening, the data path, settings as the far end sees
// them, and an adapter pulled out. A pty has no modem lines; those are tested through the seam.
#include <asm/termbits.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <numeric>
#include <thread>

#include "platform_posix/posix_serial.h"
#include "tests/posix_pty_pair.h"

namespace varnet::posix {
namespace {

using testing::PtyPair;

constexpr CommTimeouts kOpenTimeouts{kMaxDword, 0, 0, 5, 1000};  // what the dialog's Open sets
constexpr CommTimeouts kWaitForAll{0, 0, 10000, 0, 10000};       // a read that waits for its count
constexpr CommTimeouts kWaitForFirst{kMaxDword, kMaxDword, 10000, 0, 10000};

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  return bytes;
}

class PtyPort : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    port_ = serial_.OpenPort("\\\\.\\COM3");
    ASSERT_NE(port_, kInvalidHandle);
    ASSERT_TRUE(serial_.SetCommTimeouts(port_, kOpenTimeouts));
  }
  void TearDown() override {
    if (port_ != kInvalidHandle) {
      serial_.ClosePort(port_);
    }
  }

  termios2 FarEnd() {
    termios2 tio{};
    EXPECT_EQ(::ioctl(pty_.Master(), TCGETS2, &tio), 0);
    return tio;
  }

  Dcb State() {
    Dcb dcb;
    EXPECT_TRUE(serial_.GetCommState(port_, dcb));
    return dcb;
  }

  PtyPair pty_;
  PosixSerial serial_{pty_.Map()};
  Handle port_ = kInvalidHandle;
};

TEST_F(PtyPort, OpensExclusivelyAndOnlyMappedNames) {
  EXPECT_EQ(serial_.OpenPort("\\\\.\\COM3"), kInvalidHandle) << "a second open must fail";
  for (const char* name : {"\\\\.\\COM4", "\\\\.\\", "COM3", "\\\\.\\COM03"}) {
    EXPECT_EQ(serial_.OpenPort(name), kInvalidHandle) << name;
  }
  ASSERT_TRUE(serial_.ClosePort(port_));
  EXPECT_FALSE(serial_.ClosePort(port_));
  port_ = serial_.OpenPort("\\\\.\\com3");
  EXPECT_NE(port_, kInvalidHandle) << "closing frees the port; names match without regard to case";
}

TEST_F(PtyPort, OpensInRawMode) {
  const termios2 tio = FarEnd();
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF | BRKINT), 0u);
  EXPECT_NE(tio.c_iflag & IGNBRK, 0u) << "a break must not reach the reader as a 0x00 byte";
  EXPECT_NE(tio.c_cflag & CLOCAL, 0u);
}

TEST_F(PtyPort, WritesEveryByteIntact) {
  const std::vector<std::uint8_t> block = Pattern(4096);
  EXPECT_EQ(serial_.WriteBlock(port_, block, 10000), block.size());
  EXPECT_EQ(pty_.Receive(block.size()), block);
}

TEST_F(PtyPort, ReadsWhatHasArrivedAndLeavesTheRest) {
  std::uint8_t buffer[16] = {};
  EXPECT_EQ(serial_.ReadBlock(port_, buffer, 3000), 0u) << "nothing has arrived: a read returns at once";

  pty_.Send({0x10, 0x11, 0x12, 0x13, 0x14});
  ASSERT_TRUE(serial_.SetCommTimeouts(port_, kWaitForAll));
  ASSERT_EQ(serial_.ReadBlock(port_, std::span(buffer, 2), 3000), 2u);
  EXPECT_EQ(buffer[0], 0x10);
  EXPECT_EQ(buffer[1], 0x11);

  ASSERT_TRUE(serial_.SetCommTimeouts(port_, kWaitForFirst));
  ASSERT_EQ(serial_.ReadBlock(port_, buffer, 3000), 3u);
  EXPECT_EQ(buffer[2], 0x14);
}

TEST_F(PtyPort, WriteHeldBackEndsAtItsTimeOutWithTheCountSent) {
  // The far end reads nothing: the pty's buffers fill and the write runs out of time.
  ASSERT_TRUE(serial_.SetCommTimeouts(port_, CommTimeouts{kMaxDword, 0, 0, 0, 100}));
  const std::vector<std::uint8_t> block = Pattern(1 << 20);
  const DWORD written = serial_.WriteBlock(port_, block, 10000);
  EXPECT_GT(written, 0u);
  ASSERT_LT(written, block.size());
  const std::vector<std::uint8_t> arrived = pty_.Receive(written);
  EXPECT_TRUE(std::equal(arrived.begin(), arrived.end(), block.begin()));
  EXPECT_EQ(arrived.size(), written);
}

TEST_F(PtyPort, AnyRateReachesTheLine) {
  for (DWORD rate : {300u, 9600u, 115200u, 123457u, 250000u, 6000000u}) {
    Dcb dcb = State();
    dcb.BaudRate = rate;
    ASSERT_TRUE(serial_.SetCommState(port_, dcb)) << rate;
    const termios2 tio = FarEnd();
    EXPECT_EQ(tio.c_ospeed, rate);
    EXPECT_EQ(tio.c_ispeed, rate);
    EXPECT_EQ(State().BaudRate, rate);
  }
}

// What a pty keeps of the character format: parity kind (PARODD, CMSPAR), stop bits and flow
// control; it forces CS8 and clears PARENB, so those two are checked in the translation's tests.
TEST_F(PtyPort, CharacterFormatAndFlowReachTheLine) {
  struct Case {
    std::uint8_t size, parity, stop;
    tcflag_t wanted, unwanted;
  } const cases[] = {
      {8, 1, 0, PARODD, CMSPAR | CSTOPB},      // odd
      {8, 2, 2, CSTOPB, PARODD | CMSPAR},      // even, two stop bits
      {8, 3, 0, PARODD | CMSPAR, CSTOPB},      // mark
      {7, 4, 2, CMSPAR | CSTOPB, PARODD},      // space
      {5, 0, 1, 0, CSTOPB | PARODD | CMSPAR},  // 5 data bits, one stop bit as the dialog codes it
      {5, 0, 2, CSTOPB, PARODD | CMSPAR},      // 5 data bits, one and a half
  };
  for (const Case& c : cases) {
    Dcb dcb = State();
    dcb.ByteSize = c.size;
    dcb.Parity = c.parity;
    dcb.StopBits = c.stop;
    ASSERT_TRUE(serial_.SetCommState(port_, dcb)) << int{c.size} << int{c.parity} << int{c.stop};
    const termios2 tio = FarEnd();
    EXPECT_EQ(tio.c_cflag & c.wanted, c.wanted) << int{c.parity};
    EXPECT_EQ(tio.c_cflag & c.unwanted, 0u) << int{c.parity};
  }

  Dcb dcb = State();
  dcb.flags |= DcbFlag::kOutxCtsFlow | DcbFlag::kOutxDsrFlow | DcbFlag::kOutX | DcbFlag::kInX;
  dcb.flags = (dcb.flags & ~DcbFlag::kRtsControlMask) | (kControlHandshake << DcbFlag::kRtsControlShift);
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  ASSERT_TRUE(serial_.SetCommState(port_, dcb));
  termios2 tio = FarEnd();
  EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), tcflag_t{IXON | IXOFF});
  const Dcb held = State();
  EXPECT_EQ(held.flags & (DcbFlag::kOutxCtsFlow | DcbFlag::kOutxDsrFlow | DcbFlag::kOutX | DcbFlag::kInX),
            DcbFlag::kOutxCtsFlow | DcbFlag::kOutxDsrFlow | DcbFlag::kOutX | DcbFlag::kInX);
  EXPECT_EQ(RtsControl(held), kControlHandshake);

  dcb.flags &= ~0x333Cu;  // the dialog's "no flow control"
  ASSERT_TRUE(serial_.SetCommState(port_, dcb));
  tio = FarEnd();
  EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0u);
  EXPECT_EQ(State().flags & 0x333Cu, 0u);
}

TEST_F(PtyPort, RefusedRecordsChangeNothing) {
  Dcb good = State();
  good.BaudRate = 19200;
  good.ByteSize = 8;
  good.StopBits = 0;
  ASSERT_TRUE(serial_.SetCommState(port_, good));
  Dcb bad = good;
  bad.ByteSize = 16;
  EXPECT_FALSE(serial_.SetCommState(port_, bad));
  bad = good;
  bad.StopBits = 1;
  bad.BaudRate = 300;
  EXPECT_FALSE(serial_.SetCommState(port_, bad));
  EXPECT_EQ(FarEnd().c_ospeed, 19200u);
  EXPECT_EQ(State().StopBits, 0);
}

TEST_F(PtyPort, AnUnpluggedAdapterFailsEverythingButClose) {
  pty_.CloseMaster();
  std::uint8_t buffer[8];
  EXPECT_EQ(serial_.ReadBlock(port_, buffer, 3000), 0u);
  Dcb dcb;
  EXPECT_FALSE(serial_.GetCommState(port_, dcb));
  EXPECT_EQ(serial_.WriteBlock(port_, Pattern(8), 10000), 0u);
  DWORD mask = 0;
  Overlapped overlapped;
  overlapped.hEvent = serial_.CreateEvent(false, false);
  EXPECT_FALSE(serial_.WaitCommEvent(port_, &mask, &overlapped));
  EXPECT_TRUE(serial_.ClosePort(port_));
  port_ = kInvalidHandle;
  serial_.CloseEvent(overlapped.hEvent);
}

// A pty answers no line-event calls: the monitor's wait rests on its events alone, and closing
// the port ends a pending wait with no bits.
TEST_F(PtyPort, WithoutLineEventsTheMonitorWaitsForItsEventsAlone) {
  ASSERT_TRUE(serial_.SetCommMask(port_, 0x1FA));
  const Handle portEvent = serial_.CreateEvent(false, false);
  const Handle stopEvent = serial_.CreateEvent(false, false);
  DWORD mask = 0xFFFF;
  Overlapped overlapped;
  overlapped.hEvent = portEvent;
  ASSERT_TRUE(serial_.WaitCommEvent(port_, &mask, &overlapped));
  DWORD result = kWaitFailed;
  std::thread monitor([&] { result = serial_.WaitForStopOrPortEvent(stopEvent, portEvent); });
  pty_.Send({0x41, 0x42});  // received data is no line event
  ASSERT_TRUE(serial_.ClosePort(port_));
  port_ = kInvalidHandle;
  monitor.join();
  EXPECT_EQ(result, kWaitObject0 + 1);
  EXPECT_EQ(mask, 0u);

  std::thread stopped([&] { result = serial_.WaitForStopOrPortEvent(stopEvent, portEvent); });
  serial_.SetEvent(stopEvent);
  stopped.join();
  EXPECT_EQ(result, kWaitObject0);
  serial_.CloseEvent(stopEvent);
  serial_.CloseEvent(portEvent);
}

}  // namespace
}  // namespace varnet::posix
