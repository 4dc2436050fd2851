// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli: opens a picture (or starts a blank one), runs menu commands
// through the editor's command table, and saves.
#include "cli/cli_steps.h"
#include "core/file_names.h"

#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt's own chatter (platform set-up, library remarks) is not for the user of
// a command-line tool; the tool's messages are printed by itself.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "lumaset-cli: %s\n", message.toLocal8Bit().constData());
        std::abort();
    }
}

} // namespace

int main(int argc, char** argv) {
    // Drawing text needs a GUI application; it never opens a window here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    // A closed output pipe is reported as a failed save, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    // Arguments are taken as the system's bytes, so any file name works
    // (Qt's own list decodes them lossily).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << DecodeFileName(argv[i]);
    QGuiApplication app(argc, argv);
    return RunCommandLine(args);
}
