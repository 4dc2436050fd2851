// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas view as the tools' host: it hands the tools the view's mapping,
// outlines, timer and repaints, and passes on what needs a window (the text
// dialog, the colour shown under the pointer, the clone-stamp marker).
#pragma once

#include "tools/tool_host.h"

#include <QRect>
#include <functional>

class CLumasetView;
class QPainter;

class ViewToolHost : public ToolHost {
  public:
    explicit ViewToolHost(CLumasetView& view) : m_view(view) {}

    CLumasetDoc& document() override;
    ViewMapping mapping() const override;
    SelectionPath& selection() override;
    SelectionPath& tempPath() override;
    void startOutlineTimer() override;
    void killOutlineTimer() override;
    void invalidate(const QRect& imageRect, bool erase) override;
    void pushBackup() override;
    void setZoom(double zoom) override;
    bool openTextDialog(QPoint imagePoint) override;
    ARGB renderedColorAt(QPoint client) override;
    void foregroundPicked(ARGB color) override;
    void drawCloneMarker(const QRect& clientRect) override;

    // The text dialog for an image point: draws the text into the document
    // image and returns true on OK. Set by whoever owns the dialogs; without
    // one a text-tool click does nothing.
    using TextDialogRunner = std::function<bool(QPoint imagePoint)>;
    void setTextDialogRunner(TextDialogRunner runner) { m_textDialog = std::move(runner); }
    // Told of a colour the colour picker took (the option bar's swatch).
    using ColourListener = std::function<void(ARGB color)>;
    void setForegroundListener(ColourListener listener) { m_foreground = std::move(listener); }

    // The clone stamp's marker, shown until the pointer moves on.
    void paintMarker(QPainter& painter) const;
    void clearMarker();

  private:
    CLumasetView& m_view;
    TextDialogRunner m_textDialog;
    ColourListener m_foreground;
    QRect m_marker;
};
