// A form's client area as a screen reader sees it: an accessibility object, written by
// hand, whose children are the form's exposed items (toolkit/accessible_model.h). The
// form's focus manager hands it out for WM_GETOBJECT and disconnects it when the window
// goes; a client that still holds it then gets CO_E_OBJNOTCONNECTED from every call.
//
// Interface identifiers come from __uuidof: MinGW's liboleacc.a gives IID_IAccessible as an
// import thunk, whose bytes are code, not the identifier.
#pragma once

#include <windows.h>
// after <windows.h>
#include <oleacc.h>

#include "toolkit/accessible_model.h"

#include <atomic>
#include <cstddef>
#include <vector>

namespace toolkit {

class FocusManager;

class FormAccessible final : public IAccessible {
public:
    // Reference count 1, held by the caller; Release frees it at 0.
    explicit FormAccessible(FocusManager& focus) : focus_(&focus) {}
    ~FormAccessible() = default;
    FormAccessible(const FormAccessible&) = delete;
    FormAccessible& operator=(const FormAccessible&) = delete;

    // The form is going: every later call fails cleanly.
    void Disconnect() noexcept { focus_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not offered beyond the type count.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    // What one call sees: the exposed items as they are now, read once, the children
    // shown, and the item that the call's child identifier names.
    struct View {
        std::vector<access::Item> items;
        std::vector<std::size_t> shown;
        long item = -1;  // an index into items; -1: the client area itself
        [[nodiscard]] bool Self() const noexcept { return item < 0; }
        [[nodiscard]] std::size_t Index() const noexcept { return static_cast<std::size_t>(item); }
        [[nodiscard]] const access::Item& Item() const { return items.at(Index()); }
    };
    // The step every call starts with: the object still connected, the items read, and
    // the child identifier (if the call has one) resolved: E_INVALIDARG where it names
    // nothing.
    [[nodiscard]] HRESULT Resolve(View& view, const VARIANT* child) const;
    // The same, after checking and emptying the call's out parameter.
    template <typename Out>
    [[nodiscard]] HRESULT Begin(Out* out, View& view, const VARIANT* child = nullptr) const;
    // The child identifier of an item as a VARIANT, or the child window's own object.
    void PutChild(const View& view, std::size_t item, VARIANT* out) const;

    std::atomic<ULONG> references_{1};
    FocusManager* focus_;
};

// The answer to WM_GETOBJECT for the client area: the object, handed to the client (0,
// "not handled", where the system's accessibility library is missing).
[[nodiscard]] LRESULT AnswerGetObject(FormAccessible& accessible, WPARAM wp);

}  // namespace toolkit
