// SPDX-License-Identifier: GPL-3.0-or-later
// Shared test helpers.
#include "testing/test_images.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>
#include <sstream>

std::unique_ptr<Bitmap> MakePatternBitmap(int width, int height, PixelFormat format,
                                          unsigned seed) {
    auto bmp = std::make_unique<Bitmap>(width, height, format);
    ScopedLock lock(*bmp);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (int y = 0; y < lock.height(); ++y) {
        std::uint8_t* p = lock.row(y);
        for (int i = 0; i < lock.width() * lock.bpp(); ++i) {
            state = state * 1664525u + 1013904223u;
            p[i] = std::uint8_t(state >> 24);
        }
    }
    return bmp;
}

std::unique_ptr<Bitmap> MakeSolidBitmap(int width, int height, PixelFormat format, ARGB color) {
    auto bmp = std::make_unique<Bitmap>(width, height, format);
    ScopedLock lock(*bmp);
    const std::uint8_t bytes[4] = {std::uint8_t(color), std::uint8_t(color >> 8),
                                   std::uint8_t(color >> 16), std::uint8_t(color >> 24)};
    for (int y = 0; y < lock.height(); ++y)
        for (int x = 0; x < lock.width(); ++x)
            std::memcpy(lock.pixel(x, y), bytes, lock.bpp());
    return bmp;
}

std::string PixelBytes(Bitmap& bitmap, int x, int y) {
    ScopedLock lock(bitmap);
    return std::string(reinterpret_cast<const char*>(lock.pixel(x, y)), lock.bpp());
}

namespace {
std::string hexBytes(const std::uint8_t* p, int n) {
    std::ostringstream s;
    for (int i = 0; i < n; ++i)
        s << (i ? " " : "") << int(p[i]);
    return s.str();
}
} // namespace

::testing::AssertionResult SameBitmaps(Bitmap& expected, Bitmap& actual) {
    if (expected.GetWidth() != actual.GetWidth() || expected.GetHeight() != actual.GetHeight() ||
        expected.GetPixelFormat() != actual.GetPixelFormat()) {
        return ::testing::AssertionFailure()
               << "size or format differ: " << expected.GetWidth() << "x" << expected.GetHeight()
               << " " << PixelFormatName(expected.GetPixelFormat()) << " vs " << actual.GetWidth()
               << "x" << actual.GetHeight() << " " << PixelFormatName(actual.GetPixelFormat());
    }
    ScopedLock a(expected), b(actual);
    int shown = 0, differing = 0;
    std::ostringstream msg;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (std::memcmp(a.pixel(x, y), b.pixel(x, y), a.bpp()) == 0) continue;
            ++differing;
            if (shown++ < 5)
                msg << "\n  (" << x << "," << y << ") expected ["
                    << hexBytes(a.pixel(x, y), a.bpp()) << "] actual ["
                    << hexBytes(b.pixel(x, y), b.bpp()) << "]";
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ:" << msg.str();
}

QString TestDataPath(const QString& name) {
    return QStringLiteral(LUMASET_TEST_DATA) + "/" + name;
}

TempDir::TempDir() {
    QTemporaryDir dir(QDir::tempPath() + "/lumaset-test-XXXXXX");
    dir.setAutoRemove(false);
    m_path = dir.path();
}

TempDir::~TempDir() {
    QDir(m_path).removeRecursively();
}

namespace {

CliRun runProcess(QProcess& p, const QString& program, const QStringList& args, int timeoutMs,
                  const CliSetup& setup) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LUMASET_CLI"), QStringLiteral(LUMASET_CLI));
    for (const QString& pair : setup.environment)
        environment.insert(pair.section('=', 0, 0), pair.section('=', 1));
    p.setProcessEnvironment(environment);
    if (!setup.workingDir.isEmpty()) p.setWorkingDirectory(setup.workingDir);
    p.start(program, args);
    p.waitForStarted();
    p.write(setup.input);
    p.closeWriteChannel();
    CliRun run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        run.err = "timed out";
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.rawOut = p.readAllStandardOutput();
    run.out = QString::fromUtf8(run.rawOut);
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

} // namespace

CliRun RunCli(const QStringList& args, int timeoutMs, const CliSetup& setup) {
    QProcess p;
    return runProcess(p, QStringLiteral(LUMASET_CLI), args, timeoutMs, setup);
}

CliRun RunCliScript(const QString& script, const QString& workingDir) {
    QProcess p;
    return runProcess(p, QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}, 60000,
                      CliSetup{{}, {}, workingDir});
}
