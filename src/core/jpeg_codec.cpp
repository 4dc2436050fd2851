// SPDX-License-Identifier: GPL-3.0-or-later
// libjpeg-turbo reader and writer.
#include "core/jpeg_codec.h"

#include "core/file_io.h"
#include "core/large_image.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = {};
    int warnings = 0;
};

void onError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// libjpeg reports corrupt or missing data as warnings and goes on; they are
// collected (silently) so the picture can be marked damaged.
void onMessage(j_common_ptr info, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0) {
        if (err->warnings++ == 0) (*info->err->format_message)(info, err->message);
    }
}

// libjpeg's error handling routed to the two handlers above.
jpeg_error_mgr* silentErrors(ErrorManager* err) {
    jpeg_std_error(&err->base);
    err->base.error_exit = onError;
    err->base.emit_message = onMessage;
    return &err->base;
}

enum class Outcome { Done, Failed, TooLarge, Unsupported };

// The libjpeg part, free of objects with destructors because errors longjmp.
Outcome readRows(const FileContents& file, qint64 fileSize, ErrorManager* err, QImage* image,
                 int maxSide, qint64 maxBytes, int* rowsRead) {
    jpeg_decompress_struct info;
    info.err = silentErrors(err);
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&info);
        return Outcome::Failed;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data.get(), static_cast<unsigned long>(file.size));
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return Outcome::Unsupported;
    }
    // A JPEG needs at least a bit for every 8 x 8 block; a large picture
    // declared by a small file is a bomb or mostly missing.
    const qint64 pixels = qint64(info.image_width) * info.image_height;
    if (info.image_width > JDIMENSION(maxSide) || info.image_height > JDIMENSION(maxSide) ||
        pixels * 3 > maxBytes || (pixels > (qint64(64) << 20) && pixels / 4096 > fileSize)) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    *image =
        AllocateLargeImage(int(info.output_width), int(info.output_height), QImage::Format_BGR888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    // Several rows a call: the decoder hands out a whole band of blocks at once.
    constexpr int kBand = 16;
    JSAMPROW rows[kBand];
    while (info.output_scanline < info.output_height) {
        const int first = int(info.output_scanline);
        const int count = std::min(kBand, int(info.output_height) - first);
        for (int i = 0; i < count; ++i)
            rows[i] = image->scanLine(first + i);
        jpeg_read_scanlines(&info, rows, JDIMENSION(count));
        *rowsRead = int(info.output_scanline);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Outcome::Done;
}

QImage oriented(const QImage& image, QImageIOHandler::Transformations t) {
    if (t == QImageIOHandler::TransformationNone) return image;
    QImage out = image;
    if (t & QImageIOHandler::TransformationMirror) out = out.mirrored(true, false);
    if (t & QImageIOHandler::TransformationFlip) out = out.mirrored(false, true);
    if (t & QImageIOHandler::TransformationRotate90) out = out.transformed(QTransform().rotate(90));
    return out;
}

bool writeRows(FILE* file, ErrorManager* err, const QImage& image, int quality) {
    jpeg_compress_struct info;
    info.err = silentErrors(err);
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    const bool four = image.format() == QImage::Format_ARGB32;
    info.input_components = four ? 4 : 3;
    info.in_color_space = four ? JCS_EXT_BGRA : JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

JpegReadResult ReadJpeg(const QString& path, int maxSide, qint64 maxBytes) {
    JpegReadResult result;
    FileContents file;
    if (!ReadWholeFile(path, &file)) {
        result.error = QStringLiteral("the file could not be read");
        return result;
    }
    ErrorManager err;
    QImage image;
    int rows = 0;
    const Outcome outcome =
        readRows(file, qint64(file.size), &err, &image, maxSide, maxBytes, &rows);
    file.data.reset();
    switch (outcome) {
    case Outcome::Unsupported:
        result.unsupported = true;
        return result;
    case Outcome::TooLarge:
        result.error = QStringLiteral("the picture is too large");
        return result;
    case Outcome::Failed:
        if (rows == 0 || image.isNull()) {
            result.error = QStringLiteral("the picture data is invalid (%1)").arg(err.message);
            return result;
        }
        result.damaged = true; // keep the rows that were read
        break;
    case Outcome::Done:
        result.damaged = err.warnings > 0;
        break;
    }
    if (result.damaged) result.error = QString::fromLatin1(err.message);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    result.image = oriented(image, reader.transformation());
    return result;
}

bool WriteJpeg(const QImage& source, const QString& path, int quality) {
    const QImage image =
        source.format() == QImage::Format_ARGB32 || source.format() == QImage::Format_BGR888
            ? source
            : source.convertToFormat(QImage::Format_BGR888);
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file) return false;
    ErrorManager err;
    bool ok = writeRows(file, &err, image, quality);
    ok = std::fflush(file) == 0 && ok;
    return std::fclose(file) == 0 && ok;
}
