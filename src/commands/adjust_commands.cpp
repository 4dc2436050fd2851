// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment commands: each runs its dialog through the host, then applies
// its routine from the document image into a copy and installs the copy with a
// history entry, as the editor's menus do.
#include "commands/adjust_commands.h"

#include "adjust/blend.h"
#include "adjust/channels.h"
#include "adjust/resize.h"
#include "adjust/tone.h"
#include "commands/run_effect.h"
#include "core/selection/selection_path.h"
#include "core/selection/selection_region.h"
#include "document/lumaset_doc.h"

#include <QStringList>
#include <algorithm>

namespace {

// The label's index in labels (any case), or the text as a number in
// 0..count-1; -1 for anything else.
int parseChoice(const QString& text, const char* const* labels, int count) {
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    if (isNumber) return number >= 0 && number < count ? number : -1;
    for (int i = 0; i < count; ++i)
        if (text.trimmed().compare(QLatin1String(labels[i]), Qt::CaseInsensitive) == 0) return i;
    return -1;
}

// A whole-image copy of the document image in its own format, or null.
std::unique_ptr<Bitmap> copyOfImage(EditContext& c) {
    Bitmap* image = c.doc.GetImage();
    return image && image->isValid() ? image->Clone() : nullptr;
}

CommandResult badValue(EditContext& c, const QString& text, const QString& detail = {}) {
    c.host.showMessage(text, detail);
    return CommandResult::BadValue;
}

// The dialog commands' common frame: ask the host for the values, then let
// apply turn the document image into the copy; install it on success.
template <class Apply>
CommandResult adjustCopy(EditContext& c, const CommandDef& cmd, const Params& params, Apply apply) {
    std::unique_ptr<Bitmap> copy = copyOfImage(c);
    if (!copy) return CommandResult::Failed;
    const std::optional<Params> values = c.host.runDialog(cmd, c, params);
    if (!values) return CommandResult::Cancelled;
    const CommandResult result = apply(*c.doc.GetImage(), *copy, *values);
    if (result == CommandResult::Done) InstallResult(c, std::move(copy));
    return result;
}

} // namespace

int ParseBlendMode(const QString& text) {
    return parseChoice(text, kBlendModeLabels, kBlendModeCount);
}

int ParseBlendChannel(const QString& text) {
    return parseChoice(text, kBlendChannelLabels, 4);
}

bool ParseCurvePoints(const QString& text, std::vector<CurvePoint>& points) {
    points.clear();
    for (const QString& pair : text.split(';', Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(':');
        bool okX = false, okY = false;
        const int x = xy.size() == 2 ? xy[0].trimmed().toInt(&okX) : 0;
        const int y = xy.size() == 2 ? xy[1].trimmed().toInt(&okY) : 0;
        if (!okX || !okY || x < 0 || x > 255 || y < 0 || y > 255) return false;
        if (!points.empty() && x <= points.back().x) return false;
        points.push_back({x, y});
    }
    return points.size() >= 2;
}

CommandResult OnBlend(EditContext& c, const CommandDef& cmd, const Params& params) {
    // The dialog is handed the selection but the whole image is blended.
    const auto selection = MakeSelectionRegion(c.selection, MaskRule::Always);
    return adjustCopy(c, cmd, params, [&](Bitmap& image, Bitmap& copy, const Params& v) {
        const int mode = ParseBlendMode(v.text("mode"));
        if (mode < 0)
            return badValue(c, QStringLiteral("Blend: unknown mode '%1'").arg(v.text("mode")));
        const int channel = ParseBlendChannel(v.text("channel"));
        if (channel < 0)
            return badValue(c,
                            QStringLiteral("Blend: unknown channel '%1'").arg(v.text("channel")));
        const double opacity = std::clamp(v.integer("alpha"), 0, 100) * 1.0 / 100.0;
        // The copy is the base of every lookup and the image the blend value.
        BlendImages(copy, channel, image, channel, mode, opacity);
        return CommandResult::Done;
    });
}

CommandResult OnBrightnessContrast(EditContext& c, const CommandDef& cmd, const Params& params) {
    const auto selection = MakeSelectionRegion(c.selection, MaskRule::IfSelected);
    // The adjustment is recomputed into the command's own copy on OK.
    return adjustCopy(c, cmd, params, [&](Bitmap& image, Bitmap& copy, const Params& v) {
        AdjustBrightnessContrast(image, copy, v.integer("brightness"), v.integer("contrast"),
                                 selection.get());
        return CommandResult::Done;
    });
}

CommandResult OnColorBalance(EditContext& c, const CommandDef& cmd, const Params& params) {
    const auto selection = MakeSelectionRegion(c.selection, MaskRule::IfSelected);
    // The dialog's working copy, adjusted from the document image, becomes the image.
    return adjustCopy(c, cmd, params, [&](Bitmap& image, Bitmap& copy, const Params& v) {
        AdjustColorBalance(image, copy, v.integer("red"), v.integer("green"), v.integer("blue"),
                           selection.get());
        return CommandResult::Done;
    });
}

CommandResult OnGamma(EditContext& c, const CommandDef& cmd, const Params& params) {
    return adjustCopy(c, cmd, params, [&](Bitmap& image, Bitmap& copy, const Params& v) {
        const double gamma = v.text("gamma").isEmpty()
                                 ? GammaFromSliderPosition(v.integer("position"))
                                 : v.real("gamma");
        AdjustGamma(image, copy, gamma);
        return CommandResult::Done;
    });
}

CommandResult OnCurve(EditContext& c, const CommandDef& cmd, const Params& params) {
    // The dialog keeps the selection; the curve applies to the whole image.
    const auto selection = MakeSelectionRegion(c.selection, MaskRule::Always);
    return adjustCopy(c, cmd, params, [&](Bitmap& image, Bitmap& copy, const Params& v) {
        std::vector<CurvePoint> points;
        if (!ParseCurvePoints(v.text("points"), points))
            return badValue(
                c,
                QStringLiteral("Curve: points must be X:Y pairs in 0..255 with X increasing, "
                               "separated by ';'"),
                v.text("points"));
        std::uint8_t table[256];
        BuildToneTable(points, table);
        // All three colour bytes through the table, as ApplyLookupTable with
        // ChannelAll does, on two threads.
        ApplyChannelTable(image, copy, table, 7);
        return CommandResult::Done;
    });
}

CommandResult OnGray(EditContext& c, const CommandDef&, const Params&) {
    // The region is built but not passed: the whole image turns gray.
    return RunEffect(c, MaskRule::Always, [](Bitmap& source, Bitmap& copy, SelectionRegion*) {
        ConvertToGray(source, copy);
    });
}

CommandResult OnReverse(EditContext& c, const CommandDef&, const Params&) {
    return RunEffect(
        c, MaskRule::IfSelected,
        [](Bitmap& source, Bitmap& copy, SelectionRegion* selection) {
            InvertColors(source, copy, selection);
        },
        true);
}

CommandResult OnRotateChannel(EditContext& c, const CommandDef&, const Params&) {
    if (!c.doc.GetImage()) return CommandResult::Failed;
    InstallResult(c, RotateChannels(c.doc.TakeImage()));
    return CommandResult::Done;
}

CommandResult OnChannelFilter(EditContext& c, const CommandDef& cmd, const Params&) {
    const int mask = cmd.id == 32807 ? MaskRed : cmd.id == 32808 ? MaskGreen : MaskBlue;
    if (!c.doc.GetImage()) return CommandResult::Failed;
    KeepChannels(*c.doc.GetImage(), mask);
    c.doc.RecordChange(false);
    return CommandResult::Done;
}

CommandResult OnResize(EditContext& c, const CommandDef& cmd, const Params& params) {
    Bitmap* image = c.doc.GetImage();
    if (!image) return CommandResult::Failed;
    const std::optional<Params> v = c.host.runDialog(cmd, c, params);
    if (!v) return CommandResult::Cancelled;
    const int width = int(image->GetWidth()), height = int(image->GetHeight());
    ResizeModel model(width, height);
    model.setRestrict(v->integer("restrict") != 0);
    const bool hasWidth = !v->text("width").isEmpty(), hasHeight = !v->text("height").isEmpty();
    if (hasWidth && hasHeight) model.setRestrict(false); // both sides typed: taken as they are
    if (hasWidth) model.typeWidth(v->integer("width"));
    if (hasHeight) model.typeHeight(v->integer("height"));
    if (!IsAcceptedImageSize(model.width(), model.height()))
        return badValue(c, QString::fromLatin1(ImageSizeRefusal()),
                        QStringLiteral("%1 x %2").arg(model.width()).arg(model.height()));
    if (const CommandResult size = CheckPictureSize(c, cmd, model.width(), model.height());
        size != CommandResult::Done)
        return size;
    if (model.width() == width && model.height() == height) return CommandResult::Done;
    std::unique_ptr<Bitmap> resized = ResizeImage(*image, model.width(), model.height());
    if (!resized || !resized->isValid())
        return ReportAllocationFailure(c, cmd, model.width(), model.height());
    InstallResult(c, std::move(resized), true);
    c.selection.Reset();
    return CommandResult::Done;
}

CommandResult OnNewImage(EditContext& c, const CommandDef& cmd, const Params& params) {
    const std::optional<Params> v = c.host.runDialog(cmd, c, params);
    if (!v) return CommandResult::Cancelled;
    const int width = v->integer("width"), height = v->integer("height");
    if (!IsAcceptedImageSize(width, height))
        return badValue(c, QString::fromLatin1(ImageSizeRefusal()),
                        QStringLiteral("%1 x %2").arg(width).arg(height));
    if (const CommandResult size = CheckPictureSize(c, cmd, width, height);
        size != CommandResult::Done)
        return size;
    c.doc.m_nWidth = width;
    c.doc.m_nHeight = height;
    return c.doc.OnNewDocument() ? CommandResult::Done : CommandResult::Failed;
}
