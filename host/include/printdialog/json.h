// A small JSON document model with a reader that reports the line of an error and a writer
// that escapes every string. Enough for --ticket presets and pdehost's --json output.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace printdialog::json {

class Value {
public:
    enum class Type { Null, Boolean, Integer, Real, String, Array, Object };
    using Array = std::vector<Value>;
    using Object = std::vector<std::pair<std::string, Value>>;  // insertion order kept

    Value() = default;
    static Value boolean(bool value);
    static Value integer(int64_t value);
    static Value real(double value);
    static Value string(std::string value);
    static Value array(Array values = {});
    static Value object(Object members = {});

    Type type() const { return type_; }
    bool asBoolean() const { return boolean_; }
    int64_t asInteger() const { return integer_; }
    double asReal() const { return real_; }
    const std::string &asString() const { return string_; }
    const Array &asArray() const { return array_; }
    const Object &asObject() const { return object_; }
    Array &asArray() { return array_; }
    Object &asObject() { return object_; }

    // Object helpers: adds a member (no duplicate check) and returns *this.
    Value &set(std::string key, Value value);
    Value &push(Value value);

private:
    Type type_ = Type::Null;
    bool boolean_ = false;
    int64_t integer_ = 0;
    double real_ = 0;
    std::string string_;
    Array array_;
    Object object_;
};

// Parses one JSON document. On failure returns false and sets error to "line N: what".
bool parse(std::string_view text, Value &result, std::string &error);

// Compact (indent 0) or pretty-printed text.
std::string write(const Value &value, int indent = 2);

}  // namespace printdialog::json
