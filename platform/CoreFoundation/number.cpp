// CFNumber: integers are kept as 64-bit integers and reals as doubles; values
// are converted to the caller's type on the way out, saturating where they must.
#include "object.h"

#include <CoreFoundation/CFNumber.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <variant>

namespace {

using Value = std::variant<std::int64_t, double>;

// What a CFNumberType means here: the fixed-size type it stands for.
struct TypeInfo {
    CFNumberType canonical;
    CFIndex size;
    bool is_float;
};

std::optional<TypeInfo> type_info(CFNumberType type) {
    switch (type) {
        case kCFNumberSInt8Type:
        case kCFNumberCharType:
            return TypeInfo{kCFNumberSInt8Type, 1, false};
        case kCFNumberSInt16Type:
        case kCFNumberShortType:
            return TypeInfo{kCFNumberSInt16Type, 2, false};
        case kCFNumberSInt32Type:
        case kCFNumberIntType:
            return TypeInfo{kCFNumberSInt32Type, 4, false};
        case kCFNumberSInt64Type:
        case kCFNumberLongLongType:
            return TypeInfo{kCFNumberSInt64Type, 8, false};
        case kCFNumberLongType:
        case kCFNumberCFIndexType:
        case kCFNumberNSIntegerType:
            static_assert(sizeof(long) == 8 || sizeof(long) == 4);
            return sizeof(long) == 8 ? TypeInfo{kCFNumberSInt64Type, 8, false}
                                     : TypeInfo{kCFNumberSInt32Type, 4, false};
        case kCFNumberFloat32Type:
        case kCFNumberFloatType:
            return TypeInfo{kCFNumberFloat32Type, 4, true};
        case kCFNumberFloat64Type:
        case kCFNumberDoubleType:
        case kCFNumberCGFloatType:
            return TypeInfo{kCFNumberFloat64Type, 8, true};
        default:
            return std::nullopt;
    }
}

template <typename T>
T load(const void *source) {
    T value;
    std::memcpy(&value, source, sizeof value);
    return value;
}

template <typename T>
void store(void *destination, T value) {
    std::memcpy(destination, &value, sizeof value);
}

// Reads the caller's value of the given kind as the number's internal value.
Value read_value(const TypeInfo &info, const void *source) {
    if (info.is_float) {
        return info.size == 4 ? static_cast<double>(load<float>(source)) : load<double>(source);
    }
    switch (info.size) {
        case 1: return static_cast<std::int64_t>(load<std::int8_t>(source));
        case 2: return static_cast<std::int64_t>(load<std::int16_t>(source));
        case 4: return static_cast<std::int64_t>(load<std::int32_t>(source));
        default: return load<std::int64_t>(source);
    }
}

// 2^63 as a double: the first real above every int64.
constexpr double kTwoTo63 = 9223372036854775808.0;

// Stores value as the integer type Int, saturating; true when nothing was lost.
template <typename Int>
bool store_integer(const Value &value, void *destination) {
    constexpr Int low = std::numeric_limits<Int>::min();
    constexpr Int high = std::numeric_limits<Int>::max();
    if (const auto *integer = std::get_if<std::int64_t>(&value)) {
        const Int saturated = *integer < low ? low : *integer > high ? high : static_cast<Int>(*integer);
        store<Int>(destination, saturated);
        return saturated == *integer;
    }
    const double real = std::get<double>(value);
    if (std::isnan(real)) {
        store<Int>(destination, 0);
        return false;
    }
    const double truncated = std::trunc(real);
    // low is -2^k, exactly representable; -low is the first value above high.
    const bool in_range = truncated >= static_cast<double>(low) && truncated < -static_cast<double>(low);
    const Int converted = in_range ? static_cast<Int>(truncated) : truncated < 0 ? low : high;
    store<Int>(destination, converted);
    return in_range && truncated == real;
}

// Stores value as the real type Real; true when it is represented exactly.
template <typename Real>
bool store_real(const Value &value, void *destination) {
    if (const auto *integer = std::get_if<std::int64_t>(&value)) {
        const Real real = static_cast<Real>(*integer);
        store<Real>(destination, real);
        if (static_cast<double>(real) >= kTwoTo63) return false;
        return static_cast<std::int64_t>(real) == *integer;
    }
    const double real = std::get<double>(value);
    if constexpr (sizeof(Real) == sizeof(double)) {
        store<Real>(destination, real);
        return true;
    } else {
        constexpr Real largest = std::numeric_limits<Real>::max();
        if (std::isfinite(real) && std::fabs(real) > largest) {
            store<Real>(destination, real < 0 ? -largest : largest);
            return false;
        }
        const Real narrowed = static_cast<Real>(real);
        store<Real>(destination, narrowed);
        return std::isnan(real) || static_cast<double>(narrowed) == real;
    }
}

CFComparisonResult order(auto first, auto second) {
    if (first < second) return kCFCompareLessThan;
    if (first > second) return kCFCompareGreaterThan;
    return kCFCompareEqualTo;
}

// Exact order of an integer and a real; NaN sorts below every number.
CFComparisonResult compare_integer_to_real(std::int64_t integer, double real) {
    if (std::isnan(real)) return kCFCompareGreaterThan;
    if (real >= kTwoTo63) return kCFCompareLessThan;
    if (real < -kTwoTo63) return kCFCompareGreaterThan;
    const double whole = std::trunc(real);
    const CFComparisonResult by_whole = order(integer, static_cast<std::int64_t>(whole));
    if (by_whole != kCFCompareEqualTo) return by_whole;
    return order(0.0, real - whole);
}

CFComparisonResult compare_values(const Value &first, const Value &second) {
    const auto *first_integer = std::get_if<std::int64_t>(&first);
    const auto *second_integer = std::get_if<std::int64_t>(&second);
    if (first_integer && second_integer) return order(*first_integer, *second_integer);
    if (first_integer) return compare_integer_to_real(*first_integer, std::get<double>(second));
    if (second_integer) return -compare_integer_to_real(*second_integer, std::get<double>(first));
    const double a = std::get<double>(first);
    const double b = std::get<double>(second);
    if (std::isnan(a) || std::isnan(b)) {
        if (std::isnan(a) && std::isnan(b)) return kCFCompareEqualTo;
        return std::isnan(a) ? kCFCompareLessThan : kCFCompareGreaterThan;
    }
    return order(a, b);
}

// Equal values hash alike whatever their kind: whole reals hash as integers.
CFHashCode hash_value(const Value &value) {
    if (const auto *integer = std::get_if<std::int64_t>(&value)) return static_cast<CFHashCode>(*integer);
    const double real = std::get<double>(value);
    if (std::isnan(real)) return 0x7ff8;
    if (std::trunc(real) == real && real >= -kTwoTo63 && real < kTwoTo63) {
        return static_cast<CFHashCode>(static_cast<std::int64_t>(real));
    }
    std::uint64_t bits;
    std::memcpy(&bits, &real, sizeof bits);
    return static_cast<CFHashCode>(bits ^ (bits >> 29));
}

std::string text_of(const Value &value) {
    char buffer[64];
    const auto result = std::visit(
        [&](auto number) { return std::to_chars(buffer, buffer + sizeof buffer, number); }, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

struct __CFNumber final : cf::Object {
    static constexpr CFTypeID kTypeID = cf::kTypeNumber;

    __CFNumber(TypeInfo type_info, Value number_value)
        : Object(kTypeID), info(type_info), value(number_value) {}

    bool equals(const Object &other) const override {
        return compare_values(value, static_cast<const __CFNumber &>(other).value) == kCFCompareEqualTo;
    }
    CFHashCode hash() const override { return hash_value(value); }
    // The plain value, so that %@ of a number reads naturally.
    std::string description() const override { return text_of(value); }

    const TypeInfo info;
    const Value value;
};

extern "C" {

CFTypeID CFNumberGetTypeID(void) { return cf::kTypeNumber; }

// Makes a number from the caller's value of the given type; NULL for an unknown type.
CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType theType, const void *valuePtr) {
    const auto info = type_info(theType);
    if (!info || valuePtr == nullptr) return nullptr;
    return new __CFNumber(*info, read_value(*info, valuePtr));
}

// The fixed-size type the number was made as (kCFNumberIntType reads as SInt32).
CFNumberType CFNumberGetType(CFNumberRef number) {
    const auto *self = cf::as<__CFNumber>(number);
    return self ? self->info.canonical : 0;
}

CFIndex CFNumberGetByteSize(CFNumberRef number) {
    const auto *self = cf::as<__CFNumber>(number);
    return self ? self->info.size : 0;
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
    const auto *self = cf::as<__CFNumber>(number);
    return self != nullptr && self->info.is_float;
}

// Converts to theType; out-of-range values saturate and reals truncate, and
// either loss makes the result false while the approximate value is still stored.
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void *valuePtr) {
    const auto *self = cf::as<__CFNumber>(number);
    const auto info = type_info(theType);
    if (self == nullptr || !info || valuePtr == nullptr) return false;
    if (info->is_float) {
        return info->size == 4 ? store_real<float>(self->value, valuePtr)
                               : store_real<double>(self->value, valuePtr);
    }
    switch (info->size) {
        case 1: return store_integer<std::int8_t>(self->value, valuePtr);
        case 2: return store_integer<std::int16_t>(self->value, valuePtr);
        case 4: return store_integer<std::int32_t>(self->value, valuePtr);
        default: return store_integer<std::int64_t>(self->value, valuePtr);
    }
}

// Orders two numbers by value, integers against reals exactly.
CFComparisonResult CFNumberCompare(CFNumberRef number, CFNumberRef otherNumber, void *) {
    const auto *first = cf::as<__CFNumber>(number);
    const auto *second = cf::as<__CFNumber>(otherNumber);
    if (first == nullptr || second == nullptr) return order(first != nullptr, second != nullptr);
    return compare_values(first->value, second->value);
}

}  // extern "C"
