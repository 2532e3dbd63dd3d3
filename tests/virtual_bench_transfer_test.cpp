// Line timing, the transmit FIFO, flow control and the receive buffer of the virtual adapter.
#include <gtest/gtest.h>

#include "tests/support/bench_fixture.h"

namespace varnet::bench::testing {
namespace {

using TransferTest = BenchFixture;

struct WriteTiming {
  DWORD baud;
  double completesMs;  // when byte 512 entered the FIFO: 256 character times
  double onLineMs;     // when the last byte left: 512 character times
};

class WriteTimingTest : public BenchFixture, public ::testing::WithParamInterface<WriteTiming> {};

TEST_P(WriteTimingTest, WriteCompletesWhenItsLastByteEntersTheFifo) {
  const WriteTiming timing = GetParam();
  const Handle port = OpenPort(timing.baud);
  const std::vector<std::uint8_t> data = Counting(512);
  const Nanoseconds start = clock.Now();

  EXPECT_EQ(bench.WriteBlock(port, data, 10000), 512u);
  EXPECT_NEAR(MillisecondsSince(start), timing.completesMs, 0.01);
  EXPECT_EQ(bench.TakeTransmitted().size(), 256u);  // the other half is still in the FIFO

  AdvanceMs(timing.onLineMs - MillisecondsSince(start) - 0.01);
  EXPECT_EQ(bench.TakeTransmitted().size(), 255u);
  AdvanceMs(0.02);
  EXPECT_EQ(bench.TakeTransmitted().size(), 1u);

  // Every byte came back through the loop-back plug, in order.
  std::vector<std::uint8_t> echo(600);
  ASSERT_EQ(bench.ReadBlock(port, echo, 3000), 512u);
  echo.resize(512);
  EXPECT_EQ(echo, data);
}

INSTANTIATE_TEST_SUITE_P(Rates, WriteTimingTest,
                         ::testing::Values(WriteTiming{9600, 2560.0 / 9.6, 5120.0 / 9.6},
                                           WriteTiming{115200, 2560.0 / 115.2, 5120.0 / 115.2}));

TEST_F(TransferTest, CharacterTimeCountsParityAndStopBits) {
  const Handle port = OpenPort(1200);
  Dcb dcb;
  ASSERT_TRUE(bench.GetCommState(port, dcb));
  dcb.ByteSize = 7;
  dcb.Parity = 2;
  dcb.StopBits = 2;  // 1 + 7 + 1 + 2 = 11 bits
  ASSERT_TRUE(bench.SetCommState(port, dcb));
  const std::vector<std::uint8_t> one{0x41};
  ASSERT_EQ(bench.WriteBlock(port, one, 10000), 1u);
  AdvanceMs(11000.0 / 1200 - 0.01);
  EXPECT_TRUE(bench.TakeTransmitted().empty());
  AdvanceMs(0.02);
  EXPECT_EQ(bench.TakeTransmitted().size(), 1u);
}

TEST_F(TransferTest, CtsFlowHoldsTheFifoAndTheWriteTimeOutCutsTheWrite) {
  bench.SetPlug(PlugKind::None);
  const Handle port = OpenPort(9600);
  SetFlow(port, DcbFlag::kOutxCtsFlow);
  const Nanoseconds start = clock.Now();

  // 256 bytes enter the FIFO at once; the other 44 wait for room until 1000 + 5 * 300 ms.
  EXPECT_EQ(bench.WriteBlock(port, Counting(300), 10000), 256u);
  EXPECT_NEAR(MillisecondsSince(start), 2500.0, 0.01);
  EXPECT_TRUE(bench.TakeTransmitted().empty());
  EXPECT_TRUE(bench.IsQuiet()) << "bytes held by flow control cannot move on their own";

  ASSERT_TRUE(bench.DriveLine(InputLine::Cts, true));
  EXPECT_FALSE(bench.IsQuiet());
  AdvanceMs(300);
  EXPECT_EQ(bench.TakeTransmitted(), Counting(256));
  EXPECT_TRUE(bench.IsQuiet());
}

TEST_F(TransferTest, ReceivedXoffStopsTheTransmitterUntilXon) {
  bench.SetPlug(PlugKind::None);
  const Handle port = OpenPort(9600);
  SetFlow(port, DcbFlag::kOutX | DcbFlag::kInX);
  const std::vector<std::uint8_t> xoff{0x13};
  const std::vector<std::uint8_t> xon{0x11};

  bench.Receive(xoff);
  AdvanceMs(2);
  ASSERT_EQ(bench.WriteBlock(port, Counting(10), 10000), 10u);
  AdvanceMs(100);
  EXPECT_TRUE(bench.TakeTransmitted().empty());

  bench.Receive(xon);
  AdvanceMs(100);
  EXPECT_EQ(bench.TakeTransmitted(), Counting(10));
  std::vector<std::uint8_t> buffer(16);
  EXPECT_EQ(bench.ReadBlock(port, buffer, 3000), 0u) << "Xon and Xoff are consumed";
}

TEST_F(TransferTest, InXSendsXoffAboveTheMarkAndXonBelowXonLim) {
  bench.SetPlug(PlugKind::None);
  const Handle port = OpenPort(115200);
  SetFlow(port, DcbFlag::kInX);

  bench.Receive(Counting(4096 - 512));  // at the mark: not above it
  AdvanceMs(400);
  EXPECT_TRUE(bench.TakeTransmitted().empty());
  bench.Receive(Counting(1));
  AdvanceMs(1);
  EXPECT_EQ(bench.TakeTransmitted(), std::vector<std::uint8_t>{0x13});

  std::vector<std::uint8_t> buffer(4096 - 512 + 1 - 2048);
  ASSERT_EQ(bench.ReadBlock(port, buffer, 3000), buffer.size());  // 2048 left: not below
  AdvanceMs(1);
  EXPECT_TRUE(bench.TakeTransmitted().empty());
  buffer.resize(1);
  ASSERT_EQ(bench.ReadBlock(port, buffer, 3000), 1u);
  AdvanceMs(1);
  EXPECT_EQ(bench.TakeTransmitted(), std::vector<std::uint8_t>{0x11});
}

TEST_F(TransferTest, RtsHandshakeFollowsTheReceiveBufferAndHoldsTheLoop) {
  const Handle port = OpenPort(115200);
  SetFlow(port, DcbFlag::kOutxCtsFlow | (kControlHandshake << DcbFlag::kRtsControlShift),
          DcbFlag::kRtsControlMask);
  EXPECT_TRUE(bench.EscapeCommFunction(port, EscapeFunction::ClrDtr));
  EXPECT_FALSE(bench.EscapeCommFunction(port, EscapeFunction::ClrRts)) << "RTS is handshaking";

  // On the loop-back plug our own RTS is our CTS: above the mark the loop stops itself.
  EXPECT_EQ(bench.WriteBlock(port, Counting(3700), 10000), 3700u);
  AdvanceMs(1000);
  EXPECT_EQ(bench.TakeTransmitted().size(), 3585u);
  EXPECT_TRUE(bench.IsQuiet());
  EXPECT_NE(bench.PortLine().find(" rts=0 cts=0 "), std::string::npos) << bench.PortLine();

  std::vector<std::uint8_t> buffer(3585 - 2047);
  ASSERT_EQ(bench.ReadBlock(port, buffer, 3000), buffer.size());
  AdvanceMs(1000);
  EXPECT_EQ(bench.TakeTransmitted().size(), 3700u - 3585u);
}

TEST_F(TransferTest, FullReceiveBufferLosesBytesAndReportsOverrunOnceUntilARead) {
  bench.SetPlug(PlugKind::None);
  const Handle port = OpenPort(115200);
  ASSERT_TRUE(bench.SetCommMask(port, CommEvent::kErr));
  const Handle event = bench.CreateEvent(false, false);
  Overlapped overlapped;
  overlapped.hEvent = event;
  DWORD mask = 0;

  bench.Receive(Counting(4096 + 10));
  AdvanceMs(400);
  ASSERT_TRUE(bench.WaitCommEvent(port, &mask, &overlapped));
  EXPECT_EQ(mask, CommEvent::kErr) << "kept while no wait was pending";
  mask = 0xDEAD;
  ASSERT_TRUE(bench.WaitCommEvent(port, &mask, &overlapped));
  bench.Receive(Counting(5));
  AdvanceMs(1);
  EXPECT_EQ(mask, 0xDEADu) << "one overrun report until a read makes room";

  std::vector<std::uint8_t> buffer(1);
  ASSERT_EQ(bench.ReadBlock(port, buffer, 3000), 1u);
  bench.Receive(Counting(2));
  AdvanceMs(1);
  EXPECT_EQ(mask, CommEvent::kErr);

  buffer.resize(5000);
  EXPECT_EQ(bench.ReadBlock(port, buffer, 3000), 4096u);
}

TEST_F(TransferTest, DropAndCorruptActOnTheLoop) {
  const Handle port = OpenPort(115200);
  bench.Drop(2);
  bench.Corrupt(1);
  ASSERT_EQ(bench.WriteBlock(port, std::vector<std::uint8_t>{1, 2, 3, 4, 5}, 10000), 5u);
  AdvanceMs(10);
  std::vector<std::uint8_t> buffer(8);
  ASSERT_EQ(bench.ReadBlock(port, buffer, 3000), 3u);
  buffer.resize(3);
  EXPECT_EQ(buffer, (std::vector<std::uint8_t>{3, 4 ^ 0xFF, 5}));
}

TEST_F(TransferTest, OpeningEmptiesTheBuffersAndClosingDiscardsTheFifo) {
  Handle port = OpenPort(9600);
  ASSERT_EQ(bench.WriteBlock(port, Counting(100), 10000), 100u);
  AdvanceMs(10.5);  // ten bytes out and back
  EXPECT_TRUE(bench.ClosePort(port));
  AdvanceMs(200);
  EXPECT_EQ(bench.TakeTransmitted().size(), 10u);
  EXPECT_TRUE(bench.IsQuiet());

  port = OpenPort(9600);
  std::vector<std::uint8_t> buffer(100);
  EXPECT_EQ(bench.ReadBlock(port, buffer, 3000), 0u);
}

}  // namespace
}  // namespace varnet::bench::testing
