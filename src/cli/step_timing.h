// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli --time: one line per step on stderr, and the total.
#pragma once

#include <QElapsedTimer>
#include <QString>

class StepTimer {
  public:
    // Starts the total; prints nothing unless enabled.
    explicit StepTimer(bool enabled);

    // Starts timing one step.
    void start();
    // Prints "LABEL: N.N ms" for the step started last.
    void finish(const QString& label);
    // Prints "total: N.N ms" since construction.
    void printTotal() const;

  private:
    bool m_enabled;
    QElapsedTimer m_total;
    QElapsedTimer m_step;
};
