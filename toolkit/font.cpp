#include "toolkit/font.h"

#include <cstring>
#include <stdexcept>

namespace toolkit {

namespace {

win32::UniqueFont MakeFont(int height, bool bold, const char* face) {
    return win32::UniqueFont(CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                         FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_DONTCARE, face));
}

bool HasFace(HFONT font, const std::string& face) {
    win32::WindowDc screen(nullptr);
    win32::Selected select(screen.get(), font);
    char actual[LF_FACESIZE] = {};
    GetTextFaceA(screen.get(), LF_FACESIZE, actual);
    return _stricmp(actual, face.c_str()) == 0;
}

}  // namespace

win32::UniqueFont CreateDescribedFont(const FontDescription& font) {
    // A negative height asks for the character height, not the cell height.
    win32::UniqueFont wanted = MakeFont(-font.height, font.bold, font.face.c_str());
    if (wanted && HasFace(wanted.get(), font.face)) return wanted;
    const int cellHeight = (font.height * 16 + 6) / 13;
    win32::UniqueFont fallback = MakeFont(cellHeight, font.bold, "Arial");
    if (fallback) return fallback;
    if (wanted) return wanted;
    throw std::runtime_error("Cannot create the font " + font.face + ".");
}

COLORREF ToColorRef(Color color) {
    if (color.system) return GetSysColor(static_cast<int>(color.value));
    return RGB((color.value >> 16) & 0xFF, (color.value >> 8) & 0xFF, color.value & 0xFF);
}

}  // namespace toolkit
