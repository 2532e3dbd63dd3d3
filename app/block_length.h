// Lengths of the blocks a user asks to transfer (Len of the serial tests, LEN of the bulk
// transfers). A typed length is read as atoi reads it; one outside 0 to 1,048,576 bytes, or one
// the system cannot allocate, transfers nothing and is reported with one line, so that a typed
// 2000000000 cannot block the window for weeks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace varnet {

inline constexpr std::int32_t kMaxBlockLength = 1048576;
inline constexpr std::string_view kLengthOutOfRange = "Data length out of range (0 to 1048576).";

// The length typed, when it is within range.
std::optional<std::size_t> BlockLength(std::string_view text);

// A zeroed buffer of that many bytes, or nothing when it cannot be allocated.
std::optional<std::vector<std::uint8_t>> AllocateBlock(std::size_t length);

// A zeroed buffer of the length typed, or nothing when that length is out of range or cannot be
// allocated (both are reported with kLengthOutOfRange).
std::optional<std::vector<std::uint8_t>> BlockForLength(std::string_view text);

}  // namespace varnet
