// How labels draw (pixels through WM_PRINTCLIENT), and the popup menu.
#include "tests/support/wine_test_support.h"
#include "tests/toolkit/toolkit_test_forms.h"
#include "toolkit/font.h"
#include "toolkit/popup_menu.h"
#include "toolkit/render.h"

#include <gtest/gtest.h>
#include <cstdint>

using namespace testsupport;
using namespace toolkittest;

namespace {

constexpr std::uint32_t kGround = 0x000080;
constexpr std::uint32_t kInk = 0xFFFFFF;

class LabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = toolkit::MakeForm<LabelsForm>(app);
        pixels = toolkit::RenderClient(form->Handle());
        ASSERT_EQ(pixels.width, 300);
        lineHeight = form->Find<toolkit::Label>("lbOneLine").Height();
    }
    // Whether any pixel of the rectangle differs from the ground.
    bool Ink(int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (pixels.At(x, y) != kGround) return true;
        return false;
    }

    toolkit::Application app{"Toolkit test"};
    toolkit::FormPtr<LabelsForm> form;
    toolkit::Pixels pixels;
    int lineHeight = 0;
};

}  // namespace

TEST_F(LabelTest, LineHeightIsTheFontsCellHeight) {
    // "MS Sans Serif" 13 px bold is 16 px high; a stand-in face keeps that height.
    EXPECT_EQ(lineHeight, 16);
}

TEST_F(LabelTest, DisabledTextIsEtchedHighlightOffsetThenShadowInPlace) {
    const std::uint32_t highlight = Rgb(GetSysColor(COLOR_3DHILIGHT));
    const std::uint32_t shadow = Rgb(GetSysColor(COLOR_3DSHADOW));
    int highlights = 0, shadows = 0;
    for (int y = 20; y < 40; ++y)
        for (int x = 10; x < 110; ++x) {
            const std::uint32_t p = pixels.At(x, y);
            if (p == kGround) continue;
            ASSERT_TRUE(p == highlight || p == shadow) << std::hex << p << " at " << x << "," << y;
            if (p == shadow) ++shadows;
            if (p == highlight) {
                ++highlights;
                // The highlight is the same glyphs one pixel right and down, under the shadow.
                EXPECT_EQ(pixels.At(x - 1, y - 1), shadow) << x << "," << y;
            }
        }
    EXPECT_GT(shadows, 20);
    EXPECT_GT(highlights, 5);
    EXPECT_NE(pixels.At(10, 20), kInk);
}

TEST_F(LabelTest, TextIsClippedToTheBox) {
    EXPECT_TRUE(Ink(10, 50, 40, 70));
    EXPECT_FALSE(Ink(40, 50, 150, 70)) << "no text right of the box";
    EXPECT_FALSE(Ink(10, 70, 40, 80)) << "the third line starts below the box";
}

TEST_F(LabelTest, LfCrBreaksOnceAndLinesDoNotWrap) {
    const int top = 80;
    EXPECT_TRUE(Ink(10, top, 110, top + lineHeight));
    EXPECT_TRUE(Ink(10, top + lineHeight, 110, top + 2 * lineHeight));
    EXPECT_FALSE(Ink(10, top + 2 * lineHeight, 110, 140)) << "LF CR made two breaks";
}

TEST_F(LabelTest, RightAlignedAndCentredDown) {
    // Box 150..250 x 80..140, one line of 16 px centred down: rows 102..118.
    const int top = 80 + (60 - lineHeight) / 2;
    EXPECT_TRUE(Ink(200, top, 250, top + lineHeight));
    EXPECT_FALSE(Ink(150, 80, 200, 140)) << "right-aligned text stays right";
    EXPECT_FALSE(Ink(150, 80, 250, top)) << "nothing above the centred line";
    EXPECT_FALSE(Ink(150, top + lineHeight, 250, 140));
}

TEST_F(LabelTest, AutoSizeTakesTheTextsSizeWithTabsExpanded) {
    const auto& one = form->Find<toolkit::Label>("lbOneLine");
    const auto& tabbed = form->Find<toolkit::Label>("lbTabbed");
    const auto& two = form->Find<toolkit::Label>("lbTwoLines");
    EXPECT_GT(one.Width(), 5);
    EXPECT_GE(tabbed.Width(), one.Width() + 20) << "the tab is expanded";
    EXPECT_EQ(two.Height(), 2 * lineHeight);
    EXPECT_GT(two.Width(), 2 * one.Width());
    EXPECT_LT(two.Width(), 4 * one.Width());
    EXPECT_TRUE(Ink(two.Left() + two.Width() - 3, 180, two.Left() + two.Width(), 180 + 16));
}

TEST_F(LabelTest, SetTextRepaintsWithTheNewText) {
    auto& label = form->Find<toolkit::Label>("lbBreaks");
    label.SetText("");
    pixels = toolkit::RenderClient(form->Handle());
    EXPECT_FALSE(Ink(10, 80, 110, 140));
    EXPECT_EQ(label.Text(), "");
}

TEST(PopupMenu, HyphenIsASeparatorAndChoosingAnItemRunsItsHandler) {
    toolkit::PopupMenu menu;
    std::vector<std::string> chosen;
    auto record = [&](toolkit::Object& sender) { chosen.push_back(sender.Name()); };
    menu.Add("First", record);
    menu.Add("-");
    menu.Add("Last", record);
    ASSERT_EQ(GetMenuItemCount(menu.Handle()), 3);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(menu.Handle(), 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    ASSERT_TRUE(GetMenuItemInfoA(menu.Handle(), 2, TRUE, &info));
    EXPECT_FALSE(info.fType & MFT_SEPARATOR);
    char text[32] = {};
    GetMenuStringA(menu.Handle(), 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Last");

    menu.Choose(3);
    menu.Choose(2);  // the separator has no handler
    menu.Choose(0);  // the menu closed without a choice
    EXPECT_EQ(chosen, std::vector<std::string>{"Last"});
}

namespace {

// Chooses the first item of the open menu with the keyboard, from a timer, since the
// menu's own loop runs inside Popup.
void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    KillTimer(nullptr, timer);
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

TEST(PopupMenu, PopupReturnsWhenTheMenuClosesAndTheChoiceArrivesAsAMessage) {
    toolkit::Application app{"Toolkit test"};
    auto owner = toolkit::MakeForm<LabelsForm>(app);
    owner->Show();
    SetForegroundWindow(owner->Handle());
    toolkit::PopupMenu menu;
    std::vector<std::string> chosen;
    auto record = [&](toolkit::Object& sender) { chosen.push_back(sender.Name()); };
    menu.Add("First", record);
    menu.Add("-");
    menu.Add("Last", record);
    SetTimer(nullptr, 0, 20, &ChooseFirstItem);
    menu.Popup(owner->Handle(), 10, 10);
    EXPECT_TRUE(chosen.empty()) << "nothing runs inside the menu";
    // The owner's WM_COMMAND, handed to the menu, runs the chosen item.
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, owner->Handle(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_TRUE(menu.Command(m.wParam, m.lParam));
    EXPECT_EQ(chosen, std::vector<std::string>{"First"});
    // A control's notification is not the menu's.
    EXPECT_FALSE(
        menu.Command(MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(owner->Handle())));
    EXPECT_EQ(chosen.size(), 1u);
}

TEST(Font, AMissingFaceFallsBackToASansSerifOfTheSameLineHeight) {
    toolkit::FontDescription wanted;
    wanted.face = "No Such Face At All";
    wanted.height = 13;
    wanted.bold = true;
    win32::UniqueFont font = toolkit::CreateDescribedFont(wanted);
    ASSERT_TRUE(font);
    win32::WindowDc screen(nullptr);
    win32::Selected select(screen.get(), font.get());
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(screen.get(), &metrics));
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_GE(metrics.tmWeight, FW_BOLD);
}
