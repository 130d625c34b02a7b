// CFUUID: 16 bytes in text order. Constant UUIDs are interned for good, and
// every creator hands out the constant when one exists for the same bytes.
#include "object.h"
#include "string_internal.h"

#include <CoreFoundation/CFUUID.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>

namespace {

using Bytes = std::array<UInt8, 16>;

Bytes bytes_from(const CFUUIDBytes &uuid_bytes) {
    static_assert(sizeof(CFUUIDBytes) == sizeof(Bytes));
    Bytes bytes;
    std::memcpy(bytes.data(), &uuid_bytes, bytes.size());
    return bytes;
}

// Canonical upper-case 8-4-4-4-12 text.
std::string text_of(const Bytes &bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        text += hex;
    }
    return text;
}

int hex_digit_value(char16_t character) {
    if (character >= u'0' && character <= u'9') return character - u'0';
    if (character >= u'a' && character <= u'f') return character - u'a' + 10;
    if (character >= u'A' && character <= u'F') return character - u'A' + 10;
    return -1;
}

// The bytes of canonical text: exactly 36 characters, hex digits in either case,
// and '-' at positions 8, 13, 18 and 23; nothing else is accepted.
std::optional<Bytes> parse(const std::u16string &text) {
    constexpr std::size_t kCanonicalLength = 36;
    if (text.size() != kCanonicalLength) return std::nullopt;
    Bytes bytes{};
    std::size_t digits = 0;
    for (std::size_t position = 0; position < text.size(); ++position) {
        const bool separator_place = position == 8 || position == 13 || position == 18 || position == 23;
        if (separator_place) {
            if (text[position] != u'-') return std::nullopt;
            continue;
        }
        const int value = hex_digit_value(text[position]);
        if (value < 0) return std::nullopt;
        bytes[digits / 2] = static_cast<UInt8>(bytes[digits / 2] << 4 | value);
        ++digits;
    }
    return bytes;
}

}  // namespace

struct __CFUUID final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeUUID;

    explicit __CFUUID(const Bytes &uuid_bytes) : Object(kTypeID), bytes(uuid_bytes) {}

    bool equals(const Object &other) const override { return bytes == static_cast<const __CFUUID &>(other).bytes; }
    CFHashCode hash() const override {
        CFHashCode hash = 0;
        for (UInt8 byte : bytes) hash = hash * 31 + byte;
        return hash;
    }
    std::string description() const override { return "<CFUUID " + cf::address_text(this) + "> " + text_of(bytes); }

    const Bytes bytes;
};

namespace {

// The interned constants. Built on first use and never destroyed, so that
// constants made while starting up or shutting down are safe.
class ConstantTable {
public:
    static ConstantTable &shared() {
        static auto *table = new ConstantTable();
        return *table;
    }

    // The constant for bytes, made (immortal) the first time.
    const __CFUUID *intern(const Bytes &bytes) {
        std::lock_guard lock(mutex_);
        const __CFUUID *&constant = constants_[bytes];
        if (constant == nullptr) {
            auto *made = new __CFUUID(bytes);
            made->make_immortal();
            constant = made;
        }
        return constant;
    }

    const __CFUUID *find(const Bytes &bytes) {
        std::lock_guard lock(mutex_);
        const auto found = constants_.find(bytes);
        return found == constants_.end() ? nullptr : found->second;
    }

private:
    std::mutex mutex_;
    std::map<Bytes, const __CFUUID *> constants_;
};

// A UUID for bytes owned by the caller: the constant when there is one
// (immortal, so the caller's release is harmless), else a new object.
CFUUIDRef create(const Bytes &bytes) {
    if (const auto *constant = ConstantTable::shared().find(bytes)) return constant;
    return new __CFUUID(bytes);
}

Bytes random_version_4_bytes() {
    static std::mutex generator_mutex;
    static std::mt19937_64 generator{std::random_device{}()};
    Bytes bytes;
    {
        std::lock_guard lock(generator_mutex);
        for (std::size_t i = 0; i < bytes.size(); i += 8) {
            const std::uint64_t word = generator();
            std::memcpy(bytes.data() + i, &word, sizeof word);
        }
    }
    bytes[6] = static_cast<UInt8>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<UInt8>((bytes[8] & 0x3F) | 0x80);
    return bytes;
}

}  // namespace

extern "C" {

CFTypeID CFUUIDGetTypeID(void) { return cf::kTypeUUID; }

// A random (version 4) UUID.
CFUUIDRef CFUUIDCreate(CFAllocatorRef) { return create(random_version_4_bytes()); }

CFUUIDRef CFUUIDCreateWithBytes(CFAllocatorRef, UInt8 byte0, UInt8 byte1, UInt8 byte2, UInt8 byte3, UInt8 byte4,
                                UInt8 byte5, UInt8 byte6, UInt8 byte7, UInt8 byte8, UInt8 byte9, UInt8 byte10,
                                UInt8 byte11, UInt8 byte12, UInt8 byte13, UInt8 byte14, UInt8 byte15) {
    return create(Bytes{byte0, byte1, byte2, byte3, byte4, byte5, byte6, byte7, byte8, byte9, byte10, byte11, byte12,
                        byte13, byte14, byte15});
}

// NULL for anything but canonical 8-4-4-4-12 text (braces, other lengths, non-hex).
// Partial: the lenient forms the system's parser reads (braces, short text) are refused.
CFUUIDRef CFUUIDCreateFromString(CFAllocatorRef, CFStringRef uuidStr) {
    if (CFGetTypeID(uuidStr) != cf::kTypeString) return nullptr;
    const auto bytes = parse(cf::characters_of(uuidStr));
    return bytes ? create(*bytes) : nullptr;
}

CFStringRef CFUUIDCreateString(CFAllocatorRef, CFUUIDRef uuid) {
    const auto *self = cf::as<__CFUUID>(uuid);
    return self ? cf::create_string_from_utf8(text_of(self->bytes)) : nullptr;
}

// Interned and immortal (Get rule): the same object for the same bytes, for good.
CFUUIDRef CFUUIDGetConstantUUIDWithBytes(CFAllocatorRef, UInt8 byte0, UInt8 byte1, UInt8 byte2, UInt8 byte3,
                                         UInt8 byte4, UInt8 byte5, UInt8 byte6, UInt8 byte7, UInt8 byte8, UInt8 byte9,
                                         UInt8 byte10, UInt8 byte11, UInt8 byte12, UInt8 byte13, UInt8 byte14,
                                         UInt8 byte15) {
    return ConstantTable::shared().intern(Bytes{byte0, byte1, byte2, byte3, byte4, byte5, byte6, byte7, byte8, byte9,
                                                byte10, byte11, byte12, byte13, byte14, byte15});
}

// byte0 holds the first two hex digits; all zero for NULL.
CFUUIDBytes CFUUIDGetUUIDBytes(CFUUIDRef uuid) {
    CFUUIDBytes result{};
    if (const auto *self = cf::as<__CFUUID>(uuid)) std::memcpy(&result, self->bytes.data(), sizeof result);
    return result;
}

CFUUIDRef CFUUIDCreateFromUUIDBytes(CFAllocatorRef, CFUUIDBytes bytes) { return create(bytes_from(bytes)); }

}  // extern "C"
