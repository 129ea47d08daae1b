// The panel and the message window on two monitors side by side, as scripts/two-monitors
// gives them (800x600 at 0,0, the primary, and 640x480 at 800,0): a panel off every
// monitor comes back onto the nearest one, a panel across both goes wholly onto the one
// that holds most of it, one that fits on the second stays to the pixel, and a message
// window is centred on the monitor of the panel the user works in.
#include "tests/ui/message_window_watch.h"
#include "tests/ui/panel_fixture.h"
#include "ui/form_message_box.h"

#include <functional>
#include <string>
#include <vector>

using namespace paneltest;

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    reinterpret_cast<std::vector<MONITORINFO>*>(list)->push_back(info);
    return TRUE;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class TwoMonitors : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors_));
        ASSERT_EQ(monitors_.size(), 2u) << "run through scripts/two-monitors";
        if (!(monitors_[0].dwFlags & MONITORINFOF_PRIMARY)) std::swap(monitors_[0], monitors_[1]);
        // A monitor's work area lies within it. Wine 10 gives the second Xinerama screen
        // the primary's rectangle (0,0-800,600) with the right work area (800,0-1440,480),
        // so that the system's own monitor lookups put every window on the primary
        // (measured; Wine 8 gives 800,0-1440,480 for both).
        if (!Inside(monitors_[1].rcWork, monitors_[1].rcMonitor) &&
            testsupport::WineMajorVersion() >= 10)
            GTEST_SKIP() << "Wine 10 places the second monitor at "
                         << Describe(monitors_[1].rcMonitor) << " with its work area at "
                         << Describe(monitors_[1].rcWork);
        ASSERT_EQ(monitors_[1].rcMonitor.left, monitors_[0].rcMonitor.right)
            << "the second monitor right of the primary: " << Describe(monitors_[1].rcMonitor);
        panel->Show();
        const RECT r = Box();
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        panel->Hide();
    }
    [[nodiscard]] const RECT& Primary() const { return monitors_[0].rcWork; }
    [[nodiscard]] const RECT& Second() const { return monitors_[1].rcWork; }
    // Where the panel lies after a show from the given place, hidden again.
    RECT ShownFrom(int left, int top) {
        MoveTo(left, top);
        panel->Show();
        const RECT r = Box();
        panel->Hide();
        EXPECT_EQ(r.right - r.left, width_) << "the size is kept";
        EXPECT_EQ(r.bottom - r.top, height_) << "the size is kept";
        return r;
    }
    // The message window's place while it is up, over a panel shown at the given place.
    RECT MessageOver(int left, int top) {
        MoveTo(left, top);
        panel->Show();
        SetForegroundWindow(hwnd);
        SetActiveWindow(hwnd);
        RECT shown{};
        testsupport::OnEachMessageWindow answer([&](HWND box) {
            GetWindowRect(box, &shown);
            PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        });
        ui::ShowMessageWindow(&app, "Hypervisor can not be enabled.");
        panel->Hide();
        return shown;
    }

    std::vector<MONITORINFO> monitors_;
    int width_ = 0;
    int height_ = 0;
};

bool CentredOn(const RECT& box, const RECT& monitor) {
    const int dx = (box.left + box.right) - (monitor.left + monitor.right);
    const int dy = (box.top + box.bottom) - (monitor.top + monitor.bottom);
    return dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2;  // halves round either way
}

}  // namespace

TEST_F(TwoMonitors, APanelOffEveryMonitorComesBackOntoTheNearestOne) {
    const RECT& second = Second();
    struct Case {
        POINT from;
        const RECT& nearest;
        const char* where;
    };
    const Case cases[] = {
        {{second.right + 500, 100}, second, "right of the second"},
        // Below the second and near its right end; nearer its left end, the taller primary
        // is the nearer monitor.
        {{second.right - 100, second.bottom + 50}, second, "below the second"},
        {{second.right - 100, -1000}, second, "above the second's right end"},
        {{-width_ - 2000, 100}, Primary(), "left of the primary"},
        {{100, Primary().bottom + 300}, Primary(), "below the primary"},
    };
    for (const Case& c : cases) {
        const RECT r = ShownFrom(c.from.x, c.from.y);
        EXPECT_TRUE(Inside(r, c.nearest)) << c.where << ": came to " << Describe(r);
    }
}

TEST_F(TwoMonitors, APanelAcrossBothGoesWhollyOntoTheOneThatHoldsMostOfIt) {
    const int seam = Second().left;
    // 200 pixels on the primary, the rest on the second: onto the second.
    RECT r = ShownFrom(seam - 200, 50);
    EXPECT_TRUE(Inside(r, Second())) << Describe(r);
    EXPECT_EQ(r.top, 50) << "only as far as it must";
    // Most of it on the primary: onto the primary.
    r = ShownFrom(seam - width_ + 150, 50);
    EXPECT_TRUE(Inside(r, Primary())) << Describe(r);
    EXPECT_EQ(r.right, seam) << "only as far as it must";
}

TEST_F(TwoMonitors, APanelThatFitsOnTheSecondMonitorStaysToThePixel) {
    for (const POINT& p : {POINT{Second().left, Second().top}, POINT{Second().left + 17, 23},
                           POINT{Second().right - width_, Second().bottom - height_}}) {
        const RECT r = ShownFrom(p.x, p.y);
        EXPECT_EQ(r.left, p.x);
        EXPECT_EQ(r.top, p.y);
    }
}

TEST_F(TwoMonitors, AMessageWindowIsCentredOnTheMonitorOfThePanel) {
    WireLikeStartUp();
    RECT shown = MessageOver(Second().left + 10, 20);
    EXPECT_TRUE(CentredOn(shown, monitors_[1].rcMonitor))
        << "over a panel on the second monitor: " << Describe(shown);
    shown = MessageOver(30, 40);
    EXPECT_TRUE(CentredOn(shown, monitors_[0].rcMonitor))
        << "over a panel on the primary: " << Describe(shown);
}
