// SPDX-License-Identifier: GPL-3.0-or-later
// lumaset-cli as a batch tool: refused values, settings per step, JPEG
// quality, step times, the command list's marks and the progress line.
#include "core/codecs.h"
#include "testing/test_images.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QStringList withBackups(const TempDir& dir, QStringList args) {
    return QStringList{"--backup-dir", dir.file("BackUp")} + args;
}

// The number of pixels outside rect whose bytes differ between a and b.
int changedOutside(Bitmap& a, Bitmap& b, QRect rect) {
    ScopedLock la(a), lb(b);
    int changed = 0;
    for (int y = 0; y < la.height(); ++y)
        for (int x = 0; x < la.width(); ++x)
            if (!rect.contains(x, y) &&
                std::memcmp(la.pixel(x, y), lb.pixel(x, y), std::size_t(la.bpp())) != 0)
                ++changed;
    return changed;
}

} // namespace

TEST(CliBatch, OutOfRangeAndMissingValuesAreRefusedInOneLine) {
    TempDir dir;
    const QString in = TestDataPath("chelsea.png");
    const struct {
        QStringList args;
        int exitCode;
        const char* error; // part of the one line on stderr
    } cases[] = {
        {{"--do", "Gamma"}, 1, "Gramma needs gamma=0.02..5 or position=0..100"},
        {{"--do", "Gamma:gamma=0"}, 1, "gamma: 0 is outside 0.02..5"},
        {{"--do", "Gamma:gamma=-1"}, 1, "gamma: -1 is outside"},
        {{"--do", "Gamma:gamma=5.1"}, 1, "gamma: 5.1 is outside"},
        {{"--do", "Gamma:gamma="}, 1, "is not a number"},
        {{"--do", "Gamma:position=101"}, 1, "position: 101 is outside 0..100"},
        {{"--do", "Blend:alpha=500"}, 1, "alpha: 500 is outside 0..100"},
        {{"--do", "Blend:alpha=-1"}, 1, "alpha: -1 is outside 0..100"},
        {{"--do", "Fish Eye:mode=sideways"}, 1, "'sideways' is not a whole number"},
        {{"--quality", "0"}, 1, "bad quality '0'"},
        {{"--quality", "101"}, 1, "bad quality '101'"},
        {{"--pen-width", "0"}, 1, "bad pen width '0'"},
        // The edges of the ranges, and choices by name.
        {{"--do", "Gamma:gamma=0.02"}, 0, ""},
        {{"--do", "Gamma:gamma=5"}, 0, ""},
        {{"--do", "Gamma:position=0"}, 0, ""},
        {{"--do", "Gamma:position=100"}, 0, ""},
        {{"--do", "Blend:alpha=0,mode=exclusion,channel=green"}, 0, ""},
        {{"--do", "Fish Eye:mode=rim,outside=white"}, 0, ""},
        {{"--quality", "1", "--quality", "100"}, 0, ""},
    };
    for (const auto& c : cases) {
        const CliRun r = RunCli(withBackups(dir, QStringList{in} + c.args));
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        if (c.exitCode == 0) {
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
            continue;
        }
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.error)) << r.err.toStdString();
    }
}

TEST(CliBatch, DrawingSettingsTakeEffectWhereTheyStand) {
    TempDir dir;
    const QString out = dir.file("halves.png");
    const CliRun r =
        RunCli(withBackups(dir, {"--fg", "#FF0000", "--new", "10x10", "--select", "rect:0,0,5,10",
                                 "--do", "Fill", "--fg", "#0000FF", "--select", "rect:5,0,5,10",
                                 "--do", "Fill", "--info", "-o", out}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("foreground: #FF0000FF\n")) << r.out.toStdString();
    auto picture = DecodeImageFile(out).bitmap;
    ASSERT_TRUE(picture);
    // Bytes are blue, green, red, alpha.
    EXPECT_EQ(PixelBytes(*picture, 0, 0), std::string("\x00\x00\xFF\xFF", 4));
    EXPECT_EQ(PixelBytes(*picture, 4, 9), std::string("\x00\x00\xFF\xFF", 4));
    EXPECT_EQ(PixelBytes(*picture, 5, 0), std::string("\xFF\x00\x00\xFF", 4));
    EXPECT_EQ(PixelBytes(*picture, 9, 9), std::string("\xFF\x00\x00\xFF", 4));
}

TEST(CliBatch, QualityAppliesToTheSavesAfterIt) {
    TempDir dir;
    const QString in = TestDataPath("chelsea.png");
    ASSERT_EQ(RunCli(withBackups(dir, {in, "-o", dir.file("default.jpg"), "--quality", "20", "-o",
                                       dir.file("q20.jpg"), "--quality", "90", "-o",
                                       dir.file("q90.jpg")}))
                  .exitCode,
              0);
    auto bytes = [&](const char* name) {
        QFile f(dir.file(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    EXPECT_EQ(bytes("default.jpg"), bytes("q90.jpg"));
    EXPECT_LT(bytes("q20.jpg").size() * 2, bytes("q90.jpg").size());
    // The lower quality also shows in the decoded pixels: further from the source.
    auto source = DecodeImageFile(in).bitmap;
    auto distance = [&](const char* name) {
        auto decoded = DecodeImageFile(dir.file(name)).bitmap;
        ScopedLock a(*source), b(*decoded);
        long long sum = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                for (int c = 0; c < 3; ++c)
                    sum += std::abs(int(a.pixel(x, y)[c]) - int(b.pixel(x, y)[c]));
        return sum;
    };
    EXPECT_GT(distance("q20.jpg"), distance("q90.jpg") * 3 / 2);
}

TEST(CliBatch, TimePrintsEveryStepAndTheTotal) {
    TempDir dir;
    const QString in = TestDataPath("chelsea.png");
    const CliRun r = RunCli(withBackups(dir, {"--time", in, "--select", "rect:1,1,20,20", "--do",
                                              "GaussBlur", "--gesture", "Draw line:1,1;5,5", "--fg",
                                              "#FF00FF00", "-o", dir.file("t.png")}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.err.split('\n', Qt::SkipEmptyParts);
    const QString ms = QStringLiteral(": \\d+\\.\\d ms$");
    // The labels of the documented form: "open: 95.1 ms", "GaussBlur: 41.7 ms".
    const QString expected[] = {"^open" + ms,    "^select" + ms, "^GaussBlur" + ms,
                                "^gesture" + ms, "^save" + ms,   "^total" + ms};
    ASSERT_EQ(std::size_t(lines.size()), std::size(expected)) << r.err.toStdString();
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_TRUE(QRegularExpression(expected[i]).match(lines[qsizetype(i)]).hasMatch())
            << lines[qsizetype(i)].toStdString();
}

// The marks of --list agree with what the commands do: a command marked
// [keeps to the selection] leaves every pixel outside the selection alone, one
// marked [whole picture] changes some there and says so in a note.
TEST(CliBatch, ListMarksMatchWhatCommandsDo) {
    TempDir dir;
    const CliRun list = RunCli({"--list"});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains(
        "32804  Gramma (also Gamma)  gamma=0.02..5 or position=0..100, one of them required (the "
        "dialog starts at position=1)  [whole picture]\n"));
    EXPECT_TRUE(list.out.contains("  mode: Darken (0), Light (1), ")) << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("Exclusion (18)\n"));
    EXPECT_TRUE(list.out.contains("  channel: RGB (0), Red (1), Green (2), Blue (3)\n"));
    EXPECT_TRUE(list.out.contains("  mode: centre (0), rim (1)\n"));
    EXPECT_TRUE(list.out.contains("(the dialog's starting values)  [whole picture]"));

    // Parameters that make a command change something on the sample.
    const QMap<QString, QString> values = {
        {"32804", ":position=80"},     {"32859", ":points=0:255;255:0"},
        {"32867", ":mode=Difference"}, {"32802", ":brightness=60"},
        {"32801", ":red=80"},          {"32857", ":width=200"},
    };
    const QString in = TestDataPath("chelsea.png");
    const QRect selection(40, 40, 60, 50);
    auto source = DecodeImageFile(in).bitmap;
    ASSERT_TRUE(source);
    int whole = 0, keeps = 0;
    static const QRegularExpression row(QStringLiteral("^(\\d+)  .*\\[(whole picture|keeps to "
                                                       "the selection)\\]$"));
    for (const QString& line : list.out.split('\n')) {
        const auto m = row.match(line);
        if (!m.hasMatch()) continue;
        const bool marksWhole = m.captured(2) == "whole picture";
        const QString out = dir.file(m.captured(1) + ".png");
        const CliRun r =
            RunCli(withBackups(dir, {in, "--select", "rect:40,40,60,50", "--do",
                                     m.captured(1) + values[m.captured(1)], "-o", out}));
        ASSERT_EQ(r.exitCode, 0) << line.toStdString() << r.err.toStdString();
        EXPECT_EQ(r.err.contains("note: "), marksWhole) << line.toStdString();
        auto result = DecodeImageFile(out).bitmap;
        ASSERT_TRUE(result);
        if (result->GetWidth() != source->GetWidth() || result->GetHeight() != source->GetHeight())
            continue; // Crop, Resize and the quarter turns make a picture of another size
        EXPECT_EQ(changedOutside(*source, *result, selection) > 0, marksWhole)
            << line.toStdString();
        ++(marksWhole ? whole : keeps);
    }
    EXPECT_GE(whole, 18);
    EXPECT_GE(keeps, 27);
}

// On a terminal a long command shows a line that counts up and is erased at
// the end; with stderr not a terminal nothing appears.
TEST(CliBatch, LongCommandsShowProgressOnATerminalOnly) {
    if (QFileInfo(QStringLiteral("/usr/bin/script")).exists() == false)
        GTEST_SKIP() << "script (util-linux) is not installed";
    TempDir dir;
    // Oil Paint with every level on 12 megapixels takes well over a second.
    const QString command = QStringLiteral("\"$LUMASET_CLI\" --backup-dir BackUp --new 4000x3000 "
                                           "--do OilPaint:levels=255");
    const CliRun terminal =
        RunCliScript("script -qec '" + command + "' /dev/null > shown.txt; echo $?", dir.path());
    EXPECT_EQ(terminal.out.trimmed(), "0") << terminal.err.toStdString();
    QFile shown(dir.file("shown.txt"));
    ASSERT_TRUE(shown.open(QIODevice::ReadOnly));
    const QByteArray bytes = shown.readAll();
    EXPECT_TRUE(bytes.startsWith("\r\033[Klumaset-cli: OilPaint ")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("%")) << bytes.toStdString();
    EXPECT_TRUE(bytes.endsWith("\r\033[K")) << bytes.toStdString();

    const CliRun piped = RunCliScript(
        "script -qec '" + command + " 2> quiet.txt' /dev/null; cat quiet.txt", dir.path());
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_TRUE(piped.out.isEmpty()) << piped.out.toStdString();
}
