// The saver's state, its body table, the frame walk along both path rings, steering and the timer's draws.
#include "saver/saver_core.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "base/numeric.h"
#include "saver/steering.h"
#include "surface/scale_rotate.h"

namespace quorvel {

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

int LayBody(const Settings& s, int start, SegmentRec* segments) {
    const int count = s.CrawlerLength & ~1;
    const auto taperStep = static_cast<float>((s.CrawlerTaper / 100.0) / count);
    float e = static_cast<float>(s.CrawlerSize / 100.0);
    int d = start;
    // Head first. The cursor moves by the next part's (smaller) scale, so the head lands a little behind the
    // newest entry; each rounded sum is taken in double, since single-precision sums drift over a long body.
    for (int i = count - 1; i >= 0; --i) {
        if (segments) segments[i] = {static_cast<int16_t>(i & 1), e};
        e = e - taperStep;
        d = static_cast<int>(std::nearbyint(d + kSegmentSpacing * static_cast<double>(e)));
    }
    if (segments && count > 0) {
        segments[count - 1].Kind = kHead;
        segments[0].Kind = kTail;
    }
    return d;
}

SaverCore::SaverCore(const Settings& settings) : settings_(SanitizeSettings(settings)) {
    const int length = std::max(kMinTrailLength, BodySpanFor(settings_) + kTrailMargin);
    for (Crawler& crawler : Crawlers) crawler.Trail.resize(static_cast<size_t>(length));
}

int16_t SaverCore::Unscaled(double pixels) const {
    const double across = scale_ == 1 ? pixels : std::nearbyint(pixels / scale_);
    return static_cast<int16_t>(std::clamp<double>(across, INT16_MIN, INT16_MAX));
}

void SaverCore::FillTrails(int width, int height) {
    const int w = Unscaled(width), h = Unscaled(height);
    const TrailPoint start1{static_cast<float>(-kStartOffset), static_cast<float>(-kStartOffset), 0};
    const TrailPoint start2{static_cast<float>(w + kStartOffset), static_cast<float>(h + kStartOffset), 0};
    std::fill(Crawlers[0].Trail.begin(), Crawlers[0].Trail.end(), start1);
    std::fill(Crawlers[1].Trail.begin(), Crawlers[1].Trail.end(), start2);
}

void SaverCore::ActivateDisplay(const PictureBox& display, const PictureBox& source0, const PictureBox& source1) {
    if (const auto w = ToInt16(display.scaleWidth)) FrameWidth = *w, DisplayWidth = Unscaled(*w);
    if (const auto h = ToInt16(display.scaleHeight)) FrameHeight = *h, DisplayHeight = Unscaled(*h);
    for (Crawler& crawler : Crawlers) {
        crawler.TargetX = static_cast<int16_t>(DisplayWidth / 2);
        crawler.TargetY = static_cast<int16_t>(DisplayHeight / 2);
    }
    PlaceTargets();
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
        SetUpFrame(sheet * 2 + 1, display);
    }
    for (size_t i = 0; i < Surfaces.size(); ++i) SavedArrayData[i] = Surfaces[i]->GetArray(SurfaceBytes[i]);
    FindOpaqueBoxes();
    ResetFrames();
}

// Nothing is known of new buffers' contents, nor of the display's: the first frame clears and presents them whole.
void SaverCore::ResetFrames() {
    const int width = Surfaces[1] ? Surfaces[1]->GetWidth() : 0, height = Surfaces[1] ? Surfaces[1]->GetHeight() : 0;
    drawn_.Reset(width, height);
    changed_.Reset(width, height);
}

void SaverCore::SetUpFrame(int index, const PictureBox& display) {
    Tavrin_C& frame = *Surfaces[static_cast<size_t>(index)];
    frame.InitPicture(display, false);
    frame.ReadPaletteFile();
    frame.SetPalette(0, 256);
}

void SaverCore::ResizeDisplay(const PictureBox& display) {
    const auto width = ToInt16(display.scaleWidth);
    const auto height = ToInt16(display.scaleHeight);
    if (!width || !height) return;
    FrameWidth = *width;
    FrameHeight = *height;
    DisplayWidth = Unscaled(*width);
    DisplayHeight = Unscaled(*height);
    for (Crawler& crawler : Crawlers) {
        crawler.TargetX = std::clamp<int16_t>(crawler.TargetX, 0, DisplayWidth);
        crawler.TargetY = std::clamp<int16_t>(crawler.TargetY, 0, DisplayHeight);
    }
    PlaceTargets();
    for (size_t i : {size_t{1}, size_t{3}}) {
        if (!Surfaces[i]) continue;
        // The byte array must let go of the old pixels before they are released.
        if (SavedArrayData[i] != 0) Surfaces[i]->FixArray(SurfaceBytes[i], SavedArrayData[i]);
        SetUpFrame(static_cast<int>(i), display);
        SavedArrayData[i] = Surfaces[i]->GetArray(SurfaceBytes[i]);
        SurfacePitch[i] = Surfaces[i]->GetPitch();
    }
    ResetFrames();
}

void SaverCore::SetMonitors(std::span<const ScreenRect> monitors) {
    Monitors.clear();
    for (const ScreenRect& m : monitors)
        Monitors.push_back({Unscaled(m.Left), Unscaled(m.Top), Unscaled(m.Right), Unscaled(m.Bottom)});
    PlaceTargets();
}

void SaverCore::PlaceTargets() {
    for (Crawler& crawler : Crawlers) PlaceOnMonitors(Monitors, crawler.TargetX, crawler.TargetY);
}

void PlaceOnMonitors(std::span<const ScreenRect> monitors, int16_t& x, int16_t& y) {
    int64_t nearest = INT64_MAX;
    int bestX = x, bestY = y;
    for (const ScreenRect& m : monitors) {
        if (m.Right < m.Left || m.Bottom < m.Top) continue;
        const int px = std::clamp<int>(x, m.Left, m.Right), py = std::clamp<int>(y, m.Top, m.Bottom);
        const int64_t dx = px - x, dy = py - y, distance = dx * dx + dy * dy;
        if (distance < nearest) nearest = distance, bestX = px, bestY = py;
    }
    // Monitors reach only as far as the display, whose size fits 16 bits.
    x = static_cast<int16_t>(std::clamp(bestX, INT16_MIN, INT16_MAX));
    y = static_cast<int16_t>(std::clamp(bestY, INT16_MIN, INT16_MAX));
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
    sameLitPixels_ = false;
    if (!Surfaces[0] || !Surfaces[2]) return;
    bool same = true;
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
        if (!inside) {
            same = false;
            continue;
        }
        int left = cell.Width, right = 0, top = cell.Height, bottom = 0;
        for (const Tavrin_C* sheet : sheets) {
            for (int y = 0; y < cell.Height; ++y) {
                const ptrdiff_t rowStart = static_cast<ptrdiff_t>(cell.SourceY + y) * sheet->GetPitch();
                const uint8_t* row = sheet->GetPointer() + rowStart + cell.SourceX;
                const uint8_t* other = sheets[1]->GetPointer() + (cell.SourceY + y) * sheets[1]->GetPitch() + cell.SourceX;
                for (int x = 0; x < cell.Width; ++x) {
                    same = same && (row[x] == 0) == (other[x] == 0);
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
    sameLitPixels_ = same;
}

void SaverCore::StartAnimation() {
    Running = kTrue;
    for (Crawler& crawler : Crawlers) crawler.TurnRate = crawler.TargetTurnRate = kStartTurnRate;
    BuildBody();
}

void SaverCore::BuildBody() {
    SegmentCount = static_cast<int16_t>(settings_.CrawlerLength & ~1);
    // The step is kept apart from the setting, so building the body again never slows the crawlers.
    Step = static_cast<float>(settings_.CrawlerSpeed / 100.0);
    const int tail = LayBody(settings_, Crawlers[0].Head, Segments.data()) % TrailLength();
    for (Crawler& crawler : Crawlers) crawler.Tail = static_cast<int16_t>(tail);
}

void BodyWalk::StepBack(float scale) {
    const int next = static_cast<int>(std::nearbyint(entry_ - kSegmentSpacing * static_cast<double>(scale)));
    // A rounding tie can ask for one entry more than the body spans; the newest entry is as far as it goes.
    const int step = std::min(entry_ - next, left_);
    left_ -= step;
    entry_ = static_cast<int16_t>(Wrapped(entry_ - step, length_));
}

// The ring and the parts' scales stay on the crawlers' display; only here do they meet the frame buffers.
std::optional<SegmentBlit> SaverCore::PlanPart(const TrailPoint& point, const SegmentRec& part) const {
    const auto x = ToInt16(point.X * scale_);
    const auto y = ToInt16(point.Y * scale_);
    if (!x || !y) return std::nullopt;
    return PlanDrawnSegment(*x, *y, point.Heading, part.Kind, part.Scale * scale_);
}

void SaverCore::DrawCrawlerPart(const TrailPoint& point, const SegmentRec& part) {
    if (const auto blit = PlanPart(point, part)) DrawBlit(*blit);
}

template <typename PerPart>
void SaverCore::WalkBodies(int16_t& index, PerPart&& perPart) const {
    BodyWalk walk1(Crawlers[0], TrailLength());
    BodyWalk walk2(Crawlers[1], TrailLength());
    // Tail first, the crawlers alternating part by part: crawler 1's part i + 1 covers both parts i.
    for (index = 0; index < SegmentCount; ++index) {
        const SegmentRec& part = Segments[index];
        perPart(Crawlers[0].Trail[walk1.Entry()], part);
        walk1.StepBack(part.Scale);
        perPart(Crawlers[1].Trail[walk2.Entry()], part);
        walk2.StepBack(part.Scale);
    }
}

void SaverCore::DrawFrame() {
    if (clearing_ == FrameClearing::kWhole) {
        if (Surfaces[1] && drawn1_) Surfaces[1]->FillZero();
        if (Surfaces[3]) Surfaces[3]->FillZero();
    } else {
        // Both buffers always hold the same scene, so one set of marks serves both.
        for (int frame : {1, 3})
            if (Surfaces[frame] && (frame == 3 || drawn1_)) drawn_.ClearDirty(Surfaces[frame]->GetPointer(), Surfaces[frame]->GetPitch());
    }
    drawn_.Forget();
    WalkBodies(SegmentIndex, [this](const TrailPoint& point, const SegmentRec& part) { DrawCrawlerPart(point, part); });
}

std::vector<SegmentBlit> SaverCore::FrameBlits() const {
    std::vector<SegmentBlit> blits;
    int16_t index = 0;
    WalkBodies(index, [&](const TrailPoint& point, const SegmentRec& part) {
        const auto blit = PlanPart(point, part);
        if (blit && blit->SrcWidth > 0) blits.push_back(*blit);
    });
    return blits;
}

void SaverCore::Advance(Crawler& c) {
    const int length = TrailLength();
    float hx = c.Trail[c.Head].X;
    float hy = c.Trail[c.Head].Y;
    const float wanted = LS8_ArcTan(c.TargetY - hy, c.TargetX - hx);
    const float h = TurnToward(c.Trail[c.Head].Heading, wanted, c.TurnRate);
    hx = static_cast<float>(hx + Step * std::cos(static_cast<double>(h)));
    hy = static_cast<float>(hy + Step * std::sin(static_cast<double>(h)));
    c.Head = static_cast<int16_t>(BodyWalk::Wrapped(c.Head - 1, length));
    c.Trail[c.Head] = {hx, hy, h};
    c.Tail = static_cast<int16_t>(BodyWalk::Wrapped(c.Tail - 1, length));

    if (std::fabs(c.TurnRate - c.TargetTurnRate) < kTurnRateDrift)
        c.TurnRate = c.TargetTurnRate;
    else if (c.TargetTurnRate > c.TurnRate)
        c.TurnRate = c.TurnRate + kTurnRateDrift;
    else
        c.TurnRate = c.TurnRate - kTurnRateDrift;
}

void SaverCore::AdvanceCrawlers() {
    for (Crawler& crawler : Crawlers) Advance(crawler);
}

void SaverCore::FindChangedArea() {
    const Tavrin_C* frame = Surfaces[1] ? Surfaces[1].get() : Surfaces[3].get();
    if (!frame) return;
    const uint8_t* frames[2] = {Surfaces[1] ? Surfaces[1]->GetPointer() : nullptr,
                                Surfaces[3] ? Surfaces[3]->GetPointer() : nullptr};
    // Sheets whose pictures have their pixels at the same places light the same pixels of both buffers, each
    // blit having the same geometry in both: one buffer then tells where both are lit.
    // Only the visible buffer drawn: only it can be lit.
    const bool oneTells = !drawn1_ ? frames[1] != nullptr : sameLitPixels_ && frames[1] && Surfaces[0] && Surfaces[2] &&
                          opaqueSheets_[0] == Surfaces[0]->GetPointer() && opaqueSheets_[1] == Surfaces[2]->GetPointer();
    changed_.Update(drawn_, oneTells ? std::span<const uint8_t* const>(frames + 1, 1) : frames, frame->GetPitch());
}

void SaverCore::PutChanged(int index) {
    Tavrin_C* frame = Surfaces[static_cast<size_t>(index)].get();
    if (!frame) return;
    for (const PresentRect& r : changed_.Rects()) frame->PutPicture(r.Left, r.Top, r.Width, r.Height);
}

void SaverCore::PresentWhole() {
    if (Surfaces[1]) Surfaces[1]->PutPicture();
    if (Surfaces[3]) Surfaces[3]->PutPicture();
}

PixelView SaverCore::View(const Tavrin_C* surface) {
    if (!surface || !surface->GetPointer()) return {};
    return {surface->GetPointer(), surface->GetPitch(), surface->GetWidth(), surface->GetHeight()};
}

void SaverCore::CopyVisibleTo(plat::Dc dc) const {
    if (Surfaces[3] && Surfaces[3]->GetDC())
        plat::BitBlt(dc, 0, 0, FrameWidth, FrameHeight, Surfaces[3]->GetDC(), 0, 0, plat::kSrcCopy);
}

void SaverCore::SetCourse(int crawler, float turnRate, std::optional<ScreenPoint> target) {
    Crawler& c = Crawlers[crawler == 0 ? 0 : 1];
    c.TurnRate = c.TargetTurnRate = turnRate;
    if (!target) return;
    c.TargetX = Unscaled(target->X);
    c.TargetY = Unscaled(target->Y);
}

ScreenPoint SaverCore::Target(int crawler) const {
    const Crawler& c = Crawlers[crawler == 0 ? 0 : 1];
    const auto scaled = [this](int16_t v) { return ToInt16(v * scale_).value_or(v); };
    return {scaled(c.TargetX), scaled(c.TargetY)};
}

void SaverCore::Timer2_Timer(RandomSource& random) {
    random.Reseed();
    // The draw order is fixed: x, y and turn rate of crawler 1, then of crawler 2.
    auto target = [&random](int16_t extent, int16_t& into) {
        if (const auto v = ToInt16(random.Next() * static_cast<double>(extent))) into = *v;
    };
    auto rate = [&random] { return static_cast<float>(random.Next() * 0.015 + 0.0005); };
    for (Crawler& crawler : Crawlers) {
        target(DisplayWidth, crawler.TargetX);
        target(DisplayHeight, crawler.TargetY);
        crawler.TargetTurnRate = rate();
    }
    PlaceTargets();
}

}  // namespace quorvel
