// The floor for any program of this kind: a window class, a hidden window, one tray icon
// and a message loop. The benchmarks measure the control panel against it.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

namespace {

constexpr char kClassName[] = "KorvalenFloorTray";

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, kClassName, "Floor tray", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
    if (!hwnd) return 1;

    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_USER + 1;
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
