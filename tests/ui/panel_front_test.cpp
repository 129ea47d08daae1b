// Which window is in front when the tray is used: the hidden panel before its menu opens,
// and the application's last active popup at a later show.
#include "tests/ui/panel_fixture.h"
#include "ui/form_message_box.h"
#include "win32/unique_win.h"

using namespace paneltest;

namespace {

class Front : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        // A window of no concern to the panel holds the foreground, as another program's
        // would.
        other_.reset(CreateWindowExA(0, "STATIC", "elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40,
                                     nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(other_);
        TakeTheFront();
    }
    void TearDown() override {
        other_.reset();
        PanelTest::TearDown();
    }
    void TakeTheFront() {
        SetForegroundWindow(other_.get());
        EXPECT_EQ(GetForegroundWindow(), other_.get());
    }
    // True when the panel lies below the window in the z-order.
    bool PanelBelow(HWND window) const {
        for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == hwnd) return true;
        return false;
    }
    // A tray callback as the shell sends it.
    void Tray(UINT mouseMessage) { SendMessageA(hwnd, 0x0401, 1, mouseMessage); }

private:
    win32::UniqueWindow other_;
};

}  // namespace

// Without it the menu would not close when the user clicks elsewhere.
TEST_F(Front, TheHiddenPanelIsTheForegroundWindowWhileTheTrayMenuIsOpen) {
    WireLikeStartUp();
    bool menuSeen = false;
    HWND foreground = nullptr;
    WhileInLoop([&] {
        const HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return false;
        menuSeen = true;
        foreground = GetForegroundWindow();
        EndMenu();
        return true;
    });
    Tray(WM_RBUTTONDOWN);
    ASSERT_TRUE(menuSeen);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(foreground, hwnd);
}

TEST_F(Front, ALaterShowBringsTheLastActivePopupToTheFront) {
    WireLikeStartUp();
    panel->WindowShownOnce = true;  // later shows are plain
    Tray(WM_LBUTTONDOWN);
    ASSERT_TRUE(IsWindowVisible(hwnd));
    HWND message = nullptr;
    HWND foreground = nullptr;
    bool stillOnTop = false;
    int step = 0;
    WhileInLoop([&] {
        message = FindWindowA("TfrmMessageBox", nullptr);
        if (!message || !IsWindowVisible(message)) return false;
        switch (step++) {
            case 0:
                TakeTheFront();  // the user went elsewhere while the message was up
                return false;
            default:
                Tray(WM_LBUTTONDOWN);
                foreground = GetForegroundWindow();
                stillOnTop = !IsWindowVisible(hwnd) || PanelBelow(message);
                SendMessageA(message, WM_KEYDOWN, VK_ESCAPE, 0);  // its OK
                return true;
        }
    });
    ui::ShowMessageWindow(&app, "Hypervisor can not be enabled. Shutdown all Virtual Machines.");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(foreground, message) << "the message, not the panel it keeps disabled";
    EXPECT_TRUE(stillOnTop) << "the disabled panel is not put over the message";
    EXPECT_TRUE(IsWindowVisible(hwnd));
}
