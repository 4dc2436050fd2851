// SPDX-License-Identifier: GPL-3.0-or-later
// PNG reader: 8-bit RGB and RGBA pictures, the common case, are decoded here
// with libdeflate straight into the image rows; everything else, and any file
// that is not perfectly formed, goes through libpng.
#include "core/png_reader.h"

#include "core/file_io.h"
#include "core/large_image.h"

#include <QFile>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <libdeflate.h>
#include <memory>
#include <png.h>
#include <vector>

namespace {

// The whole file, and libpng's read position in it.
struct FileBytes : FileContents {
    std::size_t at = 0;
};

std::uint32_t be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Undoes one row's filter from raw into cur, given the row above (zeros for
// the first row). False for an unknown filter type.
template <int Bpp>
bool unfilterRow(int type, const std::uint8_t* raw, const std::uint8_t* prev, std::uint8_t* cur,
                 std::size_t bytes) {
    switch (type) {
    case 0:
        std::memcpy(cur, raw, bytes);
        return true;
    case 1:
        for (std::size_t i = 0; i < bytes; ++i)
            cur[i] = std::uint8_t(raw[i] + (i >= Bpp ? cur[i - Bpp] : 0));
        return true;
    case 2:
        for (std::size_t i = 0; i < bytes; ++i)
            cur[i] = std::uint8_t(raw[i] + prev[i]);
        return true;
    case 3:
        for (std::size_t i = 0; i < Bpp; ++i)
            cur[i] = std::uint8_t(raw[i] + (prev[i] >> 1));
        for (std::size_t i = Bpp; i < bytes; ++i)
            cur[i] = std::uint8_t(raw[i] + ((cur[i - Bpp] + prev[i]) >> 1));
        return true;
    case 4:
        for (std::size_t i = 0; i < Bpp; ++i)
            cur[i] = std::uint8_t(raw[i] + prev[i]);
        for (std::size_t i = Bpp; i < bytes; ++i) {
            const int a = cur[i - Bpp], b = prev[i], c = prev[i - Bpp];
            const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
            cur[i] = std::uint8_t(raw[i] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
        }
        return true;
    default:
        return false;
    }
}

// Unfilters the rows that start at raw (a type byte, then the row) into the
// image, turning the file's R, G, B(, A) into memory's B, G, R(, A). The raw
// rows lie in the image's own memory, each at or after the place of its
// image row, so the image is filled in place without a second buffer.
template <int Bpp> bool unfilterInto(const std::uint8_t* raw, QImage* image) {
    const std::size_t bytes = std::size_t(image->width()) * Bpp;
    std::vector<std::uint8_t> prev(bytes, 0), cur(bytes);
    for (int y = 0; y < image->height(); ++y) {
        const std::uint8_t* row = raw + std::size_t(y) * (bytes + 1);
        if (!unfilterRow<Bpp>(row[0], row + 1, prev.data(), cur.data(), bytes)) return false;
        std::uint8_t* out = image->scanLine(y);
        for (std::size_t i = 0; i < bytes; i += Bpp) {
            out[i] = cur[i + 2];
            out[i + 1] = cur[i + 1];
            out[i + 2] = cur[i];
            if constexpr (Bpp == 4) out[i + 3] = cur[i + 3];
        }
        prev.swap(cur);
    }
    return true;
}

enum class Plain { Decoded, NotPlain, Failed };

// Decodes an 8-bit RGB or RGBA picture, not interlaced, whose chunks are all
// whole with correct checksums and whose data decompresses exactly, within
// the limits. NotPlain (file untouched) for any other file; Failed when the
// file was plain but its data turned out bad (the IDAT data has been moved
// within file->data then).
Plain readPlain(FileBytes* file, int maxSide, qint64 maxBytes, QImage* image) {
    std::uint8_t* const data = file->data.get();
    const std::size_t size = file->size;
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < 8 + 25 + 12 || std::memcmp(data, signature, 8) != 0) return Plain::NotPlain;
    // Walks the chunks, checking each; the IDAT run is noted.
    std::size_t at = 8, idatFirst = 0, idatEnd = 0;
    bool sawIend = false, idatClosed = false;
    std::uint8_t header[13] = {};
    for (int index = 0; at + 12 <= size; ++index) {
        const std::uint32_t length = be32(data + at);
        if (length > 0x7fffffffu || length > size - at - 12) return Plain::NotPlain;
        const std::uint8_t* type = data + at + 4;
        // Chunk names are four ASCII letters; libpng refuses anything else.
        for (int i = 0; i < 4; ++i)
            if (!((type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z')))
                return Plain::NotPlain;
        if (libdeflate_crc32(0, type, length + 4) != be32(type + 4 + length))
            return Plain::NotPlain;
        const bool isIdat = std::memcmp(type, "IDAT", 4) == 0;
        if (index == 0) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return Plain::NotPlain;
            std::memcpy(header, type + 4, 13);
        } else if (isIdat) {
            if (idatClosed) return Plain::NotPlain;
            if (idatFirst == 0) idatFirst = at;
            idatEnd = at + 12 + length;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            sawIend = true;
            break;
        } else if (!(type[0] & 0x20) || std::memcmp(type, "tRNS", 4) == 0) {
            return Plain::NotPlain; // PLTE, tRNS or an unknown critical chunk
        } else if (idatFirst != 0) {
            idatClosed = true;
        }
        at += 12 + length;
    }
    const std::uint32_t w = be32(header), h = be32(header + 4);
    const int depth = header[8], colourType = header[9];
    if (!sawIend || idatFirst == 0 || depth != 8 || (colourType != 2 && colourType != 6) ||
        header[10] != 0 || header[11] != 0 || header[12] != 0)
        return Plain::NotPlain;
    const int bpp = colourType == 6 ? 4 : 3;
    // Sizes beyond the limits get libpng's path and its refusal.
    if (w == 0 || h == 0 || w > std::uint32_t(maxSide) || h > std::uint32_t(maxSide) ||
        qint64(w) * h * 4 > maxBytes)
        return Plain::NotPlain;
    const std::size_t rowBytes = std::size_t(w) * bpp + 1;
    if (qint64(rowBytes * h) / 1032 > qint64(size)) return Plain::NotPlain;

    // The IDAT payloads are joined in place into one run.
    std::size_t compressed = 0;
    for (std::size_t c = idatFirst; c < idatEnd;) {
        const std::uint32_t length = be32(data + c);
        std::memmove(data + compressed, data + c + 8, length);
        compressed += length;
        c += 12 + length;
    }
    const QImage::Format format = bpp == 4 ? QImage::Format_ARGB32 : QImage::Format_BGR888;
    const qsizetype bytesPerLine = ((qsizetype(w) * bpp + 3) / 4) * 4;
    // Raw row y goes at lead + y * rowBytes, never before image row y.
    const std::size_t lead =
        bytesPerLine > qsizetype(rowBytes) ? std::size_t(bytesPerLine - rowBytes) * (h - 1) : 0;
    const std::size_t rawEnd = lead + rowBytes * h;
    const std::size_t imageBytes = std::size_t(bytesPerLine) * h;
    *image =
        AllocateLargeImage(int(w), int(h), format, rawEnd > imageBytes ? rawEnd - imageBytes : 0);
    if (image->isNull()) return Plain::Failed;
    std::uint8_t* raw = image->bits() + lead;
    libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
    if (!inflater) return Plain::Failed;
    std::size_t used = 0;
    const libdeflate_result result = libdeflate_zlib_decompress_ex(inflater, data, compressed, raw,
                                                                   rowBytes * h, &used, nullptr);
    libdeflate_free_decompressor(inflater);
    if (result != LIBDEFLATE_SUCCESS) return Plain::Failed;
    const bool ok = bpp == 4 ? unfilterInto<4>(raw, image) : unfilterInto<3>(raw, image);
    return ok ? Plain::Decoded : Plain::Failed;
}

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

// libpng's input from the file in memory; a read past its end fails as
// libpng's own file reader does.
void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* file = static_cast<FileBytes*>(png_get_io_ptr(png));
    if (length > file->size - file->at) png_error(png, "Read Error");
    std::memcpy(out, file->data.get() + file->at, length);
    file->at += length;
}

// The libpng part, free of objects with destructors because libpng reports
// errors by longjmp. Fills image row by row.
bool readInto(FileBytes* file, qint64 fileSize, ReadState* state, QImage* image, int maxSide,
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
    png_set_read_fn(png, file, readFromMemory);
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
    FileBytes file;
    if (!ReadWholeFile(path, &file)) {
        result.error = QStringLiteral("the file could not be read");
        return result;
    }
    QImage image;
    const Plain plain = readPlain(&file, maxSide, maxBytes, &image);
    if (plain == Plain::Decoded) {
        result.image = std::move(image);
        return result;
    }
    image = QImage();
    // The plain decode moved the file's bytes; libpng reads them afresh and
    // says what is wrong.
    if (plain == Plain::Failed && !ReadWholeFile(path, &file)) {
        result.error = QStringLiteral("the file could not be read");
        return result;
    }
    ReadState state;
    QString refusal;
    const bool ok = readInto(&file, qint64(file.size), &state, &image, maxSide, maxBytes, &refusal);
    file.data.reset();
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
