// SPDX-License-Identifier: GPL-3.0-or-later
// Oil Paint: every pixel takes the mean colour of the most frequent intensity
// bin in the window around it, counted with sliding histograms.
#include "effects/texture.h"

#include "core/pixel_loop.h"
#include "effects/small_divisor.h"

#include <algorithm>
#include <vector>

namespace {

// Whether a pixel or column enters the sliding window or leaves it.
enum class Window { Enter, Leave };

// One intensity bin of a histogram. The colour sums share one 64-bit word in
// 21-bit lanes (blue low, red high), and the count shares one with the alpha
// sum (count low): a window holds at most 17 x 17 pixels, so no lane exceeds
// 289 * 255 < 2^21. Sums of bins add and subtract lane by lane.
struct OilBin {
    std::uint64_t colours;
    std::uint64_t countAlpha;
};
constexpr int kLane = 21;
constexpr std::uint64_t kLaneMask = (std::uint64_t(1) << kLane) - 1;

class OilPainter {
  public:
    OilPainter(const ScopedLock& src, const ScopedLock& dst, int radius, int levels)
        : m_src(src), m_dst(dst), m_w(src.width()), m_h(src.height()), m_bpp(src.bpp()),
          m_a(radius), m_bins(std::size_t(levels) + 1) {
        // Bin of a pixel by its channel sum: ((L * (B + G + R)) / 3) / 255.
        for (int sum = 0; sum <= 765; ++sum)
            m_binOf[sum] = std::uint8_t(((levels * sum) / 3) / 255);
        const int maxCount = (2 * radius + 1) * (2 * radius + 1);
        m_divisors.reserve(std::size_t(maxCount) + 1);
        for (int c = 0; c <= maxCount; ++c)
            m_divisors.emplace_back(c == 0 ? 1 : c);
    }

    // Paints rows [yBegin, yEnd). Both methods build exactly the histogram of
    // each pixel's window. With few bins, per-column histograms of the window's
    // rows slide down the image and the window slides along them; with many,
    // the window slides along the row a column of pixels at a time.
    void paintRows(int yBegin, int yEnd) const {
        if (m_bins <= std::size_t(2 * (2 * m_a + 1))) {
            paintByColumns(yBegin, yEnd);
            return;
        }
        std::vector<OilBin> window(m_bins);
        for (int y = yBegin; y < yEnd; ++y)
            paintByPixels(y, window);
    }

  private:
    // Adds pixel p to histogram hist, or takes it out.
    void account(OilBin* hist, const std::uint8_t* p, Window change) const {
        OilBin& b = hist[m_binOf[p[0] + p[1] + p[2]]];
        const std::uint64_t colours =
            (std::uint64_t(p[2]) << (2 * kLane)) | (std::uint64_t(p[1]) << kLane) | p[0];
        const std::uint64_t countAlpha = (m_bpp == 4 ? std::uint64_t(p[3]) << kLane : 0) | 1;
        if (change == Window::Enter) {
            b.colours += colours;
            b.countAlpha += countAlpha;
        } else {
            b.colours -= colours;
            b.countAlpha -= countAlpha;
        }
    }

    // Adds the whole histogram from to histogram to, or subtracts it.
    void merge(OilBin* to, const OilBin* from, Window change) const {
        for (std::size_t b = 0; b < m_bins; ++b) {
            if (change == Window::Enter) {
                to[b].colours += from[b].colours;
                to[b].countAlpha += from[b].countAlpha;
            } else {
                to[b].colours -= from[b].colours;
                to[b].countAlpha -= from[b].countAlpha;
            }
        }
    }

    // Writes the means of the lowest bin with the highest count: scanning from
    // bin 0, the candidate is replaced only on a greater count.
    void write(const OilBin* window, std::uint8_t* d) const {
        std::size_t best = 0;
        std::uint64_t bestCount = window[0].countAlpha & kLaneMask;
        for (std::size_t b = 1; b < m_bins; ++b) {
            const std::uint64_t c = window[b].countAlpha & kLaneMask;
            if (c > bestCount) {
                bestCount = c;
                best = b;
            }
        }
        const OilBin& win = window[best];
        const SmallDivisor& divisor = m_divisors[std::size_t(bestCount)];
        d[0] = std::uint8_t(divisor.divide(win.colours & kLaneMask));
        d[1] = std::uint8_t(divisor.divide((win.colours >> kLane) & kLaneMask));
        d[2] = std::uint8_t(divisor.divide(win.colours >> (2 * kLane)));
        if (m_bpp == 4) d[3] = std::uint8_t(divisor.divide(win.countAlpha >> kLane));
    }

    void paintByColumns(int yBegin, int yEnd) const {
        const std::size_t bins = m_bins;
        std::vector<OilBin> columns(std::size_t(m_w) * bins, OilBin{0, 0});
        auto column = [&](int x) { return columns.data() + std::size_t(x) * bins; };
        auto accountRow = [&](int y, Window change) {
            const std::uint8_t* p = m_src.row(y);
            for (int x = 0; x < m_w; ++x, p += m_bpp)
                account(column(x), p, change);
        };
        for (int y = std::max(0, yBegin - m_a); y <= std::min(m_h - 1, yBegin + m_a); ++y)
            accountRow(y, Window::Enter);
        std::vector<OilBin> window(bins);
        for (int y = yBegin; y < yEnd; ++y) {
            if (y > yBegin) {
                if (y - m_a - 1 >= 0) accountRow(y - m_a - 1, Window::Leave);
                if (y + m_a < m_h) accountRow(y + m_a, Window::Enter);
            }
            std::fill(window.begin(), window.end(), OilBin{0, 0});
            for (int x = 0; x <= std::min(m_w - 1, m_a); ++x)
                merge(window.data(), column(x), Window::Enter);
            std::uint8_t* d = m_dst.row(y);
            for (int x = 0; x < m_w; ++x, d += m_bpp) {
                if (x > 0) {
                    if (x + m_a < m_w) merge(window.data(), column(x + m_a), Window::Enter);
                    if (x - m_a - 1 >= 0) merge(window.data(), column(x - m_a - 1), Window::Leave);
                }
                write(window.data(), d);
            }
        }
    }

    // window: scratch of m_bins bins, reused from row to row.
    void paintByPixels(int y, std::vector<OilBin>& window) const {
        const int y0 = std::max(0, y - m_a), y1 = std::min(m_h - 1, y + m_a);
        std::fill(window.begin(), window.end(), OilBin{0, 0});
        auto accountColumn = [&](int x, Window change) {
            for (int yy = y0; yy <= y1; ++yy)
                account(window.data(), m_src.pixel(x, yy), change);
        };
        for (int x = 0; x <= std::min(m_w - 1, m_a); ++x)
            accountColumn(x, Window::Enter);
        std::uint8_t* d = m_dst.row(y);
        for (int x = 0; x < m_w; ++x, d += m_bpp) {
            if (x > 0) {
                if (x + m_a < m_w) accountColumn(x + m_a, Window::Enter);
                if (x - m_a - 1 >= 0) accountColumn(x - m_a - 1, Window::Leave);
            }
            write(window.data(), d);
        }
    }

    const ScopedLock& m_src;
    const ScopedLock& m_dst;
    int m_w, m_h, m_bpp, m_a;
    std::size_t m_bins;
    std::uint8_t m_binOf[766];
    std::vector<SmallDivisor> m_divisors; // by window pixel count
};

} // namespace

void OilPaint(const Bitmap& source, Bitmap& destination, const SelectionRegion*,
              const OilPaintParams& params) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const int levels = (params.levels & 0xFF) == 0 ? 1 : (params.levels & 0xFF);
    const OilPainter painter(src, dst, clampInt(params.radius, 1, 8), levels);
    // Pixels are independent: the upper and lower halves of the image can be
    // painted at once.
    const int h = src.height();
    splitRows(0, h, (long long)src.width() * h, Threads::Two,
              [&painter](int begin, int end) { painter.paintRows(begin, end); });
}
