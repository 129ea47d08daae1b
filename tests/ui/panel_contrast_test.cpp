// High contrast: both windows drawn with the system's colours instead of pictures. The
// switch comes through the seam (Wine answers SPI_GETHIGHCONTRAST with flags 0 and refuses
// SPI_SETHIGHCONTRAST with error 1439, measured on Wine 8 and Wine 10); the colours are
// real system colours, set for the test and put back after it.
#include "tests/ui/panel_fixture.h"
#include "toolkit/picture_loader.h"
#include "toolkit/plain_look.h"
#include "toolkit/render.h"
#include "toolkit/scale.h"
#include "ui/form_message_box.h"

#include <array>
#include <set>
#include <vector>

using namespace paneltest;
using testsupport::Rgb;

namespace {

// A black scheme whose every colour differs, so that each pixel tells what drew it.
constexpr std::array<int, 7> kElements{COLOR_WINDOW,        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                                       COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT,
                                       COLOR_GRAYTEXT};
constexpr std::array<COLORREF, 7> kScheme{RGB(0, 0, 0),    RGB(255, 255, 255), RGB(26, 235, 255),
                                          RGB(96, 0, 96),  RGB(32, 32, 128),   RGB(255, 255, 0),
                                          RGB(63, 242, 63)};

class HighContrast : public PanelTest {
protected:
    void SetUp() override {
        for (std::size_t i = 0; i < kElements.size(); ++i) saved_[i] = GetSysColor(kElements[i]);
        ASSERT_TRUE(
            SetSysColors(static_cast<int>(kElements.size()), kElements.data(), kScheme.data()));
        toolkit::SetHighContrastForTest(true);
        PanelTest::SetUp();
    }
    void TearDown() override {
        PanelTest::TearDown();
        toolkit::SetHighContrastForTest(std::nullopt);
        SetSysColors(static_cast<int>(kElements.size()), kElements.data(), saved_.data());
    }
    static unsigned Sys(int element) { return Rgb(GetSysColor(element)); }
    // How many pixels of the box have the colour.
    static int Count(const toolkit::Pixels& p, RECT box, unsigned colour) {
        int n = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) n += p.At(x, y) == colour;
        return n;
    }

    std::array<COLORREF, 7> saved_{};
};

}  // namespace

TEST_F(HighContrast, ThePanelIsDrawnInTheSystemColoursOnlyAndDecodesNoPicture) {
    WireLikeStartUp();  // all enabled: Enable unavailable, Disable offered
    panel->Show();
    const toolkit::Pixels p = toolkit::RenderClient(hwnd);
    std::set<unsigned> scheme;
    for (const int e : kElements) scheme.insert(Sys(e));
    std::set<unsigned> foreign;
    for (const unsigned c : p.rgb)
        if (!scheme.count(c)) foreign.insert(c);
    EXPECT_TRUE(foreign.empty()) << "a pixel from no system colour, e.g. " << std::hex
                                 << (foreign.empty() ? 0 : *foreign.begin());
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel) << "no picture decoded";

    EXPECT_EQ(p.At(450, 150), Sys(COLOR_WINDOW)) << "background";
    EXPECT_EQ(p.At(0, 0), Sys(COLOR_WINDOWTEXT)) << "the window's outline";
    EXPECT_EQ(p.At(594, 238), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(p.At(14, 52), Sys(COLOR_WINDOWTEXT)) << "the tabs' outlines";
    EXPECT_EQ(p.At(16, 54), Sys(COLOR_HIGHLIGHT)) << "the selected tab";
    EXPECT_GT(Count(p, {14, 52, 109, 86}, Sys(COLOR_HIGHLIGHTTEXT)), 20) << "its word";
    EXPECT_EQ(p.At(16, 92), Sys(COLOR_WINDOW)) << "the other tab";
    EXPECT_GT(Count(p, {14, 90, 109, 124}, Sys(COLOR_WINDOWTEXT)), 20 + 2 * 95 + 2 * 34 - 4);
    EXPECT_EQ(p.At(122, 201), Sys(COLOR_BTNFACE)) << "Enable as a button";
    EXPECT_EQ(p.At(226, 201), Sys(COLOR_BTNFACE)) << "Disable as a button";
    EXPECT_EQ(p.At(562, 13), Sys(COLOR_BTNFACE)) << "the close mark as a button";
    EXPECT_GT(Count(p, {120, 203, 206, 219}, Sys(COLOR_GRAYTEXT)), 20) << "Enable unavailable";
    EXPECT_EQ(Count(p, {120, 203, 206, 219}, Sys(COLOR_BTNTEXT)), 0);
    EXPECT_GT(Count(p, {224, 203, 310, 219}, Sys(COLOR_BTNTEXT)), 20) << "Disable offered";
    EXPECT_GT(Count(p, {561, 13, 583, 33}, Sys(COLOR_BTNTEXT)), 5) << "the close mark";
    EXPECT_GT(Count(p, {120, 48, 577, 64}, Sys(COLOR_WINDOWTEXT)), 50) << "the status caption";
    EXPECT_GT(Count(p, {16, 8, 144, 36}, Sys(COLOR_WINDOWTEXT)), 20) << "the logo as text";
    EXPECT_GT(Count(p, {160, 8, 549, 39}, Sys(COLOR_WINDOWTEXT)), 20) << "the page's caption";
}

TEST_F(HighContrast, AtOneHundredAndFiftyPercentThePlacesAndHitBoxesAreScaledInSystemColours) {
    WireLikeStartUp();
    RECT window{};
    GetWindowRect(hwnd, &window);
    SendMessageA(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&window));
    panel->Show();
    auto s = [](int value) { return toolkit::ScaleToDpi(value, 144); };
    toolkit::Pixels p = toolkit::RenderClient(hwnd);
    ASSERT_EQ(p.width, s(595));
    // At this size the system smooths text edges into blends of the text's colour and its
    // background: a pixel of no scheme colour may only be inside a component's box or the
    // logo's (where the words are), never on the window's own background or outline.
    std::set<unsigned> scheme;
    for (const int e : kElements) scheme.insert(Sys(e));
    std::vector<RECT> boxes{{s(16), s(8), s(144), s(36)}};  // the logo's words
    for (const auto& c : panel->Components()) {
        const RECT r = c->BoundsRect();
        if (r.right - r.left < p.width) boxes.push_back(r);  // not the whole window's picture
    }
    auto inABox = [&](int x, int y) {
        for (const RECT& r : boxes)
            if (PtInRect(&r, POINT{x, y})) return true;
        return false;
    };
    int stray = 0;
    POINT first{-1, -1};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!scheme.count(p.At(x, y)) && !inABox(x, y) && stray++ == 0) first = {x, y};
    EXPECT_EQ(stray, 0) << "pixels of no system colour outside every component, the first at "
                        << first.x << "," << first.y;
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel) << "no picture decoded";
    EXPECT_EQ(p.At(s(450), s(150)), Sys(COLOR_WINDOW)) << "background";
    EXPECT_EQ(p.At(s(14), s(52)), Sys(COLOR_WINDOWTEXT)) << "the tabs' outlines";
    EXPECT_EQ(p.At(s(16), s(54)), Sys(COLOR_HIGHLIGHT)) << "the selected tab";
    EXPECT_EQ(p.At(s(16), s(92)), Sys(COLOR_WINDOW)) << "the other tab";
    EXPECT_EQ(p.At(s(122), s(201)), Sys(COLOR_BTNFACE)) << "Enable as a button";
    EXPECT_EQ(p.At(s(226), s(201)), Sys(COLOR_BTNFACE)) << "Disable as a button";
    EXPECT_EQ(p.At(s(562), s(13)), Sys(COLOR_BTNFACE)) << "the close mark as a button";
    EXPECT_GT(Count(p, {s(224), s(203), s(310), s(219)}, Sys(COLOR_BTNTEXT)), 30)
        << "Disable's word at its scaled place";
    // The Settings tab's hit box is scaled with its drawing: a click where it is drawn at
    // 150 %, beyond its box at 100 %, selects it.
    Click(s(100), s(120));
    p = toolkit::RenderClient(hwnd);
    EXPECT_EQ(p.At(s(16), s(92)), Sys(COLOR_HIGHLIGHT)) << "the Settings tab selected";
    EXPECT_EQ(p.At(s(16), s(54)), Sys(COLOR_WINDOW));
    EXPECT_GT(Count(p, {s(140), s(55), s(543), s(71)}, Sys(COLOR_WINDOWTEXT)), 80)
        << "the box's text";
    panel->Hide();
}

TEST_F(HighContrast, TheSettingsPageSelectsItsTabAndTheBoxesStandOnTheWindowColour) {
    WireLikeStartUp();
    panel->imgSettingsTabClick(*panel);
    const toolkit::Pixels p = toolkit::RenderClient(hwnd);
    EXPECT_EQ(p.At(16, 92), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(p.At(16, 54), Sys(COLOR_WINDOW));
    EXPECT_GT(Count(p, {140, 55, 543, 71}, Sys(COLOR_WINDOWTEXT)), 50) << "the box's text";
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel);
}

TEST_F(HighContrast, AShownWindowPaintsAnewOnEachOfTheThreeMessagesAndOnlyOnThose) {
    panel->Show();
    const struct {
        UINT msg;
        WPARAM wp;
        bool repaints;
    } cases[] = {{WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, true},
                 {WM_SYSCOLORCHANGE, 0, true},
                 {WM_THEMECHANGED, 0, true},
                 {WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, false}};
    for (const auto& c : cases) {
        ValidateRect(hwnd, nullptr);
        SendMessageA(hwnd, c.msg, c.wp, 0);
        RECT dirty{};
        EXPECT_EQ(GetUpdateRect(hwnd, &dirty, FALSE) != 0, c.repaints) << c.msg;
        if (c.repaints) {
            EXPECT_EQ(dirty.right - dirty.left, 595) << c.msg;
        }
    }
}

TEST_F(HighContrast, TheSwitchBackBringsThePicturesAtTheWindowsScale) {
    panel->Show();
    EXPECT_EQ(panel->PicturesDpi(), 0);
    toolkit::SetHighContrastForTest(false);
    const toolkit::Pixels p = toolkit::RenderClient(hwnd);
    EXPECT_EQ(panel->PicturesDpi(), panel->Dpi());
    EXPECT_GT(toolkit::PictureDecodeCount(), decodesBeforePanel);
    EXPECT_NE(p.At(450, 150), Sys(COLOR_WINDOW)) << "the picture again";
}

TEST_F(HighContrast, TheMessageWindowDrawsItsTextAndOkInTheSystemColours) {
    auto message = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    message->lbMessage.SetText("Hypervisor can not be enabled.");
    const toolkit::Pixels p = toolkit::RenderClient(message->Handle());
    EXPECT_EQ(p.At(0, 0), Sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(p.At(100, 30), Sys(COLOR_WINDOW));
    EXPECT_EQ(p.At(207, 126), Sys(COLOR_BTNFACE)) << "OK as a button";
    EXPECT_GT(Count(p, {206, 125, 288, 141}, Sys(COLOR_BTNTEXT)), 10);
    EXPECT_GT(Count(p, {28, 69, 465, 86}, Sys(COLOR_WINDOWTEXT)), 50);
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel);
}
