// Scaling a description's boxes: edges, not sizes, so that boxes meeting at 96 DPI meet
// at every scale, and nothing moves at 96 DPI.
#include "toolkit/scale.h"
#include "toolkit/description.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using toolkit::ScaleBox;
using toolkit::ScaledBox;
using toolkit::ScaleToDpi;

namespace {

constexpr int kScales[] = {96, 120, 144, 168, 192};

toolkit::WindowDescription Form(const std::string& file) {
    std::ifstream in(std::string(KORVALEN_FORMS_DIR) + "/" + file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return toolkit::ParseDescription(text.str());
}

// Every edge of every box (and the window's) as a number at 96 DPI and at `dpi`.
std::vector<std::pair<int, int>> Edges(const toolkit::WindowDescription& form, int dpi,
                                       bool horizontal) {
    std::vector<std::pair<int, int>> edges;
    const ScaledBox window = ScaleBox(0, 0, form.width, form.height, dpi);
    edges.emplace_back(0, 0);
    edges.emplace_back(horizontal ? form.width : form.height,
                       horizontal ? window.right : window.bottom);
    for (const auto& c : form.components) {
        const ScaledBox b = ScaleBox(c.left, c.top, c.width, c.height, dpi);
        if (horizontal) {
            edges.emplace_back(c.left, b.left);
            edges.emplace_back(c.left + c.width, b.right);
        } else {
            edges.emplace_back(c.top, b.top);
            edges.emplace_back(c.top + c.height, b.bottom);
        }
    }
    return edges;
}

}  // namespace

TEST(Scale, NinetySixDotsPerInchChangesNothing) {
    for (int v : {-7, 0, 1, 13, 239, 595}) EXPECT_EQ(ScaleToDpi(v, 96), v);
    EXPECT_EQ(ScaleBox(120, 48, 457, 16, 96), (ScaledBox{120, 48, 577, 64}));
}

TEST(Scale, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(ScaleToDpi(13, 120), 16);    // 16.25
    EXPECT_EQ(ScaleToDpi(11, 144), 17);    // 16.5
    EXPECT_EQ(ScaleToDpi(-11, 144), -17);  // symmetric
    EXPECT_EQ(ScaleToDpi(595, 144), 893);  // 892.5
    EXPECT_EQ(ScaleToDpi(13, 168), 23);    // 22.75
    EXPECT_EQ(ScaleToDpi(239, 192), 478);
}

TEST(Scale, BoxesKeepTheirEdgesSoTheirSizesMayDifferByAPixel) {
    // Two boxes of width 95 at 14 and 109 meet; scaled by 1.25 their widths differ.
    const ScaledBox a = ScaleBox(14, 0, 95, 10, 120);
    const ScaledBox b = ScaleBox(109, 0, 95, 10, 120);
    EXPECT_EQ(a.right, b.left);
    EXPECT_EQ(a.Width(), 118);  // 17.5 -> 18 .. 136.25 -> 136
    EXPECT_EQ(b.Width(), 119);  // 136.25 -> 136 .. 255
}

// A picture as large as its box at 96 DPI, drawn at its corner, is made at the span
// between the box's scaled edges: the tabs at 125 % are 118 wide, not 95 x 1.25 rounded,
// and the two tabs of one height differ by a row.
TEST(Scale, APictureSpanIsTheDistanceBetweenItsBoxsScaledEdges) {
    for (const int dpi : kScales) {
        const ScaledBox status = ScaleBox(14, 52, 95, 34, dpi);
        const ScaledBox settings = ScaleBox(14, 90, 95, 34, dpi);
        EXPECT_EQ(toolkit::ScaleSpan(14, 95, dpi), status.Width()) << dpi;
        EXPECT_EQ(toolkit::ScaleSpan(52, 34, dpi), status.Height()) << dpi;
        EXPECT_EQ(toolkit::ScaleSpan(90, 34, dpi), settings.Height()) << dpi;
    }
    EXPECT_EQ(toolkit::ScaleSpan(14, 95, 120), 118);
    EXPECT_EQ(toolkit::ScaleSpan(52, 34, 120), 43);
    EXPECT_EQ(toolkit::ScaleSpan(90, 34, 120), 42);
    EXPECT_EQ(toolkit::ScaleSpan(0, 595, 144), 893);
}

// Wherever two edges of the panel or the message window coincide at 96 DPI (a label on
// its button plate, the background on the window's edges), they coincide at every
// scale; and edges keep their order.
TEST(Scale, EdgesThatMeetInTheWindowsStillMeetAtEveryScale) {
    for (const char* file : {"control_panel.form", "message_box.form"}) {
        const auto form = Form(file);
        ASSERT_GT(form.components.size(), 1u) << file;
        for (int dpi : kScales)
            for (bool horizontal : {true, false}) {
                const auto edges = Edges(form, dpi, horizontal);
                for (const auto& [a96, a] : edges)
                    for (const auto& [b96, b] : edges) {
                        if (a96 == b96) EXPECT_EQ(a, b) << file << " at " << dpi;
                        if (a96 < b96) EXPECT_LE(a, b) << file << " at " << dpi;
                    }
            }
    }
}
