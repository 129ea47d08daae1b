#include "toolkit/accessible_model.h"

#include <gtest/gtest.h>

#include <vector>

using namespace toolkit::access;

namespace {

// A page with a text, two commands and two boxes of another page, and a tab.
std::vector<Item> Page() {
    return {
        {Role::StaticText, "Status", true, true, false, -1, false, false, {}},   // 0
        {Role::PageTab, "Status", true, true, true, -1, false, false, {}},       // 1
        {Role::PushButton, "Enable", true, true, false, 0, false, false, {}},    // 2
        {Role::PushButton, "Disable", true, true, false, 1, false, false, {}},   // 3
        {Role::StaticText, "hidden", false, true, false, -1, false, false, {}},  // 4
        {Role::PushButton, "Box B", false, true, false, 3, true, false, {}},     // 5
        {Role::PushButton, "Box A", false, true, false, 2, true, false, {}},     // 6
    };
}

}  // namespace

TEST(AccessibleModel, ChildrenAreTheVisibleItemsInReadingOrder) {
    EXPECT_EQ(Children(Page()), (std::vector<std::size_t>{0, 1, 2, 3}));
    auto items = Page();
    for (auto& item : items) item.visible = !item.visible;
    EXPECT_EQ(Children(items), (std::vector<std::size_t>{4, 5, 6}));
}

TEST(AccessibleModel, TabVisitsEnabledVisibleStopsInTabOrderAndWraps) {
    auto items = Page();
    EXPECT_EQ(NextFocus(items, std::nullopt, true), 2u);
    EXPECT_EQ(NextFocus(items, 2u, true), 3u);
    EXPECT_EQ(NextFocus(items, 3u, true), 2u);
    EXPECT_EQ(NextFocus(items, std::nullopt, false), 3u);
    EXPECT_EQ(NextFocus(items, 2u, false), 3u);
    EXPECT_EQ(NextFocus(items, 0u, true), 2u) << "from an item that is no stop: the first";

    items[2].enabled = false;  // a disabled command is skipped
    EXPECT_EQ(NextFocus(items, 3u, true), 3u);
    items[3].enabled = false;
    EXPECT_EQ(NextFocus(items, std::nullopt, true), std::nullopt);

    // The other page: its boxes by tab index, not by place in the list.
    for (auto& item : items) item.visible = !item.visible;
    EXPECT_EQ(NextFocus(items, std::nullopt, true), 6u);
    EXPECT_EQ(NextFocus(items, 6u, true), 5u);
    EXPECT_EQ(NextFocus(items, 6u, false), 5u);
}

TEST(AccessibleModel, StatesFollowRoleEnabledSelectedAndFocus) {
    const auto items = Page();
    EXPECT_EQ(StateOf(items[0], false), kStateReadOnly);
    EXPECT_EQ(StateOf(items[1], false), kStateSelectable | kStateSelected);
    auto tab = items[1];
    tab.selected = false;
    EXPECT_EQ(StateOf(tab, false), kStateSelectable);
    EXPECT_EQ(StateOf(items[2], false), kStateFocusable);
    EXPECT_EQ(StateOf(items[2], true), kStateFocusable | kStateFocused);
    auto off = items[3];
    off.enabled = false;
    EXPECT_EQ(StateOf(off, false), kStateUnavailable) << "unavailable, and no longer focusable";
}

TEST(AccessibleModel, ACheckButtonSaysWhetherItIsChecked) {
    Item box{Role::CheckButton, "Box", true, true, false, 1, true, true, {}};
    EXPECT_EQ(StateOf(box, true), kStateChecked | kStateFocusable | kStateFocused);
    EXPECT_EQ(DefaultActionOf(box), "Uncheck");
    box.checked = false;
    box.enabled = false;
    EXPECT_EQ(StateOf(box, false), kStateUnavailable);
    EXPECT_EQ(DefaultActionOf(box), "Check");
}

TEST(AccessibleModel, ButtonsAndTabsHaveADefaultActionTextsNone) {
    const auto items = Page();
    EXPECT_EQ(DefaultActionOf(items[2]), "Press");
    EXPECT_EQ(DefaultActionOf(items[1]), "Switch");
    EXPECT_EQ(DefaultActionOf(items[0]), "");
}

TEST(AccessibleModel, ANameIsTheShownLinesJoinedByOneBreakWithNoneAtTheEnd) {
    // Descriptions join their lines with LF CR and end with the join.
    EXPECT_EQ(NameOf("Hypervisor works properly\n\r"), "Hypervisor works properly");
    EXPECT_EQ(NameOf("Not every processor is supported\n\rError while allocating resources\n\r"),
              "Not every processor is supported\nError while allocating resources");
    EXPECT_EQ(NameOf("one\r\ntwo\rthree\nfour"), "one\ntwo\nthree\nfour");
    EXPECT_EQ(NameOf("Enable"), "Enable");
    EXPECT_EQ(NameOf(""), "");
    // A blank line inside stays a line of its own; trailing breaks all go.
    EXPECT_EQ(NameOf("a\n\r\n\rb\n\r\n\r"), "a\n\nb");
}
