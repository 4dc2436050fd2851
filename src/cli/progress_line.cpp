// SPDX-License-Identifier: GPL-3.0-or-later
// A progress line on stderr, updated in place from a watcher thread.
#include "cli/progress_line.h"

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

// A command shorter than this shows no line at all.
constexpr auto kQuietTime = std::chrono::milliseconds(1000);
constexpr auto kUpdateEvery = std::chrono::milliseconds(200);
// Carriage return and erase to the end of the line.
constexpr const char* kClearLine = "\r\033[K";

} // namespace

ProgressLine::ProgressLine(const QString& name, bool show)
    : m_name(name.toLocal8Bit()), m_scope(&m_progress) {
    if (show) m_watcher = std::thread([this] { watch(); });
}

ProgressLine::~ProgressLine() {
    if (!m_watcher.joinable()) return;
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_wake.notify_one();
    m_watcher.join();
    if (m_shown) {
        std::fputs(kClearLine, stderr);
        std::fflush(stderr);
    }
}

bool ProgressLine::stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void ProgressLine::watch() {
    const auto started = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    if (m_wake.wait_for(lock, kQuietTime, [this] { return m_finished; })) return;
    do {
        const int passes = m_progress.passes.load(std::memory_order_relaxed);
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count();
        // A routine that walks its rows several times shows which walk it is in.
        if (passes == 0)
            std::fprintf(stderr, "%slumaset-cli: %s (%lld s)", kClearLine, m_name.constData(),
                         (long long)seconds);
        else if (passes == 1)
            std::fprintf(stderr, "%slumaset-cli: %s %d%% (%lld s)", kClearLine, m_name.constData(),
                         m_progress.percent(), (long long)seconds);
        else
            std::fprintf(stderr, "%slumaset-cli: %s pass %d, %d%% (%lld s)", kClearLine,
                         m_name.constData(), passes, m_progress.percent(), (long long)seconds);
        std::fflush(stderr);
        m_shown = true;
    } while (!m_wake.wait_for(lock, kUpdateEvery, [this] { return m_finished; }));
}
