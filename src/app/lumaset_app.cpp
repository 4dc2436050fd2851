// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's start-up, in the order the program has always followed.
#include "app/lumaset_app.h"

#include "document/lumaset_doc.h"
#include "document/session_journal.h"
#include "ui/main_frame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>

CLumasetApp::CLumasetApp(const QString& backupFolder, Prompts prompts)
    : m_host(std::move(prompts)), m_backupFolder(backupFolder) {}

// The frame (and with it the view) goes before the document it shows; the
// document's destructor then deletes the backup files.
CLumasetApp::~CLumasetApp() {
    m_frame.reset();
}

void CLumasetApp::SetRegistryKey() {
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumaset"));
}

bool CLumasetApp::OfferRecovery() {
    BackupStore& store = m_doc->backups();
    if (!store.error().isEmpty()) return false;
    // Newest first; each one declined is removed.
    for (const InspectedSession& session : FindRecoverableSessions(store.base(), store.folder())) {
        const QMessageBox::StandardButton answer = m_host.prompts().ask(
            m_frame.get(),
            QStringLiteral("Lumaset closed unexpectedly. Restore the picture and its history?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            RemoveSessionFiles(session.folder);
            continue;
        }
        QString problem;
        const bool restored = m_doc->RestoreSession(session, &problem);
        if (!session.problem.isEmpty())
            problem = session.problem + (problem.isEmpty() ? QString() : "; " + problem);
        if (!problem.isEmpty())
            m_host.showWarning(session.folder + ": " + problem +
                               (restored ? QStringLiteral("; restored step %1 of %2")
                                               .arg(m_doc->GetHistoryPos())
                                               .arg(m_doc->GetHistoryCount())
                                         : QStringLiteral("; nothing could be restored")));
        // The backups now belong to this session's folder; a session with
        // nothing readable is of no more use.
        if (restored || session.kept.steps.empty()) RemoveSessionFiles(session.folder);
        return restored;
    }
    return false;
}

bool CLumasetApp::InitInstance(const QStringList& arguments, bool show) {
    // Qt needs no control, component-library or graphics start-up of its own;
    // what remains is the settings root, the recent files, the one document,
    // frame and view, the command line and the window.
    SetRegistryKey();
    m_doc = std::make_unique<CLumasetDoc>(&m_host, m_backupFolder);
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_host);
    if (!m_frame->OnCreate()) { // loads the recent-file list too
        qCritical("lumaset: the main window's bars could not be created (missing icons?)");
        return false;
    }

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QObject::connect(app, &QGuiApplication::commitDataRequest, m_frame.get(),
                         [this](QSessionManager& manager) { m_frame->commitData(manager); });

    // A recovered session takes the place of the command line's picture.
    // The command line: a file name opens that file, otherwise a new picture.
    // A file that cannot be opened ends the start after its message.
    const QString file = arguments.value(1);
    const bool recovered = OfferRecovery();
    if (!recovered && file.isEmpty()) {
        if (!m_doc->OnNewDocument()) return false;
    } else if (!recovered) {
        if (!m_frame->openFile(file)) return false;
    }

    if (show) {
        // The desktop places the window; it starts at most 1400 x 900 and
        // within the screen.
        const QSize screen = m_frame->screen()->availableSize();
        m_frame->resize(std::min(1400, screen.width() * 9 / 10),
                        std::min(900, screen.height() * 9 / 10));
        m_frame->show();
    }
    return true;
}
