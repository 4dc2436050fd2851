// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/selection/selection_commands.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "selection_testing.h"

#include <atomic>
#include <climits>
#include <cmath>
#include <functional>
#include <thread>

namespace {

PixelSet PixelsWhere(int width, int height, const std::function<bool(int, int)>& in) {
    PixelSet s{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.bits.push_back(in(x, y));
    return s;
}

// Even-odd test of the point (px, py) against a closed polygon, counting the
// edges that cross the row at or left of the point (rows half-open at the bottom).
bool InsidePolygon(const QPolygonF& poly, double px, double py) {
    bool inside = false;
    for (qsizetype i = 0; i < poly.size(); ++i) {
        QPointF a = poly[i], b = poly[(i + 1) % poly.size()];
        if (a.y() > b.y()) std::swap(a, b);
        if (!(a.y() <= py && py < b.y())) continue;
        const double x = a.x() + (py - a.y()) * (b.x() - a.x()) / (b.y() - a.y());
        if (x <= px) inside = !inside;
    }
    return inside;
}

} // namespace

TEST(RegionRaster, ShapesCoverPixelsWhoseCentresLieInside) {
    const struct {
        const char* name;
        std::function<void(SelectionPath&)> build;
        std::function<bool(int, int)> expected;
        // Table rows stay one a line.
        // clang-format off
    } rows[] = {
        {"drag rectangle 10,10 to 20,15", [](SelectionPath& p) { p.AddRectangle(Rect{10, 10, 10, 5}); },
         [](int x, int y) { return x >= 10 && x <= 19 && y >= 10 && y <= 14; }},
        {"fractional rectangle", [](SelectionPath& p) { p.AddRectangle(QRectF(0.4, 0.6, 2, 2)); },
         [](int x, int y) { return x <= 1 && y >= 1 && y <= 2; }},
        {"rectangle on pixel centres", [](SelectionPath& p) { p.AddRectangle(QRectF(0.5, 0.5, 2, 2)); },
         [](int x, int y) { return x <= 1 && y <= 1; }},
        {"nested rectangle is a hole",
         [](SelectionPath& p) {
             p.AddRectangle(Rect{0, 0, 10, 10});
             p.AddRectangle(Rect{3, 3, 4, 4});
         },
         [](int x, int y) { return x < 10 && y < 10 && !(x >= 3 && x < 7 && y >= 3 && y < 7); }},
        {"overlapping rectangles alternate",
         [](SelectionPath& p) {
             p.AddRectangle(Rect{0, 0, 4, 4});
             p.AddRectangle(Rect{2, 2, 4, 4});
         },
         [](int x, int y) { return (x < 4 && y < 4) != (x >= 2 && x < 6 && y >= 2 && y < 6); }},
        {"open polygon counts as closed",
         [](SelectionPath& p) {
             QPainterPath raw;
             raw.moveTo(1, 1);
             raw.lineTo(5, 1);
             raw.lineTo(5, 3);
             raw.lineTo(1, 3);
             p.AddPath(raw);
         },
         [](int x, int y) { return x >= 1 && x < 5 && y >= 1 && y < 3; }},
        {"outline between pixel centres", [](SelectionPath& p) { p.AddRectangle(QRectF(3.6, 3.6, 0.8, 0.8)); },
         [](int, int) { return false; }},
        {"pixel-sized rectangle outside the window", [](SelectionPath& p) { p.AddRectangle(Rect{-5, -5, 1, 1}); },
         [](int, int) { return false; }},
    };
    // clang-format on
    for (const auto& row : rows) {
        SelectionPath path;
        row.build(path);
        const SelectionRegion& region = path.GetRegion();
        EXPECT_TRUE(SamePixels(PixelsWhere(24, 24, row.expected), RegionPixels(region, 24, 24)))
            << row.name;
        EXPECT_TRUE(WellFormedScans(region)) << row.name;
    }
}

TEST(RegionRaster, DragRectangleBoundsAndArea) {
    SelectionPath path;
    path.AddRectangle(Rect{10, 10, 10, 5});
    EXPECT_EQ(path.GetRegion().GetBounds(), (Rect{10, 10, 10, 5}));
    EXPECT_EQ(path.GetRegion().GetArea(), 50);
    EXPECT_EQ(path.GetRegion().GetScans(), (std::vector<Rect>{{10, 10, 10, 5}}));
}

TEST(RegionRaster, RandomPolygonsFollowTheCentreRule) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-3.0, 43.0);
    for (int trial = 0; trial < 200; ++trial) {
        QPolygonF poly;
        const int n = 3 + trial % 9;
        for (int i = 0; i < n; ++i)
            poly << QPointF(coord(rng), coord(rng));
        SelectionPath path;
        path.AddPolygon(poly);
        const PixelSet expected = PixelsWhere(
            40, 40, [&](int x, int y) { return InsidePolygon(poly, x + 0.5, y + 0.5); });
        ASSERT_TRUE(SamePixels(expected, RegionPixels(path.GetRegion(), 40, 40)))
            << "trial " << trial;
        ASSERT_TRUE(WellFormedScans(path.GetRegion()));
    }
}

TEST(RegionRaster, EllipseMatchesTheCurveAwayFromItsEdge) {
    const struct {
        QRectF box;
    } rows[] = {{QRectF(2, 3, 50, 30)}, {QRectF(0, 0, 7, 7)}, {QRectF(10.5, 4.25, 33, 41)}};
    for (const auto& row : rows) {
        SelectionPath path;
        path.AddEllipse(row.box);
        const SelectionRegion& region = path.GetRegion();
        const double a = row.box.width() / 2, b = row.box.height() / 2;
        const QPointF c = row.box.center();
        for (int y = -1; y < 60; ++y)
            for (int x = -1; x < 60; ++x) {
                const double u = (x + 0.5 - c.x()) / a, v = (y + 0.5 - c.y()) / b,
                             r = u * u + v * v;
                if (r < 0.97 || r > 1.03) {
                    EXPECT_EQ(region.IsVisible(x, y), r < 1) << x << "," << y;
                }
            }
    }
}

TEST(Region, EmptyInfiniteAndRectangleRegions) {
    const SelectionRegion empty(Rect{3, 4, 0, 7});
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetBounds(), (Rect{0, 0, 0, 0}));
    EXPECT_TRUE(empty.GetScans().empty());
    EXPECT_FALSE(empty.IsVisible(3.0f, 4.0f));

    const SelectionRegion infinite;
    EXPECT_FALSE(infinite.IsEmpty());
    EXPECT_EQ(infinite.GetArea(), INT_MAX);
    EXPECT_EQ(infinite.GetBounds(), (Rect{-4194304, -4194304, 8388608, 8388608}));
    EXPECT_TRUE(infinite.IsVisible(-1e6f, 3e6f));
    EXPECT_EQ(infinite.CoverageRow(0), nullptr);

    const SelectionRegion rect(Rect{-3, -3, 2, 2});
    const struct {
        float x, y;
        bool in;
    } points[] = {{-3, -3, true},       {-2.5f, -1.01f, true}, {-1.0f, -2, false},
                  {-3.01f, -2, false},  {-1.001f, -3, true},   {NAN, -2, false},
                  {-2, INFINITY, false}};
    for (const auto& p : points)
        EXPECT_EQ(rect.IsVisible(p.x, p.y), p.in) << p.x << "," << p.y;
}

TEST(Region, SetOperationsMatchThePixelSets) {
    const struct {
        const char* name;
        void (SelectionRegion::*apply)(const SelectionRegion&);
        bool (*op)(bool, bool);
    } ops[] = {
        {"xor", &SelectionRegion::Xor, [](bool a, bool b) { return a != b; }},
        {"union", &SelectionRegion::Union, [](bool a, bool b) { return a || b; }},
        {"exclude", &SelectionRegion::Exclude, [](bool a, bool b) { return a && !b; }},
        {"intersect", &SelectionRegion::Intersect, [](bool a, bool b) { return a && b; }},
    };
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pos(0, 30), size(0, 14);
    for (int trial = 0; trial < 300; ++trial) {
        SelectionPath a, b;
        for (int i = 0; i < 3; ++i) {
            a.AddRectangle(Rect{pos(rng), pos(rng), size(rng), size(rng)});
            b.AddRectangle(Rect{pos(rng), pos(rng), size(rng), size(rng)});
        }
        const PixelSet pa = RegionPixels(a.GetRegion(), 50, 50),
                       pb = RegionPixels(b.GetRegion(), 50, 50);
        for (const auto& op : ops) {
            SelectionRegion r(a);
            (r.*op.apply)(b.GetRegion());
            const PixelSet expected =
                PixelsWhere(50, 50, [&](int x, int y) { return op.op(pa.at(x, y), pb.at(x, y)); });
            ASSERT_TRUE(SamePixels(expected, RegionPixels(r, 50, 50)))
                << op.name << " trial " << trial;
            ASSERT_TRUE(WellFormedScans(r)) << op.name;
            long long count = 0;
            for (auto bit : expected.bits)
                count += bit;
            ASSERT_EQ(r.GetArea(), count) << op.name;
        }
    }
    SelectionRegion self(Rect{1, 2, 3, 4});
    self.Xor(Rect{1, 2, 3, 4});
    EXPECT_TRUE(self.IsEmpty());
    EXPECT_EQ(self.GetBounds(), (Rect{0, 0, 0, 0}));
}

TEST(Region, RowAccessAgreesWithThePointTest) {
    SelectionPath path;
    path.AddRectangle(Rect{0, 0, 10, 10});
    path.AddRectangle(Rect{3, 3, 4, 4});
    SelectionRegion region(path);
    std::vector<Span> spans;
    region.GetRowSpans(4, spans);
    EXPECT_EQ(spans, (std::vector<Span>{{0, 4, 3}, {7, 4, 3}}));
    region.GetRowSpans(10, spans);
    EXPECT_TRUE(spans.empty());
    const std::uint8_t* row = region.CoverageRow(4);
    ASSERT_NE(row, nullptr);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(row[x] != 0, x < 3 || x >= 7);
    EXPECT_EQ(region.CoverageRow(-1), nullptr);

    // Copies, moves and translation keep the pixels; the moved-from region is empty.
    SelectionRegion copy(region);
    copy.Translate(5, -2);
    EXPECT_TRUE(copy.IsVisible(5.0f, -2.0f));
    EXPECT_FALSE(copy.IsVisible(8.0f, 1.0f));
    SelectionRegion moved(std::move(region));
    EXPECT_TRUE(moved.IsVisible(0.0f, 0.0f));
    EXPECT_FALSE(moved.IsVisible(4.0f, 4.0f));
    EXPECT_TRUE(region.IsEmpty());
}

TEST(SelectionPathTest, RegionFollowsEveryChange) {
    SelectionPath path;
    EXPECT_FALSE(path.HasSelection());
    EXPECT_TRUE(path.GetRegion().IsEmpty());
    path.AddRectangle(Rect{0, 0, 4, 4});
    EXPECT_EQ(path.GetRegion().GetArea(), 16);
    path.AddRectangle(Rect{0, 0, 2, 2});
    EXPECT_EQ(path.GetRegion().GetArea(), 12);
    path.Translate(10, 0);
    EXPECT_EQ(path.GetRegion().GetBounds(), (Rect{10, 0, 4, 4}));
    path.Transform(QTransform::fromScale(2, 2));
    EXPECT_EQ(path.GetRegion().GetArea(), 48);
    path.Reset();
    EXPECT_FALSE(path.HasSelection());
    EXPECT_TRUE(path.GetRegion().IsEmpty());

    // A click without motion leaves a figure with no pixels.
    path.AddRectangle(Rect{5, 5, 0, 0});
    EXPECT_TRUE(path.HasSelection());
    EXPECT_TRUE(path.GetRegion().IsEmpty());
    path.Reset();
    path.AddEllipse(Rect{5, 5, 0, 0});
    EXPECT_TRUE(path.HasSelection());
    EXPECT_TRUE(SelectionRegion(path).IsEmpty());
}

TEST(SelectionCommands, SelectAllCancelInvertAndMove) {
    SelectionPath outline;
    InvertSelection(outline, 20, 10);
    EXPECT_FALSE(HasSelection(outline)) << "invert without a selection does nothing";

    outline.AddEllipse(Rect{2, 2, 5, 5});
    SelectAll(outline, 20, 10);
    EXPECT_EQ(outline.GetRegion().GetScans(), (std::vector<Rect>{{0, 0, 20, 10}}));

    InvertSelection(outline, 20, 10);
    EXPECT_FALSE(HasSelection(outline)) << "invert of everything is an empty outline";

    outline.AddRectangle(Rect{3, 2, 4, 5});
    outline.AddRectangle(Rect{4, 3, 2, 2});
    const PixelSet before = RegionPixels(outline.GetRegion(), 20, 10);
    InvertSelection(outline, 20, 10);
    const PixelSet inverted = RegionPixels(outline.GetRegion(), 20, 10);
    EXPECT_TRUE(
        SamePixels(PixelsWhere(20, 10, [&](int x, int y) { return !before.at(x, y); }), inverted));
    EXPECT_EQ(outline.GetRegion().GetArea(), 200 - 16);
    InvertSelection(outline, 20, 10);
    EXPECT_TRUE(SamePixels(before, RegionPixels(outline.GetRegion(), 20, 10)));

    TranslateSelection(outline, -3, 1);
    EXPECT_EQ(outline.GetRegion().GetBounds(), (Rect{0, 3, 4, 5}));
    CancelSelection(outline);
    EXPECT_FALSE(HasSelection(outline));
}

TEST(SelectionCommands, ApplyShapeModes) {
    SelectionPath shape;
    shape.AddRectangle(Rect{4, 0, 4, 4});
    const struct {
        const char* name;
        bool selected; // an outline (0, 0, 6, 4) before the shape
        int mode;
        int area;
        Rect bounds;
    } rows[] = {
        {"shape becomes the selection", false, 2, 16, {4, 0, 4, 4}},
        {"shape becomes the selection without modifiers", false, 0, 16, {4, 0, 4, 4}},
        {"add", true, 2, 32, {0, 0, 8, 4}},
        {"subtract", true, 4, 16, {0, 0, 4, 4}},
        {"replace", true, 0, 16, {4, 0, 4, 4}},
        {"exclusive-or is not a gesture mode: replace", true, 3, 16, {4, 0, 4, 4}},
    };
    for (const auto& r : rows) {
        SelectionPath outline;
        if (r.selected) outline.AddRectangle(Rect{0, 0, 6, 4});
        ApplySelectionShape(outline, shape, r.mode);
        EXPECT_EQ(outline.GetRegion().GetArea(), r.area) << r.name;
        EXPECT_EQ(outline.GetRegion().GetBounds(), r.bounds) << r.name;
    }
}

TEST(Region, MasksBuildOnSeveralThreadsAtOnce) {
    // Fresh regions are tested by four threads at once, so their masks are
    // built while other threads read them; every answer agrees with the runs.
    std::atomic<int> wrong{0};
    for (int round = 0; round < 4; ++round) {
        SelectionPath a, b;
        a.AddEllipse(Rect{round, 0, 300, 200});
        b.AddPolygon(QPolygon({QPoint(10, 5), QPoint(250, 40 + round), QPoint(60, 190)}));
        const SelectionRegion regions[] = {SelectionRegion(a), SelectionRegion(b)};
        auto check = [&](int first) {
            std::vector<Span> runs;
            for (int i = 0; i < 2; ++i) {
                const SelectionRegion& region = regions[(first + i) % 2];
                const Rect bounds = region.GetBounds();
                for (int y = bounds.Y; y < bounds.GetBottom(); ++y) {
                    region.GetRowSpans(y, runs);
                    std::vector<bool> in(std::size_t(bounds.Width), false);
                    for (const Span& s : runs)
                        for (int x = s.X; x < s.X + s.Length; ++x)
                            in[std::size_t(x - bounds.X)] = true;
                    for (int x = bounds.X; x < bounds.GetRight(); ++x)
                        if (region.IsVisible(x + 0.5f, y + 0.5f) != in[std::size_t(x - bounds.X)])
                            ++wrong;
                }
            }
        };
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back(check, t);
        for (std::thread& t : threads)
            t.join();
    }
    EXPECT_EQ(wrong.load(), 0);
}
