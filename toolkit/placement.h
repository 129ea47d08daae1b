// Where a window goes so that it can be seen: a remembered place can lie on a monitor that
// is gone (a laptop off its dock). Win32-free: the caller hands in the work areas.
#pragma once

#include <span>

namespace toolkit {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    [[nodiscard]] int Width() const noexcept { return right - left; }
    [[nodiscard]] int Height() const noexcept { return bottom - top; }
    friend bool operator==(const Box&, const Box&) = default;
};

// Whether box lies wholly inside area.
[[nodiscard]] bool Inside(const Box& box, const Box& area) noexcept;

// The box moved, at its size, by the least amount that puts it inside area; a box larger
// than the area keeps its left or top edge on the area's.
[[nodiscard]] Box MovedInside(const Box& box, const Box& area) noexcept;

// Where box goes: where it is when some work area holds it wholly, else moved inside
// nearest (the work area of the monitor nearest to it).
[[nodiscard]] Box Placed(const Box& box, std::span<const Box> workAreas,
                         const Box& nearest) noexcept;

}  // namespace toolkit
