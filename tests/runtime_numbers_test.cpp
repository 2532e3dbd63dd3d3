#include <gtest/gtest.h>

#include <string_view>

#include "runtime/crt_rand.h"
#include "runtime/format.h"
#include "runtime/numbers.h"

namespace {

using varnet::runtime::Atoi;
using varnet::runtime::DecimalToDword;
using varnet::runtime::StrtolHex;

struct Case {
  std::string_view text;
  std::int32_t value;
};

TEST(Numbers, AtoiReadsAsTheWindowsRuntime) {
  const Case cases[] = {
      {"512", 512},
      {"", 0},
      {"abc", 0},
      {"12abc", 12},
      {" 7", 7},
      {"\t-3", -3},
      {"+8", 8},
      {"- 1", 0},
      {"9600x", 9600},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"99999999999", 2147483647},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MIN},
      {"0x10", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Atoi(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(Numbers, StrtolHexReadsAsTheWindowsRuntime) {
  const Case cases[] = {
      {"80", 0x80},
      {"", 0},
      {"zz", 0},
      {"1FF", 0x1FF},
      {"-1", -1},
      {"0x41", 0x41},
      {"0X1a", 0x1A},
      {"  0x1a", 0x1A},
      {"7fffffff", 0x7FFFFFFF},
      {"FFFFFFFF", 0x7FFFFFFF},
      {"-80000000", INT32_MIN},
      {"-FFFFFFFFF", INT32_MIN},
      {"0x", 0},
      {"0xg", 0},
      {"12345", 0x12345},
      {"a5,5a", 0xA5},
      {"\n5", 5},
      {"+c", 0xC},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrtolHex(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(Numbers, DecimalIntoAnUnsignedFieldKeepsTwosComplement) {
  EXPECT_EQ(DecimalToDword("-1"), 4294967295u);
  EXPECT_EQ(DecimalToDword("115200"), 115200u);
}

TEST(CrtRand, FollowsTheWindowsRuntimeSequence) {
  varnet::runtime::ResetRand();
  // The first values of the Windows runtime's rand() when never seeded.
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int value : expected) {
    EXPECT_EQ(varnet::runtime::Rand(), value);
  }
  varnet::runtime::ResetRand();
}

TEST(Format, NeverTruncates) {
  EXPECT_EQ(varnet::runtime::Format("%s: 0x%02X", "bLength", 18u), "bLength: 0x12");
  EXPECT_EQ(varnet::runtime::Format("%s: 0x%02X", "bcdUSB", 0x110u), "bcdUSB: 0x110");
  const std::string longName(1000, 'n');
  EXPECT_EQ(varnet::runtime::Format("%s: 0x%02X", longName.c_str(), 0u).size(), 1006u);
}

}  // namespace
