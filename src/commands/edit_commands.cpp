// SPDX-License-Identifier: GPL-3.0-or-later
// The edit and transform commands of the Select and Image menus.
#include "commands/edit_commands.h"

#include "adjust/transforms.h"
#include "commands/run_effect.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"

namespace {

const char* const kCropNeedsSelection = "Please select an area first before you do crop operation!";

} // namespace

CommandResult OnDeleteSelection(EditContext& c, const CommandDef&, const Params&) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    // Scan rectangles that stick out of the image are skipped whole.
    for (const Rect& r : c.selection.GetRegion().GetScans())
        ClearRect(*image, r.X, r.Y, r.Width, r.Height);
    c.doc.RecordChange(false);
    return CommandResult::Done;
}

CommandResult OnFillSelection(EditContext& c, const CommandDef&, const Params&) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    if (c.selection.HasSelection())
        FillOutline(*image, c.selection.GetPath(), c.doc.m_crForeground);
    c.doc.RecordChange(false);
    return CommandResult::Done;
}

CommandResult OnStrokeSelection(EditContext& c, const CommandDef&, const Params&) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    if (c.selection.HasSelection())
        StrokeOutline(*image, c.selection.GetPath(), c.doc.m_crForeground,
                      float(c.doc.m_nPenWidth));
    c.doc.RecordChange(false);
    return CommandResult::Done;
}

CommandResult OnCrop(EditContext& c, const CommandDef& cmd, const Params&) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    // The result has the size of the outline's box, which may reach far
    // beyond the image; an empty box (a line) is refused below.
    const QRectF box = c.selection.HasSelection() ? c.selection.GetPath().boundingRect() : QRectF();
    const qint64 boxWidth = qint64(box.width()), boxHeight = qint64(box.height());
    if (boxWidth > 0 && boxHeight > 0) {
        const CommandResult size = CheckPictureSize(c, cmd, boxWidth, boxHeight);
        if (size != CommandResult::Done) return size;
    }
    std::unique_ptr<Bitmap> cropped =
        c.selection.HasSelection() ? CropToRegion(*image, c.selection) : nullptr;
    if (!cropped) {
        c.host.showMessage(QString::fromLatin1(kCropNeedsSelection));
        return CommandResult::Refused;
    }
    if (!cropped->isValid()) return ReportAllocationFailure(c, cmd, boxWidth, boxHeight);
    // The checkerboard keeps its old size.
    InstallResult(c, std::move(cropped), true);
    c.selection.Reset();
    return CommandResult::Done;
}

// Rotations and flips record a history entry like every other change to the
// pixels, so one Undo takes back exactly one of them.
CommandResult OnRotate(EditContext& c, const CommandDef& cmd, const Params&) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    // Rotate turns clockwise for negative angles: "Rotate 90CCW" passes +90.
    const double degrees = cmd.id == 32789 ? -180.0 : cmd.id == 32790 ? -90.0 : 90.0;
    const bool sideways = cmd.id != 32789;
    const qint64 w = sideways ? image->GetHeight() : image->GetWidth(),
                 h = sideways ? image->GetWidth() : image->GetHeight();
    if (const CommandResult size = CheckPictureSize(c, cmd, w, h); size != CommandResult::Done)
        return size;
    std::unique_ptr<Bitmap> turned = Rotate(*image, degrees);
    if (!turned->isValid()) return ReportAllocationFailure(c, cmd, w, h);
    c.doc.m_background.rotate(degrees);
    InstallResult(c, std::move(turned), true);
    return CommandResult::Done;
}

CommandResult OnFlip(EditContext& c, const CommandDef& cmd, const Params&) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    std::unique_ptr<Bitmap> flipped =
        Flip(*image, cmd.id == 32792 ? FlipAxis::LeftRight : FlipAxis::UpsideDown);
    if (!flipped->isValid()) return CommandResult::Failed;
    InstallResult(c, std::move(flipped), false);
    return CommandResult::Done;
}
