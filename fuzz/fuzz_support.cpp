// SPDX-License-Identifier: GPL-3.0-or-later
// The fuzz targets' shared set-up.
#include "fuzz_support.h"

#include <QDir>
#include <QFileInfo>
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

// In memory where the system offers it: every input writes files (the input
// itself, undo backups, a lock file that is synced to disk), and on a disk
// those writes, not the code under test, would set the pace.
QString FuzzScratchFolder() {
    static QTemporaryDir dir((QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                  ? QStringLiteral("/dev/shm")
                                  : QDir::tempPath()) +
                             QStringLiteral("/lumaset-fuzz-XXXXXX"));
    return dir.path();
}
