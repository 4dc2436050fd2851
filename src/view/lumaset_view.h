// SPDX-License-Identifier: GPL-3.0-or-later
// CLumasetView: the canvas widget that shows the document image over its
// checkerboard, zooms and scrolls it, animates the selection outline, turns
// the mouse and keys into tool and command calls, and hosts the commands.
#pragma once

#include "commands/command.h"
#include "core/selection/selection_path.h"
#include "tools/view_mapping.h"
#include "view/canvas_render.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class CLumasetDoc;
class ToolRouter;
class ViewToolHost;
class QMessageBox;
class QPainter;
class QRect;

class CLumasetView : public QAbstractScrollArea, public CommandHost {
    Q_OBJECT
  public:
    // The timer that animates the selection outline, and its period.
    static constexpr int ID_ANTS_TIMER = 100;
    static constexpr int kAntsIntervalMs = 50;
    // Status-bar panes the view writes.
    static constexpr int kZoomPane = 101;
    static constexpr int kScrollPane = 102;
    static constexpr int kPositionPane = 103;

    explicit CLumasetView(CLumasetDoc& doc, QWidget* parent = nullptr);
    ~CLumasetView() override;

    // The document, the selection outline and this view as the command host.
    EditContext& context();
    CLumasetDoc& document() { return m_doc; }
    // The selection outline in image pixels.
    SelectionPath& selection();
    // The preview outline a tool drags (the rubber band), image pixels.
    SelectionPath& tempPath();
    bool IsSelectionEmpty() const { return m_selPath.IsEmpty(); }

    // The zoom factor, a ZoomTable entry; setZoom re-lays out the canvas and
    // scrolls a zoomed image larger than the window to its centre. A factor
    // outside the table is ignored.
    double zoom() const;
    void setZoom(double z);
    void zoomIn();
    void zoomOut();
    // Recomputes the offsets and scroll ranges for the current image and zoom
    // and centres the scroll position.
    void UpdateCanvasLayout();

    // The values that map client points to image pixels, as they are now:
    // zoom, centring offsets, the scroll bars' positions, the image's size.
    ViewMapping mapping() const;
    // The image pixel under a client point, clamped into the current image.
    QPoint clientToImage(QPoint client, MapRounding rounding = MapRounding::Button) const;

    // The image's pixels changed: recompose and repaint.
    void refreshCanvas();
    // Image pixels inside imageRect changed (a tool drew): recompose and
    // repaint only the part of the view that shows them.
    void refreshImageRect(const QRect& imageRect);
    // What the tools reach the view through; the frame sets its text dialog
    // and colour listener here.
    ViewToolHost& toolHost() { return *m_toolHost; }
    // Only an outline changed: repaint without recomposing the image.
    void refreshOutline();
    void stopOutlineTimer();
    // One step of the outline animation, as the timer runs it every 50 ms:
    // the dashes move on and the outline's bounds are repainted.
    void advanceOutline();
    bool isOutlineTimerActive() const { return m_antsTimer.isActive(); }

    // The cursor shown for a tool number (1..16); without one, the tool's own.
    using CursorProvider = std::function<QCursor(int toolType)>;
    void setCursorProvider(CursorProvider provider);

    // Runs command dialogs; set by the frame once the dialogs exist. Without
    // one, runDialog answers Cancel.
    using DialogRunner =
        std::function<std::optional<Params>(const CommandDef&, EditContext&, const Params&)>;
    void setDialogRunner(DialogRunner runner);

    // Draws the picture for printing: screen size at 96 px/inch, scaled down
    // to fit page (device pixels) keeping the aspect ratio.
    void printPicture(QPainter& painter, const QRect& page, int printerDpi);

    // CommandHost
    void showMessage(const QString& text, const QString& detail = {}) override;
    void showWarning(const QString& text) override;
    bool confirm(const QString& question) override;
    void setBusy(bool busy) override;
    std::optional<Params> runDialog(const CommandDef& command, EditContext& context,
                                    const Params& values) override;
    void startOutlineTimer() override;

  signals:
    // Status-bar pane texts: 101 pointer and zoom, 102 scroll position,
    // 103 image pixel under the pointer.
    void paneTextChanged(int paneId, const QString& text);
    // Selection, history, tool or document changed: menus re-ask enable rules.
    void commandStateChanged();
    void lockKeysChanged(bool capsLock, bool numLock);

  protected:
    // Shows a message box and returns the button pressed; tests override it.
    virtual int execMessageBox(QMessageBox& box);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    enum class ToolEvent { Press, Move, Release };
    // The one road from the mouse to the current tool.
    void routeToTool(ToolEvent kind, Qt::KeyboardModifiers modifiers, QPoint client);
    void layoutCanvas(bool centre);
    void onDocumentUpdated(bool erase);
    void syncOutlines();
    void updateStatusPanes(QPoint client);
    void updateCursor();
    void reportLockKeys(const QKeyEvent& event);
    void runCommand(int id);
    void onScrollAction(Qt::Orientation orientation, int action);
    QSize imageSize() const;

    CLumasetDoc& m_doc;
    SelectionPath m_selPath;
    SelectionPath m_tempPath;
    EditContext m_context;
    double m_dZoom = 1.0;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    bool m_bMouseDown = false;
    QSize m_layoutImageSize;
    bool m_inLayout = false;
    int m_wheelRemainder = 0;

    QImage m_screen;       // the composed canvas, client-sized, outlines excluded
    QRegion m_screenValid; // the part of m_screen that is up to date
    QTimer m_antsTimer;
    int m_antsPhase = 2;
    QRect m_antsBounds; // where the outline was drawn at the last tick
    AntsOutline m_selAnts;
    AntsOutline m_tempAnts;

    int m_cursorTool = 0;
    CursorProvider m_cursorProvider;
    DialogRunner m_dialogRunner;
    int m_busyDepth = 0;
    int m_lockKeys = -1; // bit 0 Caps Lock, bit 1 Num Lock; -1 not known yet
    std::unique_ptr<ViewToolHost> m_toolHost;
    std::unique_ptr<ToolRouter> m_tools; // owns the tool instances
};
