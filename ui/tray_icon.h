// The notification-area icon: one object that adds the icon when it is made and removes
// it when it goes. It owns the icon handle, the menu and the record it hands the shell.
#pragma once

#include "toolkit/popup_menu.h"
#include "win32/unique_win.h"

#include <windows.h>
// after <windows.h>, which it needs
#include <shellapi.h>

#include <cstddef>
#include <memory>
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
    TrayIcon(HWND window, win32::UniqueIcon icon, std::unique_ptr<toolkit::PopupMenu> menu,
             ShellNotifyFunction shellNotify);
    // Removes the icon; the menu and the icon handle go with the object.
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The message a new taskbar announces itself with ("TaskbarCreated"); 0 when the
    // system gives none. The window that holds the icon hands it to ReAdd.
    [[nodiscard]] static UINT TaskbarCreatedMessage() noexcept;

    // Puts a balloon on the icon: the text cut to 255 characters, the title to 63.
    void ShowBalloon(const std::string& title, const std::string& text, int iconKind);
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
    win32::UniqueIcon icon_;
    std::unique_ptr<toolkit::PopupMenu> menu_;
    ShellNotifyFunction shellNotify_;
    NOTIFYICONDATAA data_{};
};

}  // namespace ui
