// The panel's pictures: decoded only when the window is first shown, kept across a short
// hide, given back after a long one, made again at another scale without leaving objects
// behind.
#include "benchmarks/process_counts.h"
#include "resources/resource_names.h"
#include "tests/ui/panel_fixture.h"
#include "toolkit/picture_loader.h"
#include "toolkit/render.h"
#include "toolkit/resample.h"
#include "toolkit/scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace paneltest;

namespace {

using Pictures = PanelTest;

// The picture components' bitmaps and their count: six decoded pictures (the background,
// the two caption strips, the two button plates, the tab strip) and the two tab images.
std::vector<HBITMAP> Bitmaps(ui::TfrmControlPanel& p) {
    return {p.imgBackground.GetPicture().Handle(),      p.imgCaptionStatus.GetPicture().Handle(),
            p.imgCaptionSettings.GetPicture().Handle(), p.imgEnableButton.GetPicture().Handle(),
            p.imgDisableButton.GetPicture().Handle(),   p.imgStatusTab.GetPicture().Handle(),
            p.imgSettingsTab.GetPicture().Handle()};
}
constexpr long kDecodedPictures = 6;

long GdiObjects() {
    const auto counts = bench::CountProcessObjects(GetCurrentProcessId());
    return counts ? counts->gdiObjects : -1;  // -1 in a 32-bit process: not countable
}

}  // namespace

TEST_F(Pictures, NothingIsDecodedBeforeTheFirstShowAndNothingAgainAfterIt) {
    WireLikeStartUp();  // all that start-up does with the hidden window
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel)
        << "before the first show nothing has been decoded";
    EXPECT_EQ(panel->PicturesDpi(), 0);

    panel->Show();
    EXPECT_EQ(panel->PicturesDpi(), 96);
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel + kDecodedPictures);
    for (HBITMAP b : Bitmaps(*panel)) EXPECT_NE(b, nullptr);

    const auto kept = Bitmaps(*panel);
    panel->Hide();
    panel->Show();
    panel->imgSettingsTabClick(*panel);
    panel->imgStatusTabClick(*panel);
    panel->Hide();
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodesBeforePanel + kDecodedPictures)
        << "kept across a short hide";
    EXPECT_EQ(Bitmaps(*panel), kept) << "the same bitmaps, tabs drawn into their own";
}

// Reading a picture of the hidden window (rendering it, here) decodes what it needs.
TEST_F(Pictures, RenderingTheHiddenWindowDecodesItsPicturesFirst) {
    const toolkit::Pixels shot = toolkit::RenderClient(hwnd);
    EXPECT_EQ(panel->PicturesDpi(), 96);
    EXPECT_EQ(shot.At(0, 0), 0x0075F3u) << "the background's frame";
    EXPECT_EQ(shot.At(14 + 93, 52 + 16), 0xC7E3F1u) << "the selected Status tab's open side";
}

TEST_F(Pictures, AnotherScaleMakesEveryPictureAgainAtThatScaleWithoutObjectGrowth) {
    panel->Show();
    panel->Hide();
    auto sizesAt = [&](int dpi) {
        SCOPED_TRACE(dpi);
        auto s = [dpi](int v) { return toolkit::ScaledLength(v, dpi); };
        EXPECT_EQ(panel->PicturesDpi(), dpi);
        EXPECT_EQ(panel->imgBackground.GetPicture().Width(), s(595));
        EXPECT_EQ(panel->imgBackground.GetPicture().Height(), s(239));
        EXPECT_EQ(panel->imgCaptionStatus.GetPicture().Width(), s(389));
        EXPECT_EQ(panel->imgEnableButton.GetPicture().Height(), s(22));
        EXPECT_EQ(panel->imglstButtons.ImageWidth(), s(resources::kTabWidth));
        EXPECT_EQ(panel->imglstButtons.Count(), resources::kTabCount);
        // A tab's picture fills its box, whose scaled edges can lie a pixel closer than the
        // list's image size (the Settings tab at 125 %: 42 rows, not 43).
        EXPECT_EQ(panel->imgStatusTab.GetPicture().Width(),
                  toolkit::ScaleSpan(14, resources::kTabWidth, dpi));
        EXPECT_EQ(panel->imgSettingsTab.GetPicture().Height(),
                  toolkit::ScaleSpan(90, resources::kTabHeight, dpi));
    };
    // One round first: whatever the system makes once on its own is made by then.
    for (const int dpi : {144, 96}) panel->PreparePictures(dpi);
    const long gdi = GdiObjects();
    const long decodes = toolkit::PictureDecodeCount();
    auto before = Bitmaps(*panel);
    for (const int dpi : {120, 144, 192, 96}) {
        panel->PreparePictures(dpi);
        sizesAt(dpi);
        const auto now = Bitmaps(*panel);
        for (HBITMAP old : before) {
            if (std::find(now.begin(), now.end(), old) == now.end()) {
                EXPECT_EQ(GetObjectType(old), 0u) << "a replaced bitmap is deleted";
            }
        }
        before = now;
    }
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes + 4 * kDecodedPictures);
    panel->PreparePictures(96);
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes + 4 * kDecodedPictures)
        << "the same scale again: nothing to do";
    if (gdi >= 0) {
        EXPECT_EQ(GdiObjects(), gdi) << "GDI objects after four scale changes";
    }
    panel->Show();
    sizesAt(96);
}

// Hidden for a while, the window gives its pictures and paint buffer back; the next show
// makes them again and paints as before. Shown again sooner, nothing is made again.
TEST_F(Pictures, AWindowHiddenForAWhileGivesItsPicturesBackAndTheNextShowMakesThemAgain) {
    panel->SetPicturesKeptWhileHidden(200);
    panel->Show();
    const toolkit::Pixels before = toolkit::RenderClient(hwnd);
    const long decodes = toolkit::PictureDecodeCount();
    const long gdiShown = GdiObjects();
    // No message runs between the hide and the show: the timer cannot have come.
    panel->Hide();
    panel->Show();
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes) << "shown again at once: kept";
    EXPECT_EQ(panel->PicturesDpi(), 96);

    panel->Hide();
    ASSERT_TRUE(testsupport::WaitUntil([&] { return panel->PicturesDpi() == 0; }))
        << "given back once hidden for 200 ms";
    if (gdiShown >= 0) {
        // Five pictures, the tab strip, the two tab images, the paint buffer's bitmap and DC.
        EXPECT_EQ(GdiObjects(), gdiShown - 10) << "every picture's bitmap deleted";
    }
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes);

    panel->Show();
    EXPECT_EQ(panel->PicturesDpi(), 96);
    EXPECT_EQ(toolkit::PictureDecodeCount(), decodes + kDecodedPictures);
    const toolkit::Pixels after = toolkit::RenderClient(hwnd);
    EXPECT_EQ(after.rgb, before.rgb) << "painted as before the pictures went";
    if (gdiShown >= 0) {
        EXPECT_EQ(GdiObjects(), gdiShown) << "no objects left behind";
    }
}
