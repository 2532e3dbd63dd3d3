// The loop check's judgement of an echo: which lines a difference gives, and which received
// bytes it shows around the first difference.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "serial/echo_compare.h"

namespace {

struct EchoCase {
  const char* what;
  std::vector<std::uint8_t> sent;
  std::vector<std::uint8_t> echo;  // the read buffer, zeros beyond what was received
  std::size_t received;
  std::vector<std::string> responses;
  std::vector<std::string> results;
};

std::vector<std::uint8_t> Counting(std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i + 1);
  }
  return bytes;
}

std::vector<std::uint8_t> With(std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
  bytes[at] = value;
  return bytes;
}

TEST(EchoCompare, ReportsEachDifferenceAndShowsTheBytesAroundTheFirst) {
  const std::vector<EchoCase> cases = {
      {"an echo as sent", Counting(20), Counting(20), 20, {}, {}},
      {"an empty block", {}, {}, 0, {}, {}},
      {"one byte differs in the middle",
       Counting(20),
       With(Counting(20), 10, 0xEE),
       20,
       {"COMPARE FAILED! expected: 0x0B - received: 0xEE - count: 10"},
       {"Data  5: 0x06", "Data  6: 0x07", "Data  7: 0x08", "Data  8: 0x09", "Data  9: 0x0A", "Data 10: 0xEE",
        "Data 11: 0x0C", "Data 12: 0x0D", "Data 13: 0x0E", "Data 14: 0x0F"}},
      {"the first byte differs: nothing before it to show",
       Counting(8),
       With(Counting(8), 0, 0x00),
       8,
       {"COMPARE FAILED! expected: 0x01 - received: 0x00 - count: 0"},
       {"Data  0: 0x00", "Data  1: 0x02", "Data  2: 0x03", "Data  3: 0x04", "Data  4: 0x05"}},
      {"the last byte differs: the dump stops at the block's end",
       Counting(8),
       With(Counting(8), 7, 0x55),
       8,
       {"COMPARE FAILED! expected: 0x08 - received: 0x55 - count: 7"},
       {"Data  2: 0x03", "Data  3: 0x04", "Data  4: 0x05", "Data  5: 0x06", "Data  6: 0x07",
        "Data  7: 0x55"}},
      {"a short read: the missing bytes are the cleared zeros",
       Counting(4),
       {1, 2, 0, 0},
       2,
       {"Read FAILED! expected read 4 bytes, only read 2 bytes",
        "COMPARE FAILED! expected: 0x03 - received: 0x00 - count: 2",
        "COMPARE FAILED! expected: 0x04 - received: 0x00 - count: 3"},
       {"Data  0: 0x01", "Data  1: 0x02", "Data  2: 0x00", "Data  3: 0x00"}},
      {"a short read of an empty block's worth that still matches",
       {0, 0},
       {0, 0},
       0,
       {"Read FAILED! expected read 2 bytes, only read 0 bytes"},
       {"Data  0: 0x00", "Data  1: 0x00"}},
      {"nothing expected and nothing read, but a count that disagrees",
       {},
       {},
       3,
       {"Read FAILED! expected read 0 bytes, only read 3 bytes"},
       {}},
  };
  for (const EchoCase& c : cases) {
    SCOPED_TRACE(c.what);
    const varnet::EchoReport report = varnet::CompareEcho(c.sent, c.echo, c.received);
    EXPECT_EQ(report.failed, !c.responses.empty());
    EXPECT_EQ(report.responses, c.responses);
    EXPECT_EQ(report.results, c.results);
  }
}

}  // namespace
