// The saver's window-level state and everything it does each frame, free of any window system. Programs reach
// it through Saver (saver.h); its state stays inside, and only the tests' accessor sees it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "saver/changed_area.h"
#include "saver/dirty_tiles.h"
#include "saver/random_source.h"
#include "saver/sprite_cells.h"
#include "settings/settings.h"
#include "surface/tavrin_c.h"

namespace quorvel {

struct TrailPoint {
    float X = 0;
    float Y = 0;
    float Heading = 0;  // radians, 0 along +x, positive toward +y (down)
};

struct SegmentRec {
    int16_t Kind = 0;  // SegmentKind
    float Scale = 0;
};

// One ScaleRotate call of DrawSegment, the same for both frame buffers.
struct SegmentBlit {
    int16_t DestLeft, DestTop, DestPivotX, DestPivotY, DestWidth, DestHeight;
    int16_t SrcLeft, SrcTop, SrcPivotX, SrcPivotY, SrcWidth, SrcHeight;
    float Angle, Zoom;
    int16_t Key;
};

inline constexpr int kMinTrailLength = 6700;  // the ring never shrinks below this many frames of path
inline constexpr int kTrailMargin = 64;       // spare entries beyond the longest body the settings ask for
inline constexpr int kSegmentSpacing = 33;    // ring entries between a part of scale 1 and the next
inline constexpr int kSegmentCapacity = 202;
inline constexpr int16_t kMinSegmentCount = 2;  // room for a tail and a head
inline constexpr float kStartTurnRate = 0.01f;
inline constexpr float kTurnRateDrift = 0.00005f;  // per frame, toward the target turn rate
inline constexpr int kStartOffset = 50;            // crawlers start this far beyond opposite corners
inline constexpr int16_t kTrue = -1;

// Bounds that keep any settings file safe to run. The taper is held to 0..100 percent and the size to at least
// the taper (so every part keeps a positive scale and the path cursor only moves backward) and at most 300
// percent; the length to 2..202 parts; the speed to 0..400 percent. A NaN size or speed takes its default.
inline constexpr float kMaxCrawlerSize = 300;
inline constexpr float kMaxCrawlerSpeed = 400;
Settings SanitizeSettings(const Settings& settings);

// Lays the body for these (sanitized) settings: every part's scale and kind into `segments` (when given, room
// for kSegmentCapacity), and the ring cursor moved from `start` over the whole body, not wrapped. From 0 that
// is the body span: how many entries the tail part lies behind the newest one.
int LayBody(const Settings& sanitized, int start, SegmentRec* segments);
inline int BodySpanFor(const Settings& sanitized) { return LayBody(sanitized, 0, nullptr); }

// The square DrawSegment blits into for a part at (x, y), clipped to the display; empty when nothing of it
// lies on the display or its numbers do not fit 16 bits.
std::optional<SegmentBlit> PlanSegment(int16_t x, int16_t y, float heading, int16_t kind, float scale,
                                       int16_t displayWidth, int16_t displayHeight);

// A monitor's place on the display, in display pixels; right and bottom are one past its last pixel.
struct ScreenRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// A point of the display, as targets hold it.
struct ScreenPoint {
    int16_t X = 0, Y = 0;
};

// 8-bit pixels as a surface holds them, for reading: null pixels before set-up and after teardown.
struct PixelView {
    const uint8_t* Pixels = nullptr;
    int Pitch = 0, Width = 0, Height = 0;
};

// How much of the frame buffers a present copies: what changed since the last frame presented, or all of it for
// a display that lost what it showed.
enum class PresentScope { kChanged, kWhole };

// How each frame starts from black: zeroing only the tiles the last frame drew on (a fraction of the display),
// or both whole buffers, for comparison.
enum class FrameClearing { kDrawnTiles, kWhole };

// Which frame buffers are drawn: both, for a program that presents both, or only the one that stays visible
// (drawn from the green sheet), for a program that puts only that one on its display.
enum class DrawnBuffers { kBoth, kVisibleOnly };

// A target on no monitor (in a gap of an uneven arrangement) moves to the nearest point of the nearest one, so
// no crawler heads for a place nobody sees. Edges count as on: the timer's targets reach the display's far
// edges. No monitors means the whole display is one.
void PlaceOnMonitors(std::span<const ScreenRect> monitors, int16_t& x, int16_t& y);

// One crawler: its path ring, where its body starts and ends on it, and how it steers.
struct Crawler {
    // Written backward, one entry a frame: Trail[(Head + k) mod length] is where the head was k frames ago.
    std::vector<TrailPoint> Trail;
    int16_t Head = 0;  // the newest entry
    int16_t Tail = 0;  // the entry the tail part is drawn at
    int16_t TargetX = 0, TargetY = 0;
    float TurnRate = 0;        // radians per frame
    float TargetTurnRate = 0;  // what TurnRate drifts toward
};

// Walks a crawler's ring from the tail part to the head part: the entry of each part in turn.
class BodyWalk {
public:
    BodyWalk(const Crawler& crawler, int trailLength)
        : entry_(crawler.Tail), left_(Wrapped(crawler.Tail - crawler.Head, trailLength)), length_(trailLength) {}
    int16_t Entry() const { return entry_; }
    // On to the next part, behind one of this scale; never past the newest entry.
    void StepBack(float scale);

    static int Wrapped(int index, int length) { return index < 0 ? index + length : index; }

private:
    int16_t entry_;
    int left_;  // entries between this one and the newest
    int length_;
};

class SaverCore {
public:
    // Keeps its own sanitized copy of the settings. The rings are sized here, from the body those settings build.
    explicit SaverCore(const Settings& settings);
    ~SaverCore() { TearDownSurfaces(); }
    SaverCore(const SaverCore&) = delete;
    SaverCore& operator=(const SaverCore&) = delete;

    // How many pixels of the frame buffers a pixel of the crawlers' display takes: the display's scaling, 1 and
    // up. The crawlers move on a display that many times smaller and are drawn magnified, so they keep their size
    // and pace beside everything else a scaled desktop shows. Set before the display.
    void SetDisplayScale(float scale) { scale_ = scale >= 1 ? scale : 1; }
    // A length in frame-buffer pixels on the crawlers' display.
    int16_t Unscaled(double pixels) const;

    // Form_Load's share: every ring entry at the crawler's starting point beyond its corner of a
    // width x height display, in frame-buffer pixels.
    void FillTrails(int width, int height);

    // Form_Activate up to the loop: display size, centred targets, the four surfaces, their pitches.
    void ActivateDisplay(const PictureBox& display, const PictureBox& source0, const PictureBox& source1);
    void SetUpSurfaces(const PictureBox& display, const PictureBox& source0, const PictureBox& source1);
    // The display took another size: new frame buffers of that size, targets kept on it.
    void ResizeDisplay(const PictureBox& display);
    // Where the monitors lie on the display, in frame-buffer pixels; the targets move onto them.
    void SetMonitors(std::span<const ScreenRect> monitors);
    void TearDownSurfaces();

    // RunAnimation before its loop: running flag, turn rates, body.
    void StartAnimation();
    void BuildBody();
    bool Animating() const { return Running != 0; }

    // One pass of the loop without presenting and event processing: clear, draw, move both heads.
    void RunFrame() {
        DrawFrame();
        AdvanceCrawlers();
    }
    void DrawFrame();
    void AdvanceCrawlers();
    void SetClearing(FrameClearing clearing) { clearing_ = clearing; }
    void SetDrawnBuffers(DrawnBuffers drawn) { drawn1_ = drawn == DrawnBuffers::kBoth; }
    // The blits the next DrawFrame makes, in its order, leaving out parts whose pictures hold nothing to draw.
    std::vector<SegmentBlit> FrameBlits() const;

    // Surface 1 then surface 3 to the display; what stays visible is surface 3, drawn from sheet 2. For the
    // changed scope each copies only the area where the frame or the one presented before it has lit pixels,
    // after which the display holds what a copy of the whole buffer would leave; the first frame after set-up or
    // a resize goes whole.
    void Present(PresentScope scope) {
        FindChangedArea();
        if (scope == PresentScope::kWhole) {
            PresentWhole();
            return;
        }
        PutChanged(1);
        PutChanged(3);
    }
    void FindChangedArea();
    void PutChanged(int index);
    // Both buffers whole, for a display whose contents were lost (another window uncovered it).
    void PresentWhole();
    const ChangedArea& Changed() const { return changed_; }
    // Surface 3, the buffer that stays on the display, and the sheets (0: cyan, 1: green).
    PixelView Visible() const { return View(Surfaces[3].get()); }
    PixelView Sheet(int index) const { return View(Surfaces[index == 0 ? 0 : 2].get()); }
    // Surface 3 into `dc` at its top-left corner, for a window asked to print itself.
    void CopyVisibleTo(plat::Dc dc) const;

    // One part at (x, y) of the frame buffers, its scale already magnified.
    void DrawSegment(int16_t x, int16_t y, float heading, int16_t kind, float scale);
    // The blit DrawSegment makes for a part, its source box already shrunk to the picture's drawn pixels.
    std::optional<SegmentBlit> PlanDrawnSegment(int16_t x, int16_t y, float heading, int16_t kind,
                                                float scale) const;
    void Timer2_Timer(RandomSource& random);
    void Form_QueryUnload() { Running = 0; }
    // For a picture: a crawler's turn rate and the rate it drifts to, and where it steers when given (in
    // frame-buffer pixels, as Target answers).
    void SetCourse(int crawler, float turnRate, std::optional<ScreenPoint> target);
    ScreenPoint Target(int crawler) const;

    int TrailLength() const { return static_cast<int>(Crawlers[0].Trail.size()); }

private:
    friend struct SaverCoreTestAccess;

    void SetUpFrame(int index, const PictureBox& display);
    // The blit of a part where the ring holds it, magnified by the display scale; empty for nothing to draw.
    std::optional<SegmentBlit> PlanPart(const TrailPoint& point, const SegmentRec& part) const;
    void DrawCrawlerPart(const TrailPoint& point, const SegmentRec& part);
    void DrawBlit(const SegmentBlit& blit);
    // Calls perPart(point, part) for every part of both crawlers in drawing order, `index` the loop variable.
    template <typename PerPart>
    void WalkBodies(int16_t& index, PerPart&& perPart) const;
    void Advance(Crawler& crawler);
    void PlaceTargets();
    void ResetFrames();
    static PixelView View(const Tavrin_C* surface);

    // Each picture's box shrunk to its non-zero pixels on either sheet, found once the sheets are grabbed:
    // zero is never drawn, so blitting the smaller box draws the same pixels and walks fewer samples.
    struct OpaqueBox {
        int16_t Left = 0, Top = 0, Width = 0, Height = 0;  // relative to the picture's top-left corner
    };
    void FindOpaqueBoxes();

    // Window-level state.
    std::array<std::unique_ptr<Tavrin_C>, 4> Surfaces;
    std::array<int16_t, 4> SurfacePitch{};
    std::array<SurfaceByteArray, 4> SurfaceBytes;
    std::array<uintptr_t, 4> SavedArrayData{};
    int16_t DisplayWidth = 0;  // the display the crawlers move on: the frame buffers' size over the scale
    int16_t DisplayHeight = 0;
    int16_t FrameWidth = 0;  // the frame buffers' size, in pixels
    int16_t FrameHeight = 0;
    float scale_ = 1;
    int16_t Running = 0;

    std::array<Crawler, 2> Crawlers;   // crawler 1, then crawler 2
    std::vector<ScreenRect> Monitors;  // empty: the display is one monitor
    float Step = 0;                    // pixels a head moves each frame, from the speed setting

    std::array<SegmentRec, kSegmentCapacity> Segments{};
    int16_t SegmentCount = 0;
    int16_t SegmentIndex = 0;

    Settings settings_;
    FrameClearing clearing_ = FrameClearing::kDrawnTiles;
    bool drawn1_ = true;  // surface 1, from the cyan sheet, is drawn
    DirtyTiles drawn_;
    ChangedArea changed_;
    std::array<OpaqueBox, kSpriteCells.size()> opaque_{};
    std::array<const uint8_t*, 2> opaqueSheets_{};  // the sheet pixels the boxes were found on
    bool sameLitPixels_ = false;                     // both sheets' pictures are non-zero at the same places
};

}  // namespace quorvel
