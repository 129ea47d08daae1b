#include "toolkit/placement.h"

#include <gtest/gtest.h>

#include <vector>

using toolkit::Box;

namespace {

// Two monitors side by side, the right one lower and smaller; work areas less a taskbar.
const std::vector<Box> kAreas{{0, 0, 1920, 1040}, {1920, 200, 3200, 960}};
constexpr Box kPanel{100, 100, 695, 339};  // 595 x 239

Box At(int left, int top) {
    return {left, top, left + kPanel.Width(), top + kPanel.Height()};
}

}  // namespace

TEST(Placement, ABoxWhollyInsideSomeWorkAreaStaysToThePixel) {
    for (const Box& box :
         {kPanel, At(0, 0), At(1920 - 595, 1040 - 239), At(2000, 300), At(3200 - 595, 960 - 239)})
        EXPECT_EQ(toolkit::Placed(box, kAreas, kAreas[0]), box);
}

TEST(Placement, ABoxOffEveryWorkAreaComesInsideTheNearestAtItsSize) {
    struct Case {
        Box box, nearest, expected;
    };
    const Case cases[] = {
        {At(-5000, 300), kAreas[0], At(0, 300)},                // far left
        {At(9000, 500), kAreas[1], At(3200 - 595, 500)},        // far right
        {At(400, 5000), kAreas[0], At(400, 1040 - 239)},        // below
        {At(-700, -900), kAreas[0], At(0, 0)},                  // a negative place
        {At(1920 - 300, 100), kAreas[0], At(1920 - 595, 100)},  // across two monitors
        {At(2500, 100), kAreas[1], At(2500, 200)},              // above the smaller one
        {At(100, 1000), kAreas[0], At(100, 1040 - 239)},        // under the taskbar
    };
    for (const Case& c : cases) {
        const Box placed = toolkit::Placed(c.box, kAreas, c.nearest);
        EXPECT_EQ(placed, c.expected) << c.box.left << "," << c.box.top;
        EXPECT_EQ(placed.Width(), c.box.Width());
        EXPECT_EQ(placed.Height(), c.box.Height());
        EXPECT_TRUE(toolkit::Inside(placed, c.nearest));
    }
}

TEST(Placement, ABoxLargerThanTheAreaKeepsItsTopLeftOnTheArea) {
    const Box area{0, 0, 500, 200};
    EXPECT_EQ(toolkit::MovedInside({-50, -60, 550, 179}, area), (Box{0, 0, 600, 239}));
    EXPECT_EQ(toolkit::MovedInside({300, 300, 900, 539}, area), (Box{0, 0, 600, 239}));
}
