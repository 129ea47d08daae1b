// installer-probe: what the installer suite asks Windows about an installed copy, from
// inside the run's desktop (the panel's windows are per desktop). Prints plain lines.
//   installer-probe version PATH       the file version of PATH's version resource: a.b.c.d
//   installer-probe shortcut LNK       the target path of the shell link LNK
//   installer-probe folder NAME        programs | common-programs: the Start-menu folder
//   installer-probe autostart-box      checked | unchecked: the panel's autostart box
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "win32/unique_win.h"

namespace {

// The autostart box's top-left corner in the panel's client area.
constexpr POINT kAutostartBox{120, 56};

int Version(const char* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return 1;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data())) return 1;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
        return 1;
    std::printf("%u.%u.%u.%u\n", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    return 0;
}

// Releases a COM interface at the end of its scope.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

class ComScope {
public:
    ComScope() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (ok_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool ok_;
};

int Shortcut(const char* lnk) {
    const ComScope com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Out()))))
        return 1;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))))
        return 1;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, lnk, -1, wide, MAX_PATH);
    if (FAILED(file->Load(wide, STGM_READ))) return 1;
    char target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return 1;
    std::printf("%s\n", target);
    return 0;
}

int ProgramsFolder(const std::string& name) {
    const int csidl = name == "common-programs" ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS;
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return 1;
    std::printf("%s\n", path);
    return 0;
}

struct BoxSearch {
    HWND panel;
    HWND box;
};

BOOL CALLBACK FindBox(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, search->panel, reinterpret_cast<POINT*>(&r), 2);
    if (lstrcmpiA(name, "Button") == 0 && r.left == kAutostartBox.x && r.top == kAutostartBox.y) {
        search->box = child;
        return FALSE;
    }
    return TRUE;
}

int AutostartBox() {
    BoxSearch search{FindWindowA("TfrmControlPanel", "Korvalen status"), nullptr};
    if (!search.panel) return 1;
    EnumChildWindows(search.panel, FindBox, reinterpret_cast<LPARAM>(&search));
    if (!search.box) return 1;
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(search.box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state))
        return 1;
    std::printf("%s\n", state == BST_CHECKED ? "checked" : "unchecked");
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: installer-probe version PATH | shortcut LNK | folder NAME | "
                 "autostart-box\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string verb = argv[1];
    if (verb == "version" && argc == 3) return Version(argv[2]);
    if (verb == "shortcut" && argc == 3) return Shortcut(argv[2]);
    if (verb == "folder" && argc == 3) return ProgramsFolder(argv[2]);
    if (verb == "autostart-box" && argc == 2) return AutostartBox();
    return Usage();
}
