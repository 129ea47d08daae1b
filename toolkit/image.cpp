#include "toolkit/image.h"

#include "toolkit/image_list.h"
#include "toolkit/picture_loader.h"
#include "toolkit/scale.h"

namespace toolkit {

Image::Image(ComponentHost& owner, const ComponentDescription& d)
    : Component(owner, d), pictureName_(d.picture) {}

Picture& Image::GetPicture() {
    if (!pictureName_.empty() && pictureDpi_ == 0) LoadPictures(Owner().PictureDpi());
    return picture_;
}

void Image::Paint(HDC dc) {
    picture_.Draw(dc, Left(), Top(), Width(), Height());
}

void Image::LoadPictures(int dpi) {
    if (!pictureName_.empty()) {
        if (pictureDpi_ != dpi)
            picture_.SetPixels(
                LoadPictureAt(Owner().Module(), pictureName_, dpi, Left96(), Top96()));
    } else if (list_) {
        list_->LoadPictures(dpi);
        DrawListImage(dpi);
    }
    pictureDpi_ = dpi;
}

void Image::ReleasePictures() noexcept {
    picture_.Reset();
    pictureDpi_ = 0;
}

void Image::ShowListImage(ImageList& list, int index) {
    list_ = &list;
    listIndex_ = index;
    if (Owner().PicturesDpi() != 0) DrawListImage(Owner().PicturesDpi());
}

void Image::DrawListImage(int dpi) {
    // The list's images are made at the scaled image size; at this image's place the
    // scaled edges can lie a pixel closer or further apart: then its own size, from the
    // stored picture, so that it fills its box.
    const int width = ScaleSpan(Left96(), list_->ImageWidth96(), dpi);
    const int height = ScaleSpan(Top96(), list_->ImageHeight96(), dpi);
    if (width != list_->ImageWidth() || height != list_->ImageHeight()) {
        picture_.SetPixels(list_->ImagePixels(listIndex_, width, height));
        return;
    }
    // The same bitmap is drawn into again while its size holds: no GDI object per change.
    if (picture_.Width() == list_->ImageWidth() && picture_.Height() == list_->ImageHeight()) {
        picture_.Clear();
        const PictureCanvas canvas(picture_);
        (void)list_->Draw(canvas.Dc(), 0, 0, listIndex_);
    } else {
        (void)list_->GetBitmap(listIndex_, picture_);
    }
}

}  // namespace toolkit
