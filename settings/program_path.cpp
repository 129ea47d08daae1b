#include "settings/program_path.h"

#include "settings/whole_text.h"

#include <windows.h>

namespace settings {

std::optional<std::string> ProgramPath() {
    // Most paths fit in MAX_PATH; longer ones (up to 32767 wide characters, which may take
    // two bytes each as narrow text) are fetched again into a larger buffer.
    constexpr std::size_t kMostPaths = MAX_PATH + 1;
    constexpr std::size_t kLongestPath = 2 * 32768;
    return FetchWholeText(
        [](char* buffer, std::size_t capacity) -> std::size_t {
            return GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(capacity));
        },
        kMostPaths, 2 * kLongestPath);
}

}  // namespace settings
