#include "toolkit/image_list.h"

#include "toolkit/picture_loader.h"
#include "toolkit/resample.h"
#include "toolkit/scale.h"

#include <stdexcept>

namespace toolkit {

ImageList::ImageList(ComponentHost& owner, const ComponentDescription& d)
    : Component(owner, d),
      images_(d.images),
      imageWidth96_(d.imageWidth),
      imageHeight96_(d.imageHeight) {
    if (imageWidth96_ <= 0 || imageHeight96_ <= 0)
        throw std::runtime_error("The image list " + d.name + " has no image size.");
}

void ImageList::LoadPictures(int dpi) {
    if (images_.empty() || stripDpi_ == dpi) return;
    int scale = 0;
    Pixels source = LoadStoredPicture(Owner().Module(), images_, dpi, scale);
    const int fromWidth = imageWidth96_ * scale / 100;
    const int fromHeight = imageHeight96_ * scale / 100;
    strip_.SetPixels(ResampleTiles(source, fromWidth, fromHeight, ScaledLength(imageWidth96_, dpi),
                                   ScaledLength(imageHeight96_, dpi)));
    stripDpi_ = dpi;
    // Stored at this very scale, every image's scaled edges are whole pixels: all images
    // are the list's size and the stored strip is not needed again.
    const bool exact = scale * kDefaultDpi == dpi * 100;
    source_ = exact ? Pixels{} : std::move(source);
    sourceScale_ = scale;
}

void ImageList::ReleasePictures() noexcept {
    strip_.Reset();
    stripDpi_ = 0;
    source_ = Pixels{};
    sourceScale_ = 0;
}

Pixels ImageList::ImagePixels(int index, int width, int height) const {
    EnsureLoaded();
    if (source_.rgb.empty()) {
        int scale = 0;
        source_ = LoadStoredPicture(Owner().Module(), images_, stripDpi_, scale);
        sourceScale_ = scale;
    }
    const int w = imageWidth96_ * sourceScale_ / 100;
    const int h = imageHeight96_ * sourceScale_ / 100;
    const int perRow = w > 0 ? source_.width / w : 0;
    Pixels tile{w, h, {}};
    if (perRow <= 0 || index < 0 || index >= perRow * (source_.height / h)) return tile;
    tile.rgb.reserve(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            tile.rgb.push_back(source_.At((index % perRow) * w + x, (index / perRow) * h + y));
    return ResampleArea(tile, width, height);
}

void ImageList::EnsureLoaded() const {
    if (stripDpi_ == 0) const_cast<ImageList*>(this)->LoadPictures(Owner().PictureDpi());
}

int ImageList::ImageWidth() const {
    return ScaledLength(imageWidth96_, DpiOrDefault(stripDpi_));
}

int ImageList::ImageHeight() const {
    return ScaledLength(imageHeight96_, DpiOrDefault(stripDpi_));
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
