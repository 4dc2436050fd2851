// SPDX-License-Identifier: GPL-3.0-or-later
// The progress line lumaset-cli shows on a terminal while a command runs long.
#pragma once

#include "core/progress.h"

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

// While it lives, the calling thread's routines count their rows (see
// RowProgress). When show is set and the command is still running after
// about a second, a line "lumaset-cli: NAME 45%" appears on stderr and is
// rewritten in place about five times a second; it is erased when the object
// goes, so whatever is printed next starts on a clean line.
class ProgressLine {
  public:
    ProgressLine(const QString& name, bool show);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Whether stderr is a terminal, where the line may be shown.
    static bool stderrIsTerminal();

  private:
    void watch();

    QByteArray m_name;
    RowProgress m_progress;
    ProgressScope m_scope;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_finished = false;
    bool m_shown = false;
    std::thread m_watcher;
};
