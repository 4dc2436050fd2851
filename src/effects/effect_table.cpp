// SPDX-License-Identifier: GPL-3.0-or-later
// The effect table and the one adapter from named parameters to routines.
#include "effects/effect_table.h"

#include "effects/blur_sharpen.h"
#include "effects/distort.h"
#include "effects/rain_drops.h"
#include "effects/stylize.h"
#include "effects/texture.h"

#include <type_traits>

namespace {

// The parameter struct of a routine of the shape (source, destination,
// selection, const P&); void for a routine without parameters.
template <class Fn> struct ParamsOf;
template <> struct ParamsOf<EffectFn> { using type = void; };
template <class P>
struct ParamsOf<void (*)(const Bitmap&, Bitmap&, const SelectionRegion*, const P&)> {
    using type = P;
};

// The adapter from named parameters to a routine: its struct filled from them.
template <auto Routine>
void run(const Bitmap& source, Bitmap& destination, const SelectionRegion* selection,
         const Params& params) {
    using P = typename ParamsOf<decltype(Routine)>::type;
    if constexpr (std::is_void_v<P>)
        Routine(source, destination, selection);
    else
        Routine(source, destination, selection, params.read<P>());
}

// The parameters of a routine with a parameter struct, as its struct states them.
template <auto Routine>
constexpr ParamSpecs specsOf = kParamSpecs<typename ParamsOf<decltype(Routine)>::type>;

// Rows in the order of the Effect menu; a null runner means the routine is not
// built yet, and the command answers "not available yet".
// Table rows stay one a line.
// clang-format off
constexpr EffectDef kEffects[] = {
    {.id = 32813, .text = "Blur", .mask = MaskRule::IfSelected, .run = run<Blur>, .params = {}},
    {.id = 32833, .text = "GaussBlur", .mask = MaskRule::IfSelected, .run = run<GaussBlur>, .params = {}},
    {.id = 32848, .text = "MotionBlur", .mask = MaskRule::IfSelected, .run = run<MotionBlur>, .params = specsOf<MotionBlur>},
    {.id = 32855, .text = "SoftGlow", .mask = MaskRule::IfSelected, .run = run<SoftGlow>, .params = {}, .wholePicture = true},
    {.id = 32815, .text = "Sharpen", .mask = MaskRule::IfSelected, .run = run<Sharpen>, .params = {}},
    {.id = 32852, .text = "SharpenMore", .mask = MaskRule::IfSelected, .run = run<SharpenMore>, .params = {}},
    {.id = 32853, .text = "USM Sharpen", .mask = MaskRule::IfSelected, .run = run<UsmSharpen>, .params = specsOf<UsmSharpen>},
    {.id = 32817, .text = "Emboss", .mask = MaskRule::Always, .run = run<Emboss>, .params = {}},
    {.id = 32836, .text = "Mosaic", .mask = MaskRule::IfSelected, .run = run<Mosaic>, .params = specsOf<Mosaic>},
    {.id = 32827, .text = "OilPaint", .mask = MaskRule::IfSelected, .run = run<OilPaint>, .params = specsOf<OilPaint>, .busyCursor = true, .wholePicture = true},
    {.id = 32846, .text = "Solarize", .mask = MaskRule::IfSelected, .run = run<Solarize>, .params = {}},
    {.id = 32849, .text = "Pencil", .mask = MaskRule::IfSelected, .run = run<Pencil>, .params = specsOf<Pencil>, .wholePicture = true},
    {.id = 32850, .text = "Diffuse", .mask = MaskRule::IfSelected, .run = run<Diffuse>, .params = specsOf<Diffuse>, .wholePicture = true},
    {.id = 32819, .text = "Glass", .mask = MaskRule::Always, .run = run<Glass>, .params = {}},
    {.id = 32824, .text = "Wooden", .mask = MaskRule::Always, .run = run<Wooden>, .params = {}},
    {.id = 32879, .text = "Video", .mask = MaskRule::Always, .run = run<Video>, .params = {}},
    {.id = 32837, .text = "Wave", .mask = MaskRule::IfSelected, .run = run<Wave>, .params = specsOf<Wave>},
    {.id = 32844, .text = "Whim", .mask = MaskRule::IfSelected, .run = run<Whim>, .params = {}},
    {.id = 32845, .text = "Pinch", .mask = MaskRule::IfSelected, .run = run<Pinch>, .params = specsOf<Pinch>, .wholePicture = true},
    {.id = 32858, .text = "Fish Eye", .mask = MaskRule::IfSelected, .run = run<FishEye>, .params = specsOf<FishEye>},
    {.id = 32866, .text = "Rain Drops", .mask = MaskRule::Always, .run = run<RainDrops>, .params = specsOf<RainDrops>, .wholePicture = true},
    {.id = 32838, .text = "Aqua", .mask = MaskRule::IfSelected, .run = run<Aqua>, .params = {}},
    {.id = 32842, .text = "Darker", .mask = MaskRule::IfSelected, .run = run<Darker>, .params = {}},
    {.id = 32840, .text = "Ice", .mask = MaskRule::IfSelected, .run = run<Ice>, .params = {}},
    {.id = 32841, .text = "Molten", .mask = MaskRule::IfSelected, .run = run<Molten>, .params = {}},
    {.id = 32839, .text = "Old Photo", .mask = MaskRule::IfSelected, .run = run<OldPhoto>, .params = {}},
    {.id = 32843, .text = "Subtence", .mask = MaskRule::IfSelected, .run = run<Subtence>, .params = {}},
};
// clang-format on

} // namespace

std::span<const EffectDef> EffectTable() {
    return kEffects;
}

const EffectDef* FindEffect(int id) {
    for (const EffectDef& e : kEffects)
        if (e.id == id) return &e;
    return nullptr;
}
