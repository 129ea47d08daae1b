// The form: a top-level window built from a window description. Its window exists from
// construction on (hidden), under the description's class name; its components are
// created in description order and their events bound by name to the form's methods.
//
// A form class derives from Form and passes its constant table of handlers, bound to
// itself, to the constructor; it is made with MakeForm, which runs the creation event
// once the whole object exists, and whose deleter runs the destruction event before any
// of it goes. See toolkit/README.md for a complete example and the description format.
//
//   explicit TfrmMessageBox(toolkit::Application& app)
//       : Form(app, {"TFRMMESSAGEBOX", toolkit::BindHandlers(this, Handlers())}) {}
//   toolkit::Label& lbOK = Find<toolkit::Label>("lbOK");
//   ...
//   constexpr toolkit::HandlerEntry<TfrmMessageBox> kHandlers[] = {
//       {"lbOKClick", &TfrmMessageBox::lbOKClick}};
//   auto box = toolkit::MakeForm<TfrmMessageBox>(app);
#pragma once

#include "toolkit/application.h"
#include "toolkit/component.h"
#include "toolkit/component_host.h"
#include "toolkit/description.h"
#include "toolkit/events.h"
#include "toolkit/focus_manager.h"
#include "toolkit/mouse_routing.h"
#include "toolkit/scale.h"
#include "win32/unique_win.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace toolkit {

inline constexpr int kModalResultCancel = 2;

// A message as a form's own message handler gets it; result is what the window
// procedure returns.
struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// One row of a form's message table: {WM_SYSCOMMAND, &TfrmControlPanel::WMSystemCommand}.
template <typename F>
struct MessageEntry {
    UINT msg;
    void (F::*method)(Message&);
};

// Building from the description, painting and mouse routing are the form's own
// (form.cpp, form_paint.cpp, form_mouse.cpp); the modal loop has a file of its own
// (form_modal.cpp); the keyboard focus and the screen reader are its FocusManager's.
class Form : public Object, public ComponentHost {
public:
    struct Setup {
        std::string_view resource;  // the RCDATA holding the window description
        HandlerResolver handlers;
        std::span<const ComponentKind> kinds = {};  // component kinds this form adds
        HINSTANCE module = nullptr;                 // null: the program's own module
    };

    Form(Application& app, const Setup& setup);
    // From a description already parsed (the handlers, kinds and module as in Setup).
    Form(Application& app, const WindowDescription& description, const Setup& setup);
    ~Form() override;

    [[nodiscard]] const std::string& Name() const override { return description_.className; }
    [[nodiscard]] HWND Handle() const noexcept override { return window_.get(); }
    [[nodiscard]] Application& App() const noexcept { return app_; }
    [[nodiscard]] HINSTANCE Module() const noexcept override { return module_; }
    [[nodiscard]] HFONT Font() const noexcept override { return font_.get(); }
    // The window's current dots per inch: its layout, fonts and check boxes are at
    // Dpi() / 96 times the description's numbers.
    [[nodiscard]] int Dpi() const noexcept override { return dpi_; }
    [[nodiscard]] COLORREF Color() const override;
    [[nodiscard]] const WindowDescription& Description() const noexcept { return description_; }

    // The component of this name and type; throws when there is none.
    template <typename T>
    [[nodiscard]] T& Find(std::string_view name) const {
        if (auto* found = dynamic_cast<T*>(FindComponent(name))) return *found;
        throw std::logic_error(Name() + " has no component " + std::string(name) +
                               " of that kind.");
    }
    [[nodiscard]] Component* FindComponent(std::string_view name) const;
    [[nodiscard]] const std::vector<std::unique_ptr<Component>>& Components() const {
        return components_;
    }

    NotifyEvent OnCreate;
    NotifyEvent OnDestroy;
    NotifyEvent OnShow;  // each time the form goes from hidden to visible
    MouseEvent OnMouseDown;

    [[nodiscard]] bool Visible() const;
    // Visible and on top of the z-order; centred at the first showing when the
    // description asks for it; the show event runs when it was hidden.
    void Show();
    void Hide();
    // Shows the form and runs a nested message loop until its modal result is set, then
    // hides it. Other visible enabled top-level windows of the thread are disabled
    // meanwhile and the previously active window becomes active again afterwards.
    int ShowModal();
    [[nodiscard]] bool Modal() const noexcept { return modal_; }
    [[nodiscard]] int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) noexcept { modalResult_ = result; }
    // In a modal loop: sets the modal result to cancel. Otherwise hides the form.
    void Close();

    // Moves the window with the system's interactive move, as a press on a title bar.
    void StartSystemMove();
    // Where the window is not wholly inside some monitor's work area (its place remembered
    // from a monitor that is gone), moves it at its size inside the nearest one's; a window
    // that fits stays where it is.
    void KeepOnAMonitor();

    // Decodes every component's pictures at this DPI and makes the paint buffer, unless
    // they were prepared at this DPI already. Nothing is decoded before the form is first
    // shown: Show calls this just before; a scale change calls it with the new DPI.
    void PreparePictures(int dpi);
    // The DPI the pictures were prepared at; 0 before the first show and while they are
    // given back.
    [[nodiscard]] int PicturesDpi() const noexcept override { return picturesDpi_; }
    // A form stays hidden for hours between two looks: once it has been hidden this long,
    // its pictures and paint buffer are given back and the next show makes them again
    // (some milliseconds). Shown again sooner, it finds them as it left them. Zero keeps
    // them for the form's life.
    void SetPicturesKeptWhileHidden(unsigned milliseconds) noexcept {
        keptHiddenMs_ = milliseconds;
    }
    static constexpr unsigned kDefaultPicturesKeptWhileHiddenMs = 30000;

    void SetDoubleBuffered(bool on) noexcept { doubleBuffered_ = on; }
    [[nodiscard]] bool DoubleBuffered() const noexcept { return doubleBuffered_; }

    // Makes the components' child windows (the check boxes) unless they exist: in their
    // tab order, at the form's scale, with its font. The form makes them itself when it
    // first needs them (the first show, a rendering, the keyboard, a screen reader), so
    // a form never shown costs no child window.
    void CreateChildWindows();
    [[nodiscard]] bool ChildWindowsCreated() const noexcept { return childWindowsCreated_; }

    // The one paint routine: background, then the windowless components in order.
    void PaintTo(HDC dc);

    // The keyboard focus and what a screen reader sees: the components a form exposes.
    [[nodiscard]] FocusManager& Focus() noexcept { return focus_; }
    [[nodiscard]] const FocusManager& Focus() const noexcept { return focus_; }

    // Where a component is on the client area as hit-testing takes it (a child window:
    // where it really is); the focus rectangle and a screen reader use the same.
    [[nodiscard]] RECT HitBounds(const Component& component) const;

    // Components report changes that the focus and a screen reader follow.
    void ComponentChanged(const Component& component) override;
    void ComponentTextChanged(const Component& component) override;

    // Runs the creation event; MakeForm calls it once the whole form exists.
    void Created();
    // Runs the destruction event and destroys the window; the form's deleter calls it.
    void Destroying() noexcept;

protected:
    // A form's own handling of a message by number; the rest gets the default handling.
    using MessageHandler = std::function<void(Message&)>;
    void SetMessageHandler(UINT msg, MessageHandler handler);
    template <typename F, typename Table>
    void BindMessages(F* self, const Table& table) {
        for (const auto& entry : table) {
            const auto method = entry.method;
            SetMessageHandler(entry.msg, [self, method](Message& m) { (self->*method)(m); });
        }
    }
    // The default handling, for a form's handler that passes a message on.
    void Inherited(Message& message);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandling(UINT msg, WPARAM wp, LPARAM lp);

    void CreateWindowFromDescription();
    // Gives the window the description's icon at the system's two icon sizes (at its
    // first show).
    void SetWindowIcons();
    void CreateComponents(std::span<const ComponentKind> kinds);
    void BindEvents(const HandlerResolver& resolver);

    LRESULT OnPaint();
    LRESULT OnMouseButton(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnLeftButtonUp(LPARAM lp);
    LRESULT OnMouseMove(LPARAM lp);
    LRESULT OnMouseLeave();
    LRESULT OnCaptureChanged();
    LRESULT OnSetCursor(WPARAM wp, LPARAM lp);
    LRESULT OnCommand(WPARAM wp, LPARAM lp);
    LRESULT OnControlColor(WPARAM wp);
    LRESULT OnDpiChanged(WPARAM wp, LPARAM lp);

    // Lays the window out at this scale: its size, fonts and every component.
    void ApplyScale(int dpi);

    [[nodiscard]] std::vector<RoutingBox> Boxes() const;
    [[nodiscard]] std::optional<size_t> UnderPoint(int x, int y) const;
    [[nodiscard]] std::optional<size_t> UnderCursor() const;
    void Deliver(HoverTracker::Change change);
    void TrackLeave();
    // Centred on the monitor of the window the user works in (the owner's last active
    // window), else on the primary one (form_place.cpp).
    void CentreOnScreen();
    // The system's colours or high contrast changed: a shown form paints anew at once.
    void ColoursChanged();
    // The pictures at a show, or at a rendering of the hidden window, unless they are made.
    void EnsurePictures();
    void ReleasePictures() noexcept;
    // WM_SHOWWINDOW: a hidden form's pictures go after keptHiddenMs_.
    void Shown(bool visible);
    // WM_TIMER: true when it was the release's timer.
    bool ReleaseTimerFired(WPARAM timer);
    void MakePaintBuffer();
    // Posts the paint report when one was asked for and this paint covered the client area.
    void ReportPaint(const RECT& painted);

    Application& app_;
    WindowDescription description_;
    HINSTANCE module_;
    int dpi_ = kDefaultDpi;
    win32::UniqueFont font_;
    std::vector<std::unique_ptr<Component>> components_;
    std::vector<Component*> windowless_;  // in stacking order, bottom first
    std::map<UINT, MessageHandler> messageHandlers_;

    bool doubleBuffered_;
    int picturesDpi_ = 0;
    unsigned keptHiddenMs_ = kDefaultPicturesKeptWhileHiddenMs;
    // The double buffer, made with the pictures: one bitmap of the client size, kept.
    win32::UniqueMemoryDc paintDc_;
    win32::UniqueBitmap paintBitmap_;
    SIZE paintSize_{0, 0};
    // A measuring program's window waiting for the next whole paint (toolkit/paint_report.h).
    HWND paintReportTo_ = nullptr;
    // The window's own icons (description "icon"), given to it at the first show.
    win32::UniqueIcon bigIcon_;
    win32::UniqueIcon smallIcon_;
    bool shownOnce_ = false;
    bool childWindowsCreated_ = false;
    bool modal_ = false;
    int modalResult_ = 0;

    HoverTracker hover_;
    bool captureHeld_ = false;       // a left press on the form is still down
    std::optional<size_t> pressed_;  // the component that took that press
    bool clickArmed_ = false;        // a release on it is a click
    bool releasingCapture_ = false;  // inside the button-up handling

    FocusManager focus_{*this};

    // Last, so that it goes first: the window's last messages still find a whole form.
    win32::UniqueWindow window_;
};

// Deletes a form after running its destruction event.
struct FormDeleter {
    void operator()(Form* form) const noexcept {
        form->Destroying();
        std::default_delete<Form>{}(form);
    }
};

template <typename T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

template <typename T, typename... Args>
[[nodiscard]] FormPtr<T> MakeForm(Args&&... args) {
    FormPtr<T> form(std::make_unique<T>(std::forward<Args>(args)...).release());
    form->Created();
    return form;
}

// The window description stored as RCDATA under this name; throws when it is missing.
[[nodiscard]] std::string LoadDescriptionText(HINSTANCE module, std::string_view resource);

}  // namespace toolkit
