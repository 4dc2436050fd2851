// SPDX-License-Identifier: GPL-3.0-or-later
// A tool host over an in-memory document, recording what the tools ask of
// the view, and gesture helpers that drive the tools through the router.
#pragma once

#include "core/selection/selection_path.h"
#include "document/host.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"
#include "tools/tool.h"

#include <QPoint>
#include <QRect>
#include <QStringList>
#include <initializer_list>

// Sets one pixel from 0xAARRGGBB (alpha dropped on a 24-bit image).
void SetPixel(Bitmap& image, int x, int y, ARGB c);

class TestToolHost : public ToolHost, public Host {
  public:
    // A document holding a width x height image of one colour.
    TestToolHost(int width, int height, PixelFormat format = PixelFormat32bppARGB,
                 ARGB fill = 0xFFFFFFFF);

    CLumasetDoc& document() override { return doc; }
    ViewMapping mapping() const override { return view; }
    SelectionPath& selection() override { return sel; }
    SelectionPath& tempPath() override { return temp; }
    void startOutlineTimer() override { ++timerStarts; }
    void killOutlineTimer() override { ++timerKills; }
    void invalidate(const QRect& imageRect, bool erase) override {
        ++invalidations;
        dirty |= imageRect.isNull() ? QRect(-1, -1, 1, 1) : imageRect;
        erased = erased || erase;
    }
    void setZoom(double zoom) override { view.zoom = zoom; }
    bool openTextDialog(QPoint imagePoint) override {
        textPoint = imagePoint;
        return textAccepted;
    }
    ARGB renderedColorAt(QPoint) override { return shown; }
    void drawCloneMarker(const QRect& clientRect) override { marker = clientRect; }

    void showMessage(const QString& text, const QString&) override { messages << text; }
    void showWarning(const QString& text) override { messages << text; }
    bool confirm(const QString&) override { return false; }

    // Selects the tool, presses at the first point, moves through the others
    // and releases at the last (a single point is a click), in client pixels.
    void gesture(int tool, std::initializer_list<QPoint> points, unsigned flags = 0);
    void gesture(int tool, const QVector<QPoint>& points, unsigned flags = 0);

    Bitmap& image() { return *doc.GetImage(); }
    ARGB pixel(int x, int y) {
        ARGB c = 0;
        image().GetPixel(x, y, &c);
        return c;
    }
    int steps() const { return doc.GetHistoryCount(); }

    TempDir backups;
    CLumasetDoc doc;
    SelectionPath sel, temp;
    ViewMapping view;
    ToolRouter router{*this};
    int timerStarts = 0, timerKills = 0, invalidations = 0;
    QRect dirty, marker;
    bool erased = false, textAccepted = false;
    QPoint textPoint{-1, -1};
    ARGB shown = 0xFF808080;
    QStringList messages;
};
