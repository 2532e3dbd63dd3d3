// The Windows C runtime's rand(), on every platform, so that a random test block is the same
// wherever it is made. Never seeded: each start of the program begins the same sequence.
#pragma once

namespace varnet::runtime {

// Next value, 0 to 0x7FFF: state = state * 214013 + 2531011, value = (state >> 16) & 0x7FFF.
// The state starts at 1 and lives for the process. Called from the window's thread only.
int Rand();

// Puts the sequence back to its start (for tests).
void ResetRand();

}  // namespace varnet::runtime
