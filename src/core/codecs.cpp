// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding through Qt's readers, with size limits and damage detection, and
// the safe-replace path every save goes through.
#include "core/codecs.h"

#include "core/file_io.h"
#include "core/jpeg_codec.h"
#include "core/png_reader.h"
#include "core/tiff_reader.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <tiffio.h>
#include <unistd.h>

namespace {

// Qt's JPEG, GIF, BMP and TIFF readers return a picture for a file cut short
// or with corrupt bytes and only log a warning. Those warnings are caught by
// one message handler, installed on the first decode and never removed, that
// hands a warning to the decode running on the same thread (Qt's readers log
// on the thread that calls them) and passes everything else on to the handler
// installed before it. Each decode collects into its own list, so decodes on
// several threads at once never see each other's warnings, and the
// process-wide handler is never swapped while another thread logs. A program
// that installs a handler of its own does so before its first decode.
thread_local QStringList* t_decodeWarnings = nullptr;
std::atomic<QtMessageHandler> g_previousHandler{nullptr};
std::once_flag g_qtReadersSetUp;

void collectWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (t_decodeWarnings && (type == QtWarningMsg || type == QtCriticalMsg)) {
        t_decodeWarnings->append(message);
        return;
    }
    if (const QtMessageHandler previous = g_previousHandler.load())
        previous(type, context, message);
}

// libtiff's process-wide handlers, used by Qt's TIFF reader (our own TIFF
// code passes handlers per file): errors go to the decode on this thread,
// warnings nowhere, and nothing is printed on the terminal.
void collectTiffError(const char* module, const char* format, va_list args) {
    if (!t_decodeWarnings) return;
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    t_decodeWarnings->append(module ? QString::fromLocal8Bit(module) + ": " +
                                          QString::fromLocal8Bit(text)
                                    : QString::fromLocal8Bit(text));
}

// Process-wide settings of Qt's readers, made once before the first use: the
// message handlers above, and Qt's allocation limit (128 MB, which refuses
// large photos) raised to ours.
void setUpQtReaders() {
    std::call_once(g_qtReadersSetUp, [] {
        g_previousHandler = qInstallMessageHandler(collectWarning);
        TIFFSetErrorHandler(collectTiffError);
        TIFFSetWarningHandler(nullptr);
        QImageReader::setAllocationLimit(int(kMaxPixelBytes / (1024 * 1024)) + 1);
    });
}

// Collects the warnings of this thread into sink while it lives.
class WarningCollector {
  public:
    explicit WarningCollector(QStringList* sink) : m_outer(t_decodeWarnings) {
        t_decodeWarnings = sink;
    }
    ~WarningCollector() { t_decodeWarnings = m_outer; }
    WarningCollector(const WarningCollector&) = delete;
    WarningCollector& operator=(const WarningCollector&) = delete;

  private:
    QStringList* m_outer;
};

quint32 le32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}

// An uncompressed BMP is damaged when the file ends before its last pixel row.
bool bmpTooShort(QFile& f, qint64 fileSize) {
    if (!f.seek(0)) return false;
    const QByteArray h = f.read(54);
    if (h.size() < 54 || h[0] != 'B' || h[1] != 'M') return false;
    const quint32 offset = le32(h, 10);
    const qint64 width = qint32(le32(h, 18));
    const qint64 height = qAbs(qint64(qint32(le32(h, 22))));
    const int bits = quint8(h[28]) | quint8(h[29]) << 8;
    const quint32 compression = le32(h, 30);
    if (le32(h, 14) < 40 || (compression != 0 && compression != 3) || bits == 0) return false;
    const qint64 stride = ((width * bits + 31) / 32) * 4;
    return fileSize < qint64(offset) + stride * height;
}

// A BMP whose pixel data would start at or beyond the end of the file has no
// pixels to show.
QString bmpRefusal(QFile& f, qint64 fileSize) {
    const qint64 at = f.pos();
    f.seek(0);
    const QByteArray h = f.read(14);
    f.seek(at);
    if (h.size() < 14 || h[0] != 'B' || h[1] != 'M') return {};
    const quint32 offset = le32(h, 10);
    if (qint64(offset) < fileSize) return {};
    return QStringLiteral(
               "the pixel data would start at byte %1, beyond the end of the file (%2 bytes)")
        .arg(offset)
        .arg(fileSize);
}

QString describeReaderError(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("not a picture in a format Lumaset reads");
    case QImageReader::InvalidDataError:
        return QStringLiteral("the picture data is invalid or incomplete");
    case QImageReader::DeviceError:
        return QStringLiteral("the file could not be read");
    default:
        return reader.errorString();
    }
}

} // namespace

DecodedImage DecodeImageFile(const QString& path) {
    DecodedImage result;
    // The file is opened once, without blocking, and everything after reads it
    // through its descriptor: a pipe or a device is refused before anything
    // waits on it, and the readers never see the name again.
    FileDescriptor opened = OpenForDecoding(path, &result.error);
    if (opened.fd < 0) return result;
    const qint64 fileSize = opened.size;
    const QString source = FileDescriptorPath(opened.fd);
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }

    // The outcome of one of our own readers: the picture, or why there is none.
    auto adopt = [&](QImage image, bool damaged, const QString& error) {
        result.error = error;
        result.damaged = damaged;
        if (!image.isNull()) result.bitmap = std::make_unique<Bitmap>(std::move(image));
        return std::move(result);
    };
    // PNG files go to our own reader before Qt sees them: Qt's PNG reader lets
    // libpng print its errors on the terminal.
    if (file.peek(8) == QByteArray::fromHex("89504e470d0a1a0a")) {
        PngReadResult png = ReadPng(source, kMaxSide, kMaxPixelBytes);
        return adopt(std::move(png.image), png.damaged, png.error);
    }
    // JPEG files likewise go to libjpeg-turbo directly, which decodes into
    // the 24-bit layout without Qt's two conversions per row.
    if (file.peek(3) == QByteArray::fromHex("ffd8ff")) {
        JpegReadResult jpeg = ReadJpeg(source, kMaxSide, kMaxPixelBytes);
        if (!jpeg.unsupported) return adopt(std::move(jpeg.image), jpeg.damaged, jpeg.error);
    }

    setUpQtReaders();
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!reader.canRead()) {
        result.error = describeReaderError(reader);
        return result;
    }
    const QByteArray format = reader.format();
    const QSize declared = reader.size();
    if (declared.isValid()) {
        // No codec packs more than a few thousand pixels into a byte; a large
        // picture declared by a small file is a bomb or mostly missing.
        const qint64 pixels = qint64(declared.width()) * declared.height();
        if (pixels > (qint64(64) << 20) && pixels / 4096 > fileSize) {
            result.error =
                QStringLiteral("the picture declares %1 x %2 pixels, more than the file can hold")
                    .arg(declared.width())
                    .arg(declared.height());
            return result;
        }
        if (declared.width() > kMaxSide || declared.height() > kMaxSide ||
            qint64(declared.width()) * declared.height() * 4 > kMaxPixelBytes) {
            result.error = PictureLimitRefusal(declared.width(), declared.height());
            return result;
        }
    }

    QStringList warnings;
    QImage image;
    bool tiffDamaged = false;
    QString tiffError;
    if (format == "tiff") {
        TiffRead tiff = ReadTiffExactly(source, fileSize);
        if (!tiff.refusal.isEmpty()) {
            result.error = tiff.refusal;
            return result;
        }
        tiffDamaged = tiff.damaged;
        tiffError = tiff.error;
        image = std::move(tiff.image);
    }
    if (format == "bmp") {
        if (const QString refusal = bmpRefusal(file, fileSize); !refusal.isEmpty()) {
            result.error = refusal;
            return result;
        }
    }
    if (image.isNull()) {
        WarningCollector collect(&warnings);
        image = reader.read();
    }
    if (image.isNull()) {
        result.error = describeReaderError(reader);
        return result;
    }
    if (image.width() > kMaxSide || image.height() > kMaxSide) {
        result.error = PictureLimitRefusal(image.width(), image.height());
        return result;
    }

    const PixelFormat pixelFormat = PixelFormatForImage(image);
    const QImage::Format storage = QImageFormatFor(pixelFormat);
    if (image.format() != storage) image = image.convertToFormat(storage);
    image.setColorSpace(QColorSpace()); // no colour management
    if (image.isNull()) {
        result.error = QStringLiteral("not enough memory for the picture");
        return result;
    }
    result.bitmap = std::make_unique<Bitmap>(std::move(image));
    if (tiffDamaged) {
        result.damaged = true;
        result.error = tiffError.isEmpty()
                           ? QStringLiteral("rows of pixels are missing")
                           : QStringLiteral("rows of pixels are missing (%1)").arg(tiffError);
    } else if (!warnings.isEmpty()) {
        result.damaged = true;
        result.error = warnings.first().trimmed();
    } else if (format == "bmp" && bmpTooShort(file, fileSize)) {
        result.damaged = true;
        result.error = QStringLiteral("the file ends before the last row of pixels");
    }
    return result;
}

int FindEncoderClsid(const QString& mime) {
    const auto& encoders = GetImageEncoders();
    for (std::size_t i = 0; i < encoders.size(); ++i)
        if (mime == QLatin1String(encoders[i].MimeType)) return int(i);
    return -1;
}

bool SaveBitmapFile(const Bitmap& bitmap, const QString& path, int encoderIndex, QString* error,
                    int quality) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const auto& encoders = GetImageEncoders();
    if (encoderIndex < 0 || std::size_t(encoderIndex) >= encoders.size())
        return fail(QStringLiteral("no encoder"));
    if (!bitmap.isValid()) return fail(QStringLiteral("there is no picture to save"));
    const EncodeFn encode = encoders[std::size_t(encoderIndex)].encode;
    return WriteFileSafely(
        path, [&](const QString& target) { return encode(bitmap, target, quality); }, error);
}
