// SPDX-License-Identifier: GPL-3.0-or-later
// The tone curve's spline, table and point editing.
#include "adjust/curves.h"
#include "testing/test_images.h"

#include <algorithm>

namespace {

using Points = std::vector<CurvePoint>;

std::vector<int> tableOf(const Points& points) {
    std::uint8_t table[256];
    BuildToneTable(points, table);
    return std::vector<int>(table, table + 256);
}

TEST(CurveSpline, EndpointsGiveIdentity) {
    const std::vector<int> table = tableOf({{0, 0}, {255, 255}});
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(table[k], k);
}

TEST(CurveSpline, PassesThroughPointsSmoothly) {
    const Points points = {{0, 0}, {128, 200}, {255, 255}};
    const std::vector<int> table = tableOf(points);
    EXPECT_EQ(table[128], 200);
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[255], 255);
    // A lifted midtone raises every level in between and keeps the order.
    for (int k = 1; k < 255; ++k) {
        EXPECT_GE(table[k], k + (k >= 3 && k <= 252)) << k;
        EXPECT_GE(table[k], table[k - 1]) << k;
    }
}

TEST(CurveSpline, NaturalSplineValues) {
    // Three equally spaced points: the recurrence gives the middle second
    // derivative 6 * (slope change) / (x2 - x0) / 2, the ends 0.
    CurveSpline spline({{0, 0}, {100, 100}, {200, 0}});
    const double a = 0.5, b = 0.5, h = 100,
                 y2 = 6.0 * ((0 - 100) / 100.0 - (100 - 0) / 100.0) / 200.0 / 2.0;
    EXPECT_DOUBLE_EQ(spline.Evaluate(50), a * 0 + b * 100 + (b * b * b - b) * y2 * (h * h) / 6.0);
    EXPECT_DOUBLE_EQ(spline.Evaluate(100), 100.0);
    EXPECT_DOUBLE_EQ(spline.Evaluate(150), spline.Evaluate(50)); // symmetric
}

TEST(CurveSpline, AddingAPointDiscardsTheCache) {
    CurveSpline spline;
    spline.AddPoint(0, 0);
    spline.AddPoint(255.9, 255.9); // stored truncated: 255
    EXPECT_DOUBLE_EQ(spline.Evaluate(100), 100.0);
    CurveSpline rebuilt({{0, 0}, {255, 255}, {300, 100}});
    spline.AddPoint(300, 100);
    EXPECT_EQ(spline.count(), 3);
    EXPECT_DOUBLE_EQ(spline.Evaluate(100), rebuilt.Evaluate(100));
    EXPECT_NE(spline.Evaluate(100), 100.0);
}

TEST(CurveSpline, OvershootIsClampedInTheTable) {
    const Points points = {{0, 0}, {40, 250}, {60, 20}, {255, 255}};
    const std::vector<int> table = tableOf(points);
    CurveSpline spline(points);
    bool above = false, below = false;
    for (int k = 0; k < 256; ++k) {
        const double s = spline.Evaluate(k);
        above |= s > 255.0;
        below |= s < 0.0;
        EXPECT_EQ(table[k], int(std::clamp(float(s), 0.0f, 255.0f))) << k;
    }
    EXPECT_TRUE(above);
    EXPECT_TRUE(below);
}

TEST(CurveModel, MouseToCurveUnits) {
    // Frame of 258 x 258: the area is 256 x 256, so W - 1 = H - 1 = 255.
    const QRect frame(10, 20, 258, 258);
    struct Case {
        QPoint mouse;
        std::optional<CurvePoint> expected;
    };
    const Case cases[] = {
        {{10, 20}, CurvePoint{0, 255}},
        {{10 + 100, 20 + 55}, CurvePoint{100, 200}},
        {{10 + 255, 20 + 255}, CurvePoint{255, 0}},
        {{10 + 257, 20 + 257}, CurvePoint{255, 0}}, // past the area: limited
        {{9, 20}, std::nullopt},
        {{10 + 258, 20}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CurveModel::toCurve(c.mouse, frame), c.expected) << c.mouse.x();
    // Rounding in x, integer division in y: area 101 x 51.
    EXPECT_EQ(CurveModel::toCurve({50, 25}, QRect(0, 0, 103, 53)), (CurvePoint{128, 128}));
}

TEST(CurveModel, PressMovesNearbyPointOrInsertsInOrder) {
    struct Case {
        const char* name;
        Points before;
        CurvePoint at;
        Points after;
    };
    // Table rows stay one a line.
    // clang-format off
    const Case cases[] = {
        {"insert", {{0, 0}, {255, 255}}, {128, 200}, {{0, 0}, {128, 200}, {255, 255}}},
        {"grab endpoint", {{0, 0}, {255, 255}}, {5, 10}, {{5, 10}, {255, 255}}},
        {"grab interior", {{0, 0}, {128, 200}, {255, 255}}, {130, 190}, {{0, 0}, {130, 190}, {255, 255}}},
        {"same x moves", {{0, 0}, {255, 255}}, {0, 40}, {{0, 40}, {255, 255}}},
        {"nothing after last", {{0, 0}, {200, 255}}, {230, 100}, {{0, 0}, {200, 255}}},
        {"grab held short", {{0, 0}, {100, 100}, {110, 110}, {255, 255}}, {112, 100},
         {{0, 0}, {109, 100}, {110, 110}, {255, 255}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        CurveModel model;
        model.setPoints(c.before);
        model.press(c.at);
        EXPECT_EQ(model.points(), c.after) << c.name;
        EXPECT_TRUE(model.dragging());
    }
}

TEST(CurveModel, DragMovesInteriorPointsOnly) {
    CurveModel model;
    model.setPoints({{0, 0}, {100, 100}, {110, 110}, {255, 255}});
    EXPECT_FALSE(model.drag({112, 104})); // not dragging yet
    model.press({50, 250});               // far from everything: inserts, starts dragging
    model.setPoints({{0, 0}, {100, 100}, {110, 110}, {255, 255}});
    EXPECT_TRUE(model.drag({112, 104}));
    // Both points are in reach; each stays strictly between its neighbours.
    EXPECT_EQ(model.points(), (Points{{0, 0}, {109, 104}, {112, 104}, {255, 255}}));
    EXPECT_FALSE(model.drag({5, 5})); // endpoints never follow a drag
    model.release();
    EXPECT_FALSE(model.dragging());
}

TEST(CurveModel, RightClickRemovalSkipsTheFollowingPoint) {
    CurveModel model;
    model.setPoints({{0, 0}, {100, 100}, {105, 105}, {255, 255}});
    EXPECT_TRUE(model.removeNear({102, 102}));
    EXPECT_EQ(model.points(), (Points{{0, 0}, {105, 105}, {255, 255}}));
    EXPECT_TRUE(model.removeNear({102, 102}));
    EXPECT_EQ(model.points(), (Points{{0, 0}, {255, 255}}));
    EXPECT_FALSE(model.removeNear({0, 0})); // endpoints stay
    EXPECT_EQ(model.points().size(), 2u);
}

TEST(CurveModel, ResetAndTable) {
    CurveModel model;
    model.press({128, 200});
    std::uint8_t table[256];
    model.toneTable(table);
    EXPECT_EQ(table[128], 200);
    model.reset();
    model.toneTable(table);
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(table[k], k);
}

} // namespace
