#include "toolkit/render.h"

#include "toolkit/picture.h"
#include "win32/unique_win.h"

#include <cstring>

namespace toolkit {

namespace {

struct Children {
    HWND parent;
    std::vector<HWND> list;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
    auto& c = *reinterpret_cast<Children*>(context);
    if (GetParent(child) == c.parent && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
        c.list.push_back(child);
    return TRUE;
}

}  // namespace

Pixels RenderClient(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    Pixels out;
    out.width = client.right;
    out.height = client.bottom;
    if (out.width <= 0 || out.height <= 0) return out;

    void* bits = nullptr;
    win32::UniqueBitmap bitmap = CreateDibSection32(out.width, out.height, &bits);
    win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc || !bits) return Pixels{};
    {
        win32::Selected select(dc.get(), bitmap.get());
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()),
                     PRF_CLIENT | PRF_ERASEBKGND);
        // Child windows print into a surface of their own each: in a shared one a
        // button's drawing clips the rest.
        Children children{hwnd, {}};
        EnumChildWindows(hwnd, &CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children.list) {
            RECT r{};
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
            const int w = r.right - r.left;
            const int h = r.bottom - r.top;
            win32::UniqueBitmap childBitmap = CreatePlainBitmap(w, h);
            win32::UniqueMemoryDc childDc(CreateCompatibleDC(nullptr));
            if (!childBitmap || !childDc) continue;
            win32::Selected selectChild(childDc.get(), childBitmap.get());
            PrintWindow(child, childDc.get(), 0);
            BitBlt(dc.get(), r.left, r.top, w, h, childDc.get(), 0, 0, SRCCOPY);
        }
        GdiFlush();
    }
    out.rgb.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    std::memcpy(out.rgb.data(), bits, out.rgb.size() * 4);
    for (auto& p : out.rgb) p &= 0xFFFFFF;  // BGRA in memory is 0x00RRGGBB as a number
    return out;
}

}  // namespace toolkit
