#include "toolkit/accessible_win.h"

#include "toolkit/component.h"
#include "toolkit/focus_manager.h"
#include "win32/proc_address.h"

#include <memory>
#include <string>

namespace toolkit {

// The model's roles and state bits are handed to clients as they are: the system's values.
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

void ReleaseAccessible(FormAccessible* accessible) noexcept {
    if (accessible) {
        accessible->Disconnect();
        accessible->Release();
    }
}

namespace {

// The accessibility libraries load when a client first asks, not at start-up: most runs
// never meet a screen reader, and the two libraries cost start-up time and memory. They
// stay loaded from then on, since objects handed out may be used until the process ends.
struct AccessApi {
    decltype(&::CoInitializeEx) initialize = nullptr;
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::AccessibleObjectFromWindow) objectFromWindow = nullptr;
    decltype(&::SysAllocStringLen) allocString = nullptr;
};

const AccessApi* Api() {
    static const AccessApi api = [] {
        const HMODULE oleacc = LoadLibraryA("oleacc.dll");
        const HMODULE oleaut = LoadLibraryA("oleaut32.dll");
        AccessApi a;
        // An object is handed over marshalled, which needs COM on this thread: a reader may
        // ask before anything else (the pictures' decoder) has started it. Started once,
        // for the rest of the process, like the libraries.
        a.initialize =
            win32::ProcAddress<decltype(a.initialize)>(LoadLibraryA("ole32.dll"), "CoInitializeEx");
        if (a.initialize) (void)a.initialize(nullptr, COINIT_APARTMENTTHREADED);
        a.lresultFromObject =
            win32::ProcAddress<decltype(a.lresultFromObject)>(oleacc, "LresultFromObject");
        a.objectFromWindow =
            win32::ProcAddress<decltype(a.objectFromWindow)>(oleacc, "AccessibleObjectFromWindow");
        a.allocString = win32::ProcAddress<decltype(a.allocString)>(oleaut, "SysAllocStringLen");
        return a;
    }();
    return api.lresultFromObject && api.objectFromWindow && api.allocString ? &api : nullptr;
}

// The system's own object for a child window (or for the form's window itself).
HRESULT WindowObject(HWND window, IDispatch** object) {
    const AccessApi* api = Api();
    if (!api) return E_FAIL;
    return api->objectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                 reinterpret_cast<void**>(object));
}

// A call's out parameter, emptied before anything else can fail.
void Empty(VARIANT* v) {
    *v = VARIANT{};
    v->vt = VT_EMPTY;
}

void Empty(long* v) {
    *v = 0;
}

template <typename T>
void Empty(T** v) {
    *v = nullptr;
}

// The program's text is single-byte; the interface speaks in wide strings.
BSTR ToBstr(const std::string& text) {
    const AccessApi* api = Api();
    if (!api) return nullptr;
    const int count =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    BSTR result = api->allocString(nullptr, static_cast<UINT>(count));
    if (result)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result, count);
    return result;
}

HRESULT PutText(const std::string& text, BSTR* out) {
    if (text.empty()) return S_FALSE;
    *out = ToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

// ---- IUnknown, IDispatch ----

HRESULT FormAccessible::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG FormAccessible::AddRef() {
    return ++references_;
}

ULONG FormAccessible::Release() {
    const ULONG left = --references_;
    if (left == 0) std::unique_ptr<FormAccessible> last(this);
    return left;
}

HRESULT FormAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT FormAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT FormAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT FormAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
    return E_NOTIMPL;
}

// ---- children ----

HRESULT FormAccessible::Resolve(View& view, const VARIANT* child) const {
    if (!focus_) return CO_E_OBJNOTCONNECTED;
    view.items = focus_->AccessItems();
    view.shown = access::Children(view.items);
    view.item = -1;
    if (!child) return S_OK;
    // 1 is the first child shown.
    if (child->vt != VT_I4) return E_INVALIDARG;
    if (child->lVal == CHILDID_SELF) return S_OK;
    if (child->lVal < 1 || static_cast<std::size_t>(child->lVal) > view.shown.size())
        return E_INVALIDARG;
    view.item = static_cast<long>(view.shown[static_cast<std::size_t>(child->lVal - 1)]);
    return S_OK;
}

template <typename Out>
HRESULT FormAccessible::Begin(Out* out, View& view, const VARIANT* child) const {
    if (!out) return E_POINTER;
    Empty(out);
    return Resolve(view, child);
}

void FormAccessible::PutChild(const View& view, std::size_t item, VARIANT* out) const {
    Empty(out);
    const HWND window = focus_->AccessComponent(item).ChildWindow();
    IDispatch* object = nullptr;
    if (window && SUCCEEDED(WindowObject(window, &object)) && object) {
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return;
    }
    for (std::size_t i = 0; i < view.shown.size(); ++i)
        if (view.shown[i] == item) {
            out->vt = VT_I4;
            out->lVal = static_cast<long>(i + 1);
        }
}

HRESULT FormAccessible::get_accParent(IDispatch** parent) {
    View view;
    if (const HRESULT status = Begin(parent, view); status != S_OK) return status;
    return WindowObject(focus_->Window(), parent);
}

HRESULT FormAccessible::get_accChildCount(long* count) {
    View view;
    if (const HRESULT status = Begin(count, view); status != S_OK) return status;
    *count = static_cast<long>(view.shown.size());
    return S_OK;
}

HRESULT FormAccessible::get_accChild(VARIANT child, IDispatch** object) {
    View view;
    if (const HRESULT status = Begin(object, view, &child); status != S_OK) return status;
    if (view.Self()) return S_FALSE;
    const HWND window = focus_->AccessComponent(view.Index()).ChildWindow();
    if (!window) return S_FALSE;  // windowless: the identifier is all there is
    return WindowObject(window, object);
}

// ---- what each child is ----

HRESULT FormAccessible::get_accName(VARIANT child, BSTR* name) {
    View view;
    if (const HRESULT status = Begin(name, view, &child); status != S_OK) return status;
    if (view.Self()) {
        char title[256] = {};
        GetWindowTextA(focus_->Window(), title, sizeof title);
        return PutText(title, name);
    }
    return PutText(view.Item().name, name);
}

HRESULT FormAccessible::get_accValue(VARIANT child, BSTR* value) {
    View view;
    if (const HRESULT status = Begin(value, view, &child); status != S_OK) return status;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT FormAccessible::get_accDescription(VARIANT child, BSTR* description) {
    View view;
    if (const HRESULT status = Begin(description, view, &child); status != S_OK) return status;
    if (view.Self() || view.Item().description.empty()) return S_FALSE;
    return PutText(view.Item().description, description);
}

HRESULT FormAccessible::get_accRole(VARIANT child, VARIANT* role) {
    View view;
    if (const HRESULT status = Begin(role, view, &child); status != S_OK) return status;
    role->vt = VT_I4;
    role->lVal =
        static_cast<long>(view.Self() ? ROLE_SYSTEM_CLIENT : static_cast<DWORD>(view.Item().role));
    return S_OK;
}

HRESULT FormAccessible::get_accState(VARIANT child, VARIANT* state) {
    View view;
    if (const HRESULT status = Begin(state, view, &child); status != S_OK) return status;
    state->vt = VT_I4;
    if (view.Self()) {
        const HWND window = focus_->Window();
        state->lVal = STATE_SYSTEM_FOCUSABLE;
        if (!IsWindowVisible(window)) state->lVal |= STATE_SYSTEM_INVISIBLE;
        if (GetFocus() == window && !focus_->FocusedItem()) state->lVal |= STATE_SYSTEM_FOCUSED;
        return S_OK;
    }
    const bool focused = focus_->FocusedItem() == view.Index();
    state->lVal = static_cast<long>(access::StateOf(view.Item(), focused));
    return S_OK;
}

HRESULT FormAccessible::get_accHelp(VARIANT child, BSTR* help) {
    View view;
    if (const HRESULT status = Begin(help, view, &child); status != S_OK) return status;
    return S_FALSE;
}

HRESULT FormAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    if (!focus_) return CO_E_OBJNOTCONNECTED;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT FormAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    View view;
    if (const HRESULT status = Begin(shortcut, view, &child); status != S_OK) return status;
    return S_FALSE;
}

HRESULT FormAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    View view;
    if (const HRESULT status = Begin(action, view, &child); status != S_OK) return status;
    if (view.Self()) return S_FALSE;
    return PutText(access::DefaultActionOf(view.Item()), action);
}

// ---- focus, selection, place ----

HRESULT FormAccessible::get_accFocus(VARIANT* child) {
    View view;
    if (const HRESULT status = Begin(child, view); status != S_OK) return status;
    if (const auto item = focus_->FocusedItem()) {
        PutChild(view, *item, child);
        return S_OK;
    }
    if (GetFocus() != focus_->Window()) return S_FALSE;  // VT_EMPTY: not here
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT FormAccessible::get_accSelection(VARIANT* children) {
    View view;
    if (const HRESULT status = Begin(children, view); status != S_OK) return status;
    for (std::size_t i : view.shown)
        if (view.items[i].selected) {
            PutChild(view, i, children);
            return S_OK;
        }
    return S_FALSE;
}

HRESULT FormAccessible::accSelect(long flags, VARIANT child) {
    View view;
    if (const HRESULT status = Resolve(view, &child); status != S_OK) return status;
    if (flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
    if (view.Self()) {
        SetFocus(focus_->Window());
        return S_OK;
    }
    if (!access::TabStop(view.Item())) return S_FALSE;
    focus_->FocusItem(view.Index());
    return S_OK;
}

HRESULT FormAccessible::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    View view;
    if (const HRESULT status = Resolve(view, &child); status != S_OK) return status;
    RECT r{};
    if (view.Self()) {
        GetClientRect(focus_->Window(), &r);
        MapWindowPoints(focus_->Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        r = focus_->ItemScreenRect(view.Index());
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT FormAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    View view;
    if (const HRESULT status = Begin(end, view, &start); status != S_OK) return status;
    const auto& shown = view.shown;
    if (shown.empty()) return S_FALSE;
    long place = -1;  // position in shown, or -1 for the client itself
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (!view.Self() && shown[i] == view.Index()) place = static_cast<long>(i);
    long to = -1;
    switch (direction) {
        case NAVDIR_FIRSTCHILD:
            if (view.Self()) to = 0;
            break;
        case NAVDIR_LASTCHILD:
            if (view.Self()) to = static_cast<long>(shown.size()) - 1;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
            if (place >= 0 && place + 1 < static_cast<long>(shown.size())) to = place + 1;
            break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
        case NAVDIR_LEFT:
            if (place > 0) to = place - 1;
            break;
        default: return E_INVALIDARG;
    }
    if (to < 0) return S_FALSE;
    PutChild(view, shown[static_cast<std::size_t>(to)], end);
    return S_OK;
}

HRESULT FormAccessible::accHitTest(long x, long y, VARIANT* child) {
    View view;
    if (const HRESULT status = Begin(child, view); status != S_OK) return status;
    RECT client{};
    GetClientRect(focus_->Window(), &client);
    MapWindowPoints(focus_->Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT point{x, y};
    if (!PtInRect(&client, point)) return S_FALSE;
    if (const auto item = focus_->ItemAtScreen(point)) {
        PutChild(view, *item, child);
        return S_OK;
    }
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT FormAccessible::accDoDefaultAction(VARIANT child) {
    View view;
    if (const HRESULT status = Resolve(view, &child); status != S_OK) return status;
    if (view.Self()) return DISP_E_MEMBERNOTFOUND;
    const access::Item& item = view.Item();
    if (access::DefaultActionOf(item).empty() && !item.childWindow) return DISP_E_MEMBERNOTFOUND;
    if (!item.enabled) return E_FAIL;
    focus_->PostDefaultAction(view.Index());
    return S_OK;
}

HRESULT FormAccessible::put_accName(VARIANT, BSTR) {
    return focus_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT FormAccessible::put_accValue(VARIANT, BSTR) {
    return focus_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

LRESULT AnswerGetObject(FormAccessible& accessible, WPARAM wp) {
    const AccessApi* api = Api();
    if (!api) return 0;
    return api->lresultFromObject(__uuidof(IAccessible), wp,
                                  static_cast<IAccessible*>(&accessible));
}

}  // namespace toolkit
