// When to try adding the tray icon again after the shell refused it: a notification area
// that is not ready yet (at logon, before the shell takes icons) refuses or times out, and
// no announcement follows when the taskbar already existed. Win32-free.
#pragma once

#include <cstdint>

namespace ui {

inline constexpr std::uint32_t kFirstRetryMs = 1000;
inline constexpr std::uint32_t kLongestRetryMs = 30000;

// The waits between tries: 1, 2, 4, ... s, never more than 30 s; Reset starts over.
class AddBackoff {
public:
    // The wait before the next try; each call doubles the one after it, up to the cap.
    [[nodiscard]] std::uint32_t NextDelayMs() noexcept;
    void Reset() noexcept { next_ = kFirstRetryMs; }

private:
    std::uint32_t next_ = kFirstRetryMs;
};

}  // namespace ui
