// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas tool base class, the mapping from window to image pixels, the
// tool table and the registry that owns one instance of every tool.
#pragma once

#include "core/bitmap.h"
#include "tools/tool_host.h"

#include <QCursor>
#include <QPoint>
#include <QString>
#include <QVector>
#include <array>
#include <memory>
#include <span>

// Tool cursors: 142..149 are the program's own pictures (hotspot where the
// tool draws); anything else is the cross-hair.
QCursor LoadCursorResource(int resource);

// A canvas tool. The view hands it the left-button press, every pointer
// motion (button down or not) and the left-button release, with the
// document's current image, the mouse flags (MK_SHIFT, MK_CONTROL,
// MK_XBUTTON1) and the client position; the tool maps the position itself and
// works on the document image or the host's outlines.
class CTool {
  public:
    CTool() = default;
    explicit CTool(ToolHost* host) : m_pHost(host) {}
    CTool(const CTool&) = delete;
    CTool& operator=(const CTool&) = delete;
    virtual ~CTool();

    virtual void OnLButtonDown(Bitmap* image, unsigned flags, int x, int y);
    virtual void OnLButtonUp(Bitmap* image, unsigned flags, int x, int y);
    virtual void OnMouseMove(Bitmap* image, unsigned flags, int x, int y);
    // The cross-hair unless the tool has its own cursor.
    virtual QCursor LoadToolCursor() const { return LoadCursorResource(0); }

    // Sets the host and copies the document's pen width and colours.
    void attach(ToolHost& host);
    bool isPressed() const { return m_bPressed != 0; }
    QPoint startPoint() const { return m_ptStart; }
    QPoint currentPoint() const { return m_ptCurrent; }

  protected:
    // Maps with the host's view values, clamped to the document's current
    // image (not a cached canvas that may lag behind it).
    QPoint ClientToImage(int x, int y, bool centred = false) const;
    // The end of a drag at a release: maps the position into the current
    // point and appends it to the point list; true when a press on this tool
    // began the drag, which is then over (pressed 0, image the argument).
    bool finishDrag(Bitmap* image, int x, int y);
    CLumasetDoc& doc() const;
    ToolHost& host() const { return *m_pHost; }

    QVector<QPoint> m_aPoints;
    Bitmap* m_pImage = nullptr;
    ToolHost* m_pHost = nullptr;
    int m_bPressed = 0;
    QPoint m_ptStart;
    QPoint m_ptCurrent;
    int m_nPenWidth = 1;
    ARGB m_crForeground = 0xFF000000;
    ARGB m_crBackground = 0xFF000000;
};

// One row of the tool table.
struct ToolInfo {
    int type;    // the document's m_nToolType, 1..16
    int command; // the command that selects it; its menu text names the tool
    const char* className;
    std::unique_ptr<CTool> (*make)();
    int cursor; // own cursor resource, 0 for the cross-hair
};

std::span<const ToolInfo> ToolTable();
const ToolInfo* FindToolInfo(int type);
// The tool whose command's text (matched like command names) or number is name.
const ToolInfo* FindToolByName(const QString& name);
// The tool's text, from its command.
QString ToolText(const ToolInfo& info);

// Owns one instance of every tool class, each made on first request.
class ToolRegistry {
  public:
    // The instance for the tool number, attached to host and refreshed from
    // the document's settings; null outside 1..16.
    CTool* GetToolForType(int type, ToolHost& host);

  private:
    std::array<std::unique_ptr<CTool>, 16> m_tools;
};

// The view's side of the tool protocol: press and motion look the tool up
// again from the document's m_nToolType, the release goes to the tool the
// last press or motion looked up, and every release restarts the outline
// timer. Each returns the tool whose cursor the view should show (null when
// there is none yet).
class ToolRouter {
  public:
    explicit ToolRouter(ToolHost& host) : m_host(host) {}
    CTool* press(unsigned flags, QPoint client);
    CTool* move(unsigned flags, QPoint client);
    CTool* release(unsigned flags, QPoint client);
    CTool* current() const { return m_pTool; }
    ToolRegistry& registry() { return m_registry; }

  private:
    ToolHost& m_host;
    ToolRegistry m_registry;
    CTool* m_pTool = nullptr;
};
