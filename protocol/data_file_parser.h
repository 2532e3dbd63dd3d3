// One line of the data file: two-character hexadecimal byte fields at positions 0, 3, 6 ...,
// each followed by a separator character that is never looked at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace varnet {

// The most characters one read of the data file takes (a 512-character buffer with its end).
inline constexpr std::size_t kDataLineChars = 511;
// The most bytes such a piece yields: one per started group of three characters.
inline constexpr std::size_t kDataLineBytes = (kDataLineChars + 2) / 3;

// The bytes of the line (its line feed, if any, included in `line`): one byte per field, the
// low 8 bits of the field read as strtol reads base 16. Nothing when a field holds a space:
// the line has a format error. Only the characters of `line` are read.
std::optional<std::vector<std::uint8_t>> ParseDataLine(std::string_view line);

}  // namespace varnet
