// The XML property list reader: libxml2 builds the tree, this file turns it
// into CF objects and checks it against the plist vocabulary.
#include "property_list_internal.h"

#include "support/xml_reader.h"

#include <CoreFoundation/CFDate.h>
#include <CoreFoundation/CFNumber.h>

#include <libxml/tree.h>

#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cf::plist {

namespace {

std::string_view name_of(const xmlNode *node) { return reinterpret_cast<const char *>(node->name); }

long line_of(const xmlNode *node) { return xmlGetLineNo(node); }

bool is_blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// The text of an element that may hold only character data.
std::string text_content(const xmlNode *element) {
    std::string text;
    for (const xmlNode *child = element->children; child; child = child->next) {
        switch (child->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (child->content) text += reinterpret_cast<const char *>(child->content);
            break;
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            break;
        case XML_ENTITY_REF_NODE:
            throw ParseError("Unsupported entity reference '&" + std::string(name_of(child)) + ";'",
                             line_of(element));
        default:
            throw ParseError("Unexpected <" + std::string(name_of(child)) + "> inside <" +
                                 std::string(name_of(element)) + ">",
                             line_of(child));
        }
    }
    return text;
}

// Element children in order; stray non-blank text is an error.
std::vector<const xmlNode *> element_children(const xmlNode *element) {
    std::vector<const xmlNode *> children;
    for (const xmlNode *child = element->children; child; child = child->next) {
        switch (child->type) {
        case XML_ELEMENT_NODE:
            children.push_back(child);
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (child->content && !is_blank(reinterpret_cast<const char *>(child->content))) {
                throw ParseError("Unexpected text inside <" + std::string(name_of(element)) + ">",
                                 line_of(child));
            }
            break;
        case XML_COMMENT_NODE:
        case XML_PI_NODE:
            break;
        default:
            throw ParseError("Unexpected content inside <" + std::string(name_of(element)) + ">",
                             line_of(element));
        }
    }
    return children;
}

int base64_value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Base64 with white space anywhere; '=' padding is optional but nothing may follow it.
std::optional<std::vector<UInt8>> decode_base64(std::string_view text) {
    std::vector<UInt8> bytes;
    unsigned accumulator = 0;
    int bits = 0;
    int symbols = 0;
    bool padding = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            padding = true;
            continue;
        }
        const int value = base64_value(c);
        if (value < 0 || padding) return std::nullopt;
        accumulator = (accumulator << 6) | static_cast<unsigned>(value);
        bits += 6;
        ++symbols;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<UInt8>((accumulator >> bits) & 0xFF));
        }
    }
    if (symbols % 4 == 1) return std::nullopt;  // six stray bits cannot make a byte
    return bytes;
}

// Days from 1970-01-01 to the given proleptic Gregorian date.
long days_from_civil(long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned year_of_era = static_cast<unsigned>(year - era * 400);
    const unsigned day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + static_cast<long>(day_of_era) - 719468;
}

unsigned days_in_month(long year, unsigned month) {
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// YYYY[-MM[-DD[THH[:MM[:SS]]]]][Z], always UTC; seconds since 2001-01-01.
std::optional<CFAbsoluteTime> parse_date(std::string_view text) {
    size_t position = 0;
    auto number = [&](size_t digits) -> std::optional<long> {
        if (text.size() - position < digits) return std::nullopt;
        long value = 0;
        for (size_t i = 0; i < digits; ++i) {
            const char c = text[position + i];
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + (c - '0');
        }
        position += digits;
        return value;
    };
    auto separator = [&](char expected) {
        if (position < text.size() && text[position] == expected) {
            ++position;
            return true;
        }
        return false;
    };

    long fields[6] = {0, 1, 1, 0, 0, 0};
    static constexpr char kSeparators[] = {'-', '-', 'T', ':', ':'};
    auto year = number(4);
    if (!year) return std::nullopt;
    fields[0] = *year;
    for (int field = 1; field < 6 && separator(kSeparators[field - 1]); ++field) {
        auto value = number(2);
        if (!value) return std::nullopt;
        fields[field] = *value;
    }
    separator('Z');
    if (position != text.size()) return std::nullopt;

    const long month = fields[1], day = fields[2], hour = fields[3], minute = fields[4], second = fields[5];
    if (month < 1 || month > 12 || day < 1 || day > static_cast<long>(days_in_month(fields[0], month)) ||
        hour > 23 || minute > 59 || second > 60) {
        return std::nullopt;
    }
    const long days = days_from_civil(fields[0], static_cast<unsigned>(month), static_cast<unsigned>(day));
    const double seconds_since_1970 = static_cast<double>(days) * 86400.0 + static_cast<double>(hour) * 3600.0 +
                                      static_cast<double>(minute) * 60.0 + static_cast<double>(second);
    return seconds_since_1970 - kCFAbsoluteTimeIntervalSince1970;
}

std::optional<SInt64> parse_integer(std::string_view text, bool &out_of_range) {
    out_of_range = false;
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    SInt64 value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (status == std::errc::result_out_of_range) {
        out_of_range = true;
        return std::nullopt;
    }
    if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> parse_real(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Out of range still yields the nearest representable value, as strtod does.
    if ((status != std::errc() && status != std::errc::result_out_of_range) ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

class XmlReader {
public:
    explicit XmlReader(const ValueFactory &factory) : factory_(factory) {}

    // The one object of the document: inside <plist>, or a bare known root element.
    Value read_document(const xmlNode *root) {
        if (name_of(root) != "plist") return read_object(root, 0);
        const auto children = element_children(root);
        if (children.size() != 1) {
            throw ParseError(children.empty() ? "Empty <plist>" : "More than one object in <plist>",
                             children.empty() ? line_of(root) : line_of(children[1]));
        }
        return read_object(children.front(), 0);
    }

private:
    Value read_object(const xmlNode *element, int depth) {
        const std::string_view name = name_of(element);
        if (name == "dict" || name == "array") {
            if (depth >= kMaxNestingDepth) throw ParseError("Nesting too deep", line_of(element));
            return name == "dict" ? read_dictionary(element, depth + 1) : read_array(element, depth + 1);
        }
        if (name == "string") return factory_.string_from_utf8(text_content(element));
        if (name == "integer") return read_integer(element);
        if (name == "real") return read_real(element);
        if (name == "true" || name == "false") return read_boolean(element, name == "true");
        if (name == "data") return read_data(element);
        if (name == "date") return read_date(element);
        if (name == "key") throw ParseError("<key> outside a dictionary", line_of(element));
        throw ParseError("Unknown element <" + std::string(name) + ">", line_of(element));
    }

    Value read_dictionary(const xmlNode *element, int depth) {
        auto dictionary = factory_.new_dictionary();
        const auto children = element_children(element);
        for (size_t i = 0; i < children.size(); i += 2) {
            const xmlNode *key_element = children[i];
            if (name_of(key_element) != "key") {
                throw ParseError("Dictionary key is not a string (found <" +
                                     std::string(name_of(key_element)) + ">)",
                                 line_of(key_element));
            }
            Value key = factory_.key_from_utf8(text_content(key_element));
            if (i + 1 == children.size()) throw ParseError("Dictionary key without a value", line_of(key_element));
            Value value = read_object(children[i + 1], depth);
            CFDictionarySetValue(dictionary.get(), key.get(), value.get());
        }
        return factory_.finish(std::move(dictionary));
    }

    Value read_array(const xmlNode *element, int depth) {
        auto array = factory_.new_array();
        for (const xmlNode *child : element_children(element)) {
            Value value = read_object(child, depth);
            CFArrayAppendValue(array.get(), value.get());
        }
        return factory_.finish(std::move(array));
    }

    Value read_integer(const xmlNode *element) {
        const std::string text = text_content(element);
        bool out_of_range = false;
        const auto value = parse_integer(trimmed(text), out_of_range);
        if (out_of_range) throw ParseError("Integer out of range", line_of(element));
        if (!value) throw ParseError("Malformed integer '" + text + "'", line_of(element));
        return Value::adopt(CFNumberCreate(nullptr, kCFNumberSInt64Type, &*value));
    }

    Value read_real(const xmlNode *element) {
        const std::string text = text_content(element);
        const auto value = parse_real(trimmed(text));
        if (!value) throw ParseError("Malformed real '" + text + "'", line_of(element));
        return Value::adopt(CFNumberCreate(nullptr, kCFNumberDoubleType, &*value));
    }

    Value read_boolean(const xmlNode *element, bool value) {
        if (!is_blank(text_content(element))) {
            throw ParseError("<" + std::string(name_of(element)) + "> must be empty", line_of(element));
        }
        return Value::retain(value ? kCFBooleanTrue : kCFBooleanFalse);
    }

    Value read_data(const xmlNode *element) {
        const auto bytes = decode_base64(text_content(element));
        if (!bytes) throw ParseError("Malformed Base64 data", line_of(element));
        return factory_.data(*bytes);
    }

    Value read_date(const xmlNode *element) {
        const std::string text = text_content(element);
        const auto at = parse_date(trimmed(text));
        if (!at) throw ParseError("Malformed date '" + text + "'", line_of(element));
        return Value::adopt(CFDateCreate(nullptr, *at));
    }

    const ValueFactory &factory_;
};

// libxml2's report of the first error, as the reader's messages put it.
std::string malformed_message(std::string message) {
    if (message.empty()) message = "unknown error";
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    return "Malformed XML (" + message + ")";
}

}  // namespace

Value parse_xml(std::span<const UInt8> bytes, const ValueFactory &factory) {
    if (bytes.size() > static_cast<size_t>(INT_MAX)) throw ParseError("Document too large", 1);
    platform::xml::ReadResult read =
        platform::xml::read_document({reinterpret_cast<const char *>(bytes.data()), bytes.size()});
    if (read.out_of_memory) throw std::bad_alloc();
    if (!read.document) {
        if (read.error_seen) throw ParseError(malformed_message(std::move(read.error_message)), read.error_line);
        throw ParseError("Malformed XML", read.error_line);
    }
    const xmlDoc *document = read.document.get();
    const xmlNode *root = xmlDocGetRootElement(document);
    if (!root) throw ParseError("No root element", 1);
    return XmlReader(factory).read_document(root);
}

}  // namespace cf::plist
