// SPDX-License-Identifier: GPL-3.0-or-later
// libpng reader.
#include "core/png_reader.h"

#include "core/large_image.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <vector>

namespace {

struct ReadState {
    char message[200] = {};
    int rowsRead = 0;
    png_alloc_size_t allocationLimit = 0; // no single block of libpng's may be larger
    png_alloc_size_t refusedSize = 0;     // the block asked for beyond it, if any
};

// libpng asks for a chunk's whole declared length before reading it, and not
// every chunk kind is held to its chunk limit: one that declares 2 GB in a
// file of a hundred bytes would be allocated and filled first. No block larger
// than the limit is handed out; libpng then skips the chunk or fails.
png_voidp limitedMalloc(png_structp png, png_alloc_size_t size) {
    auto* state = static_cast<ReadState*>(png_get_mem_ptr(png));
    if (size > state->allocationLimit) {
        state->refusedSize = size;
        return nullptr;
    }
    return std::malloc(size);
}

void limitedFree(png_structp, png_voidp memory) {
    std::free(memory);
}

void onError(png_structp png, png_const_charp message) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// The libpng part, free of objects with destructors because libpng reports
// errors by longjmp. Fills image row by row.
bool readInto(FILE* file, qint64 fileSize, ReadState* state, QImage* image, int maxSide,
              qint64 maxBytes, QString* refusal) {
    // Row buffers of the widest picture are far below 64 MiB; no chunk can be
    // larger than the file.
    state->allocationLimit = png_alloc_size_t(std::max<qint64>(fileSize, qint64(64) << 20));
    png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, state, onError, onWarning,
                                               state, limitedMalloc, limitedFree);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_user_limits(png, png_uint_32(maxSide), png_uint_32(maxSide));
    // No chunk can hold more than the file does. Ancillary chunks are few in
    // real files, so a flood of them is refused as well.
    png_set_chunk_malloc_max(png, png_alloc_size_t(std::max<qint64>(fileSize, 1)));
    png_set_chunk_cache_max(png, 1000);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const bool alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    if (w > png_uint_32(maxSide) || h > png_uint_32(maxSide) || qint64(w) * h * 4 > maxBytes) {
        *refusal = PictureLimitRefusal(w, h);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // Deflate cannot compress better than about 1032:1, so a picture that
    // needs more than that from the bytes the file holds is a bomb or broken.
    const qint64 rawBytes = (qint64(png_get_rowbytes(png, info)) + 1) * h;
    if (rawBytes / 1032 > fileSize) {
        *refusal =
            QStringLiteral("the picture declares %1 x %2 pixels, more than the file can hold")
                .arg(w)
                .arg(h);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png); // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!alpha) png_set_strip_alpha(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *image = QImage(int(w), int(h), alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (image->isNull()) {
        *refusal = QStringLiteral("not enough memory for the picture");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    // Rows are written as they are read; only an interlaced picture, whose
    // passes fill rows piecemeal, starts from zeros.
    if (passes > 1) image->fill(0);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y) {
            png_read_row(png, image->scanLine(int(y)), nullptr);
            if (passes == 1) state->rowsRead = int(y) + 1;
        }
    state->rowsRead = int(h);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

PngReadResult ReadPng(const QString& path, int maxSide, qint64 maxBytes) {
    PngReadResult result;
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file) {
        result.error = QStringLiteral("the file could not be read");
        return result;
    }
    ReadState state;
    QString refusal;
    QImage image;
    const bool ok =
        readInto(file, QFileInfo(path).size(), &state, &image, maxSide, maxBytes, &refusal);
    std::fclose(file);
    if (ok) {
        result.image = std::move(image);
    } else if (!refusal.isEmpty()) {
        result.error = refusal;
    } else if (state.rowsRead > 0 && !image.isNull()) {
        // Rows after the damage become transparent black.
        for (int y = state.rowsRead; y < image.height(); ++y)
            std::memset(image.scanLine(y), 0, image.bytesPerLine());
        result.image = std::move(image);
        result.damaged = true;
        result.error = QStringLiteral("%1 of %2 rows could be read (%3)")
                           .arg(state.rowsRead)
                           .arg(result.image.height())
                           .arg(state.message);
    } else if (state.refusedSize > 0) {
        result.error = QStringLiteral("a chunk declares %1 bytes, more than the file holds")
                           .arg(state.refusedSize);
    } else {
        result.error =
            QStringLiteral("the picture data is invalid or incomplete (%1)").arg(state.message);
    }
    return result;
}
