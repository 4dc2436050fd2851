// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli run as a process on real files.
#include "core/codecs.h"
#include "testing/test_images.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

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

} // namespace

TEST(Cli, InfoReportsSizeFormatAndSelection) {
    TempDir dir;
    CliRun r = RunCli(withBackups(dir, {"--info", TestDataPath("rocket.jpg"), "--select", "rect:10,10,10,5"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "width: 640\nheight: 427\nformat: PixelFormat24bppRGB\nselection: 10,10,10,5 area 50\n"
                     "foreground: #FF000000\nbackground: #FFFFFFFF\n");
    r = RunCli(withBackups(dir, {"--new", "25x14", "--info"}));
    EXPECT_EQ(r.out, "width: 25\nheight: 14\nformat: PixelFormat32bppARGB\nselection: none\n"
                     "foreground: #FF000000\nbackground: #FFFFFFFF\n");
    r = RunCli(withBackups(dir, {"--new", "40x30", "--select", "rect:0,0,20,30", "--select-add", "rect:10,0,20,10",
                                 "--select-sub", "rect:0,0,5,5", "--info"}));
    EXPECT_TRUE(r.out.contains("selection: 0,0,30,30 area 675\n")) << r.out.toStdString();
}

TEST(Cli, HistoryRunsFromStepToStep) {
    TempDir dir;
    const QString out = dir.file("out.png");
    // Undo right after opening is disabled: the command is refused.
    CliRun r = RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Undo"}));
    EXPECT_EQ(r.exitCode, 3);
    r = RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Blur", "--do", "Emboss", "--do", "undo",
                                 "--do", "Redo", "--do", "57643", "-o", out}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString once = dir.file("once.png");
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Blur", "-o", once})).exitCode, 0);
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
    for (const char* name : {"usm sharpen", "USM-Sharpen", "32853", "Gamma", "Flip Horizontal", "Stroke"}) {
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
    writeBytes(dir.file("header.png"), QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200007530000075300806000000"));
    writeBytes(dir.file("bomb.png"), QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000061a8000061a80806000000"));
    for (const QString& path : {dir.file("empty.png"), dir.file("random.png"), dir.file("header.png"),
                                dir.file("bomb.png"), dir.file("missing.png"), dir.path()}) {
        QElapsedTimer t;
        t.start();
        const CliRun r = RunCli(withBackups(dir, {path, "-o", dir.file("never.png")}));
        EXPECT_EQ(r.exitCode, 2) << path.toStdString() << r.err.toStdString();
        EXPECT_LT(t.elapsed(), 2000) << path.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QFileInfo(path).fileName())) << r.err.toStdString();
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
    r = RunCli(withBackups(dir, {"--force", path, "--do", "Blur", "-o", path}));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(readAll(path), cut);
}

TEST(Cli, SaveFailureExitsTwo) {
    TempDir dir;
    const CliRun r = RunCli(withBackups(dir, {"--new", "10x10", "-o", dir.file("no/such/dir/x.png")}));
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("Failed to save")) << r.err.toStdString();
}

TEST(Cli, RandomEffectsRepeatFromProgramStartAndRunOn) {
    TempDir dir;
    const QString a = dir.file("a.png"), b = dir.file("b.png"), c = dir.file("c.png");
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Add Noise", "-o", a})).exitCode, 0);
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Add Noise", "-o", b})).exitCode, 0);
    // The second run in one process draws further numbers from the generator.
    ASSERT_EQ(RunCli(withBackups(dir, {TestDataPath("chelsea.png"), "--do", "Add Noise", "--do", "Undo", "--do",
                                       "Add Noise", "-o", c})).exitCode, 0);
    auto first = DecodeImageFile(a).bitmap, again = DecodeImageFile(b).bitmap, later = DecodeImageFile(c).bitmap;
    EXPECT_TRUE(SameBitmaps(*first, *again));
    EXPECT_FALSE(SameBitmaps(*first, *later));
}

TEST(Cli, GesturesRunTheCanvasTools) {
    TempDir dir;
    const QString out = dir.file("out.png");
    CliRun r = RunCli(withBackups(dir, {"--new", "40x30", "--gesture", "Draw Rectangle:10,10;20,15", "--gesture",
                                        "Rectangle Select:ctrl:5,5;60,40", "--info", "-o", out}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("selection: 5,5,34,24 area 816\n")) << r.out.toStdString(); // clamped to the image
    EXPECT_TRUE(r.out.endsWith("foreground: #FF000000\nbackground: #FFFFFFFF\n")) << r.out.toStdString();
    auto image = DecodeImageFile(out).bitmap;
    ASSERT_TRUE(image);
    ARGB corner = 0, inside = 0;
    image->GetPixel(20, 15, &corner);
    image->GetPixel(15, 12, &inside);
    EXPECT_EQ(corner, 0xFF000000u);
    EXPECT_EQ(inside, 0u);

    // A stroke is one history step (the first edit of a new picture is the
    // first entry); a click with Rectangle Select leaves an empty selection.
    r = RunCli(withBackups(dir, {"--new", "20x20", "--gesture", "Draw Free Line:2,2;4,4", "--gesture",
                                 "Draw Free Line:2,10;10,10;15,3", "--do", "Undo", "--gesture",
                                 "Rectangle Select:4,4", "--info", "-o", out}));
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
        r = RunCli(withBackups(dir, QStringList{"--new", "40x30"} + p.steps + QStringList{"--info"}));
        EXPECT_TRUE(r.out.contains(QStringLiteral("foreground: %1\n").arg(p.colour))) << r.out.toStdString();
    }
    r = RunCli(withBackups(dir, {"--new", "40x30", "--select", "rect:5,5,20,10", "--gesture", "Color Picker:5,8", "--info"}));
    EXPECT_FALSE(r.out.contains("foreground: #FF9B9B9B\n")) << r.out.toStdString();

    for (const char* bad : {"Nope:1,1", "Eraser:meta:1,1", "Eraser:1;2", "Eraser"}) {
        r = RunCli(withBackups(dir, {"--new", "4x4", "--gesture", bad}));
        EXPECT_EQ(r.exitCode, 1) << bad;
        EXPECT_FALSE(r.err.isEmpty()) << bad;
    }
}
