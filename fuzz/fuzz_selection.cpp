// SPDX-License-Identifier: GPL-3.0-or-later
// The contour tracer and polygon scan conversion on random masks and
// polygons. A traced mask must scan-convert back to exactly its pixels, the
// trace must clear what it traced and nothing else, and scan conversion must
// give ordered spans inside the polygon's bounds.
#include "core/selection/tracing.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Stops with the failed condition named, so a finding says which property broke.
#define check(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz_selection: %s (line %d)\n", #condition, __LINE__);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

void traceAndScanBack(FuzzedDataProvider& in) {
    const int w = in.ConsumeIntegralInRange(1, 40), h = in.ConsumeIntegralInRange(1, 40);
    SelectionMask mask(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask.Set(x, y, in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 255) : 0);
    // Mostly the whole mask; sometimes a rectangle that may reach past it.
    Rect rect{0, 0, w, h};
    if (in.ConsumeBool())
        rect = Rect{in.ConsumeIntegralInRange(-8, 48), in.ConsumeIntegralInRange(-8, 48),
                    in.ConsumeIntegralInRange(-8, 60), in.ConsumeIntegralInRange(-8, 60)};
    const auto inRect = [&](int x, int y) {
        return x >= rect.X && y >= rect.Y && x - rect.X < rect.Width && y - rect.Y < rect.Height;
    };
    const SelectionMask original = mask;
    SelectionMask again = mask;
    const std::vector<QPolygon> contours = TraceMaskToPolygons(mask, rect);

    SelectionMask back(w, h);
    for (const QPolygon& contour : contours) {
        check(contour.size() >= 4);
        for (const QPoint& p : contour)
            check(p.x() >= 0 && p.x() <= w && p.y() >= 0 && p.y() <= h);
        for (const Span& s : ScanConvertPolygon(contour)) {
            if (s.Length <= 0) continue;
            check(s.Y >= 0 && s.Y < h && s.X >= 0 && s.X + s.Length <= w);
            back.ToggleSpan(s);
        }
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool traced = inRect(x, y) && original.Get(x, y) != 0;
            check((back.Get(x, y) != 0) == traced);
            check(mask.Get(x, y) == (inRect(x, y) ? 0 : original.Get(x, y)));
        }
    // The path form covers the same pixels.
    const SelectionPath path = TraceMaskToPath(again, rect);
    const SelectionRegion& region = path.GetRegion();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            check(region.IsVisible(float(x), float(y)) ==
                  (inRect(x, y) && original.Get(x, y) != 0));
}

void scanPolygon(FuzzedDataProvider& in) {
    // x may reach as far as the largest region the selection uses; y stays
    // small, as the work grows with the rows a polygon spans.
    const int xReach = in.ConsumeBool() ? 4194304 : 64;
    const int n = in.ConsumeIntegralInRange(0, 40);
    QPolygon polygon;
    for (int i = 0; i < n; ++i)
        polygon << QPoint(in.ConsumeIntegralInRange(-xReach, xReach),
                          in.ConsumeIntegralInRange(-64, 64));
    const std::vector<Span> spans = ScanConvertPolygon(polygon);
    if (spans.empty()) return;
    const QRect bounds = polygon.boundingRect();
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const Span& s = spans[i];
        check(s.Y >= bounds.top() && s.Y < bounds.bottom());
        if (s.Length > 0) check(s.X >= bounds.left() && s.X + s.Length <= bounds.right() + 1);
        if (i > 0) check(spans[i - 1].Y <= s.Y);
    }
    // The region built from the same polygon stays inside the same bounds.
    SelectionPath path;
    path.AddPolygon(polygon);
    const Rect b = path.GetRegion().GetBounds();
    if (b.Width > 0)
        check(b.X >= bounds.left() && b.Y >= bounds.top() && b.X + b.Width <= bounds.right() + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        traceAndScanBack(in);
    else
        scanPolygon(in);
    return 0;
}
