// SPDX-License-Identifier: GPL-3.0-or-later
// The frame every effect routine shares: which pixels it may change, the ways
// it walks the image, and the helpers that keep reads inside the image.
//
// An effect reads a source bitmap and writes a destination bitmap of the same
// size and format; the destination starts as a whole-image copy of the source,
// so a pixel the routine does not write keeps its source bytes.
//
// Selection: with no selection, or an empty one, every pixel counts as selected
// and the working rectangle is the whole image ("whole-image flag"). Otherwise
// the working rectangle is the selection's bounds and a pixel is selected when
// the selection's point test at its integer coordinates says so. The flag and
// the rectangle are computed once per call (EffectFrame); the walkers below
// turn the selection into runs of selected pixels per row (the region's own
// row scans, which agree with its point test), so kernels run on plain row
// memory.
//
// Coverage patterns (which pixels a routine visits):
//   W  Whole                every pixel, selection test
//   V  WholeLessLast        x in [0, w-2], y in [0, h-2], selection test
//   R  RectLessLast         the working rectangle less its last column and
//                           row, selection test (kept inside the image)
//   I  Interior             x in [1, w-2], y in [1, h-2], selection test
//   U  Unselective          every pixel, selection ignored
//      InteriorUnselective  x in [1, w-2], y in [1, h-2], selection ignored
//
// Pixels are visited row by row, top to bottom, left to right. Threads::Two
// splits the rows between two threads (splitRows below, the one place that
// does, also for routines that walk on their own); only for routines whose
// pixels are independent (no random numbers, no reads of their own output),
// which then give the same bytes as one thread.
#pragma once

#include "core/bitmap.h"
#include "core/progress.h"
#include "core/selection/selection_mask.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>
#include <vector>

class SelectionRegion;

// The call shape of an effect routine: reads source, writes destination (same
// size and format), honours selection (may be null) as its pattern says.
// Routines with parameters take them after these three as one const
// NameParams&, a struct listing its members in kFields (core/params.h).
using EffectFn = void (*)(const Bitmap& source, Bitmap& destination,
                          const SelectionRegion* selection);

enum class Coverage {
    Whole,
    WholeLessLast,
    RectLessLast,
    Interior,
    Unselective,
    InteriorUnselective
};

enum class Threads { One, Two };

// What a byte-wise walk does with 32-bit pixels whose source alpha is 0:
// writes them like any other, or leaves their destination colour alone.
enum class Transparent { Write, Skip };

// A run of pixels [begin, end) of one row.
struct PixelRun {
    int begin;
    int end;
};

// Which pixels of a width x height image a routine may change.
class EffectFrame {
  public:
    // selection may be null and must outlive the frame; walkers with
    // Threads::Two read it from two threads at once (its const members allow
    // that).
    EffectFrame(const SelectionRegion* selection, int width, int height);

    bool wholeImage() const { return m_whole; }
    // The selection's bounds, or (0, 0, width, height) with the whole-image flag.
    const Rect& workRect() const { return m_work; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // The flag or the point test at (x, y).
    bool isSelected(int x, int y) const;

    // The pixels a pattern visits: x in [x0, x1), y in [y0, y1) (possibly
    // empty), and whether each one still needs the selection test.
    struct Area {
        int x0, y0, x1, y1;
        bool test;
    };
    Area area(Coverage coverage) const;

    // Scratch for selectedSpans, one per thread: once grown to a row's runs
    // it is reused, so finding the runs allocates nothing per row.
    struct RowRuns {
        std::vector<PixelRun> runs;
        std::vector<Span> scans; // the region's own scans of the row
    };
    // Replaces out.runs with the selected runs of row y within [xBegin, xEnd),
    // left to right. Pixels outside the selection's bounds are never selected.
    void selectedSpans(int y, int xBegin, int xEnd, RowRuns& out) const;

  private:
    bool pointTest(int x, int y) const;

    const SelectionRegion* m_selection = nullptr;
    bool m_whole = true;
    Rect m_work;
    int m_width = 0;
    int m_height = 0;
};

// Clears the upper halves of the vector registers. Some code in the process
// leaves them in use, and new threads inherit that state; while it lasts,
// every SSE instruction of ours that follows an AVX one (the C library's
// maths functions use AVX) stalls, making exp or atan2 ten times slower.
// Called where a routine's threads start; it never changes a result.
inline void clearUpperVectorState() {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        asm volatile("vzeroupper" ::
                         : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8",
                           "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
#endif
}

// Below this many visited pixels a second thread costs more than it saves.
inline constexpr long long kMinPixelsForTwoThreads = 1 << 16;

// Rows per call of a watched walk (see RowProgress): enough that a routine's
// set-up per call (a window primed, scratch allocated) stays a small part of
// the work, few enough that the count moves in steps of about 2 per cent.
inline int progressChunkRows(int rows) {
    return std::max(64, rows / 64);
}

// Calls rows(begin, end) over [begin, end), in chunks that each add their
// rows to progress once done; in one call when progress is null. Rows that
// count themselves, rows(begin, end, const RowCounter&), are called once.
template <class Rows> void runCountedRows(int begin, int end, RowProgress* progress, Rows& rows) {
    if constexpr (std::is_invocable_v<Rows&, int, int, const RowCounter&>) {
        rows(begin, end, RowCounter(progress));
    } else if (!progress) {
        rows(begin, end);
    } else {
        const int step = progressChunkRows(end - begin);
        for (int y = begin; y < end; y += step) {
            const int stop = end - y > step ? y + step : end;
            rows(y, stop);
            RowCounter(progress).add(stop - y);
        }
    }
}

// The one row split of every routine: calls rows(begin, end) for the whole
// range [begin, end) on the calling thread, or, with Threads::Two, at least
// kMinPixelsForTwoThreads pixels and at least two rows, for its upper half on
// the calling thread and its lower half on a second one. Only for rows that
// are independent of each other (no random numbers, no reads of another row's
// output), which then give the same bytes either way. While the calling
// thread's RowProgress is watched, each half is walked in consecutive chunks
// of rows (the same bytes again) and counted there.
template <class Rows>
void splitRows(int begin, int end, long long pixels, Threads threads, Rows&& rows) {
    clearUpperVectorState();
    RowProgress* progress = StartProgressPass(end - begin);
    if (threads == Threads::One || pixels < kMinPixelsForTwoThreads || end - begin < 2) {
        runCountedRows(begin, end, progress, rows);
        return;
    }
    const int mid = begin + (end - begin) / 2;
    std::thread second([&rows, mid, end, progress] {
        clearUpperVectorState();
        runCountedRows(mid, end, progress, rows);
    });
    runCountedRows(begin, mid, progress, rows);
    second.join();
}

// splitRows for rows of uneven cost (rings around a centre, an ellipse):
// calls row(i) for every i in [begin, end), the two threads taking alternate
// rows so that each gets a like share of the costly ones. Each row counts on
// the calling thread's RowProgress when it is watched.
template <class Row>
void splitAlternateRows(int begin, int end, long long pixels, Threads threads, Row&& row) {
    clearUpperVectorState();
    RowProgress* progress = StartProgressPass(end - begin);
    auto counted = [&row, progress](int i) {
        row(i);
        RowCounter(progress).add(1);
    };
    auto every = [&counted, end](int first) {
        clearUpperVectorState();
        for (int i = first; i < end; i += 2)
            counted(i);
    };
    if (threads == Threads::One || pixels < kMinPixelsForTwoThreads || end - begin < 2) {
        for (int i = begin; i < end; ++i)
            counted(i);
        return;
    }
    std::thread second(every, begin + 1);
    every(begin);
    second.join();
}

// True when both locks succeeded and describe images of one size and format.
inline bool sameShape(const ScopedLock& a, const ScopedLock& b) {
    return a.ok() && b.ok() && a.width() == b.width() && a.height() == b.height() &&
           a.bpp() == b.bpp();
}

// Calls kernel(state, y, xBegin, xEnd) for every run of visited pixels, where
// state is the calling thread's own scratch, made by makeState() once per
// thread and freed when the walk ends. Each thread sees its rows in order.
template <class MakeState, class SpanKernel>
void forEachSpanWithState(const EffectFrame& frame, Coverage coverage, MakeState&& makeState,
                          SpanKernel&& kernel, Threads threads = Threads::One) {
    const EffectFrame::Area a = frame.area(coverage);
    if (a.x0 >= a.x1 || a.y0 >= a.y1) return;
    // One call per thread, counting each row: a state may carry work from row
    // to row (a window of rows), which chunks would have to start again.
    auto rows = [&](int yBegin, int yEnd, const RowCounter& counter) {
        auto state = makeState();
        EffectFrame::RowRuns spans;
        for (int y = yBegin; y < yEnd; ++y, counter.add(1)) {
            if (!a.test) {
                kernel(state, y, a.x0, a.x1);
                continue;
            }
            frame.selectedSpans(y, a.x0, a.x1, spans);
            for (const PixelRun& s : spans.runs)
                kernel(state, y, s.begin, s.end);
        }
    };
    splitRows(a.y0, a.y1, (long long)(a.x1 - a.x0) * (a.y1 - a.y0), threads, rows);
}

// Calls kernel(y, xBegin, xEnd) for every run of visited pixels.
template <class SpanKernel>
void forEachSpan(const EffectFrame& frame, Coverage coverage, SpanKernel&& kernel,
                 Threads threads = Threads::One) {
    forEachSpanWithState(
        frame, coverage, [] { return 0; },
        [&kernel](int, int y, int x0, int x1) { kernel(y, x0, x1); }, threads);
}

// Calls kernel(s, d, x, y) for every visited pixel, s and d pointing at pixel
// (x, y) of the locked source and destination. The walk is compiled once for 3
// and once for 4 bytes per pixel, so the kernel inlines into a tight loop; a
// kernel that also takes a fifth argument gets the bytes per pixel there as a
// std::integral_constant<int, 3 or 4>.
// Calls kernel(s, d, x, y, bpp) when the kernel takes the bytes per pixel as a
// compile-time constant, otherwise kernel(s, d, x, y). (Inside forEachPixel's
// nested lambdas clang would check the call not taken as well.)
template <class Kernel, class Bpp>
inline void callPixelKernel(Kernel& kernel, const std::uint8_t* s, std::uint8_t* d, int x, int y,
                            Bpp bpp) {
    if constexpr (std::is_invocable_v<Kernel&, const std::uint8_t*, std::uint8_t*, int, int, Bpp>)
        kernel(s, d, x, y, bpp);
    else
        kernel(s, d, x, y);
}

template <class Kernel>
void forEachPixel(const EffectFrame& frame, Coverage coverage, const ScopedLock& src,
                  const ScopedLock& dst, Kernel&& kernel, Threads threads = Threads::One) {
    auto walk = [&](auto bppConstant) {
        constexpr int bpp = decltype(bppConstant)::value;
        forEachSpan(
            frame, coverage,
            [&](int y, int xBegin, int xEnd) {
                const std::uint8_t* s = src.row(y) + std::ptrdiff_t(xBegin) * bpp;
                std::uint8_t* d = dst.row(y) + std::ptrdiff_t(xBegin) * bpp;
                for (int x = xBegin; x < xEnd; ++x, s += bpp, d += bpp)
                    callPixelKernel(kernel, s, d, x, y, bppConstant);
            },
            threads);
    };
    if (src.bpp() == 4)
        walk(std::integral_constant<int, 4>{});
    else if (src.bpp() == 3)
        walk(std::integral_constant<int, 3>{});
}

// Copies the colour bytes of count 32-bit pixels from computed into d, keeping
// d's alpha bytes; with SkipTransparent, pixels whose source alpha (in s) is 0
// are not written at all.
template <bool SkipTransparent>
void mergeColourBytes(std::uint8_t* d, const std::uint8_t* computed, const std::uint8_t* s,
                      int count) {
    static_assert(std::endian::native == std::endian::little,
                  "colour bytes are the low three of a pixel word");
    for (int j = 0; j < count; ++j) {
        std::uint32_t dv, cv, sv;
        std::memcpy(&dv, d + 4 * j, 4);
        std::memcpy(&cv, computed + 4 * j, 4);
        std::uint32_t mask = 0x00FFFFFFu;
        if constexpr (SkipTransparent) {
            std::memcpy(&sv, s + 4 * j, 4);
            mask = (sv >> 24) != 0 ? mask : 0u;
        }
        dv = (cv & mask) | (dv & ~mask);
        std::memcpy(d + 4 * j, &dv, 4);
    }
}

// Calls kernel(s, d, out, n, bpp) when the kernel takes the bytes per pixel
// as a compile-time constant, otherwise kernel(s, d, out, n).
template <class ByteKernel, class Bpp>
void callByteKernel(ByteKernel& kernel, const std::uint8_t* s, const std::uint8_t* d,
                    std::uint8_t* out, int n, Bpp bpp) {
    if constexpr (std::is_invocable_v<ByteKernel&, const std::uint8_t*, const std::uint8_t*,
                                      std::uint8_t*, int, Bpp>)
        kernel(s, d, out, n, bpp);
    else
        kernel(s, d, out, n);
}

// Byte-wise walk for effects whose colour bytes can be computed one byte at a
// time: calls kernel(s, d, out, n) for every visited run (in chunks), where s
// and d point at the run's first pixel in source and destination and the
// kernel writes n bytes (the run's pixels times bpp) to out, each computed
// from the bytes at the same index (or fixed distances) in s and d. On 24-bit
// images out is d itself; on 32-bit images out is scratch whose colour bytes
// are then copied into d, so alpha is never written, and with
// Transparent::Skip pixels whose source alpha is 0 keep their destination
// colour. A kernel that
// takes a fifth argument gets the bytes per pixel there as a compile-time
// std::integral_constant, for fixed distances to neighbours.
template <class ByteKernel>
void forEachRunBytes(const EffectFrame& frame, Coverage coverage, const ScopedLock& src,
                     const ScopedLock& dst, ByteKernel&& kernel, Threads threads = Threads::One,
                     Transparent transparent = Transparent::Write) {
    constexpr int kChunk = 1024;
    const int bpp = src.bpp();
    if (bpp != 3 && bpp != 4) return;
    forEachSpan(
        frame, coverage,
        [&](int y, int xBegin, int xEnd) {
            std::uint8_t scratch[kChunk * 4];
            for (int x = xBegin; x < xEnd; x += kChunk) {
                const int count = std::min(kChunk, xEnd - x);
                const std::uint8_t* s = src.pixel(x, y);
                std::uint8_t* d = dst.pixel(x, y);
                if (bpp == 3) {
                    callByteKernel(kernel, s, d, d, count * 3, std::integral_constant<int, 3>{});
                } else {
                    callByteKernel(kernel, s, d, scratch, count * 4,
                                   std::integral_constant<int, 4>{});
                    if (transparent == Transparent::Skip)
                        mergeColourBytes<true>(d, scratch, s, count);
                    else
                        mergeColourBytes<false>(d, scratch, s, count);
                }
            }
        },
        threads);
}

// The whole routine for a byte-wise effect: locks source then destination,
// builds the frame and walks the pattern with forEachRunBytes. Does nothing
// when a lock fails or the images differ in size or format.
template <class ByteKernel>
void runByteEffect(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                   Coverage coverage, Threads threads, ByteKernel&& kernel,
                   Transparent transparent = Transparent::Write) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const EffectFrame frame(selection, src.width(), src.height());
    forEachRunBytes(frame, coverage, src, dst, kernel, threads, transparent);
}

// The whole routine for a per-pixel effect: locks source then destination,
// builds the frame and walks the pattern. Does nothing when a lock fails or
// the images differ in size or format.
template <class Kernel>
void runPixelEffect(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
                    Coverage coverage, Threads threads, Kernel&& kernel) {
    ScopedLock src(source);
    ScopedLock dst(destination);
    if (!sameShape(src, dst)) return;
    const EffectFrame frame(selection, src.width(), src.height());
    forEachPixel(frame, coverage, src, dst, kernel, threads);
}

// Edge and range helpers.
inline int clampInt(int v, int lo, int hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
inline std::uint8_t clampByte(int v) {
    return std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}
// A coordinate limited to [0, size - 1], the rule for displaced reads.
inline int clampCoord(int v, int size) {
    return v < 0 ? 0 : (v >= size ? size - 1 : v);
}
// A pixel's alpha; 24-bit pixels count as opaque.
inline int alphaOf(const std::uint8_t* p, int bpp) {
    return bpp == 4 ? p[3] : 255;
}
