// The image list: equal-sized images, not shown, drawn opaque (every pixel, no mask).
// Its picture resource holds the images side by side, row after row. It is decoded when
// the form prepares its pictures, or earlier when code draws from it; its image size is
// the description's, scaled to the DPI it was decoded at.
#pragma once

#include "toolkit/component.h"
#include "toolkit/picture.h"

#include <string>

namespace toolkit {

class ImageList : public Component {
public:
    ImageList(ComponentHost& owner, const ComponentDescription& description);

    [[nodiscard]] int Count() const;
    [[nodiscard]] int ImageWidth() const;
    [[nodiscard]] int ImageHeight() const;
    [[nodiscard]] int ImageWidth96() const noexcept { return imageWidth96_; }
    [[nodiscard]] int ImageHeight96() const noexcept { return imageHeight96_; }
    // Image `index` made from the stored picture at width x height (at the list's DPI),
    // for an image whose scaled box is not the list's image size.
    [[nodiscard]] Pixels ImagePixels(int index, int width, int height) const;

    // Draws image `index` at (x, y); an index outside the list draws nothing.
    bool Draw(HDC dc, int x, int y, int index) const;
    // Gives the picture a bitmap of the image size and draws image `index` into it.
    bool GetBitmap(int index, Picture& target) const;

    void LoadPictures(int dpi) override;
    void ReleasePictures() noexcept override;

private:
    // Decodes the strip at the form's DPI when nothing has decoded it yet.
    void EnsureLoaded() const;

    std::string images_;
    int imageWidth96_;
    int imageHeight96_;
    // Decoded on first need; drawing from the list is not a change of the list.
    mutable Picture strip_;
    mutable int stripDpi_ = 0;  // 0: not decoded
    // The stored strip, kept where it was resampled (images of other sizes come from it),
    // and its scale in percent.
    mutable Pixels source_;
    mutable int sourceScale_ = 0;
};

}  // namespace toolkit
