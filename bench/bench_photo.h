// SPDX-License-Identifier: GPL-3.0-or-later
// A 24-megapixel test photo for the benchmarks: the bundled sample photo
// scaled to 6000 x 4000 with a little grain, like a camera's output.
#pragma once

#include "core/bitmap.h"

#include <benchmark/benchmark.h>
#include <memory>

inline constexpr int kBenchWidth = 6000, kBenchHeight = 4000;

std::unique_ptr<Bitmap> MakeBenchPhoto(PixelFormat format, int width = kBenchWidth,
                                       int height = kBenchHeight);

// The 24-megapixel photo in a 24- or 32-bit format, made once per program.
Bitmap& BenchPhoto(PixelFormat format = PixelFormat24bppRGB);

// Reports the speed in megapixels per second of a routine over the photo.
void SetMegapixelRate(benchmark::State& state);
