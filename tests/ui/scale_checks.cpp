#include "tests/ui/scale_checks.h"

#include "driver/driver_types.h"
#include "driver/hypervisor_commands.h"
#include "toolkit/check_box.h"
#include "toolkit/picture.h"
#include "toolkit/scale.h"
#include "toolkit/text_lines.h"
#include "ui/status_decision.h"
#include "win32/unique_win.h"

#include <algorithm>
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

}  // namespace

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
                ui::StatusInput in{};
                in.driverResult = result;
                in.hypervisorState = state;
                in.problemFlags = static_cast<std::uint8_t>(flags);
                const auto out = ui::DecideStatus(in);
                texts.emplace(out.caption, out.description);
            }
    return texts;
}

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

}  // namespace scalecheck
