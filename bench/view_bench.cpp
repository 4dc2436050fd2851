// SPDX-License-Identifier: GPL-3.0-or-later
// Canvas view speed on the offscreen platform: a full repaint of a 1600 x 1000
// view of the 24-megapixel photo at every zoom factor, and one step of the
// marching ants around a magic-wand selection of thousands of contours.
#include "bench_photo.h"
#include "core/selection/selection_commands.h"
#include "document/lumaset_doc.h"
#include "view/lumaset_view.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Setup {
    QTemporaryDir backups;
    CLumasetDoc doc{nullptr, backups.path()};
    CLumasetView view{doc};
    explicit Setup(PixelFormat format) {
        doc.SetImage(MakeBenchPhoto(format));
        doc.UpdateAllViews();
        view.show();
        for (int i = 0; i < 3; ++i)
            view.resize(view.size() + QSize(1600, 1000) - view.viewport()->size());
        QApplication::processEvents();
    }
};

Setup& setupFor(PixelFormat format) {
    static Setup rgb(PixelFormat24bppRGB);
    static Setup argb(PixelFormat32bppARGB);
    return format == PixelFormat24bppRGB ? rgb : argb;
}

} // namespace

// Arguments: zoom table index, 24 or 32 bits per pixel.
static void BM_FullRepaint(benchmark::State& state) {
    Setup& s = setupFor(state.range(1) == 24 ? PixelFormat24bppRGB : PixelFormat32bppARGB);
    const double zoom = ZoomTable()[std::size_t(state.range(0))];
    s.view.setZoom(zoom);
    s.view.selection().Reset();
    for (auto _ : state) {
        s.view.refreshCanvas();
        s.view.viewport()->repaint();
    }
    state.SetLabel(QString::number(zoom).toStdString());
}
BENCHMARK(BM_FullRepaint)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 11, 1), {24, 32}})
    ->MeasureProcessCPUTime() // the composition may run on two threads
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// Arguments: zoom table index.
static void BM_AntsTick(benchmark::State& state) {
    Setup& s = setupFor(PixelFormat24bppRGB);
    s.view.setZoom(ZoomTable()[std::size_t(state.range(0))]);
    SelectionPath wand = MagicWandSelect(*s.doc.GetImage(), 3000, 2000, 40);
    int contours = 0;
    for (int i = 0; i < wand.GetPath().elementCount(); ++i)
        contours += wand.GetPath().elementAt(i).isMoveTo();
    s.view.selection() = std::move(wand);
    s.view.viewport()->repaint();
    for (auto _ : state) {
        s.view.advanceOutline();
        QApplication::processEvents();
    }
    state.counters["contours"] = contours;
    state.counters["points"] = s.view.selection().GetPath().elementCount();
}
BENCHMARK(BM_AntsTick)
    ->Arg(6)
    ->Arg(9)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
