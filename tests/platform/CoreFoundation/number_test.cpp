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
cf::Ref<CFNumberRef> number_of(CFNumberType type, T value) {
    return cf::adopt(CFNumberCreate(nullptr, type, &value));
}

TEST_F(CFNumberTest, ReadsBackEveryTypeItWasMadeWith) {
    EXPECT_EQ(kCFNumberSInt8Type, CFNumberGetType(number_of<SInt8>(kCFNumberSInt8Type, -5).get()));
    EXPECT_EQ(kCFNumberSInt8Type, CFNumberGetType(number_of<char>(kCFNumberCharType, 'a').get()));
    EXPECT_EQ(kCFNumberSInt16Type, CFNumberGetType(number_of<short>(kCFNumberShortType, 1).get()));
    EXPECT_EQ(kCFNumberSInt32Type, CFNumberGetType(number_of<int>(kCFNumberIntType, 1).get()));
    EXPECT_EQ(kCFNumberSInt64Type, CFNumberGetType(number_of<long long>(kCFNumberLongLongType, 1).get()));
    EXPECT_EQ(kCFNumberFloat32Type, CFNumberGetType(number_of<float>(kCFNumberFloatType, 1).get()));
    EXPECT_EQ(kCFNumberFloat64Type, CFNumberGetType(number_of<double>(kCFNumberCGFloatType, 1).get()));

    auto small = number_of<SInt16>(kCFNumberSInt16Type, -1234);
    EXPECT_EQ(2, CFNumberGetByteSize(small.get()));
    EXPECT_FALSE(CFNumberIsFloatType(small.get()));
    SInt16 back16 = 0;
    EXPECT_TRUE(CFNumberGetValue(small.get(), kCFNumberSInt16Type, &back16));
    EXPECT_EQ(-1234, back16);

    auto big = number_of<SInt64>(kCFNumberSInt64Type, std::numeric_limits<SInt64>::min());
    SInt64 back64 = 0;
    EXPECT_TRUE(CFNumberGetValue(big.get(), kCFNumberLongLongType, &back64));
    EXPECT_EQ(back64, std::numeric_limits<SInt64>::min());

    auto single = number_of<Float32>(kCFNumberFloat32Type, 0.1f);
    EXPECT_EQ(4, CFNumberGetByteSize(single.get()));
    EXPECT_TRUE(CFNumberIsFloatType(single.get()));
    Float32 back32 = 0;
    EXPECT_TRUE(CFNumberGetValue(single.get(), kCFNumberFloat32Type, &back32));
    EXPECT_EQ(0.1f, back32);

    CFIndex index = 42;
    auto from_index = cf::adopt(CFNumberCreate(nullptr, kCFNumberCFIndexType, &index));
    int as_int = 0;
    EXPECT_TRUE(CFNumberGetValue(from_index.get(), kCFNumberIntType, &as_int));
    EXPECT_EQ(42, as_int);
}

TEST_F(CFNumberTest, RefusesUnknownTypesAndMissingValues) {
    int value = 1;
    EXPECT_EQ(nullptr, CFNumberCreate(nullptr, 0, &value));
    EXPECT_EQ(nullptr, CFNumberCreate(nullptr, kCFNumberMaxType + 1, &value));
    EXPECT_EQ(nullptr, CFNumberCreate(nullptr, kCFNumberIntType, nullptr));
    auto number = number_of<int>(kCFNumberIntType, 7);
    EXPECT_FALSE(CFNumberGetValue(number.get(), 99, &value));
    EXPECT_FALSE(CFNumberGetValue(nullptr, kCFNumberIntType, &value));
    EXPECT_FALSE(CFNumberGetValue(number.get(), kCFNumberIntType, nullptr));
    EXPECT_EQ(1, value);
}

TEST_F(CFNumberTest, OutOfRangeIntegersSaturateAndReportLoss) {
    auto huge = number_of<SInt64>(kCFNumberSInt64Type, SInt64{1} << 40);
    SInt32 as32 = 0;
    EXPECT_FALSE(CFNumberGetValue(huge.get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::max());

    auto negative = number_of<SInt64>(kCFNumberSInt64Type, -(SInt64{1} << 40));
    EXPECT_FALSE(CFNumberGetValue(negative.get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::min());

    auto three_hundred = number_of<int>(kCFNumberIntType, 300);
    SInt8 as8 = 0;
    EXPECT_FALSE(CFNumberGetValue(three_hundred.get(), kCFNumberSInt8Type, &as8));
    EXPECT_EQ(127, as8);
    SInt16 as16 = 0;
    EXPECT_TRUE(CFNumberGetValue(three_hundred.get(), kCFNumberSInt16Type, &as16));
    EXPECT_EQ(300, as16);

    // The limits themselves still fit.
    auto edge = number_of<int>(kCFNumberIntType, -128);
    EXPECT_TRUE(CFNumberGetValue(edge.get(), kCFNumberSInt8Type, &as8));
    EXPECT_EQ(-128, as8);
}

TEST_F(CFNumberTest, RealsTruncateAndSaturateAsIntegers) {
    SInt32 as32 = 0;
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1.75).get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(1, as32);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -1.75).get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(-1, as32);
    EXPECT_TRUE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -2.0).get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(-2, as32);

    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1e10).get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::max());
    // Truncation happens before the range check: -2147483648.5 truncates into range.
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -2147483648.5).get(), kCFNumberSInt32Type, &as32));
    EXPECT_EQ(as32, std::numeric_limits<SInt32>::min());

    SInt64 as64 = 0;
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1e30).get(), kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, std::numeric_limits<SInt64>::max());
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -1e30).get(), kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, std::numeric_limits<SInt64>::min());
    // 2^63 is one past the largest SInt64.
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 9223372036854775808.0).get(),
                                  kCFNumberSInt64Type, &as64));
    EXPECT_EQ(as64, std::numeric_limits<SInt64>::max());

    as64 = 99;
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, std::nan("")).get(), kCFNumberSInt64Type, &as64));
    EXPECT_EQ(0, as64);
}

TEST_F(CFNumberTest, ConversionsToRealsReportInexactResults) {
    Float32 single = 0;
    EXPECT_TRUE(CFNumberGetValue(number_of<SInt32>(kCFNumberSInt32Type, 16777216).get(), kCFNumberFloat32Type, &single));
    EXPECT_FALSE(CFNumberGetValue(number_of<SInt32>(kCFNumberSInt32Type, 16777217).get(), kCFNumberFloat32Type, &single));
    EXPECT_EQ(16777216.0f, single);

    EXPECT_TRUE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 0.5).get(), kCFNumberFloat32Type, &single));
    EXPECT_EQ(0.5f, single);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 0.1).get(), kCFNumberFloat32Type, &single));
    EXPECT_EQ(0.1f, single);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, 1e300).get(), kCFNumberFloat32Type, &single));
    EXPECT_EQ(FLT_MAX, single);
    EXPECT_FALSE(CFNumberGetValue(number_of<double>(kCFNumberDoubleType, -1e300).get(), kCFNumberFloat32Type, &single));
    EXPECT_EQ(single, -FLT_MAX);

    Float64 real = 0;
    EXPECT_TRUE(CFNumberGetValue(number_of<SInt64>(kCFNumberSInt64Type, SInt64{1} << 62).get(), kCFNumberFloat64Type, &real));
    EXPECT_FALSE(CFNumberGetValue(number_of<SInt64>(kCFNumberSInt64Type, std::numeric_limits<SInt64>::max()).get(),
                                  kCFNumberFloat64Type, &real));
    EXPECT_FALSE(CFNumberGetValue(number_of<SInt64>(kCFNumberSInt64Type, (SInt64{1} << 53) + 1).get(),
                                  kCFNumberDoubleType, &real));
}

TEST_F(CFNumberTest, EqualityComparesValuesAcrossTypes) {
    auto one = number_of<SInt32>(kCFNumberSInt32Type, 1);
    auto one_real = number_of<double>(kCFNumberDoubleType, 1.0);
    auto one_and_a_half = number_of<double>(kCFNumberDoubleType, 1.5);
    EXPECT_TRUE(CFEqual(one.get(), one_real.get()));
    EXPECT_EQ(CFHash(one.get()), CFHash(one_real.get()));
    EXPECT_FALSE(CFEqual(one.get(), one_and_a_half.get()));
    EXPECT_EQ(kCFCompareLessThan, CFNumberCompare(one.get(), one_and_a_half.get(), nullptr));
    EXPECT_EQ(kCFCompareGreaterThan, CFNumberCompare(one_and_a_half.get(), one.get(), nullptr));
    EXPECT_EQ(kCFCompareEqualTo, CFNumberCompare(one_real.get(), one.get(), nullptr));

    // Exact comparison, not through a lossy double: 2^53 + 1 differs from 2^53.
    auto above = number_of<SInt64>(kCFNumberSInt64Type, (SInt64{1} << 53) + 1);
    auto real = number_of<double>(kCFNumberDoubleType, 9007199254740992.0);
    EXPECT_FALSE(CFEqual(above.get(), real.get()));
    EXPECT_EQ(kCFCompareGreaterThan, CFNumberCompare(above.get(), real.get(), nullptr));

    auto zero = number_of<int>(kCFNumberIntType, 0);
    auto negative_zero = number_of<double>(kCFNumberDoubleType, -0.0);
    EXPECT_TRUE(CFEqual(zero.get(), negative_zero.get()));
    EXPECT_EQ(CFHash(zero.get()), CFHash(negative_zero.get()));

    auto minus_half = number_of<double>(kCFNumberDoubleType, -0.5);
    EXPECT_EQ(kCFCompareLessThan, CFNumberCompare(minus_half.get(), zero.get(), nullptr));
    EXPECT_EQ(kCFCompareGreaterThan, CFNumberCompare(zero.get(), minus_half.get(), nullptr));

    auto not_a_number = number_of<double>(kCFNumberDoubleType, std::nan(""));
    auto other_nan = number_of<float>(kCFNumberFloatType, std::nanf(""));
    EXPECT_TRUE(CFEqual(not_a_number.get(), other_nan.get()));
    EXPECT_EQ(kCFCompareLessThan, CFNumberCompare(not_a_number.get(), zero.get(), nullptr));
    EXPECT_FALSE(CFEqual(one.get(), kCFBooleanTrue));
}

TEST_F(CFNumberTest, DescribesItsValue) {
    EXPECT_EQ("-42", cf::adopt_utf8(CFCopyDescription(number_of<int>(kCFNumberIntType, -42).get())));
    EXPECT_EQ("2.5", cf::adopt_utf8(CFCopyDescription(number_of<double>(kCFNumberDoubleType, 2.5).get())));
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
