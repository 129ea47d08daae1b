#include "tests/ui/scale_checks.h"

#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"
#include "resources/resource_names.h"
#include "status/status_decision.h"
#include "toolkit/check_box.h"
#include "toolkit/image.h"
#include "toolkit/picture.h"
#include "toolkit/picture_loader.h"
#include "toolkit/render.h"
#include "toolkit/resample.h"
#include "toolkit/scale.h"
#include "toolkit/text_lines.h"
#include "win32/unique_win.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace scalecheck {

namespace {

std::string Text(const RECT& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The stored picture the loader starts from at this DPI, and its scale in percent.
toolkit::Pixels StoredPicture(HINSTANCE module, const std::string& name, int dpi, int& scale) {
    std::vector<int> stored;
    for (const int s : toolkit::kStoredPictureScales)
        if (FindResourceA(module, toolkit::ScaledPictureName(name, s).c_str(),
                          toolkit::kPictureResourceType))
            stored.push_back(s);
    scale = toolkit::ChooseStoredScale(stored, dpi);
    HRSRC found = FindResourceA(module, toolkit::ScaledPictureName(name, scale).c_str(),
                                toolkit::kPictureResourceType);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return toolkit::DecodePng(data, SizeofResource(module, found));
}

toolkit::Pixels Crop(const toolkit::Pixels& from, int left, int top, int width, int height) {
    toolkit::Pixels out{width, height, {}};
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) out.rgb.push_back(from.At(x, y));
    return out;
}

int ChannelDifference(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (const int shift : {0, 8, 16})
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                       static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

std::string Hex(std::uint32_t rgb) {
    std::ostringstream out;
    out << "#" << std::hex << rgb;
    return out.str();
}

}  // namespace

std::vector<std::string> PictureProblems(toolkit::Form& form, const std::vector<ShownTile>& tiles) {
    std::vector<std::string> problems;
    const int dpi = form.Dpi();
    const std::string where =
        form.Description().className + " at " + std::to_string(dpi) + " DPI: ";
    // Only pictures and windows: the labels' texts go for the rendering.
    std::vector<std::pair<toolkit::Label*, std::string>> texts;
    for (const auto& c : form.Components())
        if (auto* label = dynamic_cast<toolkit::Label*>(c.get())) {
            texts.emplace_back(label, label->Text());
            label->SetText("");
        }
    const toolkit::Pixels shot = toolkit::RenderClient(form.Handle());
    for (auto& [label, text] : texts) label->SetText(text);

    // Child windows lie above every picture (shown ones: of a hidden form too).
    std::vector<RECT> above;
    for (const auto& c : form.Components())
        if (c->ChildWindow() && (GetWindowLongA(c->ChildWindow(), GWL_STYLE) & WS_VISIBLE))
            above.push_back(ChildRect(c->ChildWindow()));
    std::vector<std::pair<toolkit::Image*, size_t>> images;  // stacking order, bottom first
    const auto& components = form.Components();
    for (size_t i = 0; i < components.size(); ++i)
        if (auto* image = dynamic_cast<toolkit::Image*>(components[i].get());
            image && image->Visible())
            images.emplace_back(image, i);

    std::vector<int> owner(static_cast<size_t>(shot.width) * shot.height, -1);
    for (size_t k = 0; k < images.size(); ++k) {
        const RECT b = images[k].first->BoundsRect();
        for (int y = std::max(0L, b.top); y < std::min<long>(b.bottom, shot.height); ++y)
            for (int x = std::max(0L, b.left); x < std::min<long>(b.right, shot.width); ++x)
                owner[static_cast<size_t>(y) * shot.width + x] = static_cast<int>(k);
    }
    for (const RECT& r : above)
        for (int y = std::max(0L, r.top); y < std::min<long>(r.bottom, shot.height); ++y)
            for (int x = std::max(0L, r.left); x < std::min<long>(r.right, shot.width); ++x)
                owner[static_cast<size_t>(y) * shot.width + x] = -2;
    const auto uncovered = std::count(owner.begin(), owner.end(), -1);
    if (uncovered > 0)
        problems.push_back(where + std::to_string(uncovered) + " client pixels show no picture");

    for (size_t k = 0; k < images.size(); ++k) {
        toolkit::Image& image = *images[k].first;
        const std::string name = where + image.Name() + ": ";
        const toolkit::Picture& picture = image.GetPicture();
        if (picture.Width() != image.Width() || picture.Height() != image.Height()) {
            problems.push_back(name + "picture " + std::to_string(picture.Width()) + "x" +
                               std::to_string(picture.Height()) + " in a box of " +
                               std::to_string(image.Width()) + "x" +
                               std::to_string(image.Height()));
        }
        std::string resource = form.Description().components[images[k].second].picture;
        const ShownTile* tile = nullptr;
        for (const auto& t : tiles)
            if (t.component == image.Name()) tile = &t;
        if (tile) resource = tile->resource;
        if (resource.empty()) {
            problems.push_back(name + "no stored picture known for it");
            continue;
        }
        int scale = 0;
        toolkit::Pixels stored = StoredPicture(form.Module(), resource, dpi, scale);
        if (stored.rgb.empty()) {
            problems.push_back(name + "cannot decode " + resource);
            continue;
        }
        if (tile) {
            const int w = tile->tileWidth96 * scale / 100;
            const int h = tile->tileHeight96 * scale / 100;
            const int perRow = stored.width / w;
            stored = Crop(stored, (tile->tile % perRow) * w, (tile->tile / perRow) * h, w, h);
        }
        const toolkit::Pixels expected =
            toolkit::ResampleArea(stored, image.Width(), image.Height());
        const int tolerance = scale * 96 == dpi * 100 ? 0 : 2;
        long wrong = 0;
        std::string first;
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x) {
                const int sx = image.Left() + x;
                const int sy = image.Top() + y;
                if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height ||
                    owner[static_cast<size_t>(sy) * shot.width + sx] != static_cast<int>(k))
                    continue;
                const std::uint32_t want = expected.At(x, y);
                const std::uint32_t got = shot.At(sx, sy);
                if (ChannelDifference(want, got) <= tolerance) continue;
                if (wrong++ == 0)
                    first = "at (" + std::to_string(x) + "," + std::to_string(y) + ") " + Hex(got) +
                            " where the picture has " + Hex(want);
            }
        if (wrong > 0)
            problems.push_back(name + std::to_string(wrong) + " pixels differ from " + resource +
                               " at " + std::to_string(scale) + " % scaled to the box, first " +
                               first);
    }
    return problems;
}

std::vector<ShownTile> PanelTabs(const ui::TfrmControlPanel& panel) {
    const bool settings = panel.SettingsTabActive == 1;
    auto tab = [](const char* name, int tile) {
        return ShownTile{name, resources::kTabStripBitmap, tile, resources::kTabWidth,
                         resources::kTabHeight};
    };
    return {
        tab("imgStatusTab", settings ? resources::kStatusTabNormal : resources::kStatusTabSelected),
        tab("imgSettingsTab",
            settings ? resources::kSettingsTabSelected : resources::kSettingsTabNormal)};
}

std::vector<std::string> LayoutProblems(const toolkit::Form& form, int dpi) {
    std::vector<std::string> problems;
    const auto& d = form.Description();
    const std::string where = d.className + " at " + std::to_string(dpi) + " DPI: ";
    if (form.Dpi() != dpi) problems.push_back(where + "Dpi() is " + std::to_string(form.Dpi()));
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    const RECT size{0, 0, toolkit::ScaleToDpi(d.width, dpi), toolkit::ScaleToDpi(d.height, dpi)};
    const RECT actualSize{0, 0, window.right - window.left, window.bottom - window.top};
    if (!EqualRect(&size, &actualSize))
        problems.push_back(where + "window " + Text(actualSize) + ", not " + Text(size));
    for (size_t i = 0; i < d.components.size(); ++i) {
        const auto& described = d.components[i];
        const toolkit::Component& c = *form.Components()[i];
        const auto b = toolkit::ScaleBox(described.left, described.top, described.width,
                                         described.height, dpi);
        const RECT expected{b.left, b.top, b.right, b.bottom};
        const RECT actual = c.BoundsRect();
        const bool placed = described.autoSize
                                ? actual.left == expected.left && actual.top == expected.top
                                : EqualRect(&actual, &expected) != FALSE;
        if (!placed)
            problems.push_back(where + c.Name() + " at " + Text(actual) + ", not " +
                               Text(expected));
        const auto* box = dynamic_cast<const toolkit::CheckBox*>(&c);
        if (box && form.ChildWindowsCreated() && !box->Handle())
            problems.push_back(where + c.Name() + " has no window");
        if (const HWND child = c.ChildWindow()) {
            const RECT r = ChildRect(child);
            if (!EqualRect(&r, &expected))
                problems.push_back(where + c.Name() + "'s window at " + Text(r) + ", not " +
                                   Text(expected));
        }
    }
    return problems;
}

std::string FitProblem(const toolkit::Form& form, const toolkit::Label& label,
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
    if (!dc || !bitmap || !bits) return label.Name() + ": no surface to draw on";
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
    if (widest <= label.Width() && inside) return {};
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc.get(), LF_FACESIZE, face);
    std::ostringstream out;
    out << label.Name() << " \"" << text << "\" in " << face << " at " << form.Dpi() << " DPI is "
        << widest << " wide, its ink from " << inkTop - margin << " to " << inkBottom - margin
        << "; its box " << label.Width() << " x " << label.Height();
    return out.str();
}

std::set<std::pair<std::string, std::string>> StatusTexts() {
    std::set<std::pair<std::string, std::string>> texts;
    for (const std::uint8_t result :
         {driver::kStatusRead, driver::kReadFailed, driver::kDeviceNotOpened, driver::kDriverError})
        for (std::uint8_t state = 0; state < 3; ++state)
            for (int flags = 0; flags < 256; ++flags) {
                const auto out =
                    status::DecideStatus({result, state, static_cast<std::uint8_t>(flags)}, {});
                texts.emplace(out.status.caption, out.status.description);
            }
    return texts;
}

std::set<std::string> MessageTexts() {
    std::set<std::string> texts;
    for (const auto command :
         {driver::HypervisorCommand::Enable, driver::HypervisorCommand::Disable})
        for (const auto result :
             {driver::CommandResult::ControlFailed, driver::CommandResult::Answered})
            for (std::uint32_t answer = 0; answer < 64; ++answer)
                if (const char* text = status::CommandMessage(command, {result, answer}))
                    texts.insert(text);
    return texts;
}

}  // namespace scalecheck
