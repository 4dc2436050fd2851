// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view as the commands' host (messages, questions, busy cursor,
// dialogs), its context menu, drops on the canvas, and the printed picture.
#include "view/lumaset_view.h"

#include "document/lumaset_doc.h"
#include "view/canvas_render.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("Lumaset");
// Screen pixels per inch a printed picture keeps its screen size at.
constexpr int kScreenDpi = 96;

} // namespace

int CLumasetView::execMessageBox(QMessageBox& box) {
    return box.exec();
}

void CLumasetView::showMessage(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, window());
    box.setInformativeText(detail);
    execMessageBox(box);
}

void CLumasetView::showWarning(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, window());
    execMessageBox(box);
}

bool CLumasetView::confirm(const QString& question) {
    QMessageBox box(QMessageBox::Question, kTitle, question, QMessageBox::Yes | QMessageBox::No,
                    window());
    box.setDefaultButton(QMessageBox::Yes);
    return execMessageBox(box) == QMessageBox::Yes;
}

void CLumasetView::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void CLumasetView::setDialogRunner(DialogRunner runner) {
    m_dialogRunner = std::move(runner);
}

std::optional<Params> CLumasetView::runDialog(const CommandDef& command, EditContext& context,
                                              const Params& values) {
    if (!m_dialogRunner) return std::nullopt;
    return m_dialogRunner(command, context, values);
}

void CLumasetView::runCommand(int id) {
    ExecuteCommand(m_context, id);
    // Selection commands change only the outline, which the document does not
    // announce; repaint and let the menus re-ask their enable rules.
    refreshOutline();
    emit commandStateChanged();
}

void CLumasetView::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu opens just inside the canvas's top-left corner.
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
                          ? viewport()->mapToGlobal(QPoint(5, 5))
                          : event->globalPos();
    QMenu menu(window());
    for (int id : {32863, 32864, 32865}) {
        const CommandDef* command = FindCommand(id);
        if (!command) continue;
        QAction* action = menu.addAction(QString::fromUtf8(command->text));
        action->setData(id);
        action->setEnabled(IsCommandEnabled(*command, m_context));
    }
    if (QAction* chosen = menu.exec(at)) runCommand(chosen->data().toInt());
    event->accept();
}

void CLumasetView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CLumasetView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CLumasetView::dropEvent(QDropEvent* event) {
    // Files dropped on the canvas are only acknowledged, once per drop, never
    // opened. The message waits until the drop has returned so the program
    // the files came from is not kept waiting.
    if (event->mimeData()->urls().isEmpty()) return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this] { showMessage(QStringLiteral("Thanks for dropping file!")); },
        Qt::QueuedConnection);
}

void CLumasetView::printPicture(QPainter& painter, const QRect& page, int printerDpi) {
    const Bitmap* image = m_doc.GetImage();
    if (!image || !image->isValid() || page.isEmpty() || printerDpi <= 0) return;
    // Screen size on paper, 96 pixels to the inch, shrunk to the page if larger.
    const double w = image->GetWidth() * double(printerDpi) / kScreenDpi;
    const double h = image->GetHeight() * double(printerDpi) / kScreenDpi;
    const double scale = std::min({1.0, page.width() / w, page.height() / h});
    const QRectF target(page.topLeft(), QSizeF(w * scale, h * scale));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, ComposeWholeImage(*image));
    painter.restore();
}
