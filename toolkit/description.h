// A window description: the data a form is built from (window class, window properties,
// components in stacking order with their properties and bound handler names).
// Win32-free. The text format is described in toolkit/README.md.
#pragma once

#include "toolkit/events.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toolkit {

// A colour: either 0xRRGGBB or one of the system colours (by its GetSysColor index).
struct Color {
    bool system = false;
    std::uint32_t value = 0;  // 0xRRGGBB, or the system colour index

    static constexpr Color Rgb(std::uint32_t rgb) { return {false, rgb}; }
    static constexpr Color System(std::uint32_t index) { return {true, index}; }
    friend bool operator==(const Color&, const Color&) = default;
};

// System colour indexes, the values GetSysColor takes.
inline constexpr std::uint32_t kSysWindow = 5;
inline constexpr std::uint32_t kSysWindowText = 8;
inline constexpr std::uint32_t kSysBtnFace = 15;
inline constexpr std::uint32_t kSysBtnShadow = 16;
inline constexpr std::uint32_t kSysBtnText = 18;
inline constexpr std::uint32_t kSysBtnHighlight = 20;

// Font heights are character heights in pixels (cell height less internal leading).
struct FontDescription {
    std::string face = "MS Sans Serif";
    int height = 11;
    bool bold = false;
    Color color = Color::System(kSysWindowText);
    friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

enum class Alignment { Left, Center, Right };

// One event binding: the event's name ("OnClick") and the handler's name.
struct HandlerBinding {
    std::string event;
    std::string handler;
    int line = 0;  // where the description names it, for error texts
};

struct ComponentDescription {
    std::string kind;  // "Image", "Label", "CheckBox", "ImageList" or a kind a form adds
    std::string name;
    int line = 0;
    int left = 0, top = 0, width = 0, height = 0;
    std::string text;
    FontDescription font;
    Alignment alignment = Alignment::Left;
    bool verticalCenter = false;
    bool autoSize = false;
    bool transparent = true;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    int tabOrder = -1;  // -1: after the ones that name theirs
    bool handCursor = false;
    std::string picture;  // bitmap resource name, empty for none
    int imageWidth = 0, imageHeight = 0;
    std::string images;  // image list: bitmap resource with the images side by side
    std::vector<HandlerBinding> handlers;
};

struct WindowDescription {
    std::string className;
    std::string title;
    int width = 0, height = 0;  // client size, which is the whole window: no frame
    Color color = Color::System(kSysBtnFace);
    FontDescription font;
    bool doubleBuffered = false;
    bool centerOnFirstShow = false;
    std::string icon;                      // the module's icon resource for the window, or none
    std::vector<HandlerBinding> handlers;  // OnCreate, OnDestroy, OnShow, OnMouseDown
    std::vector<ComponentDescription> components;

    [[nodiscard]] const ComponentDescription* Find(std::string_view name) const;
};

// A description that does not parse: the text names the line and the fault.
class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[nodiscard]] WindowDescription ParseDescription(std::string_view text);

// Every handler name of the description that the check does not accept, as
// "component.event = handler" (the form's own events as "form.event = handler").
using HandlerCheck = std::function<bool(std::string_view name, HandlerKind kind)>;
[[nodiscard]] std::vector<std::string> UnresolvedHandlers(const WindowDescription& description,
                                                          const HandlerCheck& check);

}  // namespace toolkit
