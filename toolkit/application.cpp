#include "toolkit/application.h"

#include <exception>
#include <stdexcept>

namespace toolkit {

namespace {

constexpr char kWindowClass[] = "ToolkitApplicationWindow";

void RegisterWindowClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), kWindowClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&wc)) throw std::runtime_error("cannot register the application window");
}

}  // namespace

std::string CurrentExceptionText() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            return e.what();
        } catch (...) {
            // Not a standard exception: it carries no text of its own to show.
        }
        return "An unknown error occurred.";
    } catch (...) {  // no memory even for the text
        return {};
    }
}

Application::Application(std::string title) : title_(std::move(title)) {
    RegisterWindowClass();
    // Hidden and zero-sized: it only owns the forms and receives the quit message.
    window_.reset(CreateWindowExA(0, kWindowClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!window_) throw std::runtime_error("cannot create the application window");
}

Application::~Application() = default;

void Application::SetTitle(std::string title) {
    title_ = std::move(title);
    SetWindowTextA(window_.get(), title_.c_str());
}

bool Application::ProcessMessage() {
    MSG msg{};
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        // The quit message ends this loop and every modal loop around it; it is not
        // put back, so a plain loop further out waits for a quit message of its own.
        terminating_ = true;
        return false;
    }
    try {
        if (hook_ && hook_(msg)) return true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    } catch (...) {
        ReportCurrentException();
    }
    return true;
}

void Application::ShowError(std::string_view text) const noexcept {
    const std::string copy(text);
    MessageBoxA(window_.get(), copy.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void Application::ReportCurrentException() const noexcept {
    ShowError(CurrentExceptionText());
}

}  // namespace toolkit
