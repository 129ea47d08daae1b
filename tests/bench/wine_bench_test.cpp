#include "tests/support/wine_test_support.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace {

constexpr char kClassName[] = "KorvalenBenchProbe";
constexpr COLORREF kFill = RGB(0x12, 0x34, 0x56);

void Paint(HWND hwnd, HDC dc) {
    RECT r{};
    GetClientRect(hwnd, &r);
    win32::UniqueBrush brush(CreateSolidBrush(kFill));
    FillRect(dc, &r, brush.get());
    RECT corner{0, 0, 4, 4};
    FillRect(dc, &corner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            win32::PaintDc dc(hwnd);
            Paint(hwnd, dc.get());
            return 0;
        }
        case WM_PRINTCLIENT: Paint(hwnd, reinterpret_cast<HDC>(wp)); return 0;
        case WM_ERASEBKGND: return 1;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

TEST(WineBench, RunsUnderWineInTheBuiltArchitecture) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    ASSERT_NE(ntdll, nullptr);
    EXPECT_NE(GetProcAddress(ntdll, "wine_get_version"), nullptr) << "not running under Wine";
#if defined(_WIN64)
    EXPECT_EQ(sizeof(void*), 8u);
#else
    EXPECT_EQ(sizeof(void*), 4u);
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64) << "the i686 build should run as a 32-bit process on a 64-bit prefix";
#endif
}

TEST(WineBench, FindsItsWindowAndReadsThePixelsItPainted) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    ASSERT_NE(RegisterClassA(&wc), 0);
    win32::UniqueWindow window(CreateWindowExA(0, kClassName, "Bench probe", WS_POPUP, 10, 10, 64,
                                               32, nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(window);
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);

    HWND found = WaitForWindow(kClassName, "Bench probe");
    EXPECT_EQ(found, window.get());
    EXPECT_EQ(WindowText(found), "Bench probe");
    EXPECT_EQ(ClientPixel(found, 30, 20), 0x123456u);
    EXPECT_EQ(ClientPixel(found, 1, 1), 0xFFFFFFu);
    EXPECT_EQ(ClientPixel(found, 64, 0), std::nullopt) << "outside the client area";
}

TEST(WineBench, ChildProcessExitCodeComesBack) {
    const auto code = RunProgram("cmd.exe /c exit 7");
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 7u);
}
