// XML property lists, format detection, mutability and error reports.
#include "property_list_test_support.h"

#include <cstdint>

namespace {

using namespace plist_test;

class PropertyListXml : public LeakCheckedTest {};

std::string plist(const std::string &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n" + body + "\n</plist>\n";
}

const std::string kInfoPlist = plist(R"(<dict>
  <key>CFBundleIdentifier</key><string>com.quorven.pde.jobmode</string>
  <key>CFPlugInDynamicRegistration</key><string>NO</string>
  <key>CFPlugInFactories</key>
  <dict>
    <key>0F2A5E9C-1111-11EE-8C90-0242AC120002</key><string>CreatePDEFactory</string>
  </dict>
  <key>CFPlugInTypes</key>
  <dict>
    <key>BDB091F4-E57F-11D3-B5CC-0050E4603277</key>
    <array><string>0F2A5E9C-1111-11EE-8C90-0242AC120002</string></array>
  </dict>
</dict>)");

SInt64 integer_of(CFTypeRef number) {
    SInt64 value = 0;
    EXPECT_TRUE(CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberSInt64Type, &value));
    return value;
}

TEST_F(PropertyListXml, ReadsPlugInInfoPlist) {
    Parsed parsed = parse(kInfoPlist);
    ASSERT_TRUE(parsed.value) << error_text(parsed);
    EXPECT_EQ(kCFPropertyListXMLFormat_v1_0, parsed.format);
    EXPECT_EQ("com.quorven.pde.jobmode", utf8(lookup(parsed.value.get(), "CFBundleIdentifier")));
    CFTypeRef factories = lookup(parsed.value.get(), "CFPlugInFactories");
    EXPECT_EQ("CreatePDEFactory", utf8(lookup(factories, "0F2A5E9C-1111-11EE-8C90-0242AC120002")));
    auto types = static_cast<CFArrayRef>(lookup(lookup(parsed.value.get(), "CFPlugInTypes"),
                                                "BDB091F4-E57F-11D3-B5CC-0050E4603277"));
    ASSERT_EQ(CFGetTypeID(types), CFArrayGetTypeID());
    ASSERT_EQ(1, CFArrayGetCount(types));
    EXPECT_EQ("0F2A5E9C-1111-11EE-8C90-0242AC120002", utf8(CFArrayGetValueAtIndex(types, 0)));
}

TEST_F(PropertyListXml, ReadsEveryElementType) {
    Parsed parsed = parse(plist(R"(<dict>
  <key>text</key><string> a&lt;b&amp;c&#x41;&#66; <![CDATA[<raw>]]></string>
  <key>empty</key><string/>
  <key>big</key><integer>9223372036854775807</integer>
  <key>small</key><integer>-9223372036854775808</integer>
  <key>plus</key><integer> +42 </integer>
  <key>real</key><real>-2.5E3</real>
  <key>yes</key><true/>
  <key>no</key><false/>
  <key>bytes</key><data>
    AAEC/v+A
    fw==
  </data>
  <key>leap</key><date>2024-02-29T12:34:56Z</date>
  <key>coarse</key><date>1999-12-31T23</date>
  <key>none</key><dict/>
  <key>list</key><array/>
  <key>dup</key><string>first</string>
  <key>dup</key><string>last</string>
</dict>)"));
    ASSERT_TRUE(parsed.value) << error_text(parsed);
    CFTypeRef root = parsed.value.get();
    EXPECT_EQ(u" a<b&cAB <raw>", utf16(lookup(root, "text")));
    EXPECT_EQ(u"", utf16(lookup(root, "empty")));
    EXPECT_EQ(INT64_MAX, integer_of(lookup(root, "big")));
    EXPECT_EQ(INT64_MIN, integer_of(lookup(root, "small")));
    EXPECT_EQ(42, integer_of(lookup(root, "plus")));
    double real = 0;
    ASSERT_TRUE(CFNumberIsFloatType(static_cast<CFNumberRef>(lookup(root, "real"))));
    CFNumberGetValue(static_cast<CFNumberRef>(lookup(root, "real")), kCFNumberDoubleType, &real);
    EXPECT_EQ(-2500.0, real);
    EXPECT_EQ(kCFBooleanTrue, lookup(root, "yes"));
    EXPECT_EQ(kCFBooleanFalse, lookup(root, "no"));
    auto bytes = static_cast<CFDataRef>(lookup(root, "bytes"));
    const std::vector<UInt8> expected_bytes = {0, 1, 2, 0xFE, 0xFF, 0x80, 0x7F};
    ASSERT_EQ(7, CFDataGetLength(bytes));
    EXPECT_EQ(expected_bytes, std::vector<UInt8>(CFDataGetBytePtr(bytes), CFDataGetBytePtr(bytes) + 7));
    EXPECT_EQ(730902896.0, CFDateGetAbsoluteTime(static_cast<CFDateRef>(lookup(root, "leap"))));
    EXPECT_EQ(-31626000.0, CFDateGetAbsoluteTime(static_cast<CFDateRef>(lookup(root, "coarse"))));
    EXPECT_EQ(0, CFDictionaryGetCount(static_cast<CFDictionaryRef>(lookup(root, "none"))));
    EXPECT_EQ(0, CFArrayGetCount(static_cast<CFArrayRef>(lookup(root, "list"))));
    EXPECT_EQ("last", utf8(lookup(root, "dup")));
}

TEST_F(PropertyListXml, ReadsUtf16WithByteOrderMark) {
    const std::u16string wide = u"<?xml version=\"1.0\"?>\n<plist><string>caf\u00E9</string></plist>";
    Parsed parsed = parse(utf16le_with_mark(wide));
    ASSERT_TRUE(parsed.value) << error_text(parsed);
    EXPECT_EQ(kCFPropertyListXMLFormat_v1_0, parsed.format);
    EXPECT_EQ(u"caf\u00E9", utf16(parsed.value.get()));
}

TEST_F(PropertyListXml, AcceptsBareRootElement) {
    Parsed parsed = parse("  \n<array><integer>7</integer><string>x</string></array>");
    ASSERT_FALSE(parsed.value) << "no <?xml or <plist lead-in: read as old-style text, which has no <array>";
    parsed = parse("<?xml version=\"1.0\"?><array><integer>7</integer></array>");
    ASSERT_TRUE(parsed.value) << error_text(parsed);
    EXPECT_EQ(7, integer_of(CFArrayGetValueAtIndex(static_cast<CFArrayRef>(parsed.value.get()), 0)));
}

// Whether a container or leaf accepts changes, probed by changing it.
bool dictionary_is_mutable(CFTypeRef dictionary) {
    auto target = static_cast<CFMutableDictionaryRef>(const_cast<void *>(dictionary));
    const CFIndex before = CFDictionaryGetCount(target);
    CFDictionarySetValue(target, CFSTR("probe-key"), CFSTR("probe"));
    return CFDictionaryGetCount(target) == before + 1;
}
bool array_is_mutable(CFTypeRef array) {
    auto target = static_cast<CFMutableArrayRef>(const_cast<void *>(array));
    const CFIndex before = CFArrayGetCount(target);
    CFArrayAppendValue(target, CFSTR("probe"));
    return CFArrayGetCount(target) == before + 1;
}
bool string_is_mutable(CFTypeRef string) {
    auto target = static_cast<CFMutableStringRef>(const_cast<void *>(string));
    const CFIndex before = CFStringGetLength(target);
    CFStringAppend(target, CFSTR("!"));
    return CFStringGetLength(target) == before + 1;
}
bool data_is_mutable(CFTypeRef data) {
    auto target = static_cast<CFMutableDataRef>(const_cast<void *>(data));
    const CFIndex before = CFDataGetLength(target);
    const UInt8 byte = 1;
    CFDataAppendBytes(target, &byte, 1);
    return CFDataGetLength(target) == before + 1;
}

TEST_F(PropertyListXml, HonoursMutabilityOptions) {
    const std::string document = plist("<dict><key>a</key><array><string>s</string><data>AA==</data></array></dict>");
    struct Case {
        CFOptionFlags option;
        bool containers, leaves;
    };
    for (const Case &c : {Case{kCFPropertyListImmutable, false, false},
                          Case{kCFPropertyListMutableContainers, true, false},
                          Case{kCFPropertyListMutableContainersAndLeaves, true, true}}) {
        Parsed parsed = parse(document, c.option);
        ASSERT_TRUE(parsed.value) << error_text(parsed);
        auto array = static_cast<CFArrayRef>(lookup(parsed.value.get(), "a"));
        EXPECT_EQ(string_is_mutable(CFArrayGetValueAtIndex(array, 0)), c.leaves) << c.option;
        EXPECT_EQ(data_is_mutable(CFArrayGetValueAtIndex(array, 1)), c.leaves) << c.option;
        EXPECT_EQ(array_is_mutable(array), c.containers) << c.option;
        EXPECT_EQ(dictionary_is_mutable(parsed.value.get()), c.containers) << c.option;
    }
}

TEST_F(PropertyListXml, ReportsMalformedDocumentsWithTheirLine) {
    struct Case {
        std::string document, expected;
    };
    const Case cases[] = {
        {"<plist>\n<dict>\n<key>a</key>\n<string>b</dict>\n</plist>", "mismatch: string line 4 and dict) on line 4"},
        {"<plist>\n<dict>\n<string>a</string>\n<string>b</string>\n</dict></plist>", "not a string (found <string>) on line 3"},
        {"<plist>\n<integer>9223372036854775808</integer></plist>", "Integer out of range on line 2"},
        {"<plist>\n\n<integer>12a</integer></plist>", "line 3"},
        {"<plist><dict>\n<key>k</key>\n<data>AB$C</data></dict></plist>", "Base64 data on line 3"},
        {"<plist>\n<data>A</data></plist>", "line 2"},
        {"<plist>\n<date>2023-02-29T00:00:00Z</date></plist>", "line 2"},
        {"<plist>\n<real>1.5x</real></plist>", "line 2"},
        {"<plist>\n<dict><key>k</key>\n<colour/></dict></plist>", "Unknown element <colour> on line 3"},
        {"<plist><dict>\n<key>k</key></dict></plist>", "without a value on line 2"},
        {"<plist>\n<true/>\n<false/></plist>", "More than one object in <plist> on line 3"},
        {"<plist>\n</plist>", "Empty <plist> on line 1"},
        {"<plist><array>\nloose</array></plist>", "Unexpected text inside <array> on line 2"},
        {"<plist>\n<true>yes</true></plist>", "line 2"},
        {"<?xml version=\"1.0\"?>\n", "line"},
// This layer's choice: binary property lists are refused (the system reads them).
        {"bplist00\x01\x02", "Binary property lists are not supported on line 1"},
        {"<!DOCTYPE plist [<!ENTITY secret SYSTEM \"file:///etc/hostname\">]>\n<plist>\n<string>&secret;</string></plist>",
         "Unsupported entity reference '&secret;' on line 3"},
        // libxml2 quotes the input around the fault and may cut a UTF-8 sequence in two: the
        // description keeps the stray bytes as \xNN instead of being lost.
        {"<!--mae Detail\" =00e9\\U20AC\";\n// a line comment\nbarea\xEF\xBB\xBF,\n", "barea\\xEF) on line 4"},
    };
    for (const Case &c : cases) {
        Parsed parsed = parse(c.document);
        EXPECT_FALSE(parsed.value) << c.document;
        EXPECT_NE(error_text(parsed).find(c.expected), std::string::npos)
            << c.document << " gave: " << error_text(parsed);
    }
}

TEST_F(PropertyListXml, OlderFormReportsErrorString) {
    auto bad = cf::adopt(CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>("<plist>\n<string></plist>"), 24));
    CFStringRef message = nullptr;
    EXPECT_EQ(nullptr, CFPropertyListCreateFromXMLData(nullptr, bad.get(), 0, &message));
    auto held = cf::adopt(message);
    EXPECT_NE(utf8(message).find("line 2"), std::string::npos) << utf8(message);

    auto good = cf::adopt(CFDataCreate(nullptr, reinterpret_cast<const UInt8 *>(kInfoPlist.data()), static_cast<CFIndex>(kInfoPlist.size())));
    message = nullptr;
    auto root = cf::adopt(CFPropertyListCreateFromXMLData(nullptr, good.get(), kCFPropertyListMutableContainers, &message));
    EXPECT_EQ(nullptr, message);
    EXPECT_TRUE(dictionary_is_mutable(root.get()));
}

TEST_F(PropertyListXml, RejectsMissingDataAndDeepNesting) {
    CFErrorRef error = nullptr;
    EXPECT_EQ(nullptr, CFPropertyListCreateWithData(nullptr, nullptr, 0, nullptr, &error));
    ASSERT_NE(error, nullptr);
    CFRelease(error);
    EXPECT_EQ(nullptr, CFPropertyListCreateWithData(nullptr, nullptr, 0, nullptr, nullptr));

    std::string deep;
    for (int i = 0; i < 2000; ++i) deep += "<array>";
    Parsed parsed = parse(plist(deep));
    EXPECT_FALSE(parsed.value);
    EXPECT_NE(error_text(parsed).find("line"), std::string::npos);
}

TEST_F(PropertyListXml, EveryTruncationReturnsCleanly) {
    expect_every_prefix_handled(kInfoPlist);
    expect_every_prefix_handled(plist("<array><data>AAEC</data><date>2001-01-01T00:00:00Z</date><real>1</real>"
                                      "<integer>-3</integer><true/><string>&amp;</string></array>"));
}

TEST_F(PropertyListXml, GarbageBytesFailCleanly) {
    std::uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        std::string bytes = round % 2 ? "<?xml" : "";
        for (int i = 0; i < 64; ++i) {
            seed = seed * 1664525u + 1013904223u;
            bytes.push_back(static_cast<char>(seed >> 24));
        }
        Parsed parsed = parse(bytes);
        if (!parsed.value) {
            EXPECT_NE(error_text(parsed).find(" line "), std::string::npos);
        }
    }
}

}  // namespace
