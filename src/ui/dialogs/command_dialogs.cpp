// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs behind the dialog commands and the text tool.
#include "ui/dialogs/command_dialogs.h"

#include "commands/adjust_commands.h"
#include "commands/clipboard_commands.h"
#include "commands/run_effect.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"
#include "ui/dialogs/adjust_dialogs.h"
#include "ui/dialogs/curve_dialog.h"
#include "ui/dialogs/lomo_dialog.h"
#include "ui/dialogs/size_dialogs.h"
#include "ui/dialogs/text_dialog.h"

#include <algorithm>

namespace {

// Runs dialog modally; on OK the values write(result) leaves in a fresh set
// of the command's parameters.
template <class Dialog, class Write>
std::optional<Params> run(Dialog& dialog, const CommandDef& command, Write write) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    Params result(command.params);
    write(result);
    return result;
}

std::optional<Params> runTone(QWidget* parent, ToneKind kind, const CommandDef& command,
                              EditContext& context, const Params& values) {
    // The same region the command builds; gamma takes none.
    const auto selection = kind == ToneKind::Gamma
                               ? nullptr
                               : MakeSelectionRegion(context.selection, MaskRule::IfSelected);
    CToneDialog dialog(kind, *context.doc.GetImage(), selection.get(), parent);
    dialog.model().setValues(values);
    dialog.showValues();
    return run(dialog, command, [&](Params& p) { dialog.model().writeValues(p); });
}

} // namespace

std::optional<Params> RunCommandDialog(QWidget* parent, const CommandDef& command,
                                       EditContext& context, const Params& values) {
    Bitmap* image = context.doc.GetImage();
    const bool hasImage = image && image->isValid();
    switch (command.id) {
    case 32867: { // Blend
        if (!hasImage) return std::nullopt;
        CBlend dialog(*image, parent);
        dialog.showValues(std::max(0, ParseBlendMode(values.text("mode"))),
                          std::max(0, ParseBlendChannel(values.text("channel"))),
                          values.integer("alpha"));
        return run(dialog, command, [&](Params& p) { dialog.model().writeValues(p); });
    }
    case 32802:
        if (!hasImage) return std::nullopt;
        return runTone(parent, ToneKind::BrightnessContrast, command, context, values);
    case 32801:
        if (!hasImage) return std::nullopt;
        return runTone(parent, ToneKind::ColorBalance, command, context, values);
    case 32804:
        if (!hasImage) return std::nullopt;
        return runTone(parent, ToneKind::Gamma, command, context, values);
    case 32859: { // Curve: the points start at the identity each time
        if (!hasImage) return std::nullopt;
        CCurve dialog(*image, parent);
        return run(dialog, command, [&](Params& p) { dialog.model().writeValues(p); });
    }
    case 32854: { // LOMO
        if (!hasImage) return std::nullopt;
        CLOMODlg dialog(*image, parent);
        dialog.model().setValues(values);
        dialog.showValues();
        return run(dialog, command, [&](Params& p) { dialog.model().writeValues(p); });
    }
    case 32857: { // Resize: the fields start at the picture's size
        if (!hasImage) return std::nullopt;
        CResizeDlg dialog(int(image->GetWidth()), int(image->GetHeight()), parent);
        return run(dialog, command, [&](Params& p) {
            p.set("width", QString::number(dialog.model().width()));
            p.set("height", QString::number(dialog.model().height()));
        });
    }
    case 57600: { // New: the clipboard picture's size when there is one
        const QSize size =
            ClipboardImageSize().value_or(QSize(values.integer("width"), values.integer("height")));
        CNewFileDialog dialog(size.width(), size.height(), parent);
        return run(dialog, command, [&](Params& p) {
            p.set("width", QString::number(dialog.width()));
            p.set("height", QString::number(dialog.height()));
        });
    }
    default:
        return values;
    }
}

bool RunTextDialog(QWidget* parent, CLumasetDoc& doc, QPoint imagePoint) {
    Bitmap* image = doc.GetImage();
    if (!image || !image->isValid()) return false;
    CTextDialog dialog(*image, imagePoint.x(), imagePoint.y(), parent);
    return dialog.exec() == QDialog::Accepted && dialog.drew();
}
