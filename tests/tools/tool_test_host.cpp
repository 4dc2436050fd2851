// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool_test_host.h"

TestToolHost::TestToolHost(int width, int height, PixelFormat format, ARGB fill)
    : doc(this, backups.file("BackUp")) {
    doc.SetImage(MakeSolidBitmap(width, height, format, fill));
    doc.PushBackup(true);
}

void TestToolHost::gesture(int tool, const QVector<QPoint>& points, unsigned flags) {
    doc.m_nToolType = tool;
    router.press(flags, points.front());
    for (qsizetype i = 1; i < points.size(); ++i)
        router.move(flags, points[i]);
    router.release(flags, points.back());
}

void TestToolHost::gesture(int tool, std::initializer_list<QPoint> points, unsigned flags) {
    gesture(tool, QVector<QPoint>(points), flags);
}

void SetPixel(Bitmap& image, int x, int y, ARGB c) {
    ScopedLock lock(image);
    std::uint8_t* p = lock.pixel(x, y);
    p[0] = c & 255, p[1] = (c >> 8) & 255, p[2] = (c >> 16) & 255;
    if (lock.bpp() == 4) p[3] = std::uint8_t(c >> 24);
}
