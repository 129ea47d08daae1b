// The form's painting: the pictures made at the window's scale, the one paint buffer, and
// the paint routine that draws the background and the windowless components.
#include "toolkit/form.h"

#include "toolkit/paint_report.h"
#include "toolkit/picture.h"
#include "toolkit/plain_look.h"

#include <utility>

namespace toolkit {

namespace {

// The timer that gives a hidden form's pictures back.
constexpr UINT_PTR kReleasePicturesTimer = 0x4B50;

}  // namespace

void Form::EnsurePictures() {
    if (picturesDpi_ == 0) PreparePictures(dpi_);
}

void Form::ReleasePictures() noexcept {
    for (const auto& c : components_) c->ReleasePictures();
    paintDc_.reset();
    paintBitmap_.reset();
    paintSize_ = {0, 0};
    picturesDpi_ = 0;
}

void Form::Shown(bool visible) {
    if (visible) {
        KillTimer(window_.get(), kReleasePicturesTimer);
    } else if (keptHiddenMs_ > 0 && picturesDpi_ != 0) {
        SetTimer(window_.get(), kReleasePicturesTimer, keptHiddenMs_, nullptr);
    }
}

bool Form::ReleaseTimerFired(WPARAM timer) {
    if (timer != kReleasePicturesTimer) return false;
    KillTimer(window_.get(), kReleasePicturesTimer);
    if (!Visible()) ReleasePictures();
    return true;
}

void Form::PreparePictures(int dpi) {
    if (picturesDpi_ == dpi) return;
    if (HighContrastOn()) {
        // Nothing is decoded for the system's colours: the pictures are made at the next
        // paint without high contrast, at the scale of then.
        picturesDpi_ = 0;
        return;
    }
    for (const auto& c : components_) c->LoadPictures(dpi);
    picturesDpi_ = dpi;
    MakePaintBuffer();
}

void Form::MakePaintBuffer() {
    paintDc_.reset();
    paintBitmap_.reset();
    paintSize_ = {0, 0};
    if (!doubleBuffered_) return;
    RECT client{};
    GetClientRect(window_.get(), &client);
    win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    win32::UniqueBitmap bitmap = CreateDibSection32(client.right, client.bottom);
    if (!dc || !bitmap) return;  // painting goes straight to the window then
    paintDc_ = std::move(dc);
    paintBitmap_ = std::move(bitmap);
    paintSize_ = {client.right, client.bottom};
}

void Form::PaintTo(HDC dc) {
    // Asked at each paint, so that a hidden form paints in the mode of its next show.
    const bool plain = HighContrastOn();
    // Painted before its first show (a rendering of the hidden window): pictures first.
    if (!plain) EnsurePictures();
    RECT client{};
    GetClientRect(window_.get(), &client);
    win32::UniqueBrush background(CreateSolidBrush(Color()));
    FillRect(dc, &client, background.get());
    for (Component* c : windowless_)
        if (c->Visible()) plain ? c->PaintPlain(dc) : c->Paint(dc);
    focus_.PaintFocus(dc);
}

void Form::ColoursChanged() {
    if (!Visible()) return;  // a hidden form paints in the new mode at its show
    RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT Form::OnPaint() {
    win32::PaintDc paint(window_.get());
    if (!doubleBuffered_) {
        PaintTo(paint.get());
        if (paintReportTo_) ReportPaint(paint.area());
        return 0;
    }
    RECT client{};
    GetClientRect(window_.get(), &client);
    // A window grown since (or buffered only now) gets a buffer of its new size.
    if (client.right > paintSize_.cx || client.bottom > paintSize_.cy) MakePaintBuffer();
    if (!paintDc_) {
        PaintTo(paint.get());
        if (paintReportTo_) ReportPaint(paint.area());
        return 0;
    }
    win32::Selected select(paintDc_.get(), paintBitmap_.get());
    PaintTo(paintDc_.get());
    const RECT& area = paint.area();
    BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
           paintDc_.get(), area.left, area.top, SRCCOPY);
    if (paintReportTo_) ReportPaint(area);
    return 0;
}

void Form::ReportPaint(const RECT& painted) {
    RECT client{};
    GetClientRect(window_.get(), &client);
    if (painted.left > 0 || painted.top > 0 || painted.right < client.right ||
        painted.bottom < client.bottom)
        return;  // a part only: the whole of it is still to come
    // The visible child windows (the check boxes) are part of what the user sees: painted
    // now rather than when the queue next runs empty.
    for (const auto& c : components_)
        if (const HWND child = c->ChildWindow(); child && IsWindowVisible(child))
            UpdateWindow(child);
    GdiFlush();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    PostMessageA(std::exchange(paintReportTo_, nullptr), kPaintReport, 0,
                 static_cast<LPARAM>(static_cast<DWORD>(now.QuadPart)));
}

}  // namespace toolkit
