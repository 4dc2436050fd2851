// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets' shared set-up.
#include "fuzz_support.h"

#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

void FuzzSetUp() {
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quiet);
        static int argc = 1;
        static char name[] = "lumaset-fuzz";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
}

QString FuzzScratchFolder() {
    static QTemporaryDir dir;
    return dir.path();
}
