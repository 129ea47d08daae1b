// The notification-area icon's record and the calls that hand it to the shell: add,
// balloon, re-add after the taskbar came back, delete.
#pragma once

#include <windows.h>
// after <windows.h>, which it needs
#include <shellapi.h>

#include <cstddef>
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

// The one icon's record, zero at program start.
extern NOTIFYICONDATAA TrayIconData;

// The shell call every tray operation goes through; tests put a recorder here.
using ShellNotifyFunction = BOOL(WINAPI*)(DWORD message, NOTIFYICONDATAA* data);
extern ShellNotifyFunction ShellNotify;

// Fills the record for the panel's window and adds the icon.
void AddTrayIcon(HWND panel, HICON icon);
// Puts a balloon on the icon: the text cut to 255 characters, the title to 63.
void ShowBalloon(const std::string& title, const std::string& text, int iconKind);
// The taskbar was created again: the icon comes back with its plain flags (no balloon
// again), whether or not the shell still holds the old one.
void ReAddTrayIcon();
void RemoveTrayIcon(HWND panel);

}  // namespace ui
