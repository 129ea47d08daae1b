#include "benchmarks/process_counts.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/wine_version.h"
#include "win32/unique_win.h"

namespace bench {

namespace {

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using NtQueryInformationProcessFn = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handleValue;
    PVOID object;
    ULONG access;
};

struct ProcessBasicInformation {
    LONG_PTR exitStatus;
    PVOID pebBaseAddress;
    ULONG_PTR affinityMask;
    LONG_PTR basePriority;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR parentProcessId;
};

// One entry of the GDI handle table that the PEB points to (Wine's layout, the same for a
// 32-bit process). A freed entry keeps its generation and owner; only its kind is cleared.
struct GdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    BYTE type;  // 0 for a free entry
    BYTE flags;
    UINT64 userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t kGdiTableEntries = 0x10000;

FARPROC NtdllProc(const char* name) {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), name);
}

long CountKernelHandles(DWORD pid) {
    auto query = reinterpret_cast<NtQuerySystemInformationFn>(
        reinterpret_cast<void*>(NtdllProc("NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0) return -1;
        break;
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    // The entries follow the count at the alignment of a pointer.
    const auto* entries =
        reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long mine = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].ownerPid == pid) ++mine;
    return mine;
}

#if defined(_WIN64)
// The kinds of GDI object as Wine's table marks them.
const char* GdiKindName(USHORT type) {
    switch (type) {
        case 0x01: return "DC";
        case 0x04: return "region";
        case 0x05: return "surface";
        case 0x09: return "bitmap";
        case 0x08: return "palette";
        case 0x0a: return "font";
        case 0x10: return "brush";
        case 0x30: return "pen";
        case 0x50: return "extended pen";
        case 0x41: return "memory DC";
        default: return nullptr;
    }
}

std::string DescribeKinds(const std::map<USHORT, long>& kinds) {
    std::string out;
    for (const auto& [type, count] : kinds) {
        if (!out.empty()) out += ", ";
        const char* name = GdiKindName(type);
        out += (name ? std::string(name) : "kind " + std::to_string(type)) + " " +
               std::to_string(count);
    }
    return out;
}
#endif

long CountGdiObjects(DWORD pid, ProcessObjectCounts& out) {
#if defined(_WIN64)
    auto query = reinterpret_cast<NtQueryInformationProcessFn>(
        reinterpret_cast<void*>(NtdllProc("NtQueryInformationProcess")));
    win32::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!query || !process) return -1;
    UINT64 table = 0;
    SIZE_T read = 0;
    // A 32-bit process has a PEB of its own (ProcessWow64Information gives its address),
    // which holds the table's address at 0x94; a 64-bit one at 0xF8 of its PEB. Wine 8
    // answers ProcessWow64Information for another process with 1, not an address
    // (measured, a 32-bit process of the wine32 loader); its 64-bit PEB, which
    // ProcessBasicInformation gives, holds the table too.
    ULONG_PTR peb32 = 0;
    if (query(process.get(), 26, &peb32, sizeof peb32, nullptr) == 0 && peb32 > 1) {
        ULONG table32 = 0;
        if (ReadProcessMemory(process.get(), reinterpret_cast<BYTE*>(peb32) + 0x94, &table32,
                              sizeof table32, &read))
            table = table32;
    }
    if (!table) {
        ProcessBasicInformation basic{};
        if (query(process.get(), 0, &basic, sizeof basic, nullptr) != 0) return -1;
        if (!ReadProcessMemory(process.get(), static_cast<BYTE*>(basic.pebBaseAddress) + 0xF8,
                               &table, sizeof table, &read))
            return -1;
    }
    if (!table) return -1;
    std::vector<GdiHandleEntry> entries(kGdiTableEntries);
    if (!ReadProcessMemory(process.get(), reinterpret_cast<void*>(table), entries.data(),
                           entries.size() * sizeof(GdiHandleEntry), &read))
        return -1;
    long used = 0;
    std::map<USHORT, long> kinds;
    for (const auto& e : entries)
        if (e.type != 0) {
            ++used;
            ++kinds[e.type];
        }
    out.gdiKinds = DescribeKinds(kinds);
    out.gdiDcs = kinds[0x01];
    out.gdiBitmaps = kinds[0x09];
    out.gdiRegions = kinds[0x04];
    return used;
#else
    (void)pid;
    (void)out;
    return -1;  // counted by the 64-bit probe only
#endif
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM data) {
    auto* counter = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == counter->pid) ++counter->count;
    return TRUE;
}

}  // namespace

long SurfacesKeptByDcCache(long bitmaps, long regions, long dcs) {
    static const int wine = testsupport::WineMajorVersion();
    if (wine < 9 || bitmaps <= 0 || bitmaps != regions || bitmaps > dcs) return 0;
    return bitmaps;
}

std::optional<ProcessObjectCounts> CountProcessObjects(DWORD pid) {
    ProcessObjectCounts counts;
    counts.kernelHandles = CountKernelHandles(pid);
    counts.gdiObjects = CountGdiObjects(pid, counts);
    WindowCount windows{pid, 0};
    if (EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows)))
        counts.topLevelWindows = windows.count;
    if (counts.kernelHandles < 0 && counts.topLevelWindows < 0) return std::nullopt;
    return counts;
}

}  // namespace bench
