#include "toolkit/placement.h"

#include <algorithm>

namespace toolkit {

namespace {

// The start of a span of length moved the least to lie in [low, high); a span too long
// starts at low.
int Fit(int start, int length, int low, int high) noexcept {
    return std::max(low, std::min(start, high - length));
}

}  // namespace

bool Inside(const Box& box, const Box& area) noexcept {
    return box.left >= area.left && box.top >= area.top && box.right <= area.right &&
           box.bottom <= area.bottom;
}

Box MovedInside(const Box& box, const Box& area) noexcept {
    const int left = Fit(box.left, box.Width(), area.left, area.right);
    const int top = Fit(box.top, box.Height(), area.top, area.bottom);
    return {left, top, left + box.Width(), top + box.Height()};
}

Box Placed(const Box& box, std::span<const Box> workAreas, const Box& nearest) noexcept {
    for (const Box& area : workAreas)
        if (Inside(box, area)) return box;
    return MovedInside(box, nearest);
}

}  // namespace toolkit
