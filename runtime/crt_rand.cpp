#include "runtime/crt_rand.h"

#include <cstdint>

namespace varnet::runtime {
namespace {
std::uint32_t g_state = 1;
}  // namespace

int Rand() {
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

void ResetRand() { g_state = 1; }

}  // namespace varnet::runtime
