// SPDX-License-Identifier: GPL-3.0-or-later
// Resize arithmetic and the resized copy.
#include "adjust/resize.h"

#include "adjust/blend.h"
#include "core/codecs.h"

int HeightForWidth(int width, double ratio) { return int(width / ratio + 0.5); }
int WidthForHeight(int height, double ratio) { return int(height * ratio + 0.5); }

bool IsAcceptedImageSize(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
           qint64(width) * height * 4 <= kMaxPixelBytes;
}

const char* ImageSizeRefusal() {
    return "The width and height must lie between 1 and 30000 pixels, and the picture within 1 GiB.";
}

ResizeModel::ResizeModel(int width, int height)
    : m_ratio(double(width) / height), m_width(width), m_height(height) {}

void ResizeModel::typeWidth(int width) {
    m_width = width;
    if (m_restrict) m_height = HeightForWidth(width, m_ratio);
}

void ResizeModel::typeHeight(int height) {
    m_height = height;
    if (m_restrict) m_width = WidthForHeight(height, m_ratio);
}

std::unique_ptr<Bitmap> ResizeImage(Bitmap& image, int width, int height) {
    return ScaledCopy(image, width, height);
}
