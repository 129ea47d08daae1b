#include "tests/support/wine_test_support.h"

#include "win32/unique_win.h"

#include <cstdlib>
#include <thread>
#include <vector>

namespace testsupport {

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::chrono::milliseconds Scaled(std::chrono::milliseconds deadline) {
    static const int scale = [] {
        char text[16] = {};
        const DWORD n = GetEnvironmentVariableA("KORVALEN_DEADLINE_SCALE", text, sizeof text);
        const int value = n > 0 && n < sizeof text ? std::atoi(text) : 1;
        return value >= 1 && value <= 1000 ? value : 1;
    }();
    return deadline * scale;
}

bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + Scaled(deadline);
    for (;;) {
        PumpMessages();
        if (cond()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(10ms);
    }
}

bool PlacePointer(POINT screen, std::chrono::milliseconds deadline) {
    std::optional<std::chrono::steady_clock::time_point> thereSince;
    return WaitUntil(
        [&] {
            POINT now{};
            if (!GetCursorPos(&now) || now.x != screen.x || now.y != screen.y) {
                SetCursorPos(screen.x, screen.y);
                thereSince.reset();
                return false;
            }
            const auto t = std::chrono::steady_clock::now();
            if (!thereSince) thereSince = t;
            return t - *thereSince >= 100ms;
        },
        deadline);
}

POINT ScreenCorner() {
    return {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
}

bool WithPointerAt(POINT screen, const std::function<bool()>& check,
                   std::chrono::milliseconds deadline) {
    return WaitUntil(
        [&] {
            SetCursorPos(screen.x, screen.y);
            POINT now{};
            return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y && check();
        },
        deadline);
}

HWND WaitForWindow(const char* className, const char* title, std::chrono::milliseconds deadline) {
    HWND found = nullptr;
    (void)WaitUntil([&] { return (found = FindWindowA(className, title)) != nullptr; }, deadline);
    return found;
}

std::string MessageBoxText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void PressMessageBoxOk(HWND box) {
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::optional<unsigned> ClientPixel(HWND hwnd, int x, int y) {
    RECT client{};
    if (!GetClientRect(hwnd, &client) || x < 0 || y < 0 || x >= client.right || y >= client.bottom)
        return std::nullopt;
    win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    win32::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    if (!dc || !bitmap) return std::nullopt;
    win32::Selected select(dc.get(), bitmap.get());
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()),
                 PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF c = GetPixel(dc.get(), x, y);
    if (c == CLR_INVALID) return std::nullopt;
    return Rgb(c);
}

std::optional<DWORD> RunProgram(const std::string& commandLine,
                                std::chrono::milliseconds deadline) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return std::nullopt;
    win32::UniqueHandle process(pi.hProcess);
    win32::UniqueHandle thread(pi.hThread);
    const bool ended =
        WaitUntil([&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }, deadline);
    if (!ended) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

namespace {

std::vector<std::function<void()>>& PendingSteps() {
    static std::vector<std::function<void()>> steps;
    return steps;
}

LRESULT CALLBACK StepProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto& steps = PendingSteps();
    if (msg != WM_APP || steps.empty()) return DefWindowProcA(hwnd, msg, wp, lp);
    auto step = std::move(steps.front());
    steps.erase(steps.begin());
    step();
    return 0;
}

}  // namespace

PostedSteps::PostedSteps() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &StepProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KorvalenTestSteps";
    RegisterClassExA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    PendingSteps().clear();
}

PostedSteps::~PostedSteps() {
    if (window_) DestroyWindow(window_);
    PendingSteps().clear();
}

void PostedSteps::Post(std::function<void()> step) const {
    PendingSteps().push_back(std::move(step));
    PostMessageA(window_, WM_APP, 0, 0);
}

std::string ExecutableDirectory() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of("\\/") + 1);
}

}  // namespace testsupport
