#include "toolkit/image_list.h"

#include "toolkit/form.h"

#include <stdexcept>

namespace toolkit {

ImageList::ImageList(Form& owner, const ComponentDescription& d)
    : Component(owner, d), imageWidth_(d.imageWidth), imageHeight_(d.imageHeight) {
    if (imageWidth_ <= 0 || imageHeight_ <= 0)
        throw std::runtime_error("The image list " + d.name + " has no image size.");
    if (!d.images.empty()) strip_.Load(owner.Module(), d.images);
}

int ImageList::Count() const noexcept {
    return (strip_.Width() / imageWidth_) * (strip_.Height() / imageHeight_);
}

bool ImageList::Draw(HDC dc, int x, int y, int index) const {
    if (index < 0 || index >= Count()) return false;
    const int perRow = strip_.Width() / imageWidth_;
    PictureCanvas canvas(strip_);
    return BitBlt(dc, x, y, imageWidth_, imageHeight_, canvas.Dc(), (index % perRow) * imageWidth_,
                  (index / perRow) * imageHeight_, SRCCOPY) != FALSE;
}

bool ImageList::GetBitmap(int index, Picture& target) const {
    if (index < 0 || index >= Count()) return false;
    target.SetSize(imageWidth_, imageHeight_);
    PictureCanvas canvas(target);
    return Draw(canvas.Dc(), 0, 0, index);
}

}  // namespace toolkit
