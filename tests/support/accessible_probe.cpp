#include "tests/support/accessible_probe.h"

#include "tests/support/wine_test_support.h"

namespace testsupport {

namespace {

std::string Narrow(BSTR text) {
    if (!text) return {};
    const int length = static_cast<int>(SysStringLen(text));
    const int count = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), count, nullptr, nullptr);
    SysFreeString(text);
    return out;
}

std::vector<WinEvent>& Recorded() {
    static std::vector<WinEvent> events;
    return events;
}

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    Recorded().push_back({event, hwnd, object, child});
}

}  // namespace

VARIANT ChildVariant(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

ComRef<IAccessible> ClientObject(HWND hwnd) {
    ComRef<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(object.put()))))
        return {};
    return object;
}

std::vector<AccessibleChild> ChildrenOf(IAccessible* object) {
    std::vector<AccessibleChild> children;
    long count = 0;
    if (!object || FAILED(object->get_accChildCount(&count))) return children;
    for (long id = 1; id <= count; ++id) {
        AccessibleChild c;
        c.id = id;
        const VARIANT self = ChildVariant(id);
        ComRef<IDispatch> dispatch;
        if (object->get_accChild(self, dispatch.put()) == S_OK && dispatch) {
            // A window of its own: its own object stands for it.
            ComRef<IAccessible> window;
            dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(window.put()));
            if (window) WindowFromAccessibleObject(window.get(), &c.window);
        }
        BSTR text = nullptr;
        if (object->get_accName(self, &text) == S_OK) c.name = Narrow(text);
        VARIANT v;
        VariantInit(&v);
        if (SUCCEEDED(object->get_accRole(self, &v)) && v.vt == VT_I4) c.role = v.lVal;
        VariantInit(&v);
        if (SUCCEEDED(object->get_accState(self, &v)) && v.vt == VT_I4) c.state = v.lVal;
        long left = 0, top = 0, width = 0, height = 0;
        if (SUCCEEDED(object->accLocation(&left, &top, &width, &height, self)))
            c.location = RECT{left, top, left + width, top + height};
        text = nullptr;
        if (object->get_accDefaultAction(self, &text) == S_OK) c.defaultAction = Narrow(text);
        text = nullptr;
        if (object->get_accDescription(self, &text) == S_OK) c.description = Narrow(text);
        children.push_back(c);
    }
    return children;
}

AccessibleChild ChildNamed(const std::vector<AccessibleChild>& children, const std::string& name) {
    for (const auto& c : children)
        if (c.name == name) return c;
    return {};
}

WinEventRecorder::WinEventRecorder()
    : hook_(SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &Record, GetCurrentProcessId(), 0,
                            WINEVENT_OUTOFCONTEXT)) {
    Recorded().clear();
}

WinEventRecorder::~WinEventRecorder() {
    if (hook_) UnhookWinEvent(hook_);
    Recorded().clear();
}

bool WinEventRecorder::Saw(DWORD event, HWND hwnd, LONG object, LONG child) {
    return WaitUntil([&] {
        for (const auto& e : Recorded())
            if (e.event == event && e.hwnd == hwnd && e.object == object && e.child == child)
                return true;
        return false;
    });
}

void WinEventRecorder::Clear() {
    PumpMessages();
    Recorded().clear();
}

const std::vector<WinEvent>& WinEventRecorder::Events() const {
    return Recorded();
}

void PressKey(UINT key, unsigned modifiers, HWND target) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const auto hold = [&](int vk, bool down) { state[vk] = down ? 0x80 : 0; };
    hold(VK_SHIFT, modifiers & kShiftKey);
    hold(VK_LSHIFT, modifiers & kShiftKey);
    hold(VK_CONTROL, modifiers & kCtrlKey);
    hold(VK_LCONTROL, modifiers & kCtrlKey);
    SetKeyboardState(state);
    const HWND to = target ? target : GetFocus();
    const UINT scan = MapVirtualKeyA(key, 0 /* MAPVK_VK_TO_VSC */);
    SendMessageA(to, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    SendMessageA(to, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
    hold(VK_SHIFT, false);
    hold(VK_LSHIFT, false);
    hold(VK_CONTROL, false);
    hold(VK_LCONTROL, false);
    SetKeyboardState(state);
}

}  // namespace testsupport
