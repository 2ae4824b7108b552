// The `Command` button's behaviour: five visual states driven by mouse, focus and a hover check.
#include "button/command.h"

#include <optional>

namespace quorvel {
namespace {

inline constexpr int32_t kTrue = -1;
inline constexpr int32_t kFalse = 0;

// A stored number, whether the store kept it as a number or as its text; empty when it is neither.
std::optional<int64_t> ToNumber(const PropertyBag::Value& value) {
    if (const auto* number = std::get_if<int32_t>(&value)) return *number;
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        try {
            size_t used = 0;
            const long long parsed = std::stoll(*text, &used);
            if (used == text->size()) return parsed;
        } catch (...) {
        }
    }
    return std::nullopt;
}

}  // namespace

FaceGeometry FaceGeometry::For(int widthTwips, int heightTwips) {
    FaceGeometry g;
    g.width = widthTwips;
    g.height = heightTwips;
    g.stretchX = widthTwips - 2 * g.corner;
    g.stretchY = heightTwips - 2 * g.corner;
    g.skinRightColumn = g.skinMiddleWidth + g.corner;
    g.skinBottomRow = g.corner + g.skinMiddleHeight;
    return g;
}

Command::Command(CommandHost& host, FacePainter& painter) : host_(host), painter_(painter) {}

void Command::Initialize() {
    m_State = StateNormal;
    tmrMouseEnabled_ = true;
    tmrMouseInterval_ = kHoverIntervalMs;
}

uint8_t Command::Visible() {
    if (backStyle_ == kBackStyleTransparent) return 0;
    RestoreNormalFace();
    return 255;
}

void Command::SetVisible(uint8_t New_Visible) {
    if (New_Visible != 0) {
        backStyle_ = kBackStyleOpaque;
        RestoreNormalFace();
    } else {
        backStyle_ = kBackStyleTransparent;
    }
    host_.PropertyChanged("Visible");
}

uint32_t Command::FontColour() {
    const uint32_t colour = LblMsg.foreColor;
    RestoreNormalFace();
    return colour;
}

void Command::SetFontColour(uint32_t New_FontColour) {
    LblMsg.foreColor = New_FontColour;
    RestoreNormalFace();
    host_.PropertyChanged("FontColour");
}

bool Command::Enabled() {
    if (m_FirstRun == 0) {
        RestoreNormalFace();
        m_FirstRun = 1;
        m_Enabled = true;
    }
    const bool result = m_Enabled;
    ApplyEnabled();
    return result;
}

void Command::SetEnabled(bool New_Enabled) {
    m_Enabled = New_Enabled;
    host_.PropertyChanged("Enabled");
    ApplyEnabled();
}

void Command::SetCaption(const std::wstring& New_Caption) {
    LblMsg.caption = New_Caption;
    host_.PropertyChanged("Caption");
}

void Command::SetFont(const Font& New_Font) {
    LblMsg.font = New_Font;
    host_.PropertyChanged("Font");
}

void Command::UserControl_GotFocus() {
    if (!m_Enabled) return;
    // Tested in this order on purpose: the second row sees the state the first may have set, so one fires.
    if (m_State != StateHot)
        Become(StateFocused, Skin::Selected);
    else
        Become(StateHotFocused, Skin::Pressed);
}

void Command::UserControl_LostFocus() {
    if (!m_Enabled) return;
    if (m_State != StateNormal) Become(StateNormal, Skin::Normal);
}

void Command::UserControl_MouseDown(int button, int, float, float) {
    if (!m_Enabled) return;
    if (button == kLeftButton) {
        m_MouseDown = true;
        PaintFace(Skin::Pressed);
    }
}

void Command::UserControl_MouseMove(int, int, float, float) {
    if (!m_Enabled) return;
    if (m_State == StateNormal) {
        Become(StateHot, Skin::HighLight);
    } else if (m_State == StateFocused && !m_MouseDown) {
        // A press dragged off and held past a hover check does not become hot again on its way back.
        Become(StateHotFocused, Skin::HighLightSelect);
    }
}

void Command::UserControl_MouseUp(int button, int, float, float) {
    if (!m_Enabled) return;
    if (button == kLeftButton) {
        m_MouseDown = false;
        if (m_State == StateHot)
            PaintFace(Skin::Normal);
        else if (m_State == StateHotFocused)
            PaintFace(Skin::HighLightSelect);
    }
    // Any button raises Click, unless the pointer was found away from the button since the press.
    if (m_Enabled && m_State != StateFocused) host_.Command_Click();
}

void Command::UserControl_KeyDown(int keyCode, int) {
    if (m_Enabled && keyCode == kKeyReturn) host_.Command_Click();
}

void Command::UserControl_KeyUp(int keyCode, int) {
    if (m_Enabled && keyCode == kKeySpace) host_.Command_Click();
}

void Command::UserControl_Resize() { ApplyEnabled(); }

void Command::TmrMouse_Timer(PointerOver pointer) {
    if (!tmrMouseEnabled_) return;
    // The caption label has no window, so the pointer over it counts as over the control itself.
    if (pointer != PointerOver::Own) EndHover();
}

void Command::UserControl_ReadProperties(const PropertyBag& PropBag) {
    // Each value that cannot be taken leaves its target unchanged, and reading carries on.
    if (auto enabled = ToNumber(PropBag.ReadProperty("Enabled", kTrue))) m_Enabled = *enabled != 0;

    const auto caption = PropBag.ReadProperty("Caption", std::wstring(L"Command1"));
    if (const auto* text = std::get_if<std::wstring>(&caption))
        LblMsg.caption = *text;
    else if (auto number = ToNumber(caption))
        LblMsg.caption = std::to_wstring(*number);

    // Only the face name of a stored font is taken; the label keeps its own size, weight and style.
    const auto font = PropBag.ReadProperty("Font", host_.AmbientFont());
    if (const auto* stored = std::get_if<Font>(&font)) LblMsg.font.name = stored->name;

    if (auto firstRun = ToNumber(PropBag.ReadProperty("FirstRun", std::wstring(L"1"))))
        if (*firstRun >= 0 && *firstRun <= 255) m_FirstRun = static_cast<uint8_t>(*firstRun);

    if (auto colour = ToNumber(PropBag.ReadProperty("FontColour", std::wstring(L"0"))))
        if (*colour >= INT32_MIN && *colour <= UINT32_MAX) LblMsg.foreColor = static_cast<uint32_t>(*colour);

    if (auto style = ToNumber(PropBag.ReadProperty("Visible", std::wstring(L"1"))))
        if (*style == kBackStyleTransparent || *style == kBackStyleOpaque) backStyle_ = static_cast<int16_t>(*style);

    RestoreNormalFace();
}

void Command::UserControl_WriteProperties(PropertyBag& PropBag) {
    PropBag.WriteProperty("Enabled", m_Enabled ? kTrue : kFalse, kTrue);
    PropBag.WriteProperty("Caption", LblMsg.caption, std::wstring(L"Command"));
    PropBag.WriteProperty("FirstRun", int32_t{m_FirstRun}, int32_t{1});
    PropBag.WriteProperty("Font", LblMsg.font, host_.AmbientFont());
    PropBag.WriteProperty("FontColour", static_cast<int32_t>(LblMsg.foreColor), int32_t{0});
    PropBag.WriteProperty("Visible", int32_t{backStyle_}, int32_t{1});
    RestoreNormalFace();
}

void Command::SetSize(int widthTwips, int heightTwips) {
    width_ = widthTwips;
    height_ = heightTwips;
}

void Command::PaintFace(Skin skin) {
    // States 0 and 4 keep the orientation of the previous paint.
    if (m_State == StateNormal || m_State == StateFocused)
        m_ReverseGradient = false;
    else if (m_State == StateHot)
        m_ReverseGradient = true;

    const FaceGeometry geometry = FaceGeometry::For(width_, height_);
    painter_.DrawFace(skin, geometry, m_ReverseGradient);

    // The text sits centred across the face, 10 twips above its vertical middle.
    LblMsg.top = (static_cast<double>(geometry.height) - LblMsg.height - 20.0) / 2.0;
    LblMsg.left = 0;
    LblMsg.width = geometry.width;
}

void Command::EndHover() {
    if (!m_Enabled) return;
    if (m_State == StateHot)
        Become(StateNormal, Skin::Normal);
    else if (m_State == StateHotFocused)
        Become(StateFocused, Skin::Selected);
}

void Command::Become(uint8_t state, Skin skin) {
    m_State = state;
    PaintFace(skin);
}

void Command::ApplyEnabled() {
    if (m_Enabled) {
        PaintFace(Skin::Normal);
        LblMsg.enabled = true;
    } else {
        PaintFace(Skin::Disable);
        LblMsg.enabled = false;
    }
}

void Command::RestoreNormalFace() {
    if (!m_Enabled) return;
    LblMsg.enabled = true;
    if (m_FirstRun == 0) LblMsg.foreColor = 0;
    PaintFace(Skin::Normal);
}

}  // namespace quorvel
