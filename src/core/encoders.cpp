// SPDX-License-Identifier: GPL-3.0-or-later
// The five encoders. PNG and JPEG go through Qt's writers; BMP, TIFF and GIF
// have writers of their own where Qt's fall short: its BMP writer drops alpha,
// its TIFF writer stores premultiplied alpha (changing translucent colours) and
// it has no GIF writer.
#include "core/codecs.h"
#include "core/jpeg_codec.h"
#include "core/png_writer.h"
#include "core/tiff_reader.h"

#include <QFile>
#include <QImageWriter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gif_lib.h>
#include <libimagequant.h>
#include <tiffio.h>
#include <vector>

namespace {

bool writeWithQt(const QImage& image, const QString& path, const char* format, int quality) {
    QImageWriter writer(path, format);
    if (quality >= 0) writer.setQuality(quality);
    return writer.write(image);
}

bool encodePng(const Bitmap& bitmap, const QString& path, int) {
    return WritePng(bitmap.image(), path, PngSpeed::Default);
}

bool encodeJpeg(const Bitmap& bitmap, const QString& path, int quality) {
    return WriteJpeg(bitmap.image(), path, quality);
}

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A 32-bit BMP with a version-4 header whose bit fields include an alpha mask,
// which other programs read as transparent. 24-bit images use Qt's writer.
bool encodeBmp(const Bitmap& bitmap, const QString& path, int) {
    const QImage& image = bitmap.image();
    if (!image.hasAlphaChannel()) return writeWithQt(image, path, "bmp", -1);
    const std::uint32_t w = std::uint32_t(image.width()), h = std::uint32_t(image.height());
    const std::uint32_t headerSize = 14 + 108, pixelBytes = w * h * 4;
    std::vector<std::uint8_t> header;
    header.reserve(headerSize);
    header.push_back('B');
    header.push_back('M');
    put32(header, headerSize + pixelBytes);
    put32(header, 0);
    put32(header, headerSize);
    put32(header, 108); // BITMAPV4HEADER
    put32(header, w);
    put32(header, h); // bottom-up
    put16(header, 1);
    put16(header, 32);
    put32(header, 3); // BI_BITFIELDS
    put32(header, pixelBytes);
    put32(header, 2835); // 72 dpi
    put32(header, 2835);
    put32(header, 0);
    put32(header, 0);
    put32(header, 0x00FF0000);    // red mask
    put32(header, 0x0000FF00);    // green
    put32(header, 0x000000FF);    // blue
    put32(header, 0xFF000000);    // alpha
    put32(header, 0x73524742);    // 'sRGB'
    header.resize(headerSize, 0); // endpoints and gamma unused for sRGB

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    if (file.write(reinterpret_cast<const char*>(header.data()), headerSize) != headerSize)
        return false;
    for (int y = int(h) - 1; y >= 0; --y)
        if (file.write(reinterpret_cast<const char*>(image.constScanLine(y)), w * 4) !=
            qint64(w) * 4)
            return false;
    return file.flush();
}

// Lossless TIFF (LZW with the horizontal predictor), RGB or RGB with
// unassociated alpha, so translucent colours come back unchanged.
bool encodeTiff(const Bitmap& bitmap, const QString& path, int) {
    const QImage& image = bitmap.image();
    const bool alpha = image.hasAlphaChannel();
    const int channels = alpha ? 4 : 3;
    QString error; // libtiff's message; the caller reports the failure itself
    TIFF* tif = OpenTiff(path, "w", &error);
    if (!tif) return false;
    const std::uint32_t w = std::uint32_t(image.width()), h = std::uint32_t(image.height());
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (alpha) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    std::vector<std::uint8_t> row(std::size_t(w) * channels);
    bool ok = true;
    for (std::uint32_t y = 0; y < h && ok; ++y) {
        const std::uint8_t* s = image.constScanLine(int(y));
        std::uint8_t* d = row.data();
        for (std::uint32_t x = 0; x < w; ++x, s += channels, d += channels) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            if (alpha) d[3] = s[3];
        }
        ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

// Nearest palette entry of a colour, looked up per cell of 6 bits a channel
// and computed on first use: photos touch a small part of the 262144 cells.
class NearestColour {
  public:
    explicit NearestColour(const liq_palette& palette) : m_palette(palette), m_cells(1 << 18, -1) {}

    int operator()(int r, int g, int b) {
        const int cell = (r >> 2) << 12 | (g >> 2) << 6 | (b >> 2);
        int& index = m_cells[std::size_t(cell)];
        if (index < 0) index = search((r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2);
        return index;
    }

  private:
    int search(int r, int g, int b) const {
        int best = 0, bestDistance = 1 << 30;
        for (unsigned i = 0; i < m_palette.count; ++i) {
            const liq_color& c = m_palette.entries[i];
            if (c.a == 0) continue; // the transparent entry is for clear pixels only
            const int dr = c.r - r, dg = c.g - g, db = c.b - b;
            const int d = 2 * dr * dr + 4 * dg * dg + db * db;
            if (d < bestDistance) bestDistance = d, best = int(i);
        }
        return best;
    }

    const liq_palette& m_palette;
    std::vector<int> m_cells;
};

// Maps RGBA pixels to palette indexes with Floyd-Steinberg error diffusion
// (serpentine rows); clear pixels take the transparent entry.
void remapDithered(const std::vector<std::uint8_t>& pixels, int w, int h,
                   const liq_palette& palette, int transparent,
                   std::vector<std::uint8_t>& indexes) {
    NearestColour nearest(palette);
    // Error of this row and the next, 3 channels, one pixel of margin each side.
    std::vector<int> current(std::size_t(w + 2) * 3), next(std::size_t(w + 2) * 3);
    for (int y = 0; y < h; ++y) {
        std::fill(next.begin(), next.end(), 0);
        const bool forward = y % 2 == 0;
        const int step = forward ? 1 : -1;
        for (int i = 0, x = forward ? 0 : w - 1; i < w; ++i, x += step) {
            const std::uint8_t* p = pixels.data() + (std::size_t(y) * w + x) * 4;
            std::uint8_t& out = indexes[std::size_t(y) * w + x];
            if (p[3] == 0) {
                out = std::uint8_t(transparent);
                continue;
            }
            int* e = &current[std::size_t(x + 1) * 3];
            int want[3];
            for (int c = 0; c < 3; ++c)
                want[c] = std::clamp(p[c] + e[c] / 16, 0, 255);
            const int index = nearest(want[0], want[1], want[2]);
            out = std::uint8_t(index);
            const liq_color& got = palette.entries[index];
            const int error[3] = {want[0] - got.r, want[1] - got.g, want[2] - got.b};
            for (int c = 0; c < 3; ++c) {
                current[std::size_t(x + 1 + step) * 3 + c] += error[c] * 7;
                next[std::size_t(x + 1 - step) * 3 + c] += error[c] * 3;
                next[std::size_t(x + 1) * 3 + c] += error[c] * 5;
                next[std::size_t(x + 1 + step) * 3 + c] += error[c];
            }
        }
        current.swap(next);
    }
}

// GIF with a palette of at most 256 colours chosen by libimagequant from a
// sample of the picture, and dithering. Pixels with alpha below 128 become the
// one transparent colour.
bool encodeGif(const Bitmap& bitmap, const QString& path, int) {
    const QImage rgba = bitmap.image().convertToFormat(QImage::Format_RGBA8888);
    const int w = rgba.width(), h = rgba.height();
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 4);
    bool anyTransparent = false;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = rgba.constScanLine(y);
        std::uint8_t* d = pixels.data() + std::size_t(y) * w * 4;
        for (int x = 0; x < w; ++x, s += 4, d += 4) {
            const bool clear = s[3] < 128;
            anyTransparent |= clear;
            d[0] = clear ? 0 : s[0];
            d[1] = clear ? 0 : s[1];
            d[2] = clear ? 0 : s[2];
            d[3] = clear ? 0 : 255;
        }
    }

    // The palette is chosen from every n-th row and column: a quarter of a
    // megapixel represents a photo's colours as well as all of it.
    const int n = std::max(1, int(std::sqrt(double(w) * h / 250000.0)));
    const int sw = (w + n - 1) / n, sh = (h + n - 1) / n;
    std::vector<std::uint8_t> sample(std::size_t(sw) * sh * 4);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            std::memcpy(&sample[(std::size_t(y) * sw + x) * 4],
                        &pixels[(std::size_t(y) * n * w + std::size_t(x) * n) * 4], 4);

    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, anyTransparent ? 255 : 256);
    liq_image* input = liq_image_create_rgba(attr, sample.data(), sw, sh, 0);
    liq_result* quant = nullptr;
    bool ok = input && liq_image_quantize(input, attr, &quant) == LIQ_OK;
    std::vector<liq_color> colours;
    if (ok) {
        const liq_palette* p = liq_get_palette(quant);
        colours.assign(p->entries, p->entries + p->count);
    }
    if (quant) liq_result_destroy(quant);
    if (input) liq_image_destroy(input);
    liq_attr_destroy(attr);
    if (!ok) return false;

    // One palette entry is kept for clear pixels.
    int transparent = NO_TRANSPARENT_COLOR;
    if (anyTransparent) {
        for (std::size_t i = 0; i < colours.size() && transparent < 0; ++i)
            if (colours[i].a == 0) transparent = int(i);
        if (transparent < 0) {
            transparent = int(colours.size());
            colours.push_back({0, 0, 0, 0});
        }
    }
    liq_palette palette{};
    palette.count = unsigned(colours.size());
    std::copy(colours.begin(), colours.end(), palette.entries);
    std::vector<std::uint8_t> indexes(std::size_t(w) * h);
    remapDithered(pixels, w, h, palette, transparent, indexes);

    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(path).constData(), false, &error);
    if (!gif) return false;
    int bits = 1;
    while ((1 << bits) < int(palette.count))
        ++bits;
    std::vector<GifColorType> table(std::size_t(1) << bits, GifColorType{0, 0, 0});
    for (unsigned i = 0; i < palette.count; ++i)
        table[i] = {palette.entries[i].r, palette.entries[i].g, palette.entries[i].b};
    ColorMapObject* map = GifMakeMapObject(1 << bits, table.data());
    // A transparency block is a GIF89a extension; the header must say so.
    EGifSetGifVersion(gif, transparent != NO_TRANSPARENT_COLOR);
    ok = map && EGifPutScreenDesc(gif, w, h, bits, 0, map) == GIF_OK;
    if (ok && transparent != NO_TRANSPARENT_COLOR) {
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, transparent};
        GifByteType ext[4];
        const size_t size = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(size), ext) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; y < h && ok; ++y)
        ok = EGifPutLine(gif, indexes.data() + std::size_t(y) * w, w) == GIF_OK;
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &error) == GIF_OK && ok;
}

} // namespace

const std::vector<ImageCodecInfo>& GetImageEncoders() {
    static const std::vector<ImageCodecInfo> encoders = {
        {"image/bmp", "BMP", "*.BMP;*.DIB;*.RLE", encodeBmp},
        {"image/jpeg", "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF", encodeJpeg},
        {"image/gif", "GIF", "*.GIF", encodeGif},
        {"image/tiff", "TIFF", "*.TIF;*.TIFF", encodeTiff},
        {"image/png", "PNG", "*.PNG", encodePng},
    };
    return encoders;
}
