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

class BenchFixture : public ::testing::Test {
 protected:
  static constexpr DWORD kProgramMask = 0x1FA;

  FakeTimeSource clock;
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
