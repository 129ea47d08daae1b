#include "toolkit/form.h"

#include "toolkit/accessible_win.h"
#include "toolkit/check_box.h"
#include "toolkit/font.h"
#include "toolkit/image.h"
#include "toolkit/image_list.h"
#include "toolkit/label.h"
#include "toolkit/picture.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace toolkit {

static_assert(static_cast<DWORD>(access::Role::Client) == ROLE_SYSTEM_CLIENT);
static_assert(static_cast<DWORD>(access::Role::PageTab) == ROLE_SYSTEM_PAGETAB);
static_assert(static_cast<DWORD>(access::Role::StaticText) == ROLE_SYSTEM_STATICTEXT);
static_assert(static_cast<DWORD>(access::Role::PushButton) == ROLE_SYSTEM_PUSHBUTTON);
static_assert(static_cast<DWORD>(access::Role::CheckButton) == ROLE_SYSTEM_CHECKBUTTON);
static_assert(access::kStateUnavailable == STATE_SYSTEM_UNAVAILABLE &&
              access::kStateSelected == STATE_SYSTEM_SELECTED &&
              access::kStateFocused == STATE_SYSTEM_FOCUSED &&
              access::kStateChecked == STATE_SYSTEM_CHECKED &&
              access::kStateReadOnly == STATE_SYSTEM_READONLY &&
              access::kStateFocusable == STATE_SYSTEM_FOCUSABLE &&
              access::kStateSelectable == STATE_SYSTEM_SELECTABLE);

namespace {

// Sent to a top-level window of a per-monitor aware program when its scale changes (it
// moved to another screen, or the screen's scale was changed); named in newer headers.
constexpr UINT kDpiChangedMessage = 0x02E0;
// WM_KEYDOWN's lParam: the key was already down (an automatic repeat).
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

// Windows above this tab index: the child windows come after the windowless stops.
constexpr int kWindowTabBase = 1000;

// A screen reader's default action, run once its call has returned.
UINT DefaultActionMessage() {
    static const UINT message = RegisterWindowMessageA("ToolkitFormDefaultAction");
    return message;
}

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
}

void Form::CreateChildWindows() {
    if (childWindowsCreated_) return;
    // Set first: a component's window may send the form messages while it is being made.
    childWindowsCreated_ = true;
    for (const auto& c : components_) c->CreateChildWindow();
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
            CreateChildWindows();
            PrepareForFirstShow();
            if (description_.centerOnFirstShow) CentreOnScreen();
        }
        shownOnce_ = true;
        // Before the window appears, so that what the handler sets is in its first paint.
        if (OnShow) OnShow(*this);
        ResetFocusCues();
        focused_ = initialFocus_;
        ShowWindow(window_.get(), SW_SHOW);
        // The window that appears takes the keyboard: the initial item, or the form.
        if (GetActiveWindow() == window_.get()) {
            if (focused_ && exposed_[*focused_].window)
                FocusItem(*focused_);
            else
                SetFocus(window_.get());
        }
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
        form->DisconnectAccessible();
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
        case WM_PRINTCLIENT:
            // A rendering of the hidden window shows the boxes as a show would.
            CreateChildWindows();
            PaintTo(reinterpret_cast<HDC>(wp));
            return 0;
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
        case WM_KEYDOWN: return OnKeyDown(wp, lp);
        case WM_GETOBJECT: return OnGetObject(wp, lp);
        case WM_SETFOCUS:
        case WM_KILLFOCUS: InvalidateItem(focused_); break;
        case WM_SHOWWINDOW:
            // A hidden form has nothing under the pointer: the component it was on is left.
            if (!wp) Deliver(hover_.Update(std::nullopt));
            break;
        default:
            if (msg == DefaultActionMessage() && wp < exposed_.size()) {
                Component& c = *exposed_[wp].component;
                if (!c.Visible() || !c.Enabled()) return 0;
                if (exposed_[wp].window) CreateChildWindows();
                if (const HWND child = c.ChildWindow())
                    SendMessageA(child, BM_CLICK, 0, 0);
                else
                    c.Click();
                return 0;
            }
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
    if (!focusCues_) return;
    // The focused windowless item, or the text beside a focused box.
    const Component* shown = nullptr;
    if (const auto item = FocusedItem()) {
        const ExposedItem& e = exposed_[*item];
        shown = e.window ? e.label : e.component;
    }
    if (shown && shown->Visible() && shown->Windowless()) {
        const RECT r = HitBounds(*shown);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &r);
    }
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

RECT Form::HitBounds(const Component& component) const {
    if (const HWND child = component.ChildWindow()) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window_.get(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    const auto boxes = Boxes();
    for (size_t i = 0; i < windowless_.size(); ++i)
        if (windowless_[i] == &component) {
            const RoutingBox& b = boxes[i];
            return RECT{b.left, b.top, b.left + b.width, b.top + b.height};
        }
    return component.BoundsRect();
}

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

// ---- keyboard and screen reader ----

void Form::Expose(Component& component, access::Role role, std::string name, int tabIndex,
                  std::function<bool()> selected) {
    exposed_.push_back({&component, role, std::move(name), tabIndex, std::move(selected), false});
}

void Form::ExposeWindow(Component& component, const Component& label) {
    int tab = -1;
    for (size_t i = 0; i < components_.size(); ++i)
        if (components_[i].get() == &component) tab = description_.components[i].tabOrder;
    exposed_.push_back({&component,
                        access::Role::CheckButton,
                        {},
                        kWindowTabBase + (tab < 0 ? kWindowTabBase : tab),
                        {},
                        true,
                        &label});
}

void Form::SetInitialFocus(Component& component) {
    initialFocus_ = ExposedIndex(component);
}

std::optional<std::size_t> Form::ExposedIndex(const Component& component) const {
    for (std::size_t i = 0; i < exposed_.size(); ++i)
        if (exposed_[i].component == &component) return i;
    return std::nullopt;
}

std::vector<access::Item> Form::AccessItems() const {
    std::vector<access::Item> items;
    items.reserve(exposed_.size());
    for (const auto& e : exposed_) {
        const Component& c = *e.component;
        const std::string shown = e.label ? e.label->ShownText() : c.ShownText();
        items.push_back({e.role, e.name.empty() ? shown : e.name, c.Visible(), c.Enabled(),
                         e.selected && e.selected(), e.tabIndex, e.window,
                         e.window && c.ChildChecked()});
    }
    return items;
}

std::optional<std::size_t> Form::FocusedItem() const {
    const HWND focus = GetFocus();
    if (!focus) return std::nullopt;
    if (focus == window_.get()) return focused_;
    for (std::size_t i = 0; i < exposed_.size(); ++i)
        if (exposed_[i].window && exposed_[i].component->ChildWindow() == focus) return i;
    return std::nullopt;
}

long Form::ChildId(std::size_t item) const {
    const auto shown = access::Children(AccessItems());
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] == item) return static_cast<long>(i + 1);
    return CHILDID_SELF;
}

void Form::InvalidateItem(std::optional<std::size_t> item) const {
    if (item && *item < exposed_.size()) exposed_[*item].component->Invalidate();
}

void Form::FocusItem(std::size_t item) {
    if (item >= exposed_.size()) return;
    if (exposed_[item].window) CreateChildWindows();
    if (const HWND child = exposed_[item].component->ChildWindow()) {
        // The system draws the box's focus and tells screen readers itself.
        InvalidateItem(focused_);
        focused_.reset();
        SetFocus(child);
        return;
    }
    InvalidateItem(focused_);
    focused_ = item;
    if (GetFocus() != window_.get()) SetFocus(window_.get());
    InvalidateItem(focused_);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window_.get(), OBJID_CLIENT, ChildId(item));
}

void Form::MoveFocus(bool forward) {
    const auto next = access::NextFocus(AccessItems(), FocusedItem(), forward);
    if (next) FocusItem(*next);
}

void Form::ResetFocusCues() {
    BOOL always = FALSE;
    SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &always, 0);
    focusCues_ = always != FALSE;
    SendMessageA(window_.get(), WM_CHANGEUISTATE,
                 MAKEWPARAM(focusCues_ ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS), 0);
}

void Form::ShowFocusCues() {
    if (focusCues_) return;
    focusCues_ = true;
    // The check boxes draw their own focus by the window's UI state.
    SendMessageA(window_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    InvalidateItem(focused_);
}

RECT Form::ItemScreenRect(std::size_t item) const {
    RECT r = HitBounds(*exposed_.at(item).component);
    MapWindowPoints(window_.get(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::optional<std::size_t> Form::ItemAtScreen(POINT point) const {
    POINT client = point;
    ScreenToClient(window_.get(), &client);
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < exposed_.size(); ++i) {
        const Component& c = *exposed_[i].component;
        const RECT r = HitBounds(c);
        if (!c.Visible() || !PtInRect(&r, client)) continue;
        // The child windows lie above every windowless component.
        if (c.ChildWindow()) return i;
        if (!found) found = i;
    }
    return found;
}

void Form::PostDefaultAction(std::size_t item) {
    PostMessageA(window_.get(), DefaultActionMessage(), item, 0);
}

void Form::ComponentChanged(const Component& component) {
    const auto item = ExposedIndex(component);
    if (!item || !window_) return;
    // A hidden or disabled item gives the focus back to the form.
    if (component.Visible() && component.Enabled()) return;
    if (focused_ == item) {
        InvalidateItem(focused_);
        focused_.reset();
    }
    const HWND child = component.ChildWindow();
    if (child && GetFocus() == child) SetFocus(window_.get());
}

void Form::ComponentTextChanged(const Component& component) {
    const auto item = ExposedIndex(component);
    if (!item || !window_ || !component.Visible()) return;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_.get(), OBJID_CLIENT, ChildId(*item));
}

LRESULT Form::OnKeyDown(WPARAM wp, LPARAM lp) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (wp) {
        case VK_TAB:
            if (ctrl) break;
            ShowFocusCues();
            MoveFocus(!shift);
            return 0;
        case VK_RETURN:
        case VK_SPACE:
            // A key held down runs the command once, not once per repeat.
            if ((lp & kKeyWasDown) == 0 && GetFocus() == window_.get() && focused_) {
                Component& c = *exposed_[*focused_].component;
                ShowFocusCues();
                if (c.Visible() && c.Enabled()) c.Click();
            }
            return 0;
        default: break;
    }
    return DefWindowProcA(window_.get(), WM_KEYDOWN, wp, lp);
}

LRESULT Form::OnGetObject(WPARAM wp, LPARAM lp) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT)
        return DefWindowProcA(window_.get(), WM_GETOBJECT, wp, lp);
    // The reader is told of the boxes as windows of their own: they must exist.
    CreateChildWindows();
    if (!accessible_) accessible_.reset(std::make_unique<FormAccessible>(*this).release());
    return AnswerGetObject(*accessible_, wp);
}

void Form::DisconnectAccessible() noexcept {
    accessible_.reset();  // disconnects; clients that hold it get an error from then on
}

}  // namespace toolkit
