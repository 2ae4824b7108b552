// The one way into the saver core's window-level state, for tests alone: the state keeps its design names
// inside the core, and programs see only Saver's operations.
#pragma once

#include "saver/saver.h"

namespace quorvel {

struct SaverCoreTestAccess {
    explicit SaverCoreTestAccess(SaverCore& c)
        : core(c), Surfaces(c.Surfaces), SurfacePitch(c.SurfacePitch), SavedArrayData(c.SavedArrayData),
          DisplayWidth(c.DisplayWidth), DisplayHeight(c.DisplayHeight), Running(c.Running), Crawlers(c.Crawlers),
          Step(c.Step), Segments(c.Segments), SegmentCount(c.SegmentCount) {}
    explicit SaverCoreTestAccess(Saver& saver) : SaverCoreTestAccess(saver.core_) {}

    SaverCore& core;
    std::array<std::unique_ptr<Tavrin_C>, 4>& Surfaces;
    std::array<int16_t, 4>& SurfacePitch;
    std::array<uintptr_t, 4>& SavedArrayData;
    int16_t& DisplayWidth;
    int16_t& DisplayHeight;
    int16_t& Running;
    std::array<Crawler, 2>& Crawlers;
    float& Step;
    std::array<SegmentRec, kSegmentCapacity>& Segments;
    int16_t& SegmentCount;
};

}  // namespace quorvel
