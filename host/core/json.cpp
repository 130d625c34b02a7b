// JSON reading and writing.
#include <printdialog/json.h>
#include <printdialog/utf8_text.h>

#include <cmath>
#include <cstdio>
#include <cerrno>
#include <cstdlib>

namespace printdialog::json {

Value Value::boolean(bool value) { Value v; v.type_ = Type::Boolean; v.boolean_ = value; return v; }
Value Value::integer(int64_t value) { Value v; v.type_ = Type::Integer; v.integer_ = value; return v; }
Value Value::real(double value) { Value v; v.type_ = Type::Real; v.real_ = value; return v; }
Value Value::string(std::string value) { Value v; v.type_ = Type::String; v.string_ = std::move(value); return v; }
Value Value::array(Array values) { Value v; v.type_ = Type::Array; v.array_ = std::move(values); return v; }
Value Value::object(Object members) { Value v; v.type_ = Type::Object; v.object_ = std::move(members); return v; }

Value &Value::set(std::string key, Value value) {
    object_.emplace_back(std::move(key), std::move(value));
    return *this;
}

Value &Value::push(Value value) {
    array_.push_back(std::move(value));
    return *this;
}

namespace {

constexpr int kMaximumDepth = 256;

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool document(Value &result, std::string &error) {
        skipSpace();
        if (!value(result, 0)) {
            error = "line " + std::to_string(line_) + ": " + error_;
            return false;
        }
        skipSpace();
        if (position_ != text_.size()) {
            error = "line " + std::to_string(line_) + ": unexpected text after the document";
            return false;
        }
        return true;
    }

private:
    bool fail(const std::string &what) {
        error_ = what;
        return false;
    }

    void skipSpace() {
        while (position_ < text_.size()) {
            char c = text_[position_];
            if (c == '\n') ++line_;
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
            ++position_;
        }
    }

    bool literal(std::string_view word) {
        if (text_.substr(position_, word.size()) != word) return false;
        position_ += word.size();
        return true;
    }

    bool value(Value &result, int depth) {
        if (depth > kMaximumDepth) return fail("nesting too deep");
        if (position_ >= text_.size()) return fail("unexpected end of input");
        char c = text_[position_];
        if (c == '{') return objectValue(result, depth);
        if (c == '[') return arrayValue(result, depth);
        if (c == '"') {
            std::string text;
            if (!stringValue(text)) return false;
            result = Value::string(std::move(text));
            return true;
        }
        if (c == '-' || (c >= '0' && c <= '9')) return numberValue(result);
        if (literal("true")) { result = Value::boolean(true); return true; }
        if (literal("false")) { result = Value::boolean(false); return true; }
        if (literal("null")) { result = Value(); return true; }
        return fail(std::string("unexpected character '") + c + "'");
    }

    bool objectValue(Value &result, int depth) {
        ++position_;
        result = Value::object();
        skipSpace();
        if (position_ < text_.size() && text_[position_] == '}') { ++position_; return true; }
        for (;;) {
            skipSpace();
            if (position_ >= text_.size() || text_[position_] != '"') return fail("expected a string key");
            std::string key;
            if (!stringValue(key)) return false;
            skipSpace();
            if (position_ >= text_.size() || text_[position_] != ':') return fail("expected ':' after a key");
            ++position_;
            skipSpace();
            Value member;
            if (!value(member, depth + 1)) return false;
            result.set(std::move(key), std::move(member));
            skipSpace();
            if (position_ >= text_.size()) return fail("unterminated object");
            if (text_[position_] == ',') { ++position_; continue; }
            if (text_[position_] == '}') { ++position_; return true; }
            return fail("expected ',' or '}' in an object");
        }
    }

    bool arrayValue(Value &result, int depth) {
        ++position_;
        result = Value::array();
        skipSpace();
        if (position_ < text_.size() && text_[position_] == ']') { ++position_; return true; }
        for (;;) {
            skipSpace();
            Value element;
            if (!value(element, depth + 1)) return false;
            result.push(std::move(element));
            skipSpace();
            if (position_ >= text_.size()) return fail("unterminated array");
            if (text_[position_] == ',') { ++position_; continue; }
            if (text_[position_] == ']') { ++position_; return true; }
            return fail("expected ',' or ']' in an array");
        }
    }

    static void appendUtf8(std::string &out, uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    bool hex4(uint32_t &code) {
        if (position_ + 4 > text_.size()) return fail("truncated \\u escape");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            char c = text_[position_++];
            code <<= 4;
            if (c >= '0' && c <= '9') code |= static_cast<uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') code |= static_cast<uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') code |= static_cast<uint32_t>(c - 'A' + 10);
            else return fail("bad \\u escape");
        }
        return true;
    }

    bool stringValue(std::string &out) {
        ++position_;
        while (position_ < text_.size()) {
            char c = text_[position_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return fail("control character in a string");
            if (static_cast<unsigned char>(c) >= 0x80) {
                // The ticket's strings become CFStrings: only well-formed UTF-8 can.
                std::size_t length = utf8SequenceLength(text_, position_ - 1);
                if (length == 0) return fail("a string that is not valid UTF-8");
                out.append(text_, position_ - 1, length);
                position_ += length - 1;
                continue;
            }
            if (c != '\\') { out += c; continue; }
            if (position_ >= text_.size()) break;
            char escape = text_[position_++];
            switch (escape) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                uint32_t code;
                if (!hex4(code)) return false;
                if (code >= 0xD800 && code < 0xDC00) {
                    uint32_t low;
                    if (!literal("\\u") || !hex4(low) || low < 0xDC00 || low > 0xDFFF)
                        return fail("unpaired surrogate in a \\u escape");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                } else if (code >= 0xDC00 && code < 0xE000) {
                    return fail("unpaired surrogate in a \\u escape");
                }
                appendUtf8(out, code);
                break;
            }
            default: return fail(std::string("bad escape '\\") + escape + "'");
            }
        }
        return fail("unterminated string");
    }

    bool numberValue(Value &result) {
        size_t start = position_;
        bool isReal = false;
        if (text_[position_] == '-') ++position_;
        auto digits = [&] {
            size_t first = position_;
            while (position_ < text_.size() && text_[position_] >= '0' && text_[position_] <= '9') ++position_;
            return position_ > first;
        };
        if (!digits()) return fail("bad number");
        if (position_ < text_.size() && text_[position_] == '.') {
            ++position_;
            isReal = true;
            if (!digits()) return fail("bad number");
        }
        if (position_ < text_.size() && (text_[position_] == 'e' || text_[position_] == 'E')) {
            ++position_;
            isReal = true;
            if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-')) ++position_;
            if (!digits()) return fail("bad number");
        }
        std::string number(text_.substr(start, position_ - start));
        if (!isReal) {
            errno = 0;
            char *end = nullptr;
            long long parsed = std::strtoll(number.c_str(), &end, 10);
            if (errno == 0) {
                result = Value::integer(parsed);
                return true;
            }
        }
        double parsed = std::strtod(number.c_str(), nullptr);
        if (!std::isfinite(parsed)) return fail("number out of range");
        result = Value::real(parsed);
        return true;
    }

    std::string_view text_;
    size_t position_ = 0;
    int line_ = 1;
    std::string error_;
};

// Writes the text as a JSON string; ill-formed UTF-8 (from a plug-in's diagnostics, say) is
// replaced so that the document stays readable by any parser.
void writeString(std::string &out, const std::string &text) {
    out += '"';
    for (unsigned char c : withValidUtf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void writeValue(std::string &out, const Value &value, int indent, int level) {
    auto newline = [&](int depth) {
        if (indent <= 0) return;
        out += '\n';
        out.append(static_cast<size_t>(indent) * static_cast<size_t>(depth), ' ');
    };
    switch (value.type()) {
    case Value::Type::Null: out += "null"; break;
    case Value::Type::Boolean: out += value.asBoolean() ? "true" : "false"; break;
    case Value::Type::Integer: out += std::to_string(value.asInteger()); break;
    case Value::Type::Real: {
        if (!std::isfinite(value.asReal())) {  // JSON has no NaN or infinity
            out += "null";
            break;
        }
        // The shortest form that reads back as the same number.
        char buffer[64];
        for (int precision = 15; precision <= 17; ++precision) {
            std::snprintf(buffer, sizeof buffer, "%.*g", precision, value.asReal());
            if (std::strtod(buffer, nullptr) == value.asReal()) break;
        }
        out += buffer;
        break;
    }
    case Value::Type::String: writeString(out, value.asString()); break;
    case Value::Type::Array: {
        if (value.asArray().empty()) { out += "[]"; break; }
        out += '[';
        bool first = true;
        for (const auto &element : value.asArray()) {
            if (!first) out += ',';
            first = false;
            newline(level + 1);
            writeValue(out, element, indent, level + 1);
        }
        newline(level);
        out += ']';
        break;
    }
    case Value::Type::Object: {
        if (value.asObject().empty()) { out += "{}"; break; }
        out += '{';
        bool first = true;
        for (const auto &[key, member] : value.asObject()) {
            if (!first) out += ',';
            first = false;
            newline(level + 1);
            writeString(out, key);
            out += indent > 0 ? ": " : ":";
            writeValue(out, member, indent, level + 1);
        }
        newline(level);
        out += '}';
        break;
    }
    }
}

}  // namespace

bool parse(std::string_view text, Value &result, std::string &error) {
    Reader reader(text);
    return reader.document(result, error);
}

std::string write(const Value &value, int indent) {
    std::string out;
    writeValue(out, value, indent, 0);
    return out;
}

}  // namespace printdialog::json
