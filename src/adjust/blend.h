// SPDX-License-Identifier: GPL-3.0-or-later
// The blend arithmetic: a per-channel table of 19 modes mixed by an opacity,
// applied from one image onto another, and the stretched copy used for
// thumbnails and resizing.
#pragma once

#include "core/bitmap.h"

#include <cstdint>
#include <memory>

// The modes in the order of the dialog's mode list. LinearDodge and Add are the
// same function; both labels stay because the list shows both.
enum class BlendMode : int {
    Darken,
    Light,
    Multiply,
    Screen,
    ColorDodge,
    ColorBurn,
    LinearDodge,
    LinearBurn,
    Overlay,
    SoftLight,
    HardLight,
    VividLight,
    LinearLight,
    PinLight,
    HardMix,
    Add,
    Sub,
    Difference,
    Exclusion,
};

inline constexpr int kBlendModeCount = 19;
// The mode list's labels, indexed by BlendMode.
extern const char* const kBlendModeLabels[kBlendModeCount];
// The channel list's labels: all three colour channels, then one each.
inline constexpr const char* kBlendChannelLabels[] = {"RGB", "Red", "Green", "Blue"};

// Table of 65536 results: entry base * 256 + blend, where base is the target's
// channel value and blend the source's.
inline constexpr int kBlendTableSize = 65536;

// Fills table for mode at opacity (1.0 full effect, 0.0 none; limited to
// 0..1). Each entry is trunc(base * (1 - opacity) + f(base, blend) * opacity)
// in double precision, limited to 0..255, with f the mode's value (integer or
// double quotients as each mode defines). A mode outside 0..18 leaves the
// identity table (entry = base).
void BuildBlendTable(std::uint8_t* table, int mode, double opacity);

// Blends source into target in place over the whole image, with one table
// lookup per written byte; alpha is never written. Channel selectors use
// ChannelIndex: 0 all colour bytes, 1 red, 2 green, 3 blue, any other value
// blue.
//   both 0:             each colour byte c: T[c] = table[T[c]][S[c]]
//   both non-zero:      only T[k]: T[k] = table[T[k]][S[k']]
//   target 0, source k': each colour byte c: T[c] = table[T[c]][S[k']]
//   target k, source 0: only T[k]: T[k] = table[T[k]][S[k]]
// Does nothing unless both images have the same size and format with at least
// three bytes per pixel. Target and source may be the same bitmap.
void BlendImages(Bitmap& target, int targetChannel, Bitmap& source, int sourceChannel, int mode,
                 double opacity);

// A new 32-bit ARGB bitmap of width x height holding the whole of image
// stretched over it with smooth (bilinear) filtering; the aspect ratio is not
// kept. An invalid size gives an invalid bitmap (never null).
std::unique_ptr<Bitmap> ScaledCopy(const Bitmap& image, int width, int height);
