// SPDX-License-Identifier: GPL-3.0-or-later
// Editor start-up: from the application object to the main window shown,
// with no file and with the sample photo, on the platform QT_QPA_PLATFORM
// names (offscreen unless set).
#include "app/lumaset_app.h"
#include "ui/gallery/effect_dlg.h"
#include "ui/main_frame.h"

#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

// Answers every question with Cancel, so nothing waits for a person.
Prompts silentPrompts() {
    Prompts p;
    p.ask = [](QWidget*, const QString&, QMessageBox::StandardButtons) {
        return QMessageBox::Cancel;
    };
    p.tell = [](QWidget*, const QString&, QMessageBox::Icon) {};
    p.fileName = [](QWidget*, bool, const QString&) { return QString(); };
    p.color = [](QWidget*, const QColor&) { return QColor(); };
    return p;
}

// How long after the window showed the effect gallery's loader thread had
// delivered every preview picture, when the bar is visible.
void reportGalleryPictures(CMainFrame& frame, QElapsedTimer& clock) {
    auto* bar = qobject_cast<CEffectDlg*>(frame.effectListBar()->widget());
    if (!bar || !bar->list()) return;
    const qint64 shown = clock.nsecsElapsed();
    const auto loaded = [&] { return bar->list()->LoadedCount(); };
    const int effects = std::count_if(CEffectDlg::Entries().begin(), CEffectDlg::Entries().end(),
                                      [](const CEffectDlg::Entry& e) { return e.id != 0; });
    while (loaded() < effects && clock.nsecsElapsed() - shown < 5'000'000'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::printf("gallery pictures: %d of %d, %.1f ms after the window showed\n", loaded(), effects,
                (clock.nsecsElapsed() - shown) / 1e6);
}

void startUp(benchmark::State& state, const QStringList& arguments) {
    QTemporaryDir backups;
    for (auto _ : state) {
        CLumasetApp app(backups.path(), silentPrompts());
        if (!app.InitInstance(arguments) || !QTest::qWaitForWindowExposed(&app.frame())) {
            state.SkipWithError("the window did not show");
            return;
        }
    }
}

void BM_StartUpBlank(benchmark::State& state) {
    startUp(state, {"lumaset"});
}
void BM_StartUpSamplePhoto(benchmark::State& state) {
    startUp(state, {"lumaset", QStringLiteral(LUMASET_SAMPLE_PHOTO)});
}
BENCHMARK(BM_StartUpBlank)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpSamplePhoto)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The recent-file list the runs write stays out of the user's settings.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    // The first window of a run also pays for fonts, styles and plugins.
    {
        QTemporaryDir backups;
        CLumasetApp app(backups.path(), silentPrompts());
        const bool shown =
            app.InitInstance({"lumaset"}) && QTest::qWaitForWindowExposed(&app.frame());
        std::printf("first start-up (application object to window shown): %.1f ms%s\n",
                    clock.nsecsElapsed() / 1e6, shown ? "" : " (window did not show)");
        reportGalleryPictures(app.frame(), clock);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
