// SPDX-License-Identifier: GPL-3.0-or-later
// Decode and encode of a 24-megapixel photo in every format, and the undo
// backup of a 24-megapixel image at 24 and 32 bits.
#include "bench_photo.h"
#include "core/codecs.h"
#include "document/lumaset_doc.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

Bitmap& photo24() {
    static auto p = MakeBenchPhoto(PixelFormat24bppRGB);
    return *p;
}

void encode(benchmark::State& state, const char* ext, Bitmap& image) {
    const QString path = scratch().filePath(QStringLiteral("enc.%1").arg(ext));
    const int encoder = FindEncoderClsid(MimeTypeForPath(path));
    for (auto _ : state)
        SaveBitmapFile(image, path, encoder);
    state.counters["MB"] = double(QFileInfo(path).size()) / 1e6;
    state.counters["MPix/s"] =
        benchmark::Counter(image.GetWidth() * image.GetHeight() / 1e6 * state.iterations(),
                           benchmark::Counter::kIsRate);
}

void decode(benchmark::State& state, const char* ext) {
    const QString path = scratch().filePath(QStringLiteral("dec.%1").arg(ext));
    if (!QFileInfo::exists(path))
        SaveBitmapFile(photo24(), path, FindEncoderClsid(MimeTypeForPath(path)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeImageFile(path).bitmap);
}

void BM_Encode(benchmark::State& state, const char* ext) {
    encode(state, ext, photo24());
}
void BM_Decode(benchmark::State& state, const char* ext) {
    decode(state, ext);
}

// GIF encode of 12 megapixels, the size the reference figures are for.
void BM_EncodeGif12MP(benchmark::State& state) {
    static auto photo = MakeBenchPhoto(PixelFormat24bppRGB, 4243, 2828);
    encode(state, "gif", *photo);
}

// PushBackup returns once the picture is queued; the PNG is written in the
// background from a snapshot that shares the image's pixels. Counters: the
// first in-place write after the push (it pays for the copy the snapshot
// needs), and the time until the file and the journal are complete.
void BM_PushBackup(benchmark::State& state, PixelFormat format) {
    static auto photo24 = MakeBenchPhoto(PixelFormat24bppRGB);
    static auto photo32 = MakeBenchPhoto(PixelFormat32bppARGB);
    Bitmap& photo = format == PixelFormat24bppRGB ? *photo24 : *photo32;
    CLumasetDoc doc(nullptr, scratch().filePath("BackUp"));
    doc.SetImage(photo.Clone());
    double flushSeconds = 0, detachSeconds = 0;
    for (auto _ : state) {
        doc.PushBackup(false);
        state.PauseTiming();
        QElapsedTimer t;
        t.start();
        ScopedLock(*doc.GetImage()).row(0)[0] ^= 1;
        detachSeconds += t.nsecsElapsed() / 1e9;
        t.restart();
        doc.backups().flush();
        flushSeconds += t.nsecsElapsed() / 1e9;
        state.ResumeTiming();
    }
    state.counters["detach_ms"] = detachSeconds * 1e3 / state.iterations();
    state.counters["write_s"] = flushSeconds / state.iterations();
    state.counters["file_MB"] =
        double(QFileInfo(doc.GetHistoryFile(doc.GetHistoryCount() - 1)).size()) / 1e6;
    state.counters["raw_MB"] = double(photo.image().sizeInBytes()) / 1e6;
}

} // namespace

BENCHMARK_CAPTURE(BM_Decode, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, jpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, tiff, "tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, gif, "gif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, png, "png")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Encode, jpeg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Encode, tiff, "tif")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_EncodeGif12MP)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_PushBackup, 24bit, PixelFormat24bppRGB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_PushBackup, 32bit, PixelFormat32bppARGB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

BENCHMARK_MAIN();
