// SPDX-License-Identifier: GPL-3.0-or-later
// The tool host of gestures given as text (lumaset-cli's --gesture, recipe
// steps): a view at zoom 1 without margins or scrolling, so gesture points are
// image pixels, that never paints but can say what it would show under a point.
#pragma once

#include "core/selection/selection_path.h"
#include "tools/tool.h"

#include <QString>

class CLumasetDoc;

class OffscreenToolHost : public ToolHost {
  public:
    OffscreenToolHost(CLumasetDoc& doc, SelectionPath& selection)
        : m_doc(doc), m_selection(selection) {}

    CLumasetDoc& document() override { return m_doc; }
    ViewMapping mapping() const override { return {}; }
    SelectionPath& selection() override { return m_selection; }
    SelectionPath& tempPath() override { return m_tempPath; }
    void startOutlineTimer() override {}
    void killOutlineTimer() override {}
    void invalidate(const QRect&, bool) override {}
    // Zoom steps have nothing to show here; gestures stay at zoom 1.
    void setZoom(double) override {}
    // What the view shows at zoom 1: the erase colour around the picture, the
    // checkerboard under it, the picture, and the dashes of the preview and
    // selection outlines as the first paint draws them.
    ARGB renderedColorAt(QPoint client) override;

    // Runs "TOOL:[MODS:]X,Y;X,Y;...": selects the tool, presses at the first
    // point, moves to every later one and releases at the last. A history
    // entry the gesture makes remembers it as a --gesture step, with the
    // drawing settings and the selection it started from. Returns an error
    // message naming the bad part, or an empty string.
    QString runGesture(const QString& spec);
    // The error runGesture would give for spec's syntax, without running it.
    static QString checkGesture(const QString& spec);

  private:
    CLumasetDoc& m_doc;
    SelectionPath& m_selection;
    SelectionPath m_tempPath;
    ToolRouter m_router{*this};
};
