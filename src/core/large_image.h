// SPDX-License-Identifier: GPL-3.0-or-later
// Allocation of large pictures that decoders fill row by row.
#pragma once

#include <QImage>

// An uninitialised image whose memory is asked for in huge pages, so that
// filling a 24-megapixel picture takes a few hundred page faults instead of
// tens of thousands. Null when the memory cannot be had.
QImage AllocateLargeImage(int width, int height, QImage::Format format);
