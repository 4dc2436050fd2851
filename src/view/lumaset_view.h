// SPDX-License-Identifier: GPL-3.0-or-later
// CLumasetView: the canvas widget that shows the document image over its
// checkerboard, zooms and scrolls it, animates the selection outline, turns
// the mouse and keys into tool and command calls, and hosts the commands.
#pragma once

#include "commands/command.h"
#include "core/selection/selection_path.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <span>

class CLumasetDoc;
class QPainter;
class QRect;

// The zoom factors the view steps through, smallest first.
std::span<const double> ZoomTable();
// The next larger (smaller) table entry after z; the largest (smallest) entry
// stays where it is.
double NextZoomIn(double z);
double NextZoomOut(double z);

class CLumasetView : public QAbstractScrollArea, public CommandHost {
    Q_OBJECT
public:
    explicit CLumasetView(CLumasetDoc& doc, QWidget* parent = nullptr);
    ~CLumasetView() override;

    // The document, the selection outline and this view as the command host.
    EditContext& context();
    CLumasetDoc& document() { return m_doc; }
    // The selection outline in image pixels.
    SelectionPath& selection();
    // The preview outline a tool drags (the rubber band), image pixels.
    SelectionPath& tempPath();

    // The zoom factor, a ZoomTable entry; setZoom re-lays out the canvas.
    double zoom() const;
    void setZoom(double z);
    void zoomIn();
    void zoomOut();

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
    // Status-bar pane texts: 101 zoom, 102 image size, 103 pointer position.
    void paneTextChanged(int paneId, const QString& text);
    // Selection, history, tool or document changed: menus re-ask enable rules.
    void commandStateChanged();
    void lockKeysChanged(bool capsLock, bool numLock);

private:
    CLumasetDoc& m_doc;
    SelectionPath m_selPath;
    SelectionPath m_tempPath;
    EditContext m_context;
    double m_zoom = 1.0;
    DialogRunner m_dialogRunner;
};
