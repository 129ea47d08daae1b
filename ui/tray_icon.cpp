#include "ui/tray.h"

#include <algorithm>
#include <cstring>

namespace ui {

NOTIFYICONDATAA TrayIconData{};
ShellNotifyFunction ShellNotify = &Shell_NotifyIconA;

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

void AddTrayIcon(HWND panel, HICON icon) {
    TrayIconData = NOTIFYICONDATAA{};
    TrayIconData.cbSize = kTrayIconDataSize;
    TrayIconData.hWnd = panel;
    TrayIconData.uID = kTrayIconId;
    TrayIconData.uFlags = kTrayBaseFlags;
    TrayIconData.uCallbackMessage = kTrayCallbackMessage;
    TrayIconData.hIcon = icon;
    // The tip is one fixed block: the text, then zero bytes to the end.
    static_assert(sizeof(TrayIconData.szTip) == 128);
    std::memset(TrayIconData.szTip, 0, sizeof TrayIconData.szTip);
    std::memcpy(TrayIconData.szTip, kTrayTip, sizeof kTrayTip);
    ShellNotify(NIM_ADD, &TrayIconData);
}

void ShowBalloon(const std::string& title, const std::string& text, int iconKind) {
    TrayIconData.cbSize = kTrayIconDataSize;
    TrayIconData.uFlags |= NIF_INFO;
    CopyCut(TrayIconData.szInfo, text, kBalloonTextLength);
    TrayIconData.uTimeout = kBalloonTimeout;
    CopyCut(TrayIconData.szInfoTitle, title, kBalloonTitleLength);
    TrayIconData.dwInfoFlags = static_cast<DWORD>(iconKind);
    ShellNotify(NIM_MODIFY, &TrayIconData);
}

void ReAddTrayIcon() {
    TrayIconData.cbSize = kTrayIconDataSize;
    TrayIconData.uFlags = kTrayBaseFlags;
    // A shell that restarted holds no icon; one that only announced itself again still
    // holds the old one, and a plain add would then fail.
    ShellNotify(NIM_DELETE, &TrayIconData);
    if (!ShellNotify(NIM_ADD, &TrayIconData)) ShellNotify(NIM_MODIFY, &TrayIconData);
}

void RemoveTrayIcon(HWND panel) {
    TrayIconData.cbSize = kTrayIconDataSize;
    TrayIconData.hWnd = panel;
    TrayIconData.uID = kTrayIconId;
    ShellNotify(NIM_DELETE, &TrayIconData);
}

}  // namespace ui
