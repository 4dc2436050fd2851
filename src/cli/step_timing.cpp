// SPDX-License-Identifier: GPL-3.0-or-later
// Step times of lumaset-cli --time.
#include "cli/step_timing.h"

#include "core/file_names.h"

#include <cstdio>

namespace {

void printTime(const QString& label, qint64 nanoseconds) {
    // Labels carry file names, printed as the bytes they were given as.
    std::fprintf(stderr, "%s: %.1f ms\n", EncodeFileName(label).constData(), nanoseconds / 1e6);
    std::fflush(stderr);
}

} // namespace

StepTimer::StepTimer(bool enabled) : m_enabled(enabled) {
    m_total.start();
    m_step.start();
}

void StepTimer::start() {
    m_step.restart();
}

void StepTimer::finish(const QString& label) {
    if (m_enabled) printTime(label, m_step.nsecsElapsed());
}

void StepTimer::printTotal() const {
    if (m_enabled) printTime(QStringLiteral("total"), m_total.nsecsElapsed());
}
