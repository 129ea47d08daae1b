// What the keyboard and a screen reader see of a form: its items (windowless components
// and child windows that it exposes), which of them are shown as children, their states
// and the order in which Tab visits them. Win32-free: the form feeds it what its
// components say now, and acts on the answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit::access {

// Roles and state bits, with the values the system's accessibility interface gives them.
enum class Role : std::uint32_t {
    Client = 0x0A,
    PageTab = 0x25,
    StaticText = 0x29,
    PushButton = 0x2B,
    CheckButton = 0x2C,
};

inline constexpr std::uint32_t kStateUnavailable = 0x1;
inline constexpr std::uint32_t kStateSelected = 0x2;
inline constexpr std::uint32_t kStateFocused = 0x4;
inline constexpr std::uint32_t kStateChecked = 0x10;
inline constexpr std::uint32_t kStateReadOnly = 0x40;
inline constexpr std::uint32_t kStateFocusable = 0x100000;
inline constexpr std::uint32_t kStateSelectable = 0x200000;

// One exposed component as it stands now.
struct Item {
    Role role = Role::StaticText;
    std::string name;
    bool visible = true;
    bool enabled = true;
    bool selected = false;     // a page tab: its page is the one shown
    int tabIndex = -1;         // the keyboard visits it in this order; -1: never
    bool childWindow = false;  // a window of its own, which answers for itself too
    bool checked = false;      // a check button: its mark is set
    std::string description;   // said after the name (why it is unavailable); empty: none
};

// The items shown as children, as indexes into items, in the order given (reading order):
// the visible ones. A child's identifier is its position in this list plus one.
[[nodiscard]] std::vector<std::size_t> Children(std::span<const Item> items);

// Whether Tab can stop on the item now: it has a tab index and is visible and enabled.
[[nodiscard]] bool TabStop(const Item& item);

// The item Tab (forward) or Shift+Tab moves the focus to from current (none: from
// outside the items), by tab index then by place in the list, wrapping around. None when
// no item can take the focus.
[[nodiscard]] std::optional<std::size_t> NextFocus(std::span<const Item> items,
                                                   std::optional<std::size_t> current,
                                                   bool forward);

// The state bits of a windowless item.
[[nodiscard]] std::uint32_t StateOf(const Item& item, bool focused);

// A screen reader's name for text shown in lines: the lines joined by one LF each, with
// no break at the end, whatever break characters the shown text uses.
[[nodiscard]] std::string NameOf(std::string_view shown);

// The default action's name; empty when the item has none.
[[nodiscard]] std::string DefaultActionOf(const Item& item);

}  // namespace toolkit::access
