// The modal loop: a form shown with ShowModal runs a nested message loop until its modal
// result is set, with the thread's other windows disabled meanwhile.
#include "toolkit/form.h"

#include <vector>

namespace toolkit {

namespace {

struct DisableContext {
    HWND keep;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOther(HWND hwnd, LPARAM context) {
    auto& c = *reinterpret_cast<DisableContext*>(context);
    if (hwnd != c.keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        c.disabled.push_back(hwnd);
    }
    return TRUE;
}

// Enables the windows again however the modal loop ends.
class ReenableOnExit {
public:
    explicit ReenableOnExit(std::vector<HWND>& windows) : windows_(windows) {}
    ReenableOnExit(const ReenableOnExit&) = delete;
    ReenableOnExit& operator=(const ReenableOnExit&) = delete;
    ~ReenableOnExit() {
        for (HWND hwnd : windows_)
            if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    }

private:
    std::vector<HWND>& windows_;
};

}  // namespace

int Form::ShowModal() {
    if (Visible() || modal_) throw std::logic_error("A visible window cannot be shown modally.");
    DisableContext context{window_.get(), {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&context));
    const HWND previouslyActive = GetActiveWindow();
    bool wasActiveAtEnd = false;
    {
        ReenableOnExit reenable(context.disabled);
        modal_ = true;
        modalResult_ = 0;
        try {
            Show();
            while (modalResult_ == 0) {
                // A quit message taken here, or by a modal loop inside this one, ends it.
                if (app_.Terminating() || !app_.ProcessMessage() || app_.Terminating())
                    modalResult_ = kModalResultCancel;
            }
        } catch (...) {
            modal_ = false;
            Hide();
            throw;
        }
        modal_ = false;
        wasActiveAtEnd = GetActiveWindow() == window_.get();
        Hide();
    }
    if (wasActiveAtEnd && previouslyActive && IsWindow(previouslyActive))
        SetActiveWindow(previouslyActive);
    return modalResult_;
}
}  // namespace toolkit
