#include "tests/skin/skin_expectations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace skintest {

namespace {

// "(x, y)", built by appending: GCC 12 warns wrongly about "literal" + std::string.
std::string Where(int x, int y) {
    std::string out("(");
    out += std::to_string(x);
    out += ", ";
    out += std::to_string(y);
    out += ")";
    return out;
}

std::string Hex(std::uint32_t c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c));
    return buf;
}

// Every pixel of the box within `tolerance` of colour (0: exactly it).
void ExpectBoxColour(const Picture& p, Box b, std::uint32_t colour, const char* what,
                     int tolerance = 0) {
    int wrong = 0;
    std::string first;
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x)
            if (ChannelDistance(p.at(x, y), colour) > tolerance) {
                if (wrong++ == 0) first = Where(x, y) + " is " + Hex(p.at(x, y));
            }
    EXPECT_EQ(wrong, 0) << what << ": pixels not " << Hex(colour) << ", first " << first;
}

void ExpectFrame(const Picture& p, const char* what) {
    SCOPED_TRACE(what);
    ExpectBoxColour(p, {0, 0, p.width - 1, 2}, kFrameBlue, "top frame");
    ExpectBoxColour(p, {0, p.height - 3, p.width - 1, p.height - 1}, kFrameBlue, "bottom frame");
    ExpectBoxColour(p, {0, 0, 2, p.height - 1}, kFrameBlue, "left frame");
    ExpectBoxColour(p, {p.width - 3, 0, p.width - 1, p.height - 1}, kFrameBlue, "right frame");
}

// Counts the pixels of the box for which pred holds.
template <typename Pred>
int Count(const Picture& p, Box b, Pred pred) {
    int n = 0;
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x)
            if (pred(p.at(x, y))) ++n;
    return n;
}

std::uint32_t Average(const Picture& p, Box b) {
    long r = 0, g = 0, bl = 0, n = 0;
    for (int y = b.y0; y <= b.y1; ++y)
        for (int x = b.x0; x <= b.x1; ++x, ++n) {
            r += Red(p.at(x, y));
            g += Green(p.at(x, y));
            bl += Blue(p.at(x, y));
        }
    return static_cast<std::uint32_t>((r / n) << 16 | (g / n) << 8 | (bl / n));
}

bool StrongBlue(std::uint32_t c) {
    return Blue(c) - Red(c) > 100;
}

}  // namespace

void ExpectBackground(const Picture& a) {
    ASSERT_EQ(a.width, 595);
    ASSERT_EQ(a.height, 239);
    ExpectFrame(a, "background");
    ExpectBoxColour(a, {0, 43, 594, 45}, kFrameBlue, "line under the title strip");
    ExpectBoxColour(a, {106, 46, 108, 238}, kFrameBlue, "line between photograph and content");

    // Title strip: near white on the left, pale blue on the right.
    EXPECT_GT(Luminance(a.at(8, 5)), 235) << Hex(a.at(8, 5));
    EXPECT_GT(Blue(a.at(556, 40)) - Red(a.at(556, 40)), 25) << Hex(a.at(556, 40));
    // The logo lies in its box: strong blue there, none between it and the caption strips.
    EXPECT_GT(Count(a, {17, 11, 144, 37}, StrongBlue), 400);
    EXPECT_EQ(Count(a, {3, 3, 16, 42}, StrongBlue), 0);
    EXPECT_EQ(Count(a, {145, 3, 159, 42}, StrongBlue), 0);
    EXPECT_EQ(Count(a, {17, 3, 144, 10}, StrongBlue), 0);
    EXPECT_EQ(Count(a, {17, 38, 144, 42}, StrongBlue), 0);

    // Close-button face under btnClose: dark blue in its middle, light title strip around it.
    const std::uint32_t face = Average(a, {564, 16, 579, 28});
    EXPECT_LT(Luminance(face), 120) << Hex(face);
    EXPECT_GT(Blue(face) - Red(face), 60) << Hex(face);
    for (auto [x, y] :
         {std::pair{557, 22}, std::pair{586, 22}, std::pair{571, 8}, std::pair{571, 37}})
        EXPECT_GT(Luminance(a.at(x, y)), 170) << "around the close face at " << x << ", " << y;
    EXPECT_LT(Luminance(a.at(560, 22)), 140) << "left edge of the close face";
    EXPECT_LT(Luminance(a.at(583, 22)), 140) << "right edge of the close face";

    // Content area: pale blue about #C8E4F1, light enough for black text everywhere.
    const std::uint32_t content = Average(a, {109, 46, 591, 235});
    EXPECT_LE(ChannelDistance(content, kContentBlue), 8) << Hex(content);
    EXPECT_EQ(Count(a, {109, 46, 591, 235},
                    [](std::uint32_t c) { return ChannelDistance(c, kContentBlue) > 70; }),
              0);
    EXPECT_EQ(Count(a, {120, 48, 577, 193}, [](std::uint32_t c) { return Luminance(c) < 170; }), 0)
        << "the status texts lie here";
    // A darker shade along the right edge.
    EXPECT_LT(Luminance(Average(a, {586, 60, 591, 220})),
              Luminance(Average(a, {540, 60, 545, 220})));

    // The photograph column: blue-tinted, faded, softer towards the top.
    const std::uint32_t photo = Average(a, {3, 46, 105, 235});
    EXPECT_GT(Blue(photo), Red(photo) + 30) << Hex(photo);
    EXPECT_EQ(Count(a, {3, 46, 105, 235}, [](std::uint32_t c) { return Luminance(c) < 40; }), 0);
}

void ExpectCaptionStrip(const Picture& strip, const Picture& background, Box word) {
    ASSERT_EQ(strip.width, 389);
    ASSERT_EQ(strip.height, 31);
    int differing = 0;
    std::string first;
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x) {
            const bool inWord = x >= word.x0 && x <= word.x1 && y >= word.y0 && y <= word.y1;
            if (!inWord && strip.at(x, y) != background.at(160 + x, 8 + y) && differing++ == 0)
                first = Where(x, y);
        }
    EXPECT_EQ(differing, 0) << "pixels outside the word differ from the background, first "
                            << first;
    const int letters = Count(
        strip, word, [](std::uint32_t c) { return ChannelDistance(c, kCaptionWordBlue) <= 8; });
    EXPECT_GT(letters, 150) << "the word in " << Hex(kCaptionWordBlue);
    // The word starts at the box's left edge, spans its height and most of its width.
    int left = strip.width, right = -1, top = strip.height, bottom = -1;
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x)
            if (ChannelDistance(strip.at(x, y), kCaptionWordBlue) <= 40) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_LE(left - word.x0, 2) << "left end of the word at " << left;
    EXPECT_LE(top - word.y0, 2) << "top of the word at " << top;
    EXPECT_LE(word.y1 - bottom, 2) << "bottom of the word at " << bottom;
    EXPECT_GE((right - left + 1) * 100, (word.x1 - word.x0 + 1) * 85)
        << "word from " << left << " to " << right;
}

void ExpectButtonPlate(const Picture& d) {
    ASSERT_EQ(d.width, 86);
    ASSERT_EQ(d.height, 22);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{85, 0}, std::pair{0, 21}, std::pair{85, 21}})
        EXPECT_EQ(d.at(x, y), 0xFFFFFFu) << "corner " << x << ", " << y;
    ExpectBoxColour(d, {4, 0, 81, 0}, kPlateOutline, "top outline");
    ExpectBoxColour(d, {4, 21, 81, 21}, kPlateOutline, "bottom outline");
    ExpectBoxColour(d, {0, 4, 0, 17}, kPlateOutline, "left outline");
    ExpectBoxColour(d, {85, 4, 85, 17}, kPlateOutline, "right outline");
    // Inside: from #336CAA at the top through #2D86D6 to a light #66A7DC at the bottom. The
    // top row inside the outline is the gradient's first colour, with no gloss over it.
    ExpectBoxColour(d, {4, 1, 81, 1}, 0x336CAA, "top row inside the outline");
    EXPECT_LE(ChannelDistance(d.at(43, 11), 0x2D86D6), 24) << Hex(d.at(43, 11));
    EXPECT_LE(ChannelDistance(d.at(43, 20), 0x66A7DC), 16) << Hex(d.at(43, 20));
    EXPECT_LT(Luminance(d.at(43, 3)), Luminance(d.at(43, 19)));
    // The seam across row 10 is darker than the rows beside it.
    for (int x : {10, 43, 75}) {
        EXPECT_LT(Luminance(d.at(x, 10)), Luminance(d.at(x, 9))) << "seam at column " << x;
        EXPECT_LT(Luminance(d.at(x, 10)), Luminance(d.at(x, 11))) << "seam at column " << x;
    }
}

void ExpectTabStrip(const Picture& e) {
    ASSERT_EQ(e.width, 6 * 95);
    ASSERT_EQ(e.height, 34);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(testing::Message() << "tab image " << i);
        const Picture t = e.crop(95 * i, 0, 95, 34);
        const bool selected = i == 2 || i == 5;
        const bool glowing = i % 3 != 0;
        ExpectBoxColour(t, {0, 0, 94, 2}, kFrameBlue, "top border");
        ExpectBoxColour(t, {0, 31, 94, 33}, kFrameBlue, "bottom border");
        ExpectBoxColour(t, {0, 0, 2, 33}, kFrameBlue, "left border");
        ExpectBoxColour(t, {92, 3, 94, 30}, selected ? kFaceBlue : kFrameBlue,
                        selected ? "open right side" : "right border");
        ExpectBoxColour(t, {3, 3, 10, 6}, kFaceBlue, "face at the top-left");
        ExpectBoxColour(t, {84, 27, 91, 30}, kFaceBlue, "face at the bottom-right");
        // The word in dark blue, centred across the tab and down its face.
        int left = 95, right = -1, top = 34, bottom = -1;
        for (int y = 0; y < 34; ++y)
            for (int x = 0; x < 95; ++x)
                if (ChannelDistance(t.at(x, y), kTabWordBlue) <= 60) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0) << "no word";
        EXPECT_LE(std::abs((left + right) - 94), 3)
            << "word from column " << left << " to " << right;
        EXPECT_LE(std::abs((top + bottom) - 33), 3) << "word from row " << top << " to " << bottom;
        EXPECT_GE(bottom - top + 1, 11) << "letters about 12 px high";
        EXPECT_LE(bottom - top + 1, 16) << "letters about 12 px high";
        // The hover glow: pale yellow behind the word, up to #FFFCDE.
        const int yellow = Count(t, {3, 3, 91, 30}, [](std::uint32_t c) {
            return Red(c) > 0xF0 && Blue(c) < Red(c) - 16;
        });
        if (glowing) {
            EXPECT_GT(yellow, 100) << "glow behind the word";
        } else {
            EXPECT_EQ(yellow, 0) << "no glow";
        }
        EXPECT_EQ(Count(t, {0, 0, 94, 33},
                        [](std::uint32_t c) { return Green(c) > 0xFC && Blue(c) > 0xDE; }),
                  0)
            << "nothing lighter than the glow's #FFFCDE";
    }
    // A selected tab is its hover picture, open on the right.
    for (int hover : {1, 4}) {
        const Picture h = e.crop(95 * hover, 0, 95, 34);
        const Picture s = e.crop(95 * (hover + 1), 0, 95, 34);
        int differing = 0;
        for (int y = 0; y < 34; ++y)
            for (int x = 0; x < 92; ++x)
                if (h.at(x, y) != s.at(x, y)) ++differing;
        EXPECT_EQ(differing, 0) << "selected tab " << hover + 1
                                << " differs from its hover picture";
    }
}

void ExpectMessageBackground(const Picture& f, const Picture& plate) {
    ASSERT_EQ(f.width, 493);
    ASSERT_EQ(f.height, 154);
    ExpectFrame(f, "message background");
    // Upper band from #B1D7EA to #75B1D2, lower band from #75B1D2 to #ADD5E8: the average
    // of each edge row, arcs and all.
    EXPECT_LE(ChannelDistance(Average(f, {200, 3, 300, 3}), 0xB1D7EA), 12)
        << Hex(Average(f, {200, 3, 300, 3}));
    EXPECT_LE(ChannelDistance(Average(f, {3, 63, 489, 63}), 0x75B1D2), 12)
        << Hex(Average(f, {3, 63, 489, 63}));
    EXPECT_LE(ChannelDistance(Average(f, {3, 91, 489, 91}), 0x75B1D2), 12)
        << Hex(Average(f, {3, 91, 489, 91}));
    EXPECT_LE(ChannelDistance(Average(f, {3, 150, 489, 150}), 0xADD5E8), 12)
        << Hex(Average(f, {3, 150, 489, 150}));
    // The message band under lbMessage: #C7E3F1 across the width, a soft edge at its top.
    ExpectBoxColour(f, {3, 69, 489, 90}, kFaceBlue, "message band");
    for (int y = 64; y <= 68; ++y) {
        EXPECT_GT(Luminance(f.at(240, y)), Luminance(f.at(240, 63))) << "soft edge row " << y;
        EXPECT_LT(Luminance(f.at(240, y)), Luminance(f.at(240, 69))) << "soft edge row " << y;
    }
    EXPECT_GT(Count(f, {26, 17, 185, 50}, StrongBlue), 600) << "the logo";
    // The button plate under lbOK is picture D, pixel for pixel.
    int differing = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 86; ++x)
            if (f.at(204 + x, 122 + y) != plate.at(x, y)) ++differing;
    EXPECT_EQ(differing, 0) << "plate at (204, 122)";
}

}  // namespace skintest
