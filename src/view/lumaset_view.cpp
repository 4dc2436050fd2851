// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view: layout, zoom, scrolling, painting, the outline animation,
// and the mouse and keys.
#include "view/lumaset_view.h"

#include "core/selection/selection_commands.h"
#include "document/lumaset_doc.h"
#include "tools/tool.h"
#include "view/canvas_render.h"
#include "view/view_tool_host.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// One notch of a classic wheel; touchpads and fine wheels send fractions.
constexpr int kWheelStep = 120;

// The scroll-bar maximum of a classic scroll bar over total pixels.
int scrollMax(int total) {
    return std::max(total - 1, 0);
}

} // namespace

CLumasetView::CLumasetView(CLumasetDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_doc(doc), m_context{doc, m_selPath, *this},
      m_toolHost(std::make_unique<ViewToolHost>(*this)),
      m_tools(std::make_unique<ToolRouter>(*m_toolHost)) {
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    // Every pixel of the viewport comes from paintEvent.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(kEraseColor));
    viewport()->setPalette(pal);

    m_antsTimer.setInterval(kAntsIntervalMs);
    connect(&m_antsTimer, &QTimer::timeout, this, &CLumasetView::advanceOutline);
    connect(&m_doc, &CLumasetDoc::updated, this, &CLumasetView::onDocumentUpdated);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { onScrollAction(Qt::Horizontal, action); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { onScrollAction(Qt::Vertical, action); });
    layoutCanvas(true);
}

CLumasetView::~CLumasetView() {
    while (m_busyDepth > 0)
        setBusy(false);
}

EditContext& CLumasetView::context() {
    return m_context;
}
SelectionPath& CLumasetView::selection() {
    return m_selPath;
}
SelectionPath& CLumasetView::tempPath() {
    return m_tempPath;
}
double CLumasetView::zoom() const {
    return m_dZoom;
}

void CLumasetView::setZoom(double z) {
    const auto table = ZoomTable();
    if (std::find(table.begin(), table.end(), z) == table.end()) return;
    const bool changed = z != m_dZoom;
    m_dZoom = z;
    if (changed) UpdateCanvasLayout();
    // The panes show the new factor at once when the pointer is over the canvas.
    const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos());
    if (viewport()->rect().contains(pointer)) updateStatusPanes(pointer);
}

void CLumasetView::zoomIn() {
    setZoom(NextZoomIn(m_dZoom));
}
void CLumasetView::zoomOut() {
    setZoom(NextZoomOut(m_dZoom));
}
void CLumasetView::UpdateCanvasLayout() {
    layoutCanvas(true);
}

QSize CLumasetView::imageSize() const {
    const Bitmap* image = m_doc.GetImage();
    return image ? QSize(int(image->GetWidth()), int(image->GetHeight())) : QSize(0, 0);
}

ViewMapping CLumasetView::mapping() const {
    const QSize size = imageSize();
    return {m_dZoom,
            m_nOffsetX,
            m_nOffsetY,
            horizontalScrollBar()->value(),
            verticalScrollBar()->value(),
            size.width(),
            size.height()};
}

QPoint CLumasetView::clientToImage(QPoint client, MapRounding rounding) const {
    const ViewMapping m = mapping();
    return ClampToImage(ClientToImage(client, m, rounding), m);
}

void CLumasetView::layoutCanvas(bool centre) {
    QScopedValueRollback guard(m_inLayout, true);
    const QSize size = imageSize();
    // Showing or hiding a scroll bar changes the client size; a second pass
    // settles on the final one.
    for (int pass = 0; pass < 3; ++pass) {
        const QSize client = viewport()->size();
        m_nOffsetX = CentringOffset(client.width(), size.width(), m_dZoom);
        m_nOffsetY = CentringOffset(client.height(), size.height(), m_dZoom);
        const int totalW = int(size.width() * m_dZoom), totalH = int(size.height() * m_dZoom);
        QScrollBar* h = horizontalScrollBar();
        QScrollBar* v = verticalScrollBar();
        h->setRange(0, std::max(totalW - client.width(), 0));
        v->setRange(0, std::max(totalH - client.height(), 0));
        h->setPageStep(std::max(client.width(), 1));
        v->setPageStep(std::max(client.height(), 1));
        h->setSingleStep(scrollMax(totalW) / 100);
        v->setSingleStep((scrollMax(totalH) + 50) / 100);
        if (centre) {
            h->setValue(m_nOffsetX < 0 ? -m_nOffsetX : 0);
            v->setValue(m_nOffsetY < 0 ? -m_nOffsetY : 0);
        }
        if (viewport()->size() == client) break;
    }
    m_layoutImageSize = size;
    refreshCanvas();
}

void CLumasetView::onScrollAction(Qt::Orientation orientation, int action) {
    // Page steps move a tenth of the whole canvas; the bars' own page step
    // stays the visible size so the thumb shows how much is visible.
    if (action != QAbstractSlider::SliderPageStepAdd &&
        action != QAbstractSlider::SliderPageStepSub)
        return;
    const bool horizontal = orientation == Qt::Horizontal;
    QScrollBar* bar = horizontal ? horizontalScrollBar() : verticalScrollBar();
    const QSize size = imageSize();
    const int m = scrollMax(int((horizontal ? size.width() : size.height()) * m_dZoom));
    const int step = horizontal ? m / 10 : (m + 5) / 10;
    const int sign = action == QAbstractSlider::SliderPageStepAdd ? 1 : -1;
    bar->setSliderPosition(std::clamp(bar->value() + sign * step, bar->minimum(), bar->maximum()));
}

void CLumasetView::resizeEvent(QResizeEvent*) {
    if (!m_inLayout) layoutCanvas(false);
}

void CLumasetView::scrollContentsBy(int, int) {
    refreshCanvas();
}

void CLumasetView::refreshCanvas() {
    m_screenValid = QRegion();
    viewport()->update();
}

void CLumasetView::refreshImageRect(const QRect& imageRect) {
    const QRect client = OutlineTransform(mapping())
                             .mapRect(QRectF(imageRect))
                             .toAlignedRect()
                             .adjusted(-2, -2, 2, 2) &
                         viewport()->rect();
    if (client.isEmpty()) return;
    m_screenValid -= client;
    viewport()->update(client);
}

void CLumasetView::refreshOutline() {
    viewport()->update();
}

void CLumasetView::onDocumentUpdated(bool) {
    // A new size (Open, New, Crop, Resize, Undo) lays the canvas out anew,
    // centred; the zoom stays.
    if (imageSize() != m_layoutImageSize)
        layoutCanvas(true);
    else
        refreshCanvas();
    emit commandStateChanged();
}

void CLumasetView::paintEvent(QPaintEvent* event) {
    const QSize client = viewport()->size();
    if (m_screen.size() != client) {
        m_screen = QImage(client, QImage::Format_RGB32);
        m_screenValid = QRegion();
    }
    const ViewMapping m = mapping();
    const QRegion missing = event->region() - m_screenValid;
    for (const QRect& r : missing)
        ComposeCanvas(m_doc.GetImage(), m, m_screen, r);
    m_screenValid += missing;

    QPainter painter(viewport());
    for (const QRect& r : event->region())
        painter.drawImage(r.topLeft(), m_screen, r);
    syncOutlines();
    m_tempAnts.draw(painter, m_antsPhase);
    m_selAnts.draw(painter, m_antsPhase);
    m_toolHost->paintMarker(painter);
}

void CLumasetView::syncOutlines() {
    const QTransform toClient = OutlineTransform(mapping());
    const QRect visible = viewport()->rect();
    m_tempAnts.update(m_tempPath, toClient, visible, m_dZoom < 1);
    m_selAnts.update(m_selPath, toClient, visible, m_dZoom < 1);
}

void CLumasetView::startOutlineTimer() {
    m_antsTimer.start();
}
void CLumasetView::stopOutlineTimer() {
    m_antsTimer.stop();
}

void CLumasetView::advanceOutline() {
    m_antsPhase = (m_antsPhase + 1) % kAntsPhases;
    // Only the outline's bounds are repainted, from the composed canvas; where
    // the outline was at the last tick is repainted too, so a moved or
    // cancelled outline leaves nothing behind.
    syncOutlines();
    const QRect now = m_selAnts.bounds() & viewport()->rect();
    const QRegion dirty = QRegion(now) + m_antsBounds;
    m_antsBounds = now;
    if (!dirty.isEmpty()) viewport()->update(dirty);
}

void CLumasetView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) return; // horizontal wheels and tilts are ignored
    if ((m_wheelRemainder < 0) != (delta < 0)) m_wheelRemainder = 0;
    m_wheelRemainder += delta;
    const int notches = m_wheelRemainder / kWheelStep;
    if (notches == 0) return;
    m_wheelRemainder -= notches * kWheelStep;

    if (event->modifiers() & Qt::ControlModifier) {
        double z = m_dZoom;
        for (int i = 0; i < std::abs(notches); ++i)
            z = notches > 0 ? NextZoomIn(z) : NextZoomOut(z);
        setZoom(z);
        return;
    }
    const int lines = QApplication::wheelScrollLines();
    const int m = scrollMax(int(imageSize().height() * m_dZoom));
    // Lines per notch times the line step of the vertical bar.
    const int s = std::abs(notches) * lines * ((m + 50) / 100);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (notches > 0 ? -s : s));
}

void CLumasetView::keyPressEvent(QKeyEvent* event) {
    reportLockKeys(*event);
    int dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    case Qt::Key_Delete:
        if (!IsSelectionEmpty()) runCommand(32830);
        event->accept();
        return;
    case Qt::Key_A:
        if (!(event->modifiers() & Qt::ControlModifier)) break;
        runCommand(32794);
        event->accept();
        return;
    case Qt::Key_T:
        // With any modifiers, so Ctrl+T works as the menu shows it.
        runCommand(32780);
        event->accept();
        return;
    default:
        break;
    }
    if (dx != 0 || dy != 0) {
        // Moves the outline only: the image, the history and the scroll
        // position stay.
        const int step = (event->modifiers() & Qt::ShiftModifier) ? 8 : 1;
        if (!IsSelectionEmpty()) TranslateSelection(m_selPath, dx * step, dy * step);
        refreshOutline();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CLumasetView::keyReleaseEvent(QKeyEvent* event) {
    reportLockKeys(*event);
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CLumasetView::reportLockKeys(const QKeyEvent& event) {
    // Qt has no lock-key query; the window system's modifier state in the key
    // event has Caps Lock as the Lock bit (2) and Num Lock as Mod2 (16).
    const quint32 native = event.nativeModifiers();
    const int keys = ((native & 0x2) ? 1 : 0) | ((native & 0x10) ? 2 : 0);
    if (keys == m_lockKeys) return;
    m_lockKeys = keys;
    emit lockKeysChanged(keys & 1, keys & 2);
}

void CLumasetView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        routeToTool(ToolEvent::Press, event->modifiers(), event->position().toPoint());
}

void CLumasetView::mouseMoveEvent(QMouseEvent* event) {
    routeToTool(ToolEvent::Move, event->modifiers(), event->position().toPoint());
}

void CLumasetView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        routeToTool(ToolEvent::Release, event->modifiers(), event->position().toPoint());
}

// The second press of a double click reaches no tool; the release after it does.
void CLumasetView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void CLumasetView::routeToTool(ToolEvent kind, Qt::KeyboardModifiers modifiers, QPoint client) {
    // The tools take the button messages' flags.
    unsigned flags = 0;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    if (QGuiApplication::mouseButtons() & Qt::XButton1) flags |= MK_XBUTTON1;
    switch (kind) {
    case ToolEvent::Press:
        m_bMouseDown = true;
        m_toolHost->clearMarker();
        m_tools->press(flags, client);
        updateCursor();
        break;
    case ToolEvent::Move:
        updateCursor();
        updateStatusPanes(client);
        m_tools->move(flags, client);
        break;
    case ToolEvent::Release:
        // The release goes to the tool the last press or motion looked up,
        // and restarts the outline timer.
        m_bMouseDown = false;
        m_tools->release(flags, client);
        updateCursor();
        emit commandStateChanged();
        break;
    }
}

void CLumasetView::updateStatusPanes(QPoint client) {
    const ViewMapping m = mapping();
    emit paneTextChanged(kZoomPane, ZoomPaneText(client, m_dZoom));
    emit paneTextChanged(kScrollPane, ScrollPaneText(m.scrollX, m.scrollY));
    emit paneTextChanged(kPositionPane,
                         PositionPaneText(ClientToImage(client, m, MapRounding::Centred)));
}

void CLumasetView::setCursorProvider(CursorProvider provider) {
    m_cursorProvider = std::move(provider);
    m_cursorTool = 0;
    updateCursor();
}

void CLumasetView::updateCursor() {
    const int tool = m_doc.m_nToolType;
    if (tool == m_cursorTool) return;
    m_cursorTool = tool;
    const ToolInfo* info = FindToolInfo(tool);
    viewport()->setCursor(m_cursorProvider ? m_cursorProvider(tool)
                                           : LoadCursorResource(info ? info->cursor : 0));
}
