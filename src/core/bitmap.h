// SPDX-License-Identifier: GPL-3.0-or-later
// The pixel image every subsystem works on, and the pixel-access contract.
//
// Memory layout inside a lock:
//   pixel (x, y) starts at Scan0 + y * Stride + x * BytesPerPixel(format).
//   24-bit (PixelFormat24bppRGB): bytes B, G, R; rows padded to 4 bytes.
//   32-bit (PixelFormat32bppARGB): bytes B, G, R, A; straight (not premultiplied) alpha.
// Rows are Stride bytes long, which may exceed width * bytes per pixel: always
// compute row starts from Stride.
//
// A bitmap stores its pixels in a QImage of Format_BGR888 (24-bit) or
// Format_ARGB32 (32-bit), which have exactly these layouts. A whole-image lock in
// the bitmap's own format hands out that memory, so reads see the current pixels
// under any flags and writes land whatever the flags. A lock of a sub-rectangle
// or in another format works on a converted copy, written back at unlock unless
// the lock was read-only.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

using PixelFormat = std::uint32_t;

inline constexpr PixelFormat PixelFormat1bppIndexed = 0x00030101;
inline constexpr PixelFormat PixelFormat4bppIndexed = 0x00030402;
inline constexpr PixelFormat PixelFormat8bppIndexed = 0x00030803;
inline constexpr PixelFormat PixelFormat16bppRGB555 = 0x00021005;
inline constexpr PixelFormat PixelFormat16bppRGB565 = 0x00021006;
inline constexpr PixelFormat PixelFormat16bppARGB1555 = 0x00061007;
inline constexpr PixelFormat PixelFormat16bppGrayScale = 0x00101004;
inline constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
inline constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;
inline constexpr PixelFormat PixelFormat48bppRGB = 0x0010300C;
inline constexpr PixelFormat PixelFormat64bppARGB = 0x0034400D;
inline constexpr PixelFormat PixelFormat64bppPARGB = 0x001C400E;

// Bytes per pixel of a format code; the indexed formats give 1, unknown codes 0.
int BytesPerPixel(PixelFormat format);
// The constant's name ("PixelFormat24bppRGB"), or "PixelFormatUnknown".
const char* PixelFormatName(PixelFormat format);
// The QImage format that stores a pixel format, or QImage::Format_Invalid when
// the format cannot be held (indexed, 16-bit, 48- and 64-bit formats).
QImage::Format QImageFormatFor(PixelFormat format);

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    NotImplemented = 6,
    WrongState = 8,
    Win32Error = 7,
    UnknownImageFormat = 13,
    FileNotFound = 10,
};

enum ImageLockMode : std::uint32_t {
    ImageLockModeRead = 1,
    ImageLockModeWrite = 2,
    ImageLockModeUserInputBuf = 4,
};

struct Rect {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    int GetLeft() const { return X; }
    int GetTop() const { return Y; }
    int GetRight() const { return X + Width; }
    int GetBottom() const { return Y + Height; }
    bool operator==(const Rect&) const = default;
};

struct BitmapData {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::int32_t Stride = 0;
    ::PixelFormat PixelFormat = 0;
    std::uint8_t* Scan0 = nullptr;
    std::uintptr_t Reserved = 0;
};

// A 32-bit ARGB colour value, 0xAARRGGBB.
using ARGB = std::uint32_t;

class Bitmap {
  public:
    // A bitmap of the given size and format, every byte 0. Only the 24-bit and
    // the 32-bit formats (RGB, ARGB, PARGB) can be created; any other format,
    // or a size that cannot be allocated, leaves an invalid bitmap whose
    // GetLastStatus() is not Ok.
    Bitmap(int width, int height, PixelFormat format);
    // Adopts a QImage; it is converted to Format_ARGB32 when it is in a format
    // the pixel routines cannot work on.
    explicit Bitmap(QImage image);
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap();

    bool isValid() const { return !m_image.isNull(); }
    unsigned GetWidth() const { return unsigned(m_image.width()); }
    unsigned GetHeight() const { return unsigned(m_image.height()); }
    PixelFormat GetPixelFormat() const { return m_format; }
    Status GetLastStatus() const { return m_lastResult; }

    // Locks rect (the whole image when null) in the given format. See the top of
    // this file for when the buffer is shared and when it is a copy.
    Status LockBits(const Rect* rect, std::uint32_t flags, PixelFormat format, BitmapData* data);
    Status UnlockBits(BitmapData* data);

    // A copy of rect in the given format; null when rect reaches outside the
    // image, is empty, or the format cannot be held.
    std::unique_ptr<Bitmap> Clone(const Rect& rect, PixelFormat format) const;
    // A full copy in the bitmap's own format.
    std::unique_ptr<Bitmap> Clone() const;

    // The pixel at (x, y) as ARGB; 24-bit pixels read as opaque.
    Status GetPixel(int x, int y, ARGB* color) const;

    // The underlying image; drawing goes through MakeGraphics (core/graphics.h).
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }

  private:
    struct PendingLock;
    Status setStatus(Status s) const;

    QImage m_image;
    PixelFormat m_format = 0;
    mutable Status m_lastResult = Ok;
    std::unique_ptr<PendingLock> m_lock;
    // While read locks are out on pixels another image shares, a share of
    // them, so that a write lock taken meanwhile (a routine writing the
    // bitmap it reads) copies them rather than leaving the readers' pixels
    // to the other image alone.
    QImage m_readHold;
    int m_heldReads = 0;
};

// The pixel format a decoded or adopted QImage keeps: 32-bit ARGB when it has
// alpha, 24-bit RGB otherwise.
PixelFormat PixelFormatForImage(const QImage& image);

// Index of a colour byte chosen by ApplyLookupTable's channel argument.
enum ChannelIndex { ChannelAll = 0, ChannelRed = 1, ChannelGreen = 2, ChannelBlue = 3 };

// For every pixel, writes table[source byte] into the same byte of destination
// for the chosen channel (all three colour bytes for ChannelAll). Alpha is never
// written; any other channel value writes nothing. Source and destination have
// the same size and format and may be the same bitmap.
void ApplyLookupTable(Bitmap& source, Bitmap& destination, const std::uint8_t table[256],
                      int channel);

// (r * 19661 + g * 38666 + b * 7209) >> 16; the weights add up to 65536.
inline int Luminance(int r, int g, int b) {
    return (r * 19661 + g * 38666 + b * 7209) >> 16;
}

// Scoped whole-image lock in the bitmap's own format, the way every pixel
// routine works: unlocked when it goes out of scope. Lock the source before
// the destination so they unlock in the reverse order of declaration.
class ScopedLock {
  public:
    explicit ScopedLock(Bitmap& bitmap, std::uint32_t flags = ImageLockModeWrite);
    // A lock on a routine's source, which it only reads. The whole-image lock
    // in the bitmap's own format works on the pixels themselves and holds no
    // copy to write back, so the bitmap's content does not change.
    explicit ScopedLock(const Bitmap& bitmap)
        : ScopedLock(const_cast<Bitmap&>(bitmap), ImageLockModeRead) {}
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock();

    bool ok() const { return m_data.Scan0 != nullptr; }
    int width() const { return int(m_data.Width); }
    int height() const { return int(m_data.Height); }
    int stride() const { return m_data.Stride; }
    int bpp() const { return m_bpp; }
    std::uint8_t* row(int y) const { return m_data.Scan0 + std::ptrdiff_t(y) * m_data.Stride; }
    std::uint8_t* pixel(int x, int y) const { return row(y) + std::ptrdiff_t(x) * m_bpp; }
    const BitmapData& data() const { return m_data; }

  private:
    Bitmap& m_bitmap;
    BitmapData m_data;
    int m_bpp = 0;
};
