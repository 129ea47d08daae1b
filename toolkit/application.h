// The application object: its hidden top-level window (owner of the forms and of
// message boxes, target of the quit message), its title, the terminating flag, and the
// message hook that the toolkit's own modal loops consult.
#pragma once

#include "win32/unique_win.h"

#include <functional>
#include <string>
#include <string_view>

namespace toolkit {

// The text of the exception being handled (inside a catch block only): its message, or a
// general text for one that carries none. Both error reporters show it.
[[nodiscard]] std::string CurrentExceptionText() noexcept;

class Application {
public:
    // Returns true when it handled the message: it is then neither translated nor
    // dispatched. Consulted only by the toolkit's modal loops, never by a plain loop.
    using MessageHook = std::function<bool(MSG&)>;

    explicit Application(std::string title = {});
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    ~Application();

    [[nodiscard]] HWND Handle() const noexcept { return window_.get(); }

    [[nodiscard]] const std::string& Title() const noexcept { return title_; }
    void SetTitle(std::string title);

    // Set when a modal loop took the quit message; every active modal loop then ends.
    [[nodiscard]] bool Terminating() const noexcept { return terminating_; }
    void SetTerminating() noexcept { terminating_ = true; }

    void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }

    // One step of a modal loop: waits for a message, passes it through the hook, then
    // translates and dispatches it. Returns false when it took the quit message (the
    // application is then terminating). An error escaping the hook is reported.
    bool ProcessMessage();

    // Shows an error in a message box captioned with the title; the program goes on.
    void ShowError(std::string_view text) const noexcept;

    // The handler for an exception caught at a boundary (inside a catch block only).
    void ReportCurrentException() const noexcept;

private:
    std::string title_;
    win32::UniqueWindow window_;
    MessageHook hook_;
    bool terminating_ = false;
};

}  // namespace toolkit
