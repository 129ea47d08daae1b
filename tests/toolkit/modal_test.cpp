// Modal showing, the application's message hook, errors escaping handlers, system move.
#include "tests/support/test_thread.h"
#include "tests/support/wine_test_support.h"
#include "tests/toolkit/toolkit_test_forms.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace testsupport;
using namespace toolkittest;
using Log = std::vector<std::string>;

namespace {

constexpr UINT kHide = WM_APP + 1;
constexpr UINT kCheck = WM_APP + 2;
constexpr UINT kCounted = WM_APP + 3;
constexpr UINT kNested = WM_APP + 4;

void PostToThread(UINT msg) {
    PostThreadMessageA(GetCurrentThreadId(), msg, 0, 0);
}

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(PlacePointer(ScreenCorner())); }
    toolkit::Application app{"Toolkit test"};
    toolkit::FormPtr<ModalForm> modal = toolkit::MakeForm<ModalForm>(app);
};

}  // namespace

TEST_F(ModalTest, ClosingEndsTheLoopWithCancelAndOtherWindowsAreDisabledMeanwhile) {
    auto visible = toolkit::MakeForm<RoutingForm>(app);
    auto hidden = toolkit::MakeForm<RoutingForm>(app);
    visible->Show();
    bool visibleEnabled = true, hiddenEnabled = false, modalShown = false;
    modal->onClose = [&] {
        visibleEnabled = IsWindowEnabled(visible->Handle());
        hiddenEnabled = IsWindowEnabled(hidden->Handle());
        modalShown = modal->Visible() && modal->Modal();
    };
    PostMessageA(modal->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
    PostMessageA(modal->Handle(), WM_LBUTTONUP, 0, At(15, 15));
    EXPECT_EQ(modal->ShowModal(), toolkit::kModalResultCancel);
    EXPECT_FALSE(visibleEnabled) << "a visible window is disabled during the modal loop";
    EXPECT_TRUE(hiddenEnabled) << "a hidden window is left alone";
    EXPECT_TRUE(modalShown);
    EXPECT_TRUE(IsWindowEnabled(visible->Handle())) << "enabled again afterwards";
    EXPECT_FALSE(modal->Visible());
    EXPECT_FALSE(modal->Modal());
    EXPECT_FALSE(app.Terminating());

    modal->Show();
    modal->Close();  // outside a modal loop closing hides
    EXPECT_FALSE(modal->Visible());
    EXPECT_THROW((void)visible->ShowModal(), std::logic_error) << "already visible";
}

TEST_F(ModalTest, HidingAModalFormDoesNotEndItsLoop) {
    Log log;
    app.SetMessageHook([&](MSG& msg) {
        if (msg.message == kHide) {
            modal->Hide();
            log.push_back("hidden");
            return true;
        }
        if (msg.message == kCheck) {
            log.push_back(modal->Modal() ? "still modal" : "ended");
            SendMessageA(modal->Handle(), WM_CLOSE, 0, 0);
            return true;
        }
        return false;
    });
    PostToThread(kHide);
    PostToThread(kCheck);
    EXPECT_EQ(modal->ShowModal(), toolkit::kModalResultCancel);
    EXPECT_EQ(log, (Log{"hidden", "still modal"}));
}

TEST_F(ModalTest, AQuitMessageEndsEveryModalLoopAndIsNotPassedOn) {
    auto inner = toolkit::MakeForm<ModalForm>(app);
    int innerResult = 0;
    app.SetMessageHook([&](MSG& msg) {
        if (msg.message != kNested) return false;
        PostQuitMessage(0);
        innerResult = inner->ShowModal();
        return true;
    });
    PostToThread(kNested);
    EXPECT_EQ(modal->ShowModal(), toolkit::kModalResultCancel);
    EXPECT_EQ(innerResult, toolkit::kModalResultCancel);
    EXPECT_TRUE(app.Terminating());
    EXPECT_FALSE(inner->Visible());
    EXPECT_FALSE(modal->Visible());
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit message reached no outer loop";
}

TEST_F(ModalTest, TheHookIsConsultedOnlyByModalLoopsAndCanSwallowMessages) {
    int counted = 0, sentSeen = 0;
    app.SetMessageHook([&](MSG& msg) {
        if (msg.message == kCounted) ++counted;
        if (msg.message == kCheck + 10) ++sentSeen;
        if (msg.message == kCheck) {
            // A message given straight to the window does not pass the hook.
            SendMessageA(modal->Handle(), kCheck + 10, 0, 0);
            modal->Close();
        }
        return msg.message == WM_LBUTTONDOWN;  // swallowed: no click
    });
    PostToThread(kCounted);
    PumpMessages();  // a plain loop, like a program's main loop
    EXPECT_EQ(counted, 0);

    PostToThread(kCounted);
    PostMessageA(modal->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
    PostMessageA(modal->Handle(), WM_LBUTTONUP, 0, At(15, 15));
    PostToThread(kCheck);
    bool clicked = false;
    modal->onClose = [&] { clicked = true; };
    EXPECT_EQ(modal->ShowModal(), toolkit::kModalResultCancel);
    EXPECT_EQ(counted, 1);
    EXPECT_EQ(sentSeen, 0);
    EXPECT_FALSE(clicked) << "the hook swallowed the press";
}

TEST_F(ModalTest, AnErrorEscapingAHandlerIsShownAndTheProgramGoesOn) {
    std::atomic<int> boxes{0};
    std::string text;
    testsupport::TestThread presser([&] {
        for (int i = 0; i < 2; ++i) {
            HWND box = nullptr;
            if (!WaitUntil([&] { return (box = FindWindowA("#32770", "Toolkit test")) != nullptr; },
                           10s))
                return;
            text = MessageBoxText(box);
            PressMessageBoxOk(box);
            if (!WaitUntil([&] { return !IsWindow(box); }, 5s)) return;
            ++boxes;
        }
    });
    for (int i = 0; i < 2; ++i) {
        SendMessageA(modal->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 35));
        SendMessageA(modal->Handle(), WM_LBUTTONUP, 0, At(15, 35));
    }
    presser.Join();
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(text, "The handler failed on purpose.");
    EXPECT_EQ(modal->throws, 2);
    EXPECT_TRUE(IsWindow(modal->Handle()));
}

TEST_F(ModalTest, SystemMoveFromAPressReturnsAndLeavesNoCapture) {
    auto form = toolkit::MakeForm<RoutingForm>(app);
    form->Show();
    form->onBackgroundPress = [&] { form->StartSystemMove(); };
    // A move started from a synthetic press runs until a button-up arrives: queue it.
    PostMessageA(form->Handle(), WM_LBUTTONUP, 0, At(100, 50));
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(100, 50));
    EXPECT_NE(GetCapture(), form->Handle());
    PumpMessages();
    form->log.clear();
    SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
    SendMessageA(form->Handle(), WM_LBUTTONUP, 0, At(15, 15));
    EXPECT_EQ(form->log, Log{"click:lbEnabled"});
}

TEST_F(ModalTest, TheWindowActiveBeforeBecomesActiveAgain) {
    auto before = toolkit::MakeForm<RoutingForm>(app);
    before->Show();
    SetActiveWindow(before->Handle());
    ASSERT_EQ(GetActiveWindow(), before->Handle());
    HWND activeInside = nullptr;
    modal->onClose = [&] { activeInside = GetActiveWindow(); };
    PostMessageA(modal->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(15, 15));
    PostMessageA(modal->Handle(), WM_LBUTTONUP, 0, At(15, 15));
    (void)modal->ShowModal();
    EXPECT_EQ(activeInside, modal->Handle());
    EXPECT_EQ(GetActiveWindow(), before->Handle());
}
