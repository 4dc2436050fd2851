// SPDX-License-Identifier: GPL-3.0-or-later
// Named parameters made from a parameter struct: defaults, range checks and misspelt names.
#include "core/params.h"

#include <gtest/gtest.h>

namespace {

struct SampleParams {
    int size = 10;
    double ratio = 0.4;
    static constexpr ParamField<SampleParams> kFields[] = {
        {.name = "size", .integer = &SampleParams::size, .minimum = 1, .maximum = 32},
        {.name = "ratio", .real = &SampleParams::ratio, .minimum = 0, .maximum = 1},
    };
};

TEST(Params, FromAStructsFields) {
    Params p(kParamSpecs<SampleParams>);
    EXPECT_EQ(p.text("size"), "10");
    EXPECT_EQ(p.text("ratio"), "0.4");
    EXPECT_EQ(p.set("size", "33"), "parameter size: 33 is outside 1..32");
    EXPECT_EQ(p.set("size", "32"), "");
    EXPECT_EQ(p.set("ratio", "0.25"), "");
    const SampleParams s = p.read<SampleParams>();
    EXPECT_EQ(s.size, 32);
    EXPECT_EQ(s.ratio, 0.25);
}

TEST(ParamsDeathTest, MisspeltNameAborts) {
    const Params p(kParamSpecs<SampleParams>);
    EXPECT_DEATH(p.integer("sise"), "sise");
    EXPECT_DEATH(p.real("ratoi"), "ratoi");
}

} // namespace
