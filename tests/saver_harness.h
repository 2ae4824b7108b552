// A saver core on the in-memory platform, as the window would set it up: a display window DC, the two sheet
// picture boxes filled from the committed sheets, the rings filled, the display measured and surfaces made.
#pragma once

#include <string>

#include "image_file.h"
#include "platform/memory/memory_gdi.h"
#include "saver/saver_core.h"

namespace quorvel::testing {

inline plat::Dc WindowFromImage(const Image& image) {
    plat::Dc dc = plat::memory::CreateWindowDC(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) plat::memory::SetPixelRgb(dc, x, y, image.At(x, y));
    return dc;
}

inline Image LoadSheet(const std::string& name) {
    Image image;
    ReadBmp(std::string(QUORVEL_SOURCE_DIR) + "/assets/" + name, image);
    return image;
}

struct SaverOnMemory {
    PictureBox display;
    PictureBox source0;
    PictureBox source1;
    SaverCore core;

    SaverOnMemory(const Settings& settings, int width, int height, const Image& cyan, const Image& green)
        : core(settings) {
        display = {plat::memory::CreateWindowDC(width, height), double(width), double(height)};
        source0 = {WindowFromImage(cyan), 256, 256};
        source1 = {WindowFromImage(green), 256, 256};
        core.FillTrails(width, height);
        core.ActivateDisplay(display, source0, source1);
        core.StartAnimation();
    }
};

inline Settings DefaultSettings() {
    return Settings{kDefaultCrawlerSize, kDefaultCrawlerLength, kDefaultCrawlerSpeed, kCrawlerTaper};
}

}  // namespace quorvel::testing
