// Which tiles a drawing dirties, and that clearing them touches nothing else. Whole runs against whole clears
// are in saver_run_test.
#include <gtest/gtest.h>

#include <utility>
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
    tiles.Mark(63, 7, 65, 9);     // four tiles around the corner of (64, 8), ending exactly at (128, 16)
    tiles.Mark(190, 45, 100, 40);  // clipped to the buffer: columns 2 and 3 of rows 5 and 6
    tiles.Mark(-70, 24, 80, 2);    // clipped on the left: column 0 of row 3
    tiles.Mark(-30, -30, 10, 10);  // entirely outside
    std::fill(buffer.begin(), buffer.end(), uint8_t{9});
    tiles.ClearDirty(buffer.data(), pitch);
    // Corners of the marked blocks come back 0; the pixels just right of, below and before them keep their 9.
    std::vector<int> got;
    for (auto [x, y] : {std::pair(0, 0), {127, 15}, {128, 0}, {0, 16}, {199, 49}, {128, 40}, {127, 40}, {191, 39},
                        {0, 24}, {64, 24}, {192, 16}, {0, 48}})
        got.push_back(buffer[y * pitch + x]);
    EXPECT_EQ(got, (std::vector<int>{0, 0, 9, 9, 0, 0, 9, 9, 0, 9, 9, 9}));
}
