// SPDX-License-Identifier: GPL-3.0-or-later
// The random effects from lumaset-cli: one process repeats its bytes from
// program start, and later steps run on with the generator.
#include "testing/test_images.h"

#include <QFile>
#include <QImage>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(TextureCli, RandomEffectsRepeatPerRunAndRunOnWithinOne) {
    TempDir dir;
    const QString photo = TestDataPath("chelsea.png");
    auto run = [&](const QString& input, const QStringList& steps, const QString& output) {
        QStringList args{input, "--backup-dir", dir.path()};
        for (const QString& s : steps)
            args << "--do" << s;
        args << "-o" << output;
        const CliRun r = RunCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    };
    run(photo, {"Diffuse", "Glass"}, dir.file("a.png"));
    run(photo, {"Diffuse", "Glass"}, dir.file("b.png"));
    ASSERT_FALSE(readAll(dir.file("a.png")).isEmpty());
    EXPECT_EQ(readAll(dir.file("a.png")), readAll(dir.file("b.png")));

    // The same two steps in a fresh process on the first result repeat the
    // first random numbers; within one process they draw new ones.
    run(dir.file("a.png"), {"Diffuse", "Glass"}, dir.file("fresh.png"));
    run(photo, {"Diffuse", "Glass", "Diffuse", "Glass"}, dir.file("onward.png"));
    EXPECT_NE(QImage(dir.file("fresh.png")), QImage(dir.file("onward.png")));
}

// Every effect of this family runs from the command line with its parameters.
TEST(TextureCli, EffectsRunWithParameters) {
    TempDir dir;
    // Table rows stay one a line.
    // clang-format off
    const QStringList steps[] = {
        {"Mosaic:size=4"}, {"OilPaint:radius=2,levels=0"}, {"Video"}, {"Wave:amplitude=5"},
        {"Pinch:strength=20"}, {"Fish Eye:mode=1,outside=0,strength=50"}, {"Rain Drops:size=20,count=10,shading=0"},
    };
    // clang-format on
    for (const QStringList& s : steps) {
        const CliRun r = RunCli({"--new", "40x30", "--backup-dir", dir.path(), "--do", s.front(),
                                 "-o", dir.file("x.png")});
        EXPECT_EQ(r.exitCode, 0) << s.front().toStdString() << ": " << r.err.toStdString();
    }
}

} // namespace
