#include "toolkit/picture.h"

#include <algorithm>
#include <stdexcept>

namespace toolkit {

win32::UniqueBitmap CreateDibSection32(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    win32::UniqueBitmap bitmap(
        CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits) *bits = bitmap ? pixels : nullptr;
    return bitmap;
}

win32::UniqueBitmap CreatePlainBitmap(int width, int height) {
    void* bits = nullptr;
    win32::UniqueBitmap bitmap = CreateDibSection32(width, height, &bits);
    if (bitmap && bits)
        std::fill_n(static_cast<unsigned char*>(bits), static_cast<size_t>(width) * height * 4,
                    static_cast<unsigned char>(0xFF));
    return bitmap;
}

void Picture::Load(HINSTANCE module, const std::string& name) {
    win32::UniqueBitmap loaded(static_cast<HBITMAP>(
        LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!loaded) throw std::runtime_error("The picture " + name + " is missing.");
    BITMAP info{};
    GetObjectA(loaded.get(), sizeof info, &info);
    bitmap_ = std::move(loaded);
    width_ = info.bmWidth;
    height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
}

void Picture::SetSize(int width, int height) {
    win32::UniqueBitmap created = CreatePlainBitmap(width, height);
    if (!created) throw std::runtime_error("Cannot create a picture bitmap.");
    bitmap_ = std::move(created);
    width_ = width;
    height_ = height;
}

void Picture::Clear() {
    if (Empty()) return;
    PictureCanvas canvas(*this);
    const RECT all{0, 0, width_, height_};
    FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void Picture::Draw(HDC dc, int x, int y, int width, int height) const {
    if (Empty()) return;
    PictureCanvas canvas(*this);
    BitBlt(dc, x, y, std::min(width, width_), std::min(height, height_), canvas.Dc(), 0, 0,
           SRCCOPY);
}

PictureCanvas::PictureCanvas(const Picture& picture) : dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_) throw std::runtime_error("Cannot create a drawing surface.");
    selected_.emplace(dc_.get(), picture.Handle());
}

}  // namespace toolkit
