#include "toolkit/form.h"

#include "toolkit/check_box.h"
#include "toolkit/font.h"
#include "toolkit/image.h"
#include "toolkit/image_list.h"
#include "toolkit/label.h"
#include "toolkit/picture.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace toolkit {

namespace {

// Sent to a top-level window of a per-monitor aware program when its scale changes (it
// moved to another screen, or the screen's scale was changed); named in newer headers.
constexpr UINT kDpiChangedMessage = 0x02E0;

constexpr ComponentKind kToolkitKinds[] = {
    {"Image", &MakeComponent<Image>},
    {"Label", &MakeComponent<Label>},
    {"CheckBox", &MakeComponent<CheckBox>},
    {"ImageList", &MakeComponent<ImageList>},
};

ComponentFactory FindFactory(std::string_view kind, std::span<const ComponentKind> extra) {
    for (const auto& k : extra)
        if (k.kind == kind) return k.make;
    for (const auto& k : kToolkitKinds)
        if (k.kind == kind) return k.make;
    return nullptr;
}

void RegisterFormClass(HINSTANCE module, const std::string& name, WNDPROC procedure) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(module, name.c_str(), &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.hInstance = module;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExA(&wc))
        throw std::runtime_error("Cannot register the window class " + name + ".");
}

// The window's dots per inch. GetDpiForWindow exists from Windows 10 on; before it, the
// system's scale is every window's.
int WindowDpi(HWND hwnd) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    int dpi = getDpiForWindow ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
    if (dpi <= 0) {
        win32::WindowDc screen(nullptr);
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    return dpi > 0 ? dpi : kDefaultDpi;
}

std::uint32_t ShiftFrom(WPARAM keys, bool isDouble) {
    std::uint32_t shift = 0;
    if (keys & MK_SHIFT) shift |= kShift;
    if (keys & MK_CONTROL) shift |= kCtrl;
    if (keys & MK_LBUTTON) shift |= kLeft;
    if (keys & MK_RBUTTON) shift |= kRight;
    if (keys & MK_MBUTTON) shift |= kMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
    if (isDouble) shift |= kDouble;
    return shift;
}

}  // namespace

std::string LoadDescriptionText(HINSTANCE module, std::string_view resource) {
    const std::string name(resource);
    HRSRC found = FindResourceA(module, name.c_str(), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw std::runtime_error("The window description " + name + " is missing.");
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

Form::Form(Application& app, const Setup& setup)
    : Form(app,
           ParseDescription(LoadDescriptionText(
               setup.module ? setup.module : GetModuleHandleA(nullptr), setup.resource)),
           setup) {}

Form::Form(Application& app, const WindowDescription& description, const Setup& setup)
    : app_(app),
      description_(description),
      module_(setup.module ? setup.module : GetModuleHandleA(nullptr)),
      doubleBuffered_(description.doubleBuffered) {
    CreateWindowFromDescription();
    CreateComponents(setup.kinds);
    BindEvents(setup.handlers);
}

Form::~Form() {
    // The window goes first: its messages must not reach components being destroyed.
    window_.reset();
}

void Form::CreateWindowFromDescription() {
    RegisterFormClass(module_, description_.className, &Form::WindowProc);
    // WS_POPUP: no border, no title bar, no system menu; the client area is the window.
    // Owned by the application window, which keeps it off the taskbar.
    CreateWindowExA(0, description_.className.c_str(), description_.title.c_str(),
                    WS_POPUP | WS_CLIPCHILDREN, 0, 0, description_.width, description_.height,
                    app_.Handle(), nullptr, module_, this);
    if (!window_)
        throw std::runtime_error("Cannot create the window " + description_.className + ".");
    // The scale is the window's own: that of the screen it was made on.
    dpi_ = WindowDpi(window_.get());
    font_ = CreateDescribedFont(description_.font, dpi_);
    if (dpi_ != kDefaultDpi)
        SetWindowPos(window_.get(), nullptr, 0, 0, ScaleToDpi(description_.width, dpi_),
                     ScaleToDpi(description_.height, dpi_),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ApplyScale(int dpi) {
    dpi_ = dpi;
    // The check boxes still hold the old font until they take the new one.
    win32::UniqueFont previous = std::exchange(font_, CreateDescribedFont(description_.font, dpi));
    for (const auto& c : components_) c->ScaleChanged();
    SetWindowPos(window_.get(), nullptr, 0, 0, ScaleToDpi(description_.width, dpi),
                 ScaleToDpi(description_.height, dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Pictures already made are made again at the new scale (and the paint buffer at the
    // new size) before the next paint; a window not yet shown decodes them at its first show.
    if (picturesDpi_ != 0) PreparePictures(dpi);
    InvalidateRect(window_.get(), nullptr, FALSE);
}

void Form::CreateComponents(std::span<const ComponentKind> kinds) {
    for (const auto& d : description_.components) {
        const ComponentFactory make = FindFactory(d.kind, kinds);
        if (!make)
            throw std::runtime_error(description_.className + ": unknown component kind " + d.kind +
                                     " of " + d.name + ".");
        components_.push_back(make(*this, d));
        if (components_.back()->Windowless()) windowless_.push_back(components_.back().get());
    }
    // The system's tab order is the child windows' z-order: sort the check boxes by it.
    std::vector<std::pair<int, HWND>> order;
    for (size_t i = 0; i < components_.size(); ++i)
        if (const HWND child = components_[i]->ChildWindow()) {
            const int tab = description_.components[i].tabOrder;
            order.emplace_back(tab < 0 ? 1 << 20 : tab, child);
        }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    HWND after = HWND_TOP;
    for (const auto& [tab, child] : order) {
        SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
    }
}

void Form::BindEvents(const HandlerResolver& resolver) {
    auto bind = [&](std::string_view owner, const HandlerBinding& b, NotifyEvent* notify,
                    MouseEvent* mouse) {
        const HandlerKind kind = KindOfEvent(b.event);
        if ((kind == HandlerKind::Notify && !notify) || (kind == HandlerKind::Mouse && !mouse))
            throw std::runtime_error(description_.className + ": " + std::string(owner) +
                                     " has no event " + b.event + ".");
        BoundHandler bound;
        if (!resolver || !resolver(b.handler, kind, bound))
            throw std::runtime_error(description_.className + ": no handler " + b.handler +
                                     " for " + std::string(owner) + "." + b.event + ".");
        if (kind == HandlerKind::Notify)
            *notify = std::move(bound.notify);
        else
            *mouse = std::move(bound.mouse);
    };
    for (const auto& b : description_.handlers) {
        NotifyEvent* notify = b.event == "OnCreate"    ? &OnCreate
                              : b.event == "OnDestroy" ? &OnDestroy
                              : b.event == "OnShow"    ? &OnShow
                                                       : nullptr;
        bind("the form", b, notify, b.event == "OnMouseDown" ? &OnMouseDown : nullptr);
    }
    for (size_t i = 0; i < components_.size(); ++i)
        for (const auto& b : description_.components[i].handlers)
            bind(components_[i]->Name(), b, components_[i]->NotifySlot(b.event),
                 components_[i]->MouseSlot(b.event));
}

void Form::Created() {
    if (OnCreate) OnCreate(*this);
}

void Form::Destroying() noexcept {
    try {
        if (OnDestroy && window_) OnDestroy(*this);
    } catch (...) {
        app_.ReportCurrentException();
    }
    // The derived form's message handlers go before the rest of it does.
    messageHandlers_.clear();
    window_.reset();
}

COLORREF Form::Color() const {
    return ToColorRef(description_.color);
}

Component* Form::FindComponent(std::string_view name) const {
    for (const auto& c : components_)
        if (c->Name() == name) return c.get();
    return nullptr;
}

// ---- showing, hiding, modal ----

bool Form::Visible() const {
    return IsWindowVisible(window_.get()) != FALSE;
}

void Form::CentreOnScreen() {
    const int width = ScaleToDpi(description_.width, dpi_);
    const int height = ScaleToDpi(description_.height, dpi_);
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    SetWindowPos(window_.get(), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
    if (!Visible()) {
        if (!shownOnce_) {
            // The pictures and the paint buffer are made only now: a window that is never
            // shown costs neither.
            PrepareForFirstShow();
            if (description_.centerOnFirstShow) CentreOnScreen();
        }
        shownOnce_ = true;
        // Before the window appears, so that what the handler sets is in its first paint.
        if (OnShow) OnShow(*this);
        ShowWindow(window_.get(), SW_SHOW);
    }
    SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::Hide() {
    ShowWindow(window_.get(), SW_HIDE);
}

void Form::Close() {
    if (modal_)
        modalResult_ = kModalResultCancel;
    else
        Hide();
}

namespace {

struct DisableContext {
    HWND keep;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOther(HWND hwnd, LPARAM context) {
    auto& c = *reinterpret_cast<DisableContext*>(context);
    if (hwnd != c.keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        c.disabled.push_back(hwnd);
    }
    return TRUE;
}

// Enables the windows again however the modal loop ends.
class ReenableOnExit {
public:
    explicit ReenableOnExit(std::vector<HWND>& windows) : windows_(windows) {}
    ReenableOnExit(const ReenableOnExit&) = delete;
    ReenableOnExit& operator=(const ReenableOnExit&) = delete;
    ~ReenableOnExit() {
        for (HWND hwnd : windows_)
            if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    }

private:
    std::vector<HWND>& windows_;
};

}  // namespace

int Form::ShowModal() {
    if (Visible() || modal_) throw std::logic_error("A visible window cannot be shown modally.");
    DisableContext context{window_.get(), {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&context));
    const HWND previouslyActive = GetActiveWindow();
    bool wasActiveAtEnd = false;
    {
        ReenableOnExit reenable(context.disabled);
        modal_ = true;
        modalResult_ = 0;
        try {
            Show();
            while (modalResult_ == 0) {
                // A quit message taken here, or by a modal loop inside this one, ends it.
                if (app_.Terminating() || !app_.ProcessMessage() || app_.Terminating())
                    modalResult_ = kModalResultCancel;
            }
        } catch (...) {
            modal_ = false;
            Hide();
            throw;
        }
        modal_ = false;
        wasActiveAtEnd = GetActiveWindow() == window_.get();
        Hide();
    }
    if (wasActiveAtEnd && previouslyActive && IsWindow(previouslyActive))
        SetActiveWindow(previouslyActive);
    return modalResult_;
}

void Form::StartSystemMove() {
    ReleaseCapture();
    // A move as if the caption were dragged, sent straight to the window: the default
    // handling runs the system's interactive move and returns when it ends.
    SendMessageA(window_.get(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

// ---- messages ----

void Form::SetMessageHandler(UINT msg, MessageHandler handler) {
    messageHandlers_[msg] = std::move(handler);
}

void Form::Inherited(Message& message) {
    message.result = DefaultHandling(message.msg, message.wParam, message.lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        // The form rides on the window from its first message on.
        auto* created = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->window_.reset(hwnd);
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY && form) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        (void)form->window_.release();  // gone already, whoever destroyed it
        form = nullptr;
    }
    if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
    // No exception crosses into the system: it is shown, and the program goes on.
    try {
        return form->Dispatch(msg, wp, lp);
    } catch (...) {
        form->app_.ReportCurrentException();
        return 0;
    }
}

LRESULT Form::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    const auto own = messageHandlers_.find(msg);
    if (own == messageHandlers_.end()) return DefaultHandling(msg, wp, lp);
    Message message{msg, wp, lp, 0};
    own->second(message);
    return message.result;
}

LRESULT Form::DefaultHandling(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: return OnPaint();
        case WM_PRINTCLIENT: PaintTo(reinterpret_cast<HDC>(wp)); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: return OnMouseButton(msg, wp, lp);
        case WM_LBUTTONUP: return OnLeftButtonUp(lp);
        case WM_MOUSEMOVE: return OnMouseMove(lp);
        case WM_MOUSELEAVE: return OnMouseLeave();
        case WM_CAPTURECHANGED: return OnCaptureChanged();
        case WM_SETCURSOR: return OnSetCursor(wp, lp);
        case WM_COMMAND: return OnCommand(wp, lp);
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: return OnControlColor(wp);
        case WM_CLOSE: Close(); return 0;
        case kDpiChangedMessage: return OnDpiChanged(wp, lp);
        case WM_SHOWWINDOW:
            // A hidden form has nothing under the pointer: the component it was on is left.
            if (!wp) Deliver(hover_.Update(std::nullopt));
            break;
    }
    return DefWindowProcA(window_.get(), msg, wp, lp);
}

// ---- painting ----

void Form::PrepareForFirstShow() {
    if (picturesDpi_ == 0) PreparePictures(dpi_);
}

void Form::PreparePictures(int dpi) {
    if (picturesDpi_ == dpi) return;
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
    // Painted before its first show (a rendering of the hidden window): pictures first.
    PrepareForFirstShow();
    RECT client{};
    GetClientRect(window_.get(), &client);
    win32::UniqueBrush background(CreateSolidBrush(Color()));
    FillRect(dc, &client, background.get());
    for (Component* c : windowless_)
        if (c->Visible()) c->Paint(dc);
}

LRESULT Form::OnPaint() {
    win32::PaintDc paint(window_.get());
    if (!doubleBuffered_) {
        PaintTo(paint.get());
        return 0;
    }
    RECT client{};
    GetClientRect(window_.get(), &client);
    // A window grown since (or buffered only now) gets a buffer of its new size.
    if (client.right > paintSize_.cx || client.bottom > paintSize_.cy) MakePaintBuffer();
    if (!paintDc_) {
        PaintTo(paint.get());
        return 0;
    }
    win32::Selected select(paintDc_.get(), paintBitmap_.get());
    PaintTo(paintDc_.get());
    const RECT& area = paint.area();
    BitBlt(paint.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
           paintDc_.get(), area.left, area.top, SRCCOPY);
    return 0;
}

// ---- mouse routing ----

std::vector<RoutingBox> Form::Boxes() const {
    std::vector<RoutingBox> boxes;
    boxes.reserve(windowless_.size());
    for (const Component* c : windowless_)
        boxes.push_back({c->Left(), c->Top(), c->Width(), c->Height(), c->Visible(), c->Enabled()});
    return boxes;
}

std::optional<size_t> Form::UnderPoint(int x, int y) const {
    RECT client{};
    GetClientRect(window_.get(), &client);
    if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return std::nullopt;
    return HoverTarget(Boxes(), x, y);
}

std::optional<size_t> Form::UnderCursor() const {
    POINT p{};
    if (!GetCursorPos(&p) || WindowFromPoint(p) != window_.get()) return std::nullopt;
    ScreenToClient(window_.get(), &p);
    return UnderPoint(p.x, p.y);
}

void Form::Deliver(HoverTracker::Change change) {
    if (change.left) windowless_[*change.left]->MouseLeft();
    if (change.entered) windowless_[*change.entered]->MouseEntered();
}

void Form::TrackLeave() {
    // Armed only while the pointer is really inside: armed from outside, the system
    // either arms nothing or reports a leave at once.
    POINT p{};
    if (captureHeld_ || !GetCursorPos(&p) || WindowFromPoint(p) != window_.get()) return;
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    if (TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE) && query.hwndTrack == window_.get())
        return;
    TRACKMOUSEEVENT arm{sizeof arm, TME_LEAVE, window_.get(), 0};
    TrackMouseEvent(&arm);
}

LRESULT Form::OnMouseButton(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp);
    const int y = GET_Y_LPARAM(lp);
    const bool isDouble =
        msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    const MouseButton button =
        (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)   ? MouseButton::Left
        : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) ? MouseButton::Right
                                                             : MouseButton::Middle;
    const auto boxes = Boxes();
    const auto target = PressTarget(boxes, x, y);
    if (button == MouseButton::Left) {
        pressed_ = target;
        // The second press of a double click brings a double-click event, not a click.
        clickArmed_ = target.has_value() && !isDouble;
        captureHeld_ = true;
        hover_.SetCapture(target);
        SetCapture(window_.get());
    }
    const std::uint32_t shift = ShiftFrom(wp, isDouble);
    if (!target) {
        if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
        return 0;
    }
    Component& c = *windowless_[*target];
    if (isDouble && button == MouseButton::Left) c.DblClick();
    c.MouseDown(button, shift, x - c.Left(), y - c.Top());
    return 0;
}

LRESULT Form::OnLeftButtonUp(LPARAM lp) {
    const int x = GET_X_LPARAM(lp);
    const int y = GET_Y_LPARAM(lp);
    if (captureHeld_) {
        const auto pressed = pressed_;
        const bool armed = clickArmed_;
        captureHeld_ = false;
        clickArmed_ = false;
        pressed_.reset();
        hover_.SetCapture(std::nullopt);
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
        if (armed && pressed) {
            Component& c = *windowless_[*pressed];
            if (c.Visible() && c.Enabled() && x >= c.Left() && y >= c.Top() &&
                x < c.Left() + c.Width() && y < c.Top() + c.Height())
                c.Click();
        }
    }
    Deliver(hover_.Update(UnderPoint(x, y)));
    TrackLeave();
    return 0;
}

LRESULT Form::OnMouseMove(LPARAM lp) {
    Deliver(hover_.Update(UnderPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))));
    TrackLeave();
    return 0;
}

LRESULT Form::OnMouseLeave() {
    // Some systems report a leave while this window holds the capture: the pointer
    // still belongs to the pressed component then.
    if (captureHeld_ || GetCapture() == window_.get()) return 0;
    Deliver(hover_.Update(std::nullopt));
    return 0;
}

LRESULT Form::OnCaptureChanged() {
    if (releasingCapture_) return 0;
    // Taken away (a handler released it, for a system move say): no click follows, and
    // the pointer may be elsewhere by now.
    captureHeld_ = false;
    clickArmed_ = false;
    pressed_.reset();
    hover_.SetCapture(std::nullopt);
    Deliver(hover_.Update(UnderCursor()));
    return 0;
}

LRESULT Form::OnSetCursor(WPARAM wp, LPARAM lp) {
    if (reinterpret_cast<HWND>(wp) == window_.get() && LOWORD(lp) == HTCLIENT) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(window_.get(), &p);
        const auto boxes = Boxes();
        const auto target = PressTarget(boxes, p.x, p.y);
        if (target && windowless_[*target]->HandCursor()) {
            SetCursor(LoadCursorA(nullptr, IDC_HAND));
            return TRUE;
        }
    }
    return DefWindowProcA(window_.get(), WM_SETCURSOR, wp, lp);
}

LRESULT Form::OnCommand(WPARAM wp, LPARAM lp) {
    if (HIWORD(wp) != BN_CLICKED || lp == 0) return 0;
    const HWND from = reinterpret_cast<HWND>(lp);
    for (const auto& c : components_)
        if (c->ChildWindow() == from) {
            c->ChildClicked();
            break;
        }
    return 0;
}

LRESULT Form::OnDpiChanged(WPARAM wp, LPARAM lp) {
    const int dpi = HIWORD(wp);  // the vertical scale; the horizontal one is the same
    if (dpi > 0 && dpi != dpi_) ApplyScale(dpi);
    // The system's suggested place on the new screen; the size is the layout's own, which
    // can differ from the suggested one (the old size scaled) by a pixel of rounding.
    if (const auto* suggested = reinterpret_cast<const RECT*>(lp))
        SetWindowPos(window_.get(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT Form::OnControlColor(WPARAM wp) {
    const HDC dc = reinterpret_cast<HDC>(wp);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace toolkit
