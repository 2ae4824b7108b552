// The counters and failure injection of the backend built for tests; the shipped backend has none of this.
#include "seam/portable/test_hooks.h"

#include <unordered_map>
#include <utility>

#include "seam/portable/objects.h"

namespace plat::memory {
namespace {

struct Hooks {
    bool failCompatibleDC = false;
    bool failDibSection = false;
    // Kept past a release, so that a second release of the same handle is counted too.
    std::unordered_map<uintptr_t, int> releasesAsked;
    std::unordered_map<uintptr_t, int64_t> blitted;
};

Hooks& hooks() {
    static Hooks h;
    return h;
}

}  // namespace

namespace probe {

bool FailCreateDC() { return std::exchange(hooks().failCompatibleDC, false); }
bool FailCreateSection() { return std::exchange(hooks().failDibSection, false); }
void ReleaseAsked(const void* handle) { ++hooks().releasesAsked[reinterpret_cast<uintptr_t>(handle)]; }
void Blitted(const DcRecord& dc, int64_t pixels) { hooks().blitted[dc.handle] += pixels; }

}  // namespace probe

int DeleteCount(GdiObject handle) {
    const auto it = hooks().releasesAsked.find(reinterpret_cast<uintptr_t>(handle));
    return it == hooks().releasesAsked.end() ? 0 : it->second;
}

int LiveObjects() {
    int live = static_cast<int>(Objects().bitmaps.size());
    for (const auto& [handle, dc] : Objects().dcs) live += !dc->IsWindow();
    return live;
}

int HeldObjects() { return static_cast<int>(Objects().dcs.size() + Objects().bitmaps.size()); }

int64_t BlittedPixels(Dc dc) {
    const auto it = hooks().blitted.find(reinterpret_cast<uintptr_t>(dc));
    return it == hooks().blitted.end() ? 0 : it->second;
}

void FailNext(Call call) { (call == Call::CreateCompatibleDC ? hooks().failCompatibleDC : hooks().failDibSection) = true; }

}  // namespace plat::memory
