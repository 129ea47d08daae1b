#include "toolkit/mouse_routing.h"

namespace toolkit {

namespace {

template <typename Accept>
std::optional<std::size_t> Topmost(std::span<const RoutingBox> boxes, int x, int y, Accept accept) {
    for (std::size_t i = boxes.size(); i-- > 0;)
        if (accept(boxes[i]) && boxes[i].Contains(x, y)) return i;
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> PressTarget(std::span<const RoutingBox> boxes, int x, int y) {
    return Topmost(boxes, x, y, [](const RoutingBox& b) { return b.visible && b.enabled; });
}

std::optional<std::size_t> HoverTarget(std::span<const RoutingBox> boxes, int x, int y) {
    return Topmost(boxes, x, y, [](const RoutingBox& b) { return b.visible; });
}

HoverTracker::Change HoverTracker::Update(std::optional<std::size_t> underPointer) {
    if (capture_ && underPointer != capture_) underPointer.reset();
    if (underPointer == current_) return {};
    Change change{current_, underPointer};
    current_ = underPointer;
    return change;
}

}  // namespace toolkit
