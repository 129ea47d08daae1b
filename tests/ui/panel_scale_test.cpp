// Both windows at 100, 125, 150 and 200 % (96, 120, 144 and 192 DPI), reached the way a
// per-monitor aware window is told of a new scale (WM_DPICHANGED with the suggested
// place): window sizes, component places, the check boxes' windows, every text a label
// can show inside its box (at 175 % too), clicks at the scaled places, the centring at
// the first show, the pictures at every scale, and no objects left behind by changing
// scale.
#include "benchmarks/process_counts.h"
#include "tests/ui/panel_fixture.h"
#include "tests/ui/scale_checks.h"
#include "toolkit/description.h"
#include "toolkit/font.h"
#include "toolkit/picture_loader.h"
#include "toolkit/render.h"
#include "toolkit/scale.h"
#include "ui/form_message_box.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace paneltest;
using Scaling = PanelTest;
using toolkit::ScaleToDpi;

namespace {

constexpr UINT kDpiChanged = 0x02E0;

// Tells the window that its scale is now `dpi`, suggesting a place as the system would.
void ChangeScale(HWND hwnd, int dpi, POINT place = {40, 30}) {
    RECT window{};
    GetWindowRect(hwnd, &window);
    RECT suggested{place.x, place.y, place.x + window.right - window.left,
                   place.y + window.bottom - window.top};
    SendMessageA(hwnd, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

void ExpectLaidOut(const toolkit::Form& form, int dpi) {
    for (const auto& problem : scalecheck::LayoutProblems(form, dpi)) ADD_FAILURE() << problem;
}

::testing::AssertionResult FitsItsBox(const toolkit::Form& form, const toolkit::Label& label,
                                      const std::string& text) {
    const std::string problem = scalecheck::FitProblem(form, label, text);
    if (problem.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problem;
}

}  // namespace

TEST_F(Scaling, TheWindowIsMadeAtTheScreensScaleWhichIsNinetySixHere) {
    EXPECT_EQ(panel->Dpi(), 96);
    ExpectLaidOut(*panel, 96);
}

TEST_F(Scaling, PanelWindowComponentsAndCheckBoxesAreLaidOutAtEachScale) {
    // The boxes' windows, made after a scale change, are made at the scale of that moment.
    ChangeScale(hwnd, 144);
    panel->CreateChildWindows();
    ExpectLaidOut(*panel, 144);
    for (const int dpi : {120, 144, 192, 96}) {
        ChangeScale(hwnd, dpi, {40 + dpi, 30});
        ExpectLaidOut(*panel, dpi);
        RECT window{};
        GetWindowRect(hwnd, &window);
        EXPECT_EQ(window.left, 40 + dpi) << "moved to the suggested place";
        EXPECT_EQ(window.top, 30);
    }
    // Whole again at 100 %: the autosized labels measure what they measured at first.
    EXPECT_EQ(panel->lbAutomaticDisable.Width(), 351);
    EXPECT_EQ(panel->lbAutostartUserCP.Width(), 399);
}

TEST_F(Scaling, AScaleChangeWhileShownPaintsTheWholeWindowAtTheNewSize) {
    WireLikeStartUp();
    const auto before = toolkit::RenderClient(hwnd);
    ChangeScale(hwnd, 144);
    const auto scaled = toolkit::RenderClient(hwnd);
    EXPECT_EQ(scaled.width, 893);
    EXPECT_EQ(scaled.height, 359);
    ChangeScale(hwnd, 96);
    const auto after = toolkit::RenderClient(hwnd);
    EXPECT_TRUE(after.width == before.width && after.height == before.height &&
                after.rgb == before.rgb)
        << "back at 100 % the panel paints as before, pixel for pixel";
}

TEST_F(Scaling, EveryTextOfEveryPanelLabelFitsItsBoxAtEachScale) {
    const auto status = scalecheck::StatusTexts();
    ASSERT_GT(status.size(), 10u);
    for (const int dpi : {96, 120, 144, 168, 192}) {
        ChangeScale(hwnd, dpi);
        for (const auto& [caption, description] : status) {
            EXPECT_TRUE(FitsItsBox(*panel, panel->lbGeneralStatus, caption)) << dpi;
            EXPECT_TRUE(FitsItsBox(*panel, panel->lbGeneralDescription, description)) << dpi;
        }
        for (const toolkit::Label* label : {&panel->btnClose, &panel->lbEnable, &panel->lbDisable,
                                            &panel->lbAutomaticDisable, &panel->lbAutostartUserCP})
            EXPECT_TRUE(FitsItsBox(*panel, *label, label->Text())) << dpi;
    }
}

TEST_F(Scaling, EveryMessageWindowTextFitsItsBoxAtEachScale) {
    const auto texts = scalecheck::MessageTexts();
    ASSERT_FALSE(texts.empty());
    auto box = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    for (const int dpi : {96, 120, 144, 168, 192}) {
        ChangeScale(box->Handle(), dpi);
        ExpectLaidOut(*box, dpi);
        for (const auto& text : texts) EXPECT_TRUE(FitsItsBox(*box, box->lbMessage, text)) << dpi;
        EXPECT_TRUE(FitsItsBox(*box, box->lbOK, box->lbOK.Text())) << dpi;
    }
}

// Above 100 % the bitmap face has none of the scaled sizes but one (16 px, drawn at
// 2x it would be blocky): those labels are drawn in the scalable face at the scaled height.
TEST_F(Scaling, LabelFontsAreScaledAndTakeTheScalableFaceWhereTheBitmapFaceHasNoSuchSize) {
    auto realised = [](HFONT font) {
        win32::WindowDc screen(nullptr);
        win32::Selected select(screen.get(), font);
        char face[LF_FACESIZE] = {};
        GetTextFaceA(screen.get(), LF_FACESIZE, face);
        TEXTMETRICA m{};
        GetTextMetricsA(screen.get(), &m);
        return std::make_pair(std::string(face),
                              static_cast<int>(m.tmHeight - m.tmInternalLeading));
    };
    EXPECT_EQ(realised(panel->lbEnable.Font()), std::make_pair(std::string("MS Sans Serif"), 13));
    // The bitmap face has no 19-px size: at 100 % the close label's "X" is drawn at 16.
    EXPECT_EQ(realised(panel->btnClose.Font()).second, 16);
    // At 125 % the bitmap face has 16 px, 13 times 1.25: it stays.
    ChangeScale(hwnd, 120);
    EXPECT_EQ(realised(panel->lbEnable.Font()), std::make_pair(std::string("MS Sans Serif"), 16));
    EXPECT_EQ(realised(panel->btnClose.Font()),
              std::make_pair(std::string(toolkit::kScalableFace), 24));
    for (const int dpi : {144, 168, 192}) {
        ChangeScale(hwnd, dpi);
        EXPECT_EQ(realised(panel->lbEnable.Font()),
                  std::make_pair(std::string(toolkit::kScalableFace), ScaleToDpi(13, dpi)));
        EXPECT_EQ(realised(panel->btnClose.Font()),
                  std::make_pair(std::string(toolkit::kScalableFace), ScaleToDpi(19, dpi)));
        EXPECT_EQ(realised(panel->Font()).second, ScaleToDpi(11, dpi)) << "the check boxes' font";
    }
    ChangeScale(hwnd, 96);
    EXPECT_EQ(realised(panel->lbEnable.Font()), std::make_pair(std::string("MS Sans Serif"), 13));
}

TEST_F(Scaling, ClicksHitTheComponentsAtTheirScaledPlaces) {
    WireLikeStartUp();
    ChangeScale(hwnd, 192);
    // The Settings tab's centre at 200 %: at 100 % that point lies below both tabs.
    Click(2 * (14 + 47), 2 * (90 + 17));
    EXPECT_EQ(panel->SettingsTabActive, 1);
    Click(2 * (14 + 47), 2 * (52 + 17));
    EXPECT_EQ(panel->SettingsTabActive, 0);
    // Just beyond the Disable label's scaled box nothing is clicked; inside, it is.
    Click(2 * 310 + 1, 2 * 211);
    EXPECT_TRUE(std::find(TheWorld().log.begin(), TheWorld().log.end(), "Disable") ==
                TheWorld().log.end());
    Click(2 * 310 - 2, 2 * 211);
    EXPECT_TRUE(std::find(TheWorld().log.begin(), TheWorld().log.end(), "Disable") !=
                TheWorld().log.end());
}

TEST_F(Scaling, TheFirstShowCentresTheScaledWindow) {
    auto box = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    ChangeScale(box->Handle(), 144);
    box->Show();
    RECT r{};
    GetWindowRect(box->Handle(), &r);
    box->Hide();
    const int width = ScaleToDpi(493, 144);
    const int height = ScaleToDpi(154, 144);
    EXPECT_EQ(r.right - r.left, width);
    EXPECT_EQ(r.left, std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2));
    EXPECT_EQ(r.top, std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2));
}

// Fonts, the pictures, the paint buffer and the check boxes' fonts are made anew at each
// change; the old ones go. The GDI count is read where the table can be read (64-bit).
TEST_F(Scaling, ChangingScaleBackAndForthLeavesNoObjectsBehind) {
    WireLikeStartUp();
    auto roundTrip = [&] {
        for (const int dpi : {120, 144, 192, 168, 96}) {
            ChangeScale(hwnd, dpi);
            (void)toolkit::RenderClient(hwnd);
            testsupport::PumpMessages();
        }
    };
    // Warm-up: whatever the system makes once on its own (its DC cache entries) is made by
    // then. A 32-bit process cannot read the GDI table.
    const bool gdiTableRead = sizeof(void*) == 8;
    roundTrip();
    const auto before = bench::CountProcessObjects(GetCurrentProcessId());
    ASSERT_TRUE(before.has_value());
    const long decodes = toolkit::PictureDecodeCount();
    for (int i = 0; i < 20; ++i) roundTrip();
    const auto after = bench::CountProcessObjects(GetCurrentProcessId());
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes + 20 * 5 * 6)
        << "each change made the six pictures again";
    EXPECT_EQ(after->gdiObjects, before->gdiObjects);
    EXPECT_EQ(after->topLevelWindows, before->topLevelWindows);
    EXPECT_EQ(after->kernelHandles, before->kernelHandles);
    if (gdiTableRead) {
        EXPECT_GT(before->gdiObjects, 0) << "the GDI table was read";
    }
}

TEST_F(Scaling, EveryPictureOfBothPagesFillsItsScaledBoxWithTheStoredPictureAtThatScale) {
    WireLikeStartUp();
    panel->Show();
    for (const int dpi : {120, 144, 192, 96}) {
        ChangeScale(hwnd, dpi);
        panel->imgStatusTabClick(*panel);
        for (const auto& problem :
             scalecheck::PictureProblems(*panel, scalecheck::PanelTabs(*panel)))
            ADD_FAILURE() << "Status page: " << problem;
        panel->imgSettingsTabClick(*panel);
        for (const auto& problem :
             scalecheck::PictureProblems(*panel, scalecheck::PanelTabs(*panel)))
            ADD_FAILURE() << "Settings page: " << problem;
    }
    panel->Hide();
}

TEST_F(Scaling, TheMessageWindowsBackgroundFillsItsScaledWindowAtEachScale) {
    auto box = toolkit::MakeForm<ui::TfrmMessageBox>(app);
    box->Show();
    for (const int dpi : {120, 144, 192, 96}) {
        ChangeScale(box->Handle(), dpi);
        for (const auto& problem : scalecheck::PictureProblems(*box)) ADD_FAILURE() << problem;
    }
    box->Hide();
}

// A shown window told of another scale decodes its pictures again for it at once; told
// of the scale it has, it does nothing.
TEST_F(Scaling, AScaleChangeOfTheShownPanelDecodesItsPicturesAgainAtTheNewSize) {
    WireLikeStartUp();
    panel->Show();
    const long decodes = toolkit::PictureDecodeCount();
    const HBITMAP background = panel->imgBackground.GetPicture().Handle();
    ChangeScale(hwnd, 144);
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes + 6) << "six pictures, the tab strip one";
    EXPECT_EQ(panel->PicturesDpi(), 144);
    EXPECT_NE(panel->imgBackground.GetPicture().Handle(), background);
    EXPECT_EQ(panel->imgBackground.GetPicture().Width(), 893);
    EXPECT_EQ(panel->imgStatusTab.GetPicture().Width(), ScaleToDpi(14 + 95, 144) - 21);
    ChangeScale(hwnd, 144, {60, 60});
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes + 6) << "the same scale: nothing again";
    panel->Hide();
}

TEST_F(Scaling, TheHandCursorShowsOverTheScaledBoxes) {
    ChangeScale(hwnd, 144, {20, 20});
    panel->Show();
    RECT r{};
    GetWindowRect(hwnd, &r);
    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    auto cursorThere = [&] {
        SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, 0));
        return GetCursor();
    };
    // The Enable label's centre at 150 %, and where it was at 100 %.
    EXPECT_TRUE(
        testsupport::WithPointerAt({r.left + ScaleToDpi(163, 144), r.top + ScaleToDpi(211, 144)},
                                   [&] { return cursorThere() == hand; }));
    EXPECT_TRUE(testsupport::WithPointerAt({r.left + 163, r.top + 211},
                                           [&] { return cursorThere() != hand; }));
    panel->Hide();
}
