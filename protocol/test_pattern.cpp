#include "protocol/test_pattern.h"

#include "runtime/crt_rand.h"

namespace varnet {

namespace {
constexpr std::uint8_t kXon = 0x11;
constexpr std::uint8_t kXoff = 0x13;
}  // namespace

std::uint8_t NextRandomByte() {
  for (;;) {
    const auto value = static_cast<std::uint8_t>(runtime::Rand() & 0xFF);
    if (value != kXon && value != kXoff) {
      return value;
    }
  }
}

void FillTestPattern(std::span<std::uint8_t> block, const PatternChoice& choice) {
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (choice.random) {
      block[i] = NextRandomByte();
    } else if (choice.fixed) {
      block[i] = choice.fixedByte;
    } else {
      block[i] = static_cast<std::uint8_t>(i & 0xFF);
    }
  }
}

}  // namespace varnet
