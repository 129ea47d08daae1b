// e2e-helper: looks at the Wine desktop from inside it, for the end-to-end suite, which
// drives the program from outside. It runs in the same desktop as the program (windows,
// FindWindow and the tray are per desktop) and prints plain lines that the suite parses.
//   e2e-helper find CLASS|- TITLE|-      hwnd visible enabled left top right bottom pid
//   e2e-helper children HWND             one line per direct child window, as find prints it
//   e2e-helper balloons                  one line per visible balloon: left top right bottom text
//   e2e-helper msgbox CAPTION            the text of a system message box with that caption,
//                                        then the place of its OK button
//   e2e-helper broadcast NAME            posts the registered message NAME to every window
//   e2e-helper post HWND MSG WPARAM LPARAM
//   e2e-helper text-mask HEIGHT TEXT [DPI]  the text in bold "MS Sans Serif" (at that scale)
//                                      as rows of # and .
//   e2e-helper syscolor INDEX            a system colour as RRGGBB
//   e2e-helper access CLASS|- TITLE|-    what a screen reader in another process gets:
//                                        "answered 0|1" (WM_GETOBJECT for the client area),
//                                        "object HRESULT", then per child "role state name"
//                                        (breaks in a name written \n and \r)
//   e2e-helper keep                      holds the desktop open: prints its size, then
//                                        waits until its standard input closes
#include <windows.h>
// after <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/text_mask.h"

namespace {

HWND ParseHwnd(const char* text) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoull(text, nullptr, 0)));
}

// Every failure says what failed, so that an end with 1 and no words is known to be a
// start that never reached this program (the suite counts those apart).
int Failed(const char* what, const char* first, const char* second = nullptr) {
    std::fprintf(stderr, "e2e-helper: %s %s%s%s\n", what, first, second ? " " : "",
                 second ? second : "");
    return 1;
}

const char* OrNull(const char* text) {
    return std::string(text) == "-" ? nullptr : text;
}

// The text of a window of another process: WM_GETTEXT is marshalled across processes,
// and controls such as tooltips answer it with what they show.
std::string RemoteText(HWND hwnd) {
    char buffer[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return std::string(buffer, copied < sizeof buffer ? copied : 0);
}

void PrintWindow(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("0x%llx %d %d %ld %ld %ld %ld %lu\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)),
                IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0, r.left, r.top,
                r.right, r.bottom, pid);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM parent) {
    if (GetParent(child) == reinterpret_cast<HWND>(parent)) PrintWindow(child);
    return TRUE;
}

// The direct child windows of a window, each as `find` prints a window (screen places).
int Children(const char* parent) {
    const HWND hwnd = ParseHwnd(parent);
    if (!IsWindow(hwnd)) return Failed("no window", parent);
    EnumChildWindows(hwnd, &PrintChild, reinterpret_cast<LPARAM>(hwnd));
    return 0;
}

int Find(const char* windowClass, const char* title) {
    HWND hwnd = FindWindowA(OrNull(windowClass), OrNull(title));
    if (!hwnd) return Failed("no window", windowClass, title);
    PrintWindow(hwnd);
    return 0;
}

BOOL CALLBACK CollectBalloon(HWND hwnd, LPARAM) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "tooltips_class32" || !IsWindowVisible(hwnd)) return TRUE;
    // Balloons carry TTS_BALLOON (0x40); plain tips of the tray do not.
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & 0x40)) return TRUE;
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("%ld %ld %ld %ld %s\n", r.left, r.top, r.right, r.bottom, RemoteText(hwnd).c_str());
    return TRUE;
}

int MessageBoxTextOf(const char* caption) {
    HWND box = FindWindowA("#32770", caption);
    if (!box) return Failed("no message box", caption);
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    RECT ok{};
    GetWindowRect(GetDlgItem(box, IDOK), &ok);
    std::printf("%s\n%ld %ld %ld %ld\n", text, ok.left, ok.top, ok.right, ok.bottom);
    return 0;
}

int Broadcast(const char* name) {
    const UINT message = RegisterWindowMessageA(name);
    if (!message || !PostMessageA(HWND_BROADCAST, message, 0, 0))
        return Failed("could not broadcast", name);
    return 0;
}

int Post(char** argv) {
    const auto number = [](const char* t) { return std::strtoull(t, nullptr, 0); };
    if (!PostMessageA(ParseHwnd(argv[0]), static_cast<UINT>(number(argv[1])),
                      static_cast<WPARAM>(number(argv[2])), static_cast<LPARAM>(number(argv[3]))))
        return Failed("could not post to", argv[0]);
    return 0;
}

int TextMask(const char* height, const char* text, const char* dpi) {
    const auto mask = e2e::RenderTextMask(std::atoi(height), text, dpi ? std::atoi(dpi) : 96);
    if (mask.empty()) return Failed("could not draw", text);
    std::printf("%zu %zu\n", mask.front().size(), mask.size());
    for (const auto& row : mask) std::printf("%s\n", row.c_str());
    return 0;
}

int SysColor(const char* index) {
    const COLORREF c = GetSysColor(std::atoi(index));
    std::printf("%02x%02x%02x\n", GetRValue(c), GetGValue(c), GetBValue(c));
    return 0;
}

// A screen reader's first steps from this process: the window's answer to WM_GETOBJECT,
// then the client object and its children as the system hands them over.
int Access(const char* windowClass, const char* title) {
    const HWND hwnd = FindWindowA(OrNull(windowClass), OrNull(title));
    if (!hwnd) return Failed("no window", windowClass, title);
    DWORD_PTR answer = 0;
    const bool sent = SendMessageTimeoutA(hwnd, WM_GETOBJECT, 0,
                                          static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)),
                                          SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    // A positive answer is a reference to the marshalled object; zero means "not handled".
    std::printf("answered %d\n", sent && static_cast<LRESULT>(answer) > 0 ? 1 : 0);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    const HRESULT hr =
        AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&object));
    std::printf("object 0x%08lx\n", static_cast<unsigned long>(hr));
    long count = 0;
    if (object && SUCCEEDED(object->get_accChildCount(&count))) {
        for (long id = 1; id <= count; ++id) {
            VARIANT child;
            VariantInit(&child);
            child.vt = VT_I4;
            child.lVal = id;
            VARIANT role, state;
            VariantInit(&role);
            VariantInit(&state);
            BSTR name = nullptr;
            object->get_accRole(child, &role);
            object->get_accState(child, &state);
            object->get_accName(child, &name);
            char text[512] = {};
            if (name) {
                WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
                SysFreeString(name);
            }
            // One line per child: breaks and backslashes in a name are written as escapes.
            std::string shown;
            for (const char* c = text; *c; ++c)
                shown += *c == '\n'   ? std::string("\\n")
                         : *c == '\r' ? std::string("\\r")
                         : *c == '\\' ? std::string("\\\\")
                                      : std::string(1, *c);
            std::printf("0x%lx 0x%lx %s\n", role.vt == VT_I4 ? role.lVal : 0L,
                        state.vt == VT_I4 ? state.lVal : 0L, shown.c_str());
        }
    }
    if (object) object->Release();
    CoUninitialize();
    return 0;
}

// Wine closes a desktop one second after its last program leaves it: it unlinks the desktop
// by name and tells its explorer to quit. A program that starts in that second's end gets
// a desktop being torn down (measured under Wine 10: the panel came up centred on the whole
// X screen). A process that stays in the desktop keeps it from ever closing between tests.
int Keep() {
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    std::printf("%ld %ld\n", desktop.right - desktop.left, desktop.bottom - desktop.top);
    std::fflush(stdout);
    char chunk[64];
    while (std::fread(chunk, 1, sizeof chunk, stdin) > 0) {
    }
    return 0;
}

int Usage() {
    std::fputs(
        "usage: e2e-helper find CLASS TITLE | balloons | msgbox CAPTION | broadcast NAME |\n"
        "                  children HWND | post HWND MSG WPARAM LPARAM | text-mask HEIGHT TEXT "
        "[DPI] |\n"
        "                  syscolor INDEX | access CLASS TITLE | keep\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Places in real pixels at every scale, as the suite clicks and reads pixels: a program
    // that does not say it is aware gets its places scaled down, on Windows and under
    // Wine 10 (Wine 8 scales nothing). The helper shares the program's scale setting.
    SetProcessDPIAware();
    if (argc < 2) return Usage();
    const std::string verb = argv[1];
    if (verb == "find" && argc == 4) return Find(argv[2], argv[3]);
    if (verb == "balloons" && argc == 2)
        return EnumWindows(CollectBalloon, 0) ? 0 : Failed("could not list", "balloons");
    if (verb == "children" && argc == 3) return Children(argv[2]);
    if (verb == "msgbox" && argc == 3) return MessageBoxTextOf(argv[2]);
    if (verb == "broadcast" && argc == 3) return Broadcast(argv[2]);
    if (verb == "post" && argc == 6) return Post(argv + 2);
    if (verb == "text-mask" && (argc == 4 || argc == 5))
        return TextMask(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (verb == "syscolor" && argc == 3) return SysColor(argv[2]);
    if (verb == "access" && argc == 4) return Access(argv[2], argv[3]);
    if (verb == "keep" && argc == 2) return Keep();
    return Usage();
}
