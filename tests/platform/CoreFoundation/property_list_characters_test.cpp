// Characters that the XML reader must hand over unchanged, including ones that look like
// encoding marks. Found while fuzzing the readers (tests/fuzz).
#include "property_list_test_support.h"

namespace {

using plist_test::parse;
using plist_test::utf16;

TEST(PropertyListCharacters, XmlKeepsALeadingZeroWidthNoBreakSpaceInKeysAndStrings) {
    const long before = PlatformLiveCFObjectCount();
    {
        auto parsed = parse("<plist><dict><key>&#xFEFF;k</key><string>&#xFEFF;&#xFEFF;x</string>"
                            "<key>raw</key><array><string>\xEF\xBB\xBFy</string></array></dict></plist>");
        ASSERT_NE(parsed.value, nullptr);
        auto dictionary = static_cast<CFDictionaryRef>(parsed.value.get());
        ASSERT_EQ(CFDictionaryGetCount(dictionary), 2);

        plist_test::Owned key(CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(u"\uFEFFk"), 2));
        EXPECT_EQ(utf16(CFDictionaryGetValue(dictionary, key.get())), u"\uFEFF\uFEFFx");
        auto array = static_cast<CFArrayRef>(plist_test::lookup(parsed.value.get(), "raw"));
        ASSERT_NE(array, nullptr);
        EXPECT_EQ(utf16(CFArrayGetValueAtIndex(array, 0)), u"\uFEFFy");
    }
    EXPECT_EQ(PlatformLiveCFObjectCount(), before);
}

TEST(PropertyListCharacters, MutableLeavesKeepALeadingZeroWidthNoBreakSpace) {
    auto parsed = parse("<plist><string>&#xFEFF;z</string></plist>", kCFPropertyListMutableContainersAndLeaves);
    ASSERT_NE(parsed.value, nullptr);
    EXPECT_EQ(utf16(parsed.value.get()), u"\uFEFFz");
}

}  // namespace
