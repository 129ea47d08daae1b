// Both windows at 100, 125, 150 and 200 % (96, 120, 144 and 192 DPI), reached the way a
// per-monitor aware window is told of a new scale (WM_DPICHANGED with the suggested
// place): window sizes, component places, the check boxes' windows, every text a label
// can show inside its box (at 175 % too), clicks at the scaled places, the centring at
// the first show, and no objects left behind by changing scale.
#include "benchmarks/process_counts.h"
#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"
#include "tests/ui/panel_fixture.h"
#include "toolkit/description.h"
#include "toolkit/font.h"
#include "toolkit/picture.h"
#include "toolkit/render.h"
#include "toolkit/scale.h"
#include "toolkit/text_lines.h"
#include "ui/form_message_box.h"
#include "ui/status_decision.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using namespace paneltest;
using Scaling = PanelTest;
using toolkit::ScaleBox;
using toolkit::ScaleToDpi;

namespace {

constexpr UINT kDpiChanged = 0x02E0;
constexpr int kScales[] = {96, 120, 144, 192};

// Tells the window that its scale is now `dpi`, suggesting a place as the system would.
void ChangeScale(HWND hwnd, int dpi, POINT place = {40, 30}) {
    RECT window{};
    GetWindowRect(hwnd, &window);
    RECT suggested{place.x, place.y, place.x + window.right - window.left,
                   place.y + window.bottom - window.top};
    SendMessageA(hwnd, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

RECT ScaledRect(const toolkit::ComponentDescription& d, int dpi) {
    const auto b = ScaleBox(d.left, d.top, d.width, d.height, dpi);
    return RECT{b.left, b.top, b.right, b.bottom};
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
    if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom << ") is not ("
           << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Window size, every component's box (an autosized label's at its scaled place) and
// every check box's window as the description says at this scale.
void ExpectLaidOut(const toolkit::Form& form, int dpi) {
    const auto& d = form.Description();
    EXPECT_EQ(form.Dpi(), dpi);
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(window.right - window.left, ScaleToDpi(d.width, dpi)) << d.className << " " << dpi;
    EXPECT_EQ(window.bottom - window.top, ScaleToDpi(d.height, dpi)) << d.className << " " << dpi;
    for (size_t i = 0; i < d.components.size(); ++i) {
        const auto& described = d.components[i];
        const toolkit::Component& c = *form.Components()[i];
        const RECT expected = ScaledRect(described, dpi);
        if (described.autoSize) {
            EXPECT_EQ(c.Left(), expected.left) << c.Name() << " at " << dpi;
            EXPECT_EQ(c.Top(), expected.top) << c.Name() << " at " << dpi;
        } else {
            EXPECT_TRUE(SameRect(c.BoundsRect(), expected)) << c.Name() << " at " << dpi;
        }
        if (const HWND child = c.ChildWindow()) {
            EXPECT_TRUE(SameRect(ChildRect(child), expected)) << c.Name() << " at " << dpi;
        }
    }
}

// Whether the text, drawn in the label's font as the label draws it (lines one cell
// height apart, centred down where the description says so), lies inside the label's
// box: every line's advance within its width, and every ink pixel within its height (a
// cell taller than the box is fine where its empty leading is what falls outside).
::testing::AssertionResult FitsItsBox(const toolkit::Form& form, const toolkit::Label& label,
                                      const std::string& text) {
    bool centredDown = false;
    for (const auto& d : form.Description().components)
        if (d.name == label.Name()) centredDown = d.verticalCenter;
    win32::WindowDc screen(nullptr);
    win32::UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
    const int margin = label.Height();
    const int width = label.Width() * 2;
    const int height = label.Height() + 2 * margin;
    void* bits = nullptr;
    win32::UniqueBitmap bitmap = toolkit::CreateDibSection32(width, height, &bits);
    if (!dc || !bitmap || !bits) return ::testing::AssertionFailure() << "no surface";
    win32::Selected selectBitmap(dc.get(), bitmap.get());
    win32::Selected selectFont(dc.get(), label.Font());
    const RECT all{0, 0, width, height};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.get(), &metrics);
    const auto lines = toolkit::SplitLines(text);
    const int lineHeight = metrics.tmHeight;
    int top = margin;
    if (centredDown) top += (label.Height() - lineHeight * static_cast<int>(lines.size())) / 2;
    int widest = 0;
    for (const auto line : lines) {
        RECT r{0, top, width, top + lineHeight};
        DrawTextA(dc.get(), line.data(), static_cast<int>(line.size()), &r,
                  DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX | DT_NOCLIP);
        RECT measured{0, 0, 0, 0};
        DrawTextA(dc.get(), line.data(), static_cast<int>(line.size()), &measured,
                  DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
        widest = std::max(widest, static_cast<int>(measured.right));
        top += lineHeight;
    }
    GdiFlush();
    int inkTop = height, inkBottom = -1;
    const auto* pixels = static_cast<const unsigned*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((pixels[y * width + x] & 0xFF) < 0xC0) {
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
            }
    const bool inside = inkBottom < 0 || (inkTop >= margin && inkBottom < margin + label.Height());
    if (widest <= label.Width() && inside) return ::testing::AssertionSuccess();
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc.get(), LF_FACESIZE, face);
    return ::testing::AssertionFailure()
           << label.Name() << " \"" << text << "\" in " << face << " is " << widest
           << " wide, its ink from " << inkTop - margin << " to " << inkBottom - margin
           << "; its box " << label.Width() << " x " << label.Height();
}

// Every caption and description a status refresh can give.
std::set<std::pair<std::string, std::string>> StatusTexts() {
    std::set<std::pair<std::string, std::string>> texts;
    for (const std::uint8_t result :
         {driver::kStatusRead, driver::kReadFailed, driver::kDeviceNotOpened, driver::kDriverError})
        for (std::uint8_t state = 0; state < 3; ++state)
            for (int flags = 0; flags < 256; ++flags) {
                ui::StatusInput in{};
                in.driverResult = result;
                in.hypervisorState = state;
                in.problemFlags = static_cast<std::uint8_t>(flags);
                const auto out = ui::DecideStatus(in);
                texts.emplace(out.caption, out.description);
            }
    return texts;
}

// Every text an Enable or Disable can bring up in the message window.
std::set<std::string> MessageTexts() {
    std::set<std::string> texts;
    for (const auto command :
         {driver::HypervisorCommand::Enable, driver::HypervisorCommand::Disable})
        for (const bool sent : {false, true})
            for (std::uint32_t answer = 0; answer < 64; ++answer)
                if (const char* text = driver::CommandMessage(command, sent, answer))
                    texts.insert(text);
    return texts;
}

}  // namespace

TEST_F(Scaling, TheWindowIsMadeAtTheScreensScaleWhichIsNinetySixHere) {
    EXPECT_EQ(panel->Dpi(), 96);
    ExpectLaidOut(*panel, 96);
}

TEST_F(Scaling, PanelWindowComponentsAndCheckBoxesAreLaidOutAtEachScale) {
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
    const auto status = StatusTexts();
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
    const auto texts = MessageTexts();
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

// Fonts, the paint buffer and the check boxes' fonts are made anew at each change; the
// old ones go. The GDI count is read where the table can be read (64-bit processes).
TEST_F(Scaling, ChangingScaleBackAndForthLeavesNoObjectsBehind) {
    WireLikeStartUp();
    auto roundTrip = [&] {
        for (const int dpi : {120, 144, 192, 168, 96}) {
            ChangeScale(hwnd, dpi);
            (void)toolkit::RenderClient(hwnd);
            testsupport::PumpMessages();
        }
    };
    roundTrip();
    const auto before = bench::CountProcessObjects(GetCurrentProcessId());
    ASSERT_TRUE(before.has_value());
    for (int i = 0; i < 20; ++i) roundTrip();
    const auto after = bench::CountProcessObjects(GetCurrentProcessId());
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(after->gdiObjects, before->gdiObjects);
    EXPECT_EQ(after->topLevelWindows, before->topLevelWindows);
    EXPECT_EQ(after->kernelHandles, before->kernelHandles);
    if (sizeof(void*) == 8) {
        EXPECT_GT(before->gdiObjects, 0) << "the GDI table was read";
    }
}
