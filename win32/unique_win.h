// Move-only owners of Win32 handles, and scope guards for paired calls.
// Copy is deleted everywhere: a copied owner would close its handle twice.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() noexcept = default;
    explicit Unique(Handle h) noexcept : handle_(h) {}
    ~Unique() { reset(); }

    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    [[nodiscard]] bool valid() const noexcept { return handle_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) noexcept {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    Handle handle_ = Traits::invalid();
};

struct FileHandleTraits {  // CreateFile: failure is INVALID_HANDLE_VALUE
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ::CloseHandle(h); }
};
struct KernelHandleTraits {  // CreateMutex, CreateProcess, ...: failure is null
    using Handle = HANDLE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::CloseHandle(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::RegCloseKey(h); }
};
template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DeleteObject(h); }
};
struct MemoryDcTraits {  // CreateCompatibleDC
    using Handle = HDC;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DeleteDC(h); }
};
struct IconTraits {  // CreateIcon*, LoadImage without LR_SHARED
    using Handle = HICON;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyIcon(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyMenu(h); }
};
struct WindowTraits {  // a window this code created and must destroy
    using Handle = HWND;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyWindow(h); }
};

using UniqueFile = Unique<FileHandleTraits>;
using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueKey = Unique<RegKeyTraits>;
using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniquePen = Unique<GdiObjectTraits<HPEN>>;
using UniqueRegion = Unique<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = Unique<MemoryDcTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueMenu = Unique<MenuTraits>;
using UniqueWindow = Unique<WindowTraits>;

// GetDC / ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd) { dc_ = ::BeginPaint(hwnd, &ps_); }
    ~PaintDc() { ::EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    [[nodiscard]] HDC get() const noexcept { return dc_; }
    [[nodiscard]] const RECT& area() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// SelectObject that puts the old object back.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~Selected() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace win32
