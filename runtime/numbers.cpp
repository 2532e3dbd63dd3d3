#include "runtime/numbers.h"

#include <cstdint>

namespace varnet::runtime {
namespace {

// isspace in the "C" locale.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'Z') {
    return c - 'A' + 10;
  }
  return 99;
}

// strtol with a 32-bit long: clamps on overflow.
std::int32_t Strtol32(std::string_view text, int base) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (base == 16 && i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      i + 2 < text.size() && DigitValue(text[i + 2]) < 16) {
    i += 2;
  }
  // Accumulate the magnitude, saturating just above what a 32-bit long can hold.
  constexpr std::uint64_t kLimit = 0x80000000ull;
  std::uint64_t magnitude = 0;
  bool overflow = false;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit >= base) {
      break;
    }
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (magnitude > kLimit) {
      overflow = true;
      magnitude = kLimit + 1;
    }
  }
  if (negative) {
    if (overflow || magnitude > kLimit) {
      return INT32_MIN;
    }
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
  }
  if (overflow || magnitude > kLimit - 1) {
    return INT32_MAX;
  }
  return static_cast<std::int32_t>(magnitude);
}

}  // namespace

// The Windows runtime's atoi is strtol base 10 on a 32-bit long: out-of-range text clamps.
std::int32_t Atoi(std::string_view text) { return Strtol32(text, 10); }

std::int32_t StrtolHex(std::string_view text) { return Strtol32(text, 16); }

std::uint32_t DecimalToDword(std::string_view text) { return static_cast<std::uint32_t>(Atoi(text)); }

}  // namespace varnet::runtime
