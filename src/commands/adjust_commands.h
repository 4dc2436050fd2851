// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers of the Image menu's adjustment commands (blend, tone, colour,
// curve, channel operations, resize) and of File New, with the parameters
// their dialogs start from.
#pragma once

#include "adjust/blend.h"
#include "adjust/curves.h"
#include "commands/command.h"

#include <vector>

inline constexpr const char* kOffOn[] = {"off", "on"};
// Table rows stay one a line.
// clang-format off
inline constexpr ParamSpec kBlendParams[] = {
    {"mode", ParamKind::Text, "Darken", 0, 0, "blend mode: a label (Darken ... Exclusion) or 0..18", 0, kBlendModeLabels},
    {"alpha", ParamKind::Integer, "100", 0, 100, "opacity in per cent"},
    {"channel", ParamKind::Text, "RGB", 0, 0, "RGB, Red, Green, Blue or 0..3", 0, kBlendChannelLabels},
};
// clang-format on
inline constexpr ParamSpec kBrightnessContrastParams[] = {
    {"brightness", ParamKind::Integer, "0", -255, 255, "added to every colour level"},
    {"contrast", ParamKind::Integer, "0", -100, 100, "contrast change in per cent"},
};
inline constexpr ParamSpec kColorBalanceParams[] = {
    {"red", ParamKind::Integer, "0", -255, 255, "shift of the red level"},
    {"green", ParamKind::Integer, "0", -255, 255, "shift of the green level"},
    {"blue", ParamKind::Integer, "0", -255, 255, "shift of the blue level"},
};
// Table rows stay one a line.
// clang-format off
// The command line gives one of the two; the dialog starts at position 1.
inline constexpr ParamSpec kGammaParams[] = {
    {.name = "gamma", .kind = ParamKind::Real, .defaultValue = "", .minimum = 0.02, .maximum = 5, .help = "gamma, raised to at least 0.1 (used instead of position)", .required = true},
    {.name = "position", .kind = ParamKind::Integer, .defaultValue = "1", .minimum = 0, .maximum = 100, .help = "the dialog's slider: 50 is gamma 1.0, 100 is 5.0", .required = true},
};
// clang-format on
// Table rows stay one a line.
// clang-format off
inline constexpr ParamSpec kCurveParams[] = {
    {"points", ParamKind::Text, "0:0;255:255", 0, 0, "control points X:Y (0..255, X increasing) separated by ';'"},
};
// clang-format on
inline constexpr ParamSpec kResizeParams[] = {
    {"width", ParamKind::Integer, "", 1, 30000, "new width (default: the current width)"},
    {"height", ParamKind::Integer, "", 1, 30000, "new height (default: the current height)"},
    {"restrict", ParamKind::Integer, "1", 0, 1, "1 keeps the aspect ratio for the side not given",
     0, kOffOn},
};

CommandResult OnBlend(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnBrightnessContrast(EditContext& context, const CommandDef& command,
                                   const Params& params);
CommandResult OnColorBalance(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnGamma(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnCurve(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnGray(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnReverse(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnRotateChannel(EditContext& context, const CommandDef& command,
                              const Params& params);
// Red (32807), Green (32808) and Blue (32809): the channel filter of the command.
CommandResult OnChannelFilter(EditContext& context, const CommandDef& command,
                              const Params& params);
CommandResult OnResize(EditContext& context, const CommandDef& command, const Params& params);
CommandResult OnNewImage(EditContext& context, const CommandDef& command, const Params& params);

// "mode" and "channel" values: a label (any case) or a number in range; -1 otherwise.
int ParseBlendMode(const QString& text);
int ParseBlendChannel(const QString& text);
// "X:Y;X:Y;..." with 0..255 values, at least two points and X increasing;
// false when the text is not such a list.
bool ParseCurvePoints(const QString& text, std::vector<CurvePoint>& points);
