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
        Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
        CFArrayAppendValue(array, first);
        EXPECT_EQ(CFGetRetainCount(first), 2);
        CFArrayInsertValueAtIndex(array, 0, first);
        EXPECT_EQ(CFGetRetainCount(first), 3);
        CFArrayAppendValue(array, second);
        EXPECT_EQ(CFArrayGetCount(array), 3);

        CFArrayRemoveValueAtIndex(array, 0);
        EXPECT_EQ(CFGetRetainCount(first), 2);

        // Replacing releases the old value and retains the new one.
        CFArraySetValueAtIndex(array, 0, second);
        EXPECT_EQ(CFGetRetainCount(first), 1);
        EXPECT_EQ(CFGetRetainCount(second), 3);
        EXPECT_EQ(CFArrayGetValueAtIndex(array, 0), second.get());
    }
    EXPECT_EQ(CFGetRetainCount(second), 1);
}

TEST_F(CFArrayTest, SettingAValueOverItselfKeepsItAlive) {
    Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    {
        auto value = make_string("only held by the array");
        CFArrayAppendValue(array, value);
    }
    const void *held = CFArrayGetValueAtIndex(array, 0);
    ASSERT_EQ(CFGetRetainCount(held), 1);
    CFArraySetValueAtIndex(array, 0, held);
    EXPECT_EQ(CFGetRetainCount(held), 1);
    EXPECT_EQ(text_of(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, 0))), "only held by the array");
}

TEST_F(CFArrayTest, CreateAndCopiesRetainThroughTheSourcesCallBacks) {
    auto value = make_number(5);
    const void *values[] = {value.get(), value.get()};
    Owned<CFArrayRef> array(CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks));
    EXPECT_EQ(CFGetRetainCount(value), 3);
    {
        Owned<CFArrayRef> copy(CFArrayCreateCopy(nullptr, array));
        EXPECT_EQ(CFGetRetainCount(value), 5);
        EXPECT_TRUE(CFEqual(copy, array));
        Owned<CFMutableArrayRef> mutable_copy(CFArrayCreateMutableCopy(nullptr, 0, array));
        CFArrayAppendValue(mutable_copy, value);
        EXPECT_EQ(CFGetRetainCount(value), 8);
        EXPECT_FALSE(CFEqual(mutable_copy, array));
    }
    EXPECT_EQ(CFGetRetainCount(value), 3);
}

TEST_F(CFArrayTest, CallsTheCallersOwnCallBacks) {
    char apple[] = "apple";
    char pear[] = "pear";
    char shouted_pear[] = "PEAR";
    {
        Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCountingArrayCallBacks));
        CFArrayAppendValue(array, apple);
        CFArrayAppendValue(array, pear);
        EXPECT_EQ(counts.retains, 2);
        EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 2), shouted_pear), 1);
        EXPECT_GE(counts.equals, 1);
        EXPECT_EQ(CFArrayGetCountOfValue(array, CFRangeMake(0, 2), shouted_pear), 1);

        const std::string description = take_text(CFCopyDescription(array));
        EXPECT_EQ(counts.descriptions, 2);
        EXPECT_NE(description.find("apple"), std::string::npos) << description;
        EXPECT_NE(description.find("pear"), std::string::npos) << description;

        // The copy keeps the callbacks: it retains and compares the same way.
        Owned<CFArrayRef> copy(CFArrayCreateCopy(nullptr, array));
        EXPECT_EQ(counts.retains, 4);
        EXPECT_TRUE(CFArrayContainsValue(copy, CFRangeMake(0, 2), shouted_pear));

        CFArrayRemoveValueAtIndex(array, 0);
        EXPECT_EQ(counts.releases, 1);
    }
    EXPECT_EQ(counts.releases, 4);
}

TEST_F(CFArrayTest, ToleratesCallBackStructsWithEmptySlots) {
    const CFArrayCallBacks only_equal = {0, nullptr, nullptr, nullptr, counting_equal};
    char word[] = "word";
    char other[] = "WORD";
    Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &only_equal));
    CFArrayAppendValue(array, word);
    CFArraySetValueAtIndex(array, 0, word);
    EXPECT_TRUE(CFArrayContainsValue(array, CFRangeMake(0, 1), other));
    EXPECT_NE(take_text(CFCopyDescription(array)).find("count = 1"), std::string::npos);
    CFArrayRemoveAllValues(array);
    EXPECT_EQ(CFArrayGetCount(array), 0);
    EXPECT_EQ(counts.retains + counts.releases, 0);
}

TEST_F(CFArrayTest, NullCallBacksStoreRawPointersComparedByIdentity) {
    int raw = 7;
    auto number = make_number(3);
    auto equal_number = make_number(3);
    Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, nullptr));
    CFArrayAppendValue(array, &raw);
    CFArrayAppendValue(array, number);
    CFArrayAppendValue(array, nullptr);
    EXPECT_EQ(CFGetRetainCount(number), 1);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 0), &raw);
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), number), 1);
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), equal_number), kCFNotFound);
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 3), nullptr), 2);
    CFArrayRemoveAllValues(array);
    EXPECT_EQ(CFGetRetainCount(number), 1);
}

TEST_F(CFArrayTest, OutOfRangeIndexesAndRangesDoNothing) {
    auto a = make_number(1);
    auto b = make_number(2);
    Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array, a);
    CFArrayAppendValue(array, b);

    EXPECT_EQ(CFArrayGetValueAtIndex(array, -1), nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 2), nullptr);
    CFArrayInsertValueAtIndex(array, 3, a);
    CFArrayInsertValueAtIndex(array, -1, a);
    CFArraySetValueAtIndex(array, 5, a);
    CFArrayRemoveValueAtIndex(array, 2);
    CFArrayRemoveValueAtIndex(array, -1);
    EXPECT_EQ(CFArrayGetCount(array), 2);
    EXPECT_EQ(CFGetRetainCount(a), 2);

    const void *untouched[3] = {&untouched, &untouched, &untouched};
    CFArrayGetValues(array, CFRangeMake(1, 2), untouched);
    CFArrayGetValues(array, CFRangeMake(-1, 1), untouched);
    EXPECT_EQ(untouched[0], &untouched);
    EXPECT_FALSE(CFArrayContainsValue(array, CFRangeMake(0, 3), a));
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(2, 1), a), kCFNotFound);
    EXPECT_EQ(CFArrayGetCountOfValue(array, CFRangeMake(0, -1), a), 0);
    CFArrayAppendArray(array, array, CFRangeMake(1, 5));
    EXPECT_EQ(CFArrayGetCount(array), 2);

    // A range ending exactly at the count is fine; so is an empty one there.
    const void *values[2] = {};
    CFArrayGetValues(array, CFRangeMake(0, 2), values);
    EXPECT_EQ(values[1], b.get());
    EXPECT_FALSE(CFArrayContainsValue(array, CFRangeMake(2, 0), a));
    EXPECT_FALSE(CFArrayContainsValue(array, CFRangeMake(1, 1), a));

    // Setting at the count appends.
    CFArraySetValueAtIndex(array, 2, a);
    EXPECT_EQ(CFArrayGetCount(array), 3);
    EXPECT_EQ(CFArrayGetValueAtIndex(nullptr, 0), nullptr);
    EXPECT_EQ(CFArrayGetCount(nullptr), 0);
}

TEST_F(CFArrayTest, InsertsAppendsArraysAndApplies) {
    auto one = make_number(1);
    auto two = make_number(2);
    auto three = make_number(3);
    Owned<CFMutableArrayRef> array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array, one);
    CFArrayAppendValue(array, three);
    CFArrayInsertValueAtIndex(array, 1, two);
    CFArrayAppendArray(array, array, CFRangeMake(0, 3));
    ASSERT_EQ(CFArrayGetCount(array), 6);
    EXPECT_EQ(CFGetRetainCount(two), 3);
    EXPECT_EQ(CFArrayGetValueAtIndex(array, 4), two.get());
    EXPECT_EQ(CFArrayGetCountOfValue(array, CFRangeMake(0, 6), make_number(3)), 2);
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array, CFRangeMake(3, 3), one), 3);

    SInt64 sum = 0;
    CFArrayApplyFunction(
        array, CFRangeMake(1, 2),
        [](const void *value, void *context) {
            SInt64 number = 0;
            CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt64Type, &number);
            *static_cast<SInt64 *>(context) += number;
        },
        &sum);
    EXPECT_EQ(sum, 5);
}

TEST_F(CFArrayTest, ImmutableArraysRefuseChanges) {
    auto value = make_number(1);
    const void *values[] = {value.get()};
    Owned<CFArrayRef> array(CFArrayCreate(nullptr, values, 1, &kCFTypeArrayCallBacks));
    auto *as_mutable = const_cast<CFMutableArrayRef>(array.get());
    CFArrayAppendValue(as_mutable, value);
    CFArrayRemoveValueAtIndex(as_mutable, 0);
    CFArrayRemoveAllValues(as_mutable);
    EXPECT_EQ(CFArrayGetCount(array), 1);
    EXPECT_EQ(CFGetRetainCount(value), 2);
    EXPECT_EQ(CFArrayCreate(nullptr, nullptr, 1, &kCFTypeArrayCallBacks), nullptr);
}

TEST_F(CFArrayTest, DescriptionListsTheValues) {
    auto first = make_string("first value");
    auto second = make_number(12345);
    const void *values[] = {first.get(), second.get()};
    Owned<CFArrayRef> array(CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks));
    const std::string description = take_text(CFCopyDescription(array));
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

    static Owned<CFMutableDictionaryRef> make_type_dictionary() {
        return Owned<CFMutableDictionaryRef>(CFDictionaryCreateMutable(
            nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    }
};

TEST_F(CFDictionaryTest, TypeCallBacksRetainKeysAndValuesUntilRemovedOrDestroyed) {
    auto key = make_string("key");
    auto value = make_number(1);
    auto replacement = make_number(2);
    {
        auto dictionary = make_type_dictionary();
        CFDictionarySetValue(dictionary, key, value);
        EXPECT_EQ(CFGetRetainCount(key), 2);
        EXPECT_EQ(CFGetRetainCount(value), 2);

        CFDictionarySetValue(dictionary, key, replacement);
        EXPECT_EQ(CFGetRetainCount(value), 1);
        EXPECT_EQ(CFGetRetainCount(replacement), 2);
        EXPECT_EQ(CFGetRetainCount(key), 2);

        CFDictionaryRemoveValue(dictionary, key);
        EXPECT_EQ(CFGetRetainCount(key), 1);
        EXPECT_EQ(CFGetRetainCount(replacement), 1);
        EXPECT_EQ(CFDictionaryGetCount(dictionary), 0);

        CFDictionarySetValue(dictionary, key, value);
        CFDictionaryAddValue(dictionary, replacement, replacement);
        CFDictionaryRemoveAllValues(dictionary);
        EXPECT_EQ(CFGetRetainCount(key), 1);
        EXPECT_EQ(CFGetRetainCount(replacement), 1);

        CFDictionarySetValue(dictionary, key, value);
        EXPECT_EQ(CFGetRetainCount(value), 2);
    }
    EXPECT_EQ(CFGetRetainCount(key), 1);
    EXPECT_EQ(CFGetRetainCount(value), 1);
}

TEST_F(CFDictionaryTest, ReplacingKeepsTheOriginalKeyObject) {
    auto original = make_string("name");
    auto equal_key = make_string("name");
    auto dictionary = make_type_dictionary();
    CFDictionarySetValue(dictionary, original, make_number(1));
    CFDictionarySetValue(dictionary, equal_key, make_number(2));
    ASSERT_EQ(CFDictionaryGetCount(dictionary), 1);
    const void *key = nullptr;
    const void *value = nullptr;
    CFDictionaryGetKeysAndValues(dictionary, &key, &value);
    EXPECT_EQ(key, original.get());
    EXPECT_TRUE(CFEqual(value, make_number(2)));
    EXPECT_EQ(CFGetRetainCount(equal_key), 1);
}

TEST_F(CFDictionaryTest, SettingTheSameValueAgainDoesNotFreeIt) {
    auto dictionary = make_type_dictionary();
    auto key = make_string("k");
    {
        auto value = make_string("held only by the dictionary");
        CFDictionarySetValue(dictionary, key, value);
    }
    const void *held = CFDictionaryGetValue(dictionary, key);
    ASSERT_EQ(CFGetRetainCount(held), 1);
    CFDictionarySetValue(dictionary, key, held);
    CFDictionaryReplaceValue(dictionary, key, held);
    EXPECT_EQ(CFGetRetainCount(held), 1);
    EXPECT_EQ(text_of(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary, key))), "held only by the dictionary");
}

TEST_F(CFDictionaryTest, AddOnlyAddsAndReplaceOnlyReplaces) {
    auto dictionary = make_type_dictionary();
    auto key = make_string("k");
    auto absent = make_string("absent");
    auto first = make_number(1);
    auto second = make_number(2);
    CFDictionaryAddValue(dictionary, key, first);
    CFDictionaryAddValue(dictionary, key, second);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), first.get());
    EXPECT_EQ(CFGetRetainCount(second), 1);

    CFDictionaryReplaceValue(dictionary, absent, second);
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary, absent));
    CFDictionaryReplaceValue(dictionary, key, second);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), second.get());
    EXPECT_EQ(CFGetRetainCount(first), 1);
    CFDictionaryRemoveValue(dictionary, absent);
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
}

TEST_F(CFDictionaryTest, CopyStringKeyCallBacksCopyMutableKeys) {
    Owned<CFMutableDictionaryRef> dictionary(CFDictionaryCreateMutable(
        nullptr, 0, &kCFCopyStringDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    Owned<CFMutableStringRef> key(CFStringCreateMutable(nullptr, 0));
    CFStringAppendCString(key, "paper", kCFStringEncodingUTF8);
    CFDictionarySetValue(dictionary, key, make_number(4));
    CFStringAppendCString(key, "Size", kCFStringEncodingUTF8);

    const void *stored = nullptr;
    CFDictionaryGetKeysAndValues(dictionary, &stored, nullptr);
    EXPECT_NE(stored, key.get());
    EXPECT_EQ(text_of(static_cast<CFStringRef>(stored)), "paper");
    EXPECT_EQ(CFGetRetainCount(key), 1);
    EXPECT_TRUE(CFDictionaryContainsKey(dictionary, make_string("paper")));
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary, key));

    // Keys that are not strings are retained as they are.
    auto number_key = make_number(9);
    CFDictionarySetValue(dictionary, number_key, kCFBooleanTrue);
    EXPECT_EQ(CFGetRetainCount(number_key), 2);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, make_number(9)), kCFBooleanTrue);
}

TEST_F(CFDictionaryTest, CallsTheCallersOwnCallBacks) {
    char key[] = "Resolution";
    char lookup[] = "RESOLUTION";
    char value[] = "600dpi";
    char other_value[] = "1200dpi";
    {
        Owned<CFMutableDictionaryRef> dictionary(
            CFDictionaryCreateMutable(nullptr, 0, &kCountingKeyCallBacks, &kCountingValueCallBacks));
        CFDictionarySetValue(dictionary, key, value);
        EXPECT_EQ(counts.retains, 2);
        EXPECT_GE(counts.hashes, 1);

        EXPECT_EQ(CFDictionaryGetValue(dictionary, lookup), value);
        EXPECT_GE(counts.equals, 1);

        CFDictionarySetValue(dictionary, lookup, other_value);
        EXPECT_EQ(counts.retains, 3);
        EXPECT_EQ(counts.releases, 1);
        const void *stored_key = nullptr;
        CFDictionaryGetKeysAndValues(dictionary, &stored_key, nullptr);
        EXPECT_EQ(stored_key, key);

        const std::string description = take_text(CFCopyDescription(dictionary));
        EXPECT_NE(description.find("Resolution = 1200dpi"), std::string::npos) << description;
        EXPECT_EQ(counts.descriptions, 2);

        Owned<CFDictionaryRef> copy(CFDictionaryCreateCopy(nullptr, dictionary));
        EXPECT_EQ(counts.retains, 5);
        EXPECT_TRUE(CFDictionaryContainsValue(copy, "1200DPI"));
    }
    EXPECT_EQ(counts.releases, 5);
}

TEST_F(CFDictionaryTest, NullCallBacksUseIdentityAndRetainNothing) {
    char first[] = "same";
    char second[] = "same";
    int number = 5;
    auto cf_value = make_number(1);
    Owned<CFMutableDictionaryRef> dictionary(CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr));
    CFDictionarySetValue(dictionary, first, &number);
    CFDictionarySetValue(dictionary, second, nullptr);
    CFDictionarySetValue(dictionary, cf_value, cf_value);
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 3);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, first), &number);
    EXPECT_EQ(CFGetRetainCount(cf_value), 1);
    EXPECT_FALSE(CFDictionaryContainsKey(dictionary, make_number(1)));

    // A NULL value is told apart from a missing key.
    const void *found = &number;
    EXPECT_TRUE(CFDictionaryGetValueIfPresent(dictionary, second, &found));
    EXPECT_EQ(found, nullptr);
    char absent[] = "same";
    EXPECT_FALSE(CFDictionaryGetValueIfPresent(dictionary, absent, &found));
    EXPECT_TRUE(CFDictionaryContainsValue(dictionary, nullptr));
}

TEST_F(CFDictionaryTest, WalksPairsInInsertionOrder) {
    auto dictionary = make_type_dictionary();
    const char *names[] = {"zeta", "alpha", "mu", "beta", "omega"};
    for (SInt64 i = 0; i < 5; ++i) CFDictionarySetValue(dictionary, make_string(names[i]), make_number(i));
    CFDictionaryRemoveValue(dictionary, make_string("mu"));
    CFDictionarySetValue(dictionary, make_string("zeta"), make_number(10));

    const void *keys[4] = {};
    const void *values[4] = {};
    CFDictionaryGetKeysAndValues(dictionary, keys, values);
    std::vector<std::string> order;
    for (const void *key : keys) order.push_back(text_of(static_cast<CFStringRef>(key)));
    EXPECT_EQ(order, (std::vector<std::string>{"zeta", "alpha", "beta", "omega"}));
    EXPECT_TRUE(CFEqual(values[0], make_number(10)));

    std::vector<std::string> applied;
    CFDictionaryApplyFunction(
        dictionary,
        [](const void *key, const void *, void *context) {
            static_cast<std::vector<std::string> *>(context)->push_back(text_of(static_cast<CFStringRef>(key)));
        },
        &applied);
    EXPECT_EQ(applied, order);
    EXPECT_TRUE(CFDictionaryContainsValue(dictionary, make_number(4)));
    EXPECT_FALSE(CFDictionaryContainsValue(dictionary, make_number(2)));
}

TEST_F(CFDictionaryTest, CopiesKeepCallBacksAndOnlyMutableCopiesChange) {
    auto key = make_string("k");
    auto repeated_key = make_string("k");
    auto first_value = make_number(0);
    auto value = make_number(1);
    const void *keys[] = {key.get(), repeated_key.get()};
    const void *values[] = {first_value.get(), value.get()};
    Owned<CFDictionaryRef> dictionary(CFDictionaryCreate(nullptr, keys, values, 2, &kCFTypeDictionaryKeyCallBacks,
                                                         &kCFTypeDictionaryValueCallBacks));
    // A repeated key keeps the first key object and the last value.
    ASSERT_EQ(CFDictionaryGetCount(dictionary), 1);
    EXPECT_EQ(CFDictionaryGetValue(dictionary, key), value.get());
    EXPECT_EQ(CFGetRetainCount(first_value), 1);
    EXPECT_EQ(CFGetRetainCount(repeated_key), 1);

    Owned<CFDictionaryRef> copy(CFDictionaryCreateCopy(nullptr, dictionary));
    EXPECT_EQ(CFGetRetainCount(value), 3);
    EXPECT_TRUE(CFEqual(copy, dictionary));
    CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(copy.get()), make_string("x"), value);
    EXPECT_EQ(CFDictionaryGetCount(copy), 1);

    Owned<CFMutableDictionaryRef> mutable_copy(CFDictionaryCreateMutableCopy(nullptr, 0, dictionary));
    CFDictionarySetValue(mutable_copy, make_string("x"), value);
    EXPECT_EQ(CFDictionaryGetCount(mutable_copy), 2);
    EXPECT_FALSE(CFEqual(mutable_copy, dictionary));
    EXPECT_TRUE(CFDictionaryContainsKey(mutable_copy, make_string("x")));

    const std::string description = take_text(CFCopyDescription(mutable_copy));
    EXPECT_NE(description.find("count = 2"), std::string::npos) << description;
    EXPECT_EQ(CFDictionaryGetValue(nullptr, key), nullptr);
    EXPECT_EQ(CFDictionaryCreate(nullptr, nullptr, values, 1, nullptr, nullptr), nullptr);
}

class CFDataTest : public LiveObjectTest {};

TEST_F(CFDataTest, CreateCopiesTheBytes) {
    UInt8 bytes[] = {1, 2, 3, 4};
    Owned<CFDataRef> data(CFDataCreate(nullptr, bytes, 4));
    bytes[0] = 99;
    ASSERT_EQ(CFDataGetLength(data), 4);
    EXPECT_EQ(CFDataGetBytePtr(data)[0], 1);
    EXPECT_NE(CFDataGetBytePtr(data), bytes);
    EXPECT_EQ(CFDataGetMutableBytePtr(const_cast<CFMutableDataRef>(data.get())), nullptr);

    UInt8 middle[2] = {};
    CFDataGetBytes(data, CFRangeMake(1, 2), middle);
    EXPECT_EQ(middle[0], 2);
    EXPECT_EQ(middle[1], 3);
    UInt8 untouched[2] = {7, 7};
    CFDataGetBytes(data, CFRangeMake(3, 2), untouched);
    EXPECT_EQ(untouched[0], 7);
}

TEST_F(CFDataTest, NoCopyBorrowsOrTakesOverTheBytes) {
    UInt8 stack_bytes[] = {5, 6};
    {
        // Freeing these would be a fault the sanitizer build reports.
        Owned<CFDataRef> borrowed(CFDataCreateWithBytesNoCopy(nullptr, stack_bytes, 2, kCFAllocatorNull));
        EXPECT_EQ(CFDataGetBytePtr(borrowed), stack_bytes);
    }
    EXPECT_EQ(stack_bytes[1], 6);

    // Taken over with the default deallocator: the leak checker sees these freed.
    auto *heap_bytes = static_cast<UInt8 *>(std::malloc(3));
    std::memcpy(heap_bytes, "abc", 3);
    Owned<CFDataRef> owned(CFDataCreateWithBytesNoCopy(nullptr, heap_bytes, 3, nullptr));
    EXPECT_EQ(CFDataGetBytePtr(owned), heap_bytes);
    auto *malloc_bytes = static_cast<UInt8 *>(std::malloc(1));
    Owned<CFDataRef> by_malloc(CFDataCreateWithBytesNoCopy(nullptr, malloc_bytes, 1, kCFAllocatorMalloc));
    EXPECT_EQ(CFDataGetLength(by_malloc), 1);
}

TEST_F(CFDataTest, MutableDataGrowsShrinksAndAppendsItself) {
    Owned<CFMutableDataRef> data(CFDataCreateMutable(nullptr, 0));
    const UInt8 bytes[] = {0xAB, 0xCD};
    CFDataAppendBytes(data, bytes, 2);
    CFDataSetLength(data, 4);
    ASSERT_EQ(CFDataGetLength(data), 4);
    EXPECT_EQ(CFDataGetBytePtr(data)[3], 0);
    CFDataGetMutableBytePtr(data)[2] = 0xEF;
    CFDataAppendBytes(data, CFDataGetBytePtr(data), CFDataGetLength(data));
    ASSERT_EQ(CFDataGetLength(data), 8);
    EXPECT_EQ(CFDataGetBytePtr(data)[6], 0xEF);
    CFDataSetLength(data, 1);
    EXPECT_EQ(CFDataGetLength(data), 1);

    Owned<CFMutableDataRef> copy(CFDataCreateMutableCopy(nullptr, 0, data));
    EXPECT_TRUE(CFEqual(copy, data));
    EXPECT_EQ(CFHash(copy), CFHash(data));
    CFDataAppendBytes(copy, bytes, 1);
    EXPECT_FALSE(CFEqual(copy, data));

    Owned<CFDataRef> frozen(CFDataCreateCopy(nullptr, copy));
    CFDataAppendBytes(const_cast<CFMutableDataRef>(frozen.get()), bytes, 1);
    EXPECT_EQ(CFDataGetLength(frozen), 2);
    EXPECT_NE(take_text(CFCopyDescription(frozen)).find("0xabab"), std::string::npos);
}

class CFDateTest : public LiveObjectTest {};

TEST_F(CFDateTest, KeepsItsTimeAndComparesByIt) {
    Owned<CFDateRef> date(CFDateCreate(nullptr, 86400.5));
    Owned<CFDateRef> same(CFDateCreate(nullptr, 86400.5));
    Owned<CFDateRef> later(CFDateCreate(nullptr, 86401));
    EXPECT_EQ(CFDateGetAbsoluteTime(date), 86400.5);
    EXPECT_TRUE(CFEqual(date, same));
    EXPECT_EQ(CFHash(date), CFHash(same));
    EXPECT_FALSE(CFEqual(date, later));
    EXPECT_EQ(take_text(CFCopyDescription(date)), "2001-01-02 00:00:00 +0000");
}

class CFErrorTest : public LiveObjectTest {};

TEST_F(CFErrorTest, RetainsTheDomainAndCopiesTheUserInfo) {
    auto domain = make_string("com.quorven.test");
    auto info = Owned<CFMutableDictionaryRef>(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    CFDictionarySetValue(info, kCFErrorLocalizedDescriptionKey, make_string("The tray is empty."));
    Owned<CFErrorRef> error(CFErrorCreate(nullptr, domain, 12, info));
    EXPECT_EQ(CFGetRetainCount(domain), 2);
    CFDictionaryRemoveAllValues(info);

    EXPECT_EQ(CFErrorGetDomain(error), domain.get());
    EXPECT_EQ(CFErrorGetCode(error), 12);
    Owned<CFDictionaryRef> copied(CFErrorCopyUserInfo(error));
    EXPECT_EQ(CFDictionaryGetCount(copied), 1);
    EXPECT_EQ(take_text(CFErrorCopyDescription(error)), "The tray is empty.");
}

TEST_F(CFErrorTest, DescriptionFallsBackToDomainAndCode) {
    Owned<CFErrorRef> bare(CFErrorCreate(nullptr, kCFErrorDomainPOSIX, 2, nullptr));
    EXPECT_EQ(take_text(CFErrorCopyDescription(bare)), "The operation couldn't be completed. (NSPOSIXErrorDomain error 2.)");
    Owned<CFDictionaryRef> empty(CFErrorCopyUserInfo(bare));
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(CFDictionaryGetCount(empty), 0);

    const void *keys[] = {kCFErrorDescriptionKey};
    const void *values[] = {CFSTR("Plain description")};
    Owned<CFDictionaryRef> info(CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                                                   &kCFTypeDictionaryValueCallBacks));
    Owned<CFErrorRef> described(CFErrorCreate(nullptr, kCFErrorDomainOSStatus, -50, info));
    EXPECT_EQ(take_text(CFErrorCopyDescription(described)), "Plain description");
    EXPECT_EQ(CFErrorCreate(nullptr, nullptr, 1, nullptr), nullptr);
}

TEST_F(CFErrorTest, ConstantsCarryTheirNames) {
    EXPECT_EQ(text_of(kCFErrorDomainPOSIX), "NSPOSIXErrorDomain");
    EXPECT_EQ(text_of(kCFErrorDomainOSStatus), "NSOSStatusErrorDomain");
    EXPECT_EQ(text_of(kCFErrorDomainCocoa), "NSCocoaErrorDomain");
    EXPECT_EQ(text_of(kCFErrorDescriptionKey), "NSDescription");
    EXPECT_EQ(text_of(kCFErrorLocalizedDescriptionKey), "NSLocalizedDescription");
    EXPECT_EQ(text_of(kCFErrorDebugDescriptionKey), "NSDebugDescription");
}

}  // namespace
