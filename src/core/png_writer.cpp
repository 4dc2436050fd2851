// SPDX-License-Identifier: GPL-3.0-or-later
// PNG writer: the Average filter on every row and zlib's fastest level with
// run-length matching, a large image's parts compressed two at a time.
//
// On photos the Average filter with run-length matching at level 1 gives
// files about as small as zlib's default level with adaptive filters, in a
// tenth of the time. The parts are independent raw deflate streams: all but
// the last end on a byte-aligned sync flush, the last finishes the stream,
// and their Adler-32 sums are combined into the zlib trailer, so the joined
// data is one valid zlib stream.
#include "core/png_writer.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <libdeflate.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

constexpr std::size_t kChunk = std::size_t(1) << 18; // IDAT payload size
// A large picture's rows are compressed in this many parts on two threads:
// four bound the memory a part waits in to an eighth of the file at about
// the speed of two.
constexpr int kParts = 4;

void put32(std::uint8_t* out, std::uint32_t v) {
    out[0] = std::uint8_t(v >> 24);
    out[1] = std::uint8_t(v >> 16);
    out[2] = std::uint8_t(v >> 8);
    out[3] = std::uint8_t(v);
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// Writes one chunk: length, type, data and the CRC of type and data.
bool writeChunk(int fd, const char* type, const std::uint8_t* data, std::size_t size) {
    std::uint8_t head[8];
    put32(head, std::uint32_t(size));
    std::memcpy(head + 4, type, 4);
    std::uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    if (size > 0) crc = libdeflate_crc32(crc, data, size);
    std::uint8_t tail[4];
    put32(tail, crc);
    return writeAll(fd, head, 8) && (size == 0 || writeAll(fd, data, size)) &&
           writeAll(fd, tail, 4);
}

// Where compressed bytes go: IDAT chunks straight to a file, or memory in
// blocks of one chunk each, which never move once filled (a growing vector
// would hold up to twice the bytes while it copies itself).
struct Sink {
    int fd = -1; // < 0: collect in blocks
    std::vector<std::vector<std::uint8_t>> blocks;
    bool ok = true;

    void put(const std::uint8_t* data, std::size_t size) {
        if (fd >= 0) {
            if (ok) ok = writeChunk(fd, "IDAT", data, size);
            return;
        }
        while (size > 0) {
            if (blocks.empty() || blocks.back().size() == kChunk) {
                blocks.emplace_back();
                blocks.back().reserve(kChunk);
            }
            std::vector<std::uint8_t>& block = blocks.back();
            const std::size_t n = std::min(size, kChunk - block.size());
            block.insert(block.end(), data, data + n);
            data += n;
            size -= n;
        }
    }
};

// One run of rows [first, last) filtered and deflated.
struct Part {
    const QImage* image = nullptr;
    int first = 0, last = 0;
    bool head = false; // starts the stream (zlib header) rather than continuing it
    bool tail = false; // ends the stream (final block, zlib trailer)
    Sink sink;
    uLong adler = 1;      // of this part's filtered bytes
    uLong length = 0;     // number of filtered bytes
    bool deflated = true; // false when zlib failed or the writer was stopped
    const std::atomic<bool>* stop = nullptr;
};

Part part(const QImage& image, int first, int last, bool head, bool tail) {
    Part p;
    p.image = &image;
    p.first = first;
    p.last = last;
    p.head = head;
    p.tail = tail;
    return p;
}

// Filters row y with the Average filter into out (type byte first), turning
// the memory's B, G, R(, A) order into the file's R, G, B(, A).
template <int Bpp> void filterRow(const QImage& image, int y, std::uint8_t* out) {
    const int width = image.width();
    const std::uint8_t* row = image.constScanLine(y);
    const std::uint8_t* up = y > 0 ? image.constScanLine(y - 1) : nullptr;
    out[0] = 3;
    std::uint8_t* o = out + 1;
    // The channel at file position c comes from memory position order[c].
    constexpr int order[4] = {2, 1, 0, 3};
    for (int x = 0; x < width; ++x) {
        const int at = x * Bpp;
        for (int c = 0; c < Bpp; ++c) {
            const int m = at + order[c];
            const int left = x > 0 ? row[m - Bpp] : 0;
            const int above = up ? up[m] : 0;
            o[at + c] = std::uint8_t(row[m] - ((left + above) >> 1));
        }
    }
}

void deflatePart(Part* part) {
    const int bpp = part->image->format() == QImage::Format_ARGB32 ? 4 : 3;
    const std::size_t rowBytes = std::size_t(part->image->width()) * bpp + 1;
    z_stream z{};
    // Raw deflate: the zlib header and trailer are written here, with
    // libdeflate's Adler-32, several times faster than zlib's.
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_RLE) != Z_OK) {
        part->deflated = false;
        return;
    }
    std::vector<std::uint8_t> row(rowBytes);
    std::vector<std::uint8_t> out(kChunk);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    if (part->head) {
        static const std::uint8_t zlibHeader[2] = {0x78, 0x01}; // deflate, 32K window, fastest
        part->sink.put(zlibHeader, 2);
    }
    auto drain = [&] {
        part->sink.put(out.data(), out.size() - z.avail_out);
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
    };
    for (int y = part->first; y < part->last; ++y) {
        if (part->stop && y % 64 == 0 && part->stop->load(std::memory_order_relaxed)) {
            part->deflated = false;
            deflateEnd(&z);
            return;
        }
        if (bpp == 4)
            filterRow<4>(*part->image, y, row.data());
        else
            filterRow<3>(*part->image, y, row.data());
        part->adler = libdeflate_adler32(std::uint32_t(part->adler), row.data(), rowBytes);
        part->length += rowBytes;
        z.next_in = row.data();
        z.avail_in = uInt(rowBytes);
        while (z.avail_in > 0) {
            if (deflate(&z, Z_NO_FLUSH) == Z_STREAM_ERROR) part->deflated = false;
            if (z.avail_out == 0) drain();
        }
    }
    // A part that does not end the stream ends on a byte boundary so that
    // the next part's blocks follow it directly.
    const int flush = part->tail ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
        const int status = deflate(&z, flush);
        if (status == Z_STREAM_ERROR) part->deflated = false;
        if (z.avail_out == 0) {
            drain();
            continue;
        }
        drain();
        if (status == Z_STREAM_END || flush == Z_SYNC_FLUSH || status != Z_OK) break;
    }
    deflateEnd(&z);
    // A part after the first leaves the trailer to the writer, which knows
    // the whole stream's sum.
    if (part->tail && part->head) {
        std::uint8_t trailer[4];
        put32(trailer, std::uint32_t(part->adler));
        part->sink.put(trailer, 4);
    }
}

// Writes the whole file to fd; the pixel rows are compressed in one part or
// an even number of parts.
bool writeFile(int fd, const QImage& image, bool alpha, int parts, const std::atomic<bool>* stop) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::uint8_t header[13];
    put32(header, std::uint32_t(image.width()));
    put32(header + 4, std::uint32_t(image.height()));
    header[8] = 8;               // bits per channel
    header[9] = alpha ? 6 : 2;   // RGBA or RGB
    header[10] = header[11] = 0; // deflate, adaptive filtering
    header[12] = 0;              // not interlaced
    if (!writeAll(fd, signature, 8) || !writeChunk(fd, "IHDR", header, 13)) return false;

    const int height = image.height();
    if (height < parts) parts = 1;
    if (parts == 1) {
        Part whole = part(image, 0, height, true, true);
        whole.sink.fd = fd;
        whole.stop = stop;
        deflatePart(&whole);
        return whole.sink.ok && whole.deflated && writeChunk(fd, "IEND", nullptr, 0);
    }
    // Parts go in pairs: this thread writes the first of a pair straight to
    // the file while a worker compresses the second into memory, which then
    // follows it. Pairs of a few megabytes each bound that memory.
    const auto rowOf = [&](int n) { return int(qint64(height) * n / parts); };
    uLong adler = 1;
    for (int n = 0; n < parts; n += 2) {
        Part first = part(image, rowOf(n), rowOf(n + 1), n == 0, false);
        first.sink.fd = fd;
        Part second = part(image, rowOf(n + 1), rowOf(n + 2), false, n + 2 == parts);
        first.stop = second.stop = stop;
        std::thread worker(deflatePart, &second);
        deflatePart(&first);
        worker.join();
        if (!first.sink.ok || !first.deflated || !second.deflated) return false;
        adler = n == 0 ? first.adler : adler32_combine(adler, first.adler, z_off_t(first.length));
        adler = adler32_combine(adler, second.adler, z_off_t(second.length));
        if (second.tail) {
            std::uint8_t trailer[4];
            put32(trailer, std::uint32_t(adler));
            second.sink.put(trailer, 4);
        }
        for (std::vector<std::uint8_t>& block : second.sink.blocks) {
            if (!writeChunk(fd, "IDAT", block.data(), block.size())) return false;
            std::vector<std::uint8_t>().swap(block); // gone as soon as it is written
        }
    }
    return writeChunk(fd, "IEND", nullptr, 0);
}

} // namespace

bool WritePng(const QImage& source, const QString& path, PngSpeed speed,
              const std::atomic<bool>* stop) {
    const bool alpha = source.hasAlphaChannel();
    const QImage image =
        source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_BGR888);
    if (image.isNull()) return false;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // Two parts pay off once the picture is more than a few hundred
    // kilobytes; below that the thread costs more than it saves.
    const bool large = qint64(image.width()) * image.height() >= (qint64(1) << 18);
    const int parts = speed == PngSpeed::Default && large ? kParts : 1;
    bool ok = writeFile(fd, image, alpha, parts, stop);
    if (!ok && stop && stop->load()) {
        ::close(fd);
        errno = ECANCELED;
        return false;
    }
    // Flushed to the disk before the caller relies on the file.
    ok = ok && ::fsync(fd) == 0;
    const int why = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok && errno == 0) errno = why;
    return ok;
}
