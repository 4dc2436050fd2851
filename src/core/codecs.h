// SPDX-License-Identifier: GPL-3.0-or-later
// Reading picture files into bitmaps and writing bitmaps to files.
//
// Decoding keeps the picture's own depth where the pixel routines can work on
// it: pictures without alpha become 24-bit, pictures with alpha (a transparent
// palette entry counts) 32-bit ARGB. Palette, grey, 1-bit, 16-bit-per-channel
// and CMYK pictures are converted; EXIF orientation is applied; no colour
// management. Pictures above kMaxSide pixels on a side or kMaxPixelBytes of
// pixel memory are refused before anything large is allocated.
#pragma once

#include "core/bitmap.h"
#include "core/large_image.h"

#include <QString>
#include <memory>
#include <vector>

struct DecodedImage {
    std::unique_ptr<Bitmap> bitmap; // null when the file could not be read
    bool damaged = false;           // decoded only in part (truncated or corrupt data)
    QString error;                  // why it could not be read, or what was damaged
};

// Decodes the file by its content (not its name); "-" reads standard input.
DecodedImage DecodeImageFile(const QString& path);

// The JPEG quality of a save that names none.
inline constexpr int kDefaultJpegQuality = 90;

// Writes a bitmap to a file path in one format; quality (1..100) is the JPEG
// quality, which the other formats ignore. Returns false on failure.
using EncodeFn = bool (*)(const Bitmap& bitmap, const QString& path, int quality);

// One encoder of the encoder list.
struct ImageCodecInfo {
    const char* MimeType;
    const char* FormatDescription;
    const char* FilenameExtension;
    EncodeFn encode;
};

// The encoders, in a fixed order: BMP, JPEG, GIF, TIFF, PNG.
const std::vector<ImageCodecInfo>& GetImageEncoders();
// Index of the first encoder whose MIME type equals mime exactly, or -1.
int FindEncoderClsid(const QString& mime);

// Encodes to path with the encoder at index without ever destroying an old
// file (WriteFileSafely: regular files are replaced atomically, devices and
// pipes written in place, "-" is standard output). On failure path is
// untouched and error says why. A read-only existing file is not replaced.
// quality is the JPEG quality, 1..100.
bool SaveBitmapFile(const Bitmap& bitmap, const QString& path, int encoderIndex,
                    QString* error = nullptr, int quality = kDefaultJpegQuality);
