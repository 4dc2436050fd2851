// SPDX-License-Identifier: GPL-3.0-or-later
// CLumasetApp: starts the editor with one document, one main frame and one
// canvas view for the whole run, and opens the file named on the command line.
#pragma once

#include "ui/prompts.h"

#include <QString>
#include <QStringList>
#include <memory>

class CLumasetDoc;
class CMainFrame;

class CLumasetApp {
  public:
    // backupFolder overrides where the undo backups go (empty: the default);
    // prompts replace the message boxes and dialogs (tests answer them).
    explicit CLumasetApp(const QString& backupFolder = {}, Prompts prompts = DefaultPrompts());
    ~CLumasetApp();

    // Starts up with the program's arguments (the first is the program);
    // false when the program must end, after the message of what failed.
    // The window is shown when show is set.
    bool InitInstance(const QStringList& arguments, bool show = true);

    CLumasetDoc& document() { return *m_doc; }
    CMainFrame& frame() { return *m_frame; }

    // The settings root the recent-file list lives under.
    static void SetRegistryKey();
    // Asks, for each session a crash left, whether to restore it; true when
    // one became the document.
    bool OfferRecovery();

  private:
    MessageHost m_host;
    QString m_backupFolder;
    std::unique_ptr<CLumasetDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};
