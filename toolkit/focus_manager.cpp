#include "toolkit/focus_manager.h"

#include "toolkit/accessible_win.h"
#include "toolkit/component.h"
#include "toolkit/form.h"

#include <utility>

namespace toolkit {

namespace {

// WM_KEYDOWN's lParam: the key was already down (an automatic repeat).
constexpr LPARAM kKeyWasDown = LPARAM{1} << 30;

// Windows above this tab index: the child windows come after the windowless stops.
constexpr int kWindowTabBase = 1000;

// A screen reader's default action, run once its call has returned.
UINT DefaultActionMessage() {
    static const UINT message = RegisterWindowMessageA("ToolkitFormDefaultAction");
    return message;
}

}  // namespace

HWND FocusManager::Window() const noexcept {
    return form_.Handle();
}

void FocusManager::Expose(Component& component, access::Role role, std::string name, int tabIndex,
                          std::function<bool()> selected) {
    exposed_.push_back({&component, role, std::move(name), tabIndex, std::move(selected), false});
}

void FocusManager::ExposeWindow(Component& component, const Component& label) {
    int tab = -1;
    const auto& components = form_.Components();
    for (size_t i = 0; i < components.size(); ++i)
        if (components[i].get() == &component) tab = form_.Description().components[i].tabOrder;
    exposed_.push_back({&component,
                        access::Role::CheckButton,
                        {},
                        kWindowTabBase + (tab < 0 ? kWindowTabBase : tab),
                        {},
                        true,
                        &label});
}

void FocusManager::SetInitialFocus(Component& component) {
    initialFocus_ = ExposedIndex(component);
}

std::optional<std::size_t> FocusManager::ExposedIndex(const Component& component) const {
    for (std::size_t i = 0; i < exposed_.size(); ++i)
        if (exposed_[i].component == &component) return i;
    return std::nullopt;
}

std::vector<access::Item> FocusManager::AccessItems() const {
    std::vector<access::Item> items;
    items.reserve(exposed_.size());
    for (const auto& e : exposed_) {
        const Component& c = *e.component;
        const std::string shown = e.label ? e.label->ShownText() : c.ShownText();
        // A box's hint, or else that of the text that names it.
        const std::string& hint = c.Hint().empty() && e.label ? e.label->Hint() : c.Hint();
        items.push_back({e.role, access::NameOf(e.name.empty() ? shown : e.name), c.Visible(),
                         c.Enabled(), e.selected && e.selected(), e.tabIndex, e.window,
                         e.window && c.ChildChecked(), hint});
    }
    return items;
}

std::optional<std::size_t> FocusManager::FocusedItem() const {
    const HWND focus = GetFocus();
    if (!focus) return std::nullopt;
    if (focus == Window()) return focused_;
    for (std::size_t i = 0; i < exposed_.size(); ++i)
        if (exposed_[i].window && exposed_[i].component->ChildWindow() == focus) return i;
    return std::nullopt;
}

long FocusManager::ChildId(std::size_t item) const {
    const auto shown = access::Children(AccessItems());
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] == item) return static_cast<long>(i + 1);
    return CHILDID_SELF;
}

void FocusManager::InvalidateItem(std::optional<std::size_t> item) const {
    if (item && *item < exposed_.size()) exposed_[*item].component->Invalidate();
}

void FocusManager::FocusItem(std::size_t item) {
    if (item >= exposed_.size()) return;
    if (exposed_[item].window) form_.CreateChildWindows();
    if (const HWND child = exposed_[item].component->ChildWindow()) {
        // The system draws the box's focus and tells screen readers itself.
        InvalidateItem(focused_);
        focused_.reset();
        SetFocus(child);
        return;
    }
    InvalidateItem(focused_);
    focused_ = item;
    if (GetFocus() != Window()) SetFocus(Window());
    InvalidateItem(focused_);
    NotifyWinEvent(EVENT_OBJECT_FOCUS, Window(), OBJID_CLIENT, ChildId(item));
}

void FocusManager::MoveFocus(bool forward) {
    const auto next = access::NextFocus(AccessItems(), FocusedItem(), forward);
    if (next) FocusItem(*next);
}

void FocusManager::ResetFocusCues() {
    BOOL always = FALSE;
    SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &always, 0);
    focusCues_ = always != FALSE;
    SendMessageA(Window(), WM_CHANGEUISTATE,
                 MAKEWPARAM(focusCues_ ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS), 0);
}

void FocusManager::ShowFocusCues() {
    if (focusCues_) return;
    focusCues_ = true;
    // The check boxes draw their own focus by the window's UI state.
    SendMessageA(Window(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    InvalidateItem(focused_);
}

RECT FocusManager::ItemScreenRect(std::size_t item) const {
    RECT r = form_.HitBounds(*exposed_.at(item).component);
    MapWindowPoints(Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::optional<std::size_t> FocusManager::ItemAtScreen(POINT point) const {
    POINT client = point;
    ScreenToClient(Window(), &client);
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < exposed_.size(); ++i) {
        const Component& c = *exposed_[i].component;
        const RECT r = form_.HitBounds(c);
        if (!c.Visible() || !PtInRect(&r, client)) continue;
        // The child windows lie above every windowless component.
        if (c.ChildWindow()) return i;
        if (!found) found = i;
    }
    return found;
}

void FocusManager::PostDefaultAction(std::size_t item) {
    PostMessageA(Window(), DefaultActionMessage(), item, 0);
}

void FocusManager::RunDefaultAction(std::size_t item) {
    Component& c = *exposed_[item].component;
    if (!c.Visible() || !c.Enabled()) return;
    if (exposed_[item].window) form_.CreateChildWindows();
    if (const HWND child = c.ChildWindow())
        SendMessageA(child, BM_CLICK, 0, 0);
    else
        c.Click();
}

void FocusManager::ComponentChanged(const Component& component) {
    const auto item = ExposedIndex(component);
    if (!item || !Window()) return;
    // A hidden or disabled item gives the focus back to the form.
    if (component.Visible() && component.Enabled()) return;
    if (focused_ == item) {
        InvalidateItem(focused_);
        focused_.reset();
    }
    const HWND child = component.ChildWindow();
    if (child && GetFocus() == child) SetFocus(Window());
}

void FocusManager::ComponentTextChanged(const Component& component) {
    const auto item = ExposedIndex(component);
    if (!item || !Window() || !component.Visible()) return;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, Window(), OBJID_CLIENT, ChildId(*item));
}

void FocusManager::Showing() {
    ResetFocusCues();
    focused_ = initialFocus_;
}

void FocusManager::Shown() {
    // The window that appears takes the keyboard: the initial item, or the form.
    if (GetActiveWindow() != Window()) return;
    if (focused_ && exposed_[*focused_].window)
        FocusItem(*focused_);
    else
        SetFocus(Window());
}

void FocusManager::PaintFocus(HDC dc) const {
    if (!focusCues_) return;
    // The focused windowless item, or the text beside a focused box.
    const Component* shown = nullptr;
    if (const auto item = FocusedItem()) {
        const ExposedItem& e = exposed_[*item];
        shown = e.window ? e.label : e.component;
    }
    if (shown && shown->Visible() && shown->Windowless()) {
        const RECT r = form_.HitBounds(*shown);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &r);
    }
}

bool FocusManager::HandleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_KEYDOWN: result = OnKeyDown(wp, lp); return true;
        case WM_GETOBJECT: result = OnGetObject(wp, lp); return true;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: InvalidateItem(focused_); return false;
        default:
            if (msg == DefaultActionMessage() && wp < exposed_.size()) {
                RunDefaultAction(wp);
                result = 0;
                return true;
            }
            return false;
    }
}

LRESULT FocusManager::OnKeyDown(WPARAM wp, LPARAM lp) {
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
            if ((lp & kKeyWasDown) == 0 && GetFocus() == Window() && focused_) {
                Component& c = *exposed_[*focused_].component;
                ShowFocusCues();
                if (c.Visible() && c.Enabled()) c.Click();
            }
            return 0;
        default: break;
    }
    return DefWindowProcA(Window(), WM_KEYDOWN, wp, lp);
}

LRESULT FocusManager::OnGetObject(WPARAM wp, LPARAM lp) {
    if (static_cast<LONG>(lp) != OBJID_CLIENT)
        return DefWindowProcA(Window(), WM_GETOBJECT, wp, lp);
    // The reader is told of the boxes as windows of their own: they must exist.
    form_.CreateChildWindows();
    if (!accessible_) accessible_.reset(std::make_unique<FormAccessible>(*this).release());
    return AnswerGetObject(*accessible_, wp);
}

void FocusManager::Disconnect() noexcept {
    accessible_.reset();  // disconnects; clients that hold it get an error from then on
}

}  // namespace toolkit
