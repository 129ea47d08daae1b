// The floor for any program of this kind: a window class, a hidden window, one tray icon
// and a message loop. The benchmarks measure the control panel against it. A left press
// on the icon shows the window (the panel's size, filled with one colour), a system close
// hides it again; it answers the paint report (toolkit/paint_report.h) as the panel does,
// so that a show is timed alike for both.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "toolkit/paint_report.h"

namespace {

constexpr char kClassName[] = "KorvalenFloorTray";
constexpr UINT kTrayCallback = WM_USER + 1;
HWND reportTo = nullptr;

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    RECT client{};
    GetClientRect(hwnd, &client);
    const bool whole = ps.rcPaint.left <= 0 && ps.rcPaint.top <= 0 &&
                       ps.rcPaint.right >= client.right && ps.rcPaint.bottom >= client.bottom;
    EndPaint(hwnd, &ps);
    if (!reportTo || !whole) return;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    PostMessageA(reportTo, toolkit::kPaintReport, 0,
                 static_cast<LPARAM>(static_cast<DWORD>(now.QuadPart)));
    reportTo = nullptr;
}

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kTrayCallback:
            if (lp == WM_LBUTTONDOWN) {
                ShowWindow(hwnd, SW_SHOW);
                SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_CLOSE) {
                ShowWindow(hwnd, SW_HIDE);
                return 0;
            }
            break;
        case WM_PAINT: Paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;
        case toolkit::kPaintReportRequest: reportTo = reinterpret_cast<HWND>(wp); return 0;
        default: break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;
    // The panel's size at the screen's scale, centred. The small-icon size follows the
    // scale (16 px at 96 DPI): asked of USER, the floor imports no more libraries than
    // before it had a window to show.
    const int dpi = GetSystemMetrics(SM_CXSMICON) * 6;
    const int width = MulDiv(595, dpi, 96);
    const int height = MulDiv(239, dpi, 96);
    HWND hwnd = CreateWindowExA(0, kClassName, "Floor tray", WS_POPUP,
                                (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;

    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = kTrayCallback;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, "Floor tray", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &icon);
    DestroyWindow(hwnd);
    return 0;
}
