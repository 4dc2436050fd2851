// SPDX-License-Identifier: GPL-3.0-or-later
// Painting, hover tracking and scrolling of the owner-drawn list.
#include "ui/gallery/list_window.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// A point outside every item: leaving the window tests it to turn all items cold.
constexpr QPoint kNowhere(-2008, -2008);
// Wheel angle of one notch, in eighths of a degree.
constexpr int kWheelNotch = 120;

} // namespace

FCListWindow::FCListWindow(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setMouseTracking(true);
    // Every paint covers its whole area, so Qt need not clear it first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(kLineStep);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(action); });
}

FCListWindow::~FCListWindow() = default;

FCListItem_Base* FCListWindow::HitTest(const QPoint& listPoint) const {
    for (const auto& item : m_items)
        if (item->m_rcItem.contains(listPoint)) return item.get();
    return nullptr;
}

QPoint FCListWindow::ToListPoint(const QPoint& viewportPoint) const {
    return viewportPoint + QPoint(0, verticalScrollBar()->value());
}

int FCListWindow::PageStep() const {
    return m_items.empty() ? kLineStep : m_items.front()->m_rcItem.height();
}

void FCListWindow::RelayoutItems() {
    if (!m_layout) return;
    m_rcExtent = m_layout->LayoutItems(m_items, viewport()->width());
    QScrollBar* bar = verticalScrollBar();
    // The bar's own page is the visible height, which sizes its thumb; page
    // clicks are turned into item-height steps in OnScrollAction.
    bar->setPageStep(std::max(1, viewport()->height()));
    bar->setRange(0, std::max(0, ExtentHeight() - viewport()->height()));
    viewport()->update();
}

void FCListWindow::OnScrollAction(int action) {
    QScrollBar* bar = verticalScrollBar();
    if (action == QAbstractSlider::SliderPageStepAdd)
        bar->setSliderPosition(std::min(bar->maximum(), bar->value() + PageStep()));
    else if (action == QAbstractSlider::SliderPageStepSub)
        bar->setSliderPosition(std::max(bar->minimum(), bar->value() - PageStep()));
}

void FCListWindow::paintEvent(QPaintEvent* event) {
    if (!m_bPainted) {
        m_bPainted = true;
        OnFirstPaint();
    }
    // Qt's backing store is the off-screen buffer: everything below reaches
    // the screen in one transfer after the paint event.
    QPainter painter(viewport());
    painter.fillRect(event->rect(), Qt::white);
    const int top = verticalScrollBar()->value();
    for (const auto& item : m_items) {
        const QRect rect = item->m_rcItem.translated(0, -top);
        if (rect.intersects(event->rect())) item->DrawItem(painter, rect);
    }
}

void FCListWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    RelayoutItems();
}

void FCListWindow::UpdateHotItems(const QPoint& listPoint) {
    const int top = verticalScrollBar()->value();
    for (const auto& item : m_items) {
        const bool over = item->m_rcItem.contains(listPoint);
        if (over != item->m_bHot) {
            item->m_bHot = over;
            viewport()->update(item->m_rcItem.translated(0, -top));
        }
    }
}

void FCListWindow::mouseMoveEvent(QMouseEvent* event) {
    UpdateHotItems(ToListPoint(event->position().toPoint()));
}

void FCListWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    viewport()->update();
    OnLButtonDown(ToListPoint(event->position().toPoint()));
}

void FCListWindow::wheelEvent(QWheelEvent* event) {
    // One page per notch; a touchpad's small steps add up to notches.
    m_nWheelRemainder += event->angleDelta().y();
    QScrollBar* bar = verticalScrollBar();
    while (m_nWheelRemainder >= kWheelNotch) {
        m_nWheelRemainder -= kWheelNotch;
        bar->setValue(bar->value() - PageStep());
    }
    while (m_nWheelRemainder <= -kWheelNotch) {
        m_nWheelRemainder += kWheelNotch;
        bar->setValue(bar->value() + PageStep());
    }
    // The content moved under the pointer: the hot item follows it.
    UpdateHotItems(ToListPoint(event->position().toPoint()));
    event->accept();
}

bool FCListWindow::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        StartMouseTracking();
        viewport()->update();
        break;
    case QEvent::Leave:
        EndMouseTracking();
        UpdateHotItems(kNowhere);
        viewport()->update();
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
