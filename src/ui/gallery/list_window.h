// SPDX-License-Identifier: GPL-3.0-or-later
// A reusable owner-drawn, vertically scrolling list of items placed by a
// layout object, with hover highlighting that follows the mouse.
#pragma once

#include <QAbstractScrollArea>
#include <QRect>
#include <memory>
#include <vector>

class QPainter;

// One entry of an FCListWindow: its rectangle in list coordinates (the whole
// content, unscrolled) and whether the mouse is over it.
class FCListItem_Base {
  public:
    virtual ~FCListItem_Base() = default;

    // Draws the item into rect, its rectangle shifted by the scroll position.
    virtual void DrawItem(QPainter& painter, const QRect& rect) const = 0;

    QRect m_rcItem;
    bool m_bHot = false;
};

// Places the items of a list for a client width.
class FCLayout_HandlerBase {
  public:
    virtual ~FCLayout_HandlerBase() = default;
    // Sets every item's rectangle; returns the union of them, the list's
    // scrollable extent.
    virtual QRect LayoutItems(const std::vector<std::unique_ptr<FCListItem_Base>>& items,
                              int clientWidth) = 0;
};

// Tracks whether the mouse is inside a window, so that leaving it can turn
// every hover highlight off.
class FCTrackMouseHover {
  public:
    bool IsMouseTracking() const { return m_bTracking; }

  protected:
    void StartMouseTracking() { m_bTracking = true; }
    void EndMouseTracking() { m_bTracking = false; }

  private:
    bool m_bTracking = false;
};

class FCListWindow : public QAbstractScrollArea, public FCTrackMouseHover {
    Q_OBJECT
  public:
    // Scroll steps: a scroll-bar line moves 5 pixels; a page, and one notch of
    // the wheel, move by the height of the first item.
    static constexpr int kLineStep = 5;

    explicit FCListWindow(QWidget* parent = nullptr);
    ~FCListWindow() override;

    const std::vector<std::unique_ptr<FCListItem_Base>>& items() const { return m_items; }
    // The first item whose rectangle holds point (list coordinates), or null.
    FCListItem_Base* HitTest(const QPoint& listPoint) const;
    // Converts a point of the visible area to list coordinates.
    QPoint ToListPoint(const QPoint& viewportPoint) const;
    // The scrolled content's height, the union of the item rectangles.
    int ExtentHeight() const { return m_rcExtent.bottom() + 1; }
    int PageStep() const;

    // Places the items again at the current width and updates the scroll bar.
    void RelayoutItems();

  protected:
    void AddItem(std::unique_ptr<FCListItem_Base> item) { m_items.push_back(std::move(item)); }
    void SetLayoutHandler(std::unique_ptr<FCLayout_HandlerBase> layout) {
        m_layout = std::move(layout);
    }

    // A left click at a point in list coordinates, after the list took the focus.
    virtual void OnLButtonDown(const QPoint& listPoint) { (void)listPoint; }
    // Before the first paint of the list's lifetime.
    virtual void OnFirstPaint() {}

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;

  private:
    // Turns hot the items under listPoint and cold the others, repainting
    // each one that changed.
    void UpdateHotItems(const QPoint& listPoint);
    void OnScrollAction(int action);

    std::vector<std::unique_ptr<FCListItem_Base>> m_items;
    std::unique_ptr<FCLayout_HandlerBase> m_layout;
    QRect m_rcExtent;
    int m_nWheelRemainder = 0; // wheel angle not yet turned into a page step
    bool m_bPainted = false;
};
