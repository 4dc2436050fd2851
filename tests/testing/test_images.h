// SPDX-License-Identifier: GPL-3.0-or-later
// Small synthetic images and exact comparisons shared by the tests.
#pragma once

#include "core/bitmap.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// A bitmap whose bytes follow a fixed pseudo-random pattern (alpha included for
// 32-bit images), so every test sees the same varied picture.
std::unique_ptr<Bitmap> MakePatternBitmap(int width, int height, PixelFormat format,
                                          unsigned seed = 1);
// A bitmap filled with one colour.
std::unique_ptr<Bitmap> MakeSolidBitmap(int width, int height, PixelFormat format, ARGB color);

// Pixel bytes of (x, y), bpp of them.
std::string PixelBytes(Bitmap& bitmap, int x, int y);

// Exact comparison of size, format and every pixel byte (padding ignored); on
// failure names the first differing pixels.
::testing::AssertionResult SameBitmaps(Bitmap& expected, Bitmap& actual);

// Path of a file in tests/data.
QString TestDataPath(const QString& name);

// A fresh empty folder for one test, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    QString path() const { return m_path; }
    QString file(const QString& name) const { return m_path + "/" + name; }

  private:
    QString m_path;
};

// Result of running lumaset-cli.
struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray rawOut; // standard output as bytes (a picture written to -)
};
// How lumaset-cli is run besides its arguments.
struct CliSetup {
    QByteArray input;        // standard input
    QStringList environment; // KEY=VALUE added to the test's environment
    QString workingDir;      // empty: the test's own
};
CliRun RunCli(const QStringList& args, int timeoutMs = 60000, const CliSetup& setup = {});
// Runs a shell script in which $LUMASET_CLI names lumaset-cli, for arguments
// that are not text (file names in another encoding).
CliRun RunCliScript(const QString& script, const QString& workingDir);
