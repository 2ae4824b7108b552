// The Command button's behaviour: the mouse-and-focus table, hover checks, properties and their storage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "button/command.h"
#include "button/property_bag.h"

namespace quorvel {
namespace {

const char* SkinName(Skin skin) {
    static const char* names[] = {"Normal", "HighLight", "Pressed", "Selected", "HighLightSelect", "Disable"};
    return names[static_cast<int>(skin)];
}

struct FakeHost : CommandHost {
    int clicks = 0;
    std::vector<std::string> changes;
    Font ambient = DefaultCommandFont();
    void Command_Click() override { ++clicks; }
    void PropertyChanged(std::string_view name) override { changes.emplace_back(name); }
    Font AmbientFont() const override { return ambient; }
};

struct RecordingPainter : FacePainter {
    std::vector<Skin> skins;
    std::vector<bool> reversed;
    std::vector<FaceGeometry> geometries;
    void DrawFace(Skin skin, const FaceGeometry& geometry, bool reverseGradient) override {
        skins.push_back(skin);
        reversed.push_back(reverseGradient);
        geometries.push_back(geometry);
    }
    std::string Names() const {
        std::string out;
        for (Skin s : skins) out += std::string(out.empty() ? "" : ",") + SkinName(s);
        return out;
    }
};

// A button as the host has it after loading it from an empty store and initialising it: enabled, state 1.
class CommandTest : public ::testing::Test {
protected:
    FakeHost host;
    RecordingPainter painter;
    Command button{host, painter};

    void SetUp() override {
        PropertyBag empty;
        button.UserControl_ReadProperties(empty);
        button.Initialize();
        Forget();
    }
    void Forget() {
        painter.skins.clear();
        painter.reversed.clear();
        host.clicks = 0;
        host.changes.clear();
    }
    // Drives the button from state 1 into the given state.
    void Reach(uint8_t state) {
        if (state == StateHot || state == StateHotFocused) button.UserControl_MouseMove(0, 0, 10, 10);
        if (state == StateFocused || state == StateHotFocused) {
            if (state == StateHotFocused) {
                button.UserControl_GotFocus();  // hot, then focus: 2 -> 4
            } else {
                button.UserControl_GotFocus();
            }
        }
        ASSERT_EQ(button.State(), state) << "could not reach state " << int{state};
        Forget();
    }
};

// ---- The mouse-and-focus table, row by row ----

struct Row {
    const char* name;
    uint8_t from;
    void (*act)(Command&);
    uint8_t to;
    const char* painted;  // skins painted, comma separated
    int clicks;
};

const Row kRows[] = {
    {"FocusGainedNormal", StateNormal, [](Command& c) { c.UserControl_GotFocus(); }, StateFocused, "Selected", 0},
    {"FocusGainedFocused", StateFocused, [](Command& c) { c.UserControl_GotFocus(); }, StateFocused, "Selected", 0},
    {"FocusGainedHotFocused", StateHotFocused, [](Command& c) { c.UserControl_GotFocus(); }, StateFocused, "Selected", 0},
    {"FocusGainedHot", StateHot, [](Command& c) { c.UserControl_GotFocus(); }, StateHotFocused, "Pressed", 0},
    {"FocusLostNormal", StateNormal, [](Command& c) { c.UserControl_LostFocus(); }, StateNormal, "", 0},
    {"FocusLostHot", StateHot, [](Command& c) { c.UserControl_LostFocus(); }, StateNormal, "Normal", 0},
    {"FocusLostFocused", StateFocused, [](Command& c) { c.UserControl_LostFocus(); }, StateNormal, "Normal", 0},
    {"FocusLostHotFocused", StateHotFocused, [](Command& c) { c.UserControl_LostFocus(); }, StateNormal, "Normal", 0},
    {"LeftDownNormal", StateNormal, [](Command& c) { c.UserControl_MouseDown(kLeftButton, 0, 1, 1); }, StateNormal, "Pressed", 0},
    {"LeftDownHot", StateHot, [](Command& c) { c.UserControl_MouseDown(kLeftButton, 0, 1, 1); }, StateHot, "Pressed", 0},
    {"RightDownHot", StateHot, [](Command& c) { c.UserControl_MouseDown(kRightButton, 0, 1, 1); }, StateHot, "", 0},
    {"MiddleDownHotFocused", StateHotFocused, [](Command& c) { c.UserControl_MouseDown(kMiddleButton, 0, 1, 1); }, StateHotFocused, "", 0},
    {"BothButtonsDownIsNotLeft", StateHot, [](Command& c) { c.UserControl_MouseDown(kLeftButton | kRightButton, 0, 1, 1); }, StateHot, "", 0},
    {"MoveNormal", StateNormal, [](Command& c) { c.UserControl_MouseMove(0, 0, 1, 1); }, StateHot, "HighLight", 0},
    {"MoveHot", StateHot, [](Command& c) { c.UserControl_MouseMove(0, 0, 1, 1); }, StateHot, "", 0},
    {"MoveFocused", StateFocused, [](Command& c) { c.UserControl_MouseMove(0, 0, 1, 1); }, StateHotFocused, "HighLightSelect", 0},
    {"MoveHotFocused", StateHotFocused, [](Command& c) { c.UserControl_MouseMove(0, 0, 1, 1); }, StateHotFocused, "", 0},
    {"LeftUpNormal", StateNormal, [](Command& c) { c.UserControl_MouseUp(kLeftButton, 0, 1, 1); }, StateNormal, "", 1},
    {"LeftUpHot", StateHot, [](Command& c) { c.UserControl_MouseUp(kLeftButton, 0, 1, 1); }, StateHot, "Normal", 1},
    {"LeftUpFocused", StateFocused, [](Command& c) { c.UserControl_MouseUp(kLeftButton, 0, 1, 1); }, StateFocused, "", 0},
    {"LeftUpHotFocused", StateHotFocused, [](Command& c) { c.UserControl_MouseUp(kLeftButton, 0, 1, 1); }, StateHotFocused, "HighLightSelect", 1},
    {"RightUpHot", StateHot, [](Command& c) { c.UserControl_MouseUp(kRightButton, 0, 1, 1); }, StateHot, "", 1},
    {"RightUpHotFocused", StateHotFocused, [](Command& c) { c.UserControl_MouseUp(kRightButton, 0, 1, 1); }, StateHotFocused, "", 1},
    {"MiddleUpNormal", StateNormal, [](Command& c) { c.UserControl_MouseUp(kMiddleButton, 0, 1, 1); }, StateNormal, "", 1},
    {"RightUpFocused", StateFocused, [](Command& c) { c.UserControl_MouseUp(kRightButton, 0, 1, 1); }, StateFocused, "", 0},
    {"TickOwnHot", StateHot, [](Command& c) { c.TmrMouse_Timer(PointerOver::Own); }, StateHot, "", 0},
    {"TickHostHot", StateHot, [](Command& c) { c.TmrMouse_Timer(PointerOver::Host); }, StateNormal, "Normal", 0},
    {"TickOtherHot", StateHot, [](Command& c) { c.TmrMouse_Timer(PointerOver::Other); }, StateNormal, "Normal", 0},
    {"TickOtherHotFocused", StateHotFocused, [](Command& c) { c.TmrMouse_Timer(PointerOver::Other); }, StateFocused, "Selected", 0},
    {"TickHostHotFocused", StateHotFocused, [](Command& c) { c.TmrMouse_Timer(PointerOver::Host); }, StateFocused, "Selected", 0},
    {"TickOtherFocused", StateFocused, [](Command& c) { c.TmrMouse_Timer(PointerOver::Other); }, StateFocused, "", 0},
    {"TickOtherNormal", StateNormal, [](Command& c) { c.TmrMouse_Timer(PointerOver::Other); }, StateNormal, "", 0},
    {"ResizeHotFocused", StateHotFocused, [](Command& c) { c.UserControl_Resize(); }, StateHotFocused, "Normal", 0},
    {"ResizeFocused", StateFocused, [](Command& c) { c.UserControl_Resize(); }, StateFocused, "Normal", 0},
};

class CommandTableTest : public CommandTest, public ::testing::WithParamInterface<Row> {};

TEST_P(CommandTableTest, RowGivesItsStateSkinAndClicks) {
    const Row& row = GetParam();
    Reach(row.from);
    row.act(button);
    EXPECT_EQ(button.State(), row.to) << "expected state " << int{row.to} << ", got " << int{button.State()};
    EXPECT_EQ(painter.Names(), row.painted) << "expected skins '" << row.painted << "', got '" << painter.Names() << "'";
    EXPECT_EQ(host.clicks, row.clicks) << "expected " << row.clicks << " clicks, got " << host.clicks;
}

INSTANTIATE_TEST_SUITE_P(EveryRow, CommandTableTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST_P(CommandTableTest, DisabledButtonIgnoresTheRow) {
    const Row& row = GetParam();
    Reach(row.from);
    button.SetEnabled(false);
    Forget();
    row.act(button);
    const bool resize = std::string(row.name).rfind("Resize", 0) == 0;
    EXPECT_EQ(button.State(), row.from) << "a disabled button must keep state " << int{row.from} << ", got "
                                        << int{button.State()};
    EXPECT_EQ(painter.Names(), resize ? "Disable" : "") << "got '" << painter.Names() << "'";
    EXPECT_EQ(host.clicks, 0) << "a disabled button raised Click";
}

// ---- Sequences from everyday use ----

TEST_F(CommandTest, OrdinaryPressPaintsEachLookAndClicksOnce) {
    button.UserControl_MouseMove(0, 0, 5, 5);
    button.UserControl_GotFocus();  // the press brings the focus
    button.UserControl_MouseDown(kLeftButton, 0, 5, 5);
    EXPECT_TRUE(button.MouseIsDown());
    button.UserControl_MouseUp(kLeftButton, 0, 5, 5);
    EXPECT_FALSE(button.MouseIsDown());
    EXPECT_EQ(painter.Names(), "HighLight,Pressed,Pressed,HighLightSelect") << "got '" << painter.Names() << "'";
    EXPECT_EQ(button.State(), StateHotFocused);
    EXPECT_EQ(host.clicks, 1);
}

TEST_F(CommandTest, PressDraggedOffPastHoverCheckRaisesNoClickEvenBackOver) {
    button.UserControl_MouseMove(0, 0, 5, 5);
    button.UserControl_GotFocus();
    button.UserControl_MouseDown(kLeftButton, 0, 5, 5);
    button.UserControl_MouseMove(kLeftButton, 0, 500, 5);
    button.TmrMouse_Timer(PointerOver::Other);
    EXPECT_EQ(button.State(), StateFocused);
    button.UserControl_MouseMove(kLeftButton, 0, 5, 5);  // back over the button, still held
    EXPECT_EQ(button.State(), StateFocused) << "a held press must not become hot again";
    button.UserControl_MouseUp(kLeftButton, 0, 5, 5);
    EXPECT_EQ(host.clicks, 0) << "expected no Click after the hover check saw the pointer away";
    button.UserControl_MouseMove(0, 0, 5, 5);  // released, so the next move is hot again
    EXPECT_EQ(button.State(), StateHotFocused);
}

TEST_F(CommandTest, ReleaseAfterLeavingButBeforeHoverCheckStillClicks) {
    button.UserControl_MouseMove(0, 0, 5, 5);
    button.UserControl_GotFocus();
    button.UserControl_MouseDown(kLeftButton, 0, 5, 5);
    button.UserControl_MouseMove(kLeftButton, 0, 500, 5);
    button.UserControl_MouseUp(kLeftButton, 0, 500, 5);
    EXPECT_EQ(host.clicks, 1) << "expected one Click while the state was still 4";
}

TEST_F(CommandTest, RightButtonReleaseClicksWithoutRepaint) {
    button.UserControl_MouseMove(0, 0, 5, 5);
    Forget();
    button.UserControl_MouseDown(kRightButton, 0, 5, 5);
    EXPECT_EQ(painter.Names(), "") << "a right press paints nothing by itself";
    button.UserControl_GotFocus();
    EXPECT_EQ(painter.Names(), "Pressed") << "the focus the press brings repaints";
    button.UserControl_MouseUp(kRightButton, 0, 5, 5);
    EXPECT_EQ(painter.Names(), "Pressed") << "the release repaints nothing";
    EXPECT_EQ(host.clicks, 1);
}

TEST_F(CommandTest, LosingFocusWhileHotGoesNormalThenHotOnNextMove) {
    Reach(StateHotFocused);
    button.UserControl_LostFocus();
    EXPECT_EQ(button.State(), StateNormal);
    EXPECT_EQ(painter.Names(), "Normal");
    button.UserControl_MouseMove(0, 0, 5, 5);
    EXPECT_EQ(button.State(), StateHot);
}

TEST_F(CommandTest, KeyboardFocusOnHotButtonShowsPressedUntilPointerLeaves) {
    Reach(StateHot);
    button.UserControl_GotFocus();
    EXPECT_EQ(painter.Names(), "Pressed");
    button.TmrMouse_Timer(PointerOver::Own);
    EXPECT_EQ(painter.Names(), "Pressed") << "the look stays while the pointer is over the button";
    button.TmrMouse_Timer(PointerOver::Other);
    EXPECT_EQ(button.State(), StateFocused);
    EXPECT_EQ(painter.Names(), "Pressed,Selected");
}

TEST_F(CommandTest, BeforeInitializeFocusedThenHotStaysHot) {
    Command fresh{host, painter};
    PropertyBag empty;
    fresh.UserControl_ReadProperties(empty);
    EXPECT_EQ(fresh.State(), StateNone);
    EXPECT_FALSE(fresh.TmrMouseEnabled());
    fresh.UserControl_MouseMove(0, 0, 1, 1);
    EXPECT_EQ(fresh.State(), StateNone) << "from state 0 a move leads nowhere";
    fresh.UserControl_GotFocus();
    fresh.UserControl_MouseMove(0, 0, 1, 1);
    EXPECT_EQ(fresh.State(), StateHotFocused);
    fresh.TmrMouse_Timer(PointerOver::Other);
    EXPECT_EQ(fresh.State(), StateHotFocused) << "no hover tracking before Initialize";
}

TEST_F(CommandTest, ReleaseBeforeInitializeClicks) {
    Command fresh{host, painter};
    PropertyBag empty;
    fresh.UserControl_ReadProperties(empty);
    fresh.UserControl_MouseUp(kLeftButton, 0, 1, 1);
    EXPECT_EQ(host.clicks, 1);
}

TEST_F(CommandTest, InitializeSetsNormalStateAndTimerWithoutPainting) {
    Command fresh{host, painter};
    painter.skins.clear();
    fresh.Initialize();
    EXPECT_EQ(fresh.State(), StateNormal);
    EXPECT_TRUE(fresh.TmrMouseEnabled());
    EXPECT_EQ(fresh.TmrMouseInterval(), 100);
    EXPECT_TRUE(painter.skins.empty()) << "Initialize paints nothing, got '" << painter.Names() << "'";
}

TEST_F(CommandTest, DisabledButtonShowsDisableAndGreysCaption) {
    Reach(StateHot);
    button.SetEnabled(false);
    EXPECT_EQ(painter.Names(), "Disable");
    EXPECT_FALSE(button.Label().enabled);
    EXPECT_EQ(host.changes, std::vector<std::string>{"Enabled"});
    button.SetEnabled(true);
    EXPECT_TRUE(button.Label().enabled);
    EXPECT_EQ(button.State(), StateHot) << "enabling keeps the state";
}

// ---- Gradient orientation follows the state of each paint ----

TEST_F(CommandTest, HotPaintReversesAndHotFocusedKeepsPreviousOrientation) {
    button.UserControl_MouseMove(0, 0, 1, 1);   // 1 -> 2, reversed
    button.UserControl_GotFocus();              // 2 -> 4, keeps reversed
    button.TmrMouse_Timer(PointerOver::Other);  // 4 -> 3, not reversed
    button.UserControl_MouseMove(0, 0, 1, 1);   // 3 -> 4, keeps not reversed
    const std::vector<bool> expected{true, true, false, false};
    EXPECT_EQ(painter.reversed, expected);
}

// ---- Public properties and their repaints ----

TEST_F(CommandTest, VisibleReadsBack255ForAnyNonZero) {
    button.SetVisible(7);
    EXPECT_EQ(button.BackStyle(), kBackStyleOpaque);
    EXPECT_EQ(button.Visible(), 255);
    button.SetVisible(0);
    EXPECT_EQ(button.BackStyle(), kBackStyleTransparent);
    EXPECT_EQ(button.Visible(), 0);
    EXPECT_EQ(host.changes, (std::vector<std::string>{"Visible", "Visible"}));
}

TEST_F(CommandTest, ReadingPropertiesRepaints) {
    button.Visible();
    EXPECT_EQ(painter.Names(), "Normal");
    button.FontColour();
    EXPECT_EQ(painter.Names(), "Normal,Normal");
    button.Enabled();
    EXPECT_EQ(painter.Names(), "Normal,Normal,Normal");
    button.SetVisible(0);
    Forget();
    button.Visible();
    EXPECT_EQ(painter.Names(), "") << "a transparent button reads without repainting";
}

TEST_F(CommandTest, FontColourSetsCaptionColourAndNotifies) {
    button.SetFontColour(0x0000FF);
    EXPECT_EQ(button.FontColour(), 0x0000FFu);
    EXPECT_EQ(host.changes, std::vector<std::string>{"FontColour"});
    EXPECT_EQ(painter.Names(), "Normal,Normal");
}

TEST_F(CommandTest, CaptionAndFontNotify) {
    button.SetCaption(L"Cancel");
    Font font = DefaultCommandFont();
    font.name = L"Arial";
    button.SetFont(font);
    EXPECT_EQ(button.Caption(), L"Cancel");
    EXPECT_EQ(button.GetFont().name, L"Arial");
    EXPECT_EQ(host.changes, (std::vector<std::string>{"Caption", "Font"}));
    EXPECT_EQ(painter.Names(), "") << "caption and font changes do not repaint the face";
}

TEST(CommandFirstRun, FirstEnabledReadGivesDefaults) {
    FakeHost host;
    RecordingPainter painter;
    Command button{host, painter};
    EXPECT_FALSE(button.EnabledFlag());
    EXPECT_EQ(button.FirstRun(), 0);
    EXPECT_TRUE(button.Enabled());
    EXPECT_EQ(button.FirstRun(), 1);
    // The restore before the defaults paints nothing (still disabled); ApplyEnabled then paints Normal.
    EXPECT_EQ(painter.Names(), "Normal");
}

TEST(CommandFirstRun, RestoreResetsColourOnlyBeforeFirstRun) {
    FakeHost host;
    RecordingPainter painter;
    Command button{host, painter};
    button.SetEnabled(true);
    button.SetFontColour(0x123456);
    EXPECT_EQ(button.Label().foreColor, 0u) << "before its first run the caption colour goes back to black";
    button.Enabled();
    button.SetFontColour(0x123456);
    EXPECT_EQ(button.Label().foreColor, 0x123456u);
}

TEST(CommandFirstRun, DisabledRestoreDoesNothing) {
    FakeHost host;
    RecordingPainter painter;
    Command button{host, painter};
    button.RestoreNormalFace();
    button.EndHover();
    EXPECT_TRUE(painter.skins.empty());
}

// ---- Stored properties ----

TEST(CommandStore, DefaultsAreNotStored) {
    FakeHost host;
    RecordingPainter painter;
    Command button{host, painter};
    PropertyBag empty;
    button.UserControl_ReadProperties(empty);
    EXPECT_TRUE(button.EnabledFlag());
    EXPECT_EQ(button.FirstRun(), 1) << "a store without FirstRun reads 1";
    EXPECT_EQ(button.Caption(), L"Command1");
    PropertyBag written;
    button.UserControl_WriteProperties(written);
    EXPECT_EQ(written.Names(), std::vector<std::string>{"Caption"}) << "only the caption differs from its default";
}

TEST(CommandStore, CaptionCommandComesBackAsCommand1) {
    FakeHost host;
    RecordingPainter painter;
    Command first{host, painter};
    first.UserControl_ReadProperties(PropertyBag{});
    first.SetCaption(L"Command");
    PropertyBag bag;
    first.UserControl_WriteProperties(bag);
    EXPECT_FALSE(bag.Contains("Caption"));
    Command second{host, painter};
    second.UserControl_ReadProperties(bag);
    EXPECT_EQ(second.Caption(), L"Command1");
}

TEST(CommandStore, EveryOtherValueSurvivesInWriteOrder) {
    FakeHost host;
    RecordingPainter painter;
    Command first{host, painter};
    first.SetEnabled(false);  // first run still 0
    first.SetCaption(L"\x8A2D\x5B9A");  // 設定
    Font font = DefaultCommandFont();
    font.name = L"Arial";
    first.SetFont(font);
    first.SetFontColour(0xFF8000);
    first.SetVisible(0);
    PropertyBag bag;
    first.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.Names(), (std::vector<std::string>{"Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"}));

    Command second{host, painter};
    second.UserControl_ReadProperties(bag);
    EXPECT_FALSE(second.EnabledFlag());
    EXPECT_EQ(second.Caption(), L"\x8A2D\x5B9A");
    EXPECT_EQ(second.GetFont().name, L"Arial");
    EXPECT_EQ(second.FirstRun(), 0);
    EXPECT_EQ(second.Label().foreColor, 0xFF8000u);
    EXPECT_EQ(second.BackStyle(), kBackStyleTransparent);
}

TEST(CommandStore, StoredFontGivesOnlyItsFaceName) {
    FakeHost host;
    RecordingPainter painter;
    PropertyBag bag;
    Font stored{L"Arial", 20.0, 700, 0, true, true, true};
    bag.WriteProperty("Font", stored, DefaultCommandFont());
    Command button{host, painter};
    button.UserControl_ReadProperties(bag);
    const Font& got = button.GetFont();
    EXPECT_EQ(got.name, L"Arial");
    EXPECT_DOUBLE_EQ(got.size, 9.75) << "size stays the label's own";
    EXPECT_EQ(got.weight, 400);
    EXPECT_EQ(got.charset, 128);
    EXPECT_FALSE(got.italic || got.underline || got.strikethrough);
}

TEST(CommandStore, MissingFontTakesTheAmbientFaceName) {
    FakeHost host;
    host.ambient.name = L"Tahoma";
    host.ambient.size = 12;
    RecordingPainter painter;
    Command button{host, painter};
    button.UserControl_ReadProperties(PropertyBag{});
    EXPECT_EQ(button.GetFont().name, L"Tahoma");
    EXPECT_DOUBLE_EQ(button.GetFont().size, 9.75);
}

TEST(CommandStore, TextDefaultsAndTextValuesConvert) {
    FakeHost host;
    RecordingPainter painter;
    PropertyBag bag;
    bag.WriteProperty("FirstRun", std::wstring(L"0"), int32_t{1});
    bag.WriteProperty("Visible", std::wstring(L"0"), int32_t{1});
    bag.WriteProperty("FontColour", std::wstring(L"255"), int32_t{0});
    Command button{host, painter};
    button.UserControl_ReadProperties(bag);
    EXPECT_EQ(button.FirstRun(), 0);
    EXPECT_EQ(button.BackStyle(), kBackStyleTransparent);
    EXPECT_EQ(button.Label().foreColor, 0u) << "an enabled button before its first run restores a black caption";

    PropertyBag colourOnly;
    colourOnly.WriteProperty("FontColour", std::wstring(L"255"), int32_t{0});
    Command other{host, painter};
    other.UserControl_ReadProperties(colourOnly);
    EXPECT_EQ(other.Label().foreColor, 255u);
}

TEST(CommandStore, UnusableValuesLeaveTheirTargetsAndReadingGoesOn) {
    FakeHost host;
    RecordingPainter painter;
    PropertyBag bag;
    bag.WriteProperty("FirstRun", int32_t{300}, int32_t{1});
    bag.WriteProperty("Visible", int32_t{7}, int32_t{1});
    bag.WriteProperty("FontColour", std::wstring(L"red"), int32_t{0});
    bag.WriteProperty("Caption", std::wstring(L"OK"), std::wstring(L"Command"));
    Command button{host, painter};
    button.UserControl_ReadProperties(bag);
    EXPECT_EQ(button.FirstRun(), 0) << "300 does not fit 8 bits";
    EXPECT_EQ(button.BackStyle(), kBackStyleOpaque) << "7 is no background style";
    EXPECT_EQ(button.Label().foreColor, 0u);
    EXPECT_EQ(button.Caption(), L"OK");
}

TEST(CommandStore, ReadAndWriteEndWithRestoringTheNormalFace) {
    FakeHost host;
    RecordingPainter painter;
    Command button{host, painter};
    button.UserControl_ReadProperties(PropertyBag{});
    EXPECT_EQ(painter.Names(), "Normal");
    PropertyBag bag;
    button.UserControl_WriteProperties(bag);
    EXPECT_EQ(painter.Names(), "Normal,Normal");
    PropertyBag disabled;
    disabled.WriteProperty("Enabled", int32_t{0}, int32_t{-1});
    Command off{host, painter};
    painter.skins.clear();
    off.UserControl_ReadProperties(disabled);
    EXPECT_EQ(painter.Names(), "") << "a disabled button is not restored";
}

TEST(PropertyBagTest, WritingTheDefaultDropsAnOlderValue) {
    PropertyBag bag;
    bag.WriteProperty("Caption", std::wstring(L"A"), std::wstring(L"Command"));
    EXPECT_TRUE(bag.Contains("Caption"));
    bag.WriteProperty("Caption", std::wstring(L"Command"), std::wstring(L"Command"));
    EXPECT_FALSE(bag.Contains("Caption"));
    EXPECT_EQ(std::get<std::wstring>(bag.ReadProperty("Caption", std::wstring(L"Command1"))), L"Command1");
}

// ---- Caption placement ----

TEST_F(CommandTest, CaptionSitsTenTwipsAboveTheMiddle) {
    button.SetSize(1395, 375);
    button.UserControl_Resize();
    EXPECT_DOUBLE_EQ(button.Label().top, 80.0);
    EXPECT_DOUBLE_EQ(button.Label().left, 0.0);
    EXPECT_DOUBLE_EQ(button.Label().width, 1395.0);
    button.SetSize(1395, 376);
    button.UserControl_Resize();
    EXPECT_DOUBLE_EQ(button.Label().top, 80.5) << "computed in floating point";
}

TEST(FaceGeometryTest, DerivedFromSize) {
    const FaceGeometry g = FaceGeometry::For(1395, 375);
    EXPECT_EQ(g.stretchX, 1275);
    EXPECT_EQ(g.stretchY, 255);
    EXPECT_EQ(g.skinRightColumn, 900);
    EXPECT_EQ(g.skinBottomRow, 315);
}

}  // namespace
}  // namespace quorvel
