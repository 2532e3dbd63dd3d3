#include "tests/support/bench_fixture.h"

namespace varnet::bench::testing {

Handle BenchFixture::OpenPort(DWORD baud) {
  const Handle port = bench.OpenPort("\\\\.\\COM3");
  EXPECT_NE(port, kInvalidHandle);
  CommTimeouts timeouts;
  timeouts.ReadIntervalTimeout = kMaxDword;
  timeouts.WriteTotalTimeoutMultiplier = 5;
  timeouts.WriteTotalTimeoutConstant = 1000;
  EXPECT_TRUE(bench.SetCommTimeouts(port, timeouts));
  SetFlow(port, 0, 0x333C);
  EXPECT_TRUE(bench.SetCommMask(port, kProgramMask));
  SetBaud(port, baud);
  return port;
}

void BenchFixture::SetFlow(Handle port, DWORD setFlags, DWORD clearFlags) {
  Dcb dcb;
  ASSERT_TRUE(bench.GetCommState(port, dcb));
  dcb.flags = (dcb.flags & ~clearFlags) | setFlags;
  ASSERT_TRUE(bench.SetCommState(port, dcb));
}

void BenchFixture::SetBaud(Handle port, DWORD baud) {
  Dcb dcb;
  ASSERT_TRUE(bench.GetCommState(port, dcb));
  dcb.BaudRate = baud;
  ASSERT_TRUE(bench.SetCommState(port, dcb));
}

Reply BenchFixture::Request(Handle channel, std::uint32_t code, std::vector<std::uint8_t> in,
                            DWORD outLength) {
  Reply reply;
  reply.out.assign(outLength, 0xEE);
  reply.ok =
      bench.DeviceIoControl(channel, code, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                            reply.out.empty() ? nullptr : reply.out.data(), outLength, &reply.returned);
  return reply;
}

std::vector<std::uint8_t> Counting(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) {
    bytes[i] = static_cast<std::uint8_t>(0x20 + i % 0x50);  // clear of Xon, Xoff and EvtChar
  }
  return bytes;
}

}  // namespace varnet::bench::testing
