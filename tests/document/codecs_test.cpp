// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/codecs.h"
#include "document/lumaset_doc.h"
#include "testing/test_images.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>
#include <set>

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
        for (int x = 0; x < lock.width(); ++x) lock.pixel(x, y)[3] = std::uint8_t((x * 7 + y * 3) % 256);
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

} // namespace

TEST(MimeType, LastThreeCharactersDecide) {
    const struct {
        const char* name;
        const char* mime;
    } rows[] = {
        {"photo.JPG", "image/jpeg"}, {"photo.jpeg", "image/png"}, {"scan.tiff", "image/png"},
        {"scan.tif", "image/tiff"},  {"a.GiF", "image/gif"},      {"b.bmp", "image/bmp"},
        {"noextension", "image/png"}, {"x.png", "image/png"},      {"ab", "image/png"},
    };
    for (const auto& r : rows) EXPECT_EQ(MimeTypeForPath(r.name).toStdString(), r.mime) << r.name;
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
            const QString path = dir.file(QStringLiteral("rt%1.%2").arg(BytesPerPixel(b->GetPixelFormat())).arg(ext));
            ASSERT_TRUE(save(*b, path)) << ext;
            auto back = decode(path);
            ASSERT_TRUE(back);
            EXPECT_TRUE(SameBitmaps(*b, *back)) << path.toStdString();
            // Another decoder reads the file too, alpha included.
            const QImage qt(path);
            ASSERT_FALSE(qt.isNull()) << path.toStdString();
            EXPECT_EQ(qt.hasAlphaChannel(), b->GetPixelFormat() == PixelFormat32bppARGB) << path.toStdString();
        }
    }
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
    auto b = photo->Clone(Rect{0, 0, int(photo->GetWidth()), int(photo->GetHeight())}, PixelFormat32bppARGB);
    {
        ScopedLock lock(*b);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x) lock.pixel(x, y)[3] = 0;
    }
    ASSERT_TRUE(save(*b, dir.file("c.gif")));
    QImage gif(dir.file("c.gif"));
    ASSERT_FALSE(gif.isNull());
    std::set<QRgb> colours;
    for (int y = 0; y < gif.height(); ++y)
        for (int x = 0; x < gif.width(); ++x) colours.insert(gif.pixel(x, y));
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
            for (int c = 0; c < 3; ++c) error += std::abs(int(a.pixel(x, y)[c]) - int(r.pixel(x, y)[c]));
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
            EXPECT_TRUE(out.contains("Blend") || out.contains("True")) << ext << ": " << out.toStdString();
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
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
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
    for (int i = 0; i < random.size(); ++i) random[i] = char((i * 7919 + 13) % 251);
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

    for (const QString& refused : {write("empty.png", {}), write("random.jpg", random), write("huge.png", huge),
                                   write("bomb.jpg", jpegBomb), write("bomb.gif", gifBomb),
                                   dir.path(), dir.file("missing.png")}) {
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
