// The image list: equal-sized images, not shown, drawn opaque (every pixel, no mask).
// Its bitmap resource holds the images side by side, row after row.
#pragma once

#include "toolkit/component.h"
#include "toolkit/picture.h"

namespace toolkit {

class ImageList : public Component {
public:
    ImageList(Form& owner, const ComponentDescription& description);

    [[nodiscard]] int Count() const noexcept;
    [[nodiscard]] int ImageWidth() const noexcept { return imageWidth_; }
    [[nodiscard]] int ImageHeight() const noexcept { return imageHeight_; }

    // Draws image `index` at (x, y); an index outside the list draws nothing.
    bool Draw(HDC dc, int x, int y, int index) const;
    // Gives the picture a bitmap of the image size and draws image `index` into it.
    bool GetBitmap(int index, Picture& target) const;

private:
    Picture strip_;
    int imageWidth_;
    int imageHeight_;
};

}  // namespace toolkit
