// ui_contrast_shots OUTDIR: the control panel (Status page, all enabled) and the message of
// a refused enable, drawn as with the system's high contrast on in a black scheme (white
// and yellow text), at 100 % and 150 %, as BMP files OUTDIR/panel-contrast-100.bmp,
// message-contrast-100.bmp and the same with -150.
// Wine answers no high contrast, so the program's seam turns it on; the scheme's colours
// are set as system colours for the run and put back after it. For scripts/demo.
#include "status/status_decision.h"
#include "toolkit/application.h"
#include "toolkit/pixels.h"
#include "toolkit/plain_look.h"
#include "toolkit/render.h"
#include "ui/form_control_panel.h"
#include "ui/form_message_box.h"

#include <array>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace {

// The panel's icon stays out of the desktop's notification area.
BOOL WINAPI NoShell(DWORD, PNOTIFYICONDATAA) {
    return TRUE;
}

constexpr std::array<int, 7> kElements{COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                       COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT,
                                       COLOR_GRAYTEXT};
// Windows' black high-contrast scheme: white window text, yellow button text.
constexpr std::array<COLORREF, 7> kScheme{RGB(0, 0, 0),    RGB(255, 255, 255), RGB(26, 235, 255),
                                          RGB(0, 0, 0),    RGB(0, 0, 0),       RGB(255, 255, 0),
                                          RGB(63, 242, 63)};

bool Save(const toolkit::Pixels& pixels, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const std::string bmp = toolkit::EncodeBmp(pixels);
    out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
    return static_cast<bool>(out);
}

bool Shots(const std::string& dir) {
    toolkit::Application app("Korvalen control panel");
    auto panel = toolkit::MakeForm<ui::TfrmControlPanel>(app, &NoShell);
    status::PanelStatus all;
    all.caption = "Hypervisor enabled";
    all.description = "Hypervisor works properly";
    panel->ShowStatus(all);
    panel->LoadControlStates();  // all enabled: Enable unavailable, Disable offered
    auto box = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    box->lbMessage.SetText("Hypervisor can not be enabled. Shutdown all Virtual Machines.");
    if (!Save(toolkit::RenderClient(panel->Handle()), dir + "/panel-contrast-100.bmp") ||
        !Save(toolkit::RenderClient(box->Handle()), dir + "/message-contrast-100.bmp"))
        return false;
    // 150 %, as the system tells a window that its monitor's scale changed.
    for (const HWND window : {panel->Handle(), box->Handle()}) {
        RECT r{};
        GetWindowRect(window, &r);
        SendMessageA(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                     reinterpret_cast<LPARAM>(&r));
    }
    return Save(toolkit::RenderClient(panel->Handle()), dir + "/panel-contrast-150.bmp") &&
           Save(toolkit::RenderClient(box->Handle()), dir + "/message-contrast-150.bmp");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_contrast_shots OUTDIR\n");
        return 2;
    }
    std::array<COLORREF, 7> saved{};
    for (std::size_t i = 0; i < kElements.size(); ++i) saved[i] = GetSysColor(kElements[i]);
    SetSysColors(static_cast<int>(kElements.size()), kElements.data(), kScheme.data());
    toolkit::SetHighContrastForTest(true);
    bool ok = false;
    try {
        ok = Shots(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    }
    SetSysColors(static_cast<int>(kElements.size()), kElements.data(), saved.data());
    return ok ? 0 : 1;
}
