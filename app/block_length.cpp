#include "app/block_length.h"

#include <new>

#include "runtime/numbers.h"

namespace varnet {

std::optional<std::size_t> BlockLength(std::string_view text) {
  const std::int32_t length = runtime::Atoi(text);
  if (length < 0 || length > kMaxBlockLength) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(length);
}

std::optional<std::vector<std::uint8_t>> AllocateBlock(std::size_t length) {
  try {
    return std::vector<std::uint8_t>(length);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<std::vector<std::uint8_t>> BlockForLength(std::string_view text) {
  const std::optional<std::size_t> length = BlockLength(text);
  if (!length) {
    return std::nullopt;
  }
  return AllocateBlock(*length);
}

}  // namespace varnet
