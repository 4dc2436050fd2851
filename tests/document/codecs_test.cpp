// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/codecs.h"
#include "core/png_writer.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <set>
#include <thread>

namespace {

std::unique_ptr<Bitmap> decode(const QString& path) {
    DecodedImage d = DecodeImageFile(path);
    EXPECT_TRUE(d.bitmap) << path.toStdString() << ": " << d.error.toStdString();
    EXPECT_FALSE(d.damaged) << d.error.toStdString();
    return std::move(d.bitmap);
}

bool save(const Bitmap& b, const QString& path) {
    return SaveBitmapFile(b, path, FindEncoderClsid(MimeTypeForPath(path)));
}

// A photo as a 32-bit image whose alpha runs through every value.
std::unique_ptr<Bitmap> translucentPhoto() {
    auto photo = decode(TestDataPath("chelsea.png"));
    auto b = photo->Clone(Rect{0, 0, 160, 120}, PixelFormat32bppARGB);
    ScopedLock lock(*b);
    for (int y = 0; y < lock.height(); ++y)
        for (int x = 0; x < lock.width(); ++x)
            lock.pixel(x, y)[3] = std::uint8_t((x * 7 + y * 3) % 256);
    return b;
}

double psnr(Bitmap& a, Bitmap& b) {
    ScopedLock la(a), lb(b);
    double sum = 0;
    for (int y = 0; y < la.height(); ++y)
        for (int x = 0; x < la.width(); ++x)
            for (int c = 0; c < 3; ++c) {
                const double d = double(la.pixel(x, y)[c]) - lb.pixel(x, y)[c];
                sum += d * d;
            }
    const double mse = sum / (double(la.width()) * la.height() * 3);
    return 10 * std::log10(255.0 * 255.0 / mse);
}

// A w x h CMYK JPEG of smooth gradients, which Qt's reader decodes for us.
bool writeCmykJpeg(const QString& path, int w, int h) {
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(std::size_t(w) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            JSAMPLE* p = &row[std::size_t(x) * 4];
            p[0] = JSAMPLE(x * 4), p[1] = JSAMPLE(y * 5), p[2] = JSAMPLE((x + y) * 2), p[3] = 200;
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

} // namespace

TEST(MimeType, ExtensionDecidesInAnyCase) {
    const struct {
        const char* name;
        const char* mime;
    } rows[] = {
        {"photo.JPG", "image/jpeg"}, {"photo.jpeg", "image/jpeg"},  {"p.JPE", "image/jpeg"},
        {"scan.tiff", "image/tiff"}, {"scan.TIF", "image/tiff"},    {"a.GiF", "image/gif"},
        {"b.bmp", "image/bmp"},      {"noextension", "image/png"},  {"x.png", "image/png"},
        {"ab", "image/png"},         {"dir.jpg/file", "image/png"}, {"x.webp", "image/png"},
        {"xjpg", "image/png"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(MimeTypeForPath(r.name).toStdString(), r.mime) << r.name;
    EXPECT_EQ(FindEncoderClsid("image/png"), 4);
    EXPECT_EQ(FindEncoderClsid("image/PNG"), -1);
    EXPECT_EQ(FindEncoderClsid("image/webp"), -1);
}

TEST(Decode, DepthFollowsAlpha) {
    auto jpeg = decode(TestDataPath("rocket.jpg"));
    EXPECT_EQ(jpeg->GetPixelFormat(), PixelFormat24bppRGB);
    TempDir dir;
    QImage withAlpha(8, 8, QImage::Format_ARGB32);
    withAlpha.fill(qRgba(10, 20, 30, 40));
    withAlpha.save(dir.file("a.png"));
    EXPECT_EQ(decode(dir.file("a.png"))->GetPixelFormat(), PixelFormat32bppARGB);
    QImage indexed(8, 8, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(255, 0, 0)});
    indexed.fill(1);
    indexed.save(dir.file("p.png"));
    EXPECT_EQ(decode(dir.file("p.png"))->GetPixelFormat(), PixelFormat32bppARGB); // tRNS entry
    QImage gray(8, 8, QImage::Format_Grayscale16);
    gray.fill(Qt::gray);
    gray.save(dir.file("g.png"));
    EXPECT_EQ(decode(dir.file("g.png"))->GetPixelFormat(), PixelFormat24bppRGB);
}

TEST(RoundTrip, LosslessFormatsAreByteIdentical) {
    TempDir dir;
    auto opaque = decode(TestDataPath("coffee.png"));
    ASSERT_EQ(opaque->GetPixelFormat(), PixelFormat24bppRGB);
    auto translucent = translucentPhoto();
    for (const char* ext : {"png", "bmp", "tif"}) {
        for (Bitmap* b : {opaque.get(), translucent.get()}) {
            const QString path = dir.file(
                QStringLiteral("rt%1.%2").arg(BytesPerPixel(b->GetPixelFormat())).arg(ext));
            ASSERT_TRUE(save(*b, path)) << ext;
            auto back = decode(path);
            ASSERT_TRUE(back);
            EXPECT_TRUE(SameBitmaps(*b, *back)) << path.toStdString();
            // Another decoder reads the file too, alpha included.
            const QImage qt(path);
            ASSERT_FALSE(qt.isNull()) << path.toStdString();
            EXPECT_EQ(qt.hasAlphaChannel(), b->GetPixelFormat() == PixelFormat32bppARGB)
                << path.toStdString();
        }
    }
}

// Our PNG files are read back exactly by us and by Qt's reader (which checks
// the zlib stream's checksum), and files from Qt's writer, whose adaptive
// filters use all five filter types, are read exactly by us: odd widths whose
// rows are padded in memory, pictures large enough to be compressed in parts
// (of uneven heights too), with and without alpha. A writer
// told to stop gives up and says so.
TEST(RoundTrip, PngAcrossWidthsAndWriters) {
    TempDir dir;
    auto photo = decode(TestDataPath("coffee.png"));
    const struct {
        int width, height;
        PixelFormat format;
    } cases[] = {
        {1, 1, PixelFormat24bppRGB},       {5, 3, PixelFormat24bppRGB},
        {601, 7, PixelFormat24bppRGB},     {1203, 450, PixelFormat24bppRGB},
        {1202, 451, PixelFormat32bppARGB}, {3, 2, PixelFormat32bppARGB},
        {16384, 17, PixelFormat24bppRGB},
    };
    for (const auto& c : cases) {
        // The photo tiled to the size, with alpha running through every value.
        Bitmap b(c.width, c.height, c.format);
        {
            ScopedLock from(*photo), to(b);
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x) {
                    const std::uint8_t* s = from.pixel(x % from.width(), y % from.height());
                    std::uint8_t* d = to.pixel(x, y);
                    d[0] = s[0], d[1] = s[1], d[2] = s[2];
                    if (to.bpp() == 4) d[3] = std::uint8_t(x * 7 + y * 3);
                }
        }
        const QString name =
            QStringLiteral("%1x%2-%3").arg(c.width).arg(c.height).arg(BytesPerPixel(c.format));
        const QString ours = dir.file(name + "-ours.png"), qts = dir.file(name + "-qt.png");
        ASSERT_TRUE(save(b, ours)) << name.toStdString();
        ASSERT_TRUE(b.image().save(qts, "PNG")) << name.toStdString();
        for (const QString& path : {ours, qts}) {
            auto back = decode(path);
            ASSERT_TRUE(back);
            EXPECT_TRUE(SameBitmaps(b, *back)) << path.toStdString();
        }
        const QImage qt(ours);
        ASSERT_FALSE(qt.isNull()) << name.toStdString();
        EXPECT_EQ(qt.convertToFormat(b.image().format()), b.image()) << name.toStdString();
    }
    const std::atomic<bool> stop{true};
    errno = 0;
    EXPECT_FALSE(WritePng(photo->image(), dir.file("stopped.png"), PngSpeed::Fast, &stop));
    EXPECT_EQ(errno, ECANCELED);
}

TEST(RoundTrip, JpegAtQuality90) {
    TempDir dir;
    auto photo = decode(TestDataPath("coffee.png"));
    ASSERT_TRUE(save(*photo, dir.file("c.jpg")));
    QImageReader reader(dir.file("c.jpg"));
    EXPECT_EQ(reader.format(), "jpeg");
    auto back = decode(dir.file("c.jpg"));
    EXPECT_GE(psnr(*photo, *back), 35.0);
}

TEST(RoundTrip, GifPaletteAndTransparency) {
    TempDir dir;
    auto photo = decode(TestDataPath("coffee.png"));
    auto b = photo->Clone(Rect{0, 0, int(photo->GetWidth()), int(photo->GetHeight())},
                          PixelFormat32bppARGB);
    {
        ScopedLock lock(*b);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                lock.pixel(x, y)[3] = 0;
    }
    ASSERT_TRUE(save(*b, dir.file("c.gif")));
    QImage gif(dir.file("c.gif"));
    ASSERT_FALSE(gif.isNull());
    std::set<QRgb> colours;
    for (int y = 0; y < gif.height(); ++y)
        for (int x = 0; x < gif.width(); ++x)
            colours.insert(gif.pixel(x, y));
    EXPECT_LE(colours.size(), 256u);
    auto back = decode(dir.file("c.gif"));
    ASSERT_EQ(back->GetPixelFormat(), PixelFormat32bppARGB);
    ScopedLock a(*b), r(*back);
    double error = 0;
    int opaque = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool clear = x < 30 && y < 20;
            EXPECT_EQ(r.pixel(x, y)[3], clear ? 0 : 255);
            if (clear) continue;
            ++opaque;
            for (int c = 0; c < 3; ++c)
                error += std::abs(int(a.pixel(x, y)[c]) - int(r.pixel(x, y)[c]));
        }
    EXPECT_LE(error / (opaque * 3.0), 8.0);
}

TEST(RoundTrip, OtherDecoderAgrees) {
    const QString identify = QStandardPaths::findExecutable("identify");
    if (identify.isEmpty()) GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    auto b = translucentPhoto();
    for (const char* ext : {"png", "bmp", "tif", "gif", "jpg"}) {
        const QString path = dir.file(QStringLiteral("x.%1").arg(ext));
        ASSERT_TRUE(save(*b, path));
        QProcess p;
        p.start(identify, {"-format", "%w %h %A", path});
        ASSERT_TRUE(p.waitForFinished(20000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        EXPECT_EQ(p.exitCode(), 0) << ext;
        EXPECT_TRUE(out.startsWith("160 120")) << ext << ": " << out.toStdString();
        if (QLatin1String(ext) != QLatin1String("jpg")) {
            EXPECT_TRUE(out.contains("Blend") || out.contains("True"))
                << ext << ": " << out.toStdString();
        }
    }
}

TEST(Save, FailureLeavesOldFileIntact) {
    TempDir dir;
    auto b = MakePatternBitmap(9, 7, PixelFormat24bppRGB);
    const QString path = dir.file("keep.png");
    ASSERT_TRUE(save(*b, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    QFile::setPermissions(path, QFile::ReadOwner);
    auto other = MakePatternBitmap(9, 7, PixelFormat24bppRGB, 2);
    QString error;
    EXPECT_FALSE(SaveBitmapFile(*other, path, FindEncoderClsid("image/png"), &error));
    EXPECT_FALSE(error.isEmpty());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(SaveBitmapFile(*other, dir.file("missing/x.png"), FindEncoderClsid("image/png")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
              1); // no temporary left
}

TEST(Decode, BadFilesAreRefusedOrMarkedDamaged) {
    TempDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.file(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return dir.file(name);
    };
    QFile jpegFile(TestDataPath("rocket.jpg"));
    jpegFile.open(QIODevice::ReadOnly);
    const QByteArray jpeg = jpegFile.readAll();
    QByteArray random(4096, '\0');
    for (int i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) % 251);
    // A PNG header declaring 50000 x 50000 pixels.
    const QByteArray huge = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452") +
                            QByteArray::fromHex("0000c3500000c35008020000004d5a7e1a");

    // A JPEG cut short whose frame header declares 18000 x 18000 pixels, and a
    // GIF declaring 16000 x 16000 pixels in a few bytes: bombs, refused before
    // anything large is allocated.
    QByteArray jpegBomb = jpeg.left(20000);
    const int sof = jpegBomb.indexOf(QByteArray::fromHex("ffc0"));
    jpegBomb.replace(sof + 5, 4, QByteArray::fromHex("46504650"));
    QImage tiny(8, 8, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    tiny.save(dir.file("tiny.gif"));
    QFile tinyFile(dir.file("tiny.gif"));
    tinyFile.open(QIODevice::ReadOnly);
    QByteArray gifBomb = tinyFile.readAll();
    gifBomb.replace(6, 4, QByteArray::fromHex("803e803e"));
    const int descriptor = gifBomb.indexOf(char(0x2c), 13);
    gifBomb.replace(descriptor + 5, 4, QByteArray::fromHex("803e803e"));

    for (const QString& refused :
         {write("empty.png", {}), write("random.jpg", random), write("huge.png", huge),
          write("bomb.jpg", jpegBomb), write("bomb.gif", gifBomb), dir.path(),
          dir.file("missing.png")}) {
        DecodedImage d = DecodeImageFile(refused);
        EXPECT_FALSE(d.bitmap) << refused.toStdString();
        EXPECT_FALSE(d.error.isEmpty()) << refused.toStdString();
    }
    DecodedImage cut = DecodeImageFile(write("cut.jpg", jpeg.left(jpeg.size() / 2)));
    ASSERT_TRUE(cut.bitmap);
    EXPECT_TRUE(cut.damaged);
    // A PNG under another name opens by its content.
    QFile::copy(TestDataPath("coffee.png"), dir.file("coffee.jpg"));
    DecodedImage renamed = DecodeImageFile(dir.file("coffee.jpg"));
    ASSERT_TRUE(renamed.bitmap);
    EXPECT_FALSE(renamed.damaged);
}

TEST(Decode, TwoThreadsKeepTheirOwnMessages) {
    TempDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.file(name);
    };
    // The first half of source, or (garble > 0) all of it with garble bytes
    // replaced from 40% on (TIFF files keep their directory at the end).
    auto damage = [&](const QString& source, const QString& name, int garble) {
        QFile f(source);
        f.open(QIODevice::ReadOnly);
        QByteArray bytes = f.readAll();
        if (garble == 0) return write(name, bytes.left(bytes.size() / 2));
        for (qsizetype i = bytes.size() * 4 / 10, end = i + garble; i < end; ++i)
            bytes[i] = char(i * 37);
        return write(name, bytes);
    };
    // Damaged files of every reader: libpng, libjpeg, libtiff, Qt's JPEG reader
    // (CMYK) and Qt's TIFF reader (grey), and whole files, decoded by Qt's
    // readers at the same time as damaged ones, so a message that went to the
    // wrong decode shows as a flag or message out of place.
    auto photo = decode(TestDataPath("chelsea.png"));
    ASSERT_TRUE(save(*photo, dir.file("whole.tif")));
    ASSERT_TRUE(writeCmykJpeg(dir.file("cmyk.jpg"), 640, 480));
    QImageWriter greyWriter(dir.file("grey.tif"));
    greyWriter.setCompression(1); // LZW, so garbled bytes are noticed
    ASSERT_TRUE(greyWriter.write(photo->image().convertToFormat(QImage::Format_Grayscale8)));
    const QStringList files = {
        damage(TestDataPath("chelsea.png"), "cut.png", 0),
        damage(TestDataPath("rocket.jpg"), "cut.jpg", 0),
        damage(dir.file("whole.tif"), "bad.tif", 20000),
        damage(dir.file("cmyk.jpg"), "cut-cmyk.jpg", 0),
        damage(dir.file("cmyk.jpg"), "bad-cmyk.jpg", 8),
        damage(dir.file("grey.tif"), "bad-grey.tif", 20000),
        write("junk.gif", "GIF89a not really"),
        TestDataPath("coffee.png"),
        dir.file("grey.tif"),
        dir.file("cmyk.jpg"),
    };
    const int damagedFiles = 5; // the first five open damaged, the rest do not
    // What each file gives on one thread.
    std::vector<std::pair<bool, QString>> expected;
    for (int i = 0; i < files.size(); ++i) {
        const DecodedImage d = DecodeImageFile(files[i]);
        EXPECT_EQ(d.damaged, i < damagedFiles)
            << files[i].toStdString() << ": " << d.error.toStdString();
        expected.emplace_back(d.damaged, d.error);
    }
    // Two threads decode them at once in opposite orders, many times over.
    std::atomic<int> mismatches{0};
    auto worker = [&](bool reverse) {
        for (int round = 0; round < 8; ++round)
            for (int i = 0; i < files.size(); ++i) {
                const int k = reverse ? int(files.size()) - 1 - i : i;
                const DecodedImage d = DecodeImageFile(files[k]);
                if (d.damaged != expected[k].first || d.error != expected[k].second) ++mismatches;
            }
    };
    std::thread first(worker, false), second(worker, true);
    first.join();
    second.join();
    EXPECT_EQ(mismatches.load(), 0);
}
