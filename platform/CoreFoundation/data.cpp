// CFData and CFMutableData: byte buffers, owned or borrowed from the caller.
#include "object.h"

#include <CoreFoundation/CFData.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct FreeBytes {
    void operator()(const UInt8 *bytes) const { std::free(const_cast<UInt8 *>(bytes)); }
};

// Bytes handed over by CFDataCreateWithBytesNoCopy: freed with free() unless
// the caller kept them (deallocator kCFAllocatorNull).
class BorrowedBytes {
public:
    BorrowedBytes(const UInt8 *bytes, std::size_t length, bool free_when_done)
        : bytes_(bytes), length_(length), owned_(free_when_done ? bytes : nullptr) {}

    const UInt8 *data() const { return bytes_; }
    std::size_t size() const { return length_; }

private:
    const UInt8 *bytes_;
    std::size_t length_;
    std::unique_ptr<const UInt8, FreeBytes> owned_;
};

}  // namespace

struct __CFData final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeData;

    __CFData(std::vector<UInt8> contents, bool mutable_data)
        : Object(kTypeID), is_mutable(mutable_data), owned(std::move(contents)) {}
    explicit __CFData(std::unique_ptr<BorrowedBytes> bytes)
        : Object(kTypeID), is_mutable(false), borrowed(std::move(bytes)) {}

    const UInt8 *bytes() const { return borrowed ? borrowed->data() : owned.data(); }
    std::size_t length() const { return borrowed ? borrowed->size() : owned.size(); }

    bool equals(const Object &other) const override {
        const auto &data = static_cast<const __CFData &>(other);
        return length() == data.length() && std::equal(bytes(), bytes() + length(), data.bytes());
    }

    // FNV-1a over the bytes.
    CFHashCode hash() const override {
        std::uint64_t hash = 14695981039346656037ull;
        for (std::size_t i = 0; i < length(); ++i) hash = (hash ^ bytes()[i]) * 1099511628211ull;
        return static_cast<CFHashCode>(hash);
    }

    // The length and the first bytes in hexadecimal.
    std::string description() const override {
        constexpr std::size_t kShownBytes = 24;
        std::string text = "<CFData " + cf::address_text(this) + ">{length = " + std::to_string(length()) +
                           ", bytes = 0x";
        for (std::size_t i = 0; i < std::min(length(), kShownBytes); ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", bytes()[i]);
            text += hex;
        }
        if (length() > kShownBytes) text += "...";
        return text + "}";
    }

    const bool is_mutable;
    // Mutable data always owns its bytes here; immutable data may borrow them instead.
    std::vector<UInt8> owned;
    const std::unique_ptr<BorrowedBytes> borrowed;
};

namespace {

__CFData *mutable_data(CFMutableDataRef data) {
    auto *self = cf::as<__CFData>(data);
    return self != nullptr && self->is_mutable ? self : nullptr;
}

std::vector<UInt8> copy_of(const UInt8 *bytes, std::size_t length) {
    return length == 0 ? std::vector<UInt8>() : std::vector<UInt8>(bytes, bytes + length);
}

}  // namespace

extern "C" {

CFTypeID CFDataGetTypeID(void) { return cf::kTypeData; }

// Copies length bytes into a new immutable data.
CFDataRef CFDataCreate(CFAllocatorRef, const UInt8 *bytes, CFIndex length) {
    if (length < 0 || (bytes == nullptr && length > 0)) return nullptr;
    return new __CFData(copy_of(bytes, static_cast<std::size_t>(length)), false);
}

// Wraps the caller's bytes without copying; they are freed with free() when the
// data goes unless bytesDeallocator is kCFAllocatorNull.
// Partial: any other deallocator is taken to be free().
CFDataRef CFDataCreateWithBytesNoCopy(CFAllocatorRef, const UInt8 *bytes, CFIndex length,
                                      CFAllocatorRef bytesDeallocator) {
    if (length < 0 || (bytes == nullptr && length > 0)) return nullptr;
    const bool free_when_done = bytesDeallocator != kCFAllocatorNull;
    return new __CFData(std::make_unique<BorrowedBytes>(bytes, static_cast<std::size_t>(length), free_when_done));
}

CFDataRef CFDataCreateCopy(CFAllocatorRef, CFDataRef theData) {
    const auto *source = cf::as<__CFData>(theData);
    if (source == nullptr) return nullptr;
    return new __CFData(copy_of(source->bytes(), source->length()), false);
}

// The capacity is only a hint: mutable data grows as needed.
CFMutableDataRef CFDataCreateMutable(CFAllocatorRef, CFIndex capacity) {
    if (capacity < 0) return nullptr;
    auto *data = new __CFData(std::vector<UInt8>(), true);
    data->owned.reserve(static_cast<std::size_t>(capacity));
    return data;
}

CFMutableDataRef CFDataCreateMutableCopy(CFAllocatorRef, CFIndex capacity, CFDataRef theData) {
    const auto *source = cf::as<__CFData>(theData);
    if (source == nullptr || capacity < 0) return nullptr;
    return new __CFData(copy_of(source->bytes(), source->length()), true);
}

CFIndex CFDataGetLength(CFDataRef theData) {
    const auto *self = cf::as<__CFData>(theData);
    return self ? static_cast<CFIndex>(self->length()) : 0;
}

const UInt8 *CFDataGetBytePtr(CFDataRef theData) {
    const auto *self = cf::as<__CFData>(theData);
    return self ? self->bytes() : nullptr;
}

// NULL for immutable data, whose bytes must not change.
UInt8 *CFDataGetMutableBytePtr(CFMutableDataRef theData) {
    auto *self = mutable_data(theData);
    return self ? self->owned.data() : nullptr;
}

// Copies the bytes of range into buffer; a range outside the data copies nothing.
void CFDataGetBytes(CFDataRef theData, CFRange range, UInt8 *buffer) {
    const auto *self = cf::as<__CFData>(theData);
    if (self == nullptr || buffer == nullptr || range.location < 0 || range.length < 0) return;
    const auto length = static_cast<CFIndex>(self->length());
    if (range.location > length || range.length > length - range.location) return;
    std::copy_n(self->bytes() + range.location, range.length, buffer);
}

void CFDataAppendBytes(CFMutableDataRef theData, const UInt8 *bytes, CFIndex length) {
    auto *self = mutable_data(theData);
    if (self == nullptr || bytes == nullptr || length <= 0) return;
    // The bytes may lie inside the data itself, which growing would move.
    const std::vector<UInt8> appended(bytes, bytes + length);
    self->owned.insert(self->owned.end(), appended.begin(), appended.end());
}

// Truncates, or extends with zero bytes.
void CFDataSetLength(CFMutableDataRef theData, CFIndex length) {
    auto *self = mutable_data(theData);
    if (self == nullptr || length < 0) return;
    self->owned.resize(static_cast<std::size_t>(length), 0);
}

}  // extern "C"
