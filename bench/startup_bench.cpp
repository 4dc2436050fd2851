// SPDX-License-Identifier: GPL-3.0-or-later
// Editor start-up: from the application object to the main window shown,
// with no file and with the sample photo, on the platform QT_QPA_PLATFORM
// names (offscreen unless set).
#include "app/lumaset_app.h"
#include "ui/main_frame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
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
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
