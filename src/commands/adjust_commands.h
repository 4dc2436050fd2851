// SPDX-License-Identifier: GPL-3.0-or-later
// Handlers of the Image menu's adjustment commands (blend, tone, colour,
// curve, channel operations, resize) and of File New, with the parameters
// their dialogs start from.
#pragma once

#include "adjust/curves.h"
#include "commands/command.h"

#include <vector>

// Table rows stay one a line.
// clang-format off
inline constexpr ParamSpec kBlendParams[] = {
    {"mode", ParamKind::Text, "Darken", 0, 0, "blend mode: a label (Darken ... Exclusion) or 0..18"},
    {"alpha", ParamKind::Integer, "100", -1e9, 1e9, "opacity in per cent, limited to 0..100"},
    {"channel", ParamKind::Text, "RGB", 0, 0, "RGB, Red, Green, Blue or 0..3"},
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
inline constexpr ParamSpec kGammaParams[] = {
    {"gamma", ParamKind::Real, "", -1e9, 1e9, "gamma, limited to 0.1..5.0 (default: from position)"},
    {"position", ParamKind::Integer, "1", 0, 100, "the dialog's slider: 50 is gamma 1.0, 100 is 5.0"},
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
    {"restrict", ParamKind::Integer, "1", 0, 1, "1 keeps the aspect ratio for the side not given"},
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
