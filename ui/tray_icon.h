// The notification-area icon: one object that adds the icon when it is made and removes
// it when it goes. It owns the icon handle, the menu and the record it hands the shell.
#pragma once

#include "toolkit/popup_menu.h"
#include "ui/tray_backoff.h"
#include "win32/unique_win.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <shellapi.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace ui {

// The record's size as the shell reads it: the layout that ends at dwInfoFlags (no
// guidItem, no hBalloonIcon). 488 bytes for i686, 504 for x86_64.
inline constexpr DWORD kTrayIconDataSize =
    static_cast<DWORD>(offsetof(NOTIFYICONDATAA, dwInfoFlags) + sizeof(DWORD));
#if defined(_WIN64)
static_assert(kTrayIconDataSize == 504, "x86_64 record ends at dwInfoFlags, byte 504");
#else
static_assert(kTrayIconDataSize == 488, "i686 record ends at dwInfoFlags, byte 488");
#endif

inline constexpr UINT kTrayIconId = 1;
inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
inline constexpr UINT kTrayBaseFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;  // 7
inline constexpr char kTrayTip[] = "Korvalen Control Panel";
inline constexpr UINT kBalloonTimeout = 3000;
inline constexpr std::size_t kBalloonTextLength = 255;
inline constexpr std::size_t kBalloonTitleLength = 63;

// The shell call every tray operation goes through: Shell_NotifyIconA, or a test's recorder.
using ShellNotifyFunction = BOOL(WINAPI*)(DWORD message, NOTIFYICONDATAA* data);

// The window timer that brings the next try at adding the icon: SetTimer and KillTimer on
// the icon's window, or a test's recorder.
struct TrayTimer {
    UINT_PTR(WINAPI* set)(HWND window, UINT_PTR id, UINT delayMs, TIMERPROC proc) = &SetTimer;
    BOOL(WINAPI* kill)(HWND window, UINT_PTR id) = &KillTimer;
};
// The timer's identifier on the window; its WM_TIMER goes to TrayIcon::RetryAdd.
inline constexpr UINT_PTR kTrayRetryTimerId = 0x4B52;

// Lets one message through the system's filter of messages sent from lower integrity
// levels: ChangeWindowMessageFilterEx with MSGFLT_ALLOW, or a test's recorder.
using MessageFilterFunction = BOOL(WINAPI*)(HWND window, UINT message, DWORD action, void* status);
inline constexpr DWORD kMessageFilterAllow = 1;  // MSGFLT_ALLOW

// ChangeWindowMessageFilterEx where the system has it, looked up at run time so that a
// system without it still starts; null there.
[[nodiscard]] MessageFilterFunction SystemMessageFilter() noexcept;

class TrayIcon {
public:
    // Fills the record for the window (its callback message goes there) and adds the icon.
    // A refused add is tried again on the window's timer, after 1, 2, 4 ... s (at most 30 s
    // apart), until the shell takes it.
    TrayIcon(HWND window, win32::UniqueIcon icon, std::unique_ptr<toolkit::PopupMenu> menu,
             ShellNotifyFunction shellNotify, TrayTimer timer = {});
    // Removes the icon; the menu and the icon handle go with the object.
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The message a new taskbar announces itself with ("TaskbarCreated"); 0 when the
    // system gives none. The window that holds the icon hands it to ReAdd.
    [[nodiscard]] static UINT TaskbarCreatedMessage() noexcept;

    // Puts a balloon on the icon: the text cut to 255 characters, the title to 63. Without
    // an icon the balloon waits and comes when the icon is added; a later one replaces it.
    void ShowBalloon(const std::string& title, const std::string& text, int iconKind);
    // The retry timer fired: tries the add again, or stops the timer if the icon is there.
    void RetryAdd();
    // Whether the shell holds the icon.
    [[nodiscard]] bool Added() const noexcept { return added_; }
    // The taskbar was created again: the icon comes back with its plain flags (no balloon
    // again), whether or not the shell still holds the old one.
    void ReAdd();
    // Pops the menu up and returns when it has closed; the chosen item comes to the window
    // later, as a WM_COMMAND message for the menu's Command. A right press of the mouse
    // opens it at the cursor; when no button is down the callback came from the keyboard
    // (see MenuPlace) and it opens at the icon.
    void OpenMenu();
    // Where the menu opens: the cursor for the mouse; for the keyboard the icon's centre as
    // the shell tells it, or the cursor where the shell cannot tell.
    [[nodiscard]] POINT MenuPlace() const;

    [[nodiscard]] HICON Icon() const noexcept { return icon_.get(); }
    [[nodiscard]] toolkit::PopupMenu& Menu() const noexcept { return *menu_; }
    [[nodiscard]] const NOTIFYICONDATAA& TrayIconData() const noexcept { return data_; }

private:
    struct Balloon {
        std::string title;
        std::string text;
        int iconKind = 0;
    };
    // Tries the add (an icon the shell took although the call failed, after a time-out,
    // is found by a modify); on success stops the retry and shows the waiting balloon,
    // else sets the timer for the next try.
    void TryAdd();
    void Notify(const Balloon& balloon);

    win32::UniqueIcon icon_;
    std::unique_ptr<toolkit::PopupMenu> menu_;
    ShellNotifyFunction shellNotify_;
    TrayTimer timer_;
    NOTIFYICONDATAA data_{};
    bool added_ = false;
    bool retrying_ = false;  // the retry timer runs
    AddBackoff backoff_;
    std::optional<Balloon> pending_;  // due while there was no icon
};

}  // namespace ui
