// Event types shared by forms, components and menus, and the binding of handler names
// to a form's methods. Win32-free: handler tables can be checked natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace toolkit {

// Anything that can be the sender of an event: forms, components, menu items.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;
    [[nodiscard]] virtual const std::string& Name() const = 0;
};

enum class MouseButton { Left, Right, Middle };

// Modifier keys and mouse buttons held when a mouse event happened.
enum ShiftState : std::uint32_t {
    kShift = 1,
    kAlt = 2,
    kCtrl = 4,
    kLeft = 8,
    kRight = 16,
    kMiddle = 32,
    kDouble = 64,  // the press is the second of a double click
};

using NotifyEvent = std::function<void(Object& sender)>;
using MouseEvent =
    std::function<void(Object& sender, MouseButton button, std::uint32_t shift, int x, int y)>;

// The two handler shapes. Mouse-down events take the mouse shape, all others notify.
enum class HandlerKind { Notify, Mouse };

[[nodiscard]] HandlerKind KindOfEvent(std::string_view eventName);

// One row of a form's handler table: {"lbOKClick", &TfrmMessageBox::lbOKClick}.
template <typename F>
struct HandlerEntry {
    using NotifyMethod = void (F::*)(Object&);
    using MouseMethod = void (F::*)(Object&, MouseButton, std::uint32_t, int, int);

    constexpr HandlerEntry(std::string_view n, NotifyMethod m) : name(n), notify(m) {}
    constexpr HandlerEntry(std::string_view n, MouseMethod m) : name(n), mouse(m) {}

    std::string_view name;
    NotifyMethod notify = nullptr;
    MouseMethod mouse = nullptr;

    [[nodiscard]] constexpr HandlerKind Kind() const {
        return notify ? HandlerKind::Notify : HandlerKind::Mouse;
    }
};

// A bound handler as the form hands it to a component: exactly one of the two is set.
struct BoundHandler {
    NotifyEvent notify;
    MouseEvent mouse;
};

// Finds a handler by name for an event of the given kind. Returns false when the name is
// unknown or the method has the other shape.
using HandlerResolver = std::function<bool(std::string_view name, HandlerKind, BoundHandler&)>;

// Binds a form's handler table (an array or a span over a static one) to one form object.
template <typename F, typename Table>
HandlerResolver BindHandlers(F* self, const Table& table) {
    return [self, table](std::string_view name, HandlerKind kind, BoundHandler& out) {
        for (const auto& entry : table) {
            if (entry.name != name) continue;
            if (entry.Kind() != kind) return false;
            if (kind == HandlerKind::Notify) {
                const auto method = entry.notify;
                out.notify = [self, method](Object& sender) { (self->*method)(sender); };
            } else {
                const auto method = entry.mouse;
                out.mouse = [self, method](Object& sender, MouseButton b, std::uint32_t s, int x,
                                           int y) { (self->*method)(sender, b, s, x, y); };
            }
            return true;
        }
        return false;
    };
}

// Whether a handler table has a method of the right shape under this name.
template <typename Table>
[[nodiscard]] bool TableResolves(const Table& table, std::string_view name, HandlerKind kind) {
    for (const auto& entry : table)
        if (entry.name == name) return entry.Kind() == kind;
    return false;
}

}  // namespace toolkit
