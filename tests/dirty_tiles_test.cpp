// Which tiles a drawing dirties, and that clearing them touches nothing else. Whole runs against whole clears
// are in saver_run_test.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "saver/dirty_tiles.h"

using quorvel::DirtyTiles;

TEST(DirtyTiles, ClearsEveryTileADrawingTouchedAndNothingElse) {
    const int width = 200, height = 50, pitch = 200;
    std::vector<uint8_t> buffer(pitch * height, 7);
    DirtyTiles tiles;
    tiles.Reset(width, height);
    tiles.ClearDirty(buffer.data(), pitch);
    for (size_t i = 0; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0) << "unknown contents: byte " << i << " is cleared";

    tiles.Forget();
    tiles.Mark(63, 7, 2, 2);    // touches four tiles around the corner of (64, 8)
    tiles.Mark(190, 45, 40, 40);  // clipped to the buffer: columns 2 and 3 of rows 5 and 6
    tiles.Mark(-30, -30, 10, 10);  // entirely outside
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
