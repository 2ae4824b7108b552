// The owner-drawn push button `Command`: its states, its reactions to mouse and focus, its stored properties.
// The window it lives in is the host's business; the host forwards notifications and draws what the face painter makes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "button/property_bag.h"

namespace quorvel {

// The six skin pictures a face can be painted from.
enum class Skin : uint8_t { Normal, HighLight, Pressed, Selected, HighLightSelect, Disable };
inline constexpr int kSkinCount = 6;

// Visual states (`m_State`).
enum CommandState : uint8_t {
    StateNone = 0,  // before Initialize
    StateNormal = 1,
    StateHot = 2,
    StateFocused = 3,
    StateHotFocused = 4,  // also while being pressed
};

// The platform's codes of the mouse buttons and of the shift keys held with them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;

// The platform's codes of the keys the focused button answers.
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeySpace = 32;

// What lies under the pointer at a hover check.
enum class PointerOver { Own, Host, Other };

// Background style behind `Visible`.
inline constexpr int16_t kBackStyleTransparent = 0;
inline constexpr int16_t kBackStyleOpaque = 1;

// The caption label `LblMsg`: a windowless, transparent, centred text over the face. Lengths in twips.
struct CaptionLabel {
    std::wstring caption = L"Command";
    uint32_t foreColor = 0;  // 0x00BBGGRR
    bool enabled = true;
    Font font = DefaultCommandFont();
    double left = 0;
    double top = 90;
    double width = 1635;
    double height = 195;
};

inline constexpr int kCreatedWidthTwips = 1755;
inline constexpr int kCreatedHeightTwips = 420;
inline constexpr int kHoverIntervalMs = 100;

// Face geometry in twips, recomputed from the control's size on every paint.
struct FaceGeometry {
    int width = 0;   // W
    int height = 0;  // H
    int corner = 60;
    int stretchX = 0;  // W - 120
    int stretchY = 0;  // H - 120
    int skinMiddleWidth = 840;
    int skinMiddleHeight = 255;
    int skinRightColumn = 900;
    int skinBottomRow = 315;

    static FaceGeometry For(int widthTwips, int heightTwips);
};

// Draws a face: the gradient and the frame cut from one skin, then shows the result.
class FacePainter {
public:
    virtual ~FacePainter() = default;
    virtual void DrawFace(Skin skin, const FaceGeometry& geometry, bool reverseGradient) = 0;
};

// What the control tells its host, and asks of it.
class CommandHost {
public:
    virtual ~CommandHost() = default;
    virtual void Command_Click() = 0;
    // A stored property changed, so the host should save the instance again.
    virtual void PropertyChanged(std::string_view /*name*/) {}
    virtual Font AmbientFont() const { return DefaultCommandFont(); }
};

class Command {
public:
    Command(CommandHost& host, FacePainter& painter);

    // Public members.
    void Initialize();
    uint8_t Visible();
    void SetVisible(uint8_t New_Visible);
    uint32_t FontColour();
    void SetFontColour(uint32_t New_FontColour);
    bool Enabled();
    void SetEnabled(bool New_Enabled);
    const std::wstring& Caption() const { return LblMsg.caption; }
    void SetCaption(const std::wstring& New_Caption);
    const Font& GetFont() const { return LblMsg.font; }
    void SetFont(const Font& New_Font);

    // Notifications from the host. The caption label has no window of its own, so its mouse notifications
    // arrive here as the control's, with the same arguments.
    void UserControl_GotFocus();
    void UserControl_LostFocus();
    void UserControl_MouseDown(int button, int shift, float x, float y);
    void UserControl_MouseMove(int button, int shift, float x, float y);
    void UserControl_MouseUp(int button, int shift, float x, float y);
    // Keys reach the button only while it has the focus: Enter going down or Space coming up raises Click, as a
    // mouse click would; the look stays the focused one.
    void UserControl_KeyDown(int keyCode, int shift);
    void UserControl_KeyUp(int keyCode, int shift);
    // The host has set the new size (in twips) before calling this.
    void UserControl_Resize();
    void TmrMouse_Timer(PointerOver pointer);
    void UserControl_ReadProperties(const PropertyBag& PropBag);
    void UserControl_WriteProperties(PropertyBag& PropBag);

    // Size in twips, kept by the host.
    void SetSize(int widthTwips, int heightTwips);

    // Internal operations, public so that a host and tests can see their effects.
    void PaintFace(Skin skin);
    void EndHover();
    void ApplyEnabled();
    void RestoreNormalFace();

    // Read-only views of the state, for the host's drawing and for tests.
    bool EnabledFlag() const { return m_Enabled; }
    uint8_t FirstRun() const { return m_FirstRun; }
    uint8_t State() const { return m_State; }
    bool TmrMouseEnabled() const { return tmrMouseEnabled_; }
    int TmrMouseInterval() const { return tmrMouseInterval_; }
    int16_t BackStyle() const { return backStyle_; }
    const CaptionLabel& Label() const { return LblMsg; }

private:
    // A row of the state table: the state becomes `state`, then the face shows `skin` (painting reads the state).
    void Become(uint8_t state, Skin skin);

    CommandHost& host_;
    FacePainter& painter_;

    // A C++ bool holds exactly the two values the 16-bit boolean can take once coerced (-1 and 0).
    bool m_Enabled = false;
    uint8_t m_FirstRun = 0;
    uint8_t m_State = StateNone;
    bool m_MouseDown = false;
    bool m_ReverseGradient = false;

    CaptionLabel LblMsg;
    int16_t backStyle_ = kBackStyleOpaque;
    bool tmrMouseEnabled_ = false;
    int tmrMouseInterval_ = kHoverIntervalMs;
    int width_ = kCreatedWidthTwips;
    int height_ = kCreatedHeightTwips;
};

}  // namespace quorvel
