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

// What the system made of a font request: its face, whether it scales, its character height.
struct Realised {
    bool hasFace = false;
    bool scalable = false;
    int characterHeight = 0;
};

Realised Realise(HFONT font, const char* face) {
    win32::WindowDc screen(nullptr);
    win32::Selected select(screen.get(), font);
    char actual[LF_FACESIZE] = {};
    GetTextFaceA(screen.get(), LF_FACESIZE, actual);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen.get(), &metrics);
    Realised r;
    r.hasFace = _stricmp(actual, face) == 0;
    r.scalable = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
    r.characterHeight = metrics.tmHeight - metrics.tmInternalLeading;
    return r;
}

struct SizeQuery {
    int characterHeight;
    bool found = false;
};

int CALLBACK CheckSize(const LOGFONTA*, const TEXTMETRICA* metrics, DWORD type, LPARAM context) {
    auto& query = *reinterpret_cast<SizeQuery*>(context);
    if ((type & RASTER_FONTTYPE) &&
        metrics->tmHeight - metrics->tmInternalLeading == query.characterHeight)
        query.found = true;
    return query.found ? 0 : 1;
}

// Whether the bitmap face has this character height among the sizes it is drawn in;
// the system would make others by multiplying one, blocky.
bool BitmapFaceHasSize(const std::string& face, int characterHeight) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    SizeQuery query{characterHeight};
    win32::WindowDc screen(nullptr);
    EnumFontFamiliesExA(screen.get(), &wanted, &CheckSize, reinterpret_cast<LPARAM>(&query), 0);
    return query.found;
}

}  // namespace

win32::UniqueFont CreateDescribedFont(const FontDescription& font, int dpi) {
    const int height = ScaleToDpi(font.height, dpi);
    // A negative height asks for the character height, not the cell height.
    win32::UniqueFont wanted = MakeFont(-height, font.bold, font.face.c_str());
    const Realised r = wanted ? Realise(wanted.get(), font.face.c_str()) : Realised{};
    if (r.hasFace) {
        // At 100 % the described face as the system gives it, whatever sizes it has.
        if (dpi == kDefaultDpi || r.scalable ||
            (r.characterHeight == height && BitmapFaceHasSize(font.face, height)))
            return wanted;
        // The bitmap face would come at the nearest size it has: too small or too large.
        win32::UniqueFont scalable = MakeFont(-height, font.bold, kScalableFace);
        if (scalable && Realise(scalable.get(), kScalableFace).hasFace) return scalable;
        return wanted;
    }
    const int cellHeight = (height * 16 + 6) / 13;
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
