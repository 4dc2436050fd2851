// SPDX-License-Identifier: GPL-3.0-or-later
// The calling thread's row progress.
#include "core/progress.h"

#include <algorithm>

namespace {
thread_local RowProgress* t_progress = nullptr;
} // namespace

int RowProgress::percent() const {
    const long long total = passRows.load(std::memory_order_relaxed);
    const long long done = doneRows.load(std::memory_order_relaxed);
    if (total <= 0) return 0;
    return int(std::clamp(done * 100 / total, 0LL, 100LL));
}

RowProgress* StartProgressPass(long long rows) {
    RowProgress* progress = t_progress;
    if (!progress) return nullptr;
    progress->doneRows.store(0, std::memory_order_relaxed);
    progress->passRows.store(rows, std::memory_order_relaxed);
    progress->passes.fetch_add(1, std::memory_order_relaxed);
    return progress;
}

ProgressScope::ProgressScope(RowProgress* progress) : m_previous(t_progress) {
    t_progress = progress;
}

ProgressScope::~ProgressScope() {
    t_progress = m_previous;
}
