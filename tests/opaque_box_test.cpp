// DrawFrame blits each picture's box shrunk to its non-zero pixels; the frames must be exactly those the whole
// picture boxes give.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "saver/sprite_cells.h"
#include "saver_harness.h"
#include "surface/scale_rotate.h"

namespace {

using namespace quorvel::testing;

// Both frames as DrawFrame should leave them, drawn with the pictures' whole boxes into buffers of their own.
std::vector<std::vector<uint8_t>> ReferenceFrames(const quorvel::SaverCore& core) {
    const quorvel::Tavrin_C& frame = *core.Surfaces[1];
    const size_t bytes = static_cast<size_t>(frame.GetPitch()) * static_cast<size_t>(frame.GetHeight());
    std::vector<std::vector<uint8_t>> out(2, std::vector<uint8_t>(bytes, 0));
    const auto entries1 = core.PartEntries(core.Tail1, core.Head1);
    const auto entries2 = core.PartEntries(core.Tail2, core.Head2);
    for (size_t i = 0; i < entries1.size(); ++i) {
        for (const auto* point : {&core.Trail1[static_cast<size_t>(entries1[i])],
                                  &core.Trail2[static_cast<size_t>(entries2[i])]}) {
            const auto b = quorvel::PlanSegment(static_cast<int16_t>(std::nearbyint(point->X)),
                                                static_cast<int16_t>(std::nearbyint(point->Y)), point->Heading,
                                                core.Segments[i].Kind, core.Segments[i].Scale, core.DisplayWidth,
                                                core.DisplayHeight);
            if (!b) continue;
            for (int sheet = 0; sheet < 2; ++sheet) {
                const quorvel::Tavrin_C& source = *core.Surfaces[static_cast<size_t>(sheet * 2)];
                LS8_ScaleRotate(out[static_cast<size_t>(sheet)].data(), frame.GetPitch(), b->DestLeft, b->DestTop,
                                b->DestPivotX, b->DestPivotY, b->DestWidth, b->DestHeight, source.GetPointer(),
                                source.GetPitch(), b->SrcLeft, b->SrcTop, b->SrcPivotX, b->SrcPivotY, b->SrcWidth,
                                b->SrcHeight, b->Angle, b->Zoom, b->Key);
            }
        }
    }
    return out;
}

// Runs the saver and checks every `every`-th frame of both buffers against the reference.
void ExpectFramesMatch(const quorvel::Settings& settings, int width, int height, const quorvel::Image& cyan,
                       const quorvel::Image& green, int frames, int every) {
    SaverOnMemory s(settings, width, height, cyan, green);
    quorvel::SeededRandom random(5);
    int compared = 0, drawn = 0;
    for (int frame = 1; frame <= frames; ++frame) {
        s.core.AdvanceCrawlers();
        if (frame % 36 == 0) s.core.Timer2_Timer(random);
        if (frame % every != 0) continue;
        s.core.DrawFrame();
        const auto reference = ReferenceFrames(s.core);
        for (int buffer = 0; buffer < 2; ++buffer) {
            const quorvel::Tavrin_C& got = *s.core.Surfaces[static_cast<size_t>(buffer * 2 + 1)];
            const auto& want = reference[static_cast<size_t>(buffer)];
            for (size_t i = 0; i < want.size(); ++i) {
                drawn += want[i] != 0;
                ASSERT_EQ(got.GetPointer()[i], want[i])
                    << "frame " << frame << ", buffer " << buffer * 2 + 1 << ", pixel (" << i % got.GetPitch()
                    << ", " << i / got.GetPitch() << "): expected the whole box's index, got another";
            }
        }
        ++compared;
    }
    EXPECT_GT(compared, 0);
    EXPECT_GT(drawn, 0) << "expected the crawlers to draw something in the frames compared";
}

TEST(OpaqueBoxes, FramesMatchWholePictureBoxes) {
    const quorvel::Image cyan = LoadSheet("sheet_cyan.bmp"), green = LoadSheet("sheet_green.bmp");
    ASSERT_GT(cyan.width, 0);
    ASSERT_GT(green.width, 0);
    ExpectFramesMatch(DefaultSettings(), 318, 211, cyan, green, 1500, 25);
    ExpectFramesMatch(quorvel::Settings{150, 200, 100, 50}, 401, 263, cyan, green, 2500, 50);
    ExpectFramesMatch(quorvel::Settings{7, 30, 100, 5}, 97, 61, cyan, green, 600, 7);
}

TEST(OpaqueBoxes, EmptyPicturesAndLonePixelsAtTheCorners) {
    quorvel::Image cyan = LoadSheet("sheet_cyan.bmp"), green = LoadSheet("sheet_green.bmp");
    ASSERT_GT(cyan.width, 0);
    // Ring A blank on both sheets; the head's far corners lit on one sheet each, so its box is the union.
    const auto& ring = quorvel::kSpriteCells[quorvel::kBodyRingA];
    const auto& head = quorvel::kSpriteCells[quorvel::kHead];
    for (quorvel::Image* image : {&cyan, &green})
        for (int y = ring.SourceY; y < ring.SourceY + ring.Height; ++y)
            for (int x = ring.SourceX; x < ring.SourceX + ring.Width; ++x)
                image->pixels[static_cast<size_t>(y * image->width + x)] = 0;
    cyan.pixels[static_cast<size_t>(head.SourceY * cyan.width + head.SourceX)] = 0xFFFFFF;
    green.pixels[static_cast<size_t>((head.SourceY + head.Height - 1) * green.width + head.SourceX + head.Width - 1)] =
        0xFF0000;
    ExpectFramesMatch(DefaultSettings(), 318, 211, cyan, green, 1500, 25);
    ExpectFramesMatch(quorvel::Settings{150, 200, 100, 50}, 401, 263, cyan, green, 2500, 50);
}

}  // namespace
