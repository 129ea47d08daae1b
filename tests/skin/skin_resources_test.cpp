// The pictures and icons as the program gets them: decoded from the built executable's
// resources at each display scale, held to the same checks as the stored files, plus the
// icon groups, the manifest and the version resource.
#include "resources/resource_names.h"
#include "tests/skin/skin_expectations.h"
#include "tests/support/wine_test_support.h"
#include "toolkit/picture.h"
#include "toolkit/picture_loader.h"
#include "toolkit/resample.h"
#include "win32/unique_win.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace skintest;

namespace {

// The executable loaded as data: its resources can be read, none of its code runs.
class ProgramResources {
public:
    ProgramResources() {
        path_ = testsupport::ExecutableDirectory() + "..\\..\\app\\KorvalenControlPanel.exe";
        module_ = LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ProgramResources() {
        if (module_) FreeLibrary(module_);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

    [[nodiscard]] HMODULE module() const { return module_; }
    [[nodiscard]] const std::string& path() const { return path_; }

    // The raw bytes of a resource, empty when it is missing.
    [[nodiscard]] std::string Raw(const char* name, const char* type) const {
        HRSRC found = FindResourceA(module_, name, type);
        if (!found) return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (!data) return {};
        return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
    }

private:
    std::string path_;
    HMODULE module_ = nullptr;
};

// The bitmap's pixels through GetDIBits, as 0xRRGGBB.
Picture PictureOf(HBITMAP bitmap) {
    BITMAP bm{};
    if (!GetObjectA(bitmap, sizeof bm, &bm)) return {};
    Picture p{bm.bmWidth, bm.bmHeight,
              std::vector<std::uint32_t>(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight)};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    win32::WindowDc screen(nullptr);
    if (GetDIBits(screen.get(), bitmap, 0, bm.bmHeight, p.pixels.data(), &info, DIB_RGB_COLORS) !=
        bm.bmHeight)
        return {};
    for (auto& px : p.pixels) px &= 0xFFFFFF;  // BGRX in memory is 0x00RRGGBB as a number
    return p;
}

// The picture as the program decodes it at this DPI, into the 32-bit bitmap it paints;
// the tab strip as the image list decodes it, tab by tab.
Picture LoadPicture(const ProgramResources& res, const char* name, int dpi = 96) {
    toolkit::Picture picture;
    try {
        if (std::string(name) == resources::kTabStripBitmap)
            picture.SetPixels(toolkit::LoadPictureAtDpi(
                res.module(), name, dpi, resources::kTabWidth, resources::kTabHeight));
        else
            picture.Load(res.module(), name, dpi);
    } catch (const std::exception& e) {
        ADD_FAILURE() << name << " at " << dpi << " DPI: " << e.what();
        return {};
    }
    DIBSECTION dib{};
    EXPECT_EQ(GetObjectA(picture.Handle(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32) << name << " becomes a 32-bit DIB section";
    return PictureOf(picture.Handle());
}

toolkit::Pixels AsPixels(const Picture& p) {
    return {p.width, p.height, p.pixels};
}

// The mean over all pixels of the largest channel difference.
double MeanDistance(const toolkit::Pixels& a, const Picture& b) {
    double total = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) total += ChannelDistance(a.At(x, y), b.at(x, y));
    return total / (static_cast<double>(b.width) * b.height);
}

constexpr int kDpis[] = {96, 120, 144, 192};

#pragma pack(push, 2)
struct GroupEntry {  // GRPICONDIRENTRY
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

std::vector<GroupEntry> GroupEntries(const std::string& group) {
    std::vector<GroupEntry> out;
    if (group.size() < 6) return out;
    WORD count = 0;
    std::memcpy(&count, group.data() + 4, 2);
    for (WORD k = 0; k < count && 6 + (k + 1) * sizeof(GroupEntry) <= group.size(); ++k) {
        GroupEntry e{};
        std::memcpy(&e, group.data() + 6 + k * sizeof(GroupEntry), sizeof e);
        out.push_back(e);
    }
    return out;
}

BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
    auto* first = reinterpret_cast<std::string*>(out);
    if (IS_INTRESOURCE(name)) {
        *first = "#";
        *first += std::to_string(reinterpret_cast<ULONG_PTR>(name));
    } else {
        *first = name;
    }
    return FALSE;  // the first one is enough
}

class SkinResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(res_.module(), nullptr) << "cannot load " << res_.path(); }
    ProgramResources res_;
};

}  // namespace

TEST_F(SkinResources, BackgroundAsLoadedShowsFrameLinesCloseFaceAndContent) {
    ExpectBackground(LoadPicture(res_, resources::kBackgroundBitmap));
}

TEST_F(SkinResources, CaptionStripsAsLoadedAreTheBackgroundWithTheirWord) {
    const Picture background = LoadPicture(res_, resources::kBackgroundBitmap);
    ASSERT_EQ(background.width, 595);
    ExpectCaptionStrip(LoadPicture(res_, resources::kCaptionStatusBitmap), background,
                       kStatusWordBox);
    ExpectCaptionStrip(LoadPicture(res_, resources::kCaptionSettingsBitmap), background,
                       kSettingsWordBox);
}

TEST_F(SkinResources, ButtonPlateAndTabsAsLoaded) {
    ExpectButtonPlate(LoadPicture(res_, resources::kButtonPlateBitmap));
    const Picture tabs = LoadPicture(res_, resources::kTabStripBitmap);
    EXPECT_EQ(tabs.width, resources::kTabWidth * resources::kTabCount);
    EXPECT_EQ(tabs.height, resources::kTabHeight);
    ExpectTabStrip(tabs);
}

TEST_F(SkinResources, MessageBackgroundAsLoadedHasBandsAndPlate) {
    const Picture plate = LoadPicture(res_, resources::kButtonPlateBitmap);
    ASSERT_EQ(plate.width, 86);
    ExpectMessageBackground(LoadPicture(res_, resources::kMessageBackgroundBitmap), plate);
}

// At each scale every picture is the 100 % picture scaled: of the scaled size, and
// averaged back down close to the 100 % one. Between 100 % and 200 % it went through the
// filter twice (down from 200 % on the way in, down to 100 % here, on grids that do not
// line up), which spreads the one- and two-pixel strokes of the tab words most: hence
// the looser bound there.
TEST_F(SkinResources, PicturesAtEachScaleAreTheScaledPictures) {
    const char* const names[] = {
        resources::kBackgroundBitmap,      resources::kCaptionStatusBitmap,
        resources::kCaptionSettingsBitmap, resources::kButtonPlateBitmap,
        resources::kTabStripBitmap,        resources::kMessageBackgroundBitmap};
    for (const char* name : names) {
        const Picture base = LoadPicture(res_, name, 96);
        ASSERT_GT(base.width, 0) << name;
        for (const int dpi : kDpis) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi));
            const Picture p = LoadPicture(res_, name, dpi);
            const bool strip = std::string(name) == resources::kTabStripBitmap;
            const int width =
                strip ? resources::kTabCount * toolkit::ScaledLength(resources::kTabWidth, dpi)
                      : toolkit::ScaledLength(base.width, dpi);
            ASSERT_EQ(p.width, width);
            ASSERT_EQ(p.height, toolkit::ScaledLength(base.height, dpi));
            const toolkit::Pixels back =
                strip
                    ? toolkit::ResampleTiles(AsPixels(p), p.width / resources::kTabCount, p.height,
                                             resources::kTabWidth, resources::kTabHeight)
                    : toolkit::ResampleArea(AsPixels(p), base.width, base.height);
            const double bound = dpi == 96 ? 0.0 : dpi == 192 ? 4.0 : strip ? 10.0 : 4.0;
            EXPECT_LE(MeanDistance(back, base), bound);
        }
    }
}

// The exact picture where one is stored for the scale; otherwise the nearest larger one,
// scaled down.
TEST_F(SkinResources, EachScaleStartsFromTheStoredPictureForItOrTheNearestLargerOne) {
    auto stored = [&](int percent) {
        const std::string png = res_.Raw(
            toolkit::ScaledPictureName(resources::kBackgroundBitmap, percent).c_str(), "PNG");
        return toolkit::DecodePng(png.data(), png.size());
    };
    const toolkit::Pixels one = stored(100), two = stored(200);
    EXPECT_EQ(LoadPicture(res_, resources::kBackgroundBitmap, 96).pixels, one.rgb);
    EXPECT_EQ(LoadPicture(res_, resources::kBackgroundBitmap, 192).pixels, two.rgb);
    for (const int dpi : {120, 144}) {
        const auto expected = toolkit::ResampleArea(two, toolkit::ScaledLength(595, dpi),
                                                    toolkit::ScaledLength(239, dpi));
        EXPECT_EQ(LoadPicture(res_, resources::kBackgroundBitmap, dpi).pixels, expected.rgb) << dpi;
    }
}

TEST_F(SkinResources, FlatPlacesKeepTheSkinsColoursAtEachScale) {
    for (const int dpi : kDpis) {
        SCOPED_TRACE(dpi);
        auto s = [dpi](int v) { return toolkit::ScaledLength(v, dpi); };
        // The middle pixel of the scaled span of 96-DPI pixels first..last.
        auto mid = [&](int first, int last) { return (s(first) + s(last + 1) - 1) / 2; };
        const Picture a = LoadPicture(res_, resources::kBackgroundBitmap, dpi);
        const Picture f = LoadPicture(res_, resources::kMessageBackgroundBitmap, dpi);
        const Picture e = LoadPicture(res_, resources::kTabStripBitmap, dpi);
        ASSERT_TRUE(a.width && f.width && e.width);
        EXPECT_LE(ChannelDistance(a.at(mid(0, 2), mid(0, 2)), kFrameBlue), 1) << "frame";
        EXPECT_LE(ChannelDistance(a.at(s(300), mid(43, 45)), kFrameBlue), 1) << "title line";
        EXPECT_LE(ChannelDistance(a.at(mid(106, 108), s(150)), kFrameBlue), 1) << "tab line";
        EXPECT_LE(ChannelDistance(f.at(s(240), s(80)), kFaceBlue), 1) << "message band";
        const int tab = s(resources::kTabWidth);
        EXPECT_LE(ChannelDistance(e.at(2 * tab + mid(92, 94), s(16)), kFaceBlue), 1)
            << "selected Status tab, open side";
        EXPECT_LE(ChannelDistance(e.at(0 * tab + mid(92, 94), s(16)), kFrameBlue), 1)
            << "Status tab, closed side";
    }
}

TEST_F(SkinResources, EveryPictureIsStoredAsPngAt100And200Percent) {
    for (const char* name : {resources::kBackgroundBitmap, resources::kCaptionStatusBitmap,
                             resources::kCaptionSettingsBitmap, resources::kButtonPlateBitmap,
                             resources::kTabStripBitmap, resources::kMessageBackgroundBitmap}) {
        for (const int scale : {100, 200}) {
            const std::string png =
                res_.Raw(toolkit::ScaledPictureName(name, scale).c_str(), "PNG");
            EXPECT_EQ(png.substr(0, 4), "\x89PNG") << name << " " << scale;
        }
        EXPECT_EQ(FindResourceA(res_.module(), name, RT_BITMAP), nullptr)
            << name << ": no uncompressed copy";
    }
}

// The tray takes the small-icon size, 16 to 32 px from 100 % to 200 %: each is stored.
TEST_F(SkinResources, TrayIconHoldsAnImageForEverySmallIconSize) {
    const auto entries = GroupEntries(res_.Raw(resources::kTrayIcon, RT_GROUP_ICON));
    std::vector<int> sizes;
    for (const auto& e : entries) sizes.push_back(e.width);
    EXPECT_EQ(sizes, (std::vector<int>{48, 32, 24, 20, 16}));
    for (const int n : sizes) {
        SCOPED_TRACE(n);
        win32::UniqueIcon icon(static_cast<HICON>(
            LoadImageA(res_.module(), resources::kTrayIcon, IMAGE_ICON, n, n, 0)));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        win32::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        const Picture p = PictureOf(colour.get());
        EXPECT_EQ(p.width, n);
        EXPECT_EQ(p.height, n);
        // The stored image unstretched: white letters, and the edge one pixel wide.
        EXPECT_EQ(p.at(n / 2, 0) & 0xFFFFFF, 0x003A86u) << "top edge";
        int white = 0;
        for (const auto px : p.pixels) white += (px & 0xFFFFFF) == 0xFFFFFF;
        EXPECT_GE(white, 40 * n * n / 256);
    }
    EXPECT_NE(LoadIconA(res_.module(), resources::kTrayIcon), nullptr)
        << "LoadIconA finds it by name";
}

TEST_F(SkinResources, ApplicationIconIsTheExecutablesIconAndHoldsSixSizes) {
    const std::string mainGroup = res_.Raw(resources::kMainIcon, RT_GROUP_ICON);
    const auto entries = GroupEntries(mainGroup);
    std::vector<int> sizes;
    for (const auto& e : entries) sizes.push_back(e.width == 0 ? 256 : e.width);
    EXPECT_EQ(sizes, (std::vector<int>{64, 48, 32, 24, 20, 16}));
    for (int n : sizes) {
        win32::UniqueIcon icon(static_cast<HICON>(
            LoadImageA(res_.module(), resources::kMainIcon, IMAGE_ICON, n, n, 0)));
        EXPECT_TRUE(icon) << n;
    }

    // The shell shows the first icon group: it must hold the very same images.
    std::string first;
    EnumResourceNamesA(res_.module(), RT_GROUP_ICON, FirstName, reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, resources::kExecutableIcon);
    const auto exeEntries = GroupEntries(res_.Raw(resources::kExecutableIcon, RT_GROUP_ICON));
    ASSERT_EQ(exeEntries.size(), entries.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        EXPECT_EQ(exeEntries[k].width, entries[k].width);
        const std::string a = res_.Raw(MAKEINTRESOURCEA(entries[k].id), RT_ICON);
        const std::string b = res_.Raw(MAKEINTRESOURCEA(exeEntries[k].id), RT_ICON);
        EXPECT_FALSE(a.empty());
        EXPECT_EQ(a, b) << "image " << k;
    }
}

TEST_F(SkinResources, ManifestAsksForDpiAwarenessAndNoElevationAndNoCommonControls6) {
    const std::string manifest = res_.Raw(MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    // The check boxes are the system's own: common controls 6 would load its library and
    // the bitmaps it makes while loading at the first show, and keep them all day.
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    // Per-monitor aware (v2), with the older per-monitor forms for systems before it.
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
}

TEST_F(SkinResources, VersionResourceNamesTheProgram) {
    const std::string version = res_.Raw(MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_FALSE(version.empty());
    const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};  // VS_FIXEDFILEINFO
    EXPECT_NE(version.find(std::string(signature, 4)), std::string::npos);
    std::string wide;
    for (char c : std::string("KorvalenControlPanel.exe")) wide += std::string{c, '\0'};
    EXPECT_NE(version.find(wide), std::string::npos);
}

// The project version (CMakeLists.txt) is the one source of the version numbers; the
// installer package is stamped with the same.
TEST_F(SkinResources, VersionResourceAndManifestCarryTheProjectVersion) {
    const std::string version = res_.Raw(MAKEINTRESOURCEA(1), RT_VERSION);
    const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};
    const std::size_t at = version.find(std::string(signature, 4));
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(version.size(), at + 4 * 6);
    auto word = [&](std::size_t index) {
        std::uint32_t value = 0;
        std::memcpy(&value, version.data() + at + 4 * index, sizeof value);
        return value;
    };
    // dwFileVersionMS, dwFileVersionLS, dwProductVersionMS, dwProductVersionLS
    const std::uint32_t ms = (KORVALEN_VERSION_MAJOR << 16) | KORVALEN_VERSION_MINOR;
    const std::uint32_t ls = KORVALEN_VERSION_PATCH << 16;
    EXPECT_EQ(word(2), ms);
    EXPECT_EQ(word(3), ls);
    EXPECT_EQ(word(4), ms);
    EXPECT_EQ(word(5), ls);
    std::string wide;
    for (char c : std::string(KORVALEN_VERSION ".0")) wide += std::string{c, '\0'};
    EXPECT_NE(version.find(wide), std::string::npos) << "the FileVersion text";

    const std::string manifest = res_.Raw(MAKEINTRESOURCEA(1), RT_MANIFEST);
    EXPECT_NE(manifest.find("name=\"Korvalen.ControlPanel\" version=\"" KORVALEN_VERSION ".0\""),
              std::string::npos);
}
