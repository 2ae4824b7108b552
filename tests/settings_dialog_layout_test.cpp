// The settings window's layout at a display's DPI: rectangles, the client area and the font.
#include <gtest/gtest.h>

#include <tuple>

#include "dialog/dialog_layout.h"

namespace quorvel {
namespace {

TEST(DialogLayout, EachPropertyOfARectangleConvertsOnItsOwn) {
    // Asymmetric, so that a swapped property or a width taken as right minus left shows.
    const LayoutRect twips{15, 30, 45, 75};
    EXPECT_EQ(RectToPixels(twips, 96), (LayoutRect{1, 2, 3, 5}));
    EXPECT_EQ(RectToPixels(twips, 144), (LayoutRect{2, 3, 5, 8})) << "1.5, 4.5 and 7.5 round away from zero";
}

TEST(DialogLayout, ClientAreaAndFontScaleWithTheDisplay) {
    struct Row { int dpi, clientWidth, clientHeight, fontHeight; } rows[] = {
        {96, 305, 281, 13}, {120, 381, 351, 16}, {192, 610, 562, 26},
        {144, 458, 422, 20}};  // 457.5, 421.5 and 19.5 pixels
    for (const Row& row : rows) {
        const PixelLayout client = DialogClientPixels(row.dpi);
        EXPECT_EQ(std::tuple(client.clientWidth, client.clientHeight, DialogFontPixelHeight(row.dpi)),
                  std::tuple(row.clientWidth, row.clientHeight, row.fontHeight))
            << row.dpi << " dpi: client width and height, font height";
    }
}

}  // namespace
}  // namespace quorvel
