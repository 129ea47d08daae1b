// A screen reader's view of a window, taken in this process: the client area's
// accessibility object, each child's name, role and state, and the events the window
// raises. Keys sent as the window layer delivers them, with the modifier keys' state set.
#pragma once

#include <windows.h>
// after <windows.h>
#include <oleacc.h>

#include "win32/com_ptr.h"

#include <string>
#include <vector>

namespace testsupport {

// Owns one reference to a COM object.
template <typename T>
using ComRef = win32::ComPtr<T>;

// COM for this thread while it lives.
class ComApartment {
public:
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// One child as a screen reader reads it.
struct AccessibleChild {
    long id = 0;  // its child identifier
    std::string name;
    long role = 0;
    long state = 0;
    HWND window = nullptr;  // a child that is a window of its own
    RECT location{};        // screen coordinates
    std::string defaultAction;
    std::string description;  // what is said after the name; empty: nothing
};

// The window's client object (OBJID_CLIENT), as AccessibleObjectFromWindow gives it.
[[nodiscard]] ComRef<IAccessible> ClientObject(HWND hwnd);
// Every child of the object, in order, as the object tells of it.
[[nodiscard]] std::vector<AccessibleChild> ChildrenOf(IAccessible* object);
// The child of that name (a default one, with id 0, when there is none).
[[nodiscard]] AccessibleChild ChildNamed(const std::vector<AccessibleChild>& children,
                                         const std::string& name);
[[nodiscard]] VARIANT ChildVariant(long id);

// The events the system reports for windows of this process, recorded while it lives.
struct WinEvent {
    DWORD event;
    HWND hwnd;
    LONG object;
    LONG child;
};
class WinEventRecorder {
public:
    WinEventRecorder();
    ~WinEventRecorder();
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;
    // Waits (pumping messages) until an event like this one has been seen.
    [[nodiscard]] bool Saw(DWORD event, HWND hwnd, LONG object, LONG child);
    void Clear();
    [[nodiscard]] const std::vector<WinEvent>& Events() const;

private:
    HWINEVENTHOOK hook_;
};

// A key press and release sent to the window with the keyboard focus (or to target), with
// Shift and Ctrl held as asked: the thread's key state says so while they are delivered.
enum Modifiers : unsigned { kNoModifier = 0, kShiftKey = 1, kCtrlKey = 2 };
void PressKey(UINT key, unsigned modifiers = kNoModifier, HWND target = nullptr);

}  // namespace testsupport
