#include "toolkit/accessible_win.h"

#include "toolkit/form.h"

#include <memory>
#include <string>

namespace toolkit {

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
    decltype(&::LresultFromObject) lresultFromObject = nullptr;
    decltype(&::AccessibleObjectFromWindow) objectFromWindow = nullptr;
    decltype(&::SysAllocStringLen) allocString = nullptr;
};

template <typename F>
F Entry(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

const AccessApi* Api() {
    static const AccessApi api = [] {
        const HMODULE oleacc = LoadLibraryA("oleacc.dll");
        const HMODULE oleaut = LoadLibraryA("oleaut32.dll");
        AccessApi a;
        a.lresultFromObject = Entry<decltype(a.lresultFromObject)>(oleacc, "LresultFromObject");
        a.objectFromWindow =
            Entry<decltype(a.objectFromWindow)>(oleacc, "AccessibleObjectFromWindow");
        a.allocString = Entry<decltype(a.allocString)>(oleaut, "SysAllocStringLen");
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

void ClearVariant(VARIANT* v) {
    *v = VARIANT{};
    v->vt = VT_EMPTY;
}

constexpr long kSelf = -1;
constexpr long kNothing = -2;

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

long FormAccessible::ItemOf(const VARIANT& child) const {
    if (child.vt != VT_I4) return kNothing;
    if (child.lVal == CHILDID_SELF) return kSelf;
    const auto shown = access::Children(form_->AccessItems());
    if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > shown.size()) return kNothing;
    return static_cast<long>(shown[static_cast<std::size_t>(child.lVal - 1)]);
}

void FormAccessible::PutChild(std::size_t item, VARIANT* out) const {
    ClearVariant(out);
    const HWND window = form_->AccessComponent(item).ChildWindow();
    IDispatch* object = nullptr;
    if (window && SUCCEEDED(WindowObject(window, &object)) && object) {
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return;
    }
    const auto shown = access::Children(form_->AccessItems());
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] == item) {
            out->vt = VT_I4;
            out->lVal = static_cast<long>(i + 1);
        }
}

HRESULT FormAccessible::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return WindowObject(form_->Handle(), parent);
}

HRESULT FormAccessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    *count = 0;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<long>(access::Children(form_->AccessItems()).size());
    return S_OK;
}

HRESULT FormAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    if (item == kSelf) return S_FALSE;
    const HWND window = form_->AccessComponent(static_cast<std::size_t>(item)).ChildWindow();
    if (!window) return S_FALSE;  // windowless: the identifier is all there is
    return WindowObject(window, object);
}

// ---- what each child is ----

HRESULT FormAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    if (item == kSelf) {
        char title[256] = {};
        GetWindowTextA(form_->Handle(), title, sizeof title);
        return PutText(title, name);
    }
    return PutText(form_->AccessItems()[static_cast<std::size_t>(item)].name, name);
}

HRESULT FormAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return ItemOf(child) == kNothing ? E_INVALIDARG : DISP_E_MEMBERNOTFOUND;
}

HRESULT FormAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!description) return E_POINTER;
    *description = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return ItemOf(child) == kNothing ? E_INVALIDARG : S_FALSE;
}

HRESULT FormAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role) return E_POINTER;
    ClearVariant(role);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = static_cast<long>(
        item == kSelf
            ? ROLE_SYSTEM_CLIENT
            : static_cast<DWORD>(form_->AccessItems()[static_cast<std::size_t>(item)].role));
    return S_OK;
}

HRESULT FormAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state) return E_POINTER;
    ClearVariant(state);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    state->vt = VT_I4;
    if (item == kSelf) {
        const HWND window = form_->Handle();
        state->lVal = STATE_SYSTEM_FOCUSABLE;
        if (!IsWindowVisible(window)) state->lVal |= STATE_SYSTEM_INVISIBLE;
        if (GetFocus() == window && !form_->FocusedItem()) state->lVal |= STATE_SYSTEM_FOCUSED;
        return S_OK;
    }
    const auto index = static_cast<std::size_t>(item);
    const bool focused = form_->FocusedItem() == index;
    state->lVal = static_cast<long>(access::StateOf(form_->AccessItems()[index], focused));
    return S_OK;
}

HRESULT FormAccessible::get_accHelp(VARIANT child, BSTR* help) {
    if (!help) return E_POINTER;
    *help = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return ItemOf(child) == kNothing ? E_INVALIDARG : S_FALSE;
}

HRESULT FormAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT FormAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    return ItemOf(child) == kNothing ? E_INVALIDARG : S_FALSE;
}

HRESULT FormAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action) return E_POINTER;
    *action = nullptr;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    if (item == kSelf) return S_FALSE;
    return PutText(access::DefaultActionOf(form_->AccessItems()[static_cast<std::size_t>(item)]),
                   action);
}

// ---- focus, selection, place ----

HRESULT FormAccessible::get_accFocus(VARIANT* child) {
    if (!child) return E_POINTER;
    ClearVariant(child);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    if (const auto item = form_->FocusedItem()) {
        PutChild(*item, child);
        return S_OK;
    }
    if (GetFocus() != form_->Handle()) return S_FALSE;  // VT_EMPTY: not here
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT FormAccessible::get_accSelection(VARIANT* children) {
    if (!children) return E_POINTER;
    ClearVariant(children);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const auto items = form_->AccessItems();
    for (std::size_t i : access::Children(items))
        if (items[i].selected) {
            PutChild(i, children);
            return S_OK;
        }
    return S_FALSE;
}

HRESULT FormAccessible::accSelect(long flags, VARIANT child) {
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    if (flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;
    if (item == kSelf) {
        SetFocus(form_->Handle());
        return S_OK;
    }
    const auto index = static_cast<std::size_t>(item);
    if (!access::TabStop(form_->AccessItems()[index])) return S_FALSE;
    form_->FocusItem(index);
    return S_OK;
}

HRESULT FormAccessible::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    RECT r{};
    if (item == kSelf) {
        GetClientRect(form_->Handle(), &r);
        MapWindowPoints(form_->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        r = form_->ItemScreenRect(static_cast<std::size_t>(item));
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT FormAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    ClearVariant(end);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long from = ItemOf(start);
    if (from == kNothing) return E_INVALIDARG;
    const auto shown = access::Children(form_->AccessItems());
    if (shown.empty()) return S_FALSE;
    long place = -1;  // position in shown, or -1 for the client itself
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (static_cast<long>(shown[i]) == from) place = static_cast<long>(i);
    long to = -1;
    switch (direction) {
        case NAVDIR_FIRSTCHILD:
            if (from == kSelf) to = 0;
            break;
        case NAVDIR_LASTCHILD:
            if (from == kSelf) to = static_cast<long>(shown.size()) - 1;
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
    PutChild(shown[static_cast<std::size_t>(to)], end);
    return S_OK;
}

HRESULT FormAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    ClearVariant(child);
    if (!form_) return CO_E_OBJNOTCONNECTED;
    RECT client{};
    GetClientRect(form_->Handle(), &client);
    MapWindowPoints(form_->Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT point{x, y};
    if (!PtInRect(&client, point)) return S_FALSE;
    if (const auto item = form_->ItemAtScreen(point)) {
        PutChild(*item, child);
        return S_OK;
    }
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
}

HRESULT FormAccessible::accDoDefaultAction(VARIANT child) {
    if (!form_) return CO_E_OBJNOTCONNECTED;
    const long item = ItemOf(child);
    if (item == kNothing) return E_INVALIDARG;
    if (item == kSelf) return DISP_E_MEMBERNOTFOUND;
    const auto index = static_cast<std::size_t>(item);
    const auto items = form_->AccessItems();
    if (access::DefaultActionOf(items[index]).empty() && !items[index].childWindow)
        return DISP_E_MEMBERNOTFOUND;
    if (!items[index].enabled) return E_FAIL;
    form_->PostDefaultAction(index);
    return S_OK;
}

HRESULT FormAccessible::put_accName(VARIANT, BSTR) {
    return form_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT FormAccessible::put_accValue(VARIANT, BSTR) {
    return form_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

LRESULT AnswerGetObject(FormAccessible& accessible, WPARAM wp) {
    const AccessApi* api = Api();
    if (!api) return 0;
    return api->lresultFromObject(__uuidof(IAccessible), wp,
                                  static_cast<IAccessible*>(&accessible));
}

}  // namespace toolkit
