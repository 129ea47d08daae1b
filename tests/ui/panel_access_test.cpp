// The keyboard and a screen reader on the control panel: focus, Tab order, the page keys,
// Esc, commands run from the keyboard and through the accessibility object, the object's
// children in each status situation, its events and its life after the window.
#include "driver/driver_types.h"
#include "tests/support/accessible_probe.h"
#include "tests/ui/panel_fixture.h"
#include "toolkit/render.h"
#include "toolkit/scale.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace paneltest;
using namespace testsupport;
using Log = std::vector<std::string>;

namespace {

class Access : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (HasFatalFailure()) return;
        WireLikeStartUp();
    }
    // The status as the stand-ins report it, read again by a refresh.
    void Situation(std::uint8_t result, std::uint8_t state, std::uint8_t flags) {
        TheWorld().driverResult = result;
        TheWorld().hypervisorState = state;
        TheWorld().problemFlags = flags;
        panel->RefreshStatusProc(false);
        panel->LoadControlStates();
        TheWorld().log.clear();
    }
    void ShowFocused() {
        panel->Show();
        SetForegroundWindow(hwnd);
        SetFocus(hwnd);
        ASSERT_EQ(GetFocus(), hwnd);
        TheWorld().log.clear();  // the show's own refresh
    }
    // The pixels along the top edge of a component, where a focus rectangle runs.
    std::vector<unsigned> TopEdge(const toolkit::Component& c) const {
        const auto pixels = toolkit::RenderClient(hwnd);
        std::vector<unsigned> edge;
        for (int x = c.Left(); x < c.Left() + c.Width(); ++x) edge.push_back(pixels.At(x, c.Top()));
        return edge;
    }
    ComApartment com;
};

constexpr long kFocusable = STATE_SYSTEM_FOCUSABLE;

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Where two renderings differ, outside the child windows: only on the edge of `box`, and
// on each of its four sides.
::testing::AssertionResult ChangedOnlyOnTheEdgeOf(const toolkit::Pixels& before,
                                                  const toolkit::Pixels& after, RECT box,
                                                  const std::vector<RECT>& windows) {
    bool sides[4] = {false, false, false, false};
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x) {
            const POINT p{x, y};
            if (before.At(x, y) == after.At(x, y) ||
                std::any_of(windows.begin(), windows.end(),
                            [&](const RECT& r) { return PtInRect(&r, p) != FALSE; }))
                continue;
            const bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            const bool edge =
                x == box.left || x == box.right - 1 || y == box.top || y == box.bottom - 1;
            if (!inside || !edge)
                return ::testing::AssertionFailure()
                       << "a change at (" << x << "," << y << ") off the box's edge";
            if (x == box.left) sides[0] = true;
            if (x == box.right - 1) sides[1] = true;
            if (y == box.top) sides[2] = true;
            if (y == box.bottom - 1) sides[3] = true;
        }
    if (!(sides[0] && sides[1] && sides[2] && sides[3]))
        return ::testing::AssertionFailure() << "the rectangle is missing a side";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(Access, TabMovesAmongTheEnabledCommandsAndEnterOrSpaceRunsTheFocusedOne) {
    Situation(driver::kStatusRead, driver::kEnabledPartly, 0);
    panel->lbEnable.SetEnabled(true);  // never both from a status; both, to see the order
    ASSERT_TRUE(panel->lbDisable.Enabled());
    ShowFocused();
    EXPECT_EQ(panel->Focus().FocusedItem(), std::nullopt)
        << "the panel opens with no command focused";
    const auto before = TopEdge(panel->lbEnable);

    PressKey(VK_TAB);
    EXPECT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbEnable);
    EXPECT_NE(TopEdge(panel->lbEnable), before) << "the focus rectangle shows after the key";
    PressKey(VK_TAB);
    EXPECT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbDisable);
    EXPECT_EQ(TopEdge(panel->lbEnable), before) << "and leaves the item the focus left";
    PressKey(VK_TAB);
    EXPECT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbEnable)
        << "wraps around";
    PressKey(VK_TAB, kShiftKey);
    EXPECT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbDisable)
        << "Shift+Tab goes back";

    PressKey(VK_RETURN);
    EXPECT_EQ(TheWorld().log, (Log{"Disable", "Refresh(true)"})) << "as a click on Disable";
    SendMessageA(hwnd, WM_KEYDOWN, VK_RETURN, LPARAM{1} | (LPARAM{1} << 30));
    EXPECT_EQ(TheWorld().log.size(), 2u) << "a key held down repeats nothing";
    TheWorld().log.clear();
    panel->lbEnable.SetEnabled(true);
    PressKey(VK_TAB);
    ASSERT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbEnable);
    PressKey(VK_SPACE);
    EXPECT_EQ(TheWorld().log, (Log{"Enable", "Refresh(true)"}));
}

TEST_F(Access, FocusRectanglesWaitForTheKeyboardAndADisabledCommandIsSkipped) {
    Situation(driver::kStatusRead, driver::kEnabledEverywhere, 0);
    ASSERT_FALSE(panel->lbEnable.Enabled());
    ASSERT_TRUE(panel->lbDisable.Enabled());
    ShowFocused();
    EXPECT_FALSE(panel->Focus().FocusCuesShown());
    PressKey(VK_TAB);
    EXPECT_TRUE(panel->Focus().FocusCuesShown());
    EXPECT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbDisable);
    PressKey(VK_TAB);
    EXPECT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbDisable);
    panel->Hide();
    panel->Show();
    EXPECT_FALSE(panel->Focus().FocusCuesShown()) << "each showing starts without them";
}

TEST_F(Access, PageKeysSwitchTabsAndTabVisitsTheBoxesInTheirTabOrder) {
    TheWorld().autostart = true;
    Situation(driver::kStatusRead, driver::kEnabledEverywhere, 0);
    ShowFocused();
    PressKey(VK_TAB, kCtrlKey);
    EXPECT_EQ(panel->SettingsTabActive, 1);
    EXPECT_FALSE(panel->lbEnable.Visible());
    PressKey(VK_TAB, kCtrlKey | kShiftKey);
    EXPECT_EQ(panel->SettingsTabActive, 0);
    PressKey(VK_NEXT, kCtrlKey);
    EXPECT_EQ(panel->SettingsTabActive, 1);
    PressKey(VK_NEXT);  // without Ctrl: nothing
    EXPECT_EQ(panel->SettingsTabActive, 1);

    ASSERT_TRUE(panel->chkAutomaticDisable.Enabled());
    const auto plain = TopEdge(panel->lbAutomaticDisable);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), panel->chkAutomaticDisable.Handle()) << "tab order 0 first";
    EXPECT_NE(TopEdge(panel->lbAutomaticDisable), plain) << "its focus around its text";
    PressKey(VK_TAB);  // delivered to the box, which passes it to the panel
    EXPECT_EQ(GetFocus(), panel->chkAutostartUserCP.Handle());
    EXPECT_EQ(TopEdge(panel->lbAutomaticDisable), plain) << "and gone with the focus";
    PressKey(VK_SPACE);
    EXPECT_FALSE(panel->chkAutostartUserCP.Checked());
    EXPECT_EQ(TheWorld().log, (Log{"SetAutostart(false)", "IsAutostartEnabled"}))
        << "the click handler, once";
    EXPECT_FALSE(panel->chkAutomaticDisable.Enabled());
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), panel->chkAutostartUserCP.Handle()) << "the disabled box is skipped";

    PressKey(VK_PRIOR, kCtrlKey);  // from inside a box
    EXPECT_EQ(panel->SettingsTabActive, 0);
    EXPECT_EQ(GetFocus(), hwnd) << "a hidden box gives the focus back to the panel";
}

TEST_F(Access, EscHidesThePanelAsClosingDoes) {
    ShowFocused();
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(TheWorld().log.empty());
}

TEST_F(Access, ChildrenNamesRolesAndStatesInEachSituation) {
    struct Case {
        std::uint8_t result, state, flags;
        const char* caption;
        const char* description;  // the shown line, without the join the text ends with
    };
    for (const Case& c :
         {Case{driver::kStatusRead, driver::kEnabledEverywhere, 0, "Hypervisor enabled",
               "Hypervisor works properly"},
          Case{driver::kStatusRead, driver::kEnabledPartly, 0, "Hypervisor enabled partly",
               "Korvalen works with errors"},
          Case{driver::kStatusRead, driver::kEnabledNowhere, 0, "Hypervisor not enabled",
               "Hypervisor disabled manually"},
          Case{driver::kDriverError, 0, 0, "General error", "Korvalen driver works with errors"}}) {
        SCOPED_TRACE(c.caption);
        Situation(c.result, c.state, c.flags);
        panel->imgStatusTabClick(*panel);
        panel->Show();
        const auto client = ClientObject(hwnd);
        ASSERT_TRUE(client);
        const auto children = ChildrenOf(client.get());
        ASSERT_EQ(children.size(), 7u);
        const struct {
            std::string name;
            long role;
            long state;
        } expected[] = {
            {"Status", ROLE_SYSTEM_PAGETAB, STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED},
            {"Settings", ROLE_SYSTEM_PAGETAB, STATE_SYSTEM_SELECTABLE},
            {c.caption, ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY},
            {c.description, ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY},
            {"Enable", ROLE_SYSTEM_PUSHBUTTON,
             panel->lbEnable.Enabled() ? kFocusable : STATE_SYSTEM_UNAVAILABLE},
            {"Disable", ROLE_SYSTEM_PUSHBUTTON,
             panel->lbDisable.Enabled() ? kFocusable : STATE_SYSTEM_UNAVAILABLE},
            {"Close", ROLE_SYSTEM_PUSHBUTTON, 0},
        };
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(children[i].name, expected[i].name) << i;
            EXPECT_EQ(children[i].role, expected[i].role) << i;
            EXPECT_EQ(children[i].state, expected[i].state) << i;
        }
        // The window still shows the text as it is; only the name leaves the join out.
        EXPECT_EQ(panel->lbGeneralDescription.Text().rfind(c.description, 0), 0u);
        EXPECT_EQ(children[5].defaultAction, "Press");
        // The place on the screen is where a click lands.
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        EXPECT_EQ(children[5].location.left, origin.x + panel->lbDisable.Left());
        EXPECT_EQ(children[5].location.top, origin.y + panel->lbDisable.Top());
        EXPECT_EQ(children[5].location.right - children[5].location.left, panel->lbDisable.Width());
    }
    // The states that differ between the situations are really there.
    Situation(driver::kStatusRead, driver::kEnabledEverywhere, 0);
    EXPECT_EQ(ChildrenOf(ClientObject(hwnd).get())[4].state, STATE_SYSTEM_UNAVAILABLE);
    Situation(driver::kStatusRead, driver::kEnabledNowhere, 0);
    EXPECT_EQ(ChildrenOf(ClientObject(hwnd).get())[5].state, STATE_SYSTEM_UNAVAILABLE);
}

// At 150 % the focus rectangles run around the scaled boxes: a command's own, and the
// text beside a focused box (its left and top scaled, its size that of the scaled text).
TEST_F(Access, AtOneHundredAndFiftyPercentFocusRectanglesRunAroundTheScaledBoxes) {
    TheWorld().autostart = true;
    Situation(driver::kStatusRead, driver::kEnabledPartly, 0);
    panel->lbEnable.SetEnabled(true);
    RECT window{};
    GetWindowRect(hwnd, &window);
    RECT suggested{20, 20, 20 + window.right - window.left, 20 + window.bottom - window.top};
    SendMessageA(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    ASSERT_EQ(panel->Dpi(), 144);
    ShowFocused();
    const std::vector<RECT> boxes{ChildRect(panel->chkAutostartUserCP.Handle()),
                                  ChildRect(panel->chkAutomaticDisable.Handle())};
    auto before = toolkit::RenderClient(hwnd);
    PressKey(VK_TAB);
    ASSERT_EQ(&panel->Focus().AccessComponent(panel->Focus().FocusedItem().value()),
              &panel->lbEnable);
    const auto enable = toolkit::ScaleBox(120, 203, 86, 16, 144);
    EXPECT_TRUE(ChangedOnlyOnTheEdgeOf(before, toolkit::RenderClient(hwnd),
                                       {enable.left, enable.top, enable.right, enable.bottom},
                                       boxes))
        << "around Enable";

    PressKey(VK_TAB, kCtrlKey);
    ASSERT_EQ(panel->SettingsTabActive, 1);
    SetFocus(hwnd);  // no item focused: the page as it looks without a rectangle
    before = toolkit::RenderClient(hwnd);
    PressKey(VK_TAB);
    ASSERT_EQ(GetFocus(), panel->chkAutomaticDisable.Handle());
    const toolkit::Label& text = panel->lbAutomaticDisable;
    EXPECT_EQ(text.Left(), toolkit::ScaleToDpi(140, 144));
    EXPECT_EQ(text.Top(), toolkit::ScaleToDpi(71, 144));
    EXPECT_TRUE(ChangedOnlyOnTheEdgeOf(
        before, toolkit::RenderClient(hwnd),
        {text.Left(), text.Top(), text.Left() + text.Width(), text.Top() + text.Height()}, boxes))
        << "around the disable-at-start text";
    panel->Hide();
}

TEST_F(Access, TheSettingsPageShowsTheBoxesAsTheirOwnWindows) {
    TheWorld().autostart = true;
    Situation(driver::kStatusRead, driver::kEnabledEverywhere, 0);
    panel->imgSettingsTabClick(*panel);
    panel->Show();
    const auto children = ChildrenOf(ClientObject(hwnd).get());
    ASSERT_EQ(children.size(), 7u);
    EXPECT_EQ(children[0].state, STATE_SYSTEM_SELECTABLE) << "Status no longer selected";
    EXPECT_EQ(children[1].state, STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED);
    const std::string autostart = "Automatic run Korvalen control panel when Windows starts";
    const std::string disable = "Automatic disable Hypervisor when Windows starts";
    // Each box is its own window's object, named by the text beside it.
    EXPECT_EQ(children[2].window, panel->chkAutostartUserCP.Handle());
    EXPECT_EQ(children[2].name, autostart);
    EXPECT_EQ(children[2].role, ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(children[2].state, STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(children[3].name, autostart);
    EXPECT_EQ(children[3].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(children[4].window, panel->chkAutomaticDisable.Handle());
    EXPECT_EQ(children[4].name, disable);
    EXPECT_EQ(children[4].state, STATE_SYSTEM_FOCUSABLE) << "not checked, available";
    EXPECT_EQ(children[5].name, disable);
    EXPECT_EQ(children[6].name, "Close");

    panel->chkAutostartUserCP.SetChecked(false);
    const auto after = ChildrenOf(ClientObject(hwnd).get());
    EXPECT_EQ(after[2].state, STATE_SYSTEM_FOCUSABLE);
    EXPECT_EQ(after[4].state, STATE_SYSTEM_UNAVAILABLE) << "follows the autostart box";
}

TEST_F(Access, DefaultActionOnDisableSendsTheCommandAfterTheCallReturns) {
    Situation(driver::kStatusRead, driver::kEnabledEverywhere, 0);
    panel->Show();
    TheWorld().log.clear();  // the show's own refresh
    const auto client = ClientObject(hwnd);
    ASSERT_TRUE(client);
    const auto disable = ChildNamed(ChildrenOf(client.get()), "Disable");
    ASSERT_NE(disable.id, 0);
    ASSERT_EQ(client->accDoDefaultAction(ChildVariant(disable.id)), S_OK);
    EXPECT_TRUE(WaitUntil([] { return !TheWorld().log.empty(); }));
    EXPECT_EQ(TheWorld().log, (Log{"Disable", "Refresh(true)"}));

    const auto enable = ChildNamed(ChildrenOf(client.get()), "Enable");
    ASSERT_FALSE(panel->lbEnable.Enabled());
    TheWorld().log.clear();
    EXPECT_EQ(client->accDoDefaultAction(ChildVariant(enable.id)), E_FAIL) << "unavailable";
    PumpMessages();
    EXPECT_TRUE(TheWorld().log.empty());

    const auto settings = ChildNamed(ChildrenOf(client.get()), "Settings");
    ASSERT_EQ(client->accDoDefaultAction(ChildVariant(settings.id)), S_OK);
    EXPECT_TRUE(WaitUntil([&] { return panel->SettingsTabActive == 1; })) << "as a tab click";
}

TEST_F(Access, FocusAndTextChangesRaiseEventsForTheChild) {
    Situation(driver::kStatusRead, driver::kEnabledPartly, 0);
    ASSERT_FALSE(panel->lbEnable.Enabled());
    ShowFocused();
    WinEventRecorder events;
    PressKey(VK_TAB);
    const auto children = ChildrenOf(ClientObject(hwnd).get());
    const long disable = ChildNamed(children, "Disable").id;
    ASSERT_EQ(disable, 6);
    EXPECT_TRUE(events.Saw(EVENT_OBJECT_FOCUS, hwnd, OBJID_CLIENT, disable));
    VARIANT focus;
    ASSERT_EQ(ClientObject(hwnd)->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(focus.lVal, disable);
    EXPECT_EQ(children[5].state, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);

    events.Clear();
    TheWorld().hypervisorState = driver::kEnabledEverywhere;
    panel->RefreshStatusProc(false);
    EXPECT_TRUE(events.Saw(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, 3))
        << "the status text, the third child, now says enabled";
    panel->RefreshStatusProc(false);  // the same texts again
    PumpMessages();
    int changes = 0;
    for (const auto& e : events.Events())
        if (e.event == EVENT_OBJECT_NAMECHANGE && e.hwnd == hwnd && e.child == 3) ++changes;
    EXPECT_EQ(changes, 1) << "a text written again unchanged raises nothing";
}

TEST_F(Access, AReferenceKeptAfterTheWindowIsGoneFailsCleanly) {
    auto client = ClientObject(hwnd);
    ASSERT_TRUE(client);
    long count = 0;
    ASSERT_EQ(client->get_accChildCount(&count), S_OK);
    EXPECT_GT(count, 0);
    panel.reset();
    EXPECT_EQ(client->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(client->get_accName(ChildVariant(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(client->accDoDefaultAction(ChildVariant(1)), CO_E_OBJNOTCONNECTED);
    VARIANT focus;
    EXPECT_EQ(client->get_accFocus(&focus), CO_E_OBJNOTCONNECTED);
}

// ---- the tray icon from the keyboard ----

TEST_F(Access, TheKeyboardsTrayCallbacksOpenTheMenuAtTheIconAndItsFirstItemShowsThePanel) {
    panel->WindowShownOnce = true;  // a plain show, so that the handler returns
    panel->imgSettingsTabClick(*panel);
    // Away from the screen's edges, so that the menu opens right at its point.
    ASSERT_TRUE(PlacePointer({100, 100}));
    // Where the menu belongs: the icon's centre as the shell tells it, else the cursor.
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    RECT iconRect{};
    POINT expected{};
    GetCursorPos(&expected);
    if (Shell_NotifyIconGetRect(&icon, &iconRect) == S_OK)
        expected = {(iconRect.left + iconRect.right) / 2, (iconRect.top + iconRect.bottom) / 2};
    RECT menuRect{};
    bool seen = false;
    WhileInLoop([&] {
        const HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return false;
        seen = true;
        GetWindowRect(menu, &menuRect);
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);  // Korvalen status
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    });
    // What the shell sends for a key on an icon whose record sets no version: a right press
    // and release, with no button down.
    ASSERT_GE(GetAsyncKeyState(VK_RBUTTON), 0);
    SendMessageA(hwnd, 0x0401, 1, WM_RBUTTONDOWN);
    SendMessageA(hwnd, 0x0401, 1, WM_RBUTTONUP);
    ASSERT_TRUE(seen) << "the menu opened";
    // Opened at the point, on whichever side of it the screen leaves room.
    EXPECT_TRUE(menuRect.left == expected.x || menuRect.right == expected.x)
        << menuRect.left << "-" << menuRect.right << " vs " << expected.x;
    EXPECT_TRUE(menuRect.top == expected.y || menuRect.bottom == expected.y)
        << menuRect.top << "-" << menuRect.bottom << " vs " << expected.y;
    ASSERT_TRUE(PlacePointer(ScreenCorner()));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(hwnd) != FALSE; }));
    EXPECT_EQ(panel->SettingsTabActive, 0) << "the status item chose its tab";
}
