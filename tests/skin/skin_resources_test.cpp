// The pictures and icons as the program gets them: loaded from the built executable's
// resources, held to the same checks as the stored files, plus the icon groups, the
// manifest and the version resource.
#include "resources/resource_names.h"
#include "tests/skin/skin_expectations.h"
#include "tests/support/wine_test_support.h"
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

Picture LoadPicture(const ProgramResources& res, const char* name) {
    win32::UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(res.module(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) {
        ADD_FAILURE() << "no bitmap " << name << " in " << res.path();
        return {};
    }
    DIBSECTION dib{};
    EXPECT_EQ(GetObjectA(bitmap.get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24) << name << " is stored as a 24-bit bitmap";
    return PictureOf(bitmap.get());
}

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

// LoadBitmapA gives a device-dependent bitmap; GetPixel on it sees the same colours.
TEST_F(SkinResources, LoadBitmapAndGetPixelSeeTheStoredColours) {
    win32::UniqueBitmap background(LoadBitmapA(res_.module(), resources::kBackgroundBitmap));
    win32::UniqueBitmap message(LoadBitmapA(res_.module(), resources::kMessageBackgroundBitmap));
    win32::UniqueBitmap tabs(LoadBitmapA(res_.module(), resources::kTabStripBitmap));
    ASSERT_TRUE(background && message && tabs);
    win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    auto pixel = [&](HBITMAP bitmap, int x, int y) {
        HGDIOBJ old = SelectObject(dc.get(), bitmap);
        const COLORREF c = GetPixel(dc.get(), x, y);
        SelectObject(dc.get(), old);
        return testsupport::Rgb(c);
    };
    EXPECT_EQ(pixel(background.get(), 0, 0), kFrameBlue);
    EXPECT_EQ(pixel(background.get(), 300, 44), kFrameBlue) << "line under the title strip";
    EXPECT_EQ(pixel(background.get(), 107, 150), kFrameBlue) << "line beside the tabs";
    EXPECT_EQ(pixel(message.get(), 204, 122), 0xFFFFFFu)
        << "plate corner in the message background";
    EXPECT_EQ(pixel(message.get(), 240, 122), kPlateOutline)
        << "plate outline in the message background";
    EXPECT_EQ(pixel(message.get(), 240, 80), kFaceBlue) << "message band";
    EXPECT_EQ(pixel(tabs.get(), 2 * 95 + 93, 16), kFaceBlue) << "selected Status tab, open side";
    EXPECT_EQ(pixel(tabs.get(), 0 * 95 + 93, 16), kFrameBlue) << "Status tab, closed side";
}

TEST_F(SkinResources, TrayIconHoldsOne16PixelImage) {
    const auto entries = GroupEntries(res_.Raw(resources::kTrayIcon, RT_GROUP_ICON));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].width, 16);
    EXPECT_EQ(entries[0].height, 16);
    win32::UniqueIcon icon(
        static_cast<HICON>(LoadImageA(res_.module(), resources::kTrayIcon, IMAGE_ICON, 16, 16, 0)));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    win32::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    const Picture p = PictureOf(colour.get());
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.height, 16);
    EXPECT_NE(LoadIconA(res_.module(), resources::kTrayIcon), nullptr)
        << "LoadIconA finds it by name";
}

TEST_F(SkinResources, ApplicationIconIsTheExecutablesIconAndHoldsFourSizes) {
    const std::string mainGroup = res_.Raw(resources::kMainIcon, RT_GROUP_ICON);
    const auto entries = GroupEntries(mainGroup);
    ASSERT_EQ(entries.size(), 4u);
    std::vector<int> sizes;
    for (const auto& e : entries) sizes.push_back(e.width == 0 ? 256 : e.width);
    EXPECT_EQ(sizes, (std::vector<int>{64, 48, 32, 16}));
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

TEST_F(SkinResources, ManifestAsksForCommonControls6DpiAwarenessAndNoElevation) {
    const std::string manifest = res_.Raw(MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
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
