// What start-up makes of the single-instance mutex, and the texts and names it uses.
// No Win32 here: the codes are the system's error numbers.
#pragma once

#include <cstdint>

namespace app {

inline constexpr char kInstanceMutexName[] = "KorvalenInstanceMutex";
// The running panel's top-level window, which a quit request looks up.
inline constexpr char kPanelWindowClass[] = "TfrmControlPanel";
inline constexpr char kPanelWindowText[] = "Korvalen status";

inline constexpr char kApplicationTitle[] = "Korvalen control panel";
inline constexpr char kStartupErrorCaption[] = "Error";
inline constexpr char kAlreadyStartedText[] = "Control panel is already started.";
inline constexpr char kFatalErrorText[] =
    "Fatal error has occured. Control panel will be terminated.";
// The caption of the report of an error that ends start-up.
inline constexpr char kApplicationErrorCaption[] = "Application Error";

inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;

enum class InstanceState {
    First,    // this process goes on to the main path
    Another,  // another instance runs
    Failed,   // the mutex could not be made
};

// From the mutex call's outcome: the error read right after it, and whether the handle is
// null. Another instance is recognised by the error alone, whatever the handle.
[[nodiscard]] InstanceState ClassifyInstance(std::uint32_t lastError, bool handleIsNull) noexcept;

}  // namespace app
