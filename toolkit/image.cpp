#include "toolkit/image.h"

#include "toolkit/form.h"

namespace toolkit {

Image::Image(Form& owner, const ComponentDescription& d) : Component(owner, d) {
    if (!d.picture.empty()) picture_.Load(owner.Module(), d.picture);
}

void Image::Paint(HDC dc) {
    picture_.Draw(dc, Left(), Top(), Width(), Height());
}

}  // namespace toolkit
