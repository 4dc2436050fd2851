// SPDX-License-Identifier: GPL-3.0-or-later
// Canvas tools on a 24-megapixel photo: the time of each motion event of a
// long pencil stroke and of a smudge stroke, and the area each one repaints.
#include "bench_photo.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"
#include "tools/tool.h"

#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>

namespace {

// A view at zoom 1 that records the largest area a tool asks to repaint.
// Recording the history entry at the release is left out: it is one copy of
// the picture per stroke, not per motion.
class BenchHost : public ToolHost {
  public:
    explicit BenchHost(PixelFormat format) : doc(nullptr, dir.path()) {
        doc.SetImage(BenchPhoto(format).Clone());
    }
    CLumasetDoc& document() override { return doc; }
    ViewMapping mapping() const override { return {}; }
    SelectionPath& selection() override { return sel; }
    SelectionPath& tempPath() override { return temp; }
    void startOutlineTimer() override {}
    void killOutlineTimer() override {}
    void invalidate(const QRect& rect, bool) override {
        const qint64 area = rect.isNull() ? qint64(kBenchWidth) * kBenchHeight
                                          : qint64(rect.width()) * rect.height();
        maxDirty = std::max(maxDirty, area);
    }
    void pushBackup() override {}
    void setZoom(double) override {}
    ARGB renderedColorAt(QPoint) override { return 0; }

    QTemporaryDir dir;
    CLumasetDoc doc;
    SelectionPath sel, temp;
    qint64 maxDirty = 0;
};

// CPU time of this thread in milliseconds: on a loaded machine the wall time
// of one event also counts the time other programs ran.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A wavy stroke across the photo.
std::vector<QPoint> stroke(int points) {
    std::vector<QPoint> p;
    for (int i = 0; i < points; ++i) {
        const double t = double(i) / (points - 1);
        p.emplace_back(int(300 + t * (kBenchWidth - 600)),
                       int(kBenchHeight / 2 + 1200 * std::sin(t * 12.0)));
    }
    return p;
}

void runStroke(benchmark::State& state, int tool, int points, int width, PixelFormat format) {
    BenchHost host(format);
    host.doc.m_nToolType = tool;
    host.doc.m_nPenWidth = width;
    host.doc.m_crForeground = 0xC0E03020;
    ToolRouter router(host);
    const std::vector<QPoint> path = stroke(points);
    double total = 0, worst = 0, cpuTotal = 0, cpuWorst = 0;
    long events = 0;
    for (auto _ : state) {
        router.press(0, path.front());
        for (std::size_t i = 1; i < path.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadCpuMs();
            router.move(0, path[i]);
            const double cpu = threadCpuMs() - cpuStart;
            cpuTotal += cpu;
            cpuWorst = std::max(cpuWorst, cpu);
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            total += ms;
            worst = std::max(worst, ms);
            ++events;
        }
        router.release(0, path.back());
    }
    state.counters["mean_ms_per_motion"] = total / double(events);
    state.counters["max_ms_per_motion"] = worst;
    state.counters["mean_cpu_ms_per_motion"] = cpuTotal / double(events);
    state.counters["max_cpu_ms_per_motion"] = cpuWorst;
    state.counters["max_repaint_px"] = double(host.maxDirty);
}

} // namespace

static void BM_PencilStroke2000Width20(benchmark::State& state) {
    runStroke(state, 7, 2000, 20, PixelFormat(state.range(0)));
}
BENCHMARK(BM_PencilStroke2000Width20)
    ->Arg(PixelFormat24bppRGB)
    ->Arg(PixelFormat32bppARGB)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

static void BM_SmudgeStroke200Width40(benchmark::State& state) {
    runStroke(state, 14, 200, 40, PixelFormat(state.range(0)));
}
BENCHMARK(BM_SmudgeStroke200Width40)
    ->Arg(PixelFormat24bppRGB)
    ->Arg(PixelFormat32bppARGB)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
