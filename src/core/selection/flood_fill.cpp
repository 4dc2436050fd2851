// SPDX-License-Identifier: GPL-3.0-or-later
// Flood fill and colour selection into SelectionMasks.
#include "core/selection/flood_fill.h"

#include <QPoint>
#include <algorithm>
#include <deque>

namespace {

// Running minimum and maximum of the marked pixels' coordinates.
struct BoundsTracker {
    int minX = 65536, minY = 65536, maxX = -65535, maxY = -65535;
    void addRun(int l, int r, int y) {
        minX = std::min(minX, l);
        maxX = std::max(maxX, r);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    Rect rect() const { return Rect{minX, minY, maxX - minX + 1, maxY - minY + 1}; }
};

// One channel's share of the colour distance, in double precision.
double matchTerm(int reference, int value, int alpha) {
    const double d = reference - value;
    return (d * d + 1) * alpha / 256;
}

// The running sum of the red, green and blue terms is kept in single precision
// after each addition.
bool termsWithin(double red, double green, double blue, int tolerance) {
    float sum = 0;
    sum = float(sum + red);
    sum = float(sum + green);
    sum = float(sum + blue);
    return sum <= tolerance * tolerance * 4;
}

// matchTerm for every channel value, in the order red, green, blue.
struct MatchTerms {
    double term[3][256];
    MatchTerms(ARGB reference) {
        const int alpha = int(reference >> 24);
        for (int c = 0; c < 3; ++c) {
            const int ref = int(reference >> (16 - 8 * c)) & 255;
            for (int v = 0; v < 256; ++v)
                term[c][v] = matchTerm(ref, v, alpha);
        }
    }
    bool matches(int red, int green, int blue, int tolerance) const {
        return termsWithin(term[0][red], term[1][green], term[2][blue], tolerance);
    }
};

// The locked image and the colour test at one reference and tolerance; the
// terms are looked up, which gives exactly ColorMatches' arithmetic.
class ColorTest {
  public:
    ColorTest(Bitmap& image, ARGB reference, int tolerance)
        : m_lock(image, ImageLockModeRead), m_terms(reference), m_tolerance(tolerance) {}
    bool operator()(int x, int y) const {
        const std::uint8_t* p = m_lock.pixel(x, y);
        return m_terms.matches(p[2], p[1], p[0], m_tolerance);
    }

  private:
    ScopedLock m_lock;
    MatchTerms m_terms;
    int m_tolerance;
};

} // namespace

bool ColorMatches(ARGB reference, int red, int green, int blue, int /*bytesPerPixel*/,
                  int tolerance) {
    const int alpha = int(reference >> 24);
    return termsWithin(matchTerm(int(reference >> 16) & 255, red, alpha),
                       matchTerm(int(reference >> 8) & 255, green, alpha),
                       matchTerm(int(reference) & 255, blue, alpha), tolerance);
}

void FloodFillMask(Bitmap& image, SelectionMask& mask, int x, int y, int tolerance, Rect& bounds) {
    mask.Clear();
    const int width = std::min(int(image.GetWidth()), mask.GetWidth());
    const int height = std::min(int(image.GetHeight()), mask.GetHeight());
    bounds = Rect{};
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    ARGB reference = 0;
    image.GetPixel(x, y, &reference);
    const ColorTest matches(image, reference, tolerance);

    BoundsTracker tracker;
    std::deque<QPoint> queue{QPoint(x, y)};
    while (!queue.empty()) {
        const QPoint seed = queue.front();
        queue.pop_front();
        const int sy = seed.y();
        std::uint8_t* row = mask.Row(sy);
        int l = seed.x() - 1;
        while (l >= 0 && row[l] == 0 && matches(l, sy))
            row[l--] = 1;
        int r = seed.x();
        while (r < width && row[r] == 0 && matches(r, sy))
            row[r++] = 1;
        ++l;
        --r;
        // Seeds for the neighbouring rows: the leftmost pixel of each run of
        // unmarked matching pixels under the filled run.
        auto seedRow = [&](int ny) {
            const std::uint8_t* next = mask.Row(ny);
            bool inRun = false;
            for (int i = l; i <= r; ++i) {
                const bool open = next[i] == 0 && matches(i, ny);
                if (open && !inRun) queue.push_back(QPoint(i, ny));
                inRun = open;
            }
        };
        if (sy > 0) seedRow(sy - 1);
        if (sy < height - 1) seedRow(sy + 1);
        tracker.addRun(l, r, sy);
    }
    bounds = tracker.rect();
}

void SelectColorMask(Bitmap& image, SelectionMask& mask, ARGB reference, int tolerance,
                     Rect& bounds) {
    mask.Clear();
    const int width = std::min(int(image.GetWidth()), mask.GetWidth());
    const int height = std::min(int(image.GetHeight()), mask.GetHeight());
    const ColorTest matches(image, reference, tolerance);
    BoundsTracker tracker;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = mask.Row(y);
        int first = -1, last = -1;
        for (int x = 0; x < width; ++x) {
            if (!matches(x, y)) continue;
            row[x] = 1;
            if (first < 0) first = x;
            last = x;
        }
        if (first >= 0) tracker.addRun(first, last, y);
    }
    bounds = tracker.rect();
}
