// The saver's state, its body table, the frame walk along both path rings, steering and the timer's draws.
#include "saver/saver_core.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "saver/steering.h"
#include "base/numeric.h"
#include "surface/scale_rotate.h"

namespace quorvel {

namespace {

// The body table's arithmetic, shared by BuildBody and the ring sizing so both arrive at the same span.
// Each rounded sum is taken in double: single-precision sums drift by an entry over a long body.
struct BodyPlan {
    int16_t count = 0;
    float taperStep = 0;
    float startScale = 0;
};

BodyPlan PlanBody(const Settings& s) {
    BodyPlan plan;
    plan.count = static_cast<int16_t>(s.CrawlerLength & ~1);
    plan.taperStep = static_cast<float>((s.CrawlerTaper / 100.0) / plan.count);
    plan.startScale = static_cast<float>(s.CrawlerSize / 100.0);
    return plan;
}

int Wrapped(int index, int length) { return index < 0 ? index + length : index; }

}  // namespace

Settings SanitizeSettings(const Settings& in) {
    Settings out = in;
    out.CrawlerTaper = std::clamp<int16_t>(in.CrawlerTaper, 0, 100);
    out.CrawlerLength = std::clamp<int16_t>(in.CrawlerLength, kMinSegmentCount, kSegmentCapacity);
    const float smallest = std::max<float>(out.CrawlerTaper, 1.0f);
    out.CrawlerSize =
        std::isnan(in.CrawlerSize) ? kDefaultCrawlerSize : std::clamp(in.CrawlerSize, smallest, kMaxCrawlerSize);
    out.CrawlerSpeed =
        std::isnan(in.CrawlerSpeed) ? kDefaultCrawlerSpeed : std::clamp(in.CrawlerSpeed, 0.0f, kMaxCrawlerSpeed);
    return out;
}

int BodySpanFor(const Settings& sanitized) {
    const BodyPlan plan = PlanBody(sanitized);
    float e = plan.startScale;
    int d = 0;
    for (int i = plan.count - 1; i >= 0; --i) {
        e = e - plan.taperStep;
        d = static_cast<int>(std::nearbyint(d + kSegmentSpacing * static_cast<double>(e)));
    }
    return d;
}

SaverCore::SaverCore(const Settings& settings) : settings_(SanitizeSettings(settings)) {
    const int length = std::max(kMinTrailLength, BodySpanFor(settings_) + kTrailMargin);
    Trail1.resize(static_cast<size_t>(length));
    Trail2.resize(static_cast<size_t>(length));
}

void SaverCore::FillTrails(int width, int height) {
    const TrailPoint start1{static_cast<float>(-kStartOffset), static_cast<float>(-kStartOffset), 0};
    const TrailPoint start2{static_cast<float>(width + kStartOffset), static_cast<float>(height + kStartOffset), 0};
    std::fill(Trail1.begin(), Trail1.end(), start1);
    std::fill(Trail2.begin(), Trail2.end(), start2);
}

void SaverCore::ActivateDisplay(const PictureBox& display, const PictureBox& source0, const PictureBox& source1) {
    if (const auto w = ToInt16(display.scaleWidth)) DisplayWidth = *w;
    if (const auto h = ToInt16(display.scaleHeight)) DisplayHeight = *h;
    Target1X = Target2X = static_cast<int16_t>(DisplayWidth / 2);
    Target1Y = Target2Y = static_cast<int16_t>(DisplayHeight / 2);
    SetUpSurfaces(display, source0, source1);
    for (size_t i = 0; i < Surfaces.size(); ++i) SurfacePitch[i] = Surfaces[i]->GetPitch();
}

void SaverCore::SetUpSurfaces(const PictureBox& display, const PictureBox& source0, const PictureBox& source1) {
    for (auto& surface : Surfaces) surface = std::make_unique<Tavrin_C>();
    // The palette goes in before each grab, so the sheet's colours land on its entries.
    const PictureBox* sources[2] = {&source0, &source1};
    for (int sheet = 0; sheet < 2; ++sheet) {
        Tavrin_C& source = *Surfaces[sheet * 2];
        source.InitDimensions(kSheetSize, kSheetSize);
        source.ReadPaletteFile();
        source.SetPalette(0, 256);
        source.SetPictureBox(*sources[sheet]);
        source.GrabPicture();

        Tavrin_C& frame = *Surfaces[sheet * 2 + 1];
        frame.InitPicture(display, false);
        frame.ReadPaletteFile();
        frame.SetPalette(0, 256);
    }
    for (size_t i = 0; i < Surfaces.size(); ++i) SavedArrayData[i] = Surfaces[i]->GetArray(SurfaceBytes[i]);
    FindOpaqueBoxes();
    // Nothing is known of the new buffers' contents: the first frame clears them whole.
    drawn_.Reset(Surfaces[1]->GetWidth(), Surfaces[1]->GetHeight());
}

void SaverCore::TearDownSurfaces() {
    // No byte array may still alias pixel memory when its surface goes.
    for (size_t i = 0; i < Surfaces.size(); ++i) {
        if (SavedArrayData[i] != 0) {
            if (Surfaces[i]) Surfaces[i]->FixArray(SurfaceBytes[i], SavedArrayData[i]);
            SurfaceBytes[i] = SurfaceByteArray();
            SavedArrayData[i] = 0;
        }
    }
    for (auto& surface : Surfaces) surface.reset();
    opaqueSheets_ = {};
}

void SaverCore::FindOpaqueBoxes() {
    opaqueSheets_ = {};
    if (!Surfaces[0] || !Surfaces[2]) return;
    const Tavrin_C* sheets[2] = {Surfaces[0].get(), Surfaces[2].get()};
    for (size_t kind = 0; kind < kSpriteCells.size(); ++kind) {
        const SpriteCell& cell = kSpriteCells[kind];
        OpaqueBox& box = opaque_[kind];
        box = {0, 0, cell.Width, cell.Height};
        bool inside = cell.SourceX >= 0 && cell.SourceY >= 0 && cell.Width > 0 && cell.Height > 0;
        for (const Tavrin_C* sheet : sheets)
            inside = inside && sheet->GetPointer() && cell.SourceX + cell.Width <= sheet->GetPitch() &&
                     cell.SourceX + cell.Width <= sheet->GetWidth() &&
                     cell.SourceY + cell.Height <= sheet->GetHeight();
        // A picture reaching past a sheet's edge keeps its whole box.
        if (!inside) continue;
        int left = cell.Width, right = 0, top = cell.Height, bottom = 0;
        for (const Tavrin_C* sheet : sheets) {
            for (int y = 0; y < cell.Height; ++y) {
                const ptrdiff_t rowStart = static_cast<ptrdiff_t>(cell.SourceY + y) * sheet->GetPitch();
                const uint8_t* row = sheet->GetPointer() + rowStart + cell.SourceX;
                for (int x = 0; x < cell.Width; ++x) {
                    if (row[x] == 0) continue;
                    left = std::min(left, x), right = std::max(right, x + 1);
                    top = std::min(top, y), bottom = std::max(bottom, y + 1);
                }
            }
        }
        box = left < right ? OpaqueBox{static_cast<int16_t>(left), static_cast<int16_t>(top),
                                       static_cast<int16_t>(right - left), static_cast<int16_t>(bottom - top)}
                           : OpaqueBox{};
    }
    opaqueSheets_ = {sheets[0]->GetPointer(), sheets[1]->GetPointer()};
}

void SaverCore::StartAnimation() {
    Running = kTrue;
    TurnRate1 = TurnRate2 = TargetTurnRate1 = TargetTurnRate2 = kStartTurnRate;
    BuildBody();
}

void SaverCore::BuildBody() {
    const BodyPlan plan = PlanBody(settings_);
    SegmentCount = plan.count;
    float e = plan.startScale;
    settings_.CrawlerSpeed = static_cast<float>(settings_.CrawlerSpeed / 100.0);
    int d = Head1;
    // The cursor is moved by the next part's (smaller) scale: the head lands a little behind the newest entry.
    for (SegmentIndex = static_cast<int16_t>(SegmentCount - 1); SegmentIndex >= 0; --SegmentIndex) {
        Segments[SegmentIndex].Scale = e;
        e = e - plan.taperStep;
        d = static_cast<int>(std::nearbyint(d + kSegmentSpacing * static_cast<double>(e)));
        if (d >= TrailLength()) d -= TrailLength();
    }
    Tail1 = Tail2 = static_cast<int16_t>(d);
    for (SegmentIndex = 0; SegmentIndex < SegmentCount; ++SegmentIndex)
        Segments[SegmentIndex].Kind = static_cast<int16_t>(SegmentIndex & 1);
    Segments[SegmentCount - 1].Kind = kHead;
    Segments[0].Kind = kTail;
}

int16_t SaverCore::StepBack(int16_t cursor, float scale, int& entriesLeft) const {
    const int next = static_cast<int>(std::nearbyint(cursor - kSegmentSpacing * static_cast<double>(scale)));
    // A rounding tie can ask for one entry more than the body spans; the newest entry is as far as it goes.
    const int step = std::min(cursor - next, entriesLeft);
    entriesLeft -= step;
    return static_cast<int16_t>(Wrapped(cursor - step, TrailLength()));
}

std::vector<int16_t> SaverCore::PartEntries(int16_t tail, int16_t head) const {
    std::vector<int16_t> entries;
    entries.reserve(static_cast<size_t>(std::max<int16_t>(SegmentCount, 0)));
    int16_t cursor = tail;
    int left = Wrapped(tail - head, TrailLength());
    for (int i = 0; i < SegmentCount; ++i) {
        entries.push_back(cursor);
        cursor = StepBack(cursor, Segments[static_cast<size_t>(i)].Scale, left);
    }
    return entries;
}

void SaverCore::DrawCrawlerPart(const TrailPoint& point, const SegmentRec& part) {
    const auto x = ToInt16(point.X);
    const auto y = ToInt16(point.Y);
    if (x && y) DrawSegment(*x, *y, point.Heading, part.Kind, part.Scale);
}

void SaverCore::DrawFrame() {
    if (ClearWholeFrames) {
        if (Surfaces[1]) Surfaces[1]->FillZero();
        if (Surfaces[3]) Surfaces[3]->FillZero();
    } else {
        // Both buffers always hold the same scene, so one set of marks serves both.
        for (int frame : {1, 3})
            if (Surfaces[frame]) drawn_.ClearDirty(Surfaces[frame]->GetPointer(), Surfaces[frame]->GetPitch());
    }
    drawn_.Forget();
    int16_t c1 = Tail1;
    int16_t c2 = Tail2;
    int left1 = Wrapped(Tail1 - Head1, TrailLength());
    int left2 = Wrapped(Tail2 - Head2, TrailLength());
    // Tail first, the crawlers alternating part by part: crawler 1's part i + 1 covers both parts i.
    for (SegmentIndex = 0; SegmentIndex < SegmentCount; ++SegmentIndex) {
        const SegmentRec& part = Segments[SegmentIndex];
        DrawCrawlerPart(Trail1[c1], part);
        c1 = StepBack(c1, part.Scale, left1);
        DrawCrawlerPart(Trail2[c2], part);
        c2 = StepBack(c2, part.Scale, left2);
    }
}

void SaverCore::Advance(std::vector<TrailPoint>& trail, int16_t& head, int16_t& tail, int16_t targetX, int16_t targetY,
                        float& turnRate, float targetTurnRate) {
    float hx = trail[head].X;
    float hy = trail[head].Y;
    const float wanted = LS8_ArcTan(targetY - hy, targetX - hx);
    const float h = TurnToward(trail[head].Heading, wanted, turnRate);
    const double step = settings_.CrawlerSpeed;
    hx = static_cast<float>(hx + step * std::cos(static_cast<double>(h)));
    hy = static_cast<float>(hy + step * std::sin(static_cast<double>(h)));
    head = static_cast<int16_t>(Wrapped(head - 1, TrailLength()));
    trail[head] = {hx, hy, h};
    tail = static_cast<int16_t>(Wrapped(tail - 1, TrailLength()));

    if (std::fabs(turnRate - targetTurnRate) < kTurnRateDrift)
        turnRate = targetTurnRate;
    else if (targetTurnRate > turnRate)
        turnRate = turnRate + kTurnRateDrift;
    else
        turnRate = turnRate - kTurnRateDrift;
}

void SaverCore::AdvanceCrawlers() {
    Advance(Trail1, Head1, Tail1, Target1X, Target1Y, TurnRate1, TargetTurnRate1);
    Advance(Trail2, Head2, Tail2, Target2X, Target2Y, TurnRate2, TargetTurnRate2);
}

void SaverCore::Present() {
    if (Surfaces[1]) Surfaces[1]->PutPicture();
    if (Surfaces[3]) Surfaces[3]->PutPicture();
}

void SaverCore::Timer2_Timer(RandomSource& random) {
    random.Reseed();
    // The draw order is fixed: x, y and turn rate of crawler 1, then of crawler 2.
    auto target = [&random](int16_t extent, int16_t& into) {
        if (const auto v = ToInt16(random.Next() * static_cast<double>(extent))) into = *v;
    };
    auto rate = [&random] { return static_cast<float>(random.Next() * 0.015 + 0.0005); };
    target(DisplayWidth, Target1X);
    target(DisplayHeight, Target1Y);
    TargetTurnRate1 = rate();
    target(DisplayWidth, Target2X);
    target(DisplayHeight, Target2Y);
    TargetTurnRate2 = rate();
}

}  // namespace quorvel
