// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures share their pixels with undo snapshots until one of them changes:
// no command may change pixels that another picture still holds.
#include "testing/edit_session.h"

TEST(SharedPixels, EveryCommandLeavesAnotherHoldersPixelsAlone) {
    EnsureGuiApplication();
    for (PixelFormat format : {PixelFormat24bppRGB, PixelFormat32bppARGB}) {
        for (bool selected : {false, true}) {
            for (const CommandDef& c : CommandTable()) {
                if (!c.handler || c.editorOnly || c.scope == PixelScope::None) continue;
                EditSession s(MakePatternBitmap(40, 30, format, 3));
                if (selected) s.selection.AddEllipse(Rect{5, 4, 24, 18});
                const QImage held = s.doc.GetImage()->image(); // shares the pixels
                const QImage before = held.copy();
                s.run(c.id, Params(c.params));
                EXPECT_EQ(held, before) << c.text << (selected ? " with a selection" : "") << " at "
                                        << BytesPerPixel(format) * 8 << " bits";
            }
        }
    }
}
