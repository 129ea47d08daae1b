#include "toolkit/picture.h"

#include "toolkit/picture_loader.h"

#include <algorithm>
#include <cstdint>
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

void Picture::Load(HINSTANCE module, const std::string& name, int dpi) {
    SetPixels(LoadPictureAtDpi(module, name, dpi));
}

void Picture::SetPixels(const Pixels& pixels) {
    void* bits = nullptr;
    win32::UniqueBitmap created = CreateDibSection32(pixels.width, pixels.height, &bits);
    if (!created || !bits) throw std::runtime_error("Cannot create a picture bitmap.");
    std::copy(pixels.rgb.begin(), pixels.rgb.end(), static_cast<std::uint32_t*>(bits));
    GdiFlush();  // the pixels are written before any drawing with the bitmap
    bitmap_ = std::move(created);
    width_ = pixels.width;
    height_ = pixels.height;
}

void Picture::Reset() noexcept {
    bitmap_.reset();
    width_ = 0;
    height_ = 0;
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
