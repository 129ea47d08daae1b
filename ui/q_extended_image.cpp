#include "ui/q_extended_image.h"

namespace ui {

void TExtendedImage::MouseEntered() {
    if (OnMouseOver) OnMouseOver(*this);
}

void TExtendedImage::MouseLeft() {
    if (OnMouseOut) OnMouseOut(*this);
}

toolkit::NotifyEvent* TExtendedImage::NotifySlot(std::string_view event) {
    if (event == "OnMouseOver") return &OnMouseOver;
    if (event == "OnMouseOut") return &OnMouseOut;
    return Image::NotifySlot(event);
}

}  // namespace ui
