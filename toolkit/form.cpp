#include "toolkit/form.h"

#include "toolkit/check_box.h"
#include "toolkit/font.h"
#include "toolkit/image.h"
#include "toolkit/image_list.h"
#include "toolkit/label.h"
#include "toolkit/paint_report.h"
#include "toolkit/plain_look.h"
#include "win32/proc_address.h"

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
    static const auto getDpiForWindow = win32::ProcAddress<GetDpiForWindowFunction>(
        GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    int dpi = getDpiForWindow ? static_cast<int>(getDpiForWindow(hwnd)) : 0;
    if (dpi <= 0) {
        win32::WindowDc screen(nullptr);
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    return dpi > 0 ? dpi : kDefaultDpi;
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
    return HighContrastOn() ? GetSysColor(COLOR_WINDOW) : ToColorRef(description_.color);
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

void Form::Show() {
    if (!Visible()) {
        if (!shownOnce_) {
            // The check boxes, like the pictures and the paint buffer, are made only now: a
            // window that is never shown costs none of them.
            CreateChildWindows();
            SetWindowIcons();
            if (description_.centerOnFirstShow) CentreOnScreen();
        }
        // Made at the first show, or again after a long hide gave them back.
        EnsurePictures();
        shownOnce_ = true;
        // Before the window appears, so that what the handler sets is in its first paint.
        if (OnShow) OnShow(*this);
        focus_.Showing();
        ShowWindow(window_.get(), SW_SHOW);
        focus_.Shown();
    }
    SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Form::SetWindowIcons() {
    // A window without an icon shows the system's default one on its taskbar button and in
    // the task switcher. Made at the first show: a form never shown costs no icon.
    if (description_.icon.empty()) return;
    const auto load = [this](int size) {
        return win32::UniqueIcon(static_cast<HICON>(
            LoadImageA(Module(), description_.icon.c_str(), IMAGE_ICON, size, size, 0)));
    };
    bigIcon_ = load(GetSystemMetrics(SM_CXICON));
    smallIcon_ = load(GetSystemMetrics(SM_CXSMICON));
    // A size that did not load keeps the system's default icon: no reason to refuse the show.
    if (bigIcon_)
        SendMessageA(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_)
        SendMessageA(window_.get(), WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(smallIcon_.get()));
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
        form->focus_.Disconnect();
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
    // The keyboard, the focus and a screen reader's requests.
    if (LRESULT result = 0; focus_.HandleMessage(msg, wp, lp, result)) return result;
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
        case WM_SETTINGCHANGE:
            if (wp == SPI_SETHIGHCONTRAST) ColoursChanged();
            break;
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: ColoursChanged(); break;
        case kDpiChangedMessage: return OnDpiChanged(wp, lp);
        case kPaintReportRequest: paintReportTo_ = reinterpret_cast<HWND>(wp); return 0;
        case WM_SHOWWINDOW:
            // A hidden form has nothing under the pointer: the component it was on is left.
            if (!wp) Deliver(hover_.Update(std::nullopt));
            Shown(wp != 0);
            break;
        case WM_TIMER:
            if (ReleaseTimerFired(wp)) return 0;
            break;
        default: break;
    }
    return DefWindowProcA(window_.get(), msg, wp, lp);
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
    // The boxes stand on the window's background: with high contrast its colours.
    const bool plain = HighContrastOn();
    if (plain) SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(plain ? COLOR_WINDOW : COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(plain ? COLOR_WINDOW : COLOR_BTNFACE));
}

// ---- keyboard and screen reader ----

void Form::ComponentChanged(const Component& component) {
    focus_.ComponentChanged(component);
}

void Form::ComponentTextChanged(const Component& component) {
    focus_.ComponentTextChanged(component);
}

}  // namespace toolkit
