// SPDX-License-Identifier: GPL-3.0-or-later
// Progress of a long routine, counted in rows by the row splitters.
#pragma once

#include <atomic>

// Where the row splitters of core/pixel_loop.h count the rows a routine has
// finished. Whoever wants to watch a routine installs one with ProgressScope
// on the thread that runs it and reads it from another thread; routines
// themselves report nothing. A routine may walk its rows several times (a
// blur, then a blend); each walk is one pass and starts the row count anew.
struct RowProgress {
    std::atomic<int> passes{0};         // row walks started so far
    std::atomic<long long> passRows{0}; // rows of the latest walk
    std::atomic<long long> doneRows{0}; // rows of the latest walk finished

    // The latest walk's share done in per cent, 0..100.
    int percent() const;
};

// Adds finished rows to a watched RowProgress; does nothing without one.
class RowCounter {
  public:
    explicit RowCounter(RowProgress* progress) : m_progress(progress) {}
    void add(long long rows) const {
        if (m_progress) m_progress->doneRows.fetch_add(rows, std::memory_order_relaxed);
    }

  private:
    RowProgress* m_progress;
};

// Starts a walk of rows rows on the calling thread's RowProgress; returns it,
// or null when nobody watches (the walk then reports nothing).
RowProgress* StartProgressPass(long long rows);

// Makes progress the calling thread's RowProgress for the scope's lifetime.
class ProgressScope {
  public:
    explicit ProgressScope(RowProgress* progress);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

  private:
    RowProgress* m_previous;
};
