// SPDX-License-Identifier: GPL-3.0-or-later
// The main frame's file commands, recent files, drops, printing, about box
// and the question before unsaved work would be lost.
#include "document/lumaset_doc.h"
#include "ui/main_frame.h"
#include "view/lumaset_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSessionManager>
#include <QSettings>
#include <QTimer>

namespace {

const QString kRecentGroup = QStringLiteral("Recent File List");

QString documentTitle(const CLumasetDoc& doc) {
    const QString path = doc.GetPathName();
    return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

} // namespace

bool CMainFrame::SaveModified() {
    if (!m_doc.IsModified()) return true;
    switch (prompts().ask(this, QStringLiteral("Save changes to %1?").arg(documentTitle(m_doc)),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return saveDocument();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::saveTo(const QString& path) {
    // A save that showed "Failed to save" failed, whatever else it reports.
    const int failuresBefore = m_host.failedSaves();
    const bool wasModified = m_doc.IsModified();
    const bool saved = m_doc.OnSaveDocument(path) && m_host.failedSaves() == failuresBefore;
    if (saved)
        addRecentFile(path);
    else
        m_doc.SetModifiedFlag(wasModified); // the picture is still unsaved
    updateTitle();
    return saved;
}

bool CMainFrame::saveDocument() {
    if (m_doc.GetPathName().isEmpty()) return saveDocumentAs();
    return saveTo(m_doc.GetPathName());
}

bool CMainFrame::saveDocumentAs() {
    const QString path = prompts().fileName(this, true, m_doc.GetPathName());
    return !path.isEmpty() && saveTo(path);
}

bool CMainFrame::openWithDialog() {
    // The file is chosen first; the question about unsaved work follows.
    const QString path = prompts().fileName(this, false, QFileInfo(m_doc.GetPathName()).path());
    return !path.isEmpty() && openFile(path);
}

bool CMainFrame::openFile(const QString& path) {
    if (!SaveModified()) return false;
    if (!m_doc.OnOpenDocument(path)) {
        // A name that no longer opens leaves the recent-file list.
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (m_recentFiles.removeAll(absolute) > 0) addRecentFile(QString());
        return false;
    }
    addRecentFile(path);
    updateTitle();
    updateCommandStates();
    return true;
}

bool CMainFrame::newFile() {
    return runCommand(57600);
}

void CMainFrame::loadRecentFiles() {
    QSettings settings;
    settings.beginGroup(kRecentGroup);
    m_recentFiles.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty() && !m_recentFiles.contains(path)) m_recentFiles.append(path);
    }
    updateRecentFileMenu();
}

void CMainFrame::addRecentFile(const QString& path) {
    if (!path.isEmpty()) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        m_recentFiles.removeAll(absolute);
        m_recentFiles.prepend(absolute);
    }
    while (m_recentFiles.size() > kRecentFileCount)
        m_recentFiles.removeLast();
    QSettings settings;
    settings.beginGroup(kRecentGroup);
    for (int i = 1; i <= kRecentFileCount; ++i)
        settings.setValue(QStringLiteral("File%1").arg(i), m_recentFiles.value(i - 1));
    updateRecentFileMenu();
}

void CMainFrame::updateRecentFileMenu() {
    if (!m_recentSpot) return;
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    QMenu* menu = qobject_cast<QMenu*>(m_recentSpot->parent());
    if (!menu) return;
    if (m_recentFiles.isEmpty()) {
        auto* none = new QAction(QStringLiteral("Recent File"), menu);
        none->setEnabled(false);
        m_recentActions.append(none);
    }
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        const QString path = m_recentFiles[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path), menu);
        action->setData(kFirstRecentFileId + i);
        connect(action, &QAction::triggered, this, [this, path] { openFile(path); });
        m_recentActions.append(action);
    }
    menu->insertActions(m_recentSpot, m_recentActions);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QString path;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            path = url.toLocalFile();
            break;
        }
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop has ended, so the source is not kept waiting while
    // a question or a message is open.
    QTimer::singleShot(0, this, [this, path] { openFile(path); });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (SaveModified())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::commitData(QSessionManager& manager) {
    if (!m_doc.IsModified()) return;
    if (manager.allowsInteraction()) {
        if (!SaveModified()) manager.cancel();
        manager.release();
    }
}

bool CMainFrame::printTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const int dpi = printer.resolution();
    const QRect page(QPoint(0, 0), printer.pageLayout().paintRectPixels(dpi).size());
    m_view->printPicture(painter, page, dpi);
    return painter.end();
}

void CMainFrame::printWithDialog() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>();
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() == QDialog::Accepted) printTo(*m_printer);
}

void CMainFrame::printPreview() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>();
    QPrintPreviewDialog preview(m_printer.get(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { printTo(*printer); });
    preview.exec();
}

void CMainFrame::pageSetup() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>();
    QPageSetupDialog dialog(m_printer.get(), this);
    dialog.exec();
}

std::unique_ptr<QMessageBox> CMainFrame::makeAboutBox() {
    auto box = std::make_unique<QMessageBox>(this);
    box->setWindowTitle(QStringLiteral("About Lumaset"));
    box->setText(QStringLiteral("Lumaset Version 1.0"));
    box->setIconPixmap(windowIcon().pixmap(48, 48));
    box->setStandardButtons(QMessageBox::Ok);
    return box;
}

void CMainFrame::showAbout() {
    makeAboutBox()->exec();
}
