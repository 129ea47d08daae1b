// Window descriptions give places and sizes at 96 dots per inch; a window on a screen of
// another scale is laid out at s = dpi / 96. Edges are scaled, not sizes: a box's right
// edge is its scaled left plus width, so boxes that meet at 96 DPI meet at every scale,
// and one size can come out a pixel apart in two places.
#pragma once

namespace toolkit {

inline constexpr int kDefaultDpi = 96;

// A DPI where 0 means "none yet" (pictures not prepared, a strip not made): the layout's
// own scale stands in for it.
[[nodiscard]] constexpr int DpiOrDefault(int dpi) noexcept {
    return dpi != 0 ? dpi : kDefaultDpi;
}

// A coordinate or length at 96 DPI in pixels at `dpi`, rounded to the nearest pixel,
// halves away from zero (so that -x scales to the negative of x).
[[nodiscard]] constexpr int ScaleToDpi(int value, int dpi) noexcept {
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kDefaultDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDefaultDpi
                                         : -((-product + half) / kDefaultDpi));
}

// A box as left, top, right and bottom edges, in pixels.
struct ScaledBox {
    int left;
    int top;
    int right;
    int bottom;
    [[nodiscard]] constexpr int Width() const noexcept { return right - left; }
    [[nodiscard]] constexpr int Height() const noexcept { return bottom - top; }
    friend constexpr bool operator==(const ScaledBox&, const ScaledBox&) = default;
};

// A length that starts at `start` at 96 DPI, at `dpi`: the distance between its scaled
// edges. A picture drawn at a component's corner and as large as the component at 96 DPI
// thus fills the component's scaled box exactly, wherever the box lies.
[[nodiscard]] constexpr int ScaleSpan(int start, int length, int dpi) noexcept {
    return ScaleToDpi(start + length, dpi) - ScaleToDpi(start, dpi);
}

// The box of a description (left, top, width, height at 96 DPI) at `dpi`: each edge
// scaled on its own.
[[nodiscard]] constexpr ScaledBox ScaleBox(int left, int top, int width, int height,
                                           int dpi) noexcept {
    return {ScaleToDpi(left, dpi), ScaleToDpi(top, dpi), ScaleToDpi(left + width, dpi),
            ScaleToDpi(top + height, dpi)};
}

}  // namespace toolkit
