// SPDX-License-Identifier: GPL-3.0-or-later
// The effect table and the adapters from named parameters to routines.
#include "effects/effect_table.h"

#include "effects/blur_sharpen.h"
#include "effects/distort.h"
#include "effects/rain_drops.h"
#include "effects/stylize.h"
#include "effects/texture.h"

namespace {

// Parameters of the effects that take any; defaults are the menu command's values.
constexpr ParamSpec kMotionBlur[] = {
    {"angle", ParamKind::Integer, "15", -3600, 3600, "direction in degrees"},
    {"distance", ParamKind::Integer, "20", 1, 500, "length of the blur in pixels"},
};
constexpr ParamSpec kUsmSharpen[] = {{"strength", ParamKind::Integer, "15", 0, 100, "number of passes"}};
constexpr ParamSpec kMosaic[] = {{"size", ParamKind::Integer, "10", 1, 30000, "cell size in pixels"}};
constexpr ParamSpec kOilPaint[] = {
    {"radius", ParamKind::Integer, "4", 0, 100, "window radius"},
    {"levels", ParamKind::Integer, "12", 0, 255, "intensity levels"},
};
constexpr ParamSpec kPencil[] = {{"threshold", ParamKind::Integer, "12", 0, 255, "edge threshold"}};
constexpr ParamSpec kDiffuse[] = {{"radius", ParamKind::Integer, "12", 0, 1000, "scatter radius"}};
constexpr ParamSpec kWave[] = {{"amplitude", ParamKind::Integer, "10", 0, 1000, "wave amplitude"}};
constexpr ParamSpec kPinch[] = {{"strength", ParamKind::Integer, "12", -100, 100, "pinch strength"}};
constexpr ParamSpec kFishEye[] = {
    {"mode", ParamKind::Integer, "0", 0, 1, "lens mode"},
    {"outside", ParamKind::Integer, "2", 0, 2, "what happens outside the lens"},
    {"strength", ParamKind::Integer, "29", 0, 100, "lens strength"},
};
constexpr ParamSpec kRainDrops[] = {
    {"size", ParamKind::Integer, "40", 1, 200, "largest drop size"},
    {"count", ParamKind::Integer, "250", 0, 10000, "number of drops"},
    {"shading", ParamKind::Integer, "1", 0, 1, "shade the drops"},
};

// Adapters from named parameters to the routines' arguments.
template <EffectFn Routine>
void runPlain(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params&) {
    Routine(source, destination, selection);
}
void runMotionBlur(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& p) {
    MotionBlur(source, destination, selection, p.integer("angle"), p.integer("distance"));
}
void runUsmSharpen(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& p) {
    UsmSharpen(source, destination, selection, p.integer("strength"));
}
void runPencil(Bitmap& source, Bitmap& destination, SelectionRegion* selection, const Params& p) {
    Pencil(source, destination, selection, p.integer("threshold"));
}

// Rows in the order of the Effect menu; a null runner means the routine is not
// built yet, and the command answers "not available yet".
constexpr EffectDef kEffects[] = {
    {.id = 32813, .text = "Blur", .mask = MaskRule::IfSelected, .run = runPlain<Blur>, .params = {}},
    {.id = 32833, .text = "GaussBlur", .mask = MaskRule::IfSelected, .run = runPlain<GaussBlur>, .params = {}},
    {.id = 32848, .text = "MotionBlur", .mask = MaskRule::IfSelected, .run = runMotionBlur, .params = kMotionBlur},
    {.id = 32855, .text = "SoftGlow", .mask = MaskRule::IfSelected, .run = runPlain<SoftGlow>, .params = {}},
    {.id = 32815, .text = "Sharpen", .mask = MaskRule::IfSelected, .run = runPlain<Sharpen>, .params = {}},
    {.id = 32852, .text = "SharpenMore", .mask = MaskRule::IfSelected, .run = runPlain<SharpenMore>, .params = {}},
    {.id = 32853, .text = "USM Sharpen", .mask = MaskRule::IfSelected, .run = runUsmSharpen, .params = kUsmSharpen},
    {.id = 32817, .text = "Emboss", .mask = MaskRule::Always, .run = runPlain<Emboss>, .params = {}},
    {.id = 32836, .text = "Mosaic", .mask = MaskRule::IfSelected, .run = runMosaic, .params = kMosaic},
    {.id = 32827, .text = "OilPaint", .mask = MaskRule::IfSelected, .run = runOilPaint, .params = kOilPaint, .busyCursor = true},
    {.id = 32846, .text = "Solarize", .mask = MaskRule::IfSelected, .run = runPlain<Solarize>, .params = {}},
    {.id = 32849, .text = "Pencil", .mask = MaskRule::IfSelected, .run = runPencil, .params = kPencil},
    {.id = 32850, .text = "Diffuse", .mask = MaskRule::IfSelected, .run = runDiffuse, .params = kDiffuse},
    {.id = 32819, .text = "Glass", .mask = MaskRule::Always, .run = runGlass, .params = {}},
    {.id = 32824, .text = "Wooden", .mask = MaskRule::Always, .run = runPlain<Wooden>, .params = {}},
    {.id = 32879, .text = "Video", .mask = MaskRule::Always, .run = runVideo, .params = {}},
    {.id = 32837, .text = "Wave", .mask = MaskRule::IfSelected, .run = runWave, .params = kWave},
    {.id = 32844, .text = "Whim", .mask = MaskRule::IfSelected, .run = runPlain<Whim>, .params = {}},
    {.id = 32845, .text = "Pinch", .mask = MaskRule::IfSelected, .run = runPinch, .params = kPinch},
    {.id = 32858, .text = "Fish Eye", .mask = MaskRule::IfSelected, .run = runFishEye, .params = kFishEye},
    {.id = 32866, .text = "Rain Drops", .mask = MaskRule::Always, .run = runRainDrops, .params = kRainDrops},
    {.id = 32838, .text = "Aqua", .mask = MaskRule::IfSelected, .run = runPlain<Aqua>, .params = {}},
    {.id = 32842, .text = "Darker", .mask = MaskRule::IfSelected, .run = runPlain<Darker>, .params = {}},
    {.id = 32840, .text = "Ice", .mask = MaskRule::IfSelected, .run = runPlain<Ice>, .params = {}},
    {.id = 32841, .text = "Molten", .mask = MaskRule::IfSelected, .run = runPlain<Molten>, .params = {}},
    {.id = 32839, .text = "Old Photo", .mask = MaskRule::IfSelected, .run = runPlain<OldPhoto>, .params = {}},
    {.id = 32843, .text = "Subtence", .mask = MaskRule::IfSelected, .run = runPlain<Subtence>, .params = {}},
};

} // namespace

std::span<const EffectDef> EffectTable() { return kEffects; }

const EffectDef* FindEffect(int id) {
    for (const EffectDef& e : kEffects)
        if (e.id == id) return &e;
    return nullptr;
}
