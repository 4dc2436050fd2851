// SPDX-License-Identifier: GPL-3.0-or-later
// The C runtime's rand() arithmetic, reproduced exactly so that random effects
// give the same bytes on every platform: state = state * 214013 + 2531011,
// result (state >> 16) & 0x7FFF. One state per thread, starting at 1, never
// seeded by the program.
#pragma once

#include <cstdint>

// The next number, 0..32767, from this thread's state.
int RuntimeRand();
// Sets this thread's state (tests only; the program never seeds).
void RuntimeSeed(std::uint32_t seed);
