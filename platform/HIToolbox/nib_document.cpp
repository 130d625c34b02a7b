// The nib reader: libxml2 builds the tree, this file checks it against the nib vocabulary
// and turns it into a NibDocument. Every mistake is reported with its line.
#include "nib_document.h"

#include "support/xml_reader.h"

#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <memory>
#include <utility>

namespace hitoolbox::nib {
namespace {

constexpr std::size_t kMostItems = 1000;

struct XmlStringDeleter {
    void operator()(xmlChar *string) const { xmlFree(string); }
};

// Thrown inside the reader and caught by parse_nib: the first mistake ends the reading.
struct Invalid {
    NibError error;
};

[[noreturn]] void fail(long line, std::string message) { throw Invalid{{line, std::move(message)}}; }

long line_of(const xmlNode *node) {
    long line = xmlGetLineNo(node);
    return line > 0 ? line : 1;
}

// libxml2 gives a text node the line where it ends; the reader wants where its words start.
long text_start_line(const xmlNode *node, std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return line_of(node);
    long later_lines = static_cast<long>(std::count(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(), '\n'));
    return std::max(1L, line_of(node) - later_lines);
}

std::string_view name_of(const xmlNode *node) { return reinterpret_cast<const char *>(node->name); }

bool is_blank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

std::string trimmed(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// Text from the file made fit for a one-line message: short, without control characters.
std::string quoted(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    std::string shown(text.substr(0, kLongest));
    for (char &character : shown)
        if (static_cast<unsigned char>(character) < 0x20 || character == 0x7F) character = '?';
    if (text.size() > kLongest) shown += "...";
    return "'" + shown + "'";
}

// libxml2's own message on one line.
std::string one_line(const char *message) {
    std::string line = message != nullptr ? message : "";
    std::replace(line.begin(), line.end(), '\n', ' ');
    return trimmed(line);
}

std::optional<long long> integer_of(std::string_view text) {
    long long number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return number;
}

bool is_four_characters(std::string_view text) {
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](char character) { return character >= 0x20 && character < 0x7F; });
}

OSType four_char_code(std::string_view text) {
    OSType code = 0;
    for (char character : text) code = (code << 8) | static_cast<unsigned char>(character);
    return code;
}

// The attributes of one element, checked against the names it may carry.
class Attributes {
public:
    explicit Attributes(const xmlNode *element) : line_(line_of(element)) {
        for (const xmlAttr *attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
            std::unique_ptr<xmlChar, XmlStringDeleter> value(xmlNodeListGetString(element->doc, attribute->children, 1));
            std::string name = reinterpret_cast<const char *>(attribute->name);
            if (attribute->ns != nullptr && attribute->ns->prefix != nullptr)
                name.insert(0, ":").insert(0, reinterpret_cast<const char *>(attribute->ns->prefix));
            values_.emplace_back(std::move(name), value ? reinterpret_cast<const char *>(value.get()) : "");
        }
    }

    long line() const { return line_; }

    // Fails on the first attribute that the owner may not carry; vocabulary is every name the
    // format knows, so that a known name in the wrong place gets a message of its own.
    template <typename Allowed, typename Vocabulary>
    void check(const std::string &owner, Allowed &&allowed, Vocabulary &&vocabulary) const {
        for (const auto &[name, value] : values_) {
            if (allowed(name)) continue;
            // fail throws: each message is built once, not once per pass.
            // NOLINTNEXTLINE(performance-inefficient-string-concatenation)
            if (vocabulary(name)) fail(line_, owner + " has no attribute '" + name + "'");
            fail(line_, "unknown attribute " + quoted(name) + " on " + owner);
        }
    }

    std::optional<std::string> get(std::string_view name) const {
        for (const auto &[key, value] : values_)
            if (key == name) return value;
        return std::nullopt;
    }

    std::string required(std::string_view name) const {
        auto value = get(name);
        if (!value) fail(line_, "missing attribute '" + std::string(name) + "'");
        return *value;
    }

    long long number(std::string_view name, long long lowest, long long highest, long long fallback) const {
        auto text = get(name);
        return text ? number_in(name, *text, lowest, highest) : fallback;
    }

    long long required_number(std::string_view name, long long lowest, long long highest) const {
        return number_in(name, required(name), lowest, highest);
    }

    bool flag(std::string_view name) const {
        auto text = get(name);
        if (!text || *text == "true") return true;
        if (*text == "false") return false;
        fail(line_, std::string(name) + " must be 'true' or 'false', not " + quoted(*text));
    }

private:
    long long number_in(std::string_view name, const std::string &text, long long lowest, long long highest) const {
        auto number = integer_of(text);
        if (!number) fail(line_, "bad number " + quoted(text) + " for " + std::string(name));
        if (*number < lowest || *number > highest) {
            fail(line_, std::string(name) + " " + text + " is outside " + std::to_string(lowest) + " to " +
                            std::to_string(highest));
        }
        return *number;
    }

    long line_;
    std::vector<std::pair<std::string, std::string>> values_;
};

// What a control kind may carry beyond the attributes every control has.
enum Feature : unsigned {
    kTitle = 1 << 0,
    kText = 1 << 1,
    kValue = 1 << 2,
    kRange = 1 << 3,
    kTicks = 1 << 4,
    kItems = 1 << 5,
    kEmbeds = 1 << 6,
};

struct KindEntry {
    std::string_view name;
    ControlKind kind;
    unsigned features;
};

constexpr std::array<KindEntry, 8> kKinds{{
    {"userpane", ControlKind::user_pane, kEmbeds},
    {"popup", ControlKind::popup, kTitle | kValue | kRange | kItems},
    {"edittext", ControlKind::edit_text, kText},
    {"statictext", ControlKind::static_text, kText},
    {"checkbox", ControlKind::check_box, kTitle | kValue},
    {"slider", ControlKind::slider, kValue | kRange | kTicks},
    {"groupbox", ControlKind::group_box, kTitle | kEmbeds},
    {"separator", ControlKind::separator, 0},
}};

constexpr std::array<std::string_view, 9> kCommonControlAttributes{
    "kind", "signature", "id", "top", "left", "bottom", "right", "command", "enabled"};

struct FeatureAttribute {
    std::string_view name;
    Feature feature;
};

constexpr std::array<FeatureAttribute, 6> kFeatureAttributes{{
    {"title", kTitle},
    {"text", kText},
    {"value", kValue},
    {"minimum", kRange},
    {"maximum", kRange},
    {"ticks", kTicks},
}};

bool is_common_control_attribute(std::string_view name) {
    return std::find(kCommonControlAttributes.begin(), kCommonControlAttributes.end(), name) !=
           kCommonControlAttributes.end();
}

bool is_control_attribute(std::string_view name, unsigned features) {
    if (is_common_control_attribute(name)) return true;
    for (const FeatureAttribute &entry : kFeatureAttributes)
        if (entry.name == name) return (features & entry.feature) != 0;
    return false;
}

bool is_any_control_attribute(std::string_view name) { return is_control_attribute(name, ~0u); }

std::optional<ControlID> control_id_of(const Attributes &attributes) {
    auto signature = attributes.get("signature");
    if (!signature) {
        if (attributes.get("id")) fail(attributes.line(), "an id needs a signature");
        return std::nullopt;
    }
    if (!is_four_characters(*signature)) fail(attributes.line(), "signature " + quoted(*signature) + " is not four characters");
    auto id = attributes.number("id", std::numeric_limits<SInt32>::min(), std::numeric_limits<SInt32>::max(), 0);
    return ControlID{four_char_code(*signature), static_cast<SInt32>(id)};
}

// A command is four characters ('pmod') or, when it is all digits, a number.
UInt32 command_of(const Attributes &attributes) {
    auto text = attributes.get("command");
    if (!text) return 0;
    bool all_digits = !text->empty() && std::all_of(text->begin(), text->end(), [](char c) { return c >= '0' && c <= '9'; });
    if (all_digits) return static_cast<UInt32>(attributes.number("command", 0, std::numeric_limits<UInt32>::max(), 0));
    if (is_four_characters(*text)) return four_char_code(*text);
    fail(attributes.line(), "command " + quoted(*text) + " is neither four characters nor a number");
}

// A control's sides lie within a window's largest size of its origin, and the control is no
// larger than the largest window.
Rect bounds_of(const Attributes &attributes) {
    auto side = [&attributes](std::string_view name) {
        return static_cast<SInt16>(attributes.required_number(name, -kLargestWindowSide, kLargestWindowSide));
    };
    Rect bounds{side("top"), side("left"), side("bottom"), side("right")};
    if (bounds.bottom < bounds.top) fail(attributes.line(), "bottom is above top");
    if (bounds.right < bounds.left) fail(attributes.line(), "right is left of left");
    auto too_large = [&attributes](const char *dimension, long size) {
        fail(attributes.line(), "the control is " + std::to_string(size) + " " + dimension + ", more than " +
                                    std::to_string(kLargestWindowSide));
    };
    if (bounds.bottom - bounds.top > kLargestWindowSide) too_large("high", bounds.bottom - bounds.top);
    if (bounds.right - bounds.left > kLargestWindowSide) too_large("wide", bounds.right - bounds.left);
    return bounds;
}

class Reader {
public:
    NibDocument read(const xmlNode *root) {
        if (root->ns != nullptr || name_of(root) != "nib") fail(line_of(root), "the root element must be <nib>");
        Attributes(root).check("<nib>", [](std::string_view) { return false; }, [](std::string_view) { return false; });
        NibDocument document;
        for_each_element(root, [&](const xmlNode *element) {
            if (!is_element(element, "window")) fail(line_of(element), "unknown element " + element_text(element) + " in <nib>");
            WindowDescription window = read_window(element);
            if (const WindowDescription *earlier = document.find_window(window.name)) {
                fail(window.line, "window " + quoted(window.name) + " is already defined at line " +
                                      std::to_string(earlier->line));
            }
            document.windows.push_back(std::move(window));
        });
        return document;
    }

private:
    static bool is_element(const xmlNode *node, std::string_view name) {
        return node->ns == nullptr && name_of(node) == name;
    }

    static std::string element_text(const xmlNode *element) {
        std::string name(name_of(element));
        if (element->ns != nullptr && element->ns->prefix != nullptr)
            name = reinterpret_cast<const char *>(element->ns->prefix) + (":" + name);
        return "<" + std::string(name) + ">";
    }

    // Calls visit for each child element; text other than white space is a mistake, comments
    // and processing instructions are passed over.
    template <typename Visit>
    static void for_each_element(const xmlNode *parent, Visit &&visit) {
        for (const xmlNode *child = parent->children; child != nullptr; child = child->next) {
            switch (child->type) {
            case XML_ELEMENT_NODE: visit(child); break;
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE: {
                std::string_view text = child->content ? reinterpret_cast<const char *>(child->content) : "";
                if (!is_blank(text)) fail(text_start_line(child, text), "unexpected text " + quoted(trimmed(text)));
                break;
            }
            case XML_COMMENT_NODE:
            case XML_PI_NODE: break;
            default: fail(line_of(child), "unexpected content"); break;
            }
        }
    }

    WindowDescription read_window(const xmlNode *element) {
        Attributes attributes(element);
        attributes.check(
            "<window>",
            [](std::string_view name) { return name == "name" || name == "title" || name == "width" || name == "height"; },
            is_any_control_attribute);
        WindowDescription window;
        window.line = attributes.line();
        window.name = attributes.required("name");
        if (window.name.empty()) fail(window.line, "a window needs a name");
        window.title = attributes.get("title").value_or("");
        window.width = static_cast<SInt16>(attributes.required_number("width", 1, kLargestWindowSide));
        window.height = static_cast<SInt16>(attributes.required_number("height", 1, kLargestWindowSide));
        ids_.clear();
        for_each_element(element, [&](const xmlNode *child) {
            if (!is_element(child, "control")) fail(line_of(child), "unknown element " + element_text(child) + " in <window>");
            window.controls.push_back(read_control(child));
        });
        return window;
    }

    ControlDescription read_control(const xmlNode *element) {
        Attributes attributes(element);
        auto kind_name = attributes.required("kind");
        auto entry = std::find_if(kKinds.begin(), kKinds.end(), [&](const KindEntry &kind) { return kind.name == kind_name; });
        if (entry == kKinds.end()) fail(attributes.line(), "unknown control kind " + quoted(kind_name));
        std::string owner = "a " + std::string(entry->name) + " control";
        attributes.check(owner, [&](std::string_view name) { return is_control_attribute(name, entry->features); },
                         is_any_control_attribute);

        ControlDescription control;
        control.kind = entry->kind;
        control.line = attributes.line();
        control.id = control_id_of(attributes);
        remember_id(control);
        control.bounds = bounds_of(attributes);
        control.command = command_of(attributes);
        control.enabled = attributes.flag("enabled");
        control.title = attributes.get("title").value_or("");
        control.text = attributes.get("text").value_or("");

        for_each_element(element, [&](const xmlNode *child) {
            if (is_element(child, "control")) {
                if ((entry->features & kEmbeds) == 0) fail(line_of(child), owner + " cannot hold controls");
                control.children.push_back(read_control(child));
            } else if (is_element(child, "item")) {
                if ((entry->features & kItems) == 0) fail(line_of(child), owner + " cannot hold items");
                if (control.items.size() == kMostItems) fail(line_of(child), "more than " + std::to_string(kMostItems) + " items");
                control.items.push_back(read_item(child));
            } else {
                fail(line_of(child), "unknown element " + element_text(child) + " in <control>");
            }
        });
        read_values(control, attributes);
        return control;
    }

    // Value, range and tick marks, after the items that a pop-up's range follows.
    static void read_values(ControlDescription &control, const Attributes &attributes) {
        constexpr long long kLowest = std::numeric_limits<SInt32>::min();
        constexpr long long kHighest = std::numeric_limits<SInt32>::max();
        switch (control.kind) {
        case ControlKind::check_box: control.value = static_cast<SInt32>(attributes.number("value", 0, 1, 0)); return;
        case ControlKind::slider:
            control.minimum = static_cast<SInt32>(attributes.number("minimum", kLowest, kHighest, 0));
            control.maximum = static_cast<SInt32>(attributes.number("maximum", kLowest, kHighest, 100));
            control.range_given = true;
            control.tick_marks = static_cast<UInt16>(attributes.number("ticks", 0, std::numeric_limits<UInt16>::max(), 0));
            break;
        case ControlKind::popup: {
            auto count = static_cast<SInt32>(control.items.size());
            control.minimum = static_cast<SInt32>(attributes.number("minimum", kLowest, kHighest, count > 0 ? 1 : 0));
            control.maximum = static_cast<SInt32>(attributes.number("maximum", kLowest, kHighest, count));
            control.range_given = attributes.get("minimum") || attributes.get("maximum");
            break;
        }
        default: return;
        }
        if (control.minimum > control.maximum) {
            fail(attributes.line(), "minimum " + std::to_string(control.minimum) + " is above maximum " +
                                        std::to_string(control.maximum));
        }
        control.value = static_cast<SInt32>(attributes.number("value", kLowest, kHighest, control.minimum));
        if (control.value < control.minimum || control.value > control.maximum) {
            fail(attributes.line(), "value " + std::to_string(control.value) + " is outside " +
                                        std::to_string(control.minimum) + " to " + std::to_string(control.maximum));
        }
    }

    static MenuItemDescription read_item(const xmlNode *element) {
        Attributes attributes(element);
        attributes.check("<item>", [](std::string_view name) { return name == "enabled"; },
                         [](std::string_view) { return false; });
        MenuItemDescription item;
        item.line = attributes.line();
        item.enabled = attributes.flag("enabled");
        std::string text;
        for (const xmlNode *child = element->children; child != nullptr; child = child->next) {
            switch (child->type) {
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                if (child->content) text += reinterpret_cast<const char *>(child->content);
                break;
            case XML_COMMENT_NODE:
            case XML_PI_NODE: break;
            default: fail(line_of(child), "an <item> holds text only");
            }
        }
        item.text = trimmed(text);
        return item;
    }

    // ControlIDs are how the panes find their controls, so one used twice in a window is a mistake.
    void remember_id(const ControlDescription &control) {
        if (!control.id) return;
        for (const auto &[id, line] : ids_) {
            if (id.signature == control.id->signature && id.id == control.id->id) {
                fail(control.line, "control id " + std::to_string(id.id) + " with this signature is already used at line " +
                                       std::to_string(line));
            }
        }
        ids_.emplace_back(*control.id, control.line);
    }

    std::vector<std::pair<ControlID, long>> ids_;
};

// A document type declaration has no line of its own in the tree; find it in the bytes.
long doctype_line(std::string_view bytes) {
    std::size_t at = bytes.find("<!DOCTYPE");
    if (at == std::string_view::npos) return 1;
    return 1 + static_cast<long>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

}  // namespace

NibError too_large_error(std::size_t size) {
    return NibError{1, "the file is too large for a nib (" + std::to_string(size) + " bytes; at most " +
                           std::to_string(kLargestNib) + ")"};
}

const WindowDescription *NibDocument::find_window(std::string_view name) const {
    auto found = std::find_if(windows.begin(), windows.end(), [name](const WindowDescription &window) { return window.name == name; });
    return found != windows.end() ? &*found : nullptr;
}

std::variant<NibDocument, NibError> parse_nib(std::string_view bytes) {
    if (bytes.empty()) return NibError{1, "the file is empty"};
    if (bytes.size() > kLargestNib) return too_large_error(bytes.size());
    platform::xml::ReadResult read = platform::xml::read_document(bytes);
    if (read.out_of_memory) return NibError{1, "out of memory"};
    if (!read.document) {
        if (read.error_seen) return NibError{read.error_line, "malformed XML: " + one_line(read.error_message.c_str())};
        return NibError{read.error_line, "malformed XML"};
    }
    const xmlDoc *document = read.document.get();
    // Entities declared in a DTD are the one way a nib could reach outside itself or grow.
    if (document->intSubset != nullptr || document->extSubset != nullptr)
        return NibError{doctype_line(bytes), "a nib may not have a document type declaration"};
    const xmlNode *root = xmlDocGetRootElement(document);
    if (root == nullptr) return NibError{1, "the file has no root element"};
    try {
        return Reader().read(root);
    } catch (const Invalid &invalid) {
        return invalid.error;
    }
}

}  // namespace hitoolbox::nib
