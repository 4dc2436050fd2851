// SPDX-License-Identifier: GPL-3.0-or-later
// A 24-megapixel test photo for the benchmarks: the bundled sample photo
// scaled to 6000 x 4000 with a little grain, like a camera's output.
#pragma once

#include "core/bitmap.h"

#include <memory>

std::unique_ptr<Bitmap> MakeBenchPhoto(PixelFormat format, int width = 6000, int height = 4000);
