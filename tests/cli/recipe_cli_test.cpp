// SPDX-License-Identifier: GPL-3.0-or-later
// Recipes on the command line: written by --save-recipe, replayed by --recipe
// and --each, compared byte for byte with the steps typed out.
#include "testing/test_images.h"

#include <QFile>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeText(const QString& path, const QByteArray& text) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
}

QStringList inDir(const TempDir& dir, QStringList args) {
    return QStringList{"--backup-dir", dir.file("BackUp")} + args;
}

} // namespace

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
    const CliRun typed = RunCli(inDir(
        dir, QStringList{"--fg", "#FF0000", "--pen-width", "3", photo} + steps +
                 QStringList{"--save-recipe", dir.file("r.txt"), "-o", dir.file("typed.png")}));
    ASSERT_EQ(typed.exitCode, 0) << typed.err.toStdString();
    const QString recipe = QString::fromUtf8(readAll(dir.file("r.txt")));
    EXPECT_TRUE(recipe.startsWith("# lumaset-cli ")) << recipe.toStdString();
    EXPECT_FALSE(recipe.contains("Solarize"));
    EXPECT_TRUE(recipe.contains("--select path:M")); // the combined selection, point by point
    EXPECT_TRUE(recipe.contains("--gesture Draw Rectangle:10,10;60,40\n"));

    const CliRun replay =
        RunCli(inDir(dir, {"--recipe", dir.file("r.txt"), photo, "-o", dir.file("replay.png")}));
    ASSERT_EQ(replay.exitCode, 0) << replay.err.toStdString();
    EXPECT_EQ(readAll(dir.file("typed.png")), readAll(dir.file("replay.png")));
}

// --each runs the files in one process: the random generator runs on, a bad
// file fails alone, and the status says that one failed.
TEST(CliRecipe, EachRunsOnPastABadFileWithTheGeneratorRunningOn) {
    TempDir dir;
    writeText(dir.file("noise.txt"), "--do Add Noise\n");
    QFile::copy(TestDataPath("chelsea.png"), dir.file("a.png"));
    QFile::copy(TestDataPath("chelsea.png"), dir.file("b.png"));
    writeText(dir.file("bad.png"), "not a picture");
    const CliRun each = RunCli(
        inDir(dir, {"--recipe", dir.file("noise.txt"), "--each", dir.file("a.png"),
                    dir.file("bad.png"), dir.file("b.png"), "-o", dir.file("out-{name}.png")}));
    EXPECT_EQ(each.exitCode, 2) << each.err.toStdString();
    EXPECT_EQ(each.out, QString("done: %1\nfailed: %2 (exit status 2)\ndone: %3\n")
                            .arg(dir.file("a.png"), dir.file("bad.png"), dir.file("b.png")));
    EXPECT_TRUE(each.err.contains("bad.png")) << each.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file("out-bad.png")));

    // The first file as on its own; the second as after the first file's noise.
    ASSERT_EQ(
        RunCli(inDir(dir, {dir.file("a.png"), "--do", "Add Noise", "-o", dir.file("one.png")}))
            .exitCode,
        0);
    ASSERT_EQ(RunCli(inDir(dir, {dir.file("a.png"), "--do", "Add Noise", "--do", "Undo", "--do",
                                 "Add Noise", "-o", dir.file("two.png")}))
                  .exitCode,
              0);
    EXPECT_EQ(readAll(dir.file("out-a.png")), readAll(dir.file("one.png")));
    EXPECT_EQ(readAll(dir.file("out-b.png")), readAll(dir.file("two.png")));
    EXPECT_NE(readAll(dir.file("out-a.png")), readAll(dir.file("out-b.png")));
}

TEST(CliRecipe, BadRecipesAndOptionsExitOneBeforeAnyWork) {
    TempDir dir;
    writeText(dir.file("bad.txt"), "--do GaussBlur\n--gesture Pen:1,1\n");
    writeText(dir.file("good.txt"), "--do GaussBlur\n");
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
        const CliRun run = RunCli(inDir(dir, row.args));
        EXPECT_EQ(run.exitCode, 1) << row.error;
        EXPECT_TRUE(run.err.contains(row.error)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file("x.png")));
}
