// The image: one picture, owned by the component, shown unscaled and opaque at its
// top-left corner. It reports clicks and mouse presses. A hover image derives from it
// and turns the pointer notifications into events of its own.
//
// Its picture is decoded when the form prepares its pictures (before the first show, and
// again at a scale change), or earlier when code asks for it with GetPicture.
#pragma once

#include "toolkit/component.h"
#include "toolkit/picture.h"

#include <string>

namespace toolkit {

class ImageList;

class Image : public Component {
public:
    Image(ComponentHost& owner, const ComponentDescription& description);

    // The picture, decoded first (at the form's DPI) when it is a named one not yet loaded.
    [[nodiscard]] Picture& GetPicture();
    [[nodiscard]] bool Windowless() const override { return true; }
    void Paint(HDC dc) override;
    void LoadPictures(int dpi) override;
    void ReleasePictures() noexcept override;

    // Shows image `index` of the list from now on, at whatever scale the list is loaded:
    // drawn now when the form's pictures are prepared, otherwise when they are.
    void ShowListImage(ImageList& list, int index);

private:
    void DrawListImage(int dpi);

    Picture picture_;
    std::string pictureName_;    // the picture resource of the description, if any
    int pictureDpi_ = 0;         // the DPI picture_ was decoded at; 0: not decoded
    ImageList* list_ = nullptr;  // ShowListImage's list and image
    int listIndex_ = -1;
};

}  // namespace toolkit
