// The message window under Wine: each call a new centred modal window over picture F,
// closed by OK or by a quit message, moved from its background but not from its text.
// Whatever a test does while the window is up runs inside the window's own modal loop,
// from a thread timer (the loop dispatches it like any other message).
#include "resources/resource_names.h"
#include "tests/support/accessible_probe.h"
#include "tests/support/test_thread.h"
#include "tests/support/wine_test_support.h"
#include "tests/ui/message_window_watch.h"
#include "toolkit/picture_loader.h"
#include "toolkit/pixels.h"
#include "toolkit/render.h"
#include "ui/form_message_box.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

constexpr int kWidth = 493;
constexpr int kHeight = 154;
constexpr RECT kOkBox{206, 125, 206 + 82, 125 + 16};
constexpr RECT kMessageBox{28, 69, 28 + 437, 69 + 17};

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// A press and release on the OK label, as posted mouse messages.
void ClickOk(HWND box) {
    PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(240, 130));
    PostMessageA(box, WM_LBUTTONUP, 0, At(240, 130));
}

// Says in this thread's key state that the left button is held, or no longer. A posted
// press leaves the button up, and Wine 10's move loop, like Windows', ends as soon as it
// finds the button up after dispatching any other message (measured; Wine 8's runs on
// until a button-up): a drag driven by posted messages holds it for its duration.
void HoldLeftButton(bool held) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

// True while the system's interactive move or size loop runs on this thread.
bool InSystemMove() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    return (info.flags & GUI_INMOVESIZE) != 0;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT CentredRect() {
    const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2);
    const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2);
    return {left, top, left + kWidth, top + kHeight};
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Picture F as stored with the program, at 100 %.
toolkit::Pixels PictureF() {
    try {
        return toolkit::LoadPictureAtDpi(GetModuleHandleA(nullptr),
                                         resources::kMessageBackgroundBitmap, 96);
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
        return {};
    }
}

// What a shown window looked like.
struct Seen {
    RECT rect{};
    LONG style = 0;
    LONG exStyle = 0;
    std::string title;
    bool ownedByApplication = false;
    toolkit::Pixels pixels;
};

Seen Look(HWND box, HWND application) {
    Seen s;
    s.rect = WindowRect(box);
    s.style = GetWindowLongA(box, GWL_STYLE);
    s.exStyle = GetWindowLongA(box, GWL_EXSTYLE);
    s.title = WindowText(box);
    s.ownedByApplication = GetWindow(box, GW_OWNER) == application;
    s.pixels = toolkit::RenderClient(box);
    return s;
}

// Counts, inside one label's box, the pixels that differ from picture F; each must be
// the labels' black. Outside the label boxes nothing may differ from F.
struct TextPixels {
    int inOk = 0;
    int inMessage = 0;
    int notBlack = 0;
    int outside = 0;
};

TextPixels CompareWithF(const toolkit::Pixels& shown, const toolkit::Pixels& f) {
    TextPixels t;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const auto pixel = shown.At(x, y);
            if (pixel == f.At(x, y)) continue;
            if (Inside(kOkBox, x, y))
                ++t.inOk;
            else if (Inside(kMessageBox, x, y))
                ++t.inMessage;
            else
                ++t.outside;
            if (pixel != 0x000000) ++t.notBlack;
        }
    return t;
}

class MessageWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Off every window: a pointer resting on the OK label would change nothing,
        // but a test should not depend on where the previous one left it.
        ASSERT_TRUE(PlacePointer({0, GetSystemMetrics(SM_CYSCREEN) - 1}));
    }

    toolkit::Application app{"Korvalen control panel"};
};

}  // namespace

TEST_F(MessageWindow, ShowsTheTextOnPictureFCentredAndOkClosesIt) {
    const toolkit::Pixels f = PictureF();
    ASSERT_EQ(f.width, kWidth);
    std::vector<Seen> seen;
    OnEachMessageWindow closer([&](HWND box) {
        seen.push_back(Look(box, app.Handle()));
        ClickOk(box);
    });
    ui::ShowMessageWindow(&app, "Korvalen driver works with errors");

    ASSERT_EQ(seen.size(), 1u);
    const Seen& s = seen[0];
    EXPECT_TRUE(SameRect(s.rect, CentredRect())) << Describe(s.rect);
    EXPECT_EQ(s.style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
                         WS_BORDER),
              0);
    EXPECT_EQ(s.exStyle & WS_EX_TOPMOST, 0) << "an ordinary window, not kept on top";
    EXPECT_EQ(s.title, "");
    EXPECT_TRUE(s.ownedByApplication);

    ASSERT_EQ(s.pixels.width, kWidth);
    ASSERT_EQ(s.pixels.height, kHeight);
    EXPECT_EQ(s.pixels.At(0, 0), 0x0075F3u) << "the frame of picture F";
    const TextPixels t = CompareWithF(s.pixels, f);
    EXPECT_EQ(t.outside, 0) << "picture F shown unscaled, covering the window";
    EXPECT_GT(t.inOk, 20) << "OK drawn over the button plate";
    EXPECT_GT(t.inMessage, 200) << "the message drawn on the band";
    EXPECT_EQ(t.notBlack, 0) << "both labels are black and transparent";

    EXPECT_EQ(VisibleMessageWindow(), nullptr);
    EXPECT_EQ(FindWindowA("TfrmMessageBox", nullptr), nullptr) << "destroyed before returning";
    EXPECT_FALSE(app.Terminating());
}

TEST_F(MessageWindow, AnEmptyTextLeavesTheBandEmptyAndALongOneIsCutAtTheLabel) {
    const toolkit::Pixels f = PictureF();
    ASSERT_EQ(f.width, kWidth);
    std::vector<toolkit::Pixels> shown;
    OnEachMessageWindow closer([&](HWND box) {
        shown.push_back(toolkit::RenderClient(box));
        ClickOk(box);
    });
    ui::ShowMessageWindow(&app, "");
    ui::ShowMessageWindow(&app, nullptr);
    ui::ShowMessageWindow(&app, std::string(300, 'W').c_str());

    ASSERT_EQ(shown.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        const TextPixels t = CompareWithF(shown[i], f);
        EXPECT_EQ(t.inMessage, 0) << "call " << i;
        EXPECT_GT(t.inOk, 20) << "call " << i;
        EXPECT_EQ(t.outside, 0) << "call " << i;
    }
    const TextPixels t = CompareWithF(shown[2], f);
    EXPECT_GT(t.inMessage, 1000);
    EXPECT_EQ(t.outside, 0) << "nothing drawn beyond the label's box";
}

TEST_F(MessageWindow, EveryCallIsANewWindowShownCentredEvenAfterADrag) {
    const RECT centred = CentredRect();
    PostedSteps probe;
    std::vector<RECT> shownAt;
    std::vector<HWND> windows;
    RECT dragged{};
    OnEachMessageWindow mover([&](HWND box) {
        windows.push_back(box);
        shownAt.push_back(WindowRect(box));
        if (windows.size() == 1) {
            // A drag on the background: press, the pointer 60 right and 40 down, release.
            // Each step after the press runs from inside the system's move loop, which
            // dispatches the probe's messages, so the loop has begun before the pointer
            // moves.
            SetCursorPos(centred.left + 10, centred.top + 10);
            HoldLeftButton(true);
            PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
            probe.Post([&probe, &dragged, centred, box] {
                SetCursorPos(centred.left + 70, centred.top + 50);
                PostMessageA(box, WM_MOUSEMOVE, MK_LBUTTON, At(70, 50));
                PostMessageA(box, WM_LBUTTONUP, 0, At(70, 50));
                probe.Post([&dragged, box] {
                    HoldLeftButton(false);
                    dragged = WindowRect(box);
                });
                probe.Post([box] { ClickOk(box); });
            });
        } else {
            ClickOk(box);
        }
    });
    ui::ShowMessageWindow(&app, "first");
    HoldLeftButton(false);  // whatever became of the drag
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_FALSE(IsWindow(windows[0])) << "the first window is gone before the second call";
    ui::ShowMessageWindow(&app, "second");
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_TRUE(SameRect(shownAt[0], centred)) << Describe(shownAt[0]);
    const RECT moved{centred.left + 60, centred.top + 40, centred.right + 60, centred.bottom + 40};
    EXPECT_TRUE(SameRect(dragged, moved)) << "dragged to " << Describe(dragged);
    EXPECT_TRUE(SameRect(shownAt[1], centred)) << Describe(shownAt[1]);
}

TEST_F(MessageWindow, ABackgroundPressOfAnyButtonMovesButAPressOnTheTextDoesNot) {
    PostedSteps probe;
    std::vector<bool> moving;
    OnEachMessageWindow presser([&](HWND box) {
        // Each press is followed by the probe and a left release, which ends any move.
        const UINT presses[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        for (const POINT at : {POINT{10, 140}, POINT{100, 75}})  // background, then the text
            for (UINT press : presses) {
                PostMessageA(box, press, 0, At(at.x, at.y));
                probe.Post([&] { moving.push_back(InSystemMove()); });
                PostMessageA(box, WM_LBUTTONUP, 0, At(at.x, at.y));
            }
        probe.Post([box] { ClickOk(box); });
    });
    ui::ShowMessageWindow(&app, "Korvalen driver works with errors");
    EXPECT_EQ(moving, (std::vector<bool>{true, true, true, false, false, false}));
}

TEST_F(MessageWindow, OtherVisibleWindowsAreDisabledWhileItIsUpAndEnabledAfter) {
    win32::UniqueWindow visible(CreateWindowExA(0, "STATIC", "visible", WS_POPUP | WS_VISIBLE, 0, 0,
                                                50, 50, nullptr, nullptr, nullptr, nullptr));
    win32::UniqueWindow hidden(CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 60, 0, 50, 50,
                                               nullptr, nullptr, nullptr, nullptr));
    EnableWindow(hidden.get(), FALSE);
    ASSERT_TRUE(visible && hidden);
    bool visibleEnabled = true, hiddenEnabled = true, boxEnabled = false;
    OnEachMessageWindow closer([&](HWND box) {
        visibleEnabled = IsWindowEnabled(visible.get());
        hiddenEnabled = IsWindowEnabled(hidden.get());
        boxEnabled = IsWindowEnabled(box);
        ClickOk(box);
    });
    ui::ShowMessageWindow(&app, "modal");
    EXPECT_FALSE(visibleEnabled);
    EXPECT_FALSE(hiddenEnabled) << "a hidden window is left as it was";
    EXPECT_TRUE(boxEnabled);
    EXPECT_TRUE(IsWindowEnabled(visible.get()));
    EXPECT_FALSE(IsWindowEnabled(hidden.get()));
}

TEST_F(MessageWindow, AQuitMessageWhileItIsUpClosesItAndTheCallReturns) {
    int shown = 0;
    OnEachMessageWindow quitter([&](HWND) {
        ++shown;
        PostQuitMessage(0);
    });
    ui::ShowMessageWindow(&app, "Error while communicating to Korvalen driver");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(FindWindowA("TfrmMessageBox", nullptr), nullptr);
    EXPECT_TRUE(app.Terminating()) << "the loops further out end too";
}

TEST_F(MessageWindow, WithoutAnOwnerTheTextStillReachesTheUser) {
    std::string text;
    std::atomic<bool> pressed{false};
    testsupport::TestThread presser([&] {
        HWND box = nullptr;
        // Found as soon as it exists: wait until it is shown with its button.
        const auto ready = [&] {
            box = FindWindowA("#32770", nullptr);
            return box && IsWindowVisible(box) && GetDlgItem(box, IDOK);
        };
        if (!WaitUntil(ready, 10s)) return;
        text = MessageBoxText(box);
        PressMessageBoxOk(box);
        pressed = true;
    });
    ui::ShowMessageWindow(nullptr, "Korvalen driver works with errors");
    presser.Join();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(text, "Korvalen driver works with errors");
}

// The background is decoded when the window is shown, not when it is made.
TEST_F(MessageWindow, ItsPictureIsDecodedWhenItIsShownNotWhenItIsMade) {
    const long before = toolkit::PictureDecodeCount();
    auto window = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    window->lbMessage.SetText("Hypervisor can not be enabled.");
    EXPECT_EQ(toolkit::PictureDecodeCount(), before);
    EXPECT_EQ(window->PicturesDpi(), 0);
    window->Show();
    EXPECT_EQ(toolkit::PictureDecodeCount(), before + 1);
    EXPECT_EQ(window->imgBackground.GetPicture().Width(), kWidth);
    window->Hide();
}

// ---- keyboard and screen reader ----

TEST_F(MessageWindow, EnterSpaceAndEscEachPressOkWhichHasTheFocusAtOpening) {
    const ComApartment com;
    for (const UINT key : {VK_RETURN, VK_SPACE, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        HWND focusAtOpen = nullptr;
        long focusedChild = 0;
        int shown = 0;
        OnEachMessageWindow presser([&](HWND box) {
            ++shown;
            focusAtOpen = GetFocus();
            VARIANT focus;
            VariantInit(&focus);
            if (const auto client = ClientObject(box);
                client && client->get_accFocus(&focus) == S_OK && focus.vt == VT_I4)
                focusedChild = focus.lVal;
            PressKey(key, kNoModifier, box);
        });
        ui::ShowMessageWindow(&app, "Korvalen works with errors");
        EXPECT_EQ(shown, 1) << "returned once the key closed it";
        EXPECT_NE(focusAtOpen, nullptr);
        EXPECT_EQ(focusedChild, 2) << "OK, the second child, has the focus";
        EXPECT_EQ(FindWindowA("TfrmMessageBox", nullptr), nullptr);
    }
}

// Enter held on the panel's Enable while the driver refuses: the key's auto-repeat reaches
// the new message window, which has to stay up until a fresh press.
TEST_F(MessageWindow, ARepeatedKeyDoesNotCloseIt) {
    constexpr LPARAM kRepeated = 0x40000001;  // bit 30: the key was already down
    for (const UINT key : {VK_RETURN, VK_SPACE, VK_ESCAPE}) {
        SCOPED_TRACE(key);
        bool openAfterRepeat = false;
        const PostedSteps steps;
        OnEachMessageWindow repeater([&](HWND box) {
            HWND focus = GetFocus() ? GetFocus() : box;
            PostMessageA(focus, WM_KEYDOWN, key, kRepeated);
            steps.Post([&, box] {
                openAfterRepeat = IsWindow(box) && IsWindowVisible(box);
                ClickOk(box);
            });
        });
        ui::ShowMessageWindow(&app,
                              "Hypervisor can not be enabled. Shutdown all Virtual Machines.");
        EXPECT_TRUE(openAfterRepeat);
        EXPECT_EQ(FindWindowA("TfrmMessageBox", nullptr), nullptr);
    }
}

TEST_F(MessageWindow, AScreenReaderReadsItsTextAndItsOkButton) {
    const ComApartment com;
    std::vector<AccessibleChild> children;
    ComRef<IAccessible> kept;
    OnEachMessageWindow reader([&](HWND box) {
        kept = ClientObject(box);
        children = ChildrenOf(kept.get());
        ClickOk(box);
    });
    ui::ShowMessageWindow(&app, "Failed connect to Korvalen driver");
    ASSERT_EQ(children.size(), 2u) << "nothing decorative: no picture";
    EXPECT_EQ(children[0].name, "Failed connect to Korvalen driver");
    EXPECT_EQ(children[0].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(children[1].name, "OK");
    EXPECT_EQ(children[1].role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(children[1].defaultAction, "Press");
    EXPECT_EQ(children[1].location.right - children[1].location.left, kOkBox.right - kOkBox.left);
    // The window is gone; the object kept answers without crashing.
    ASSERT_TRUE(kept);
    long count = -1;
    EXPECT_EQ(kept->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

TEST_F(MessageWindow, ItsOkButtonsDefaultActionClosesIt) {
    const ComApartment com;
    HRESULT result = E_UNEXPECTED;
    OnEachMessageWindow presser([&](HWND box) {
        const auto client = ClientObject(box);
        if (client) result = client->accDoDefaultAction(ChildVariant(2));
    });
    ui::ShowMessageWindow(&app, "Korvalen works with errors");
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(FindWindowA("TfrmMessageBox", nullptr), nullptr);
}
