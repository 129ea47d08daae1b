// The soak's view of the panel: read through the accessibility object from outside.
#include "benchmarks/soak_view.h"

// after <windows.h>
#include <oleacc.h>

#include <cstdio>

namespace soak {
namespace {

// The lines of a text joined by one space, whatever breaks separate or end them, so that
// the walk checks what is said rather than how a reader's name breaks its lines.
std::string Flat(const std::string& text) {
    std::string out;
    bool pendingBreak = false;
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            pendingBreak = !out.empty();
            continue;
        }
        if (pendingBreak) out += ' ';
        pendingBreak = false;
        out += c;
    }
    return out;
}

}  // namespace

std::vector<Child> ReadChildren(HWND hwnd, HRESULT* result) {
    std::vector<Child> out;
    IAccessible* object = nullptr;
    const HRESULT hr =
        AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&object));
    if (result) *result = hr;
    if (FAILED(hr) || !object) return out;
    long count = 0;
    if (SUCCEEDED(object->get_accChildCount(&count)))
        for (long id = 1; id <= count; ++id) {
            VARIANT child, role, state;
            VariantInit(&child);
            VariantInit(&role);
            VariantInit(&state);
            child.vt = VT_I4;
            child.lVal = id;
            BSTR name = nullptr;
            Child c;
            if (SUCCEEDED(object->get_accRole(child, &role)) && role.vt == VT_I4)
                c.role = role.lVal;
            if (SUCCEEDED(object->get_accState(child, &state)) && state.vt == VT_I4)
                c.state = state.lVal;
            if (SUCCEEDED(object->get_accName(child, &name)) && name) {
                char text[2048] = {};
                WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
                SysFreeString(name);
                c.name = text;
            }
            out.push_back(std::move(c));
        }
    object->Release();
    return out;
}

const Child* Find(const std::vector<Child>& children, long role, const char* name) {
    for (const auto& c : children)
        if (c.role == role && c.name == name) return &c;
    return nullptr;
}

std::string Mismatch(HWND panel, const PanelModel& m) {
    if ((IsWindowVisible(panel) != FALSE) != m.visible)
        return m.visible ? "the panel is hidden" : "the panel is shown";
    if (HWND box = FindWindowA(kMessageClass, nullptr); box && IsWindowVisible(box))
        return "a message window is open";
    if (!IsWindowEnabled(panel)) return "the panel is disabled";
    HRESULT hr = S_OK;
    const auto children = ReadChildren(panel, &hr);
    const Child* settings = Find(children, kRolePageTab, "Settings");
    if (!settings) {
        char why[96];
        std::snprintf(why, sizeof why, "no Settings tab for the screen reader (0x%08lx, %zu)",
                      static_cast<unsigned long>(hr), children.size());
        return why;
    }
    if (((settings->state & kStateSelected) != 0) != m.settingsPage)
        return m.settingsPage ? "the Status page is shown" : "the Settings page is shown";
    const Child* enable = Find(children, kRolePushButton, "Enable");
    const Child* disable = Find(children, kRolePushButton, "Disable");
    if (m.settingsPage) return enable || disable ? "Enable or Disable on the Settings page" : "";
    if (!enable || !disable) return "no Enable or Disable for the screen reader";
    if (((enable->state & kStateUnavailable) == 0) != m.labels.enable ||
        ((disable->state & kStateUnavailable) == 0) != m.labels.disable)
        return "Enable " + std::string(m.labels.enable ? "available" : "unavailable") +
               " and Disable " + (m.labels.disable ? "available" : "unavailable") + " expected";
    std::vector<std::string> texts;
    for (const auto& c : children)
        if (c.role == kRoleStaticText) texts.push_back(Flat(c.name));
    if (texts.size() < 2 || texts[0] != Flat(m.Caption()) || texts[1] != Flat(m.Description()))
        return "status \"" + (texts.empty() ? std::string() : texts[0]) + "\" / \"" +
               (texts.size() < 2 ? std::string() : texts[1]) + "\" where \"" + Flat(m.Caption()) +
               "\" / \"" + Flat(m.Description()) + "\" was expected";
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar || !IsWindowVisible(taskbar)) return "no tray icon";
    return {};
}

}  // namespace soak
