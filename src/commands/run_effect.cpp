// SPDX-License-Identifier: GPL-3.0-or-later
// The common image-command sequence.
#include "commands/run_effect.h"

#include "core/large_image.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"

std::unique_ptr<SelectionRegion> MakeSelectionRegion(const SelectionPath& outline, MaskRule rule) {
    if (rule == MaskRule::IfSelected && outline.IsEmpty()) return nullptr;
    return std::make_unique<SelectionRegion>(outline.GetPath());
}

void InstallResult(EditContext& context, std::unique_ptr<Bitmap> image, bool erase) {
    context.doc.AdoptImage(std::move(image), erase);
}

CommandResult RunEffect(EditContext& context, MaskRule rule, const ImageRoutine& routine,
                        bool erase, bool busy) {
    Bitmap* source = context.doc.GetImage();
    if (!source || !source->isValid()) return CommandResult::Failed;
    std::unique_ptr<SelectionRegion> selection = MakeSelectionRegion(context.selection, rule);
    std::unique_ptr<Bitmap> destination = source->Clone(
        Rect{0, 0, int(source->GetWidth()), int(source->GetHeight())}, source->GetPixelFormat());
    if (!destination) {
        context.host.showMessage(QStringLiteral("Not enough memory"),
                                 QStringLiteral("the image could not be copied"));
        return CommandResult::Failed;
    }
    if (busy) context.host.setBusy(true);
    routine(*source, *destination, selection.get());
    if (busy) context.host.setBusy(false);
    InstallResult(context, std::move(destination), erase);
    return CommandResult::Done;
}

CommandResult CheckPictureSize(EditContext& context, const CommandDef& command, qint64 width,
                               qint64 height) {
    if (IsWithinPictureLimit(width, height)) return CommandResult::Done;
    context.host.showMessage(PlainText(command), PictureLimitRefusal(width, height));
    return CommandResult::Refused;
}

CommandResult ReportAllocationFailure(EditContext& context, const CommandDef& command, qint64 width,
                                      qint64 height) {
    context.host.showMessage(PlainText(command), PictureAllocationFailure(width, height));
    return CommandResult::Failed;
}
