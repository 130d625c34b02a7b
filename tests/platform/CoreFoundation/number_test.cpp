// CFNumber conversions (exact, saturating and truncating), value equality
// across integer and real numbers, and the CFBoolean constants.
#include "collections_test_support.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using namespace collections_test;

class CFNumberTest : public LiveObjectTest {};

template <typename T>
Owned<CFNumberRef> number_of(CFNumberType type, T value) {
    return Owned<CFNumberRef>(CFNumberCreate(nullptr, type, &value));
}

TEST_F(CFNumberTest, ReadsBackEveryTypeItWasMadeWith) {
    EXPECT_EQ(CFNumberGetType(number_of<SInt8>(kCFNumberSInt8Type, -5)), kCFNumberSInt8Type);
    EXPECT_EQ(CFNumberGetType(number_of<char>(kCFNumberCharType, 'a')), kCFNumberSInt8Type);
    EXPECT_EQ(CFNumberGetType(number_of<short>(kCFNumberShortType, 1)), kCFNumberSInt16Type);
    EXPECT_EQ(CFNumberGetType(number_of<int>(kCFNumberIntType, 1)), kCFNumberSInt32Type);
    EXPECT_EQ(CFNumberGetType(number_of<long long>(kCFNumberLongLongType, 1)), kCFNumberSInt64Type);
    EXPECT_EQ(CFNumberGetType(number_of<float>(kCFNumberFloatType, 1)), kCFNumberFloat32Type);
    EXPECT_EQ(CFNumberGetType(number_of<double>(kCFNumberCGFloatType, 1)), kCFNumberFloat64Type);

    auto small = number_of<SInt16>(kCFNumberSInt16Type, -1234);
    EXPECT_EQ(CFNumberGetByteSize(small), 2);
    EXPECT_FALSE(CFNumberIsFloatType(small));
    SInt16 back16 = 0;
    EXPECT_TRUE(CFNumberGetValue(small, kCFNumberSInt16Type, &back16));
    EXPECT_EQ(back16, -1234);

    auto big = number_of<SInt64>(kCFNumberSInt64Type, std::numeric_limits<SInt64>::min());
    SInt64 back64 = 0;
    EXPECT_TRUE(CFNumberGetValue(big, kCFNumberLongLongType, &back64));
    EXPECT_EQ(back64, std::numeric_limits<SInt64>::min());

    auto single = number_of<Float32>(kCFNumberFloat32Type, 0.1f);
    EXPECT_EQ(CFNumberGetByteSize(single), 4);
    EXPECT_TRUE(CFNumberIsFloatType(single));
    Float32 back32 = 0;
    EXPECT_TRUE(CFNumberGetValue(single, kCFNumberFloat32Type, &back32));
    EXPECT_EQ(back32, 0.1f);

    CFIndex index = 42;
    Owned<CFNumberRef> from_index(CFNumberCreate(nullptr, kCFNumberCFIndexType, &index));
    int as_int = 0;
    EXPECT_TRUE(CFNumberGetValue(from_index, kCFNumberIntType, &as_int));
    EXPECT_EQ(as_int, 42);
}

TEST_F(CFNumberTest, RefusesUnknownTypesAndMissingValues) {
    int value = 1;
    EXPECT_EQ(CFNumberCreate(nullptr, 0, &value), nullptr);
    EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberMaxType + 1, &value), nullptr);
    EXPECT_EQ(CFNumberCreate(nullptr, kCFNumberIntType, nullptr), nullptr);
    auto number = number_of<int>(kCFNumberIntType, 7);
    EXPECT_FALSE(CFNumberGetValue(number, 99, &value));
    EXPECT_FALSE(CFNumberGetValue(nullptr, kCFNumberIntType, &value));
    EXPECT_FALSE(CFNumberGetValue(number, kCFNumberIntType, nullptr));
    EXPECT_EQ(value, 1);
}

TEST_F(CFNumberTest, OutOfRangeIntegersSaturateAndReportLoss) {
    auto huge = number_of<SInt64>(kCFNumberSInt64Type, SInt64{1} << 40);
    SInt32 as32 = 0;
    EXPECT_FALSE(CFNumberGetValue(huge, kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::max());

    auto negative = number_of<SInt64>(kCFNumberSInt64Type, -(SInt64{1} << 40));
    EXPECT_FALSE(CFNumberGetValue(negative, kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::min());

    auto three_hundred = number_of<int>(kCFNumberIntType, 300);
    SInt8 as8 = 0;
    EXPECT_FALSE(CFNumberGetValue(three_hundred, kCFNumberSInt8Type, &as8));
    EXPECT_EQ(as8, 127);
    SInt16 as16 = 0;
    EXPECT_TRUE(CFNumberGetValue(three_hundred, kCFNumberSInt16Type, &as16));
    EXPECT_EQ(as16, 300);

    // The limits themselves still fit.
    auto edge = number_of<int>(kCFNumberIntType, -128);
    EXPECT_TRUE(CFNumberGetValue(edge, kCFNumberSInt8Type, &as8));
    EXPECT_EQ(as8, -128);
}

TEST_F(CFNumberTest, RealsTruncateAndSaturateAsIntegers) {
    SInt32 as32 = 0;
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1.75), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, 1);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -1.75), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, -1);
    EXPECT_TRUE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -2.0), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, -2);

    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1e10), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::max());
    // Truncation happens before the range check: -2147483648.5 truncates into range.
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -2147483648.5), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::min());

    SInt64 as64 = 0;
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1e30), kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, std::numeric_limits<SInt64>::max());
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -1e30), kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, std::numeric_limits<SInt64>::min());
    // 2^63 is one past the largest SInt64.
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 9223372036854775808.0),
                                  kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, std::numeric_limits<SInt64>::max());

    as64 = 99;
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, std::nan("")), kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, 0);
}

TEST_F(CFNumberTest, ConversionsToRealsReportInexactResults) {
    Float32 single = 0;
    EXPECT_TRUE(CFNumberGetValue(number_of<SInt32>(kCFNumberSInt32Type, 16777216), kCFNumberFloat32Type, &single));
    EXPECT_FALSE(CFNumberGetValue(number_of<SInt32>(kCFNumberSInt32Type, 16777217), kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, 16777216.0f);

    EXPECT_TRUE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 0.5), kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, 0.5f);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 0.1), kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, 0.1f);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1e300), kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, FLT_MAX);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -1e300), kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, -FLT_MAX);

    Float64 real = 0;
    EXPECT_TRUE(CFNumberGetValue(number_of<SInt64>(kCFNumberSInt64Type, SInt64{1} << 62), kCFNumberFloat64Type, &real));
    EXPECT_FALSE(CFNumberGetValue(number_of<SInt64>(kCFNumberSInt64Type, std::numeric_limits<SInt64>::max()),
                                  kCFNumberFloat64Type, &real));
    EXPECT_FALSE(CFNumberGetValue(number_of<SInt64>(kCFNumberSInt64Type, (SInt64{1} << 53) + 1),
                                  kCFNumberDoubleType, &real));
}

TEST_F(CFNumberTest, EqualityComparesValuesAcrossTypes) {
    auto one = number_of<SInt32>(kCFNumberSInt32Type, 1);
    auto one_real = number_of<double>(kCFNumberDoubleType, 1.0);
    auto one_and_a_half = number_of<double>(kCFNumberDoubleType, 1.5);
    EXPECT_TRUE(CFEqual(one, one_real));
    EXPECT_EQ(CFHash(one), CFHash(one_real));
    EXPECT_FALSE(CFEqual(one, one_and_a_half));
    EXPECT_EQ(CFNumberCompare(one, one_and_a_half, nullptr), kCFCompareLessThan);
    EXPECT_EQ(CFNumberCompare(one_and_a_half, one, nullptr), kCFCompareGreaterThan);
    EXPECT_EQ(CFNumberCompare(one_real, one, nullptr), kCFCompareEqualTo);

    // Exact comparison, not through a lossy double: 2^53 + 1 differs from 2^53.
    auto above = number_of<SInt64>(kCFNumberSInt64Type, (SInt64{1} << 53) + 1);
    auto real = number_of<double>(kCFNumberDoubleType, 9007199254740992.0);
    EXPECT_FALSE(CFEqual(above, real));
    EXPECT_EQ(CFNumberCompare(above, real, nullptr), kCFCompareGreaterThan);

    auto zero = number_of<int>(kCFNumberIntType, 0);
    auto negative_zero = number_of<double>(kCFNumberDoubleType, -0.0);
    EXPECT_TRUE(CFEqual(zero, negative_zero));
    EXPECT_EQ(CFHash(zero), CFHash(negative_zero));

    auto minus_half = number_of<double>(kCFNumberDoubleType, -0.5);
    EXPECT_EQ(CFNumberCompare(minus_half, zero, nullptr), kCFCompareLessThan);
    EXPECT_EQ(CFNumberCompare(zero, minus_half, nullptr), kCFCompareGreaterThan);

    auto not_a_number = number_of<double>(kCFNumberDoubleType, std::nan(""));
    auto other_nan = number_of<float>(kCFNumberFloatType, std::nanf(""));
    EXPECT_TRUE(CFEqual(not_a_number, other_nan));
    EXPECT_EQ(CFNumberCompare(not_a_number, zero, nullptr), kCFCompareLessThan);
    EXPECT_FALSE(CFEqual(one, kCFBooleanTrue));
}

TEST_F(CFNumberTest, DescribesItsValue) {
    EXPECT_EQ(take_text(CFCopyDescription(number_of<int>(kCFNumberIntType, -42))), "-42");
    EXPECT_EQ(take_text(CFCopyDescription(number_of<double>(kCFNumberDoubleType, 2.5))), "2.5");
}

class CFBooleanTest : public LiveObjectTest {};

TEST_F(CFBooleanTest, ConstantsAreImmortalAndDistinct) {
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));
    EXPECT_FALSE(CFBooleanGetValue(kCFBooleanFalse));
    EXPECT_EQ(CFGetTypeID(kCFBooleanTrue), CFBooleanGetTypeID());
    EXPECT_NE(CFBooleanGetTypeID(), CFNumberGetTypeID());
    EXPECT_FALSE(CFEqual(kCFBooleanTrue, kCFBooleanFalse));

    const CFIndex before = CFGetRetainCount(kCFBooleanTrue);
    CFRelease(kCFBooleanTrue);
    CFRelease(kCFBooleanTrue);
    EXPECT_EQ(CFGetRetainCount(kCFBooleanTrue), before);
    EXPECT_TRUE(CFBooleanGetValue(kCFBooleanTrue));

    EXPECT_FALSE(CFBooleanGetValue(nullptr));
    auto number = number_of<int>(kCFNumberIntType, 1);
    EXPECT_FALSE(CFBooleanGetValue(reinterpret_cast<CFBooleanRef>(number.get())));
}

}  // namespace
