// A thread waiting on the bench sleeps until something it may wait for can happen, however many
// characters cross the line in between.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "tests/support/bench_fixture.h"

namespace varnet::bench::testing {
namespace {

constexpr std::uint8_t kEvtChar = 0x7E;  // outside Counting()

struct SleepCase {
  const char* what;
  PlugKind plug;
  DWORD baud;
  std::size_t bytes;
  std::optional<std::size_t> evtCharAt;          // this byte is the EvtChar
  std::vector<std::size_t> wakeAfterCharacters;  // each sleep's end, in character times from the start
  DWORD eventBits;                               // what the pending comm-event wait ends with
};

class SleepTest : public BenchFixture, public ::testing::WithParamInterface<SleepCase> {};

TEST_P(SleepTest, AWriteSleepsFromOneTellingMomentToTheNext) {
  const SleepCase& c = GetParam();
  bench.SetPlug(c.plug);
  const Handle port = OpenPort(c.baud);
  Dcb dcb;
  ASSERT_TRUE(bench.GetCommState(port, dcb));
  dcb.EvtChar = static_cast<char>(kEvtChar);
  ASSERT_TRUE(bench.SetCommState(port, dcb));
  const Handle event = bench.CreateEvent(true, false);
  Overlapped overlapped;
  overlapped.hEvent = event;
  DWORD bits = 0xDEAD;
  ASSERT_TRUE(bench.WaitCommEvent(port, &bits, &overlapped));

  std::vector<std::uint8_t> data = Counting(c.bytes);
  if (c.evtCharAt) {
    data[*c.evtCharAt] = kEvtChar;
  }
  const Nanoseconds characterTime = 10'000'000'000 / c.baud;  // 8N1: exact at these rates
  const Nanoseconds start = clock.Now();
  clock.sleeps.clear();
  EXPECT_EQ(bench.WriteBlock(port, data, 10000), c.bytes);

  std::vector<std::size_t> woke;
  for (const Nanoseconds at : clock.sleeps) {
    woke.push_back(static_cast<std::size_t>((at - start) / characterTime));
    EXPECT_EQ((at - start) % characterTime, 0) << "a sleep ends on a character's end";
  }
  EXPECT_EQ(woke, c.wakeAfterCharacters);
  EXPECT_EQ(bits, c.eventBits);
}

// The write completes when its last byte enters the FIFO: 256 characters before its end.
INSTANTIATE_TEST_SUITE_P(
    Writes, SleepTest,
    ::testing::Values(
        SleepCase{"NothingPlugged", PlugKind::None, 9600, 1000, std::nullopt, {744}, 0xDEAD},
        SleepCase{"LoopedBack", PlugKind::Loopback, 115200, 1000, std::nullopt, {744}, 0xDEAD},
        // The EvtChar coming back ends the monitor's wait as it arrives: byte 500 arrives at the
        // end of character 501.
        SleepCase{"EvtCharOnTheLoop", PlugKind::Loopback, 115200, 1000, 500, {501, 744}, CommEvent::kRxFlag},
        // Nobody waits for the bytes sent ahead of that one; not even 1 MB at 6,000,000 baud with
        // nothing plugged in makes the write wake before it is done. (Bits at 6,000,000 baud are
        // not a whole number of nanoseconds, so that rate is left to the next case's rates.)
        SleepCase{"OneMegabyte", PlugKind::None, 1'000'000, 1 << 20, std::nullopt, {(1 << 20) - 256}, 0xDEAD},
        // On the loop the receive buffer passes the Xoff mark (4096 - 512) and then overflows
        // (EV_ERR), once.
        SleepCase{"OneMegabyteLoopedBack",
                  PlugKind::Loopback,
                  1'000'000,
                  1 << 20,
                  std::nullopt,
                  {3585, 4097, (1 << 20) - 256},
                  CommEvent::kErr}),
    [](const ::testing::TestParamInfo<SleepCase>& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace varnet::bench::testing
