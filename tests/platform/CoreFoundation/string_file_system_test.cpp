// File names as strings: bytes that are not UTF-8 survive the round trip through a CFString.
#include <CoreFoundation/CoreFoundation.h>
#include <platform/cf_ref.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FileName {
    const char *what;
    std::string bytes;
    CFIndex characters;  // the string's length
};

TEST(StringFileSystemRepresentation, EveryFileNameComesBackByteForByte) {
    const FileName cases[] = {
        {"ASCII", "/tmp/printer.ppd", 16},
        {"UTF-8", "/tmp/caf\xC3\xA9.ppd", 13},
        {"a character beyond the BMP", "/x/\xF0\x9F\x96\xA8", 5},
        {"a Latin-1 byte", "/tmp/caf\xE9.ppd", 13},
        {"a sequence cut short", "a\xC3", 2},
        {"an encoded surrogate", "\xED\xA0\x80", 3},
        {"an overlong slash", "\xC0\xAF", 2},
    };
    for (const FileName &name : cases) {
        SCOPED_TRACE(name.what);
        auto string = cf::adopt(CFStringCreateWithFileSystemRepresentation(nullptr, name.bytes.c_str()));
        ASSERT_TRUE(string);
        EXPECT_EQ(CFStringGetLength(string.get()), name.characters);
        std::vector<char> buffer(static_cast<size_t>(CFStringGetMaximumSizeOfFileSystemRepresentation(string.get())));
        ASSERT_TRUE(CFStringGetFileSystemRepresentation(string.get(), buffer.data(), static_cast<CFIndex>(buffer.size())));
        EXPECT_EQ(std::string(buffer.data()), name.bytes);
        char tooSmall[2];
        EXPECT_FALSE(CFStringGetFileSystemRepresentation(string.get(), tooSmall, sizeof tooSmall));
    }
    EXPECT_EQ(nullptr, CFStringCreateWithFileSystemRepresentation(nullptr, nullptr));
    char buffer[8];
    EXPECT_FALSE(CFStringGetFileSystemRepresentation(nullptr, buffer, sizeof buffer));
}

}  // namespace
