// The panel as its description builds it: window, components, fonts, the tray icon's
// record and menu. Every handler name resolves, or the fixture's MakeForm throws.
#include "resources/resource_names.h"
#include "tests/ui/panel_fixture.h"
#include "toolkit/description.h"

using namespace paneltest;
using Layout = PanelTest;

namespace {

void ExpectBounds(const toolkit::Component& c, int left, int top, int width, int height) {
    EXPECT_EQ(c.Left(), left) << c.Name();
    EXPECT_EQ(c.Top(), top) << c.Name();
    EXPECT_EQ(c.Width(), width) << c.Name();
    EXPECT_EQ(c.Height(), height) << c.Name();
}

toolkit::WindowDescription PanelDescription() {
    return toolkit::ParseDescription(
        toolkit::LoadDescriptionText(GetModuleHandleA(nullptr), "TFRMCONTROLPANEL"));
}

}  // namespace

TEST_F(Layout, WindowIsAHiddenBorderlessPanelKnownByClassAndTitle) {
    EXPECT_EQ(FindWindowA("TfrmControlPanel", "Korvalen status"), hwnd);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    RECT r{};
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 595);
    EXPECT_EQ(r.bottom - r.top, 239);
    EXPECT_TRUE(panel->DoubleBuffered()) << "switched on at creation";
    EXPECT_EQ(panel->RefreshStatusProc, nullptr);
    EXPECT_EQ(panel->GetSettingsProc, nullptr);
    EXPECT_EQ(panel->DriverResult, 0);
}

TEST_F(Layout, ComponentsHaveTheirPlacesSizesTextsAndStates) {
    auto& p = *panel;
    ExpectBounds(p.imgBackground, 0, 0, 595, 239);
    ExpectBounds(p.lbGeneralStatus, 120, 48, 457, 16);
    ExpectBounds(p.lbGeneralDescription, 120, 88, 457, 105);
    ExpectBounds(p.btnClose, 560, 12, 24, 22);
    ExpectBounds(p.imgStatusTab, 14, 52, 95, 34);
    ExpectBounds(p.imgSettingsTab, 14, 90, 95, 34);
    ExpectBounds(p.imgDisableButton, 224, 200, 86, 22);
    ExpectBounds(p.imgEnableButton, 120, 200, 86, 22);
    ExpectBounds(p.lbEnable, 120, 203, 86, 16);
    ExpectBounds(p.lbDisable, 224, 203, 86, 16);
    ExpectBounds(p.imgCaptionSettings, 160, 8, 389, 31);
    ExpectBounds(p.imgCaptionStatus, 160, 8, 389, 31);
    ExpectBounds(p.chkAutomaticDisable, 120, 72, 13, 13);
    ExpectBounds(p.chkAutostartUserCP, 120, 56, 13, 13);
    // Auto-sized to the 13-px bold "MS Sans Serif": one line 16 px high.
    EXPECT_EQ(p.lbAutomaticDisable.Left(), 140);
    EXPECT_EQ(p.lbAutomaticDisable.Top(), 71);
    EXPECT_EQ(p.lbAutomaticDisable.Height(), 16);
    EXPECT_EQ(p.lbAutomaticDisable.Width(), 351) << "the bitmap face's width in Wine";
    EXPECT_EQ(p.lbAutostartUserCP.Height(), 16);
    EXPECT_EQ(p.lbAutostartUserCP.Width(), 399);

    EXPECT_EQ(p.lbGeneralStatus.Text(), "Control panel error");
    EXPECT_EQ(p.lbGeneralDescription.Text(), "You should to reinstall Korvalen");
    EXPECT_EQ(p.btnClose.Text(), "X");
    EXPECT_EQ(p.lbEnable.Text(), "Enable");
    EXPECT_EQ(p.lbDisable.Text(), "Disable");
    EXPECT_EQ(p.lbAutostartUserCP.Text(),
              "Automatic run Korvalen control panel when Windows starts");
    EXPECT_EQ(p.lbAutomaticDisable.Text(), "Automatic disable Hypervisor when Windows starts");

    EXPECT_FALSE(p.chkAutomaticDisable.Enabled());
    EXPECT_FALSE(p.lbAutomaticDisable.Enabled());
    EXPECT_TRUE(p.chkAutostartUserCP.Enabled());
    EXPECT_FALSE(p.chkAutomaticDisable.Checked());
    EXPECT_FALSE(p.chkAutostartUserCP.Checked());
    EXPECT_TRUE(p.lbEnable.Enabled());
    EXPECT_TRUE(p.btnClose.HandCursor());
    EXPECT_TRUE(p.imgStatusTab.HandCursor());
    EXPECT_EQ(p.imglstButtons.Count(), 6);
    EXPECT_EQ(p.imglstButtons.ImageWidth(), 95);
    EXPECT_EQ(p.imglstButtons.ImageHeight(), 34);
}

TEST_F(Layout, FontsAreTheBoldFacesOfTheDescription) {
    const auto d = PanelDescription();
    EXPECT_EQ(d.font, (toolkit::FontDescription{"MS Sans Serif", 11, false,
                                                toolkit::Color::System(toolkit::kSysWindowText)}));
    const toolkit::FontDescription black13{"MS Sans Serif", 13, true, toolkit::Color::Rgb(0)};
    const toolkit::FontDescription text13{"MS Sans Serif", 13, true,
                                          toolkit::Color::System(toolkit::kSysWindowText)};
    EXPECT_EQ(d.Find("lbGeneralStatus")->font, black13);
    EXPECT_EQ(d.Find("lbGeneralDescription")->font, black13);
    EXPECT_EQ(d.Find("btnClose")->font,
              (toolkit::FontDescription{"MS Sans Serif", 19, true, toolkit::Color::Rgb(0)}));
    for (const char* name : {"lbAutomaticDisable", "lbAutostartUserCP", "lbEnable", "lbDisable"})
        EXPECT_EQ(d.Find(name)->font, text13) << name;
    EXPECT_TRUE(d.Find("btnClose")->verticalCenter);
    EXPECT_EQ(d.Find("lbEnable")->alignment, toolkit::Alignment::Center);
}

TEST_F(Layout, StartsOnTheStatusTabWithItsPictures) {
    EXPECT_EQ(panel->SettingsTabActive, 0);
    EXPECT_TRUE(panel->lbGeneralStatus.Visible());
    EXPECT_FALSE(panel->chkAutostartUserCP.Visible());
    EXPECT_FALSE(panel->lbAutomaticDisable.Visible());
    EXPECT_TRUE(panel->imgCaptionStatus.Visible());
    EXPECT_FALSE(panel->imgCaptionSettings.Visible());
    const POINT at = DifferingPixel(resources::kStatusTabSelected, resources::kStatusTabNormal);
    EXPECT_EQ(Pixel(14 + at.x, 52 + at.y),
              TabImagePixel(resources::kStatusTabSelected, at.x, at.y));
    const POINT s = DifferingPixel(resources::kSettingsTabNormal, resources::kSettingsTabSelected);
    EXPECT_EQ(Pixel(14 + s.x, 90 + s.y), TabImagePixel(resources::kSettingsTabNormal, s.x, s.y));
}

TEST_F(Layout, TraySetUpAddsTheIconWithItsRecordAndBuildsTheMenu) {
    const auto& shell = TheWorld().shell;
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].message, static_cast<DWORD>(NIM_ADD));
    const NOTIFYICONDATAA& d = shell[0].data;
    EXPECT_EQ(d.cbSize, ui::kTrayIconDataSize);
    EXPECT_EQ(d.hWnd, hwnd);
    EXPECT_EQ(d.uID, 1u);
    EXPECT_EQ(d.uFlags, 7u);
    EXPECT_EQ(d.uCallbackMessage, 0x0401u);
    EXPECT_EQ(std::string(d.szTip), "Korvalen Control Panel");
    for (size_t i = sizeof "Korvalen Control Panel"; i < sizeof d.szTip; ++i)
        ASSERT_EQ(d.szTip[i], 0) << i;
    ASSERT_NE(d.hIcon, nullptr);
    EXPECT_EQ(d.hIcon, panel->TrayIcon());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(d.hIcon, &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16) << "the sharp 16 x 16 image, not a stretched system size";
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    const toolkit::PopupMenu* menu = panel->TrayMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Count(), 4u);
    EXPECT_EQ(menu->Item(0).Caption(), "Korvalen status");
    EXPECT_EQ(menu->Item(1).Caption(), "Korvalen settings");
    EXPECT_EQ(menu->Item(2).Caption(), "-");
    EXPECT_EQ(menu->Item(3).Caption(), "Exit");
    EXPECT_EQ(GetMenuItemCount(menu->Handle()), 4);
}

namespace {
int g_systemCommands = 0;
LRESULT CALLBACK CountSystemCommands(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SYSCOMMAND) {
        ++g_systemCommands;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}
}  // namespace

TEST_F(Layout, DestructionRemovesTheIconAndTheHook) {
    // While the panel lives, its hook takes every system command of a modal loop.
    WNDCLASSA wc{};
    wc.lpfnWndProc = &CountSystemCommands;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SystemCommandCounter";
    RegisterClassA(&wc);
    win32::UniqueWindow other(CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10,
                                              nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(other);
    // Posts a system command to the other window and runs modal-loop steps until it is taken.
    auto throughAModalLoop = [&] {
        PostMessageA(other.get(), WM_SYSCOMMAND, SC_RESTORE, 0);
        MSG m;
        while (PeekMessageA(&m, other.get(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_NOREMOVE))
            if (!app.ProcessMessage()) break;
    };
    g_systemCommands = 0;
    throughAModalLoop();
    ASSERT_EQ(g_systemCommands, 0) << "the hook took it";

    panel.reset();
    const auto& shell = TheWorld().shell;
    ASSERT_FALSE(shell.empty());
    EXPECT_EQ(shell.back().message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(shell.back().data.uID, 1u);
    EXPECT_EQ(shell.back().data.cbSize, ui::kTrayIconDataSize);
    EXPECT_EQ(shell.back().data.hWnd, hwnd) << "the window the icon was added for";

    // Gone with the panel: a modal loop's system command is dispatched again.
    throughAModalLoop();
    EXPECT_EQ(g_systemCommands, 1);
}
