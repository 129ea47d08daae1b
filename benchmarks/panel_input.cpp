#include "benchmarks/panel_input.h"

#include "toolkit/paint_report.h"

namespace bench {

void PostClick(HWND hwnd, int x, int y) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right > 0 ? client.right : 595;
    const LPARAM where = MAKELPARAM(MulDiv(x, width, 595), MulDiv(y, width, 595));
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, where);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, where);
}

bool SendScaleChange(HWND hwnd, HANDLE process, int dpi) {
    RECT now{};
    GetWindowRect(hwnd, &now);
    const RECT suggested{now.left, now.top, now.left + MulDiv(595, dpi, 96),
                         now.top + MulDiv(239, dpi, 96)};
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (!remote) return false;
    SIZE_T written = 0;
    bool ok = WriteProcessMemory(process, remote, &suggested, sizeof suggested, &written) != FALSE;
    DWORD_PTR result = 0;
    ok = ok && SendMessageTimeoutA(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                                   reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 10000,
                                   &result) != 0;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return ok;
}

PaintReporter::PaintReporter()
    : window_(CreateWindowExA(0, "STATIC", "paint-reporter", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr)) {}

void PaintReporter::Request(HWND hwnd) const {
    MSG stale{};
    while (
        PeekMessageA(&stale, Handle(), toolkit::kPaintReport, toolkit::kPaintReport, PM_REMOVE)) {
    }
    PostMessageA(hwnd, toolkit::kPaintReportRequest, reinterpret_cast<WPARAM>(Handle()), 0);
}

std::optional<DWORD> PaintReporter::Wait(DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    MSG msg{};
    while (!PeekMessageA(&msg, Handle(), toolkit::kPaintReport, toolkit::kPaintReport, PM_REMOVE)) {
        if (GetTickCount() - start > timeoutMs) return std::nullopt;
        Sleep(1);
    }
    return static_cast<DWORD>(msg.lParam);
}

}  // namespace bench
