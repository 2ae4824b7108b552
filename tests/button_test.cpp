// The Command button's behaviour: the mouse-and-focus table, hover checks, properties and their storage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "button/command.h"
#include "button/property_bag.h"

namespace quorvel {
namespace {

// The host and the painter in one, recording as comma-separated lists so a failure shows the whole sequence.
// A paint over the reversed gradient (lavender grey at the top) is marked "^".
struct Recorder : CommandHost, FacePainter {
    int clicks = 0;
    std::string changes, skins;
    Font ambient = DefaultCommandFont();
    static void Add(std::string& list, std::string_view item) { list.append(list.empty() ? "" : ",").append(item); }
    void Command_Click() override { ++clicks; }
    void PropertyChanged(std::string_view name) override { Add(changes, name); }
    Font AmbientFont() const override { return ambient; }
    void DrawFace(Skin skin, const FaceGeometry&, bool reverse) override {
        static const char* names[] = {"Normal", "HighLight", "Pressed", "Selected", "HighLightSelect", "Disable"};
        Add(skins, std::string(names[static_cast<int>(skin)]) + (reverse ? "^" : ""));
    }
    void Forget() { clicks = 0, changes.clear(), skins.clear(); }
};

// A button as the host has it after loading it from an empty store and initialising it: enabled, state 1.
class CommandTest : public ::testing::Test {
protected:
    Recorder rec;
    Command button{rec, rec};

    void SetUp() override {
        button.UserControl_ReadProperties(PropertyBag{});
        button.Initialize();
        rec.Forget();
    }
    // The pointer makes the button hot and the focus makes it focused; both make state 4.
    void Reach(uint8_t state) {
        if (state == StateHot || state == StateHotFocused) button.UserControl_MouseMove(0, 0, 1, 1);
        if (state == StateFocused || state == StateHotFocused) button.UserControl_GotFocus();
        ASSERT_EQ(button.State(), state) << "could not reach state " << int{state};
        rec.Forget();
    }
};

// ---- Every call the control takes, row by row ----

// Each call the control takes, given the row's `arg`.
using Act = void (*)(Command&, int);
constexpr Act GotFocus = [](Command& c, int) { c.UserControl_GotFocus(); };
constexpr Act LostFocus = [](Command& c, int) { c.UserControl_LostFocus(); };
constexpr Act Down = [](Command& c, int button) { c.UserControl_MouseDown(button, 0, 1, 1); };
constexpr Act Move = [](Command& c, int button) { c.UserControl_MouseMove(button, 0, 1, 1); };
constexpr Act Up = [](Command& c, int button) { c.UserControl_MouseUp(button, 0, 1, 1); };
constexpr Act KeyDown = [](Command& c, int key) { c.UserControl_KeyDown(key, 0); };
constexpr Act KeyUp = [](Command& c, int key) { c.UserControl_KeyUp(key, 0); };
constexpr Act TickOwn = [](Command& c, int) { c.TmrMouse_Timer(PointerOver::Own); };
constexpr Act TickHost = [](Command& c, int) { c.TmrMouse_Timer(PointerOver::Host); };
constexpr Act TickOther = [](Command& c, int) { c.TmrMouse_Timer(PointerOver::Other); };
constexpr Act Resize = [](Command& c, int) { c.UserControl_Resize(); };
constexpr Act GetVisible = [](Command& c, int) { c.Visible(); };
constexpr Act GetEnabled = [](Command& c, int) { c.Enabled(); };
constexpr Act SetVisible = [](Command& c, int value) { c.SetVisible(static_cast<uint8_t>(value)); };
constexpr Act Write = [](Command& c, int) { PropertyBag bag; c.UserControl_WriteProperties(bag); };

// `arg` is the mouse button code, or the value set. Reach gets to state 4 through state 2, so paints there are
// reversed; MoveFocused shows state 4 reached from state 3.
struct Row { const char* name; uint8_t from; Act act; int arg; uint8_t to; const char* painted; int clicks; };
constexpr uint8_t N = StateNormal, H = StateHot, F = StateFocused, HF = StateHotFocused;

const Row kRows[] = {
    {"FocusGainedNormal", N, GotFocus, 0, F, "Selected", 0},    {"FocusGainedHot", H, GotFocus, 0, HF, "Pressed^", 0},
    {"FocusGainedHotFocused", HF, GotFocus, 0, F, "Selected", 0}, {"FocusLostNormal", N, LostFocus, 0, N, "", 0},
    {"FocusLostHot", H, LostFocus, 0, N, "Normal", 0},          {"FocusLostFocused", F, LostFocus, 0, N, "Normal", 0},
    {"FocusLostHotFocused", HF, LostFocus, 0, N, "Normal", 0},
    {"LeftDownNormal", N, Down, kLeftButton, N, "Pressed", 0},  {"LeftDownHot", H, Down, kLeftButton, H, "Pressed^", 0},
    {"RightDownHot", H, Down, kRightButton, H, "", 0},
    {"MiddleDownHotFocused", HF, Down, kMiddleButton, HF, "", 0},
    {"BothButtonsDownIsNotLeft", H, Down, kLeftButton | kRightButton, H, "", 0},
    {"MoveNormal", N, Move, 0, H, "HighLight^", 0},             {"MoveHot", H, Move, 0, H, "", 0},
    {"MoveFocused", F, Move, 0, HF, "HighLightSelect", 0},      {"MoveHotFocused", HF, Move, 0, HF, "", 0},
    {"LeftUpNormal", N, Up, kLeftButton, N, "", 1},             {"LeftUpHot", H, Up, kLeftButton, H, "Normal^", 1},
    {"LeftUpFocused", F, Up, kLeftButton, F, "", 0},
    {"LeftUpHotFocused", HF, Up, kLeftButton, HF, "HighLightSelect^", 1},
    {"RightUpHot", H, Up, kRightButton, H, "", 1},              {"MiddleUpNormal", N, Up, kMiddleButton, N, "", 1},
    {"RightUpFocused", F, Up, kRightButton, F, "", 0},
    // Keys arrive only at the focused button: Enter going down and Space coming up click, without a paint; the
    // Tab that brought the focus here comes up too.
    {"EnterDownFocused", F, KeyDown, kKeyReturn, F, "", 1},     {"SpaceUpHotFocused", HF, KeyUp, kKeySpace, HF, "", 1},
    {"SpaceDownFocused", F, KeyDown, kKeySpace, F, "", 0},      {"EnterUpFocused", F, KeyUp, kKeyReturn, F, "", 0},
    {"TabUpFocused", F, KeyUp, 9, F, "", 0},
    {"TickOwnHot", H, TickOwn, 0, H, "", 0},                    {"TickOwnHotFocused", HF, TickOwn, 0, HF, "", 0},
    {"TickHostHot", H, TickHost, 0, N, "Normal", 0},            {"TickOtherHot", H, TickOther, 0, N, "Normal", 0},
    {"TickOtherHotFocused", HF, TickOther, 0, F, "Selected", 0}, {"TickOtherFocused", F, TickOther, 0, F, "", 0},
    {"TickOtherNormal", N, TickOther, 0, N, "", 0},
    {"ResizeHotFocused", HF, Resize, 0, HF, "Normal^", 0},      {"ResizeFocused", F, Resize, 0, F, "Normal", 0},
    // Reading or setting a property repaints like a resize, except where the button is transparent.
    {"GetVisibleHot", H, GetVisible, 0, H, "Normal^", 0},
    {"GetEnabledHotFocused", HF, GetEnabled, 0, HF, "Normal^", 0},
    {"SetVisibleNonZeroHot", H, SetVisible, 7, H, "Normal^", 0}, {"SetVisibleZeroHot", H, SetVisible, 0, H, "", 0},
    {"WritePropertiesFocused", F, Write, 0, F, "Normal", 0},
};

class CommandTableTest : public CommandTest, public ::testing::WithParamInterface<Row> {};

TEST_P(CommandTableTest, RowGivesItsStateSkinAndClicks) {
    const Row& row = GetParam();
    Reach(row.from);
    row.act(button, row.arg);
    EXPECT_EQ(button.State(), row.to) << "expected state " << int{row.to} << ", got " << int{button.State()};
    EXPECT_EQ(rec.skins, row.painted);
    EXPECT_EQ(rec.clicks, row.clicks);
}

TEST_P(CommandTableTest, DisabledButtonIgnoresTheRow) {
    const Row& row = GetParam();
    Reach(row.from);
    button.SetEnabled(false);
    // Disabling a hot button paints Disable over the reversed gradient.
    const char* disable = row.from == StateHot || row.from == StateHotFocused ? "Disable^" : "Disable";
    EXPECT_EQ(rec.skins, disable);
    EXPECT_FALSE(button.Label().enabled) << "a disabled button greys its caption";
    rec.Forget();
    row.act(button, row.arg);
    EXPECT_EQ(button.State(), row.from) << "a disabled button keeps its state, got " << int{button.State()};
    EXPECT_EQ(rec.skins, row.act == Resize || row.act == GetEnabled ? disable : "");
    EXPECT_EQ(rec.clicks, 0) << "a disabled button raised Click";
}

INSTANTIATE_TEST_SUITE_P(EveryRow, CommandTableTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// ---- What one row cannot show: history ----

TEST_F(CommandTest, PressDraggedOffPastHoverCheckRaisesNoClickEvenBackOver) {
    Reach(StateHotFocused);
    button.UserControl_MouseDown(kLeftButton, 0, 5, 5);
    button.UserControl_MouseMove(kLeftButton, 0, 500, 5);
    button.TmrMouse_Timer(PointerOver::Other);
    button.UserControl_MouseMove(kLeftButton, 0, 5, 5);  // back over the button, still held
    EXPECT_EQ(button.State(), StateFocused) << "a held press must not become hot again";
    button.UserControl_MouseUp(kLeftButton, 0, 5, 5);
    EXPECT_EQ(rec.clicks, 0) << "no Click once the hover check saw the pointer away";
    button.UserControl_MouseMove(0, 0, 5, 5);
    EXPECT_EQ(button.State(), StateHotFocused) << "released, the next move makes it hot again";
}

TEST(CommandBeforeInitialize, OnlyFocusAndButtonsLeadAnywhereAndNothingEndsTheHover) {
    Recorder rec;
    Command button{rec, rec};
    button.UserControl_ReadProperties(PropertyBag{});
    button.UserControl_MouseMove(0, 0, 1, 1);
    EXPECT_EQ(button.State(), StateNone) << "from state 0 a move leads nowhere";
    button.UserControl_MouseUp(kLeftButton, 0, 1, 1);
    EXPECT_EQ(rec.clicks, 1);
    button.UserControl_GotFocus();
    button.UserControl_MouseMove(0, 0, 1, 1);
    button.TmrMouse_Timer(PointerOver::Other);
    EXPECT_EQ(button.State(), StateHotFocused) << "no hover tracking before Initialize";
}

// ---- Properties ----

TEST(CommandFirstRun, CaptionGoesBlackOnEachRestoreUntilTheFirstEnabledReadGivesTheDefaults) {
    Recorder rec;
    Command created{rec, rec}, fresh{rec, rec};
    EXPECT_TRUE(created.Enabled() && created.FirstRun() == 1) << "a new instance takes its defaults";
    fresh.SetEnabled(true);
    fresh.SetFontColour(0x123456);
    EXPECT_EQ(fresh.Label().foreColor, 0u) << "before its first run the caption colour goes back to black";
    fresh.Enabled();
    fresh.SetFontColour(0x123456);
    EXPECT_EQ(fresh.Label().foreColor, 0x123456u);
}

TEST_F(CommandTest, EveryValueSurvivesInWriteOrderAndEverySetterNotifies) {
    Command first{rec, rec}, second{rec, rec};
    first.SetEnabled(false);  // first run still 0
    first.SetCaption(L"\x8A2D\x5B9A");  // 設定
    first.SetFont(Font{L"Arial"});
    first.SetFontColour(0xFF8000);
    first.SetVisible(7);
    EXPECT_EQ(first.Visible(), 255) << "any non-zero value reads back as 255";
    first.SetVisible(0);
    EXPECT_EQ(rec.changes, "Enabled,Caption,Font,FontColour,Visible,Visible");
    PropertyBag bag;
    first.UserControl_WriteProperties(bag);
    const std::vector<std::string> order{"Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"};
    EXPECT_EQ(bag.Names(), order);
    second.UserControl_ReadProperties(bag);
    PropertyBag again;
    second.UserControl_WriteProperties(again);
    EXPECT_EQ(again.Names(), order);
    for (const std::string& name : order) EXPECT_EQ(again.ReadProperty(name, 0), bag.ReadProperty(name, 0)) << name;
}

TEST_F(CommandTest, DefaultsAreNotStoredAndCommandComesBackAsCommand1) {
    EXPECT_TRUE(button.EnabledFlag() && button.FirstRun() == 1) << "an empty store reads enabled, first run 1";
    EXPECT_EQ(button.Caption(), L"Command1");
    PropertyBag bag;
    button.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.Names(), std::vector<std::string>{"Caption"});
    button.SetCaption(L"Command");
    button.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.Names(), std::vector<std::string>{}) << "a value back at its default drops what was stored";
    button.UserControl_ReadProperties(bag);
    EXPECT_EQ(button.Caption(), L"Command1");
}

TEST_F(CommandTest, StoredValuesConvertAndUnusableOnesLeaveTheirTargets) {
    rec.ambient = Font{L"Tahoma", 12.0, 700};
    PropertyBag one, two;
    one.WriteProperty("Font", Font{L"Arial", 20.0, 700, 0, true, true, true}, int32_t{1});
    one.WriteProperty("Visible", int32_t{7}, int32_t{1});
    two.WriteProperty("Enabled", int32_t{0}, int32_t{1});  // so that the end of reading keeps the colour read
    two.WriteProperty("FirstRun", int32_t{300}, int32_t{1});
    two.WriteProperty("FontColour", std::wstring(L"255"), int32_t{0});
    two.WriteProperty("Visible", std::wstring(L"x"), int32_t{1});
    Command fromOne{rec, rec}, fromTwo{rec, rec};
    fromOne.UserControl_ReadProperties(one);
    fromTwo.UserControl_ReadProperties(two);
    EXPECT_EQ(fromOne.GetFont(), Font{L"Arial"}) << "a stored font gives only its face name";
    EXPECT_EQ(fromOne.BackStyle(), kBackStyleOpaque) << "7 is no background style";
    EXPECT_EQ(fromTwo.GetFont(), Font{L"Tahoma"}) << "a missing font gives the ambient face name only";
    EXPECT_EQ(fromTwo.FirstRun(), 0) << "300 does not fit 8 bits";
    EXPECT_EQ(fromTwo.Label().foreColor, 255u) << "text numbers convert, and reading goes on after an unusable value";
    EXPECT_EQ(fromTwo.BackStyle(), kBackStyleOpaque) << "text that is no number is skipped";
}

TEST_F(CommandTest, CaptionSitsTenTwipsAboveTheMiddleAcrossTheWholeFace) {
    button.SetSize(1395, 376);
    button.UserControl_Resize();
    EXPECT_EQ(button.Label().top, 80.5) << "(376 - 195 - 20) / 2, in floating point";
    EXPECT_EQ(button.Label().width, 1395.0);
}

}  // namespace
}  // namespace quorvel
