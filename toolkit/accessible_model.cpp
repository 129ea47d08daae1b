#include "toolkit/accessible_model.h"

#include "toolkit/text_lines.h"

#include <algorithm>

namespace toolkit::access {

std::vector<std::size_t> Children(std::span<const Item> items) {
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].visible) children.push_back(i);
    return children;
}

bool TabStop(const Item& item) {
    return item.tabIndex >= 0 && item.visible && item.enabled;
}

std::optional<std::size_t> NextFocus(std::span<const Item> items,
                                     std::optional<std::size_t> current, bool forward) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (TabStop(items[i])) order.push_back(i);
    if (order.empty()) return std::nullopt;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return items[a].tabIndex < items[b].tabIndex;
    });
    const auto at = current ? std::find(order.begin(), order.end(), *current) : order.end();
    if (at == order.end()) return forward ? order.front() : order.back();
    const std::size_t place = static_cast<std::size_t>(at - order.begin());
    if (forward) return order[(place + 1) % order.size()];
    return order[(place + order.size() - 1) % order.size()];
}

std::uint32_t StateOf(const Item& item, bool focused) {
    std::uint32_t state = 0;
    if (!item.enabled) state |= kStateUnavailable;
    switch (item.role) {
        case Role::StaticText: state |= kStateReadOnly; break;
        case Role::PageTab:
            state |= kStateSelectable;
            if (item.selected) state |= kStateSelected;
            break;
        case Role::CheckButton:
            if (item.checked) state |= kStateChecked;
            break;
        case Role::PushButton:
        case Role::Client: break;
    }
    if (TabStop(item)) state |= kStateFocusable;
    if (focused) state |= kStateFocused;
    return state;
}

std::string DefaultActionOf(const Item& item) {
    switch (item.role) {
        case Role::PushButton: return "Press";
        case Role::PageTab: return "Switch";
        case Role::CheckButton: return item.checked ? "Uncheck" : "Check";
        case Role::StaticText:
        case Role::Client: break;
    }
    return {};
}

std::string NameOf(std::string_view shown) {
    auto lines = SplitLines(shown);
    // Empty lines at the end show nothing; a reader would announce them as blank lines.
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    std::string name;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) name += '\n';
        name += lines[i];
    }
    return name;
}

}  // namespace toolkit::access
