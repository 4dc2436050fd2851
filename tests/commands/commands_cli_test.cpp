// SPDX-License-Identifier: GPL-3.0-or-later
// The adjustment, edit and transform commands run from lumaset-cli, the way
// the menus run them: results, history entries and refusals.
#include "testing/test_images.h"

#include <QColor>
#include <QImage>

namespace {

// Runs lumaset-cli with its backups kept in dir.
CliRun cli(const TempDir& dir, QStringList args) {
    args.prepend(dir.path());
    args.prepend("--backup-dir");
    return RunCli(args);
}

// Writes a w x h picture of one colour; 24-bit when opaque is set.
QString solidPicture(const TempDir& dir, const QString& name, int w, int h, QRgb color,
                     bool opaque = true) {
    QImage image(w, h, opaque ? QImage::Format_RGB888 : QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(color));
    const QString path = dir.file(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

QImage load(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

TEST(CommandsCli, OnePixelResults) {
    struct Case {
        const char* step;
        QRgb input;
        QRgb expected;
    };
    // Table rows stay one a line.
    // clang-format off
    const Case cases[] = {
        {"Blend:mode=Multiply", qRgb(128, 128, 128), qRgb(64, 64, 64)},
        {"Blend:mode=Sub", qRgb(200, 90, 7), qRgb(0, 0, 0)},
        {"Blend:mode=17,alpha=100", qRgb(200, 90, 7), qRgb(0, 0, 0)},
        {"Blend:mode=Sub,channel=Green", qRgb(200, 90, 7), qRgb(200, 0, 7)},
        {"Blend:mode=pinlight,alpha=29", qRgb(255, 255, 255), qRgb(254, 254, 254)},
        {"Blend:mode=PinLight,alpha=50", qRgb(255, 255, 255), qRgb(255, 255, 255)},
        {"Blend:mode=13", qRgb(255, 255, 255), qRgb(255, 255, 255)},
        {"Blend:mode=Multiply,alpha=0", qRgb(128, 128, 128), qRgb(128, 128, 128)},
        {"Blend", qRgb(200, 90, 7), qRgb(200, 90, 7)}, // Darken of an image with itself
        {"Brightness/Contrast", qRgb(58, 128, 1), qRgb(57, 128, 0)},
        {"Brightness/Contrast:contrast=-100", qRgb(58, 255, 1), qRgb(127, 127, 127)},
        {"Color Balance:red=255", qRgb(10, 20, 30), qRgb(255, 20, 30)},
        {"Gamma:position=100", qRgb(64, 0, 255), qRgb(193, 0, 255)},
        {"Gramma:position=50", qRgb(64, 1, 254), qRgb(64, 1, 254)},
        {"Gamma:gamma=1", qRgb(64, 1, 254), qRgb(64, 1, 254)},
        {"Curve:points=0:0;128:200;255:255", qRgb(128, 0, 255), qRgb(200, 0, 255)},
        {"Gray", qRgb(255, 0, 0), qRgb(76, 76, 76)},
        {"Reverse", qRgb(10, 20, 30), qRgb(245, 235, 225)},
        {"Rotate Channel", qRgb(30, 20, 10), qRgb(20, 10, 30)},
        {"Red", qRgb(30, 20, 10), qRgb(30, 0, 0)},
        {"Green", qRgb(30, 20, 10), qRgb(0, 20, 0)},
        {"32809", qRgb(30, 20, 10), qRgb(0, 0, 10)},
    };
    // clang-format on
    TempDir dir;
    for (const Case& c : cases) {
        const QString in = solidPicture(dir, "in.png", 3, 2, c.input);
        const CliRun run = cli(dir, {in, "--do", c.step, "-o", dir.file("out.png")});
        ASSERT_EQ(run.exitCode, 0) << c.step << ": " << run.err.toStdString();
        EXPECT_EQ(load(dir.file("out.png")).pixel(2, 1), c.expected) << c.step;
    }
}

// Brightness/Contrast and Color Balance keep to the selection; the other
// colour commands change the whole image even with one (Reverse included).
TEST(CommandsCli, SelectionReach) {
    struct Case {
        const char* step;
        bool outsideChanges;
    };
    const Case cases[] = {
        {"Brightness/Contrast:brightness=255", false},
        {"Color Balance:green=-255", false},
        {"Reverse", true},
        {"Gamma:position=100", true},
        {"Curve:points=0:0;128:200;255:255", true},
        {"Blend:mode=Sub", true},
        {"Gray", true},
        {"Rotate Channel", true},
        {"Blue", true},
    };
    TempDir dir;
    const QString in = solidPicture(dir, "in.png", 6, 4, qRgb(30, 60, 90));
    for (const Case& c : cases) {
        const CliRun run =
            cli(dir, {in, "--select", "rect:0,0,2,2", "--do", c.step, "-o", dir.file("s.png")});
        ASSERT_EQ(run.exitCode, 0) << c.step << ": " << run.err.toStdString();
        const QImage out = load(dir.file("s.png"));
        EXPECT_NE(out.pixel(1, 1), qRgb(30, 60, 90)) << c.step;
        EXPECT_EQ(out.pixel(5, 3) != qRgb(30, 60, 90), c.outsideChanges) << c.step;
    }
}

TEST(CommandsCli, BadValuesAreRefused) {
    TempDir dir;
    const char* steps[] = {
        "Blend:mode=Lighter", "Blend:channel=Alpha", "Curve:points=0:0;0:9;255:255",
        "Curve:points=0:0",   "Resize:width=0",      "New:width=30001",
        "Gamma:position=101"};
    for (const char* step : steps) {
        const CliRun run = cli(dir, {"--new", "20x10", "--do", step});
        EXPECT_EQ(run.exitCode, 1) << step;
        EXPECT_FALSE(run.err.isEmpty()) << step;
    }
    // A restricted side that comes out as 0 is refused too.
    EXPECT_EQ(cli(dir, {"--new", "300x10", "--do", "Resize:width=1"}).exitCode, 1);
}

TEST(CommandsCli, UndoTakesBackExactlyOneStep) {
    TempDir dir;
    const QString in = TestDataPath("chelsea.png");
    // Every turn and flip is one history entry: Undo right after it gives the
    // picture back, and Undo after a later step keeps the turn.
    struct Case {
        QStringList steps;
        QStringList expected; // the steps whose result Undo must give (none: the picture as opened)
    };
    const Case cases[] = {
        {{"Rotate 90CW", "Undo"}, {}},
        {{"Rotate 90CCW", "Undo"}, {}},
        {{"Rotate 180", "Undo"}, {}},
        {{"Flip Horizontal", "Undo"}, {}},
        {{"Flip Vertical", "Undo"}, {}},
        {{"Reverse", "Rotate 90CW", "Emboss", "Undo"}, {"Reverse", "Rotate 90CW"}},
        {{"Gray", "Flip Vertical", "Undo", "Undo", "Redo"}, {"Gray"}},
    };
    auto runSteps = [&](const QStringList& steps, const QString& out) {
        QStringList args{in};
        for (const QString& step : steps)
            args << "--do" << step;
        const CliRun run = cli(dir, args << "-o" << out);
        EXPECT_EQ(run.exitCode, 0)
            << steps.join(", ").toStdString() << ": " << run.err.toStdString();
        return load(out);
    };
    for (const Case& c : cases) {
        const QImage undone = runSteps(c.steps, dir.file("undone.png"));
        const QImage expected = runSteps(c.expected, dir.file("expected.png"));
        EXPECT_EQ(undone, expected) << c.steps.join(", ").toStdString();
    }
}

TEST(CommandsCli, TurnsAndFlipsGoTheirWay) {
    TempDir dir;
    QImage strip(2, 1, QImage::Format_RGB888);
    strip.setPixel(0, 0, qRgb(255, 0, 0));
    strip.setPixel(1, 0, qRgb(0, 0, 255));
    const QString in = dir.file("strip.png");
    ASSERT_TRUE(strip.save(in));
    struct Case {
        const char* step;
        QSize size;
        QRgb first; // pixel (0, 0)
    };
    // Table rows stay one a line.
    // clang-format off
    const Case cases[] = {
        {"Rotate 90CW", {1, 2}, qRgb(255, 0, 0)},  // the left end turns up... to the top right: red on top
        {"Rotate 90CCW", {1, 2}, qRgb(0, 0, 255)}, // counter-clockwise: the right end comes up
        {"Rotate 180", {2, 1}, qRgb(0, 0, 255)},
        {"Flip Horizontal", {2, 1}, qRgb(0, 0, 255)},
        {"Flip Vertical", {2, 1}, qRgb(255, 0, 0)},
    };
    // clang-format on
    for (const Case& c : cases) {
        const CliRun run = cli(dir, {in, "--do", c.step, "-o", dir.file("t.png")});
        ASSERT_EQ(run.exitCode, 0) << c.step;
        const QImage out = load(dir.file("t.png"));
        EXPECT_EQ(out.size(), c.size) << c.step;
        EXPECT_EQ(out.pixel(0, 0), c.first) << c.step;
    }
}

TEST(CommandsCli, CropDeleteFillStroke) {
    TempDir dir;
    const QString in = solidPicture(dir, "in.png", 200, 100, qRgb(9, 99, 199));
    CliRun run = cli(dir, {in, "--do", "Crop"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains("Please select an area first before you do crop operation!"));

    run = cli(dir, {in, "--select", "ellipse:10,20,100,50", "--do", "Crop", "--info", "-o",
                    dir.file("c.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("width: 100\nheight: 50"));
    EXPECT_TRUE(run.out.contains("selection: none"));
    QImage out = load(dir.file("c.png"));
    EXPECT_EQ(qAlpha(out.pixel(0, 0)), 0);
    EXPECT_EQ(out.pixel(50, 25), qRgb(9, 99, 199));

    // One band of two scans: the one inside is cleared (black: a 24-bit image
    // has no alpha), the one crossing the right edge is skipped whole.
    run = cli(dir, {in, "--select", "rect:5,5,10,10", "--select-add", "rect:190,5,20,10", "--do",
                    "Delete", "-o", dir.file("d.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    out = load(dir.file("d.png"));
    EXPECT_EQ(out.pixel(7, 7), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(195, 7), qRgb(9, 99, 199));
    EXPECT_EQ(cli(dir, {in, "--do", "Delete"}).exitCode, 3); // needs a selection

    run = cli(dir,
              {"--fg", "#FF0000", "--pen-width", "3", in, "--select", "rect:20,20,40,40", "--do",
               "Fill", "--select", "rect:100,20,40,40", "--do", "Stroke", "-o", dir.file("f.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    out = load(dir.file("f.png"));
    EXPECT_EQ(out.pixel(40, 40), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(19, 40), qRgb(9, 99, 199));
    EXPECT_EQ(out.pixel(100, 40), qRgb(255, 0, 0));  // on the outline
    EXPECT_EQ(out.pixel(120, 40), qRgb(9, 99, 199)); // inside, untouched
}

TEST(CommandsCli, ResizeAndNew) {
    TempDir dir;
    CliRun run = cli(dir, {"--new", "600x400", "--select", "rect:1,1,5,5", "--do",
                           "Resize:width=300", "--info"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains("width: 300\nheight: 200\nformat: PixelFormat32bppARGB\nselection: none"));
    run = cli(dir, {"--new", "600x400", "--do", "Resize:height=100,restrict=0", "--info"});
    EXPECT_TRUE(run.out.contains("width: 600\nheight: 100"));
    // The same size records nothing, so there is nothing to undo.
    EXPECT_EQ(cli(dir, {"--new", "600x400", "--do", "Resize:width=600", "--do", "Undo"}).exitCode,
              3);

    run = cli(dir, {"--new", "30x20", "--do", "New", "--info"});
    EXPECT_TRUE(run.out.contains("width: 600\nheight: 400"));
    // New keeps the history: Undo goes back to the picture before the gray step.
    const QString in = solidPicture(dir, "in.png", 30, 20, qRgb(1, 2, 3));
    run = cli(dir, {in, "--do", "Gray", "--do", "New:width=5,height=5", "--do", "Undo", "--info"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("width: 30\nheight: 20"));
}

} // namespace
