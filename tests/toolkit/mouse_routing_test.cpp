#include "toolkit/mouse_routing.h"

#include <gtest/gtest.h>

#include <vector>

using namespace toolkit;

namespace {
// Stacking order: background, a label over it, a disabled label, a hidden image.
const std::vector<RoutingBox> kBoxes{
    {0, 0, 100, 100, true, true},   // 0 background
    {10, 10, 30, 10, true, true},   // 1 label
    {10, 30, 30, 10, true, false},  // 2 disabled label
    {10, 50, 30, 10, false, true},  // 3 hidden image
    {20, 12, 5, 5, true, true},     // 4 small one above the label
};
}  // namespace

TEST(MouseRouting, PressGoesToTheTopmostVisibleEnabledComponent) {
    EXPECT_EQ(PressTarget(kBoxes, 15, 15), 1u);
    EXPECT_EQ(PressTarget(kBoxes, 21, 13), 4u);
    EXPECT_EQ(PressTarget(kBoxes, 15, 35), 0u) << "a disabled component lets the press through";
    EXPECT_EQ(PressTarget(kBoxes, 15, 55), 0u) << "a hidden component lets the press through";
    EXPECT_EQ(PressTarget(kBoxes, 100, 100), std::nullopt) << "right and bottom edges are outside";
    EXPECT_EQ(PressTarget(kBoxes, 99, 99), 0u);
}

TEST(MouseRouting, HoverCountsDisabledButNotHiddenComponents) {
    EXPECT_EQ(HoverTarget(kBoxes, 15, 35), 2u);
    EXPECT_EQ(HoverTarget(kBoxes, 15, 55), 0u);
    EXPECT_EQ(HoverTarget(kBoxes, -1, 5), std::nullopt);
}

TEST(HoverTracker, LeavesThePreviousBeforeEnteringTheNext) {
    HoverTracker t;
    auto c = t.Update(1);
    EXPECT_EQ(c.left, std::nullopt);
    EXPECT_EQ(c.entered, 1u);
    c = t.Update(1);
    EXPECT_EQ(c.left, std::nullopt) << "no news while on the same component";
    EXPECT_EQ(c.entered, std::nullopt);
    c = t.Update(2);
    EXPECT_EQ(c.left, 1u);
    EXPECT_EQ(c.entered, 2u);
    c = t.Update(std::nullopt);  // off the form
    EXPECT_EQ(c.left, 2u);
    EXPECT_EQ(c.entered, std::nullopt);
}

TEST(HoverTracker, UnderCaptureOnlyTheHolderIsTold) {
    HoverTracker t;
    (void)t.Update(1);
    t.SetCapture(1);
    auto c = t.Update(2);  // dragged onto another component
    EXPECT_EQ(c.left, 1u);
    EXPECT_EQ(c.entered, std::nullopt) << "the component under the pointer gets nothing";
    c = t.Update(3);
    EXPECT_EQ(c.left, std::nullopt);
    EXPECT_EQ(c.entered, std::nullopt);
    c = t.Update(1);  // back onto the holder
    EXPECT_EQ(c.entered, 1u);
    (void)t.Update(2);
    t.SetCapture(std::nullopt);  // released over the other one
    c = t.Update(2);
    EXPECT_EQ(c.left, std::nullopt);
    EXPECT_EQ(c.entered, 2u);
}
