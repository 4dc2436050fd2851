// SPDX-License-Identifier: GPL-3.0-or-later
// Add Noise, Red Eye Remove and LOMO commands.
#include "commands/effect_commands.h"

#include "commands/run_effect.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"
#include "effects/noise_redeye_lomo.h"

namespace {

// In-place commands: the routine changes the document image through its
// lock; then the history entry and the repaint follow.
template <class Routine> CommandResult inPlace(EditContext& context, Routine routine) {
    Bitmap* image = context.doc.GetImage();
    if (!image || !image->isValid()) return CommandResult::Failed;
    const std::unique_ptr<SelectionRegion> selection =
        MakeSelectionRegion(context.selection, MaskRule::IfSelected);
    routine(*image, selection.get());
    context.doc.RecordChange(false);
    return CommandResult::Done;
}

} // namespace

CommandResult OnAddNoise(EditContext& context, const CommandDef&, const Params& params) {
    const AddNoiseParams noise = params.read<AddNoiseParams>();
    return inPlace(context,
                   [&](Bitmap& image, SelectionRegion* sel) { AddNoise(image, sel, noise); });
}

CommandResult OnRedEyeRemove(EditContext& context, const CommandDef&, const Params& params) {
    const RedEyeRemoveParams redEye = params.read<RedEyeRemoveParams>();
    return inPlace(context,
                   [&](Bitmap& image, SelectionRegion* sel) { RedEyeRemove(image, sel, redEye); });
}

CommandResult OnLomo(EditContext& context, const CommandDef& command, const Params& params) {
    const std::optional<Params> values = context.host.runDialog(command, context, params);
    if (!values) return CommandResult::Cancelled;
    const LomoParams lomo = values->read<LomoParams>();
    return RunEffect(
        context, MaskRule::IfSelected,
        [&](Bitmap& src, Bitmap& dst, SelectionRegion* sel) { Lomo(src, dst, sel, lomo); });
}
