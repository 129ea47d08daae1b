// The tray icon's record as the shell reads it, on both architectures: its size ends at
// dwInfoFlags, and the fields the program writes land where that layout has them.
#include "ui/tray_icon.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::vector<unsigned char>> g_records;
std::vector<DWORD> g_messages;

BOOL WINAPI Record(DWORD message, NOTIFYICONDATAA* data) {
    g_messages.push_back(message);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    g_records.emplace_back(bytes, bytes + data->cbSize);  // what the shell would read
    return TRUE;
}

DWORD DwordAt(const std::vector<unsigned char>& record, std::size_t offset) {
    DWORD value = 0;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

}  // namespace

TEST(TrayRecord, EveryCallHandsTheShellTheFieldsAtTheirPlaces) {
    const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234));
    {
        ui::TrayIcon icon(window, {}, std::make_unique<toolkit::PopupMenu>(), &Record);
        icon.ShowBalloon(std::string(70, 't'), std::string(300, 'x'), 3);
        icon.ReAdd();
    }

    EXPECT_EQ(g_messages,
              (std::vector<DWORD>{NIM_ADD, NIM_MODIFY, NIM_DELETE, NIM_ADD, NIM_DELETE}));
    for (const auto& record : g_records) {
        ASSERT_EQ(record.size(), ui::kTrayIconDataSize);
        EXPECT_EQ(DwordAt(record, 0), ui::kTrayIconDataSize);
        EXPECT_EQ(DwordAt(record, offsetof(NOTIFYICONDATAA, uID)), 1u);
        HWND stored = nullptr;
        std::memcpy(&stored, record.data() + offsetof(NOTIFYICONDATAA, hWnd), sizeof stored);
        EXPECT_EQ(stored, window);
    }
    const auto& add = g_records[0];
    EXPECT_EQ(DwordAt(add, offsetof(NOTIFYICONDATAA, uFlags)), 7u);
    EXPECT_EQ(DwordAt(add, offsetof(NOTIFYICONDATAA, uCallbackMessage)), 0x0401u);
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(add.data()) + offsetof(NOTIFYICONDATAA, szTip)),
        "Korvalen Control Panel");

    const auto& balloon = g_records[1];
    EXPECT_EQ(DwordAt(balloon, offsetof(NOTIFYICONDATAA, uFlags)), 7u | NIF_INFO);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(balloon.data()) +
                          offsetof(NOTIFYICONDATAA, szInfo)),
              std::string(255, 'x'));
    EXPECT_EQ(DwordAt(balloon, offsetof(NOTIFYICONDATAA, uTimeout)), 3000u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(balloon.data()) +
                          offsetof(NOTIFYICONDATAA, szInfoTitle)),
              std::string(63, 't'));
    EXPECT_EQ(DwordAt(balloon, ui::kTrayIconDataSize - sizeof(DWORD)), 3u)
        << "dwInfoFlags is the record's last field";

    EXPECT_EQ(DwordAt(g_records[3], offsetof(NOTIFYICONDATAA, uFlags)), 7u)
        << "the re-added icon brings no balloon back";
}
