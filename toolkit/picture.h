// A picture: a bitmap owned by its holder, which code can clear and draw into.
#pragma once

#include "toolkit/pixels.h"
#include "win32/unique_win.h"

#include <optional>
#include <string>

namespace toolkit {

// A 32-bit top-down DIB section, or null when the system refuses; bits, when given, gets
// the address of its pixels (4 bytes each, blue first).
[[nodiscard]] win32::UniqueBitmap CreateDibSection32(int width, int height, void** bits = nullptr);

// A 32-bit top-down DIB section (white), or null when the system refuses.
[[nodiscard]] win32::UniqueBitmap CreatePlainBitmap(int width, int height);

class Picture {
public:
    [[nodiscard]] bool Empty() const noexcept { return !bitmap_; }
    [[nodiscard]] int Width() const noexcept { return width_; }
    [[nodiscard]] int Height() const noexcept { return height_; }
    [[nodiscard]] HBITMAP Handle() const noexcept { return bitmap_.get(); }

    // The picture of this name in the module's resources (toolkit/picture_loader.h) at
    // this DPI, decoded now; throws when it is missing.
    void Load(HINSTANCE module, const std::string& name, int dpi = 96);
    // A new bitmap holding these pixels.
    void SetPixels(const Pixels& pixels);
    // No bitmap any more.
    void Reset() noexcept;
    // A new bitmap of this size, cleared.
    void SetSize(int width, int height);
    // Fills the whole bitmap with the canvas's default brush (white).
    void Clear();
    // Copies the picture opaque and unscaled to (x, y), cut to at most width x height.
    void Draw(HDC dc, int x, int y, int width, int height) const;

private:
    win32::UniqueBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
};

// A memory DC with the picture's bitmap selected, for drawing into it. A bitmap is
// selected into one DC at a time: let the canvas go before the picture is painted.
class PictureCanvas {
public:
    explicit PictureCanvas(const Picture& picture);
    PictureCanvas(const PictureCanvas&) = delete;
    PictureCanvas& operator=(const PictureCanvas&) = delete;
    [[nodiscard]] HDC Dc() const noexcept { return dc_.get(); }

private:
    win32::UniqueMemoryDc dc_;
    std::optional<win32::Selected> selected_;
};

}  // namespace toolkit
