// CFArray and CFDictionary honouring their callbacks (CF types, the caller's
// own, none), bounds, copies and mutation; CFData, CFDate and CFError.
#include "collections_test_support.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace collections_test;

// Callbacks that count their calls and keep raw C strings, compared without case.
struct CallCounts {
    int retains = 0;
    int releases = 0;
    int equals = 0;
    int descriptions = 0;
    int hashes = 0;
};
CallCounts counts;

const void *counting_retain(CFAllocatorRef, const void *value) {
    ++counts.retains;
    return value;
}
void counting_release(CFAllocatorRef, const void *) { ++counts.releases; }
CFStringRef counting_description(const void *value) {
    ++counts.descriptions;
    return CFStringCreateWithCString(nullptr, static_cast<const char *>(value), kCFStringEncodingUTF8);
}
Boolean counting_equal(const void *first, const void *second) {
    ++counts.equals;
    return strcasecmp(static_cast<const char *>(first), static_cast<const char *>(second)) == 0;
}
CFHashCode counting_hash(const void *value) {
    ++counts.hashes;
    CFHashCode hash = 0;
    for (const char *c = static_cast<const char *>(value); *c; ++c) hash = hash * 31 + (*c | 0x20);
    return hash;
}

const CFArrayCallBacks kCountingArrayCallBacks = {0, counting_retain, counting_release, counting_description,
                                                  counting_equal};

class CFArrayTest : public LiveObjectTest {
protected:
    void SetUp() override {
        LiveObjectTest::SetUp();
        counts = {};
    }
};

TEST_F(CFArrayTest, TypeCallBacksRetainWhileHeldAndReleaseOnRemovalAndDestruction) {
    auto first = make_number(1);
    auto second = make_number(2);
    {
        auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
        CFArrayAppendValue(array.get(), first.get());
        EXPECT_EQ(2, CFGetRetainCount(first.get()));
        CFArrayInsertValueAtIndex(array.get(), 0, first.get());
        EXPECT_EQ(3, CFGetRetainCount(first.get()));
        CFArrayAppendValue(array.get(), second.get());
        EXPECT_EQ(3, CFArrayGetCount(array.get()));

        CFArrayRemoveValueAtIndex(array.get(), 0);
        EXPECT_EQ(2, CFGetRetainCount(first.get()));

        // Replacing releases the old value and retains the new one.
        CFArraySetValueAtIndex(array.get(), 0, second.get());
        EXPECT_EQ(1, CFGetRetainCount(first.get()));
        EXPECT_EQ(3, CFGetRetainCount(second.get()));
        EXPECT_EQ(CFArrayGetValueAtIndex(array.get(), 0), second.get());
    }
    EXPECT_EQ(1, CFGetRetainCount(second.get()));
}

TEST_F(CFArrayTest, SettingAValueOverItselfKeepsItAlive) {
    auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    {
        auto value = cf::string("only held by the array");
        CFArrayAppendValue(array.get(), value.get());
    }
    const void *held = CFArrayGetValueAtIndex(array.get(), 0);
    ASSERT_EQ(1, CFGetRetainCount(held));
    CFArraySetValueAtIndex(array.get(), 0, held);
    EXPECT_EQ(1, CFGetRetainCount(held));
    EXPECT_EQ("only held by the array", cf::utf8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array.get(), 0))));
}

TEST_F(CFArrayTest, CreateAndCopiesRetainThroughTheSourcesCallBacks) {
    auto value = make_number(5);
    const void *values[] = {value.get(), value.get()};
    auto array = cf::adopt(CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks));
    EXPECT_EQ(3, CFGetRetainCount(value.get()));
    {
        auto copy = cf::adopt(CFArrayCreateCopy(nullptr, array.get()));
        EXPECT_EQ(5, CFGetRetainCount(value.get()));
        EXPECT_TRUE(CFEqual(copy.get(), array.get()));
        auto mutable_copy = cf::adopt(CFArrayCreateMutableCopy(nullptr, 0, array.get()));
        CFArrayAppendValue(mutable_copy.get(), value.get());
        EXPECT_EQ(8, CFGetRetainCount(value.get()));
        EXPECT_FALSE(CFEqual(mutable_copy.get(), array.get()));
    }
    EXPECT_EQ(3, CFGetRetainCount(value.get()));
}

TEST_F(CFArrayTest, CallsTheCallersOwnCallBacks) {
    char apple[] = "apple";
    char pear[] = "pear";
    char shouted_pear[] = "PEAR";
    {
        auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, &kCountingArrayCallBacks));
        CFArrayAppendValue(array.get(), apple);
        CFArrayAppendValue(array.get(), pear);
        EXPECT_EQ(2, counts.retains);
        EXPECT_EQ(1, CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(0, 2), shouted_pear));
        EXPECT_GE(counts.equals, 1);
        EXPECT_EQ(1, CFArrayGetCountOfValue(array.get(), CFRangeMake(0, 2), shouted_pear));

        const std::string description = cf::adopt_utf8(CFCopyDescription(array.get()));
        EXPECT_EQ(2, counts.descriptions);
        EXPECT_NE(description.find("apple"), std::string::npos) << description;
        EXPECT_NE(description.find("pear"), std::string::npos) << description;

        // The copy keeps the callbacks: it retains and compares the same way.
        auto copy = cf::adopt(CFArrayCreateCopy(nullptr, array.get()));
        EXPECT_EQ(4, counts.retains);
        EXPECT_TRUE(CFArrayContainsValue(copy.get(), CFRangeMake(0, 2), shouted_pear));

        CFArrayRemoveValueAtIndex(array.get(), 0);
        EXPECT_EQ(1, counts.releases);
    }
    EXPECT_EQ(4, counts.releases);
}

TEST_F(CFArrayTest, ToleratesCallBackStructsWithEmptySlots) {
    const CFArrayCallBacks only_equal = {0, nullptr, nullptr, nullptr, counting_equal};
    char word[] = "word";
    char other[] = "WORD";
    auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, &only_equal));
    CFArrayAppendValue(array.get(), word);
    CFArraySetValueAtIndex(array.get(), 0, word);
    EXPECT_TRUE(CFArrayContainsValue(array.get(), CFRangeMake(0, 1), other));
    EXPECT_NE(cf::adopt_utf8(CFCopyDescription(array.get())).find("count = 1"), std::string::npos);
    CFArrayRemoveAllValues(array.get());
    EXPECT_EQ(0, CFArrayGetCount(array.get()));
    EXPECT_EQ(0, counts.retains + counts.releases);
}

TEST_F(CFArrayTest, NullCallBacksStoreRawPointersComparedByIdentity) {
    int raw = 7;
    auto number = make_number(3);
    auto equal_number = make_number(3);
    auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, nullptr));
    CFArrayAppendValue(array.get(), &raw);
    CFArrayAppendValue(array.get(), number.get());
    CFArrayAppendValue(array.get(), nullptr);
    EXPECT_EQ(1, CFGetRetainCount(number.get()));
    EXPECT_EQ(CFArrayGetValueAtIndex(array.get(), 0), &raw);
    EXPECT_EQ(1, CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(0, 3), number.get()));
    EXPECT_EQ(kCFNotFound, CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(0, 3), equal_number.get()));
    EXPECT_EQ(2, CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(0, 3), nullptr));
    CFArrayRemoveAllValues(array.get());
    EXPECT_EQ(1, CFGetRetainCount(number.get()));
}

TEST_F(CFArrayTest, OutOfRangeIndexesAndRangesDoNothing) {
    auto a = make_number(1);
    auto b = make_number(2);
    auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array.get(), a.get());
    CFArrayAppendValue(array.get(), b.get());

    EXPECT_EQ(nullptr, CFArrayGetValueAtIndex(array.get(), -1));
    EXPECT_EQ(nullptr, CFArrayGetValueAtIndex(array.get(), 2));
    CFArrayInsertValueAtIndex(array.get(), 3, a.get());
    CFArrayInsertValueAtIndex(array.get(), -1, a.get());
    CFArraySetValueAtIndex(array.get(), 5, a.get());
    CFArrayRemoveValueAtIndex(array.get(), 2);
    CFArrayRemoveValueAtIndex(array.get(), -1);
    EXPECT_EQ(2, CFArrayGetCount(array.get()));
    EXPECT_EQ(2, CFGetRetainCount(a.get()));

    const void *untouched[3] = {&untouched, &untouched, &untouched};
    CFArrayGetValues(array.get(), CFRangeMake(1, 2), untouched);
    CFArrayGetValues(array.get(), CFRangeMake(-1, 1), untouched);
    EXPECT_EQ(untouched[0], &untouched);
    EXPECT_FALSE(CFArrayContainsValue(array.get(), CFRangeMake(0, 3), a.get()));
    EXPECT_EQ(kCFNotFound, CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(2, 1), a.get()));
    EXPECT_EQ(0, CFArrayGetCountOfValue(array.get(), CFRangeMake(0, -1), a.get()));
    CFArrayAppendArray(array.get(), array.get(), CFRangeMake(1, 5));
    EXPECT_EQ(2, CFArrayGetCount(array.get()));

    // A range ending exactly at the count is fine; so is an empty one there.
    const void *values[2] = {};
    CFArrayGetValues(array.get(), CFRangeMake(0, 2), values);
    EXPECT_EQ(values[1], b.get());
    EXPECT_FALSE(CFArrayContainsValue(array.get(), CFRangeMake(2, 0), a.get()));
    EXPECT_FALSE(CFArrayContainsValue(array.get(), CFRangeMake(1, 1), a.get()));

    // Setting at the count appends.
    CFArraySetValueAtIndex(array.get(), 2, a.get());
    EXPECT_EQ(3, CFArrayGetCount(array.get()));
    EXPECT_EQ(nullptr, CFArrayGetValueAtIndex(nullptr, 0));
    EXPECT_EQ(0, CFArrayGetCount(nullptr));
}

TEST_F(CFArrayTest, InsertsAppendsArraysAndApplies) {
    auto one = make_number(1);
    auto two = make_number(2);
    auto three = make_number(3);
    auto array = cf::adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array.get(), one.get());
    CFArrayAppendValue(array.get(), three.get());
    CFArrayInsertValueAtIndex(array.get(), 1, two.get());
    CFArrayAppendArray(array.get(), array.get(), CFRangeMake(0, 3));
    ASSERT_EQ(6, CFArrayGetCount(array.get()));
    EXPECT_EQ(3, CFGetRetainCount(two.get()));
    EXPECT_EQ(CFArrayGetValueAtIndex(array.get(), 4), two.get());
    EXPECT_EQ(2, CFArrayGetCountOfValue(array.get(), CFRangeMake(0, 6), make_number(3).get()));
    EXPECT_EQ(3, CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(3, 3), one.get()));

    SInt64 sum = 0;
    CFArrayApplyFunction(
        array.get(), CFRangeMake(1, 2),
        [](const void *value, void *context) {
            SInt64 number = 0;
            CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
            *static_cast<SInt64 *>(context) += number;
        },
        &sum);
    EXPECT_EQ(5, sum);
}

TEST_F(CFArrayTest, ImmutableArraysRefuseChanges) {
    auto value = make_number(1);
    const void *values[] = {value.get()};
    auto array = cf::adopt(CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks));
    auto *as_mutable = const_cast<CFMutableArrayRef>(array.get());
    CFArrayAppendValue(as_mutable, value.get());
    CFArrayRemoveValueAtIndex(as_mutable, 0);
    CFArrayRemoveAllValues(as_mutable);
    EXPECT_EQ(1, CFArrayGetCount(array.get()));
    EXPECT_EQ(2, CFGetRetainCount(value.get()));
    EXPECT_EQ(nullptr, CFArrayCreate(nullptr, nullptr, 1, &kCFTypeArrayCallBacks));
}

TEST_F(CFArrayTest, DescriptionListsTheValues) {
    auto first = cf::string("first value");
    auto second = make_number(12345);
    const void *values[] = {first.get(), second.get()};
    auto array = cf::adopt(CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks));
    const std::string description = cf::adopt_utf8(CFCopyDescription(array.get()));
    EXPECT_NE(description.find("first value"), std::string::npos) << description;
    EXPECT_NE(description.find("12345"), std::string::npos) << description;
}

const CFDictionaryKeyCallBacks kCountingKeyCallBacks = {0, counting_retain, counting_release, counting_description,
                                                        counting_equal, counting_hash};
const CFDictionaryValueCallBacks kCountingValueCallBacks = {0, counting_retain, counting_release,
                                                            counting_description, counting_equal};

class CFDictionaryTest : public LiveObjectTest {
protected:
    void SetUp() override {
        LiveObjectTest::SetUp();
        counts = {};
    }

    static cf::Ref<CFMutableDictionaryRef> make_type_dictionary() {
        return cf::adopt(CFDictionaryCreateMutable(
            nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    }
};

TEST_F(CFDictionaryTest, TypeCallBacksRetainKeysAndValuesUntilRemovedOrDestroyed) {
    auto key = cf::string("key");
    auto value = make_number(1);
    auto replacement = make_number(2);
    {
        auto dictionary = make_type_dictionary();
        CFDictionarySetValue(dictionary.get(), key.get(), value.get());
        EXPECT_EQ(2, CFGetRetainCount(key.get()));
        EXPECT_EQ(2, CFGetRetainCount(value.get()));

        CFDictionarySetValue(dictionary.get(), key.get(), replacement.get());
        EXPECT_EQ(1, CFGetRetainCount(value.get()));
        EXPECT_EQ(2, CFGetRetainCount(replacement.get()));
        EXPECT_EQ(2, CFGetRetainCount(key.get()));

        CFDictionaryRemoveValue(dictionary.get(), key.get());
        EXPECT_EQ(1, CFGetRetainCount(key.get()));
        EXPECT_EQ(1, CFGetRetainCount(replacement.get()));
        EXPECT_EQ(0, CFDictionaryGetCount(dictionary.get()));

        CFDictionarySetValue(dictionary.get(), key.get(), value.get());
        CFDictionaryAddValue(dictionary.get(), replacement.get(), replacement.get());
        CFDictionaryRemoveAllValues(dictionary.get());
        EXPECT_EQ(1, CFGetRetainCount(key.get()));
        EXPECT_EQ(1, CFGetRetainCount(replacement.get()));

        CFDictionarySetValue(dictionary.get(), key.get(), value.get());
        EXPECT_EQ(2, CFGetRetainCount(value.get()));
    }
    EXPECT_EQ(1, CFGetRetainCount(key.get()));
    EXPECT_EQ(1, CFGetRetainCount(value.get()));
}

TEST_F(CFDictionaryTest, ReplacingKeepsTheOriginalKeyObject) {
    auto original = cf::string("name");
    auto equal_key = cf::string("name");
    auto dictionary = make_type_dictionary();
    CFDictionarySetValue(dictionary.get(), original.get(), make_number(1).get());
    CFDictionarySetValue(dictionary.get(), equal_key.get(), make_number(2).get());
    ASSERT_EQ(1, CFDictionaryGetCount(dictionary.get()));
    const void *key = nullptr;
    const void *value = nullptr;
    CFDictionaryGetKeysAndValues(dictionary.get(), &key, &value);
    EXPECT_EQ(key, original.get());
    EXPECT_TRUE(CFEqual(value, make_number(2).get()));
    EXPECT_EQ(1, CFGetRetainCount(equal_key.get()));
}

TEST_F(CFDictionaryTest, SettingTheSameValueAgainDoesNotFreeIt) {
    auto dictionary = make_type_dictionary();
    auto key = cf::string("k");
    {
        auto value = cf::string("held only by the dictionary");
        CFDictionarySetValue(dictionary.get(), key.get(), value.get());
    }
    const void *held = CFDictionaryGetValue(dictionary.get(), key.get());
    ASSERT_EQ(1, CFGetRetainCount(held));
    CFDictionarySetValue(dictionary.get(), key.get(), held);
    CFDictionaryReplaceValue(dictionary.get(), key.get(), held);
    EXPECT_EQ(1, CFGetRetainCount(held));
    EXPECT_EQ("held only by the dictionary", cf::utf8(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary.get(), key.get()))));
}

TEST_F(CFDictionaryTest, AddOnlyAddsAndReplaceOnlyReplaces) {
    auto dictionary = make_type_dictionary();
    auto key = cf::string("k");
    auto absent = cf::string("absent");
    auto first = make_number(1);
    auto second = make_number(2);
    CFDictionaryAddValue(dictionary.get(), key.get(), first.get());
    CFDictionaryAddValue(dictionary.get(), key.get(), second.get());
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), key.get()), first.get());
    EXPECT_EQ(1, CFGetRetainCount(second.get()));

    CFDictionaryReplaceValue(dictionary.get(), absent.get(), second.get());
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary.get(), absent.get()));
    CFDictionaryReplaceValue(dictionary.get(), key.get(), second.get());
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), key.get()), second.get());
    EXPECT_EQ(1, CFGetRetainCount(first.get()));
    CFDictionaryRemoveValue(dictionary.get(), absent.get());
    EXPECT_EQ(1, CFDictionaryGetCount(dictionary.get()));
}

TEST_F(CFDictionaryTest, CopyStringKeyCallBacksCopyMutableKeys) {
    auto dictionary = cf::adopt(CFDictionaryCreateMutable(
        nullptr, 0, &kCFCopyStringDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    auto key = cf::adopt(CFStringCreateMutable(nullptr, 0));
    CFStringAppendCString(key.get(), "paper", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary.get(), key.get(), make_number(4).get());
    CFStringAppendCString(key.get(), "Size", kCFStringEncodingUTF8);

    const void *stored = nullptr;
    CFDictionaryGetKeysAndValues(dictionary.get(), &stored, nullptr);
    EXPECT_NE(stored, key.get());
    EXPECT_EQ("paper", cf::utf8(static_cast<CFStringRef>(stored)));
    EXPECT_EQ(1, CFGetRetainCount(key.get()));
    EXPECT_TRUE(CFDictionaryContainsKey(dictionary.get(), cf::string("paper").get()));
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary.get(), key.get()));

    // Keys that are not strings are retained as they are.
    auto number_key = make_number(9);
    CFDictionarySetValue(dictionary.get(), number_key.get(), kCFBooleanTrue);
    EXPECT_EQ(2, CFGetRetainCount(number_key.get()));
    EXPECT_EQ(kCFBooleanTrue, CFDictionaryGetValue(dictionary.get(), make_number(9).get()));
}

TEST_F(CFDictionaryTest, CallsTheCallersOwnCallBacks) {
    char key[] = "Resolution";
    char lookup[] = "RESOLUTION";
    char value[] = "600dpi";
    char other_value[] = "1200dpi";
    {
        auto dictionary = cf::adopt(
            CFDictionaryCreateMutable(nullptr, 0, &kCountingKeyCallBacks, &kCountingValueCallBacks));
        CFDictionarySetValue(dictionary.get(), key, value);
        EXPECT_EQ(2, counts.retains);
        EXPECT_GE(counts.hashes, 1);

        EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), lookup), value);
        EXPECT_GE(counts.equals, 1);

        CFDictionarySetValue(dictionary.get(), lookup, other_value);
        EXPECT_EQ(3, counts.retains);
        EXPECT_EQ(1, counts.releases);
        const void *stored_key = nullptr;
        CFDictionaryGetKeysAndValues(dictionary.get(), &stored_key, nullptr);
        EXPECT_EQ(stored_key, key);

        const std::string description = cf::adopt_utf8(CFCopyDescription(dictionary.get()));
        EXPECT_NE(description.find("Resolution = 1200dpi"), std::string::npos) << description;
        EXPECT_EQ(2, counts.descriptions);

        auto copy = cf::adopt(CFDictionaryCreateCopy(nullptr, dictionary.get()));
        EXPECT_EQ(5, counts.retains);
        EXPECT_TRUE(CFDictionaryContainsValue(copy.get(), "1200DPI"));
    }
    EXPECT_EQ(5, counts.releases);
}

TEST_F(CFDictionaryTest, NullCallBacksUseIdentityAndRetainNothing) {
    char first[] = "same";
    char second[] = "same";
    int number = 5;
    auto cf_value = make_number(1);
    auto dictionary = cf::adopt(CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr));
    CFDictionarySetValue(dictionary.get(), first, &number);
    CFDictionarySetValue(dictionary.get(), second, nullptr);
    CFDictionarySetValue(dictionary.get(), cf_value.get(), cf_value.get());
    EXPECT_EQ(3, CFDictionaryGetCount(dictionary.get()));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), first), &number);
    EXPECT_EQ(1, CFGetRetainCount(cf_value.get()));
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary.get(), make_number(1).get()));

    // A NULL value is told apart from a missing key.
    const void *found = &number;
    EXPECT_TRUE(CFDictionaryGetValueIfPresent(dictionary.get(), second, &found));
    EXPECT_EQ(nullptr, found);
    char absent[] = "same";
    EXPECT_FALSE(CFDictionaryGetValueIfPresent(dictionary.get(), absent, &found));
    EXPECT_TRUE(CFDictionaryContainsValue(dictionary.get(), nullptr));
}

TEST_F(CFDictionaryTest, WalksPairsInInsertionOrder) {
    auto dictionary = make_type_dictionary();
    const char *names[] = {"zeta", "alpha", "mu", "beta", "omega"};
    for (SInt64 i = 0; i < 5; ++i) CFDictionarySetValue(dictionary.get(), cf::string(names[i]).get(), make_number(i).get());
    CFDictionaryRemoveValue(dictionary.get(), cf::string("mu").get());
    CFDictionarySetValue(dictionary.get(), cf::string("zeta").get(), make_number(10).get());

    const void *keys[4] = {};
    const void *values[4] = {};
    CFDictionaryGetKeysAndValues(dictionary.get(), keys, values);
    std::vector<std::string> order;
    for (const void *key : keys) order.push_back(cf::utf8(static_cast<CFStringRef>(key)));
    EXPECT_EQ(order, (std::vector<std::string>{"zeta", "alpha", "beta", "omega"}));
    EXPECT_TRUE(CFEqual(values[0], make_number(10).get()));

    std::vector<std::string> applied;
    CFDictionaryApplyFunction(
        dictionary.get(),
        [](const void *key, const void *, void *context) {
            static_cast<std::vector<std::string> *>(context)->push_back(cf::utf8(static_cast<CFStringRef>(key)));
        },
        &applied);
    EXPECT_EQ(applied, order);
    EXPECT_TRUE(CFDictionaryContainsValue(dictionary.get(), make_number(4).get()));
    EXPECT_FALSE(CFDictionaryContainsValue(dictionary.get(), make_number(2).get()));
}

TEST_F(CFDictionaryTest, CopiesKeepCallBacksAndOnlyMutableCopiesChange) {
    auto key = cf::string("k");
    auto repeated_key = cf::string("k");
    auto first_value = make_number(0);
    auto value = make_number(1);
    const void *keys[] = {key.get(), repeated_key.get()};
    const void *values[] = {first_value.get(), value.get()};
    auto dictionary = cf::adopt(CFDictionaryCreate(nullptr, keys, values, 2, &kCFTypeDictionaryKeyCallBacks,
                                                   &kCFTypeDictionaryValueCallBacks));
    // A repeated key keeps the first key object and the last value.
    ASSERT_EQ(1, CFDictionaryGetCount(dictionary.get()));
    EXPECT_EQ(CFDictionaryGetValue(dictionary.get(), key.get()), value.get());
    EXPECT_EQ(1, CFGetRetainCount(first_value.get()));
    EXPECT_EQ(1, CFGetRetainCount(repeated_key.get()));

    auto copy = cf::adopt(CFDictionaryCreateCopy(nullptr, dictionary.get()));
    EXPECT_EQ(3, CFGetRetainCount(value.get()));
    EXPECT_TRUE(CFEqual(copy.get(), dictionary.get()));
    CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(copy.get()), cf::string("x").get(), value.get());
    EXPECT_EQ(1, CFDictionaryGetCount(copy.get()));

    auto mutable_copy = cf::adopt(CFDictionaryCreateMutableCopy(nullptr, 0, dictionary.get()));
    CFDictionarySetValue(mutable_copy.get(), cf::string("x").get(), value.get());
    EXPECT_EQ(2, CFDictionaryGetCount(mutable_copy.get()));
    EXPECT_FALSE(CFEqual(mutable_copy.get(), dictionary.get()));
    EXPECT_TRUE(CFDictionaryContainsKey(mutable_copy.get(), cf::string("x").get()));

    const std::string description = cf::adopt_utf8(CFCopyDescription(mutable_copy.get()));
    EXPECT_NE(description.find("count = 2"), std::string::npos) << description;
    EXPECT_EQ(nullptr, CFDictionaryGetValue(nullptr, key.get()));
    EXPECT_EQ(nullptr, CFDictionaryCreate(nullptr, nullptr, values, 1, nullptr, nullptr));
}

class CFDataTest : public LiveObjectTest {};

TEST_F(CFDataTest, CreateCopiesTheBytes) {
    UInt8 bytes[] = {1, 2, 3, 4};
    auto data = cf::adopt(CFDataCreate(nullptr, bytes, 4));
    bytes[0] = 99;
    ASSERT_EQ(4, CFDataGetLength(data.get()));
    EXPECT_EQ(1, CFDataGetBytePtr(data.get())[0]);
    EXPECT_NE(CFDataGetBytePtr(data.get()), bytes);
    EXPECT_EQ(nullptr, CFDataGetMutableBytePtr(const_cast<CFMutableDataRef>(data.get())));

    UInt8 middle[2] = {};
    CFDataGetBytes(data.get(), CFRangeMake(1, 2), middle);
    EXPECT_EQ(2, middle[0]);
    EXPECT_EQ(3, middle[1]);
    UInt8 untouched[2] = {7, 7};
    CFDataGetBytes(data.get(), CFRangeMake(3, 2), untouched);
    EXPECT_EQ(7, untouched[0]);
}

TEST_F(CFDataTest, NoCopyBorrowsOrTakesOverTheBytes) {
    UInt8 stack_bytes[] = {5, 6};
    {
        // Freeing these would be a fault the sanitizer build reports.
        auto borrowed = cf::adopt(CFDataCreateWithBytesNoCopy(nullptr, stack_bytes, 2, kCFAllocatorNull));
        EXPECT_EQ(CFDataGetBytePtr(borrowed.get()), stack_bytes);
    }
    EXPECT_EQ(6, stack_bytes[1]);

    // Taken over with the default deallocator: the leak checker sees these freed.
    auto *heap_bytes = static_cast<UInt8 *>(std::malloc(3));
    std::memcpy(heap_bytes, "abc", 3);
    auto owned = cf::adopt(CFDataCreateWithBytesNoCopy(nullptr, heap_bytes, 3, nullptr));
    EXPECT_EQ(CFDataGetBytePtr(owned.get()), heap_bytes);
    auto *malloc_bytes = static_cast<UInt8 *>(std::malloc(1));
    auto by_malloc = cf::adopt(CFDataCreateWithBytesNoCopy(nullptr, malloc_bytes, 1, kCFAllocatorMalloc));
    EXPECT_EQ(1, CFDataGetLength(by_malloc.get()));
}

TEST_F(CFDataTest, MutableDataGrowsShrinksAndAppendsItself) {
    auto data = cf::adopt(CFDataCreateMutable(nullptr, 0));
    const UInt8 bytes[] = {0xAB, 0xCD};
    CFDataAppendBytes(data.get(), bytes, 2);
    CFDataSetLength(data.get(), 4);
    ASSERT_EQ(4, CFDataGetLength(data.get()));
    EXPECT_EQ(0, CFDataGetBytePtr(data.get())[3]);
    CFDataGetMutableBytePtr(data.get())[2] = 0xEF;
    CFDataAppendBytes(data.get(), CFDataGetBytePtr(data.get()), CFDataGetLength(data.get()));
    ASSERT_EQ(8, CFDataGetLength(data.get()));
    EXPECT_EQ(0xEF, CFDataGetBytePtr(data.get())[6]);
    CFDataSetLength(data.get(), 1);
    EXPECT_EQ(1, CFDataGetLength(data.get()));

    auto copy = cf::adopt(CFDataCreateMutableCopy(nullptr, 0, data.get()));
    EXPECT_TRUE(CFEqual(copy.get(), data.get()));
    EXPECT_EQ(CFHash(copy.get()), CFHash(data.get()));
    CFDataAppendBytes(copy.get(), bytes, 1);
    EXPECT_FALSE(CFEqual(copy.get(), data.get()));

    auto frozen = cf::adopt(CFDataCreateCopy(nullptr, copy.get()));
    CFDataAppendBytes(const_cast<CFMutableDataRef>(frozen.get()), bytes, 1);
    EXPECT_EQ(2, CFDataGetLength(frozen.get()));
    EXPECT_NE(cf::adopt_utf8(CFCopyDescription(frozen.get())).find("0xabab"), std::string::npos);
}

class CFDateTest : public LiveObjectTest {};

TEST_F(CFDateTest, KeepsItsTimeAndComparesByIt) {
    auto date = cf::adopt(CFDateCreate(nullptr, 86400.5));
    auto same = cf::adopt(CFDateCreate(nullptr, 86400.5));
    auto later = cf::adopt(CFDateCreate(nullptr, 86401));
    EXPECT_EQ(86400.5, CFDateGetAbsoluteTime(date.get()));
    EXPECT_TRUE(CFEqual(date.get(), same.get()));
    EXPECT_EQ(CFHash(date.get()), CFHash(same.get()));
    EXPECT_FALSE(CFEqual(date.get(), later.get()));
    EXPECT_EQ("2001-01-02 00:00:00 +0000", cf::adopt_utf8(CFCopyDescription(date.get())));
}

class CFErrorTest : public LiveObjectTest {};

TEST_F(CFErrorTest, RetainsTheDomainAndCopiesTheUserInfo) {
    auto domain = cf::string("com.quorven.test");
    auto info = cf::adopt(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    CFDictionarySetValue(info.get(), kCFErrorLocalizedDescriptionKey, cf::string("The tray is empty.").get());
    auto error = cf::adopt(CFErrorCreate(nullptr, domain.get(), 12, info.get()));
    EXPECT_EQ(2, CFGetRetainCount(domain.get()));
    CFDictionaryRemoveAllValues(info.get());

    EXPECT_EQ(CFErrorGetDomain(error.get()), domain.get());
    EXPECT_EQ(12, CFErrorGetCode(error.get()));
    auto copied = cf::adopt(CFErrorCopyUserInfo(error.get()));
    EXPECT_EQ(1, CFDictionaryGetCount(copied.get()));
    EXPECT_EQ("The tray is empty.", cf::adopt_utf8(CFErrorCopyDescription(error.get())));
}

TEST_F(CFErrorTest, DescriptionFallsBackToDomainAndCode) {
    auto bare = cf::adopt(CFErrorCreate(nullptr, kCFErrorDomainPOSIX, 2, nullptr));
    EXPECT_EQ("The operation couldn't be completed. (NSPOSIXErrorDomain error 2.)", cf::adopt_utf8(CFErrorCopyDescription(bare.get())));
    auto empty = cf::adopt(CFErrorCopyUserInfo(bare.get()));
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(0, CFDictionaryGetCount(empty.get()));

    const void *keys[] = {kCFErrorDescriptionKey};
    const void *values[] = {CFSTR("Plain description")};
    auto info = cf::adopt(CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                                             &kCFTypeDictionaryValueCallBacks));
    auto described = cf::adopt(CFErrorCreate(nullptr, kCFErrorDomainOSStatus, -50, info.get()));
    EXPECT_EQ("Plain description", cf::adopt_utf8(CFErrorCopyDescription(described.get())));
    EXPECT_EQ(nullptr, CFErrorCreate(nullptr, nullptr, 1, nullptr));
}

TEST_F(CFErrorTest, ConstantsCarryTheirNames) {
    EXPECT_EQ("NSPOSIXErrorDomain", cf::utf8(kCFErrorDomainPOSIX));
    EXPECT_EQ("NSOSStatusErrorDomain", cf::utf8(kCFErrorDomainOSStatus));
    EXPECT_EQ("NSCocoaErrorDomain", cf::utf8(kCFErrorDomainCocoa));
    EXPECT_EQ("NSDescription", cf::utf8(kCFErrorDescriptionKey));
    EXPECT_EQ("NSLocalizedDescription", cf::utf8(kCFErrorLocalizedDescriptionKey));
    EXPECT_EQ("NSDebugDescription", cf::utf8(kCFErrorDebugDescriptionKey));
}

}  // namespace
