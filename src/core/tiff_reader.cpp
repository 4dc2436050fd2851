// SPDX-License-Identifier: GPL-3.0-or-later
// Reads 8-bit RGB and RGBA TIFF files with libtiff. Qt's TIFF reader hands out
// premultiplied pixels, which changes the colour of translucent pixels; this
// reader keeps unassociated alpha exactly. Other TIFF layouts go to Qt.
#include "core/tiff_reader.h"

#include "core/large_image.h"

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

int ignoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace

TIFF* OpenTiff(const QString& path, const char* mode, QString* error) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepFirstError, error);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreWarning, nullptr);
    TIFF* tif = TIFFOpenExt(QFile::encodeName(path).constData(), mode, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

namespace {

// One row of 8-bit RGB(A) samples to the BGR888 or ARGB32 layout, with
// associated alpha made straight.
void convertRow(const std::uint8_t* s, std::uint8_t* d, std::uint32_t count, int spp,
                bool associated) {
    const bool alpha = spp == 4;
    for (std::uint32_t x = 0; x < count; ++x, s += spp, d += alpha ? 4 : 3) {
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

// Reads a tiled 8-bit RGB(A) picture tile by tile; a tile that cannot be read
// stays transparent black and marks the picture damaged.
void readTiles(TIFF* tif, QImage& image, int spp, bool associated, bool* damaged) {
    std::uint32_t tw = 0, th = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    const std::uint32_t w = std::uint32_t(image.width()), h = std::uint32_t(image.height());
    const int bpp = spp == 4 ? 4 : 3;
    image.fill(0);
    if (tw == 0 || th == 0) {
        *damaged = true;
        return;
    }
    std::vector<std::uint8_t> tile(std::size_t(TIFFTileSize(tif)));
    for (std::uint32_t ty = 0; ty < h; ty += th)
        for (std::uint32_t tx = 0; tx < w; tx += tw) {
            if (TIFFReadTile(tif, tile.data(), tx, ty, 0, 0) < 0) {
                *damaged = true;
                continue;
            }
            for (std::uint32_t r = 0; r < th && ty + r < h; ++r)
                convertRow(tile.data() + std::size_t(r) * tw * spp,
                           image.scanLine(int(ty + r)) + std::size_t(tx) * bpp,
                           std::min(tw, w - tx), spp, associated);
        }
}

// Any other tiled layout through libtiff's RGBA conversion.
QImage readTiledAsRgba(TIFF* tif, std::uint32_t w, std::uint32_t h, bool* damaged) {
    QImage image(int(w), int(h), QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull()) return {};
    if (!TIFFReadRGBAImageOriented(tif, w, h, reinterpret_cast<std::uint32_t*>(image.bits()),
                                   ORIENTATION_TOPLEFT, 0))
        *damaged = true;
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TiffRead ReadTiffExactly(const QString& path, qint64 fileSize) {
    TiffRead out;
    TIFF* tif = OpenTiff(path, "r", &out.error);
    if (!tif) {
        out.error.clear(); // Qt's reader reports the file itself
        return out;
    }
    std::uint32_t w = 0, h = 0;
    std::uint16_t bits = 0, spp = 0, photometric = 0, planar = PLANARCONFIG_CONTIG,
                  orientation = ORIENTATION_TOPLEFT;
    std::uint16_t compression = COMPRESSION_NONE;
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
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    auto refuse = [&](const QString& why) {
        TIFFClose(tif);
        out.refusal = why;
        return std::move(out);
    };
    if (!TIFFIsCODECConfigured(compression))
        return refuse(
            QStringLiteral("the pixels are compressed with scheme %1, which Lumaset cannot read")
                .arg(compression));
    const bool tiled = TIFFIsTiled(tif);
    const std::uint64_t firstOffset = TIFFGetStrileOffset(tif, 0);
    if (firstOffset >= std::uint64_t(fileSize))
        return refuse(
            QStringLiteral(
                "the pixel data would start at byte %1, beyond the end of the file (%2 bytes)")
                .arg(firstOffset)
                .arg(fileSize));
    if (!IsWithinPictureLimit(w, h)) {
        TIFFClose(tif);
        return out; // Qt's reader refuses it with the size
    }
    const bool simple = bits == 8 && (spp == 3 || spp == 4) && photometric == PHOTOMETRIC_RGB &&
                        planar == PLANARCONFIG_CONTIG && orientation == ORIENTATION_TOPLEFT;
    if (!simple) {
        if (tiled) out.image = readTiledAsRgba(tif, w, h, &out.damaged);
        TIFFClose(tif);
        return out;
    }
    const bool alpha = spp == 4;
    const bool associated = alpha && extraCount > 0 && extra && extra[0] == EXTRASAMPLE_ASSOCALPHA;
    QImage image(int(w), int(h), alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (image.isNull()) {
        TIFFClose(tif);
        return out;
    }
    if (tiled) {
        readTiles(tif, image, spp, associated, &out.damaged);
    } else {
        std::vector<std::uint8_t> row(std::size_t(TIFFScanlineSize(tif)));
        for (std::uint32_t y = 0; y < h; ++y) {
            if (TIFFReadScanline(tif, row.data(), y, 0) < 0) {
                // Keep what was read; the rest is transparent black.
                out.damaged = true;
                for (std::uint32_t r = y; r < h; ++r)
                    std::memset(image.scanLine(int(r)), 0, std::size_t(image.bytesPerLine()));
                break;
            }
            convertRow(row.data(), image.scanLine(int(y)), w, spp, associated);
        }
    }
    TIFFClose(tif);
    out.image = std::move(image);
    return out;
}
