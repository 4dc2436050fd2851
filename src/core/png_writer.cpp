// SPDX-License-Identifier: GPL-3.0-or-later
// libpng writer.
#include "core/png_writer.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <vector>
#include <zlib.h>

namespace {

// libpng's default handlers print on the terminal; the caller reports a
// failed write itself, with the system's reason.
void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// The libpng part, kept free of objects with destructors because libpng
// reports errors by longjmp.
bool writeRows(FILE* file, const QImage& image, png_const_bytep* rows, bool alpha, PngSpeed speed) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    if (speed == PngSpeed::Fast) {
        png_set_compression_level(png, 1);
        png_set_compression_strategy(png, Z_RLE);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    } else {
        // Level 4 makes files as small as zlib's default level 6 on photos
        // in about half the time.
        png_set_compression_level(png, 4);
    }
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info(png, info);
    png_set_bgr(png); // memory holds B, G, R(, A)
    png_write_rows(png, const_cast<png_bytepp>(rows), png_uint_32(image.height()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const QImage& source, const QString& path, PngSpeed speed) {
    const bool alpha = source.hasAlphaChannel();
    const QImage image =
        source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    std::vector<png_const_bytep> rows(std::size_t(image.height()));
    for (int y = 0; y < image.height(); ++y)
        rows[std::size_t(y)] = image.constScanLine(y);
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file) return false;
    bool ok = writeRows(file, image, rows.data(), alpha, speed);
    ok = std::fflush(file) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}
