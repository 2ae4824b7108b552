// Clearing only what the last frame drew leaves exactly the frames a whole clear would.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "saver/dirty_tiles.h"
#include "saver_harness.h"

using quorvel::DirtyTiles;

TEST(DirtyTiles, ClearsEveryTileADrawingTouchedAndNothingElse) {
    const int width = 200, height = 50, pitch = 200;
    std::vector<uint8_t> buffer(pitch * height, 7);
    DirtyTiles tiles;
    tiles.Reset(width, height);
    EXPECT_EQ(tiles.DirtyCount(), 4 * 7) << "unknown contents: every tile is dirty";
    tiles.ClearDirty(buffer.data(), pitch);
    for (size_t i = 0; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0) << "byte " << i;

    tiles.Forget();
    tiles.Mark(63, 7, 2, 2);    // touches four tiles around the corner of (64, 8)
    tiles.Mark(190, 45, 40, 40);  // clipped to the buffer: columns 2 and 3 of rows 5 and 6
    tiles.Mark(-30, -30, 10, 10);  // entirely outside
    EXPECT_EQ(tiles.DirtyCount(), 8);
    std::fill(buffer.begin(), buffer.end(), uint8_t{9});
    tiles.ClearDirty(buffer.data(), pitch);
    auto at = [&](int x, int y) { return buffer[y * pitch + x]; };
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(127, 15), 0);
    EXPECT_EQ(at(128, 0), 9) << "the tile right of the marked ones keeps its bytes";
    EXPECT_EQ(at(0, 16), 9) << "the tile below keeps its bytes";
    EXPECT_EQ(at(199, 49), 0);
    EXPECT_EQ(at(192, 40), 0);
    EXPECT_EQ(at(128, 40), 0);
    EXPECT_EQ(at(127, 40), 9);
    EXPECT_EQ(at(191, 39), 9);
}

TEST(DirtyTiles, FramesMatchWholeClearsByteForByte) {
    using namespace quorvel::testing;
    const quorvel::Image cyan = LoadSheet("sheet_cyan.bmp"), green = LoadSheet("sheet_green.bmp");
    ASSERT_GT(cyan.width, 0);
    const int width = 318, height = 211;  // a width that is not a multiple of 4
    SaverOnMemory tiled(DefaultSettings(), width, height, cyan, green);
    SaverOnMemory whole(DefaultSettings(), width, height, cyan, green);
    whole.core.ClearWholeFrames = true;
    quorvel::SeededRandom random1(11), random2(11);
    const quorvel::Tavrin_C& a = *tiled.core.Surfaces[3];
    const quorvel::Tavrin_C& b = *whole.core.Surfaces[3];
    int framesWithCrawlers = 0;
    for (int frame = 1; frame <= 1500; ++frame) {
        tiled.core.RunFrame();
        whole.core.RunFrame();
        if (frame % 36 == 0) {
            tiled.core.Timer2_Timer(random1);
            whole.core.Timer2_Timer(random2);
        }
        ASSERT_EQ(std::memcmp(a.GetPointer(), b.GetPointer(), static_cast<size_t>(a.GetImageSize())), 0)
            << "frame " << frame << " differs from the same frame cleared whole";
        ASSERT_EQ(std::memcmp(tiled.core.Surfaces[1]->GetPointer(), whole.core.Surfaces[1]->GetPointer(),
                              static_cast<size_t>(a.GetImageSize())),
                  0)
            << "frame " << frame << " of the cyan buffer";
        bool lit = false;
        for (int i = 0; i < a.GetImageSize() && !lit; ++i) lit = a.GetPointer()[i] != 0;
        framesWithCrawlers += lit;
    }
    EXPECT_GT(framesWithCrawlers, 1000) << "the comparison means little unless the crawlers are on the display";
}
