// SPDX-License-Identifier: GPL-3.0-or-later
// Per-thread runtime random generator.
#include "core/runtime_random.h"

namespace {
thread_local std::uint32_t g_state = 1;
}

int RuntimeRand() {
    g_state = g_state * 214013u + 2531011u;
    return int((g_state >> 16) & 0x7FFF);
}

void RuntimeSeed(std::uint32_t seed) {
    g_state = seed;
}
