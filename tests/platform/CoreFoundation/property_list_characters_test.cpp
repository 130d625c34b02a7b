// Characters that the XML reader must hand over unchanged, including ones that look like
// encoding marks. Found while fuzzing the readers (tests/fuzz).
#include "property_list_test_support.h"

namespace {

using plist_test::parse;
using plist_test::utf16;

class PropertyListCharacters : public plist_test::LeakCheckedTest {};

TEST_F(PropertyListCharacters, XmlKeepsALeadingZeroWidthNoBreakSpaceInKeysAndStrings) {
    auto parsed = parse("<plist><dict><key>&#xFEFF;k</key><string>&#xFEFF;&#xFEFF;x</string>"
                            "<key>raw</key><array><string>\xEF\xBB\xBFy</string></array></dict></plist>");
    ASSERT_NE(nullptr, parsed.value.get());
    auto dictionary = static_cast<CFDictionaryRef>(parsed.value.get());
    ASSERT_EQ(2, CFDictionaryGetCount(dictionary));

    auto key = cf::adopt(CFStringCreateWithCharacters(nullptr, reinterpret_cast<const UniChar *>(u"\uFEFFk"), 2));
    EXPECT_EQ(u"\uFEFF\uFEFFx", utf16(CFDictionaryGetValue(dictionary, key.get())));
    auto array = static_cast<CFArrayRef>(plist_test::lookup(parsed.value.get(), "raw"));
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(u"\uFEFFy", utf16(CFArrayGetValueAtIndex(array, 0)));
}

TEST_F(PropertyListCharacters, MutableLeavesKeepALeadingZeroWidthNoBreakSpace) {
    auto parsed = parse("<plist><string>&#xFEFF;z</string></plist>", kCFPropertyListMutableContainersAndLeaves);
    ASSERT_NE(nullptr, parsed.value.get());
    EXPECT_EQ(u"\uFEFFz", utf16(parsed.value.get()));
}

}  // namespace
