// The hover image: an ordinary image that also tells its owner when the pointer comes
// onto it (OnMouseOver) and leaves it (OnMouseOut). It keeps no state of its own and
// neither repaints nor changes its picture; the bound handlers do what they like.
#pragma once

#include "toolkit/image.h"

#include <string_view>

namespace ui {

class TExtendedImage : public toolkit::Image {
public:
    using Image::Image;

    toolkit::NotifyEvent OnMouseOver;
    toolkit::NotifyEvent OnMouseOut;

    void MouseEntered() override;
    void MouseLeft() override;
    [[nodiscard]] toolkit::NotifyEvent* NotifySlot(std::string_view event) override;
};

}  // namespace ui
