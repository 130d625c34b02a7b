// CFURL for POSIX file-system paths: a path (no trailing slash except the root)
// and whether it names a directory; the "file://" text is made once.
#include "object.h"
#include "ref.h"
#include "string_internal.h"

#include <CoreFoundation/CFURL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace {

bool is_absolute(std::string_view path) { return !path.empty() && path.front() == '/'; }

// Characters a URL path carries as they are; everything else is percent-escaped.
bool is_plain_url_character(unsigned char character) {
    if ((character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
        (character >= '0' && character <= '9')) {
        return true;
    }
    return std::strchr("-._~/!$&'()*+,;=:@", character) != nullptr && character != '\0';
}

std::string escaped(std::string_view path) {
    std::string text;
    for (unsigned char character : path) {
        if (is_plain_url_character(character)) {
            text += static_cast<char>(character);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", character);
            text += escape;
        }
    }
    return text;
}

// "file://" and the escaped path for absolute paths; relative paths stay relative.
// A directory's text ends in a slash.
std::string url_text(const std::string &path, bool is_directory) {
    std::string text = is_absolute(path) ? "file://" + escaped(path) : escaped(path);
    if (is_directory && text.back() != '/') text += '/';
    return text;
}

// A path as stored: without trailing slashes except for the root. A trailing
// slash can only name a directory, so it sets is_directory.
std::optional<std::string> normalized(std::string path, bool &is_directory) {
    if (path.empty()) return std::nullopt;
    if (path.back() == '/') is_directory = true;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path == "/") is_directory = true;
    return path;
}

std::string_view last_component_of(std::string_view path) {
    if (path == "/") return path;
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The path one level up: the root stays the root, and a lone relative name gives ".".
std::string parent_of(const std::string &path) {
    if (path == "/") return path;
    if (last_component_of(path) == "..") return path + "/..";
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

struct __CFURL final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeURL;

    __CFURL(std::string file_path, bool directory)
        : Object(kTypeID), path(std::move(file_path)), is_directory(directory),
          string(cf::adopt(cf::create_string_from_utf8(url_text(path, is_directory)))) {}

    bool equals(const Object &other) const override {
        const auto &url = static_cast<const __CFURL &>(other);
        return path == url.path && is_directory == url.is_directory;
    }
    CFHashCode hash() const override { return std::hash<std::string>{}(path); }
    // The URL text, as %@ shows a URL.
    std::string description() const override { return url_text(path, is_directory); }

    const std::string path;
    const bool is_directory;
    const cf::Ref<CFStringRef> string;
};

namespace {

CFURLRef create(std::string path, bool is_directory) {
    auto stored = normalized(std::move(path), is_directory);
    return stored ? new __CFURL(std::move(*stored), is_directory) : nullptr;
}

}  // namespace

extern "C" {

CFTypeID CFURLGetTypeID(void) { return cf::kTypeURL; }

// Only POSIX paths are understood; a relative path is kept as given.
// Partial: only kCFURLPOSIXPathStyle; the HFS and Windows styles give NULL.
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath, CFURLPathStyle pathStyle,
                                       Boolean isDirectory) {
    if (pathStyle != kCFURLPOSIXPathStyle || CFGetTypeID(filePath) != cf::kTypeString) return nullptr;
    return create(cf::utf8_of(filePath), isDirectory);
}

// The path is the UTF-8 bytes of buffer up to bufLen or the first NUL.
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8 *buffer, CFIndex bufLen,
                                                 Boolean isDirectory) {
    if (buffer == nullptr || bufLen < 0) return nullptr;
    const auto *characters = reinterpret_cast<const char *>(buffer);
    const auto end = std::find(characters, characters + bufLen, '\0');
    return create(std::string(characters, end), isDirectory);
}

// The path without a trailing slash (except "/").
// Partial: only kCFURLPOSIXPathStyle; the HFS and Windows styles give NULL.
CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle) {
    const auto *self = cf::as<__CFURL>(anURL);
    if (self == nullptr || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
    return cf::create_string_from_utf8(self->path);
}

// The NUL-terminated path in buffer; with resolveAgainstBase a relative path is
// taken from the current directory. False when it does not fit.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8 *buffer,
                                         CFIndex maxBufLen) {
    const auto *self = cf::as<__CFURL>(url);
    if (self == nullptr || buffer == nullptr || maxBufLen <= 0) return false;
    std::string path = self->path;
    if (resolveAgainstBase && !is_absolute(path)) {
        std::error_code error;
        const auto current = std::filesystem::current_path(error);
        if (error) return false;
        path = (current / path).string();
    }
    if (path.size() >= static_cast<std::size_t>(maxBufLen)) return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url, CFStringRef pathComponent,
                                               Boolean isDirectory) {
    const auto *self = cf::as<__CFURL>(url);
    if (self == nullptr || CFGetTypeID(pathComponent) != cf::kTypeString) return nullptr;
    std::string component = cf::utf8_of(pathComponent);
    const auto first = component.find_first_not_of('/');
    if (first == std::string::npos) return nullptr;
    component.erase(0, first);
    const std::string separator = self->path.back() == '/' ? "" : "/";
    return create(self->path + separator + component, isDirectory);
}

// Always a directory: "/a/b" gives "/a/", "/a" gives "/", and "/" stays "/".
CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef, CFURLRef url) {
    const auto *self = cf::as<__CFURL>(url);
    return self ? create(parent_of(self->path), true) : nullptr;
}

// The last name of the path; "/" for the root.
CFStringRef CFURLCopyLastPathComponent(CFURLRef url) {
    const auto *self = cf::as<__CFURL>(url);
    return self ? cf::create_string_from_utf8(last_component_of(self->path)) : nullptr;
}

// The URL text (Get rule): "file:///tmp/a%20b" for an absolute path.
CFStringRef CFURLGetString(CFURLRef anURL) {
    const auto *self = cf::as<__CFURL>(anURL);
    return self ? self->string.get() : nullptr;
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL) {
    const auto *self = cf::as<__CFURL>(anURL);
    return self != nullptr && self->is_directory;
}

}  // extern "C"
