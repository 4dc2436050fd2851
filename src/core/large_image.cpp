// SPDX-License-Identifier: GPL-3.0-or-later
// The picture size limit and large image memory.
#include "core/large_image.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Under AddressSanitizer every picture comes from the heap, whose guard
// bytes catch a write past the last row.
constexpr std::size_t kOwnMappingFrom = SIZE_MAX;
#else
constexpr std::size_t kOwnMappingFrom = std::size_t(1) << 20;
#endif

void release(void* memory) {
    std::free(memory);
}

struct Mapping {
    void* memory;
    std::size_t bytes;
};

void unmap(void* info) {
    auto* m = static_cast<Mapping*>(info);
    munmap(m->memory, m->bytes);
    delete m;
}

} // namespace

bool IsWithinPictureLimit(qint64 width, qint64 height) {
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           width * height * 4 <= kMaxPixelBytes;
}

QString PictureLimitRefusal(qint64 width, qint64 height) {
    return QStringLiteral(
               "%1 x %2 pixels is too large: at most %3 pixels a side, or 1 GiB of pixel memory")
        .arg(width)
        .arg(height)
        .arg(kMaxSide);
}

QString PictureAllocationFailure(qint64 width, qint64 height) {
    return QStringLiteral("not enough memory for a picture of %1 x %2 pixels")
        .arg(width)
        .arg(height);
}

QImage AllocateLargeImage(int width, int height, QImage::Format format, std::size_t slack) {
    const qsizetype bytesPerLine =
        ((qsizetype(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32) * 4;
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(height) + slack;
    if (width <= 0 || height <= 0) return {};
    if (bytes < kOwnMappingFrom) {
        if (slack == 0) return QImage(width, height, format);
        void* memory = std::aligned_alloc(64, (bytes + 63) / 64 * 64);
        if (!memory) return {};
        return QImage(static_cast<uchar*>(memory), width, height, bytesPerLine, format, release,
                      memory);
    }
    // Mapped with its pages made at once: the caller fills every row, and
    // one call makes them faster than a page fault each.
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memory == MAP_FAILED) return {};
    return QImage(static_cast<uchar*>(memory), width, height, bytesPerLine, format, unmap,
                  new Mapping{memory, bytes});
}
