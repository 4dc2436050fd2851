// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the dialogs' live previews: one slider move (or curve drag) on the
// 24-megapixel photo, from the control's change through the model's
// recomputation to the repainted preview panel. Runs offscreen.
#include "bench_photo.h"
#include "ui/dialogs/adjust_dialogs.h"
#include "ui/dialogs/curve_dialog.h"
#include "ui/dialogs/lomo_dialog.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QWidget* control(QWidget* dialog, int id) {
    return dialog->findChild<QWidget*>(QString::number(id));
}

// Moves a slider back and forth between two positions, repainting the panel
// after each move, so every iteration recomputes.
void slide(benchmark::State& state, QDialog& dialog, int sliderId, int panelId, int a, int b) {
    auto* slider = qobject_cast<QSlider*>(control(&dialog, sliderId));
    QWidget* panel = control(&dialog, panelId);
    dialog.show();
    bool flip = false;
    for (auto _ : state) {
        slider->setValue((flip = !flip) ? a : b);
        benchmark::DoNotOptimize(panel->grab()); // paints the panel as a repaint does
    }
}

void BM_BrightnessContrastSlider(benchmark::State& s) {
    CBriandCont dialog(BenchPhoto(), nullptr, nullptr);
    slide(s, dialog, 1065, 1057, 40, -40);
}
void BM_ColorBalanceSlider(benchmark::State& s) {
    CColorBalance dialog(BenchPhoto(), nullptr, nullptr);
    slide(s, dialog, 1058, 1057, 30, -30);
}
void BM_GammaSlider(benchmark::State& s) {
    CGammaDlg dialog(BenchPhoto(), nullptr);
    slide(s, dialog, 1069, 1057, 40, 70);
}
void BM_LomoSlider(benchmark::State& s) {
    CLOMODlg dialog(BenchPhoto(), nullptr);
    slide(s, dialog, 1082, 1057, 30, 60);
}
void BM_CurveDrag(benchmark::State& s) {
    CCurve dialog(BenchPhoto(), nullptr);
    dialog.show();
    QWidget* area = control(&dialog, 1087);
    QWidget* preview = control(&dialog, 1086);
    const int x = area->width() / 2;
    QTest::mousePress(area, Qt::LeftButton, {}, QPoint(x, area->height() / 2));
    bool flip = false;
    for (auto _ : s) {
        const QPointF at(x, (flip = !flip) ? area->height() / 3 : area->height() / 2);
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(area, &move);
        benchmark::DoNotOptimize(area->grab());
        benchmark::DoNotOptimize(preview->grab());
    }
    QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(x, area->height() / 2));
    s.counters["points"] = double(dialog.model().curve().points().size());
}

} // namespace

BENCHMARK(BM_BrightnessContrastSlider)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_ColorBalanceSlider)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_GammaSlider)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_LomoSlider)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_CurveDrag)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
