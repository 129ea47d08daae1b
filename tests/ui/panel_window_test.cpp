// Tabs, hover, moving, hiding, the tray callback and menu, the show rule and Exit.
#include "resources/resource_names.h"
#include "tests/ui/panel_fixture.h"
#include "win32/unique_win.h"

#include <optional>
#include <utility>

using namespace paneltest;
using namespace testsupport;
using Log = std::vector<std::string>;
using resources::TabImage;

namespace {

class Window : public PanelTest {
protected:
    void ExpectTab(int left, int top, int image, const char* where) {
        const int other = image % 3 == 0 ? image + 1 : image - 1;
        const POINT at = DifferingPixel(image, other);
        EXPECT_EQ(Pixel(left + at.x, top + at.y), TabImagePixel(image, at.x, at.y))
            << where << ": image " << image;
    }
    void ExpectStatusPage(bool status) {
        for (const toolkit::Component* c : std::initializer_list<const toolkit::Component*>{
                 &panel->lbGeneralStatus, &panel->lbGeneralDescription, &panel->lbEnable,
                 &panel->imgEnableButton, &panel->lbDisable, &panel->imgDisableButton,
                 &panel->imgCaptionStatus})
            EXPECT_EQ(c->Visible(), status) << c->Name();
        for (const toolkit::Component* c : std::initializer_list<const toolkit::Component*>{
                 &panel->chkAutostartUserCP, &panel->lbAutostartUserCP, &panel->chkAutomaticDisable,
                 &panel->lbAutomaticDisable, &panel->imgCaptionSettings})
            EXPECT_EQ(c->Visible(), !status) << c->Name();
        EXPECT_EQ(IsWindowVisible(panel->chkAutostartUserCP.Handle()) != FALSE,
                  !status && IsWindowVisible(hwnd));
    }
    // A tray callback as the shell sends it.
    void Tray(UINT mouseMessage) { SendMessageA(hwnd, 0x0401, 1, mouseMessage); }
    static bool MenuOpen() {
        const HWND menu = FindWindowA("#32768", nullptr);
        return menu && IsWindowVisible(menu);
    }
    // Once the tray menu is open, chooses the item `downs` arrow presses from the top with
    // the keys the menu's own loop reads from the queue (the separator is passed over).
    static void ChooseInOpenMenu(int downs) {
        WhileInLoop([downs] {
            const HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) return false;
            for (int i = 0; i < downs; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        });
    }
    // The menu command as the system posts it for a chosen item (1 is the first item).
    void MenuCommand(UINT item) { SendMessageA(hwnd, WM_COMMAND, item, 0); }
    // Records the messages the panel's window gets, through a thread hook.
    static LRESULT CALLBACK Spy(int code, WPARAM wp, LPARAM lp) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && m->message == WM_SYSCOMMAND) spied().push_back(m->wParam);
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static std::vector<WPARAM>& spied() {
        static std::vector<WPARAM> list;
        return list;
    }
};

constexpr int kStatusTabX = 60, kStatusTabY = 69, kSettingsTabX = 60, kSettingsTabY = 107;

struct FilterCall {
    HWND window;
    UINT message;
    DWORD action;
    void* status;
};
std::vector<FilterCall> g_filterCalls;
BOOL WINAPI RecordFilter(HWND window, UINT message, DWORD action, void* status) {
    g_filterCalls.push_back({window, message, action, status});
    return TRUE;
}
BOOL WINAPI AcceptShell(DWORD, NOTIFYICONDATAA*) {
    return TRUE;
}

}  // namespace

TEST_F(Window, TabClicksSwitchPagesCaptionsAndPictures) {
    Click(kSettingsTabX, kSettingsTabY);
    EXPECT_EQ(panel->SettingsTabActive, 1);
    ExpectStatusPage(false);
    ExpectTab(14, 52, resources::kStatusTabNormal, "settings selected");
    ExpectTab(14, 90, resources::kSettingsTabSelected, "settings selected");

    Click(kSettingsTabX, kSettingsTabY);  // again: redrawn, nothing else changes
    EXPECT_EQ(panel->SettingsTabActive, 1);
    ExpectStatusPage(false);

    Click(kStatusTabX, kStatusTabY);
    EXPECT_EQ(panel->SettingsTabActive, 0);
    ExpectStatusPage(true);
    ExpectTab(14, 52, resources::kStatusTabSelected, "status selected");
    ExpectTab(14, 90, resources::kSettingsTabNormal, "status selected");
}

TEST_F(Window, OnlyTheTabNotSelectedShowsThePointer) {
    panel->Show();
    Move(kStatusTabX, kStatusTabY);  // the selected one
    ExpectTab(14, 52, resources::kStatusTabSelected, "over the selected tab");
    Move(kSettingsTabX, kSettingsTabY);
    ExpectTab(14, 90, resources::kSettingsTabHover, "over the other tab");
    ExpectTab(14, 52, resources::kStatusTabSelected, "left the selected tab");
    Move(300, 150);
    ExpectTab(14, 90, resources::kSettingsTabNormal, "left the other tab");

    Click(kSettingsTabX, kSettingsTabY);
    Move(kStatusTabX, kStatusTabY);
    ExpectTab(14, 52, resources::kStatusTabHover, "status tab now the other one");
    Move(300, 150);
    ExpectTab(14, 52, resources::kStatusTabNormal, "and left");
}

TEST_F(Window, APressOnTheDisabledLabelReachesTheBackgroundAndMoves) {
    TheWorld().settings = 0;
    WireLikeStartUp();
    panel->imgSettingsTabClick(*panel);
    panel->Show();
    ASSERT_FALSE(panel->lbAutomaticDisable.Enabled());
    TheWorld().log.clear();  // the show's refresh
    spied().clear();
    const HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &Spy, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    // The system's move loop runs until a button-up: it waits in the queue already.
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(200, 78));
    Press(200, 78);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(spied(), std::vector<WPARAM>{0xF012});
    EXPECT_FALSE(panel->chkAutomaticDisable.Checked());
    EXPECT_TRUE(TheWorld().log.empty());

    // Every button on the background or a caption starts a move as well.
    spied().clear();
    const HHOOK again = SetWindowsHookExA(WH_CALLWNDPROC, &Spy, nullptr, GetCurrentThreadId());
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(300, 20));
    Press(300, 20, WM_RBUTTONDOWN);  // the settings caption
    UnhookWindowsHookEx(again);
    EXPECT_EQ(spied(), std::vector<WPARAM>{0xF012});
}

TEST_F(Window, CloseLabelAndSystemCommandsHideKeepingTabAndPlace) {
    WireLikeStartUp();
    panel->WindowShownOnce = true;
    panel->imgSettingsTabClick(*panel);
    panel->Show();
    RECT centred{};
    GetWindowRect(hwnd, &centred);
    EXPECT_EQ(centred.left, (GetSystemMetrics(SM_CXSCREEN) - 595) / 2);
    SetWindowPos(hwnd, nullptr, 17, 23, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    Click(572, 23);  // btnClose
    EXPECT_FALSE(IsWindowVisible(hwnd));
    Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(IsWindowVisible(hwnd));
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 17);
    EXPECT_EQ(r.top, 23);
    EXPECT_EQ(panel->SettingsTabActive, 1);
    ExpectStatusPage(false);

    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));
    panel->Show();
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(Window, OtherWindowCommandsLeaveThePanelVisible) {
    panel->Show();
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "restore";
    // A move as from the caption: the system's move loop ends at the button's release.
    PostMessageA(hwnd, WM_LBUTTONUP, 0, 0);
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "move";
    // The low four bits are the system's own: a minimise with them set still hides.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(Window, TrayLeftButtonShowsAndRefreshesOnlyFromHidden) {
    WireLikeStartUp();
    panel->WindowShownOnce = true;
    Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(TheWorld().log, (Log{"Refresh(false)", "Refresh(false)"})) << "show rule, FormShow";
    TheWorld().log.clear();
    Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(TheWorld().log.empty()) << "already visible: no refresh";
}

TEST_F(Window, TheWindowCarriesTheProgramsIconsFromItsFirstShow) {
    // Until then none is made; after it the taskbar button and the task switcher show the
    // program's own icon at the system's two sizes, not the system's default one.
    EXPECT_EQ(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    WireLikeStartUp();
    panel->WindowShownOnce = true;
    Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(IsWindowVisible(hwnd));
    for (const auto& [kind, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const auto icon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, kind, 0));
        ASSERT_NE(icon, nullptr) << "icon kind " << kind;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        const win32::UniqueBitmap colourBits(info.hbmColor), maskBits(info.hbmMask);
        BITMAP colour{};
        GetObjectA(colourBits.get(), sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, GetSystemMetrics(metric)) << "icon kind " << kind;
    }
}

TEST_F(Window, OtherTrayMessagesAreIgnored) {
    WireLikeStartUp();
    for (UINT m : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONDOWN})
        Tray(m);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_FALSE(panel->WindowShownOnce);
    EXPECT_TRUE(TheWorld().log.empty());
}

TEST_F(Window, RightButtonPopsTheMenuUpAndPostsANullMessage) {
    WireLikeStartUp();
    bool menuSeen = false;
    WhileInLoop([&] {
        const HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return false;
        menuSeen = true;
        EndMenu();
        return true;
    });
    Tray(WM_RBUTTONDOWN);
    EXPECT_TRUE(menuSeen);
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, hwnd, WM_NULL, WM_NULL, PM_REMOVE));
    EXPECT_FALSE(IsWindowVisible(hwnd)) << "choosing nothing changes nothing";
    EXPECT_TRUE(TheWorld().log.empty());
}

TEST_F(Window, TheMenuChoiceRunsAfterTheMenuClosedAndTheNullMessage) {
    WireLikeStartUp();
    panel->WindowShownOnce = true;  // a plain show, so that the handler returns
    ChooseInOpenMenu(2);            // Korvalen settings
    Tray(WM_RBUTTONDOWN);
    // The right-button handler has returned: the menu is gone and the null message posted,
    // and the chosen item has not run yet.
    EXPECT_FALSE(MenuOpen());
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(panel->SettingsTabActive, 0);
    EXPECT_TRUE(TheWorld().log.empty());
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, hwnd, WM_NULL, WM_NULL, PM_NOREMOVE));
    // The loop then delivers the choice as a message.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(hwnd) != FALSE; }));
    EXPECT_EQ(panel->SettingsTabActive, 1);
    EXPECT_EQ(TheWorld().log, (Log{"Refresh(false)", "Refresh(false)"}));
}

TEST_F(Window, AFirstModalShowFromTheMenuRunsAfterTheNullMessage) {
    WireLikeStartUp();
    bool keysSent = false;
    bool trayReturned = false;
    std::optional<bool> modalAfterTheTrayHandler;
    WhileInLoop([&] {
        if (!keysSent) {
            const HWND menu = FindWindowA("#32768", nullptr);
            if (!menu || !IsWindowVisible(menu)) return false;
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);  // Korvalen status
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            keysSent = true;
            return false;
        }
        if (!panel->Modal() || !IsWindowVisible(hwnd)) return false;
        modalAfterTheTrayHandler = trayReturned;
        panel->TrayMenu()->Choose(4);  // Exit
        return true;
    });
    Tray(WM_RBUTTONDOWN);
    trayReturned = true;
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, hwnd, WM_NULL, WM_NULL, PM_NOREMOVE)) << "posted already";
    // The main loop's part: the choice is dispatched, and the modal show runs in there.
    if (PeekMessageA(&m, hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) DispatchMessageA(&m);
    ASSERT_TRUE(modalAfterTheTrayHandler.has_value());
    EXPECT_TRUE(*modalAfterTheTrayHandler);
    EXPECT_TRUE(panel->WindowShownOnce);
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, MenuCommandsSelectTheirTabShowAndExit) {
    WireLikeStartUp();
    panel->WindowShownOnce = true;
    MenuCommand(2);  // Korvalen settings
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(panel->SettingsTabActive, 1);
    ExpectStatusPage(false);
    MenuCommand(1);  // Korvalen status
    EXPECT_EQ(panel->SettingsTabActive, 0);
    ExpectStatusPage(true);
    panel->Hide();
    Tray(WM_LBUTTONDOWN);
    EXPECT_EQ(panel->SettingsTabActive, 0) << "the left button keeps the tab";
    MenuCommand(3);  // the separator does nothing
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_FALSE(app.Terminating());
    MenuCommand(4);  // Exit
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(app.Terminating());
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, FirstShowIsModalAndLaterShowsArePlain) {
    WireLikeStartUp();
    bool sawModal = false;
    bool plainShowReturned = false;
    int step = 0;
    WhileInLoop([&] {
        switch (step++) {
            case 0:
                sawModal = panel->Modal() && IsWindowVisible(hwnd);
                Click(572, 23);  // hidden, the modal loop goes on
                return false;
            case 1:
                EXPECT_FALSE(IsWindowVisible(hwnd));
                EXPECT_TRUE(panel->Modal());
                Tray(WM_LBUTTONDOWN);  // a plain show, returns at once
                plainShowReturned = IsWindowVisible(hwnd) != FALSE;
                return false;
            default:
                panel->TrayMenu()->Choose(4);  // Exit
                return true;
        }
    });
    panel->TrayMenu()->Choose(2);  // first show from the settings item
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(plainShowReturned);
    EXPECT_TRUE(panel->WindowShownOnce);
    EXPECT_EQ(panel->SettingsTabActive, 1);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(app.Terminating());
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, TheHookHidesOnAnySystemCommandInsideTheModalLoop) {
    WireLikeStartUp();
    int step = 0;
    bool hidden = false;
    WhileInLoop([&] {
        if (step++ == 0) {
            PostMessageA(app.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
            return false;
        }
        hidden = !IsWindowVisible(hwnd) && panel->Modal();
        panel->OnExit(*panel);
        return true;
    });
    Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(hidden);
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, ExitBeforeAnyShowPostsOneQuitAndEnds) {
    WireLikeStartUp();
    panel->OnExit(*panel);
    EXPECT_TRUE(app.Terminating());
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, ExitWhileHiddenInsideTheModalLoopEndsIt) {
    WireLikeStartUp();
    int step = 0;
    WhileInLoop([&] {
        if (step++ == 0) {
            panel->Hide();
            return false;
        }
        panel->TrayMenu()->Choose(4);
        return true;
    });
    Tray(WM_LBUTTONDOWN);  // returns only when the modal loop ends
    EXPECT_TRUE(app.Terminating());
    EXPECT_EQ(panel->ModalResult(), toolkit::kModalResultCancel);
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, ExitOutsideAModalLoopHidesAShownPanel) {
    WireLikeStartUp();
    panel->WindowShownOnce = true;
    panel->Show();
    panel->OnExit(*panel);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(app.Terminating());
    EXPECT_EQ(QuitMessagesQueued(), 1);
}

TEST_F(Window, AQuitMessageInsideTheModalLoopEndsIt) {
    WireLikeStartUp();
    WhileInLoop([&] {
        PostMessageA(app.Handle(), WM_QUIT, 0, 0);
        return true;
    });
    Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(app.Terminating());
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(QuitMessagesQueued(), 0) << "the modal loop took it";
}

TEST_F(Window, TaskbarCreatedAddsTheIconAgainWithoutTheBalloon) {
    WireLikeStartUp();  // its first refresh showed a balloon
    ASSERT_EQ(Balloons().size(), 1u);
    TheWorld().shell.clear();
    SendMessageA(hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    const auto& shell = TheWorld().shell;
    ASSERT_EQ(shell.size(), 2u);
    EXPECT_EQ(shell[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(shell[1].data.uFlags, 7u);
    EXPECT_EQ(shell[1].data.hWnd, hwnd);
    EXPECT_EQ(shell[1].data.hIcon, panel->TrayIcon());
    EXPECT_EQ(shell[1].data.cbSize, ui::kTrayIconDataSize);

    // A shell that still holds the icon refuses the add: the icon is modified instead.
    TheWorld().shell.clear();
    TheWorld().shellAddFails = true;
    SendMessageA(hwnd, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(shell.size(), 3u);
    EXPECT_EQ(shell[2].message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(shell[2].data.uFlags, 7u);

    // A later balloon still shows.
    panel->ShowBalloon("Korvalen", "again", 1);
    EXPECT_EQ(shell.back().data.uFlags, 7u | NIF_INFO);
}

TEST_F(Window, TaskbarCreatedIsLetThroughTheMessageFilterOfThePanelsWindow) {
    panel.reset();  // this test's panel is made with the filter under test
    g_filterCalls.clear();
    auto filtered = toolkit::MakeForm<ui::TfrmControlPanel>(app, &AcceptShell, &RecordFilter);
    ASSERT_EQ(g_filterCalls.size(), 1u);
    EXPECT_EQ(g_filterCalls[0].window, filtered->Handle());
    EXPECT_EQ(g_filterCalls[0].message, RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_EQ(g_filterCalls[0].action, 1u);  // MSGFLT_ALLOW
    EXPECT_EQ(g_filterCalls[0].status, nullptr);
    filtered.reset();
    // A system without the filter: the panel is made all the same.
    auto unfiltered = toolkit::MakeForm<ui::TfrmControlPanel>(app, &AcceptShell, nullptr);
    EXPECT_TRUE(IsWindow(unfiltered->Handle()));
}

TEST_F(Window, TaskbarCreatedArrivesByBroadcast) {
    TheWorld().shell.clear();
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([] {
        for (const auto& c : TheWorld().shell)
            if (c.message == NIM_ADD) return true;
        return false;
    }));
}

TEST_F(Window, HoverImageCallsOnlyWhatIsBoundWithItselfAsSender) {
    std::vector<std::string> calls;
    auto& tab = panel->imgSettingsTab;
    tab.OnMouseOver = {};
    tab.OnMouseOut = {};
    panel->Show();
    Move(kSettingsTabX, kSettingsTabY);
    Move(300, 150);
    ExpectTab(14, 90, resources::kSettingsTabNormal, "nothing bound: no effect");

    tab.OnMouseOver = [&](toolkit::Object& sender) {
        calls.push_back(&sender == &tab ? "over:self" : "over:other");
    };
    Move(kSettingsTabX, kSettingsTabY);
    Move(300, 150);
    EXPECT_EQ(calls, Log{"over:self"}) << "leaving calls nothing while OnMouseOut is empty";

    // From one tab straight to the other: the first is left before the second is entered.
    panel->imgStatusTab.OnMouseOut = [&](toolkit::Object&) { calls.push_back("out:status"); };
    calls.clear();
    Move(kStatusTabX, kStatusTabY);
    Move(kSettingsTabX, kSettingsTabY);
    EXPECT_EQ(calls, (Log{"out:status", "over:self"}));
}
