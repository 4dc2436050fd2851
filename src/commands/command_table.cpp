// SPDX-License-Identifier: GPL-3.0-or-later
// The command table: every command number with its menu text, owner, enable
// rule and handler, and the dispatcher that honours the enable rules.
#include "commands/command.h"

#include "commands/adjust_commands.h"
#include "commands/clipboard_commands.h"
#include "commands/edit_commands.h"
#include "commands/effect_commands.h"
#include "commands/run_effect.h"
#include "core/selection/selection_commands.h"
#include "core/selection/selection_path.h"
#include "document/lumaset_doc.h"
#include "effects/effect_table.h"
#include "effects/noise_redeye_lomo.h"

#include <vector>

namespace {

CommandResult selectTool(EditContext& c, const CommandDef& cmd, const Params&) {
    c.doc.m_nToolType = cmd.tool;
    return CommandResult::Done;
}

CommandResult undo(EditContext& c, const CommandDef&, const Params&) {
    return c.doc.StepHistory(true) ? CommandResult::Done : CommandResult::Failed;
}

CommandResult redo(EditContext& c, const CommandDef&, const Params&) {
    return c.doc.StepHistory(false) ? CommandResult::Done : CommandResult::Failed;
}

int imageWidth(const EditContext& c) {
    return c.doc.GetImage() ? int(c.doc.GetImage()->GetWidth()) : 0;
}
int imageHeight(const EditContext& c) {
    return c.doc.GetImage() ? int(c.doc.GetImage()->GetHeight()) : 0;
}

CommandResult selectAll(EditContext& c, const CommandDef&, const Params&) {
    if (c.selection.HasSelection()) c.doc.UpdateAllViews(false);
    SelectAll(c.selection, imageWidth(c), imageHeight(c));
    c.host.startOutlineTimer();
    return CommandResult::Done;
}

CommandResult cancelSelection(EditContext& c, const CommandDef&, const Params&) {
    CancelSelection(c.selection);
    c.doc.UpdateAllViews(false);
    return CommandResult::Done;
}

CommandResult invertSelection(EditContext& c, const CommandDef&, const Params&) {
    // No repaint: the outline animation draws the new outline at its next tick.
    InvertSelection(c.selection, imageWidth(c), imageHeight(c));
    return CommandResult::Done;
}

// Every effect command of the effect table runs through the common sequence
// with its routine and the command's (possibly overridden) parameters.
CommandResult runTableEffect(EditContext& c, const CommandDef& cmd, const Params& params) {
    const EffectDef* effect = FindEffect(cmd.id);
    if (!effect || !effect->run) return CommandResult::Unavailable;
    return RunEffect(
        c, effect->mask,
        [&](Bitmap& src, Bitmap& dst, SelectionRegion* sel) { effect->run(src, dst, sel, params); },
        false, effect->busyCursor);
}

constexpr ParamSpec kNewImage[] = {
    {"width", ParamKind::Integer, "600", 1, 30000, "width of the new image"},
    {"height", ParamKind::Integer, "400", 1, 30000, "height of the new image"},
};

using enum Owner;
using enum EnableRule;
using enum PixelScope;

// Commands other than the effects, in menu order. A null handler with a rule
// other than Never is a command whose routine is not built yet.
// Table rows stay one a line.
// clang-format off
const CommandDef kCommands[] = {
    // File
    {.id = 57600, .text = "&New", .owner = Document, .enable = Always, .handler = OnNewImage, .params = kNewImage, .dialog = true},
    {.id = 57601, .text = "&Open...", .owner = Application, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57603, .text = "&Save", .owner = Document, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57604, .text = "Save &As...", .owner = Document, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57607, .text = "&Print...", .owner = View, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57608, .text = "Print Direct", .owner = View, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57609, .text = "Print Pre&view", .owner = View, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57606, .text = "P&rint Setup...", .owner = Application, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57665, .text = "E&xit", .owner = Application, .enable = Always, .handler = nullptr, .editorOnly = true},
    // Edit
    {.id = 57643, .text = "&Undo", .owner = Document, .enable = CanUndo, .handler = undo},
    {.id = 57644, .text = "&Redo", .owner = Document, .enable = CanRedo, .handler = redo},
    {.id = 57635, .text = "Cu&t", .owner = View, .enable = Never, .handler = nullptr},
    {.id = 57634, .text = "&Copy", .owner = View, .enable = Always, .handler = OnCopy, .editorOnly = true},
    {.id = 57637, .text = "&Paste", .owner = View, .enable = Always, .handler = OnPaste, .editorOnly = true},
    // Select
    {.id = 32794, .text = "Select &All", .owner = View, .enable = Always, .handler = selectAll},
    {.id = 32795, .text = "&Invert", .owner = View, .enable = NeedsSelection, .handler = invertSelection},
    {.id = 32796, .text = "&Cancel", .owner = View, .enable = NeedsSelection, .handler = cancelSelection},
    {.id = 32830, .text = "&Delete", .owner = View, .enable = NeedsSelection, .handler = OnDeleteSelection, .scope = Selection},
    {.id = 32797, .text = "&Fill", .owner = View, .enable = NeedsSelection, .handler = OnFillSelection, .scope = Selection},
    {.id = 32798, .text = "Strock", .owner = View, .enable = NeedsSelection, .handler = OnStrokeSelection, .alias = "Stroke"},
    {.id = 32826, .text = "Contract", .owner = View, .enable = Never, .handler = nullptr},
    // Context menu of the canvas
    {.id = 32863, .text = "Select All", .owner = View, .enable = Always, .handler = selectAll},
    {.id = 32864, .text = "Select Invert", .owner = View, .enable = NeedsSelection, .handler = invertSelection},
    {.id = 32865, .text = "Cancel Select", .owner = View, .enable = NeedsSelection, .handler = cancelSelection},
    // Image
    {.id = 32856, .text = "Crop", .owner = View, .enable = Always, .handler = OnCrop, .scope = Selection},
    {.id = 32857, .text = "Resize", .owner = View, .enable = Always, .handler = OnResize, .params = kResizeParams, .scope = WholePicture, .dialog = true},
    {.id = 32789, .text = "Rotate 180", .owner = View, .enable = Always, .handler = OnRotate, .scope = WholePicture},
    {.id = 32790, .text = "Rotate 90CW", .owner = View, .enable = Always, .handler = OnRotate, .scope = WholePicture},
    {.id = 32791, .text = "Rotate 90CCW", .owner = View, .enable = Always, .handler = OnRotate, .scope = WholePicture},
    {.id = 32792, .text = "Flip Hpeizontal", .owner = View, .enable = Always, .handler = OnFlip, .alias = "Flip Horizontal", .scope = WholePicture},
    {.id = 32793, .text = "Flip Vertical", .owner = View, .enable = Always, .handler = OnFlip, .scope = WholePicture},
    {.id = 32811, .text = "Gray", .owner = View, .enable = Always, .handler = OnGray, .scope = WholePicture},
    {.id = 32810, .text = "&Reverse", .owner = View, .enable = Always, .handler = OnReverse, .scope = WholePicture},
    {.id = 32805, .text = "Rotate Channel", .owner = View, .enable = Always, .handler = OnRotateChannel, .scope = WholePicture},
    {.id = 32807, .text = "Red", .owner = View, .enable = Always, .handler = OnChannelFilter, .scope = WholePicture},
    {.id = 32808, .text = "Green", .owner = View, .enable = Always, .handler = OnChannelFilter, .scope = WholePicture},
    {.id = 32809, .text = "Blue", .owner = View, .enable = Always, .handler = OnChannelFilter, .scope = WholePicture},
    {.id = 32802, .text = "Brightness/Contrast", .owner = View, .enable = Always, .handler = OnBrightnessContrast, .params = kBrightnessContrastParams, .scope = Selection, .dialog = true},
    {.id = 32801, .text = "Color Balance", .owner = View, .enable = Always, .handler = OnColorBalance, .params = kColorBalanceParams, .scope = Selection, .dialog = true},
    {.id = 32804, .text = "Gramma", .owner = View, .enable = Always, .handler = OnGamma, .params = kGammaParams, .alias = "Gamma", .scope = WholePicture, .dialog = true},
    {.id = 32859, .text = "Curve", .owner = View, .enable = Always, .handler = OnCurve, .params = kCurveParams, .scope = WholePicture, .dialog = true},
    {.id = 32867, .text = "Blend", .owner = View, .enable = Always, .handler = OnBlend, .params = kBlendParams, .scope = WholePicture, .dialog = true},
    // Effect commands with their own sequence
    {.id = 32832, .text = "Add Noise", .owner = View, .enable = Always, .handler = OnAddNoise, .params = kParamSpecs<AddNoiseParams>, .scope = Selection},
    {.id = 32829, .text = "Red Eye Remove", .owner = View, .enable = Always, .handler = OnRedEyeRemove, .params = kParamSpecs<RedEyeRemoveParams>, .scope = Selection},
    {.id = 32854, .text = "LOMO", .owner = View, .enable = Always, .handler = OnLomo, .params = kParamSpecs<LomoParams>, .scope = WholePicture, .dialog = true},
    {.id = 32861, .text = "Polar", .owner = View, .enable = Never, .handler = nullptr},
    // Tools: the command sets the current tool (numbers 8 and 9 are crossed
    // with their commands: 32779 is the rectangle, 32778 the ellipse).
    {.id = 32771, .text = "Rectangle Select", .owner = Document, .enable = Always, .handler = selectTool, .tool = 1},
    {.id = 32772, .text = "Ellipse Select", .owner = Document, .enable = Always, .handler = selectTool, .tool = 2},
    {.id = 32773, .text = "Free Select", .owner = Document, .enable = Always, .handler = selectTool, .tool = 3},
    {.id = 32774, .text = "Poly Select", .owner = Document, .enable = Always, .handler = selectTool, .tool = 4},
    {.id = 32775, .text = "Magic Wand", .owner = Document, .enable = Always, .handler = selectTool, .tool = 5},
    {.id = 32776, .text = "Draw line", .owner = Document, .enable = Always, .handler = selectTool, .tool = 6},
    {.id = 32777, .text = "Draw Free Line", .owner = Document, .enable = Always, .handler = selectTool, .tool = 7},
    {.id = 32779, .text = "Draw Rectangle", .owner = Document, .enable = Always, .handler = selectTool, .tool = 8},
    {.id = 32778, .text = "Draw Ellipse", .owner = Document, .enable = Always, .handler = selectTool, .tool = 9},
    {.id = 32780, .text = "Text Tool", .owner = Document, .enable = Always, .handler = selectTool, .tool = 10},
    {.id = 32781, .text = "Clone Stamp", .owner = Document, .enable = Always, .handler = selectTool, .tool = 11},
    {.id = 32782, .text = "Eraser", .owner = Document, .enable = Always, .handler = selectTool, .tool = 12},
    {.id = 32783, .text = "Paint Bucket", .owner = Document, .enable = Always, .handler = selectTool, .tool = 13},
    {.id = 32862, .text = "Smudge", .owner = Document, .enable = Always, .handler = selectTool, .tool = 14},
    {.id = 32784, .text = "Color Picker", .owner = Document, .enable = Always, .handler = selectTool, .tool = 15},
    {.id = 32785, .text = "Zoom Tool", .owner = Document, .enable = Always, .handler = selectTool, .tool = 16},
    {.id = 32799, .text = "Palette", .owner = Frame, .enable = Never, .handler = nullptr},
    // View and Help
    {.id = 59392, .text = "&Toolbar", .owner = Frame, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 59393, .text = "&Status Bar", .owner = Frame, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 32787, .text = "Setting Bar", .owner = Frame, .enable = Always, .handler = nullptr, .editorOnly = true},
    {.id = 57664, .text = "&About Lumaset...", .owner = Application, .enable = Always, .handler = nullptr, .editorOnly = true},
};
// clang-format on

std::vector<CommandDef> buildTable() {
    std::vector<CommandDef> all(std::begin(kCommands), std::end(kCommands));
    for (const EffectDef& e : EffectTable())
        all.push_back({.id = e.id,
                       .text = e.text,
                       .owner = View,
                       .enable = Always,
                       .handler = runTableEffect,
                       .params = e.params,
                       .scope = e.wholePicture ? WholePicture : Selection});
    return all;
}

// Gallery buttons and the effect commands they run; 160 has none.
constexpr std::pair<int, int> kGallery[] = {
    {159, 32815}, {161, 32813}, {162, 32817}, {163, 32836}, {164, 32827}, {165, 32846},
    {166, 32837}, {167, 32844}, {168, 32819}, {169, 32824}, {170, 32838}, {171, 32842},
    {172, 32840}, {173, 32841}, {174, 32839}, {175, 32843}, {176, 32832}, {177, 32833},
    {178, 32848}, {179, 32845}, {180, 32850}, {181, 32849}, {182, 32852}, {183, 32853},
    {184, 32854}, {185, 32855}, {186, 32858},
};

QString normalized(QString name) {
    name.remove(QLatin1Char('&'));
    QString out;
    for (QChar ch : name)
        if (ch != ' ' && ch != '/' && ch != '-' && ch != '_') out.append(ch.toLower());
    return out;
}

} // namespace

std::span<const CommandDef> CommandTable() {
    static const std::vector<CommandDef> table = buildTable();
    return table;
}

const CommandDef* FindCommand(int id) {
    for (const CommandDef& c : CommandTable())
        if (c.id == id) return &c;
    return nullptr;
}

const CommandDef* FindCommandByName(const QString& name) {
    bool isNumber = false;
    const int id = name.trimmed().toInt(&isNumber);
    if (isNumber) return FindCommand(id);
    const QString wanted = normalized(name);
    if (wanted.isEmpty()) return nullptr;
    for (const CommandDef& c : CommandTable())
        if (normalized(QString::fromLatin1(c.text)) == wanted) return &c;
    for (const CommandDef& c : CommandTable())
        if (c.alias && normalized(QString::fromLatin1(c.alias)) == wanted) return &c;
    return nullptr;
}

QString PlainText(const CommandDef& command) {
    return QString::fromLatin1(command.text).remove(QLatin1Char('&'));
}

bool IsCommandEnabled(const CommandDef& command, const EditContext& context) {
    switch (command.enable) {
    case Always:
        return command.handler != nullptr || command.editorOnly;
    case NeedsSelection:
        return command.handler != nullptr && context.selection.HasSelection();
    case CanUndo:
        return context.doc.CanUndo();
    case CanRedo:
        return context.doc.CanRedo();
    case Never:
        return false;
    }
    return false;
}

bool IsCommandChecked(const CommandDef& command, const EditContext& context) {
    return command.tool != 0 && context.doc.m_nToolType == command.tool;
}

CommandResult ExecuteCommand(EditContext& context, const CommandDef& command,
                             const Params& params) {
    if (command.enable != Never && !command.handler && !command.editorOnly)
        return CommandResult::Unavailable;
    if (!IsCommandEnabled(command, context) || !command.handler) return CommandResult::Disabled;
    return command.handler(context, command, params);
}

CommandResult ExecuteCommand(EditContext& context, int id) {
    const CommandDef* command = FindCommand(id);
    if (!command) return CommandResult::Disabled;
    return ExecuteCommand(context, *command, Params(command->params));
}

int GalleryCommand(int galleryId) {
    for (const auto& [button, command] : kGallery)
        if (button == galleryId) return command;
    return 0;
}

CommandResult ExecuteGalleryButton(EditContext& context, int galleryId) {
    const int command = GalleryCommand(galleryId);
    if (command == 0) {
        context.host.showMessage(QStringLiteral("%1 is pressed").arg(galleryId));
        return CommandResult::Done;
    }
    return ExecuteCommand(context, command);
}
