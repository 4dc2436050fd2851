// SPDX-License-Identifier: GPL-3.0-or-later
// Zoom steps, the client-to-image mapping and the status texts.
#include "tools/view_mapping.h"

#include <gtest/gtest.h>
#include <vector>

TEST(ZoomSteps, StepAlongTheTableAndStopAtBothEnds) {
    std::vector<double> in, out;
    for (double z = 1; in.size() < 7; in.push_back(z = NextZoomIn(z))) {
    }
    for (double z = 1; out.size() < 6; out.push_back(z = NextZoomOut(z))) {
    }
    EXPECT_EQ(in, (std::vector<double>{1.5, 2, 3, 4, 8, 16, 16}));
    EXPECT_EQ(out, (std::vector<double>{0.66, 0.5, 0.25, 0.125, 0.0625, 0.0625}));
}

TEST(ClientToImage, MapsToThePixelDrawnThere) {
    struct Case {
        double zoom;
        int offset, scroll, client;
        int button, centred;
    };
    const Case cases[] = {
        // Scrolled: floor((client + scroll) / zoom), the same for both roundings.
        {1, -100, 100, 0, 100, 100},
        {0.5, -100, 101, 1, 204, 204},
        {2, -100, 7, 0, 3, 3},
        {2, -100, 7, 1, 4, 4},
        {1.5, -10, 0, 2, 1, 1},
        {0.66, -10, 34, 0, 51, 51},
        // Margin: the offset is taken off, then truncated toward zero.
        {1, 200, 0, 200, 0, 0},
        {1, 200, 0, 250, 50, 50},
        {2, 100, 0, 105, 2, 2},
        {1, 200, 0, 199, -1, -1},
        {2, 200, 0, 199, 0, 0}, // half a pixel left of the image: truncated to 0
    };
    for (const Case& c : cases) {
        ViewMapping m{c.zoom, c.offset, c.offset, c.scroll, c.scroll, 5000, 5000};
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " client " << c.client);
        EXPECT_EQ(ClientToImage({c.client, c.client}, m, MapRounding::Button).x(), c.button);
        EXPECT_EQ(ClientToImage({c.client, c.client}, m, MapRounding::Centred).y(), c.centred);
    }
}

TEST(ClientToImage, ClampsToTheImageGiven) {
    const ViewMapping m{1, -10, -10, 0, 0, 40, 30};
    EXPECT_EQ(ClampToImage({-5, 100}, m), QPoint(0, 29));
    EXPECT_EQ(ClampToImage({40, -1}, m), QPoint(39, 0));
}

TEST(StatusTexts, KeepTheirFormats) {
    EXPECT_EQ(ZoomPaneText({3, 12345}, 0.66), "x:   3,y:12345,0.660000 ");
    EXPECT_EQ(ScrollPaneText(600, 5), "scroll x: 600,y:   5");
    EXPECT_EQ(PositionPaneText({-2, 7}), "offset x:  -2,y:7");
}
