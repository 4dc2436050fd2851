// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine asks of whoever runs it: the editor answers with message
// boxes and dialogs, lumaset-cli with stderr and KEY=VALUE parameters.
#pragma once

#include <QString>

class Host {
  public:
    virtual ~Host() = default;
    // A message the user must see, with the program's fixed text (for example
    // "Failed to save"); detail names the file or value and the reason, if any.
    virtual void showMessage(const QString& text, const QString& detail = {}) = 0;
    // A warning that does not stop the work (a picture opened damaged).
    virtual void showWarning(const QString& text) = 0;
    // A yes/no question; true for yes.
    virtual bool confirm(const QString& question) = 0;
    // Shows or hides the busy cursor around long work.
    virtual void setBusy(bool busy) { (void)busy; }
};
