// Object counts of another process, read the ways that work under Wine, where
// GetProcessHandleCount and GetGuiResources answer 0.
#pragma once

#include <windows.h>

#include <optional>

namespace bench {

struct ProcessObjectCounts {
    long kernelHandles = -1;    // entries of the process in the system handle table
    long gdiObjects = -1;       // used entries of its GDI handle table (64-bit only)
    long topLevelWindows = -1;  // its top-level windows, hidden ones included
};

[[nodiscard]] std::optional<ProcessObjectCounts> CountProcessObjects(DWORD pid);

}  // namespace bench
