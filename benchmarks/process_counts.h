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
    long gdiDcs = -1, gdiBitmaps = -1, gdiRegions = -1;  // three of those kinds
};

[[nodiscard]] std::optional<ProcessObjectCounts> CountProcessObjects(DWORD pid);

// Under Wine 10 (not Wine 8; the change came between them) a window's surface is a GDI
// bitmap with a clip region, and each cached window DC holds the surface it last drew on.
// Hiding or destroying the window purges the DC, but the purge cannot reach a DC that
// ReleaseDC has disabled (Wine's release_dce, through get_dc_ptr), so the DC keeps the
// surface until it is handed out again. Which of a process's cached DCs still hold an
// earlier show's surface therefore depends on what ran before, and growth between two
// counts in the same state can include such surfaces. Of a growth of BITMAPS and REGIONS,
// the surfaces kept that way: the number grown of both alike (the product makes no
// regions), if that is no more than the DCs there are (DCS); 0 under Wine 8 and on
// Windows, where a surface is no GDI object or none is kept.
[[nodiscard]] long SurfacesKeptByDcCache(long bitmaps, long regions, long dcs);

}  // namespace bench
