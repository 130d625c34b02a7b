// Reading JSON documents with nlohmann's parser, with the line of every refusal.
#include <printdialog/json.h>
#include <printdialog/utf8_text.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <set>
#include <vector>

namespace printdialog {
namespace {

// Deeper documents would take the recursive conversions into CF objects and back too far.
constexpr int kDeepest = 256;

// Walks the text for nlohmann's lexer and remembers the byte it looked at last, so that a
// refusal found between tokens (a key given twice, a number too large) has a place.
class TrackedCharacter {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char *;
    using reference = const char &;

    TrackedCharacter() = default;
    TrackedCharacter(const char *at, const char **lastRead) : at_(at), lastRead_(lastRead) {}

    reference operator*() const {
        *lastRead_ = at_;
        return *at_;
    }
    TrackedCharacter &operator++() {
        ++at_;
        return *this;
    }
    TrackedCharacter operator++(int) {
        TrackedCharacter before = *this;
        ++at_;
        return before;
    }
    bool operator==(const TrackedCharacter &other) const { return at_ == other.at_; }

private:
    const char *at_ = nullptr;
    const char **lastRead_ = nullptr;
};

// Thrown by the parser callback to stop at a refusal; the message is kept beside it.
struct Refused {};

// "line N: what" for a problem at offset (the byte index) in the text.
std::string located(std::string_view text, std::size_t offset, const std::string &what) {
    offset = std::min(offset, text.size());
    auto lines = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    return "line " + std::to_string(lines + 1) + ": " + what;
}

// nlohmann's message without its exception id, place and "syntax error while parsing X - "
// (the line says where); what the lexer last read is shown as text even when it is not UTF-8.
std::string reasonOf(const nlohmann::json::exception &exception) {
    std::string reason = exception.what();
    if (reason.starts_with("[json.exception.")) {
        if (auto end = reason.find("] "); end != std::string::npos) reason.erase(0, end + 2);
    }
    if (reason.starts_with("parse error")) {
        if (auto colon = reason.find(": "); colon != std::string::npos) reason.erase(0, colon + 2);
    }
    if (reason.starts_with("syntax error while parsing ")) {
        if (auto dash = reason.find(" - "); dash != std::string::npos) reason.erase(0, dash + 3);
    }
    return withValidUtf8(reason);
}

}  // namespace

bool parseJson(std::string_view text, Json &result, std::string &error) {
    const char *lastRead = text.data();
    std::string refusal;
    std::vector<std::set<std::string>> keys;  // of each object being read, outermost first
    auto refuse = [&refusal](std::string what) {
        refusal = std::move(what);
        throw Refused{};
    };
    auto check = [&](int depth, Json::parse_event_t event, Json &parsed) {
        using Event = Json::parse_event_t;
        if ((event == Event::object_start || event == Event::array_start || event == Event::value) && depth > kDeepest)
            refuse("nesting too deep");
        if (event == Event::object_start) keys.emplace_back();
        if (event == Event::object_end && !keys.empty()) keys.pop_back();
        if (event == Event::key && !keys.empty() && !keys.back().insert(parsed.get<std::string>()).second)
            refuse("the key " + jsonText(parsed, 0) + " is given twice");
        return true;
    };
    try {
        const char *begin = text.data();
        const char *end = begin + text.size();
        result = Json::parse(TrackedCharacter(begin, &lastRead), TrackedCharacter(end, &lastRead), check);
        return true;
    } catch (const Refused &) {
        error = located(text, static_cast<std::size_t>(lastRead - text.data()), refusal);
    } catch (const Json::parse_error &exception) {
        error = located(text, exception.byte > 0 ? exception.byte - 1 : 0, reasonOf(exception));
    } catch (const Json::exception &exception) {  // a number past a double's range, say
        error = located(text, static_cast<std::size_t>(lastRead - text.data()), reasonOf(exception));
    }
    return false;
}

}  // namespace printdialog
