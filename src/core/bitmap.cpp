// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmap storage, locks, clones and the shared pixel helpers.
#include "core/bitmap.h"

#include "core/large_image.h"

#include <cstring>

namespace {

struct FormatInfo {
    PixelFormat code;
    int bytes;
    const char* name;
    QImage::Format storage;
};

constexpr FormatInfo kFormats[] = {
    {PixelFormat1bppIndexed, 1, "PixelFormat1bppIndexed", QImage::Format_Invalid},
    {PixelFormat4bppIndexed, 1, "PixelFormat4bppIndexed", QImage::Format_Invalid},
    {PixelFormat8bppIndexed, 1, "PixelFormat8bppIndexed", QImage::Format_Invalid},
    {PixelFormat16bppRGB555, 2, "PixelFormat16bppRGB555", QImage::Format_Invalid},
    {PixelFormat16bppRGB565, 2, "PixelFormat16bppRGB565", QImage::Format_Invalid},
    {PixelFormat16bppARGB1555, 2, "PixelFormat16bppARGB1555", QImage::Format_Invalid},
    {PixelFormat16bppGrayScale, 2, "PixelFormat16bppGrayScale", QImage::Format_Invalid},
    {PixelFormat24bppRGB, 3, "PixelFormat24bppRGB", QImage::Format_BGR888},
    {PixelFormat32bppRGB, 4, "PixelFormat32bppRGB", QImage::Format_RGB32},
    {PixelFormat32bppARGB, 4, "PixelFormat32bppARGB", QImage::Format_ARGB32},
    {PixelFormat32bppPARGB, 4, "PixelFormat32bppPARGB", QImage::Format_ARGB32_Premultiplied},
    {PixelFormat48bppRGB, 6, "PixelFormat48bppRGB", QImage::Format_Invalid},
    {PixelFormat64bppARGB, 8, "PixelFormat64bppARGB", QImage::Format_Invalid},
    {PixelFormat64bppPARGB, 8, "PixelFormat64bppPARGB", QImage::Format_Invalid},
};

const FormatInfo* findFormat(PixelFormat code) {
    for (const auto& f : kFormats)
        if (f.code == code) return &f;
    return nullptr;
}

PixelFormat formatForStorage(QImage::Format storage) {
    for (const auto& f : kFormats)
        if (f.storage == storage && storage != QImage::Format_Invalid) return f.code;
    return 0;
}

bool insideImage(const Rect& r, const QImage& image) {
    return r.Width > 0 && r.Height > 0 && r.X >= 0 && r.Y >= 0 && r.X <= image.width() - r.Width &&
           r.Y <= image.height() - r.Height;
}

} // namespace

int BytesPerPixel(PixelFormat format) {
    const FormatInfo* f = findFormat(format);
    return f ? f->bytes : 0;
}

const char* PixelFormatName(PixelFormat format) {
    const FormatInfo* f = findFormat(format);
    return f ? f->name : "PixelFormatUnknown";
}

QImage::Format QImageFormatFor(PixelFormat format) {
    const FormatInfo* f = findFormat(format);
    return f ? f->storage : QImage::Format_Invalid;
}

PixelFormat PixelFormatForImage(const QImage& image) {
    return image.hasAlphaChannel() ? PixelFormat32bppARGB : PixelFormat24bppRGB;
}

// A lock that works on a converted copy: where it came from, and the copy.
struct Bitmap::PendingLock {
    Rect rect;
    std::uint32_t flags = 0;
    QImage buffer;
};

Bitmap::Bitmap(int width, int height, PixelFormat format) {
    const QImage::Format storage = QImageFormatFor(format);
    if (storage == QImage::Format_Invalid || width <= 0 || height <= 0) {
        m_lastResult = InvalidParameter;
        return;
    }
    m_image = QImage(width, height, storage);
    if (m_image.isNull()) {
        m_lastResult = OutOfMemory;
        return;
    }
    m_image.fill(0);
    m_format = format;
}

Bitmap::Bitmap(QImage image) {
    PixelFormat format = formatForStorage(image.format());
    if (format == 0 && !image.isNull()) {
        format = PixelFormatForImage(image);
        image = image.convertToFormat(QImageFormatFor(format));
    }
    m_image = std::move(image);
    m_format = m_image.isNull() ? 0 : format;
    if (m_image.isNull()) m_lastResult = InvalidParameter;
}

Bitmap::~Bitmap() = default;

// What BitmapData::Reserved records about a lock, for UnlockBits.
enum : std::uintptr_t {
    kSharedLock = 0,   // the pixels themselves; nothing to undo
    kPendingLock = 1,  // a converted or partial copy, written back at unlock
    kHeldReadLock = 2, // a read of shared pixels, holding a share of them
};

Status Bitmap::setStatus(Status s) const {
    if (s != Ok) m_lastResult = s;
    return s;
}

Status Bitmap::LockBits(const Rect* rect, std::uint32_t flags, PixelFormat format,
                        BitmapData* data) {
    if (!data || m_image.isNull()) return setStatus(InvalidParameter);
    if (m_lock || (flags & ImageLockModeUserInputBuf)) return setStatus(WrongState);
    const Rect whole{0, 0, m_image.width(), m_image.height()};
    const Rect r = rect ? *rect : whole;
    const QImage::Format storage = QImageFormatFor(format);
    if (!insideImage(r, m_image) || storage == QImage::Format_Invalid)
        return setStatus(InvalidParameter);

    data->Width = std::uint32_t(r.Width);
    data->Height = std::uint32_t(r.Height);
    data->PixelFormat = format;
    data->Reserved = kSharedLock;
    if (r == whole && format == m_format) {
        // Shared memory: the lock sees and changes the pixels themselves. A
        // read lock leaves pixels that an undo snapshot shares where they
        // are; a write lock gives the bitmap its own copy first.
        if (flags & ImageLockModeWrite) {
            data->Scan0 = m_image.bits();
        } else {
            if (!m_image.isDetached()) {
                if (m_heldReads++ == 0) m_readHold = m_image;
                data->Reserved = kHeldReadLock;
            }
            data->Scan0 = const_cast<std::uint8_t*>(m_image.constBits());
        }
        data->Stride = std::int32_t(m_image.bytesPerLine());
        return Ok;
    }
    auto pending = std::make_unique<PendingLock>();
    pending->rect = r;
    pending->flags = flags;
    pending->buffer = m_image.copy(r.X, r.Y, r.Width, r.Height).convertToFormat(storage);
    if (pending->buffer.isNull()) return setStatus(OutOfMemory);
    data->Scan0 = pending->buffer.bits();
    data->Stride = std::int32_t(pending->buffer.bytesPerLine());
    data->Reserved = kPendingLock;
    m_lock = std::move(pending);
    return Ok;
}

Status Bitmap::UnlockBits(BitmapData* data) {
    if (!data) return setStatus(InvalidParameter);
    if (data->Reserved == kSharedLock) return Ok; // nothing to write back
    if (data->Reserved == kHeldReadLock) {
        if (m_heldReads > 0 && --m_heldReads == 0) m_readHold = QImage();
        data->Scan0 = nullptr;
        return Ok;
    }
    if (!m_lock) return setStatus(WrongState);
    std::unique_ptr<PendingLock> lock = std::move(m_lock);
    // Every lock writes its buffer back, read-only ones included: routines
    // change images through read locks and rely on the changes landing.
    const QImage converted = lock->buffer.convertToFormat(m_image.format());
    const int bpp = converted.depth() / 8;
    const std::size_t rowBytes = std::size_t(lock->rect.Width) * bpp;
    for (int y = 0; y < lock->rect.Height; ++y) {
        std::memcpy(m_image.scanLine(lock->rect.Y + y) + std::size_t(lock->rect.X) * bpp,
                    converted.constScanLine(y), rowBytes);
    }
    data->Scan0 = nullptr;
    return Ok;
}

std::unique_ptr<Bitmap> Bitmap::Clone(const Rect& rect, PixelFormat format) const {
    const QImage::Format storage = QImageFormatFor(format);
    if (m_image.isNull() || !insideImage(rect, m_image) || storage == QImage::Format_Invalid) {
        setStatus(InvalidParameter);
        return nullptr;
    }
    QImage copy;
    if (storage == m_image.format()) {
        // Row copies into memory made for the purpose: the whole-image copy every
        // command makes is the common case and should cost little more than
        // the bytes it moves.
        copy = AllocateLargeImage(rect.Width, rect.Height, storage);
        const int bpp = m_image.depth() / 8;
        for (int y = 0; y < rect.Height && !copy.isNull(); ++y)
            std::memcpy(copy.scanLine(y),
                        m_image.constScanLine(rect.Y + y) + std::size_t(rect.X) * bpp,
                        std::size_t(rect.Width) * bpp);
    } else {
        copy = m_image.copy(rect.X, rect.Y, rect.Width, rect.Height).convertToFormat(storage);
    }
    if (copy.isNull()) {
        setStatus(OutOfMemory);
        return nullptr;
    }
    return std::make_unique<Bitmap>(std::move(copy));
}

std::unique_ptr<Bitmap> Bitmap::Clone() const {
    if (m_image.isNull()) return nullptr;
    return Clone(Rect{0, 0, m_image.width(), m_image.height()}, m_format);
}

Status Bitmap::GetPixel(int x, int y, ARGB* color) const {
    if (!color || m_image.isNull() || x < 0 || y < 0 || x >= m_image.width() ||
        y >= m_image.height())
        return setStatus(InvalidParameter);
    *color = m_image.pixel(x, y);
    return Ok;
}

ScopedLock::ScopedLock(Bitmap& bitmap, std::uint32_t flags) : m_bitmap(bitmap) {
    if (bitmap.LockBits(nullptr, flags, bitmap.GetPixelFormat(), &m_data) != Ok) m_data = {};
    m_bpp = BytesPerPixel(bitmap.GetPixelFormat());
}

ScopedLock::~ScopedLock() {
    if (m_data.Scan0) m_bitmap.UnlockBits(&m_data);
}

void ApplyLookupTable(Bitmap& source, Bitmap& destination, const std::uint8_t table[256],
                      int channel) {
    if (channel < ChannelAll || channel > ChannelBlue) return;
    // Byte offsets of the channels to write: red is byte 2, green 1, blue 0.
    static constexpr int kFirst[] = {0, 2, 1, 0};
    static constexpr int kLast[] = {2, 2, 1, 0};
    const int first = kFirst[channel], last = kLast[channel];
    const bool same = &source == &destination;
    ScopedLock src(source);
    if (!src.ok()) return;
    std::unique_ptr<ScopedLock> dstLock;
    if (!same) {
        dstLock = std::make_unique<ScopedLock>(destination);
        if (!dstLock->ok()) return;
    }
    const ScopedLock& dst = same ? src : *dstLock;
    const int bpp = src.bpp();
    const int w = std::min(src.width(), dst.width()), h = std::min(src.height(), dst.height());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* s = src.row(y);
        std::uint8_t* d = dst.row(y);
        for (int x = 0; x < w; ++x, s += bpp, d += bpp)
            for (int c = first; c <= last; ++c)
                d[c] = table[s[c]];
    }
}
