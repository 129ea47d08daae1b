#include "toolkit/image_list.h"

#include "toolkit/form.h"
#include "toolkit/picture_loader.h"
#include "toolkit/resample.h"

#include <stdexcept>

namespace toolkit {

ImageList::ImageList(Form& owner, const ComponentDescription& d)
    : Component(owner, d),
      images_(d.images),
      imageWidth96_(d.imageWidth),
      imageHeight96_(d.imageHeight) {
    if (imageWidth96_ <= 0 || imageHeight96_ <= 0)
        throw std::runtime_error("The image list " + d.name + " has no image size.");
}

void ImageList::LoadPictures(int dpi) {
    if (images_.empty() || stripDpi_ == dpi) return;
    strip_.SetPixels(
        LoadPictureAtDpi(Owner().Module(), images_, dpi, imageWidth96_, imageHeight96_));
    stripDpi_ = dpi;
}

void ImageList::EnsureLoaded() const {
    if (stripDpi_ == 0)
        const_cast<ImageList*>(this)->LoadPictures(Owner().PicturesDpi() ? Owner().PicturesDpi()
                                                                         : 96);
}

int ImageList::ImageWidth() const {
    return ScaledLength(imageWidth96_, stripDpi_ ? stripDpi_ : 96);
}

int ImageList::ImageHeight() const {
    return ScaledLength(imageHeight96_, stripDpi_ ? stripDpi_ : 96);
}

int ImageList::Count() const {
    EnsureLoaded();
    if (strip_.Empty()) return 0;
    return (strip_.Width() / ImageWidth()) * (strip_.Height() / ImageHeight());
}

bool ImageList::Draw(HDC dc, int x, int y, int index) const {
    if (index < 0 || index >= Count()) return false;
    const int w = ImageWidth();
    const int h = ImageHeight();
    const int perRow = strip_.Width() / w;
    PictureCanvas canvas(strip_);
    return BitBlt(dc, x, y, w, h, canvas.Dc(), (index % perRow) * w, (index / perRow) * h,
                  SRCCOPY) != FALSE;
}

bool ImageList::GetBitmap(int index, Picture& target) const {
    if (index < 0 || index >= Count()) return false;
    target.SetSize(ImageWidth(), ImageHeight());
    PictureCanvas canvas(target);
    return Draw(canvas.Dc(), 0, 0, index);
}

}  // namespace toolkit
