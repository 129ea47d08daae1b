// A panel whose remembered place lies on no monitor (a laptop off its dock) comes back
// wholly visible at its next show, and when the displays change while it is shown; one
// that fits where it is stays to the pixel.
#include "tests/ui/panel_fixture.h"

using namespace paneltest;

namespace {

class PanelPlace : public PanelTest {
protected:
    // The work area of the monitor the box is on, or nearest to.
    static RECT WorkAreaNear(const RECT& box) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoA(MonitorFromRect(&box, MONITOR_DEFAULTTONEAREST), &info);
        return info.rcWork;
    }
};

}  // namespace

TEST_F(PanelPlace, APanelOffEveryMonitorComesBackWhollyVisibleAtItsSizeAtTheNextShow) {
    panel->Show();
    const RECT shown = Box();
    const int width = shown.right - shown.left;
    const int height = shown.bottom - shown.top;
    panel->Hide();
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const POINT places[] = {
        {-width - 4000, 100},           // left
        {screenWidth + 4000, 100},      // right
        {100, screenHeight + 4000},     // below
        {-width - 500, -height - 500},  // a negative place
        {screenWidth - width / 2, 50},  // half off the right edge
    };
    for (const POINT& p : places) {
        MoveTo(p.x, p.y);
        panel->Show();
        const RECT r = Box();
        EXPECT_TRUE(Inside(r, WorkAreaNear(r)))
            << p.x << "," << p.y << " came to " << r.left << "," << r.top;
        EXPECT_EQ(r.right - r.left, width);
        EXPECT_EQ(r.bottom - r.top, height);
        panel->Hide();
    }
}

TEST_F(PanelPlace, APanelThatFitsStaysToThePixel) {
    panel->Show();
    panel->Hide();
    for (const POINT& p : {POINT{0, 0}, POINT{37, 41}, POINT{101, 3}}) {
        MoveTo(p.x, p.y);
        panel->Show();
        const RECT r = Box();
        EXPECT_EQ(r.left, p.x);
        EXPECT_EQ(r.top, p.y);
        panel->Hide();
    }
}

TEST_F(PanelPlace, AChangeOfDisplaysBringsAShownPanelBackAndLeavesAHiddenOneForItsShow) {
    panel->Show();
    MoveTo(-3000, -3000);
    SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    RECT r = Box();
    EXPECT_TRUE(Inside(r, WorkAreaNear(r))) << r.left << "," << r.top;
    MoveTo(23, 29);
    SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    r = Box();
    EXPECT_EQ(r.left, 23);
    EXPECT_EQ(r.top, 29);
    panel->Hide();
    MoveTo(-3000, 40);
    SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    EXPECT_EQ(Box().left, -3000) << "a hidden panel is placed at its show";
}
