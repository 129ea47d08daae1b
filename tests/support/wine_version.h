// The Wine that runs this process, for the tests and the benchmark probes that must tell
// one Wine's known shortfall from another's. Header-only: the probes link no test library.
#pragma once

#include <windows.h>

#include <cstdlib>

#include "win32/proc_address.h"

namespace testsupport {

// The major version of the Wine that runs this process (wine_get_version), 0 on Windows.
[[nodiscard]] inline int WineMajorVersion() {
    using VersionFn = const char*(__cdecl*)();
    const auto version =
        win32::ProcAddress<VersionFn>(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    return version ? std::atoi(version()) : 0;
}

}  // namespace testsupport
