// SPDX-License-Identifier: GPL-3.0-or-later
// The edit and transform commands of the Select and Image menus.
#include "commands/edit_commands.h"

#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"
#include "commands/run_effect.h"
#include "adjust/transforms.h"

namespace {

const char* const kCropNeedsSelection = "Please select an area first before you do crop operation!";

// Records the history entry of a change made in place and repaints.
CommandResult recordInPlaceChange(EditContext& c) {
    c.doc.PushBackup(false);
    c.host.invalidate(false);
    return CommandResult::Done;
}

// Adopts a transformed image and its size; no history entry, no modified flag.
void adoptTransformed(EditContext& c, std::unique_ptr<Bitmap> image) {
    c.doc.m_nWidth = int(image->GetWidth());
    c.doc.m_nHeight = int(image->GetHeight());
    c.doc.SetImage(std::move(image));
}

} // namespace

CommandResult OnDeleteSelection(EditContext& c, const CommandDef&, const Params&) {
    if (!c.doc.m_pImage) return CommandResult::Failed;
    // Scan rectangles that stick out of the image are skipped whole.
    for (const Rect& r : c.selection.GetRegion().GetScans()) ClearRect(*c.doc.m_pImage, r.X, r.Y, r.Width, r.Height);
    return recordInPlaceChange(c);
}

CommandResult OnFillSelection(EditContext& c, const CommandDef&, const Params&) {
    if (!c.doc.m_pImage) return CommandResult::Failed;
    if (c.selection.HasSelection()) FillOutline(*c.doc.m_pImage, c.selection.GetPath(), c.doc.m_crForeground);
    return recordInPlaceChange(c);
}

CommandResult OnStrokeSelection(EditContext& c, const CommandDef&, const Params&) {
    if (!c.doc.m_pImage) return CommandResult::Failed;
    if (c.selection.HasSelection())
        StrokeOutline(*c.doc.m_pImage, c.selection.GetPath(), c.doc.m_crForeground, float(c.doc.m_nPenWidth));
    return recordInPlaceChange(c);
}

CommandResult OnCrop(EditContext& c, const CommandDef&, const Params&) {
    if (!c.doc.m_pImage) return CommandResult::Failed;
    // An outline whose box is empty (a line) would make an image of no pixels.
    std::unique_ptr<Bitmap> cropped = c.selection.HasSelection() ? CropToRegion(*c.doc.m_pImage, c.selection) : nullptr;
    if (!cropped) {
        c.host.showMessage(QString::fromLatin1(kCropNeedsSelection));
        return CommandResult::Refused;
    }
    if (!cropped->isValid()) return CommandResult::Failed;
    // The checkerboard keeps its old size.
    c.doc.m_nWidth = int(cropped->GetWidth());
    c.doc.m_nHeight = int(cropped->GetHeight());
    InstallResult(c, std::move(cropped), true);
    c.selection.Reset();
    return CommandResult::Done;
}

CommandResult OnRotate(EditContext& c, const CommandDef& cmd, const Params&) {
    if (!c.doc.m_pImage) return CommandResult::Failed;
    // Rotate turns clockwise for negative angles: "Rotate 90CCW" passes +90.
    const double degrees = cmd.id == 32789 ? -180.0 : cmd.id == 32790 ? -90.0 : 90.0;
    std::unique_ptr<Bitmap> turned = Rotate(*c.doc.m_pImage, degrees);
    if (!turned->isValid()) return CommandResult::Failed;
    if (c.doc.m_pBackground) c.doc.m_pBackground = Rotate(*c.doc.m_pBackground, degrees);
    adoptTransformed(c, std::move(turned));
    c.host.invalidate(true);
    return CommandResult::Done;
}

CommandResult OnFlip(EditContext& c, const CommandDef& cmd, const Params&) {
    if (!c.doc.m_pImage) return CommandResult::Failed;
    std::unique_ptr<Bitmap> flipped = Flip(*c.doc.m_pImage, cmd.id == 32792 ? FlipAxis::LeftRight : FlipAxis::UpsideDown);
    if (!flipped->isValid()) return CommandResult::Failed;
    c.doc.SetImage(std::move(flipped));
    c.host.invalidate(false);
    return CommandResult::Done;
}
