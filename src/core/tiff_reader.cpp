// SPDX-License-Identifier: GPL-3.0-or-later
// Reads 8-bit RGB and RGBA TIFF files with libtiff. Qt's TIFF reader hands out
// premultiplied pixels, which changes the colour of translucent pixels; this
// reader keeps unassociated alpha exactly. Other TIFF layouts go to Qt.
#include "core/tiff_reader.h"

#include <QFile>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tiffio.h>
#include <vector>

namespace {

// Keeps libtiff's first error of one file; warnings are ignored. Returning 1
// stops libtiff from calling the process-wide handlers, so nothing reaches
// the terminal and concurrent reads never share state.
int keepFirstError(TIFF*, void* context, const char*, const char* format, va_list args) {
    auto* error = static_cast<QString*>(context);
    if (error && error->isEmpty()) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        *error = QString::fromLocal8Bit(text);
    }
    return 1;
}

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

} // namespace

TIFF* OpenTiff(const QString& path, const char* mode, QString* error) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepFirstError, error);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, nullptr);
    TIFF* tif = TIFFOpenExt(QFile::encodeName(path).constData(), mode, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

std::optional<QImage> ReadTiffExactly(const QString& path, bool* damaged, QString* error) {
    TIFF* tif = OpenTiff(path, "r", error);
    if (!tif) return std::nullopt;
    std::uint32_t w = 0, h = 0;
    std::uint16_t bits = 0, spp = 0, photometric = 0, planar = PLANARCONFIG_CONTIG, orientation = ORIENTATION_TOPLEFT;
    std::uint16_t extraCount = 0;
    std::uint16_t* extra = nullptr;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    const bool simple = bits == 8 && (spp == 3 || spp == 4) && photometric == PHOTOMETRIC_RGB &&
                        planar == PLANARCONFIG_CONTIG && orientation == ORIENTATION_TOPLEFT &&
                        !TIFFIsTiled(tif) && w > 0 && h > 0 && w <= 30000 && h <= 30000;
    if (!simple) {
        TIFFClose(tif);
        return std::nullopt;
    }
    const bool alpha = spp == 4;
    const bool associated = alpha && extraCount > 0 && extra && extra[0] == EXTRASAMPLE_ASSOCALPHA;
    QImage image(int(w), int(h), alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (image.isNull()) {
        TIFFClose(tif);
        return std::nullopt;
    }
    std::vector<std::uint8_t> row(TIFFScanlineSize(tif));
    for (std::uint32_t y = 0; y < h; ++y) {
        if (TIFFReadScanline(tif, row.data(), y, 0) < 0) {
            // Keep what was read; the rest stays as the image was made.
            *damaged = true;
            for (std::uint32_t r = y; r < h; ++r) std::memset(image.scanLine(int(r)), 0, image.bytesPerLine());
            break;
        }
        std::uint8_t* d = image.scanLine(int(y));
        const std::uint8_t* s = row.data();
        for (std::uint32_t x = 0; x < w; ++x, s += spp, d += alpha ? 4 : 3) {
            int r = s[0], g = s[1], b = s[2];
            if (associated && s[3] != 0 && s[3] != 255) {
                r = std::min(255, r * 255 / s[3]);
                g = std::min(255, g * 255 / s[3]);
                b = std::min(255, b * 255 / s[3]);
            }
            d[0] = std::uint8_t(b);
            d[1] = std::uint8_t(g);
            d[2] = std::uint8_t(r);
            if (alpha) d[3] = s[3];
        }
    }
    TIFFClose(tif);
    return image;
}
