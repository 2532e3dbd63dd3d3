// A virtual bench on the fake clock, with the port opened as the program opens it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform_virtual/time_source.h"
#include "platform_virtual/virtual_bench.h"

namespace varnet::bench::testing {

struct Reply {
  bool ok = false;
  DWORD returned = 0;
  std::vector<std::uint8_t> out;  // the whole output buffer, which started as 0xEE bytes
};

// The fake clock, keeping the moments until which callers asked to sleep.
class SleepLog final : public TimeSource {
 public:
  void Advance(Nanoseconds by) { clock_.Advance(by); }
  void AdvanceMs(std::int64_t ms) { clock_.AdvanceMs(ms); }
  Nanoseconds Now() const override { return clock_.Now(); }
  void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                 Nanoseconds deadline) override {
    sleeps.push_back(deadline);
    clock_.WaitUntil(lock, wake, deadline);
  }
  void Wait(std::unique_lock<std::mutex>& lock, std::condition_variable& wake) override {
    clock_.Wait(lock, wake);
  }
  bool PassesOnItsOwn() const override { return false; }

  // Appended under the bench's lock, which every sleeping caller holds.
  std::vector<Nanoseconds> sleeps;

 private:
  FakeTimeSource clock_;
};

class BenchFixture : public ::testing::Test {
 protected:
  static constexpr DWORD kProgramMask = 0x1FA;

  SleepLog clock;
  VirtualBench bench{clock};

  // Opens COM3 with the program's time-outs and event mask, all flow control off, at `baud` 8N1.
  Handle OpenPort(DWORD baud = 9600);
  // Rewrites the port's settings: flags replace the flow-control fields of the current record.
  void SetFlow(Handle port, DWORD setFlags, DWORD clearFlags = 0);
  void SetBaud(Handle port, DWORD baud);

  Reply Request(Handle channel, std::uint32_t code, std::vector<std::uint8_t> in, DWORD outLength);

  double MillisecondsSince(Nanoseconds start) const { return static_cast<double>(clock.Now() - start) / 1e6; }
  void AdvanceMs(double ms) {
    clock.Advance(static_cast<Nanoseconds>(ms * 1e6));
    bench.CatchUp();
  }
};

std::vector<std::uint8_t> Counting(std::size_t count);

}  // namespace varnet::bench::testing
