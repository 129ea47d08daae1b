// The image: one picture, owned by the component, shown unscaled and opaque at its
// top-left corner. It reports clicks and mouse presses. A hover image derives from it
// and turns the pointer notifications into events of its own.
#pragma once

#include "toolkit/component.h"
#include "toolkit/picture.h"

namespace toolkit {

class Image : public Component {
public:
    Image(Form& owner, const ComponentDescription& description);

    [[nodiscard]] Picture& GetPicture() noexcept { return picture_; }
    [[nodiscard]] bool Windowless() const override { return true; }
    void Paint(HDC dc) override;

private:
    Picture picture_;
};

}  // namespace toolkit
