// Object counts of another process, read the ways that work under Wine, where
// GetProcessHandleCount and GetGuiResources answer 0.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace bench {

struct ProcessObjectCounts {
    long kernelHandles = -1;    // entries of the process in the system handle table
    long gdiObjects = -1;       // used entries of its GDI handle table (64-bit only)
    long topLevelWindows = -1;  // its top-level windows, hidden ones included
    std::string gdiKinds;       // the GDI objects by kind, "DC 3, bitmap 9, ...", for tracing
};

[[nodiscard]] std::optional<ProcessObjectCounts> CountProcessObjects(DWORD pid);

}  // namespace bench
