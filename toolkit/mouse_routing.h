// Which windowless component the mouse is on, and the pointer-enter/leave sequencing.
// Win32-free: the form feeds it boxes and points, and acts on the answers.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace toolkit {

// A windowless component as routing sees it, in stacking order (later is above).
struct RoutingBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
    bool enabled = true;

    [[nodiscard]] bool Contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
};

// The component a press at (x, y) goes to: the topmost visible and enabled one under
// the point. Hidden and disabled ones let the press through.
[[nodiscard]] std::optional<std::size_t> PressTarget(std::span<const RoutingBox> boxes, int x,
                                                     int y);

// The component the pointer is on for enter/leave: the topmost visible one under the
// point. Disabled ones count.
[[nodiscard]] std::optional<std::size_t> HoverTarget(std::span<const RoutingBox> boxes, int x,
                                                     int y);

// Pointer-enter and pointer-leave sequencing. When the component under the pointer is
// not the one found last time, the previous one is left and then the new one entered.
// While a component holds the capture (its left button press is still down), only that
// component is told either: another component under the pointer counts as none.
class HoverTracker {
public:
    struct Change {
        std::optional<std::size_t> left;     // told pointer-left, first
        std::optional<std::size_t> entered;  // told pointer-entered, second
    };

    // The component now under the pointer (none: off every component or off the form).
    [[nodiscard]] Change Update(std::optional<std::size_t> underPointer);

    void SetCapture(std::optional<std::size_t> holder) { capture_ = holder; }
    [[nodiscard]] std::optional<std::size_t> Capture() const { return capture_; }
    [[nodiscard]] std::optional<std::size_t> Current() const { return current_; }

private:
    std::optional<std::size_t> current_;
    std::optional<std::size_t> capture_;
};

}  // namespace toolkit
