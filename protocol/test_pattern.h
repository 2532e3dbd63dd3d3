// The byte pattern that Write Data and the loop check send.
#pragma once

#include <cstdint>
#include <span>

namespace varnet {

struct PatternChoice {
  bool random = false;  // "Rand": wins over "Fix"
  bool fixed = false;   // "Fix  0x"
  std::uint8_t fixedByte = 0;
};

// The next random byte: the low 8 bits of the runtime's rand(), drawn again while it is XON
// (0x11) or XOFF (0x13), so that a block never stops a port under software flow control.
std::uint8_t NextRandomByte();

// Fills the block: random bytes, else the fixed byte, else the low 8 bits of the position.
void FillTestPattern(std::span<std::uint8_t> block, const PatternChoice& choice);

}  // namespace varnet
