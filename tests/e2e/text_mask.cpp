#include "tests/e2e/text_mask.h"

#include "toolkit/font.h"
#include "win32/unique_win.h"

namespace e2e {

std::vector<std::string> RenderTextMask(int height, const std::string& text, int dpi) {
    toolkit::FontDescription description;
    description.height = height;
    description.bold = true;
    win32::UniqueFont font = toolkit::CreateDescribedFont(description, dpi);

    win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    if (!dc) return {};
    win32::Selected selectFont(dc.get(), font.get());
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &size);
    if (size.cx <= 0 || size.cy <= 0) return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    win32::UniqueBitmap bitmap(
        CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    win32::Selected selectBitmap(dc.get(), bitmap.get());
    RECT all{0, 0, size.cx, size.cy};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    DrawTextA(dc.get(), text.data(), static_cast<int>(text.size()), &all,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    GdiFlush();

    const auto* pixels = static_cast<const unsigned*>(bits);
    std::vector<std::string> rows(static_cast<size_t>(size.cy), std::string(size.cx, '.'));
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            // Black on white: one channel is the coverage. A scalable face's smoothed
            // edges are '+', which a screenshot over another background may or may not
            // count as ink; a bitmap face has none.
            const unsigned level = pixels[y * size.cx + x] & 0xFF;
            if (level < 0x40)
                rows[y][x] = '#';
            else if (level < 0xE0)
                rows[y][x] = '+';
        }
    return rows;
}

}  // namespace e2e
