// Names under which the program's pictures and icons are stored in its resources
// (resources/korvalen.rc), for LoadImageA / LoadIconA on the program's own module.
// The resource compiler stores names upper-case; the loaders compare them ignoring case.
#pragma once

namespace resources {

// Icons. Both hold 48, 32, 24, 20 and 16 px images.
inline constexpr char kTrayIcon[] = "KorvalenTray";
inline constexpr char kMainIcon[] = "MAINICON";
// The shell shows an executable's first icon group, and named groups are kept in
// alphabetical order, so "KORVALENTRAY" would come before "MAINICON". The application
// icon is therefore stored a second time, with the same images, under a name that sorts
// first: this is the icon that the executable shows.
inline constexpr char kExecutableIcon[] = "APPICON";

// Pictures: PNG files of resource type "PNG" at 100 % under these names, at 200 % under
// the name with "_200" added (toolkit/picture_loader.h decodes them). Sizes at 100 %.
inline constexpr char kBackgroundBitmap[] = "SKIN_BACKGROUND";         // control panel, 595 x 239
inline constexpr char kCaptionStatusBitmap[] = "SKIN_CAPTION_STATUS";  // 389 x 31
inline constexpr char kCaptionSettingsBitmap[] = "SKIN_CAPTION_SETTINGS";      // 389 x 31
inline constexpr char kButtonPlateBitmap[] = "SKIN_BUTTON_PLATE";              // 86 x 22
inline constexpr char kMessageBackgroundBitmap[] = "SKIN_MESSAGE_BACKGROUND";  // 493 x 154

// The six tab pictures side by side in one strip of 570 x 34, in image-list order, so
// that image i occupies columns 95 * i to 95 * i + 94 (at 200 %, twice each).
inline constexpr char kTabStripBitmap[] = "SKIN_TABS";
inline constexpr int kTabWidth = 95;
inline constexpr int kTabHeight = 34;
inline constexpr int kTabCount = 6;
enum TabImage : int {
    kStatusTabNormal = 0,
    kStatusTabHover = 1,
    kStatusTabSelected = 2,
    kSettingsTabNormal = 3,
    kSettingsTabHover = 4,
    kSettingsTabSelected = 5,
};

// Places in the pictures that components line up with.
inline constexpr int kCaptionLeft = 160;  // the caption strips are cut from the background here
inline constexpr int kCaptionTop = 8;
inline constexpr int kMessagePlateLeft = 204;  // the button plate inside the message background
inline constexpr int kMessagePlateTop = 122;

}  // namespace resources
