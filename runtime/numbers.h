// Numbers read from text as the Windows C runtime reads them, with its 32-bit int and long on
// every platform, so that a typed value means the same wherever the program runs.
#pragma once

#include <cstdint>
#include <string_view>

namespace varnet::runtime {

// atoi: leading white space, one optional sign, decimal digits up to the first other character;
// no digits gives 0. A value outside the signed 32-bit range is clamped to 0x7FFFFFFF, or to
// -0x80000000 for a negative text, as the Windows runtime's atoi (a 32-bit strtol) returns it.
std::int32_t Atoi(std::string_view text);

// strtol(text, nullptr, 16): leading white space, one optional sign, an optional 0x or 0X prefix,
// hexadecimal digits up to the first other character; no digits gives 0. A value outside the
// signed 32-bit range is clamped to 0x7FFFFFFF, or to -0x80000000 for a negative text.
std::int32_t StrtolHex(std::string_view text);

// The value read as a decimal number into a 32-bit unsigned field: atoi's result as two's
// complement, so "-1" gives 4294967295.
std::uint32_t DecimalToDword(std::string_view text);

}  // namespace varnet::runtime
