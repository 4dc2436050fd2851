// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli run as a process on real files.
#include "core/codecs.h"
#include "testing/test_images.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

QStringList withBackups(const TempDir& dir, QStringList args) {
    return QStringList{"--backup-dir", dir.file("BackUp")} + args;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

void put16(QByteArray& b, quint32 v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, quint32 v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

struct TiffEntry {
    quint16 tag;
    quint16 type; // 3 SHORT, 4 LONG
    std::vector<quint32> values;
};

// A little-endian TIFF of one picture: the pixel blocks come first, their
// offsets (moved by shift) and sizes go to offsetsTag and countsTag.
QByteArray makeTiff(const std::vector<QByteArray>& blocks, std::vector<TiffEntry> entries,
                    quint16 offsetsTag, quint16 countsTag, quint32 shift = 0) {
    QByteArray data("II*\0", 4);
    put32(data, 0); // the IFD's offset, filled in below
    std::vector<quint32> offsets, counts;
    for (const QByteArray& block : blocks) {
        offsets.push_back(quint32(data.size()) + shift);
        counts.push_back(quint32(block.size()));
        data += block;
    }
    if (data.size() % 2) data.append('\0');
    entries.push_back({offsetsTag, 4, offsets});
    entries.push_back({countsTag, 4, counts});
    std::sort(entries.begin(), entries.end(),
              [](const TiffEntry& a, const TiffEntry& b) { return a.tag < b.tag; });
    const quint32 ifd = quint32(data.size());
    data[4] = char(ifd & 0xFF), data[5] = char((ifd >> 8) & 0xFF),
    data[6] = char((ifd >> 16) & 0xFF), data[7] = char(ifd >> 24);
    QByteArray extra;
    const quint32 extraAt = ifd + 2 + 12 * quint32(entries.size()) + 4;
    put16(data, quint32(entries.size()));
    for (const TiffEntry& e : entries) {
        QByteArray values;
        for (quint32 v : e.values)
            e.type == 3 ? put16(values, v) : put32(values, v);
        put16(data, e.tag);
        put16(data, e.type);
        put32(data, quint32(e.values.size()));
        if (values.size() <= 4) {
            data += values.leftJustified(4, '\0');
        } else {
            put32(data, extraAt + quint32(extra.size()));
            extra += values;
        }
    }
    put32(data, 0);
    return data + extra;
}

// An uncompressed 8-bit RGB TIFF in one strip; compression and the strip offset can be bent.
QByteArray stripTiff(int w, int h, quint32 compression = 1, quint32 shift = 0) {
    return makeTiff({QByteArray(w * h * 3, '\x80')},
                    {{256, 4, {quint32(w)}},
                     {257, 4, {quint32(h)}},
                     {258, 3, {8, 8, 8}},
                     {259, 3, {compression}},
                     {262, 3, {2}},
                     {277, 3, {3}},
                     {278, 4, {quint32(h)}}},
                    273, 279, shift);
}

// An uncompressed 8-bit RGB TIFF of w x h in 16 x 16 tiles; red grows to the
// right, green downwards.
QByteArray tiledRgbTiff(int w, int h) {
    std::vector<QByteArray> tiles;
    for (int ty = 0; ty < h; ty += 16)
        for (int tx = 0; tx < w; tx += 16) {
            QByteArray tile;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    tile.append(char((tx + x) * 8));
                    tile.append(char((ty + y) * 8));
                    tile.append(char(0x40));
                }
            tiles.push_back(tile);
        }
    return makeTiff(tiles,
                    {{256, 4, {quint32(w)}},
                     {257, 4, {quint32(h)}},
                     {258, 3, {8, 8, 8}},
                     {259, 3, {1}},
                     {262, 3, {2}},
                     {277, 3, {3}},
                     {284, 3, {1}},
                     {322, 4, {16}},
                     {323, 4, {16}}},
                    324, 325);
}

quint32 crc32Of(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A PNG chunk with its length and CRC (big-endian).
QByteArray pngChunk(const QByteArray& type, const QByteArray& data, quint32 declaredLength) {
    QByteArray chunk;
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.append(char((declaredLength >> shift) & 0xFF));
    const quint32 crc = crc32Of(type + data);
    chunk += type + data;
    for (int shift = 24; shift >= 0; shift -= 8)
        chunk.append(char((crc >> shift) & 0xFF));
    return chunk;
}

// A 16 x 16 PNG header followed by a text chunk that declares a length near 2^31.
QByteArray pngWithHugeChunk() {
    const QByteArray ihdr = QByteArray::fromHex("00000010000000100806000000");
    return QByteArray::fromHex("89504e470d0a1a0a") + pngChunk("IHDR", ihdr, 13) +
           pngChunk("zTXt", QByteArray(64, 'a'), 0x7FFFFFF0u);
}

// A 2 x 2 24-bit BMP whose pixel data would start far beyond its end.
QByteArray bmpWithOffsetBeyondEnd() {
    QByteArray b("BM");
    put32(b, 70);
    put32(b, 0);
    put32(b, 100000); // pixel data offset
    put32(b, 40);
    put32(b, 2);
    put32(b, 2);
    put16(b, 1);
    put16(b, 24);
    for (int i = 0; i < 6; ++i)
        put32(b, 0);
    return b + QByteArray(16, '\x7f');
}

bool isPng(const QByteArray& bytes) {
    return bytes.startsWith(QByteArray::fromHex("89504e470d0a1a0a"));
}

mode_t fileType(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

} // namespace

TEST(Cli, InfoReportsSizeFormatAndSelection) {
    TempDir dir;
    CliRun r = RunCli(
        withBackups(dir, {"--info", TestDataPath("rocket.jpg"), "--select", "rect:10,10,10,5"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out,
        "width: 640\nheight: 427\nformat: PixelFormat24bppRGB\nselection: 10,10,10,5 area 50\n"
        "foreground: #FF000000\nbackground: #FFFFFFFF\n");
    r = RunCli(withBackups(dir, {"--new", "25x14", "--info"}));
    EXPECT_EQ(r.out, "width: 25\nheight: 14\nformat: PixelFormat32bppARGB\nselection: none\n"
                     "foreground: #FF000000\nbackground: #FFFFFFFF\n");
    r = RunCli(withBackups(dir, {"--new", "40x30", "--select", "rect:0,0,20,30", "--select-add",
                                 "rect:10,0,20,10", "--select-sub", "rect:0,0,5,5", "--info"}));
    EXPECT_TRUE(r.out.contains("selection: 0,0,30,30 area 675\n")) << r.out.toStdString();
}

TEST(Cli, HistoryRunsFromStepToStep) {
    TempDir dir;
    const QString out = dir.file("out.png");
    // Undo right after opening is disabled: the command is refused.
    CliRun r = RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Undo"}));
    EXPECT_EQ(r.exitCode, 3);
    r = RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Blur", "--do", "Emboss",
                                 "--do", "undo", "--do", "Redo", "--do", "57643", "-o", out}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString once = dir.file("once.png");
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Blur", "-o", once}))
                  .exitCode,
              0);
    auto a = DecodeImageFile(out).bitmap, b = DecodeImageFile(once).bitmap;
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(SameBitmaps(*b, *a));
    // Backups are gone when the program ends.
    EXPECT_TRUE(QDir(dir.file("BackUp")).entryList({"Lumaset.temp.*"}, QDir::Files).isEmpty());
}

TEST(Cli, UsageErrorsExitOne) {
    TempDir dir;
    const QStringList bad[] = {
        {},
        {"--bogus"},
        {TestDataPath("chelsea.png"), "--do", "NoSuchCommand"},
        {TestDataPath("chelsea.png"), "--do", "MotionBlur:angle=abc"},
        {TestDataPath("chelsea.png"), "--do", "MotionBlur:speed=3"},
        {TestDataPath("chelsea.png"), "--select", "rect:1,2,3"},
        {TestDataPath("chelsea.png"), "--select", "wand:9999,1"},
        {"--new", "0x10"},
        {"--new", "10x10", "--fg", "red"},
    };
    for (const QStringList& args : bad) {
        const CliRun r = RunCli(withBackups(dir, args));
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST(Cli, CommandsByTextAliasAndNumber) {
    TempDir dir;
    for (const char* name :
         {"usm sharpen", "USM-Sharpen", "32853", "Gamma:gamma=1", "Flip Horizontal", "Stroke"}) {
        const CliRun r = RunCli(withBackups(dir, {"--new", "8x8", "--do", name}));
        EXPECT_NE(r.exitCode, 1) << name << ": " << r.err.toStdString();
    }
    const CliRun list = RunCli({"--list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains("32848  MotionBlur  angle=15,distance=20"));
    EXPECT_TRUE(list.out.contains("32861  Polar"));
}

TEST(Cli, BadFilesExitTwoQuicklyAndLeaveFilesAlone) {
    TempDir dir;
    const QByteArray jpeg = readAll(TestDataPath("rocket.jpg"));
    writeBytes(dir.file("empty.png"), {});
    writeBytes(dir.file("random.png"), QByteArray(5000, '\x5A'));
    writeBytes(dir.file("header.png"),
               QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200007530000075300806000000"));
    writeBytes(dir.file("bomb.png"),
               QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000061a8000061a80806000000"));
    writeBytes(dir.file("hugechunk.png"), pngWithHugeChunk());
    writeBytes(dir.file("farpixels.bmp"), bmpWithOffsetBeyondEnd());
    writeBytes(dir.file("farpixels.tif"), stripTiff(8, 8, 1, 1u << 30));
    writeBytes(dir.file("strange.tif"), stripTiff(8, 8, 60000));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("fifo.jpg")).constData(), 0600), 0);
    // Nothing ever writes into the pipe: reading it would wait for ever.
    for (const QString& path :
         {dir.file("empty.png"), dir.file("random.png"), dir.file("header.png"),
          dir.file("bomb.png"), dir.file("missing.png"), dir.path(), dir.file("hugechunk.png"),
          dir.file("farpixels.bmp"), dir.file("farpixels.tif"), dir.file("strange.tif"),
          dir.file("fifo.jpg"), QString("/dev/zero"), QString("/proc/self/status")}) {
        QElapsedTimer t;
        t.start();
        const CliRun r = RunCli(withBackups(dir, {path, "-o", dir.file("never.png")}));
        EXPECT_EQ(r.exitCode, 2) << path.toStdString() << r.err.toStdString();
        EXPECT_LT(t.elapsed(), 2000) << path.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QFileInfo(path).fileName())) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("empty") && path.startsWith("/dev")) << r.err.toStdString();
        if (path.endsWith("hugechunk.png")) {
            EXPECT_TRUE(r.err.contains("more than the file holds")) << r.err.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(dir.file("never.png")));
}

TEST(Cli, DamagedFileOpensWithWarningAndIsNotOverwrittenUnlessForced) {
    TempDir dir;
    const QByteArray cut = readAll(TestDataPath("rocket.jpg")).left(30000);
    const QString path = dir.file("cut.jpg");
    writeBytes(path, cut);
    CliRun r = RunCli(withBackups(dir, {path, "--info"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_TRUE(r.err.contains("warning")) << r.err.toStdString();
    r = RunCli(withBackups(dir, {path, "--do", "Blur", "-o", path}));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(readAll(path), cut);
    // The same file opened through a link, saved under its own name.
    ASSERT_TRUE(QFile::link(path, dir.file("link.jpg")));
    r = RunCli(
        withBackups(dir, {dir.file("link.jpg"), "--do", "Blur", "-o", dir.path() + "/./cut.jpg"}));
    EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
    EXPECT_EQ(readAll(path), cut);
    r = RunCli(withBackups(dir, {"--force", path, "--do", "Blur", "-o", path}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(readAll(path), cut);
}

TEST(Cli, SaveFailureExitsTwoWithTheReason) {
    TempDir dir;
    const struct {
        QString target;
        const char* reason;
    } cases[] = {
        {dir.file("no/such/dir/x.png"), "No such file or directory"},
        {"/dev/full", "No space left on device"},
        {dir.path(), "is a folder"},
    };
    for (const auto& c : cases) {
        const CliRun r = RunCli(withBackups(dir, {"--new", "10x10", "-o", c.target}));
        EXPECT_EQ(r.exitCode, 2) << c.target.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Failed to save") && r.err.contains(c.reason))
            << r.err.toStdString();
    }
}

TEST(Cli, SaveTargetsThatAreNotPlainFilesKeepWhatTheyAre) {
    TempDir dir;
    writeBytes(dir.file("real.png"), "old");
    ASSERT_TRUE(QFile::link("real.png", dir.file("link.png")));
    ASSERT_TRUE(QFile::link("new.png", dir.file("dangling.png")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe.png")).constData(), 0600), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s",
                  QFile::encodeName(dir.file("sock.png")).constData());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    QByteArray fromPipe;
    std::thread reader([&] {
        QFile pipe(dir.file("pipe.png"));
        if (pipe.open(QIODevice::ReadOnly)) fromPipe = pipe.readAll();
    });
    const struct {
        QString target;
        int exitCode;
        mode_t typeAfter;
        std::function<QByteArray()> written; // the bytes that arrived, if they can be read back
    } cases[] = {
        {dir.file("link.png"), 0, S_IFLNK, [&] { return readAll(dir.file("real.png")); }},
        {dir.file("dangling.png"), 0, S_IFLNK, [&] { return readAll(dir.file("new.png")); }},
        {dir.file("pipe.png"), 0, S_IFIFO,
         [&] {
             reader.join();
             return fromPipe;
         }},
        {"/dev/null", 0, S_IFCHR, nullptr},
        {"/dev/stdout", 0, S_IFLNK, nullptr},
        {dir.file("sock.png"), 2, S_IFSOCK, nullptr},
    };
    for (const auto& c : cases) {
        const CliRun r = RunCli(withBackups(dir, {"--new", "10x10", "-o", c.target}));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.target.toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(fileType(c.target), c.typeAfter) << c.target.toStdString();
        if (c.written) {
            EXPECT_TRUE(isPng(c.written())) << c.target.toStdString();
        }
        if (c.target == "/dev/stdout") {
            EXPECT_TRUE(isPng(r.rawOut));
        }
        if (c.exitCode != 0) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    ::close(sock);
    if (reader.joinable()) reader.join();
}

TEST(Cli, StandardStreamsAndNamesStartingWithADash) {
    TempDir dir;
    const QByteArray png = readAll(TestDataPath("chelsea.png"));
    CliRun r =
        RunCli(withBackups(dir, {"-", "--do", "Blur", "-o", "-"}), 60000, CliSetup{png, {}, {}});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(isPng(r.rawOut));
    r = RunCli(withBackups(dir, {"--format", "jpg", "--new", "8x8", "-o", "-"}));
    EXPECT_TRUE(r.rawOut.startsWith(QByteArray::fromHex("ffd8ff")));
    QFile::copy(TestDataPath("rocket.jpg"), dir.file("-x.jpg"));
    r = RunCli(withBackups(dir, {"--do", "Blur", "-o", "-y.png", "--", "-x.jpg"}), 60000,
               CliSetup{{}, {}, dir.path()});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(isPng(readAll(dir.file("-y.png"))));
    r = RunCli(withBackups(dir, {"-"}), 60000, CliSetup{});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("standard input is empty")) << r.err.toStdString();
}

TEST(Cli, FileNamesAreTheSystemsBytes) {
    TempDir dir;
    QFile::copy(TestDataPath("rocket.jpg"), dir.file("plain.jpg"));
    // "lat\xe9.jpg" is Latin-1, not UTF-8.
    const CliRun r =
        RunCliScript("cp plain.jpg \"$(printf 'lat\\351.jpg')\" && "
                     "\"$LUMASET_CLI\" --backup-dir BackUp \"$(printf 'lat\\351.jpg')\" "
                     "-o \"$(printf 'out\\351.png')\" && test -f \"$(printf 'out\\351.png')\" && "
                     // A message names the file with its own bytes.
                     "! \"$LUMASET_CLI\" --backup-dir BackUp \"$(printf 'no\\351.png')\" 2>err && "
                     "grep -q \"$(printf 'no\\351.png'): no such file\" err",
                     dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

TEST(Cli, TheExtensionChoosesTheFormat) {
    TempDir dir;
    const struct {
        const char* name;
        QByteArray magic;
        // Table rows stay one a line.
        // clang-format off
    } cases[] = {
        {"a.jpeg", QByteArray::fromHex("ffd8ff")}, {"b.JPE", QByteArray::fromHex("ffd8ff")},
        {"c.Jpg", QByteArray::fromHex("ffd8ff")},  {"d.tiff", "II*"},
        {"e.TIF", "II*"},                          {"f.bmp", "BM"},
        {"g.GIF", "GIF89a"},                       {"h.png", QByteArray::fromHex("89504e47")},
        {"i.webp", QByteArray::fromHex("89504e47")}, {"noextension", QByteArray::fromHex("89504e47")},
    };
    // clang-format on
    QStringList args{"--new", "8x8"};
    for (const auto& c : cases)
        args << "-o" << dir.file(c.name);
    const CliRun r = RunCli(withBackups(dir, args));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    for (const auto& c : cases)
        EXPECT_TRUE(readAll(dir.file(c.name)).startsWith(c.magic)) << c.name;
    // One warning for each name whose extension says nothing.
    EXPECT_EQ(r.err.count('\n'), 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("i.webp") && r.err.contains("noextension")) << r.err.toStdString();
    // Without a transparency block a GIF stays GIF87a.
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("rocket.jpg"), "-o", dir.file("opaque.gif")}))
                  .exitCode,
              0);
    EXPECT_TRUE(readAll(dir.file("opaque.gif")).startsWith("GIF87a"));
}

TEST(Cli, TiffFilesOpenQuietly) {
    TempDir dir;
    // libtiff warns of a tag it does not know; that is not for the terminal.
    std::vector<QByteArray> pixels{QByteArray(64, '\x80')};
    writeBytes(dir.file("oddtag.tif"), makeTiff(pixels,
                                                {{256, 4, {8}},
                                                 {257, 4, {8}},
                                                 {258, 3, {8}},
                                                 {259, 3, {1}},
                                                 {262, 3, {1}},
                                                 {277, 3, {1}},
                                                 {278, 4, {8}},
                                                 {65000, 3, {5}}},
                                                273, 279));
    CliRun r = RunCli(withBackups(dir, {dir.file("oddtag.tif"), "--info"}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    writeBytes(dir.file("tiled.tif"), tiledRgbTiff(40, 20));
    r = RunCli(withBackups(dir, {dir.file("tiled.tif"), "--info", "-o", dir.file("t.png")}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.startsWith("width: 40\nheight: 20\nformat: PixelFormat24bppRGB"))
        << r.out.toStdString();
    auto image = DecodeImageFile(dir.file("t.png")).bitmap;
    ASSERT_TRUE(image);
    // A pixel of the last, partial tile.
    EXPECT_EQ(image->image().pixel(35, 18), qRgb(35 * 8, 18 * 8, 0x40));
}

TEST(Cli, PicturesTheProgramMakesObeyTheSizeLimit) {
    TempDir dir;
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
        // Table rows stay one a line.
        // clang-format off
    } cases[] = {
        {{"--new", "8x8", "--select", "rect:0,0,46341,46341", "--do", "Crop"}, 3, "46341 x 46341 pixels"},
        {{"--new", "8x8", "--select", "rect:-20000,0,30001,10", "--do", "Crop"}, 3, "30001 x 10 pixels"},
        // The Resize and New dialogs refuse these sizes as values.
        {{"--new", "8x8", "--do", "Resize:width=30000,height=30000"}, 1, "30000 x 30000"},
        {{"--new", "8x8", "--do", "New:width=20000,height=20000"}, 1, "20000 x 20000"},
        {{"--new", "20000x20000"}, 1, "20000 x 20000 pixels"},
        {{"--new", "8x8", "--do", "Mosaic:size=2147483648"}, 1, "2147483648 is outside"},
    };
    // clang-format on
    for (const auto& c : cases) {
        QElapsedTimer t;
        t.start();
        const CliRun r = RunCli(withBackups(dir, c.args));
        EXPECT_EQ(r.exitCode, c.exitCode)
            << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_LT(t.elapsed(), 5000) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }
}

TEST(Cli, BackupFolder) {
    TempDir dir;
    const QString out = dir.file("out.png");
    // By default the cache folder, never beside the program.
    const QStringList cache{"XDG_CACHE_HOME=" + dir.file("cache")};
    CliRun r = RunCli({"--new", "8x8", "--do", "Blur"}, 60000, CliSetup{{}, cache, {}});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(dir.file("cache/lumaset/BackUp")).isDir());

    // A folder held by a running program: one inside it, with a note.
    const QString held = dir.file("held");
    QDir().mkpath(held);
    QLockFile lock(held + "/.lumaset.lock");
    ASSERT_TRUE(lock.tryLock(0));
    // The folder of a program that has ended is removed.
    QDir().mkpath(held + "/instance-999999999");
    writeBytes(held + "/instance-999999999/Lumaset.temp.0", "x");
    r = RunCli({"--backup-dir", held, "--new", "8x8", "--do", "Blur"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.startsWith("lumaset-cli: note:") && r.err.contains(held + "/instance-"))
        << r.err.toStdString();
    EXPECT_EQ(QDir(held).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList())
        << "instance folders remain";
    lock.unlock();

    // A folder that cannot be used stops the run before any work.
    writeBytes(dir.file("afile"), "x");
    for (const QString& bad : {dir.file("afile"), dir.file("afile/sub")}) {
        r = RunCli({"--backup-dir", bad, "--new", "8x8", "-o", out});
        EXPECT_EQ(r.exitCode, 1) << bad.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("not a folder")) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }

    // Backups that cannot be written are reported once, and undo still works.
    const QString broken = dir.file("broken");
    for (int i = 0; i < 4; ++i)
        QDir().mkpath(broken + QStringLiteral("/Lumaset.temp.%1.part").arg(i));
    r = RunCli({"--backup-dir", broken, "--new", "8x8", "--do", "Blur", "--do", "Blur", "--do",
                "Blur", "--do", "Undo", "--do", "Blur", "-o", out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The writes run in the background: the failure may come after the last step.
    EXPECT_LE(r.err.count("Failed to save"), 1) << r.err.toStdString();
    EXPECT_TRUE(isPng(readAll(out)));
}

// A session a killed program left in the backup folder: listed, restored at
// its position with its history, and left in place for another try.
TEST(Cli, RecoverListsAndRestoresACrashedSession) {
    TempDir dir;
    const QString backups = dir.file("BackUp");
    QDir().mkpath(backups);
    const auto first = MakePatternBitmap(8, 6, PixelFormat24bppRGB, 1);
    const auto second = MakePatternBitmap(8, 6, PixelFormat24bppRGB, 2);
    first->image().save(backups + "/Lumaset.temp.0", "PNG");
    second->image().save(backups + "/Lumaset.temp.1", "PNG");
    writeBytes(backups + "/Lumaset.journal",
               "Lumaset journal 1\ndocument /photos/a%20b.png\nmodified 1\nposition 2\n"
               "step Lumaset.temp.0 8 6 PixelFormat24bppRGB\n"
               "step Lumaset.temp.1 8 6 PixelFormat24bppRGB\nend 2\n");

    // The picture at the position, and Undo to the first step.
    auto restores = [&](const QString& folder) {
        const QString at = dir.file("at.png"), undone = dir.file("undone.png");
        const CliRun run = RunCli({"--backup-dir", backups, "--recover=" + folder, "-o", at, "--do",
                                   "Undo", "-o", undone});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(SameBitmaps(*second, *DecodeImageFile(at).bitmap));
        EXPECT_TRUE(SameBitmaps(*first, *DecodeImageFile(undone).bitmap));
    };
    // The folder named may be the one this run moved the session out of.
    restores(backups);

    CliRun r = RunCli({"--backup-dir", backups, "--recover"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList fields = r.out.trimmed().split('\t');
    ASSERT_EQ(fields.size(), 5) << r.out.toStdString();
    EXPECT_TRUE(fields[0].startsWith(QFileInfo(backups).absoluteFilePath() + "/session-"));
    EXPECT_EQ(fields[2], "/photos/a b.png");
    EXPECT_EQ(fields[3], "step 2 of 2");
    EXPECT_EQ(fields[4], "8 x 6 24-bit");
    restores(fields[0]);
    EXPECT_TRUE(QFile::exists(fields[0] + "/Lumaset.journal"));

    r = RunCli({"--backup-dir", backups, "--recover=" + fields[0], "--new", "8x8"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("give only one of")) << r.err.toStdString();
}

TEST(Cli, NoTemporaryFileOutlivesTheProgram) {
    TempDir dir;
    // A temporary of a killed program is removed; one of a running program stays.
    const QString dead = dir.file(".out.png.lumaset-999999999-abcdef");
    const QString alive = dir.file(QStringLiteral(".out.png.lumaset-%1-abcdef").arg(::getpid()));
    writeBytes(dead, "x");
    writeBytes(alive, "x");
    ASSERT_EQ(RunCli(withBackups(dir, {"--new", "8x8", "-o", dir.file("out.png")})).exitCode, 0);
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_TRUE(QFile::exists(alive));
    QFile::remove(alive);

    // Killed while it writes: the picture is written into an unnamed file,
    // which goes with the program.
    QProcess p;
    p.start(LUMASET_CLI, withBackups(dir, {"--new", "5000x5000", "--do", "Add Noise", "-o",
                                           dir.file("big.png")}));
    ASSERT_TRUE(p.waitForStarted());
    const QString fds = QStringLiteral("/proc/%1/fd").arg(p.processId());
    bool killedWhileWriting = false;
    for (int i = 0; i < 6000 && p.state() == QProcess::Running && !killedWhileWriting; ++i) {
        for (const QFileInfo& fd :
             QDir(fds).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (!fd.symLinkTarget().startsWith(dir.path() + "/#")) continue;
            ::kill(pid_t(p.processId()), SIGKILL);
            killedWhileWriting = true;
            break;
        }
        if (!killedWhileWriting) QThread::msleep(5);
    }
    p.waitForFinished();
    EXPECT_TRUE(killedWhileWriting);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.png"});
}

TEST(Cli, RandomEffectsRepeatFromProgramStartAndRunOn) {
    TempDir dir;
    const QString a = dir.file("a.png"), b = dir.file("b.png"), c = dir.file("c.png");
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Add Noise", "-o", a}))
                  .exitCode,
              0);
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Add Noise", "-o", b}))
                  .exitCode,
              0);
    // The second run in one process draws further numbers from the generator.
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Add Noise", "--do",
                                       "Undo", "--do", "Add Noise", "-o", c}))
                  .exitCode,
              0);
    auto first = DecodeImageFile(a).bitmap, again = DecodeImageFile(b).bitmap,
         later = DecodeImageFile(c).bitmap;
    EXPECT_TRUE(SameBitmaps(*first, *again));
    EXPECT_FALSE(SameBitmaps(*first, *later));
}

TEST(Cli, GesturesRunTheCanvasTools) {
    TempDir dir;
    const QString out = dir.file("out.png");
    CliRun r = RunCli(
        withBackups(dir, {"--new", "40x30", "--gesture", "Draw Rectangle:10,10;20,15", "--gesture",
                          "Rectangle Select:ctrl:5,5;60,40", "--info", "-o", out}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("selection: 5,5,34,24 area 816\n"))
        << r.out.toStdString(); // clamped to the image
    EXPECT_TRUE(r.out.endsWith("foreground: #FF000000\nbackground: #FFFFFFFF\n"))
        << r.out.toStdString();
    auto image = DecodeImageFile(out).bitmap;
    ASSERT_TRUE(image);
    ARGB corner = 0, inside = 0;
    image->GetPixel(20, 15, &corner);
    image->GetPixel(15, 12, &inside);
    EXPECT_EQ(corner, 0xFF000000u);
    EXPECT_EQ(inside, 0u);

    // A stroke is one history step (the first edit of a new picture is the
    // first entry); a click with Rectangle Select leaves an empty selection.
    r = RunCli(withBackups(dir, {"--new", "20x20", "--gesture", "Draw Free Line:2,2;4,4",
                                 "--gesture", "Draw Free Line:2,10;10,10;15,3", "--do", "Undo",
                                 "--gesture", "Rectangle Select:4,4", "--info", "-o", out}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("selection: 0,0,0,0 area 0\n")) << r.out.toStdString();
    image = DecodeImageFile(out).bitmap;
    ASSERT_TRUE(image);
    image->GetPixel(10, 10, &inside);
    EXPECT_EQ(inside, 0u);
    image->GetPixel(3, 3, &inside);
    EXPECT_EQ(inside, 0xFF000000u);

    // The colour picker reads what the view shows: the checkerboard under a
    // transparent picture, and the outline's dashes over it.
    struct Pick {
        QStringList steps;
        const char* colour;
    };
    const Pick picks[] = {
        {{"--gesture", "Color Picker:3,3"}, "#FF9B9B9B"},
        {{"--gesture", "Color Picker:12,3"}, "#FFFFFFFF"},
        {{"--alpha", "128", "--gesture", "Color Picker:12,3"}, "#80FFFFFF"},
    };
    for (const Pick& p : picks) {
        r = RunCli(
            withBackups(dir, QStringList{"--new", "40x30"} + p.steps + QStringList{"--info"}));
        EXPECT_TRUE(r.out.contains(QStringLiteral("foreground: %1\n").arg(p.colour)))
            << r.out.toStdString();
    }
    r = RunCli(withBackups(dir, {"--new", "40x30", "--select", "rect:5,5,20,10", "--gesture",
                                 "Color Picker:5,8", "--info"}));
    EXPECT_FALSE(r.out.contains("foreground: #FF9B9B9B\n")) << r.out.toStdString();

    for (const char* bad : {"Nope:1,1", "Eraser:meta:1,1", "Eraser:1;2", "Eraser"}) {
        r = RunCli(withBackups(dir, {"--new", "4x4", "--gesture", bad}));
        EXPECT_EQ(r.exitCode, 1) << bad;
        EXPECT_FALSE(r.err.isEmpty()) << bad;
    }
}

// The recipe of a session (selections of every kind, a colour, a random
// effect, an Undo, a gesture and a Crop) replays to the same bytes, and holds
// no undone step.
TEST(CliRecipe, RecipeReplaysToTheSameBytesAsTheTypedSteps) {
    TempDir dir;
    const QString photo = TestDataPath("chelsea.png");
    const QStringList steps = {"--select",     "rect:5,5,40,30",
                               "--do",         "Fill",
                               "--select",     "wand:10,10",
                               "--do",         "GaussBlur",
                               "--do",         "Solarize",
                               "--do",         "Undo",
                               "--select-add", "ellipse:50,50,30,20",
                               "--do",         "Add Noise:amplitude=20",
                               "--do",         "Strock",
                               "--gesture",    "Draw Rectangle:10,10;60,40",
                               "--select",     "polygon:20,20,200,30,120,200",
                               "--do",         "Crop"};
    const CliRun typed = RunCli(withBackups(
        dir, QStringList{"--fg", "#FF0000", "--pen-width", "3", photo} + steps +
                 QStringList{"--save-recipe", dir.file("r.txt"), "-o", dir.file("typed.png")}));
    ASSERT_EQ(typed.exitCode, 0) << typed.err.toStdString();
    const QString recipe = QString::fromUtf8(readAll(dir.file("r.txt")));
    EXPECT_TRUE(recipe.startsWith("# lumaset-cli ")) << recipe.toStdString();
    EXPECT_FALSE(recipe.contains("Solarize"));
    EXPECT_TRUE(recipe.contains("--select path:M")); // the combined selection, point by point
    EXPECT_TRUE(recipe.contains("--gesture Draw Rectangle:10,10;60,40\n"));

    const CliRun replay = RunCli(
        withBackups(dir, {"--recipe", dir.file("r.txt"), photo, "-o", dir.file("replay.png")}));
    ASSERT_EQ(replay.exitCode, 0) << replay.err.toStdString();
    EXPECT_EQ(readAll(dir.file("typed.png")), readAll(dir.file("replay.png")));
}

// --each runs the files in one process: the random generator runs on, a bad
// file fails alone, and the status says that one failed.
TEST(CliRecipe, EachRunsOnPastABadFileWithTheGeneratorRunningOn) {
    TempDir dir;
    writeBytes(dir.file("noise.txt"), "--do Add Noise\n");
    QFile::copy(TestDataPath("chelsea.png"), dir.file("a.png"));
    QFile::copy(TestDataPath("chelsea.png"), dir.file("b.png"));
    writeBytes(dir.file("bad.png"), "not a picture");
    const CliRun each = RunCli(withBackups(
        dir, {"--recipe", dir.file("noise.txt"), "--each", dir.file("a.png"), dir.file("bad.png"),
              dir.file("b.png"), "-o", dir.file("out-{name}.png")}));
    EXPECT_EQ(each.exitCode, 2) << each.err.toStdString();
    EXPECT_EQ(each.out, QString("done: %1\nfailed: %2 (exit status 2)\ndone: %3\n")
                            .arg(dir.file("a.png"), dir.file("bad.png"), dir.file("b.png")));
    EXPECT_TRUE(each.err.contains("bad.png")) << each.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file("out-bad.png")));

    // The first file as on its own; the second as after the first file's noise.
    ASSERT_EQ(RunCli(withBackups(
                         dir, {dir.file("a.png"), "--do", "Add Noise", "-o", dir.file("one.png")}))
                  .exitCode,
              0);
    ASSERT_EQ(RunCli(withBackups(dir, {dir.file("a.png"), "--do", "Add Noise", "--do", "Undo",
                                       "--do", "Add Noise", "-o", dir.file("two.png")}))
                  .exitCode,
              0);
    EXPECT_EQ(readAll(dir.file("out-a.png")), readAll(dir.file("one.png")));
    EXPECT_EQ(readAll(dir.file("out-b.png")), readAll(dir.file("two.png")));
    EXPECT_NE(readAll(dir.file("out-a.png")), readAll(dir.file("out-b.png")));
}

TEST(CliRecipe, BadRecipesAndOptionsExitOneBeforeAnyWork) {
    TempDir dir;
    writeBytes(dir.file("bad.txt"), "--do GaussBlur\n--gesture Pen:1,1\n");
    writeBytes(dir.file("good.txt"), "--do GaussBlur\n");
    const QString photo = TestDataPath("chelsea.png");
    const struct {
        QStringList args;
        const char* error;
    } rows[] = {
        {{"--recipe", dir.file("bad.txt"), photo, "-o", dir.file("x.png")},
         ":2: unknown tool 'Pen'"},
        {{"--recipe", dir.file("none.txt"), photo, "-o", dir.file("x.png")}, "none.txt: "},
        {{"--recipe", dir.file("good.txt"), "--each", photo, photo, "-o", dir.file("x.png")},
         "needs {name}"},
        {{"--recipe", dir.file("good.txt"), "--each", "-o", dir.file("x.png")},
         "--each needs at least one input file"},
    };
    for (const auto& row : rows) {
        const CliRun run = RunCli(withBackups(dir, row.args));
        EXPECT_EQ(run.exitCode, 1) << row.error;
        EXPECT_TRUE(run.err.contains(row.error)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("x.png")));
}
