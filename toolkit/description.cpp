#include "toolkit/description.h"

#include <array>
#include <charconv>
#include <set>
#include <utility>

namespace toolkit {

namespace {

// One value item: a quoted string or a bare word.
struct Item {
    std::string text;
    bool quoted = false;
};

class Fault {
public:
    explicit Fault(int line) : line_(line) {}
    [[noreturn]] void operator()(std::string_view what) const {
        throw DescriptionError("window description, line " + std::to_string(line_) + ": " +
                               std::string(what));
    }

private:
    int line_;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '#' || c == '-' || c == '+' || c == '.';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted string at s[pos] == '"'; pos ends after the closing quote.
std::string ReadQuoted(std::string_view s, size_t& pos, const Fault& fault) {
    std::string out;
    ++pos;
    while (pos < s.size()) {
        const char c = s[pos++];
        if (c == '"') return out;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= s.size()) break;
        const char e = s[pos++];
        switch (e) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case 'x': {
                const int hi = pos < s.size() ? HexDigit(s[pos]) : -1;
                const int lo = pos + 1 < s.size() ? HexDigit(s[pos + 1]) : -1;
                if (hi < 0 || lo < 0) fault("\\x needs two hex digits");
                out += static_cast<char>(hi * 16 + lo);
                pos += 2;
                break;
            }
            default: fault(std::string("unknown escape \\") + e);
        }
    }
    fault("string without its closing quote");
}

std::vector<Item> SplitValue(std::string_view value, const Fault& fault) {
    std::vector<Item> items;
    size_t pos = 0;
    for (;;) {
        while (pos < value.size() && IsSpace(value[pos])) ++pos;
        if (pos >= value.size()) fault("missing value");
        Item item;
        if (value[pos] == '"') {
            item.text = ReadQuoted(value, pos, fault);
            item.quoted = true;
        } else {
            const size_t start = pos;
            while (pos < value.size() && IsWordChar(value[pos])) ++pos;
            if (pos == start) fault("unexpected character '" + std::string(1, value[pos]) + "'");
            item.text = std::string(value.substr(start, pos - start));
        }
        items.push_back(std::move(item));
        while (pos < value.size() && IsSpace(value[pos])) ++pos;
        if (pos >= value.size()) return items;
        if (value[pos] != ',') fault("expected ',' between values");
        ++pos;
    }
}

int ToInt(const Item& item, const Fault& fault) {
    int v = 0;
    const char* first = item.text.data();
    const char* last = first + item.text.size();
    if (!item.text.empty() && *first == '+') ++first;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (item.quoted || ec != std::errc() || end != last || first == last)
        fault("'" + item.text + "' is not a whole number");
    // Window coordinates: anything beyond this is a typing error, not a layout.
    if (v < -100000 || v > 100000) fault("'" + item.text + "' is out of range");
    return v;
}

bool ToBool(const Item& item, const Fault& fault) {
    if (!item.quoted && item.text == "true") return true;
    if (!item.quoted && item.text == "false") return false;
    fault("'" + item.text + "' is neither true nor false");
}

Color ToColor(const Item& item, const Fault& fault) {
    static constexpr std::array<std::pair<std::string_view, Color>, 8> kNames{{
        {"black", Color::Rgb(0x000000)},
        {"white", Color::Rgb(0xFFFFFF)},
        {"window", Color::System(kSysWindow)},
        {"windowtext", Color::System(kSysWindowText)},
        {"btnface", Color::System(kSysBtnFace)},
        {"btnshadow", Color::System(kSysBtnShadow)},
        {"btntext", Color::System(kSysBtnText)},
        {"btnhighlight", Color::System(kSysBtnHighlight)},
    }};
    if (!item.quoted) {
        for (const auto& [name, color] : kNames)
            if (item.text == name) return color;
        if (item.text.size() == 7 && item.text[0] == '#') {
            std::uint32_t rgb = 0;
            bool ok = true;
            for (size_t i = 1; i < 7; ++i) {
                const int d = HexDigit(item.text[i]);
                ok = ok && d >= 0;
                rgb = rgb * 16 + static_cast<std::uint32_t>(d < 0 ? 0 : d);
            }
            if (ok) return Color::Rgb(rgb);
        }
    }
    fault("'" + item.text + "' is not a colour (#RRGGBB or a system colour name)");
}

std::string ToName(const Item& item, const Fault& fault) {
    if (item.text.empty()) fault("empty name");
    return item.text;
}

void Expect(const std::vector<Item>& items, size_t count, std::string_view key,
            const Fault& fault) {
    if (items.size() != count)
        fault(std::string(key) + " takes " + std::to_string(count) + " value" +
              (count == 1 ? "" : "s"));
}

// font = "Face", height[, bold|regular][, colour]
FontDescription ToFont(const std::vector<Item>& items, const Fault& fault) {
    if (items.size() < 2 || items.size() > 4) fault("font takes a face, a height, bold, a colour");
    FontDescription font;
    font.face = items[0].text;
    font.height = ToInt(items[1], fault);
    if (font.height <= 0 || font.height > 1000) fault("font height out of range");
    for (size_t i = 2; i < items.size(); ++i) {
        if (!items[i].quoted && items[i].text == "bold")
            font.bold = true;
        else if (!items[i].quoted && items[i].text == "regular")
            font.bold = false;
        else
            font.color = ToColor(items[i], fault);
    }
    return font;
}

bool IsEventKey(std::string_view key) {
    return key.size() > 2 && key[0] == 'O' && key[1] == 'n';
}

void SetWindowProperty(WindowDescription& w, std::string_view key, const std::vector<Item>& v,
                       int line, const Fault& fault) {
    if (key == "title") {
        Expect(v, 1, key, fault);
        w.title = v[0].text;
    } else if (key == "size") {
        Expect(v, 2, key, fault);
        w.width = ToInt(v[0], fault);
        w.height = ToInt(v[1], fault);
        if (w.width < 0 || w.height < 0) fault("negative size");
    } else if (key == "color") {
        Expect(v, 1, key, fault);
        w.color = ToColor(v[0], fault);
    } else if (key == "font") {
        w.font = ToFont(v, fault);
    } else if (key == "doublebuffered") {
        Expect(v, 1, key, fault);
        w.doubleBuffered = ToBool(v[0], fault);
    } else if (key == "position") {
        Expect(v, 1, key, fault);
        if (v[0].text == "screencenter")
            w.centerOnFirstShow = true;
        else if (v[0].text == "default")
            w.centerOnFirstShow = false;
        else
            fault("position is screencenter or default");
    } else if (key == "icon") {
        Expect(v, 1, key, fault);
        w.icon = ToName(v[0], fault);
    } else if (IsEventKey(key)) {
        Expect(v, 1, key, fault);
        w.handlers.push_back({std::string(key), ToName(v[0], fault), line});
    } else {
        fault("unknown window property '" + std::string(key) + "'");
    }
}

// A word out of a fixed set, as `alignment = left | center | right` takes it.
template <typename T, size_t N>
T ToChoice(const Item& item, const std::pair<std::string_view, T> (&choices)[N],
           std::string_view otherwise, const Fault& fault) {
    for (const auto& [word, value] : choices)
        if (item.text == word) return value;
    fault(otherwise);
}

using Values = std::vector<Item>;

// One key a component takes: how many values (0: the setter checks them itself) and what
// it sets from them.
struct ComponentProperty {
    std::string_view key;
    size_t count;
    void (*set)(ComponentDescription& c, const Values& v, const Fault& fault);
};

constexpr std::pair<std::string_view, Alignment> kAlignments[] = {
    {"left", Alignment::Left}, {"center", Alignment::Center}, {"right", Alignment::Right}};
constexpr std::pair<std::string_view, bool> kLayouts[] = {{"top", false}, {"center", true}};
constexpr std::pair<std::string_view, bool> kCursors[] = {{"hand", true}, {"default", false}};

constexpr ComponentProperty kComponentProperties[] = {
    {"bounds", 4,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.left = ToInt(v[0], fault);
         c.top = ToInt(v[1], fault);
         c.width = ToInt(v[2], fault);
         c.height = ToInt(v[3], fault);
         if (c.width < 0 || c.height < 0) fault("negative size");
     }},
    {"text", 1, [](ComponentDescription& c, const Values& v, const Fault&) { c.text = v[0].text; }},
    {"font", 0,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.font = ToFont(v, fault);
     }},
    {"alignment", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.alignment = ToChoice(v[0], kAlignments, "alignment is left, center or right", fault);
     }},
    {"layout", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.verticalCenter = ToChoice(v[0], kLayouts, "layout is top or center", fault);
     }},
    {"autosize", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.autoSize = ToBool(v[0], fault);
     }},
    {"transparent", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.transparent = ToBool(v[0], fault);
     }},
    {"visible", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.visible = ToBool(v[0], fault);
     }},
    {"enabled", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.enabled = ToBool(v[0], fault);
     }},
    {"checked", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.checked = ToBool(v[0], fault);
     }},
    {"taborder", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.tabOrder = ToInt(v[0], fault);
         if (c.tabOrder < 0) fault("negative tab order");
     }},
    {"cursor", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.handCursor = ToChoice(v[0], kCursors, "cursor is hand or default", fault);
     }},
    {"picture", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.picture = ToName(v[0], fault);
     }},
    {"imagesize", 2,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.imageWidth = ToInt(v[0], fault);
         c.imageHeight = ToInt(v[1], fault);
         if (c.imageWidth <= 0 || c.imageHeight <= 0) fault("image size must be positive");
     }},
    {"images", 1,
     [](ComponentDescription& c, const Values& v, const Fault& fault) {
         c.images = ToName(v[0], fault);
     }},
};

void SetComponentProperty(ComponentDescription& c, std::string_view key, const Values& v, int line,
                          const Fault& fault) {
    for (const auto& property : kComponentProperties)
        if (property.key == key) {
            if (property.count != 0) Expect(v, property.count, key, fault);
            property.set(c, v, fault);
            return;
        }
    if (!IsEventKey(key)) fault("unknown component property '" + std::string(key) + "'");
    Expect(v, 1, key, fault);
    c.handlers.push_back({std::string(key), ToName(v[0], fault), line});
}

bool IsIdentifier(std::string_view s) {
    if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '_'))
            return false;
    return true;
}

// "form Name" or "component Kind Name": the words after the keyword.
std::vector<std::string_view> Words(std::string_view rest) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < rest.size()) {
        while (pos < rest.size() && IsSpace(rest[pos])) ++pos;
        const size_t start = pos;
        while (pos < rest.size() && !IsSpace(rest[pos])) ++pos;
        if (pos > start) words.push_back(rest.substr(start, pos - start));
    }
    return words;
}

}  // namespace

const ComponentDescription* WindowDescription::Find(std::string_view name) const {
    for (const auto& c : components)
        if (c.name == name) return &c;
    return nullptr;
}

WindowDescription ParseDescription(std::string_view text) {
    WindowDescription w;
    bool haveForm = false;
    std::set<std::string, std::less<>> names;
    int line = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++line;
        const Fault fault(line);
        if (raw.empty() || raw[0] == '#') continue;

        const size_t eq = raw.find('=');
        const size_t quote = raw.find('"');
        if (eq != std::string_view::npos && (quote == std::string_view::npos || eq < quote)) {
            const std::string_view key = Trim(raw.substr(0, eq));
            const auto values = SplitValue(raw.substr(eq + 1), fault);
            if (!haveForm) fault("a property before the form line");
            if (w.components.empty())
                SetWindowProperty(w, key, values, line, fault);
            else
                SetComponentProperty(w.components.back(), key, values, line, fault);
            continue;
        }

        const auto words = Words(raw);
        if (words[0] == "form") {
            if (haveForm) fault("a second form line");
            if (words.size() != 2 || !IsIdentifier(words[1])) fault("form takes a class name");
            w.className = std::string(words[1]);
            haveForm = true;
        } else if (words[0] == "component") {
            if (!haveForm) fault("a component before the form line");
            if (words.size() != 3 || !IsIdentifier(words[1]) || !IsIdentifier(words[2]))
                fault("component takes a kind and a name");
            if (!names.insert(std::string(words[2])).second)
                fault("a second component named " + std::string(words[2]));
            ComponentDescription c;
            c.kind = std::string(words[1]);
            c.name = std::string(words[2]);
            c.line = line;
            w.components.push_back(std::move(c));
        } else {
            fault("expected 'form', 'component' or 'key = value'");
        }
    }
    if (!haveForm) throw DescriptionError("window description: no form line");
    return w;
}

std::vector<std::string> UnresolvedHandlers(const WindowDescription& description,
                                            const HandlerCheck& check) {
    std::vector<std::string> missing;
    auto visit = [&](std::string_view owner, const std::vector<HandlerBinding>& bindings) {
        for (const auto& b : bindings)
            if (!check(b.handler, KindOfEvent(b.event)))
                missing.push_back(std::string(owner) + "." + b.event + " = " + b.handler);
    };
    visit("form", description.handlers);
    for (const auto& c : description.components) visit(c.name, c.handlers);
    return missing;
}

HandlerKind KindOfEvent(std::string_view eventName) {
    return eventName == "OnMouseDown" ? HandlerKind::Mouse : HandlerKind::Notify;
}

}  // namespace toolkit
