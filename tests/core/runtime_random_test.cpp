// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runtime_random.h"

#include <gtest/gtest.h>
#include <thread>

TEST(RuntimeRandom, SequenceFromStateOneAndPerThread) {
    // The first draws of the runtime generator from its initial state.
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    std::thread t([&] {
        for (int e : expected)
            EXPECT_EQ(RuntimeRand(), e);
    });
    t.join();
    RuntimeSeed(1);
    for (int e : expected)
        EXPECT_EQ(RuntimeRand(), e);
}
