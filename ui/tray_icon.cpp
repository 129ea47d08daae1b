#include "ui/tray_icon.h"

#include "win32/proc_address.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace ui {

namespace {

// Copies at most limit characters and a terminating zero.
template <std::size_t N>
void CopyCut(char (&field)[N], const std::string& text, std::size_t limit) {
    static_assert(N > 0);
    const std::size_t count = std::min({text.size(), limit, N - 1});
    std::memcpy(field, text.data(), count);
    field[count] = '\0';
}

}  // namespace

MessageFilterFunction SystemMessageFilter() noexcept {
    const HMODULE user = GetModuleHandleA("user32.dll");
    if (!user) return nullptr;
    // The looked-up address is the function of this signature (its last parameter a
    // CHANGEFILTERSTRUCT pointer, always null here).
    return win32::ProcAddress<MessageFilterFunction>(user, "ChangeWindowMessageFilterEx");
}

TrayIcon::TrayIcon(HWND window, win32::UniqueIcon icon, std::unique_ptr<toolkit::PopupMenu> menu,
                   ShellNotifyFunction shellNotify, TrayTimer timer)
    : icon_(std::move(icon)), menu_(std::move(menu)), shellNotify_(shellNotify), timer_(timer) {
    if (!menu_ || !shellNotify_)
        throw std::invalid_argument("The tray icon needs a menu and a shell.");
    data_.cbSize = kTrayIconDataSize;
    data_.hWnd = window;
    data_.uID = kTrayIconId;
    data_.uFlags = kTrayBaseFlags;
    data_.uCallbackMessage = kTrayCallbackMessage;
    data_.hIcon = icon_.get();
    // The tip is one fixed block: the text, then zero bytes to the end.
    static_assert(sizeof(data_.szTip) == 128);
    std::memcpy(data_.szTip, kTrayTip, sizeof kTrayTip);
    // At logon the notification area can refuse or time out before the shell is ready,
    // and no announcement follows when the taskbar already existed: retry.
    TryAdd();
}

TrayIcon::~TrayIcon() {
    if (retrying_) timer_.kill(data_.hWnd, kTrayRetryTimerId);
    data_.cbSize = kTrayIconDataSize;
    shellNotify_(NIM_DELETE, &data_);
}

void TrayIcon::TryAdd() {
    data_.cbSize = kTrayIconDataSize;
    data_.uFlags = kTrayBaseFlags;
    if (!added_)
        added_ =
            shellNotify_(NIM_ADD, &data_) != FALSE || shellNotify_(NIM_MODIFY, &data_) != FALSE;
    if (!added_) {
        // A timer of the same identifier replaces the running one.
        retrying_ = timer_.set(data_.hWnd, kTrayRetryTimerId, backoff_.NextDelayMs(), nullptr) != 0;
        return;
    }
    if (retrying_) timer_.kill(data_.hWnd, kTrayRetryTimerId);
    retrying_ = false;
    backoff_.Reset();
    if (pending_) {
        const Balloon balloon = std::move(*pending_);
        pending_.reset();
        Notify(balloon);
    }
}

void TrayIcon::RetryAdd() {
    TryAdd();
}

UINT TrayIcon::TaskbarCreatedMessage() noexcept {
    return RegisterWindowMessageA("TaskbarCreated");
}

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text, int iconKind) {
    Balloon balloon{title, text, iconKind};
    if (!added_) {
        pending_ = std::move(balloon);  // shown when the icon comes
        return;
    }
    Notify(balloon);
}

void TrayIcon::Notify(const Balloon& balloon) {
    data_.cbSize = kTrayIconDataSize;
    data_.uFlags |= NIF_INFO;
    CopyCut(data_.szInfo, balloon.text, kBalloonTextLength);
    data_.uTimeout = kBalloonTimeout;
    CopyCut(data_.szInfoTitle, balloon.title, kBalloonTitleLength);
    data_.dwInfoFlags = static_cast<DWORD>(balloon.iconKind);
    shellNotify_(NIM_MODIFY, &data_);
}

void TrayIcon::ReAdd() {
    data_.cbSize = kTrayIconDataSize;
    data_.uFlags = kTrayBaseFlags;
    // A shell that restarted holds no icon; one that only announced itself again still
    // holds the old one, and a plain add would then fail (the modify finds it). A new
    // taskbar that still refuses starts the waits over.
    shellNotify_(NIM_DELETE, &data_);
    added_ = false;
    backoff_.Reset();
    TryAdd();
}

// The icon's record sets no version (the shell's oldest behaviour). For such an icon the
// shell sends the keyboard's Enter, Space, menu key and Shift+F10 as a right press and
// release; only the real button's state tells them from the mouse.
POINT TrayIcon::MenuPlace() const {
    POINT place{};
    GetCursorPos(&place);
    const int right = GetSystemMetrics(SM_SWAPBUTTON) ? VK_LBUTTON : VK_RBUTTON;
    if (GetAsyncKeyState(right) < 0) return place;
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = data_.hWnd;
    icon.uID = data_.uID;
    RECT r{};
    if (Shell_NotifyIconGetRect(&icon, &r) == S_OK)
        place = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return place;
}

void TrayIcon::OpenMenu() {
    menu_->PopupFromTray(data_.hWnd, MenuPlace());
}

}  // namespace ui
